#include "RQS-Kit/Controls/QSBasicListEntryView.h"

#include "RQS-Kit/Controls/QSDragButton.h"
#include "RQS-Kit/Controls/QSRowView.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/TakenViews.h"
#include "platform/ui/ViewEffects.h"

#include <QCheckBox>
#include <QCursor>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <utility>

namespace {

const QColor titleColour = QColor::fromRgbF(17 / 255.0, 62 / 255.0, 91 / 255.0);
const platform::Shadow whiteTextShadow{Qt::white, QSizeF(1.0, -1.0), 0};

QFont titleFont()
{
    QFont font;
    font.setPointSizeF(14);
    return font;
}

// A check box whose title casts the rows' white text shadow.
class ShadowedTitleBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QString title = std::exchange(option.text, QString());
        painter.drawControl(QStyle::CE_CheckBox, option);
        option.text = title;
        const QRect titleRect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
        // The shadow's offset is y-up.
        const QPoint offset(qRound(whiteTextShadow.offset.width()), -qRound(whiteTextShadow.offset.height()));
        painter.setPen(whiteTextShadow.color);
        painter.drawText(titleRect.translated(offset), flags, title);
        painter.setPen(option.palette.color(QPalette::WindowText));
        painter.drawText(titleRect, flags, title);
    }
};

QSButton *smallWhiteButton(const QString &title, const QString &action, QWidget *row)
{
    auto *button = new QSButton(row);
    button->setName(QStringLiteral("SmallWhite"));
    QFont font = button->font();
    font.setPointSizeF(11);
    button->setFont(font);
    button->setTitle(rqs::localized(title));
    button->setTarget(row);
    button->setAction(action);
    return button;
}

} // namespace

QSBasicListEntryView::QSBasicListEntryView(QWidget *parent)
    : QSBasicListEntryView(0, parent)
{
}

QSBasicListEntryView::QSBasicListEntryView(quint64 features, QWidget *parent)
    : QSListEntryView(features, parent)
    , m_taken(new platform::TakenViews(this))
{
    setFrame(QRectF(frame().topLeft(), QSizeF(frame().width(), preferredHeight())));
    // It keeps its distance from its superview's bottom edge.
    setAutoresizingMask(platform::Autoresizing::WidthSizable | platform::Autoresizing::FlexibleTopMargin);
    m_fadeTimer.setSingleShot(true);
    m_fadeTimer.setInterval(0);
    connect(&m_fadeTimer, &QTimer::timeout, this, &QSBasicListEntryView::updateElementVisibilityTimed);
    if (features & Draggable) {
        m_dragButton = new QSDragButton(this);
        m_dragButton->setTarget(this);
        m_dragButton->setAction(QStringLiteral("dragEntry"));
    }
    if (features & Removable) {
        m_removeButton = new QSButton(this);
        m_removeButton->setName(QStringLiteral("Remove"));
        m_removeButton->setTarget(this);
        m_removeButton->setAction(QStringLiteral("removeEntry"));
    }
    if (features & EnableBox) {
        m_enabledBox = new ShadowedTitleBox(this);
        m_enabledBox->resize(12, 22);
        QPalette palette = m_enabledBox->palette();
        palette.setColor(QPalette::WindowText, titleColour);
        m_enabledBox->setPalette(palette);
        connect(m_enabledBox, &QCheckBox::toggled, this, [this](bool on) {
            setIsEnabled(on);
            enableEntry(m_enabledBox);
            update();
        });
        setIsEnabled(false);
    }
    if (features & CopyPaste) {
        m_pasteButton = smallWhiteButton(QStringLiteral("Paste"), QStringLiteral("pasteEntry"), this);
        m_copyButton = smallWhiteButton(QStringLiteral("Copy"), QStringLiteral("copyEntry"), this);
    }
    placeControls();
    placeSubviews();
    updateElementVisibility();
}

QWidget *QSBasicListEntryView::contentView() const { return m_contentView; }

