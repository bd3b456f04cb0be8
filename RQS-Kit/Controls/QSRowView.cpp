#include "RQS-Kit/Controls/QSRowView.h"

#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSDragButton.h"
#include "RQS-Kit/Controls/QSTextField.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Gradient.h"
#include "platform/ui/FrameAnimation.h"
#include "platform/ui/ViewEffects.h"

#include <QCursor>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStyleHints>

#include <cmath>

namespace {

const QColor accentColour = QColor::fromRgbF(36 / 255.0, 129 / 255.0, 1.0);
const platform::Shadow lightTextShadow{Qt::white, QSizeF(1.0, -1.0), 0};
const platform::Shadow darkTextShadow{Qt::black, QSizeF(-1.0, 1.0), 0};

QColor white(int level, double alpha = 1.0) { return QColor::fromRgbF(level / 255.0, level / 255.0, level / 255.0, alpha); }

QFont systemFont(double size, bool bold = false)
{
    QFont font;
    font.setPointSizeF(size);
    font.setBold(bold);
    return font;
}

struct TextStyle
{
    QFont font;
    QColor colour;
    std::optional<platform::Shadow> shadow;
};

TextStyle titleStyle(bool dark, bool active)
{
    if (dark)
        return active ? TextStyle{systemFont(12, true), Qt::white, darkTextShadow} : TextStyle{systemFont(12), white(171), darkTextShadow};
    return active ? TextStyle{systemFont(14), QColor::fromRgbF(0, 103 / 255.0, 177 / 255.0), lightTextShadow}
                  : TextStyle{systemFont(14), white(71), lightTextShadow};
}

TextStyle subtitleStyle(bool dark, bool active)
{
    if (dark)
        return {systemFont(10), white(171), darkTextShadow};
    return active ? TextStyle{systemFont(11), white(38), std::nullopt} : TextStyle{systemFont(11), white(132), lightTextShadow};
}

} // namespace

QSRowView::QSRowView(QWidget *parent)
    : QSRowView(false, parent)
{
}

QSRowView::QSRowView(bool rightAligned, QWidget *parent)
    : platform::View(parent)
    , m_rightAligned(rightAligned)
{
    m_editor = new QSTextField(this);
    m_editor->hide();
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::editingFinished, this, [this] {
        if (m_editing)
            endEditing();
    });
    m_clickTimer.setSingleShot(true);
    connect(&m_clickTimer, &QTimer::timeout, this, &QSRowView::timedClick);
}

QSRowView::~QSRowView()
{
    m_clickTimer.stop();
    // The editor loses its focus only once this row is half destroyed; that is no end of an edit.
    m_editor->disconnect(this);
    m_editor->removeEventFilter(this);
}

QString QSRowView::title() const { return m_title; }

void QSRowView::setTitle(const QString &title)
{
    m_title = title;
    layoutTitle();
    update();
}

QString QSRowView::subtitle() const { return m_subtitle; }

void QSRowView::setSubtitle(const QString &subtitle)
{
    m_subtitle = subtitle;
    layoutTitle();
    update();
}

QImage QSRowView::icon() const { return m_icon; }

void QSRowView::setIcon(const QImage &icon)
{
    m_icon = icon;
    layoutTitle();
    update();
}

bool QSRowView::isActive() const { return m_isActive; }

void QSRowView::setIsActive(bool active)
{
    const QPointer<QSRowView> self(this);
    if (m_editing)
        endEditing();
    if (!self)
        return;
    m_isActive = active;
    update();
}

bool QSRowView::darkLook() const { return m_darkLook; }

void QSRowView::setDarkLook(bool dark)
{
    m_darkLook = dark;
    layoutTitle();
    update();
}

bool QSRowView::rightAligned() const { return m_rightAligned; }

bool QSRowView::deletable() const { return m_removeButton; }

void QSRowView::setDeletable(bool deletable)
{
    if (deletable == this->deletable())
        return;
    if (!deletable) {
        delete m_removeButton;
        m_removeButton = nullptr;
    } else {
        m_removeButton = new QSButton(this);
        m_removeButton->setName(QStringLiteral("Remove"));
        platform::setViewAlpha(m_removeButton, 0.0);
        placeButton(m_removeButton);
        m_removeButton->show();
    }
    layoutTitle();
}

bool QSRowView::draggable() const { return m_dragButton; }

void QSRowView::setDraggable(bool draggable)
{
    if (draggable == this->draggable())
        return;
    if (!draggable) {
        delete m_dragButton;
        m_dragButton = nullptr;
    } else {
        m_dragButton = new QSDragButton(this);
        platform::setViewAlpha(m_dragButton, 0.0);
        placeButton(m_dragButton);
        m_dragButton->show();
    }
    layoutTitle();
}

bool QSRowView::markable() const { return m_markButton; }

