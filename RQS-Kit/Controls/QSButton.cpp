#include "RQS-Kit/Controls/QSButton.h"

#include "RQS-Kit/Foundation/QSColor.h"
#include "RQS-Kit/Foundation/QSShadowCatalog.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Helper/QSCursorStack.h"
#include "RQS-Kit/Helper/QSHintController.h"
#include "RQS-Kit/Helper/QSToolTipController.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/PropertyList.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainterPath>

#include <chrono>
#include <cmath>

using namespace std::chrono_literals;

namespace {

QVariant keyOf(const QSButton *button) { return QVariant::fromValue(static_cast<QObject *>(const_cast<QSButton *>(button))); }

QSizeF sizeOf(const QSButtonImages::ImageSet &set, int state)
{
    return set.size() == 4 ? QSButtonImages::pointSize(set.at(state)) : QSizeF();
}

Qt::Alignment qtAlignment(int alignment)
{
    switch (alignment) {
    case platform::Control::RightAlignment:
        return Qt::AlignRight;
    case platform::Control::CenterAlignment:
        return Qt::AlignHCenter;
    case platform::Control::JustifiedAlignment:
        return Qt::AlignJustify;
    default:
        return Qt::AlignLeft;
    }
}

QString folderResource(const QString &name, const QString &type)
{
    if (name.isEmpty())
        return {};
    const QString path = platform::Bundle::mainBundle()->bundlePath() + QLatin1Char('/') + name + QLatin1Char('.') + type;
    return QFileInfo(path).isDir() ? path : QString();
}

bool isDark(const QPalette &palette) { return palette.color(QPalette::Window).lightness() < 128; }

} // namespace

struct QSButton::TextBox
{
    QString text;
    platform::TextAttributes attributes;
    QSizeF size;
};

QSButton::QSButton(QWidget *parent)
    : platform::Control(parent)
{
    // Moves reach the tracking area even where Qt reports no crossing (after a grab ends outside).
    setMouseTracking(true);
    // Reached with the Tab key and clicked with Space or Return; a mouse click leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    m_insideTimer.setSingleShot(true);
    m_insideTimer.setInterval(std::chrono::milliseconds(qRound64(QSToolTipController::toolTipDelay() * 1000)));
    connect(&m_insideTimer, &QTimer::timeout, this, &QSButton::showToolTipTimed);
    setButtonState(1);
    setAppearanceExtension(isDark(palette()) ? QStringLiteral("-Dark") : QString());
}

QSButton::~QSButton()
{
    if (QWidget *host = window(); host && host != this)
        leaveWindow(host);
}

QString QSButton::name() const { return m_name; }

void QSButton::setName(const QString &name)
{
    m_name = name;
    updateButton();
}

QString QSButton::symbolName() const { return m_symbolName; }

void QSButton::setSymbolName(const QString &symbolName)
{
    m_symbolName = symbolName;
    loadSymbolsInDirectory(folderResource(symbolName, QStringLiteral("symbol")));
}

QString QSButton::appearanceExtension() const { return m_appearanceExtension; }

void QSButton::setAppearanceExtension(const QString &extension)
{
    if (!m_appearanceExtension.isNull() && extension == m_appearanceExtension)
        return;
    m_appearanceExtension = extension.isNull() ? QStringLiteral("") : extension;
    updateButton();
}

void QSButton::updateButton()
{
    // Images loaded anew may differ under the same slot, size and scale.
    m_cache.clear();
    m_leftOff = m_midOff = m_rightOff = m_leftOn = m_midOn = m_rightOn = {};
    if (m_symbolName.isEmpty())
        m_symbolOff = m_symbolOn = {};
    const QString folder = descriptionFolder();
    if (!folder.isEmpty()) {
        loadButtonInDirectory(folder);
        return;
    }
    if (m_symbolName.isEmpty()) {
        m_symbolOff = QSButtonImages::imagesForName(m_name, m_appearanceExtension);
        m_symbolOn = QSButtonImages::swappedForOn(m_symbolOff);
    }
    if (!m_name.isEmpty()) {
        m_midOff = QSButtonImages::imagesForName(m_name + QStringLiteral("Mid"), m_appearanceExtension);
        m_leftOff = QSButtonImages::imagesForName(m_name + QStringLiteral("Left"), m_appearanceExtension);
        m_rightOff = QSButtonImages::imagesForName(m_name + QStringLiteral("Right"), m_appearanceExtension);
    }
    m_leftOn = m_leftOff;
    m_midOn = m_midOff;
    m_rightOn = m_rightOff;
    updateGeometry();
    update();
}