QWidget *QSBasicListEntryView::setContentView(QWidget *view)
{
    QWidget *old = nullptr;
    if (m_contentView && m_contentView != view && m_contentView->parent() == m_detailContainer)
        old = m_taken->handBack(m_contentView.data());
    m_contentView = view;
    if (view) {
        view->setParent(m_detailContainer);
        view->show();
        placeSubviews();
    }
    const QPointer<QSBasicListEntryView> self(this);
    if (delegate())
        delegate()->listEntryNeedUpdate(this, false);
    if (self)
        updateTrackingAreas();
    return old;
}

QSDragButton *QSBasicListEntryView::dragButton() const { return m_dragButton; }
QSButton *QSBasicListEntryView::removeButton() const { return m_removeButton; }
QCheckBox *QSBasicListEntryView::enabledBox() const { return m_enabledBox; }
QSButton *QSBasicListEntryView::entryCopyButton() const { return m_copyButton; }
QSButton *QSBasicListEntryView::entryPasteButton() const { return m_pasteButton; }

bool QSBasicListEntryView::isEnabled() const { return m_isEnabled; }

void QSBasicListEntryView::setIsEnabled(bool enabled)
{
    m_isEnabled = enabled;
    if (!m_enabledBox)
        return;
    QFont font = titleFont();
    font.setStrikeOut(!enabled);
    m_enabledBox->setFont(font);
    m_enabledBox->setText(title());
    const QSignalBlocker quiet(m_enabledBox);
    m_enabledBox->setChecked(enabled);
    layoutTitle();
}

void QSBasicListEntryView::setTitle(const QString &title)
{
    QSListEntryView::setTitle(title);
    if (m_enabledBox)
        m_enabledBox->setText(this->title());
    layoutTitle();
}

double QSBasicListEntryView::preferredHeight() const { return 45.0 + (m_contentView ? m_contentView->height() : 0.0); }

QRectF QSBasicListEntryView::titleRect() const { return m_titleRect; }

void QSBasicListEntryView::placeControls()
{
    using namespace platform::Autoresizing;
    const double W = width(), H = height(), top = m_padding.top();
    const unsigned topRight = FlexibleLeftMargin | FlexibleBottomMargin;
    if (m_dragButton) {
        m_dragButton->setFrame(QRectF(W - m_padding.left() - 13 - 11, H - 27 - top, 16, 8));
        m_dragButton->setAutoresizingMask(topRight);
    }
    if (m_removeButton) {
        m_removeButton->setFrame(QRectF(W - m_padding.left() - 10 - 11, H - 17 - top, 11, 11));
        m_removeButton->setAutoresizingMask(topRight);
    }
    if (m_pasteButton) {
        const double beside = (m_dragButton || m_removeButton) ? 19.0 : 0.0;
        const QRectF paste(W - 65 - 12 - m_padding.right() - beside, H - 18 - 8 - top, 65, 18);
        m_pasteButton->setFrame(paste);
        m_copyButton->setFrame(QRectF(paste.x() - 65 - 4, paste.y(), 65, 18));
        m_pasteButton->setAutoresizingMask(topRight);
        m_copyButton->setAutoresizingMask(topRight);
    }
}

void QSBasicListEntryView::placeSubviews()
{
    const double W = width(), H = height();
    // A plain widget takes no mask; the box keeps its distance from the top edge by hand.
    if (m_enabledBox)
        m_enabledBox->move(int(m_padding.left() + 13), int(26 + m_padding.top() - 22));
    const QRectF container(m_padding.left() + 11, m_padding.bottom() + 13, W - 22 - m_padding.left() - m_padding.right(),
                           std::max(0.0, H - 45.0));
    m_detailContainer->setFrame(container);
    if (m_contentView)
        m_contentView->setGeometry(0, 0, int(container.width()), m_contentView->height());
    layoutTitle();
}