void QSRowView::setMarkable(bool markable)
{
    if (markable == this->markable())
        return;
    if (!markable) {
        delete m_markButton;
        m_markButton = nullptr;
    } else {
        m_markButton = new QSButton(this);
        m_markButton->setName(m_isMarked ? QStringLiteral("DefaultStyleActive") : QStringLiteral("DefaultStyle"));
        if (!m_isMarked)
            platform::setViewAlpha(m_markButton, 0.0);
        placeButton(m_markButton);
        m_markButton->show();
    }
    layoutTitle();
}

bool QSRowView::isMarked() const { return m_isMarked; }

void QSRowView::setIsMarked(bool marked)
{
    m_isMarked = marked;
    if (m_markButton)
        m_markButton->setName(marked ? QStringLiteral("DefaultStyleActive") : QStringLiteral("DefaultStyle"));
    updateElementVisibility();
}

bool QSRowView::showElements() const { return m_showElements; }

void QSRowView::setShowElements(bool show)
{
    m_showElements = show;
    updateElementVisibility();
}

bool QSRowView::editable() const { return m_editable; }
void QSRowView::setEditable(bool editable) { m_editable = editable; }
bool QSRowView::hoverable() const { return m_hoverable; }
void QSRowView::setHoverable(bool hoverable) { m_hoverable = hoverable; }
bool QSRowView::isHovered() const { return m_isHovered; }
bool QSRowView::isEditing() const { return m_editing; }
QSButton *QSRowView::removeButton() const { return m_removeButton; }
QSDragButton *QSRowView::dragButton() const { return m_dragButton; }
QSButton *QSRowView::markButton() const { return m_markButton; }
QSTextField *QSRowView::editor() const { return m_editor; }
QRectF QSRowView::titleRect() const { return m_titleRect; }
QSRowViewDelegate *QSRowView::delegate() const { return m_delegate.get(); }
void QSRowView::setDelegate(platform::Delegate<QSRowViewDelegate> delegate) { m_delegate.set(delegate); }

void QSRowView::resizeEvent(QResizeEvent *event)
{
    platform::View::resizeEvent(event);
    layoutTitle();
}

void QSRowView::placeButton(platform::View *button)
{
    using namespace platform::Autoresizing;
    const double W = width(), H = height();
    const bool right = m_rightAligned;
    if (button == m_removeButton) {
        button->setFrame(right ? QRectF(W - 27, H - 21, 11, 11) : QRectF(6, 5, 11, 11));
        button->setAutoresizingMask((right ? FlexibleLeftMargin : FlexibleRightMargin) | FlexibleBottomMargin);
    } else if (button == m_dragButton) {
        button->setFrame(QRectF(right ? W - 29 : 8, H * 0.5 - 4, 16, 8));
        button->setAutoresizingMask((right ? FlexibleLeftMargin : FlexibleRightMargin) | FlexibleBottomMargin
                                    | FlexibleTopMargin);
    } else {
        button->setFrame(QRectF(right ? 20 : W - 38, H - 42, 18, 28));
        button->setAutoresizingMask((right ? FlexibleRightMargin : FlexibleLeftMargin) | FlexibleBottomMargin
                                    | FlexibleTopMargin);
    }
}

void QSRowView::layoutTitle()
{
    const double W = width(), H = height();
    const bool buttons = m_removeButton || m_dragButton;
    const double iconWidth = m_icon.isNull() ? 0 : m_icon.deviceIndependentSize().width();
    double x = 0, w = 0;
    if (!m_rightAligned) {
        x = buttons ? 30 : 10;
        w = W - x - (m_icon.isNull() ? 10 : iconWidth + 20);
    } else {
        x = m_icon.isNull() ? 30 : iconWidth + 20;
        w = W - x - (buttons ? 30 : 10);
    }
    double y = 0;
    if (!m_subtitle.isEmpty()) {
        const double subtitleHeight = QFontMetricsF(subtitleStyle(m_darkLook, m_isActive).font).height();
        const double subtitleY = std::round((H - subtitleHeight - 18) * 0.5 - 1);
        m_subtitleRect = QRectF(x, subtitleY, w, subtitleHeight);
        y = subtitleY + subtitleHeight + 1;
    } else {
        m_subtitleRect = QRectF();
        y = std::round((H - 18) * 0.5 + (m_darkLook ? 4 : 3));
    }
    m_titleRect = QRectF(x, y, w, 18);
    const QRectF field = m_titleRect.adjusted(-2, -2, 2, 2);
    m_editor->setGeometry(QRectF(field.x(), H - field.bottom(), field.width(), field.height()).toRect());
}