QString QSButton::descriptionFolder() const { return folderResource(m_name, QStringLiteral("button")); }

void QSButton::loadButtonInDirectory(const QString &folder)
{
    const QDir dir(folder);
    QVariant info = platform::PropertyList::read(dir.filePath(QStringLiteral("Info.plist")));
    if (info.typeId() != QMetaType::QVariantMap)
        info = platform::PropertyList::read(dir.filePath(QStringLiteral("Description.plist")));
    m_buttonInfo = info.toMap();
    if (m_buttonInfo.contains(QStringLiteral("autoswitch")))
        m_isSwitchButton = m_buttonInfo.value(QStringLiteral("autoswitch")).toBool();
    updateButtonState();
    const auto path = [&dir](const char *prefix) { return dir.filePath(QLatin1String(prefix)); };
    const QString &x = m_appearanceExtension;
    m_leftOff = QSButtonImages::imagesForPaths({path("Left-Off-"), path("Left-")}, x);
    m_leftOn = QSButtonImages::imagesForPath(path("Left-On-"), x);
    m_midOff = QSButtonImages::imagesForPaths({path("Mid-Off-"), path("Mid-")}, x);
    m_midOn = QSButtonImages::imagesForPath(path("Mid-On-"), x);
    m_rightOff = QSButtonImages::imagesForPaths({path("Right-Off-"), path("Right-")}, x);
    m_rightOn = QSButtonImages::imagesForPath(path("Right-On-"), x);
    for (auto [on, off] : {std::pair{&m_leftOn, &m_leftOff}, {&m_midOn, &m_midOff}, {&m_rightOn, &m_rightOff}}) {
        if (on->isEmpty())
            *on = *off;
    }
    if (m_symbolName.isEmpty())
        loadSymbolsInDirectory(folder);
    updateGeometry();
    update();
}

void QSButton::loadSymbolsInDirectory(const QString &folder)
{
    m_symbolOff = m_symbolOn = {};
    if (!folder.isEmpty()) {
        const QDir dir(folder);
        m_symbolOff = QSButtonImages::imagesForPaths({dir.filePath(QStringLiteral("Symbol-Off-")), dir.filePath(QStringLiteral("Symbol-"))},
                                                     m_appearanceExtension);
        m_symbolOn = QSButtonImages::imagesForPath(dir.filePath(QStringLiteral("Symbol-On-")), m_appearanceExtension);
        if (m_symbolOn.isEmpty())
            m_symbolOn = m_stateIndependent ? m_symbolOff : QSButtonImages::swappedForOn(m_symbolOff);
    }
    updateGeometry();
    update();
}

int QSButton::buttonState() const { return m_buttonState; }

void QSButton::setButtonState(int request)
{
    int stored = isEnabled() ? request : 0;
    if (stored == m_buttonState)
        return;
    const bool hovered = stored == 2 || stored == 3 || stored == 6;
    const bool click = stored == 6 || stored == 7;
    if (click) {
        if (m_isSwitchButton)
            Control::setState(state() == OnState ? OffState : OnState);
        if (stored == 7) {
            QTimer::singleShot(100ms, this, [this] {
                if (m_buttonState == 3)
                    setButtonState(1);
            });
        }
        stored = stored == 7 ? 3 : 2;
    } else if (hovered != m_isHovered && target()) {
        // The target may delete this button, or its window, as it hears of the hover.
        const QPointer<QSButton> self(this);
        const QMetaObject *meta = target()->metaObject();
        if (meta->indexOfMethod("button(QSButton*,bool)") >= 0)
            QMetaObject::invokeMethod(target(), "button", Qt::DirectConnection, Q_ARG(QSButton *, this), Q_ARG(bool, hovered));
        else if (meta->indexOfMethod("button(QObject*,bool)") >= 0)
            QMetaObject::invokeMethod(target(), "button", Qt::DirectConnection, Q_ARG(QObject *, this), Q_ARG(bool, hovered));
        if (!self)
            return;
    }
    m_buttonState = stored;
    QWidget *host = window() != this ? window() : nullptr;
    if (!m_hint.isEmpty()) {
        if (stored > 1)
            QSHintController::sendHint(m_hint, keyOf(this), host);
        else
            QSHintController::removeHintForKey(keyOf(this), host);
    }
    if (stored > 1)
        QSCursorStack::pushCursor(Qt::PointingHandCursor, keyOf(this), host);
    else if (host)
        QSCursorStack::popCursorForKey(keyOf(this), host);
    m_isHovered = hovered;
    updateButtonState();
    update();
    if (click)
        Control::sendAction(action(), target(), this);
}

