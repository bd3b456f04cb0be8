#include "RQS-Kit/Controls/QSShadowedScrollView.h"

#include "RQS-Kit/Controls/ImagePlacement.h"
#include "RQS-Kit/Controls/QSImageView.h"
#include "platform/ui/ViewEffects.h"

#include <QGuiApplication>
#include <QEvent>
#include <QScrollBar>

namespace {

constexpr double bandHeight = 14;
constexpr double fadeLength = 15;

double clamped(double value) { return std::clamp(value, 0.0, 1.0); }

QSImageView *band(const QString &imageName, QWidget *superview)
{
    auto *view = new QSImageView(superview);
    view->setImageName(imageName);
    view->setNoHitTesting(true);
    view->show();
    return view;
}

} // namespace

QSShadowedScrollView::BandAlphas QSShadowedScrollView::bandAlphas(const QRectF &visible, double documentHeight, double contentHeight)
{
    const double vy = visible.y();
    const double top = clamped((documentHeight - (vy + visible.height())) / fadeLength);
    const double bottom = contentHeight >= 0 ? clamped((vy + contentHeight - documentHeight) / fadeLength) : clamped(vy / fadeLength);
    return {top, bottom};
}

QSShadowedScrollView::QSShadowedScrollView(QWidget *parent)
    : platform::ScrollView(parent)
{
    connect(this, &platform::ScrollView::boundsChanged, this, &QSShadowedScrollView::scrollViewDidScroll);
    // A document that grows or shrinks changes how much lies beyond each edge without a scroll.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &QSShadowedScrollView::scrollViewDidScroll);
    if (parent)
        makeBands();
}

QSShadowedScrollView::~QSShadowedScrollView()
{
    delete m_topShadow;
    delete m_bottomShadow;
}

bool QSShadowedScrollView::showTopShadow() const { return m_showTopShadow; }

void QSShadowedScrollView::setShowTopShadow(bool show)
{
    m_showTopShadow = show;
    if (m_topShadow) {
        m_topShadow->setVisible(show);
        m_topShadow->raise();
    }
}

bool QSShadowedScrollView::showBottomShadow() const { return m_showBottomShadow; }

void QSShadowedScrollView::setShowBottomShadow(bool show)
{
    m_showBottomShadow = show;
    if (m_bottomShadow) {
        m_bottomShadow->setVisible(show);
        m_bottomShadow->raise();
    }
}

double QSShadowedScrollView::contentHeight() const { return m_contentHeight; }

void QSShadowedScrollView::setContentHeight(double height) { m_contentHeight = height; }

QSImageView *QSShadowedScrollView::topShadow() const { return m_topShadow; }

QSImageView *QSShadowedScrollView::bottomShadow() const { return m_bottomShadow; }

void QSShadowedScrollView::pushShadowsToFront()
{
    if (m_topShadow)
        m_topShadow->raise();
    if (m_bottomShadow)
        m_bottomShadow->raise();
}

void QSShadowedScrollView::scrollViewDidScroll()
{
    const double documentHeight = documentView() ? documentView()->height() : 0;
    const BandAlphas alphas = bandAlphas(documentVisibleRect(), documentHeight, m_contentHeight);
    // Shift held alone slows the fade down for inspection.
    const double seconds = QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier ? 2.5 : 0;
    if (m_topShadow)
        platform::fadeViewAlpha(m_topShadow, alphas.top, seconds);
    if (m_bottomShadow)
        platform::fadeViewAlpha(m_bottomShadow, alphas.bottom, seconds);
}

void QSShadowedScrollView::makeBands()
{
    QWidget *superview = parentWidget();
    if (!superview)
        return;
    if (!m_bottomShadow) {
        m_bottomShadow = band(QStringLiteral("BentBottomShadow"), superview);
        m_bottomShadow->setGravity(rqs::FillGravity);
    }
    if (!m_topShadow)
        m_topShadow = band(QStringLiteral("BentTopShadow"), superview);
    for (QSImageView *view : {m_topShadow.data(), m_bottomShadow.data()}) {
        if (view->parentWidget() != superview)
            view->setParent(superview);
    }
    setShowTopShadow(m_showTopShadow);
    setShowBottomShadow(m_showBottomShadow);
    placeBands();
}

void QSShadowedScrollView::placeBands()
{
    // Placed in Qt's own top-down geometry, which needs no care for a flipped superview.
    const QRect area = geometry();
    if (m_topShadow)
        m_topShadow->setGeometry(area.x(), area.y(), area.width(), int(bandHeight));
    if (m_bottomShadow)
        m_bottomShadow->setGeometry(area.x(), area.bottom() + 1 - int(bandHeight), area.width(), int(bandHeight));
    scrollViewDidScroll();
}

bool QSShadowedScrollView::event(QEvent *event)
{
    const bool handled = platform::ScrollView::event(event);
    switch (event->type()) {
    case QEvent::ParentChange:
        makeBands();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        placeBands();
        break;
    default:
        break;
    }
    return handled;
}