void QSBasicListEntryView::layoutTitle()
{
    const double x = m_padding.left() + 13 + (m_enabledBox ? 20 : 0);
    const double room = m_copyButton ? m_copyButton->frame().x() - 5 - x : width() - x - 12 - m_padding.right();
    const QFontMetricsF metrics(titleFont());
    double textWidth = metrics.horizontalAdvance(title());
    if (m_mouseInside)
        textWidth = std::min(textWidth, std::floor(room));
    m_titleRect = QRectF(x, height() - 21 - m_padding.top(), textWidth, metrics.height());
    if (m_enabledBox) {
        // The box shows the title itself, so clicks on the text switch it.
        const QRect box = m_enabledBox->geometry();
        m_enabledBox->resize(int(m_titleRect.right() - box.x()), box.height());
    }
}

void QSBasicListEntryView::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainterPath outline;
    outline.addRoundedRect(QRectF(m_padding.left() + 5.5, m_padding.bottom() + 1.5,
                                  width() - 11 - m_padding.left() - m_padding.right(),
                                  height() - 3 - m_padding.top() - m_padding.bottom()),
                           4.0, 4.0);
    context->saveGState();
    context->clipToPath(outline);
    context->setFill(QColor::fromRgbF(1, 1, 1, 0.1));
    context->fillRect(bounds());
    context->restoreGState();
    context->setStroke(QColor::fromRgbF(198 / 255.0, 198 / 255.0, 198 / 255.0));
    context->strokePath(outline);
    if (m_enabledBox)
        return;
    const QString text = QFontMetricsF(titleFont()).elidedText(title(), Qt::ElideRight, m_titleRect.width() + 0.5);
    context->setShadow(whiteTextShadow);
    context->drawText(text, m_titleRect, platform::TextAttributes{titleFont(), titleColour});
}

void QSBasicListEntryView::mouseEntered(const platform::MouseEvent &)
{
    m_mouseInside = true;
    layoutTitle();
    updateElementVisibility();
    setNeedsDisplay(true);
}

void QSBasicListEntryView::mouseExited(const platform::MouseEvent &)
{
    m_mouseInside = false;
    layoutTitle();
    updateElementVisibility();
    setNeedsDisplay(true);
}

void QSBasicListEntryView::updateTrackingAreas()
{
    platform::View::updateTrackingAreas();
    if (m_trackingArea) {
        removeTrackingArea(m_trackingArea);
        m_trackingArea = 0;
    }
    if (superview()) {
        platform::TrackingArea area;
        area.options = platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::InVisibleRect
            | platform::TrackingArea::ActiveInKeyWindow;
        m_mouseInside = isVisible() && isTrackingActive(area.options) && rect().contains(mapFromGlobal(QCursor::pos()));
        if (m_mouseInside)
            area.options |= platform::TrackingArea::AssumeInside;
        m_trackingArea = addTrackingArea(area);
    } else {
        m_mouseInside = false;
    }
    updateElementVisibility();
}

void QSBasicListEntryView::copyEntry(QObject *sender)
{
    const QPointer<QSBasicListEntryView> self(this);
    QSListEntryView::copyEntry(sender);
    if (self && m_mouseInside && m_pasteButton && delegate())
        m_pasteButton->setEnabled(delegate()->acceptPasteForListEntry(this));
}

void QSBasicListEntryView::updateElementVisibility()
{
    if (!m_fadeTimer.isActive())
        m_fadeTimer.start();
}

void QSBasicListEntryView::updateElementVisibilityTimed()
{
    const double alpha = m_mouseInside ? 1.0 : 0.0;
    const double seconds = QSRowView::elementFadeDuration();
    for (QWidget *control : {static_cast<QWidget *>(m_removeButton), static_cast<QWidget *>(m_dragButton),
                             static_cast<QWidget *>(m_copyButton), static_cast<QWidget *>(m_pasteButton)}) {
        if (control)
            platform::fadeViewAlpha(control, alpha, seconds);
    }
    if (m_mouseInside && m_pasteButton && delegate())
        m_pasteButton->setEnabled(delegate()->acceptPasteForListEntry(this));
}