bool QSButton::isHovered() const { return m_isHovered; }

bool QSButton::isSwitchButton() const { return m_isSwitchButton; }

void QSButton::setIsSwitchButton(bool isSwitchButton) { m_isSwitchButton = isSwitchButton; }

bool QSButton::stateIndependent() const { return m_stateIndependent; }

void QSButton::setStateIndependent(bool stateIndependent)
{
    m_stateIndependent = stateIndependent;
    if (m_symbolOff.isEmpty())
        return;
    // By identity: a set loaded on its own is never replaced, however alike its pixels are.
    const bool derived = m_symbolOn.isEmpty() || QSButtonImages::isSameSet(m_symbolOn, m_symbolOff)
                      || QSButtonImages::isSwappedFrom(m_symbolOn, m_symbolOff);
    if (derived)
        m_symbolOn = stateIndependent ? m_symbolOff : QSButtonImages::swappedForOn(m_symbolOff);
    update();
}

void QSButton::setState(int state)
{
    Control::setState(state);
    if (m_buttonState != 2)
        setButtonState(1);
    updateButtonState();
}

void QSButton::setTitle(const QString &title)
{
    Control::setTitle(rqs::localizedForTable(title, QStringLiteral("Controls")));
}

bool QSButton::sendAction(const QString &, QObject *)
{
    setButtonState(7);
    return true;
}

QString QSButton::description() const { return QStringLiteral("QSButton (%1): %2").arg(m_name, title()); }

bool QSButton::noScaling() const { return m_noScaling; }

void QSButton::setNoScaling(bool noScaling)
{
    m_noScaling = noScaling;
    update();
}

QString QSButton::subTitle() const { return m_subTitle; }

void QSButton::setSubTitle(const QString &subTitle)
{
    m_subTitle = subTitle;
    update();
}

double QSButton::subTitleFactor() const { return m_subTitleFactor; }

void QSButton::setSubTitleFactor(double factor) { m_subTitleFactor = factor; }

QColor QSButton::textColor() const { return m_style.textColor.color(); }

void QSButton::setTextColor(const QColor &color)
{
    m_style.textColor = color;
    update();
}

QString QSButton::textColorName() const { return QSColor::descriptionForNSColor(m_style.textColor); }

void QSButton::setTextColorName(const QString &description)
{
    m_style.textColor = QSColor::colorFromDescription(description);
    update();
}

QString QSButton::textShadowName() const { return m_shadowNames[1]; }

void QSButton::setTextShadowName(const QString &name)
{
    const auto known = [](const QString &preset) { return QSShadowCatalog::sharedShadowWithName(preset).has_value(); };
    const QString down = known(name + QStringLiteral("Down")) ? name + QStringLiteral("Down") : name;
    m_shadowNames = {known(name + QStringLiteral("Disabled")) ? name + QStringLiteral("Disabled") : name, name,
                     known(name + QStringLiteral("Hover")) ? name + QStringLiteral("Hover") : down, down};
    updateButtonState();
    update();
}

std::optional<platform::Shadow> QSButton::textShadow() const { return m_style.textShadow; }

void QSButton::setTextShadow(const std::optional<platform::Shadow> &shadow) { m_style.textShadow = shadow; }

double QSButton::textMargin() const { return m_style.textMargin; }

double QSButton::textOffsetY() const { return m_style.textOffsetY; }

QMarginsF QSButton::padding() const { return m_style.padding; }

int QSButton::imageAlignment() const { return m_imageAlignment; }

void QSButton::setImageAlignment(int alignment) { m_imageAlignment = alignment; }

QString QSButton::hint() const { return m_hint; }

void QSButton::setHint(const QString &hint) { m_hint = hint; }

QString QSButton::toolTip() const { return m_toolTip; }

void QSButton::setToolTip(const QString &toolTip) { m_toolTip = rqs::localized(toolTip); }

QString QSButton::disabledToolTip() const { return m_disabledToolTip; }

void QSButton::setDisabledToolTip(const QString &toolTip) { m_disabledToolTip = rqs::localized(toolTip); }

bool QSButton::disableTracking() const { return m_disableTracking; }