void QSRowView::drawRect(const QRectF &dirtyRect)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const double W = width(), H = height();
    QColor line;
    if (m_darkLook) {
        const platform::Gradient gradient(m_isActive ? QList<QColor>{white(38, 0.98), white(30, 0.98)}
                                                     : QList<QColor>{white(48, 0.98), white(38, 0.98)});
        QPainterPath whole;
        whole.addRect(bounds());
        gradient.drawInPath(whole, 90);
        line = white(59);
    } else {
        context->setFill(m_isActive ? QColor(Qt::white) : white(242));
        context->fillRect(dirtyRect);
        line = white(205);
    }
    QPainterPath top;
    top.moveTo(0, H);
    top.lineTo(W, H - 1);
    context->setStroke(line);
    context->strokePath(top);
    if (m_darkLook) {
        QPainterPath bottom;
        bottom.moveTo(0, 0);
        bottom.lineTo(W, 0);
        context->setStroke(QColor(Qt::black));
        context->strokePath(bottom);
    } else if (m_isActive) {
        context->setFill(accentColour);
        context->fillRect(QRectF(W - 5, 0, 5, H));
    }
    if (!m_icon.isNull()) {
        const QSizeF size = m_icon.deviceIndependentSize();
        const double x = m_rightAligned ? 10 : W - 20 - size.width();
        context->drawImage(m_icon, QRectF(QPointF(x, std::round((H - size.height()) * 0.5)), size));
    }
    if (!m_subtitle.isEmpty()) {
        const TextStyle style = subtitleStyle(m_darkLook, m_isActive);
        context->setShadow(style.shadow);
        context->drawText(QFontMetricsF(style.font).elidedText(m_subtitle, Qt::ElideRight, m_subtitleRect.width()), m_subtitleRect,
                          platform::TextAttributes{style.font, style.colour});
    }
    const TextStyle style = titleStyle(m_darkLook, m_isActive);
    context->setShadow(style.shadow);
    context->drawText(QFontMetricsF(style.font).elidedText(m_title, Qt::ElideRight, m_titleRect.width()), m_titleRect,
                      platform::TextAttributes{style.font, style.colour});
    context->setShadow(std::nullopt);
}

double QSRowView::elementFadeDuration()
{
    return QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier ? 2.5
                                                                          : platform::FrameAnimation::defaultDuration();
}

void QSRowView::updateElementVisibility()
{
    const double alpha = (m_showElements || m_isHovered) ? 1.0 : 0.0;
    const double seconds = elementFadeDuration();
    if (m_removeButton)
        platform::fadeViewAlpha(m_removeButton, alpha, seconds);
    if (m_dragButton)
        platform::fadeViewAlpha(m_dragButton, alpha, seconds);
    if (m_markButton)
        platform::fadeViewAlpha(m_markButton, m_isMarked ? 1.0 : alpha, seconds);
}

void QSRowView::mouseUp(const platform::MouseEvent &event)
{
    const QRectF field = m_titleRect.adjusted(-2, -2, 2, 2);
    const bool onTitle = m_editable && field.contains(event.location);
    if (event.clickCount == 1) {
        if (!onTitle)
            timedClick();
        else
            m_clickTimer.start(QGuiApplication::styleHints()->mouseDoubleClickInterval() / 2);
    } else if (event.clickCount == 2 && onTitle) {
        m_clickTimer.stop();
        beginEditing();
    }
}

void QSRowView::timedClick()
{
    m_clickTimer.stop();
    if (delegate())
        delegate()->rowWasClicked(this);
}

void QSRowView::beginEditing()
{
    m_editor->setText(m_title);
    m_editing = true;
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void QSRowView::endEditing()
{
    m_editing = false;
    const QString text = m_editor->text();
    // The delegate may delete this row as it hears of the title.
    const QPointer<QSRowView> self(this);
    const bool taken = delegate() && delegate()->rowChangedTitle(this, text);
    if (!self)
        return;
    if (!taken)
        setTitle(text);
    m_editor->hide();
}

void QSRowView::cancelEditing()
{
    m_editing = false;
    m_editor->setText(m_title);
    m_editor->hide();
}

bool QSRowView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress && m_editing) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            endEditing();
            return true;
        }
        if (key == Qt::Key_Escape) {
            cancelEditing();
            return true;
        }
    }
    return platform::View::eventFilter(watched, event);
}

void QSRowView::changeHover(bool hovered)
{
    const QPointer<QSRowView> self(this);
    if (m_hoverable && hovered != m_isHovered && delegate())
        delegate()->rowChangedHover(this, hovered);
    if (!self)
        return;
    m_isHovered = hovered;
    updateElementVisibility();
}

void QSRowView::mouseEntered(const platform::MouseEvent &) { changeHover(true); }

void QSRowView::mouseExited(const platform::MouseEvent &) { changeHover(false); }

void QSRowView::updateTrackingAreas()
{
    if (m_trackingArea) {
        removeTrackingArea(m_trackingArea);
        m_trackingArea = 0;
    }
    if (!superview()) {
        changeHover(false);
        return;
    }
    platform::TrackingArea area;
    area.options = platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::InVisibleRect
        | platform::TrackingArea::ActiveInKeyWindow;
    const bool inside = isVisible() && isTrackingActive(area.options) && rect().contains(mapFromGlobal(QCursor::pos()));
    if (inside)
        area.options |= platform::TrackingArea::AssumeInside;
    m_trackingArea = addTrackingArea(area);
    changeHover(inside);
}
