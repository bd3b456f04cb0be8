#include "platform/ui/ScrollView.h"

#include "platform/ui/TakenViews.h"
#include "platform/ui/View.h"

#include <QResizeEvent>
#include <QScrollBar>

namespace platform {

namespace {

constexpr int overlayWidth = 10;

} // namespace

ScrollView::ScrollView(QWidget *parent)
    : QScrollArea(parent)
    , m_taken(new TakenViews(this))
{
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ScrollView::boundsChanged);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &ScrollView::boundsChanged);
}

QWidget *ScrollView::setDocumentView(QWidget *view)
{
    if (view == widget())
        return nullptr;
    QWidget *old = widget() ? m_taken->handBack(takeWidget()) : nullptr;
    if (view)
        setWidget(view);
    return old;
}

QWidget *ScrollView::documentView() const { return widget(); }

bool ScrollView::documentIsFlipped() const
{
    const auto *view = qobject_cast<const View *>(widget());
    return view && view->isFlipped();
}

QRectF ScrollView::documentVisibleRect() const
{
    const QWidget *document = widget();
    if (!document)
        return {};
    const QRectF shown = QRectF(QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()), QSizeF(viewport()->size()))
                             .intersected(QRectF(QPointF(), QSizeF(document->size())));
    if (documentIsFlipped())
        return shown;
    return {shown.x(), document->height() - shown.bottom(), shown.width(), shown.height()};
}

void ScrollView::scrollToPoint(const QPointF &origin)
{
    const QWidget *document = widget();
    if (!document)
        return;
    const double top = documentIsFlipped() ? origin.y() : document->height() - origin.y() - viewport()->height();
    horizontalScrollBar()->setValue(qRound(origin.x()));
    verticalScrollBar()->setValue(qRound(top));
}

bool ScrollView::overlayScrollers() const { return m_overlay; }

void ScrollView::setOverlayScrollers(bool overlay)
{
    if (overlay == overlayScrollers())
        return;
    if (!overlay) {
        delete m_overlay;
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        return;
    }
    // The area's own scroller keeps the range and value; it only stops taking room.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar *own = verticalScrollBar();
    m_overlay = new QScrollBar(Qt::Vertical, this);
    m_overlay->setRange(own->minimum(), own->maximum());
    m_overlay->setPageStep(own->pageStep());
    m_overlay->setValue(own->value());
    connect(own, &QScrollBar::rangeChanged, m_overlay, [this](int minimum, int maximum) {
        m_overlay->setRange(minimum, maximum);
        m_overlay->setPageStep(verticalScrollBar()->pageStep());
        placeOverlay();
    });
    connect(own, &QScrollBar::valueChanged, m_overlay, &QScrollBar::setValue);
    connect(m_overlay, &QScrollBar::valueChanged, own, &QScrollBar::setValue);
    styleOverlay();
    placeOverlay();
}

QScrollBar *ScrollView::overlayScroller() const { return m_overlay; }

int ScrollView::scrollerKnobStyle() const { return m_knobStyle; }

void ScrollView::setScrollerKnobStyle(int style)
{
    m_knobStyle = style;
    styleOverlay();
}

void ScrollView::styleOverlay()
{
    if (!m_overlay)
        return;
    const QString knob = m_knobStyle == LightKnob ? QStringLiteral("rgba(255,255,255,140)") : QStringLiteral("rgba(0,0,0,128)");
    m_overlay->setStyleSheet(QStringLiteral("QScrollBar:vertical{background:transparent;width:%1px;margin:2px 2px 2px 0}"
                                            "QScrollBar::handle:vertical{background:%2;border-radius:3px;min-height:20px}"
                                            "QScrollBar::add-line,QScrollBar::sub-line{height:0}"
                                            "QScrollBar::add-page,QScrollBar::sub-page{background:transparent}")
                                 .arg(overlayWidth)
                                 .arg(knob));
}

void ScrollView::placeOverlay()
{
    if (!m_overlay)
        return;
    const QRect area = viewport()->geometry();
    m_overlay->setGeometry(area.right() + 1 - overlayWidth, area.top(), overlayWidth, area.height());
    m_overlay->setVisible(m_overlay->maximum() > m_overlay->minimum());
    m_overlay->raise();
}

void ScrollView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    placeOverlay();
    emit boundsChanged();
}

} // namespace platform