void QSButton::setDisableTracking(bool disableTracking) { m_disableTracking = disableTracking; }

bool QSButton::isRemoteControlled() const { return m_isRemoteControlled; }

void QSButton::setIsRemoteControlled(bool remoteControlled)
{
    m_isRemoteControlled = remoteControlled;
    if (m_trackingPending)
        return;
    m_trackingPending = true;
    QTimer::singleShot(0ms, this, [this] {
        m_trackingPending = false;
        updateTrackingAreas();
    });
}

QVariantMap QSButton::buttonInfo() const { return m_buttonInfo; }

bool QSButton::hasDisabledDescription() const { return QSButtonStyle::hasDisabledDescription(m_buttonInfo, isOn()); }

QSButtonImages::ImageSet QSButton::midImages(bool on) const { return on ? m_midOn : m_midOff; }

QSButtonImages::ImageSet QSButton::leftImages(bool on) const { return on ? m_leftOn : m_leftOff; }

QSButtonImages::ImageSet QSButton::rightImages(bool on) const { return on ? m_rightOn : m_rightOff; }

QSButtonImages::ImageSet QSButton::symbolImages(bool on) const { return on ? m_symbolOn : m_symbolOff; }

int QSButton::backgroundsRendered() const { return m_cache.renderedCount(); }

QSButton::TextBox QSButton::titleBox(const QString &text, double factor, const QColor &color) const
{
    TextBox box;
    box.text = text;
    box.attributes.font = font();
    if (factor != 1) {
        // A factor of 0 gives the default size.
        box.attributes.font.setPointSizeF(factor > 0 ? font().pointSizeF() * factor : QFont().pointSizeF());
    }
    box.attributes.color = color;
    box.attributes.alignment = qtAlignment(alignment()) | Qt::AlignTop;
    if (!text.isEmpty())
        box.size = platform::TextLayout(text, box.attributes).size();
    return box;
}

QSizeF QSButton::intrinsicContentSize() const
{
    const QMarginsF &pad = m_style.padding;
    const TextBox title = titleBox(this->title(), 1, drawnColor(m_style.textColor.color()));
    double width = pad.left() + pad.right();
    if (!title.text.isEmpty())
        width += std::ceil(title.size.width());
    if (!image().isNull()) {
        width += std::ceil(imageRectIn(bounds()).width());
        if (!title.text.isEmpty())
            width += m_style.textMargin;
    }
    width = std::max(width, sizeOf(m_symbolOff, 3).width());
    double height = std::max(sizeOf(m_midOff, 3).height(), sizeOf(m_symbolOff, 3).height());
    // A button of a title alone is as high as its text.
    if (!title.text.isEmpty())
        height = std::max(height, std::ceil(title.size.height()) + pad.top() + pad.bottom());
    return {width, height};
}

QSize QSButton::sizeHint() const
{
    const QSizeF size = intrinsicContentSize();
    return {int(std::ceil(size.width())), int(std::ceil(size.height()))};
}

QSize QSButton::minimumSizeHint() const { return sizeHint(); }

QRectF QSButton::imageRectIn(const QRectF &rect) const
{
    const QSizeF imageSize = QSButtonImages::pointSize(image());
    if (imageSize.isEmpty())
        return {};
    const QMarginsF &pad = m_style.padding;
    const QRectF area(rect.x() + pad.left(), rect.y() + pad.bottom(), rect.width() - pad.left() - pad.right(),
                      rect.height() - pad.top() - pad.bottom());
    QSizeF fitted;
    if (area.width() > area.height())
        fitted = QSizeF(imageSize.width() / imageSize.height() * area.height(), area.height());
    else
        fitted = QSizeF(area.width(), imageSize.height() / imageSize.width() * area.width());
    QPointF origin = area.topLeft();
    if (m_imageAlignment == 1)
        origin.setX(area.width() - fitted.width());
    else if (m_imageAlignment == 2)
        origin.setX((area.width() - fitted.width()) * 0.5);
    return {origin, fitted};
}

void QSButton::drawBackground(QRectF &rect, int slot)
{
    const bool on = slot >= 4;
    const int state = slot % 4;
    const QSButtonImages::ImageSet &mid = on ? m_midOn : m_midOff;
    if (mid.size() != 4)
        return;
    const QSButtonImages::ImageSet &left = on ? m_leftOn : m_leftOff;
    const QSButtonImages::ImageSet &right = on ? m_rightOn : m_rightOff;
    if (m_noScaling) {
        const QSizeF natural(sizeOf(mid, state).width() + sizeOf(left, state).width() + sizeOf(right, state).width(),
                             sizeOf(mid, state).height());
        const QPointF origin = rect.topLeft() + QPointF(rect.width() - natural.width(), rect.height() - natural.height()) * 0.5;
        rect = QRectF(QPointF(std::round(origin.x()), std::round(origin.y())), natural);
    }
    const QImage background = m_cache.background(slot, left, mid, right, rect.size(), devicePixelRatioF());
    if (!background.isNull())
        platform::GraphicsContext::current()->drawImage(background, rect);
}

void QSButton::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    const bool on = state() != OffState;
    const int visual = std::clamp(m_buttonState, 0, 3);
    QRectF frame = bounds();
    drawBackground(frame, visual + (on ? 4 : 0));
    const QMarginsF &pad = m_style.padding;
    QRectF content(frame.x() + pad.left(), frame.y() + pad.bottom(), frame.width() - pad.left() - pad.right(),
                   frame.height() - pad.top() - pad.bottom());
    if (!image().isNull()) {
        const QRectF placed = imageRectIn(frame);
        context->drawImage(image(), placed);
        const double taken = placed.width() + m_style.textMargin;
        if (m_imageAlignment == 0)
            content.setLeft(content.left() + taken);
        else if (m_imageAlignment == 1)
            content.setWidth(content.width() - taken);
    }
    const QSButtonImages::ImageSet &symbols = on ? m_symbolOn : m_symbolOff;
    QSizeF symbol = sizeOf(symbols, visual);
    if (symbol.height() > content.height())
        symbol = QSizeF(symbol.width() / symbol.height() * content.height(), content.height());
    if (symbol.width() > content.width())
        symbol = QSizeF(content.width(), symbol.height() / symbol.width() * content.width());
    const QColor color = m_style.textColor.color();
    TextBox title = titleBox(this->title(), 1, drawnColor(color));
    // The sub-title dims whenever the button is disabled, whatever the description styles.
    TextBox sub = titleBox(m_subTitle, m_subTitleFactor, isEnabled() ? color : dimmed(color));
    const double tw = title.size.width(), th = title.size.height(), uw = sub.size.width(), uh = sub.size.height();
    const double margin = m_style.textMargin;
    QRectF symbolRect, titleRect, subRect;
    if (imagePosition() == ImageBelow) {
        const auto x = [&](double width) {
            if (alignment() == CenterAlignment)
                return content.x() + std::round((content.width() - width) * 0.5);
            return alignment() == RightAlignment ? content.x() + content.width() - width : content.x();
        };
        titleRect = QRectF(x(tw), content.y() + content.height() - th, tw, th);
        subRect = QRectF(x(uw), titleRect.y() - uh, uw, uh);
        symbolRect = QRectF(QPointF(x(symbol.width()), content.y()), symbol);
    } else if (imagePosition() == ImageLeft) {
        double sx = content.x();
        if (alignment() == CenterAlignment)
            sx = content.x() + (content.width() - symbol.width() - margin - tw) * 0.5;
        else if (alignment() == RightAlignment)
            sx = content.x() + content.width() - tw - margin - symbol.width();
        symbolRect = QRectF(QPointF(sx, content.y() + std::round((content.height() - symbol.height()) * 0.5)), symbol);
        const double subY = content.y() + std::round((content.height() - th - uh) * 0.5);
        subRect = QRectF(sx + symbol.width() + margin, subY, uw, uh);
        titleRect = QRectF(subRect.x(), subY + uh + m_style.textOffsetY, tw, th);
    } else {
        const double titleY = std::ceil((content.height() - th - uh) * 0.5 + uh + content.y()) + m_style.textOffsetY;
        titleRect = QRectF(content.x(), titleY, std::ceil(content.width()), th);
        subRect = QRectF(content.x(), titleY - uh - m_style.textOffsetY, std::ceil(content.width()), uh);
        symbolRect = QRectF(QPointF(content.x() + std::round((content.width() - symbol.width()) * 0.5),
                                    content.y() + std::round((content.height() - symbol.height()) * 0.5)),
                            symbol);
    }
    if (!symbol.isEmpty())
        context->drawImage(symbols.at(visual), symbolRect);
    context->setShadow(m_style.textShadow);
    if (!title.text.isEmpty())
        context->drawText(title.text, titleRect, title.attributes);
    if (!sub.text.isEmpty())
        context->drawText(sub.text, subRect, sub.attributes);
    context->setShadow(std::nullopt);
    if (hasFocus())
        drawFocusRing(frame);
}

void QSButton::drawFocusRing(const QRectF &rect)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    QPainterPath ring;
    ring.addRoundedRect(rect.adjusted(1, 1, -1, -1), 3, 3);
    context->setStroke(palette().color(QPalette::Highlight));
    context->setLineWidth(2);
    context->strokePath(ring);
}

void QSButton::mouseDown(const platform::MouseEvent &)
{
    QSToolTipController::sharedController()->hideForView(this);
    setButtonState(3);
}

void QSButton::mouseDragged(const platform::MouseEvent &event) { setButtonState(bounds().contains(event.location) ? 3 : 1); }

void QSButton::mouseUp(const platform::MouseEvent &event)
{
    QSToolTipController::sharedController()->hideForView(this);
    setButtonState(bounds().contains(event.location) ? 6 : 1);
}

void QSButton::keyDown(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A key held down clicks once.
        if (!event->isAutoRepeat())
            setButtonState(7);
        break;
    default:
        Control::keyDown(event);
    }
}

void QSButton::mouseEntered(const platform::MouseEvent &)
{
    m_insideTimer.start();
    setButtonState(2);
}

void QSButton::mouseExited(const platform::MouseEvent &)
{
    setButtonState(1);
    QSToolTipController::sharedController()->hideForView(this);
    m_insideTimer.stop();
}

void QSButton::updateTrackingAreas()
{
    if (m_trackingArea) {
        removeTrackingArea(m_trackingArea);
        m_trackingArea = 0;
    }
    if (!superview() || m_disableTracking || m_isRemoteControlled)
        return;
    bool inside = false;
    m_trackingArea = addTrackingAreaAtPointer(
        {{}, platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::InVisibleRect, 0}, &inside);
    if (m_buttonState != 3)
        setButtonState(inside ? 2 : 1);
}

void QSButton::changeEvent(QEvent *event)
{
    Control::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled())
            setButtonState(0);
        updateTrackingAreas();
        break;
    case QEvent::PaletteChange:
        setAppearanceExtension(isDark(palette()) ? QStringLiteral("-Dark") : QString());
        break;
    case QEvent::ParentAboutToChange:
        if (QWidget *host = window(); host && host != this)
            leaveWindow(host);
        break;
    default:
        break;
    }
}

void QSButton::hideEvent(QHideEvent *event)
{
    m_insideTimer.stop();
    Control::hideEvent(event);
}

void QSButton::leaveWindow(QWidget *host)
{
    if (isOn())
        setState(OnState);
    m_insideTimer.stop();
    QSCursorStack::popCursorForKey(keyOf(this), host);
    QSHintController::removeHintForKey(keyOf(this), host);
    QSToolTipController::sharedController()->hideForView(this);
}

void QSButton::showToolTipTimed()
{
    const QString text = isEnabled() ? m_toolTip : m_disabledToolTip;
    if (text.isEmpty())
        return;
    QWidget *host = window();
    const QPoint inWindow = host->mapFromGlobal(QCursor::pos());
    QSToolTipController::sharedController()->showTooltip(text, QPointF(inWindow.x() + 10, host->height() - inWindow.y() - 20), this);
}

QColor QSButton::drawnColor(const QColor &color) const
{
    return isEnabled() || hasDisabledDescription() ? color : dimmed(color);
}

QColor QSButton::dimmed(const QColor &color)
{
    QColor half = color;
    half.setAlphaF(color.alphaF() * 0.5f);
    return half;
}

QSButtonStyle &QSButton::style() { return m_style; }

void QSButton::updateButtonState()
{
    const int state = std::clamp(m_buttonState, 0, 3);
    if (!m_shadowNames.at(state).isEmpty()) {
        m_style.textShadow = QSShadowCatalog::sharedShadowWithName(m_shadowNames.at(state));
        m_style.textColor = QSShadowCatalog::sharedTextColorForShadowWithName(m_shadowNames.at(state));
    }
    m_style.apply(QSButtonStyle::stateDictionary(m_buttonInfo, state, isOn()));
    if (m_style.font) {
        setFont(*m_style.font);
        m_style.font.reset();
    }
    if (m_style.alignment) {
        setAlignment(*m_style.alignment);
        m_style.alignment.reset();
    }
    updateGeometry();
}

bool QSButton::isOn() const { return state() == OnState; }
