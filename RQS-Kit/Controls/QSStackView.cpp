#include "RQS-Kit/Controls/QSStackView.h"

#include "RQS-Kit/Controls/QS3DLayer.h"
#include "RQS-Kit/Controls/QSGridItem.h"
#include "RQS-Kit/Controls/QSHostedView.h"
#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Helper/QSCursorStack.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/TakenViews.h"

#include <QDateTime>
#include <QEvent>

#include <algorithm>

using platform::Layer;
using platform::Transaction;

namespace {

// Five sevenths of a half turn back about the x axis.
constexpr double tilt = -2.243994752564138;
constexpr int climbingCards = 20;

} // namespace

QSStackView::QSStackView(QWidget *parent)
    : platform::View(parent)
    , m_seed(std::uint32_t(QDateTime::currentSecsSinceEpoch()))
    , m_taken(new platform::TakenViews(this))
{
    setWantsLayer(true);
    m_layer3D = new QS3DLayer(this);
    m_layer3D->setDepthFactor(1.4);
    m_layer3D->setFrame(QRectF(0, 0, bounds().width(), 800));
    m_layer3D->setAutoresizingMask(Layer::WidthSizable | Layer::MaxYMargin);
    layer()->addSublayer(m_layer3D);
    m_shadowLayer = new Layer(this);
    m_shadowLayer->setContents(rqs::imageNamed(*platform::Bundle::mainBundle(), QStringLiteral("StackShadow")));
    m_shadowLayer->setOpacity(0);
    m_shadowLayer->setFrame(QRectF(1, 0, bounds().width() - 20, 18));
    m_shadowLayer->setAutoresizingMask(Layer::WidthSizable | Layer::MaxYMargin);
    layer()->addSublayer(m_shadowLayer);
    setAspectRatio(16.0 / 9.0);
}

QSStackView::~QSStackView()
{
    // Gone from under the pointer, the pile gives the hand back as its removal does.
    QSCursorStack::popCursorForKey(cursorKey(), window());
    // The cards go with the base, after the pile.
    for (const QPointer<QSGridItem> &item : std::as_const(m_items)) {
        if (item)
            disconnect(item, &QObject::destroyed, this, &QSStackView::forgetItem);
    }
}

void QSStackView::setAspectRatio(double ratio)
{
    if (!(ratio > 0)) {
        platform::logWarning(QStringLiteral("Refused stack aspect ratio %1").arg(ratio));
        return;
    }
    m_aspectRatio = ratio;
}

QRectF QSStackView::baseRect() const
{
    return QRectF(10, 0, bounds().width() - 20, bounds().width() / m_aspectRatio);
}

void QSStackView::addGridItem(QSGridItem *item, bool append)
{
    if (!item)
        return;
    if (m_layer3D->superlayer() != layer()) {
        platform::logWarning(QStringLiteral("Wrong superlayer for Layer 3D"));
        layer()->addSublayer(m_layer3D);
        layer()->addSublayer(m_shadowLayer);
    }
    if (const qsizetype at = m_items.indexOf(item); at >= 0)
        m_items.removeAt(at);
    removeItemWithContext(item->context());
    if (append)
        m_items.append(item);
    else
        m_items.prepend(item);
    addSubview(item);
    connect(item, &QObject::destroyed, this, &QSStackView::forgetItem, Qt::UniqueConnection);
    item->setFrame(baseRect());
    item->setDelegate(nullptr);
    item->show();
    item->layer()->setAnchorPoint(QPointF(0.5, 0.5));
    item->layer()->setFrame(baseRect());
    updateLayers();
    QSHostedView::host(item);
    if (m_shadowVisible)
        m_shadowLayer->setOpacity(1);
}

void QSStackView::instantReplaceGridItems(const QList<QSGridItem *> &items)
{
    Transaction::begin();
    Transaction::setDisableActions(true);
    removeAllItems();
    for (QSGridItem *item : items)
        addGridItem(item, true);
    Transaction::commit();
}

void QSStackView::removeItemWithContext(const QVariant &context)
{
    for (int i = 0; i < m_items.size(); ++i) {
        QSGridItem *item = m_items[i];
        if (item && item->hasContext(context)) {
            m_items.removeAt(i);
            takeOut(item);
            updateLayers();
            return;
        }
    }
}

void QSStackView::removeAllItems()
{
    const QList<QPointer<QSGridItem>> items = std::exchange(m_items, {});
    for (const QPointer<QSGridItem> &item : items) {
        if (item)
            takeOut(item);
    }
    m_shadowLayer->setOpacity(0);
}

void QSStackView::takeOut(QSGridItem *item)
{
    disconnect(item, &QObject::destroyed, this, &QSStackView::forgetItem);
    item->layer()->removeFromSuperlayer();
    m_taken->drop(item);
}

void QSStackView::forgetItem()
{
    // The card is being destroyed: its guarded pointer is cleared once it is gone.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_items.removeAll(nullptr);
            updateLayers();
        },
        Qt::QueuedConnection);
}

QList<QSGridItem *> QSStackView::gridItems() const
{
    QList<QSGridItem *> items;
    for (const QPointer<QSGridItem> &item : m_items) {
        if (item)
            items.append(item);
    }
    return items;
}

double QSStackView::neededHeight() const
{
    if (m_items.isEmpty() || !m_items.first())
        return 0;
    const Layer *top = m_items.first()->layer();
    return top->convertPointToLayer(QPointF(0, top->bounds().height()), layer()).y();
}

double QSStackView::trackingTop() const
{
    const QList<Layer *> cards = m_layer3D->sublayers();
    if (!cards.isEmpty())
        return cards.last()->convertPointToLayer(QPointF(0, baseRect().height()), layer()).y();
    return m_shadowLayer->frame().top() + m_shadowLayer->frame().height();
}

QSStackView *QSStackView::fromInterfaceFile(QWidget *parent)
{
    auto *stack = new QSStackView(parent);
    stack->m_shadowVisible = false;
    return stack;
}

void QSStackView::setShadowVisible(bool visible)
{
    m_shadowVisible = visible;
    Transaction::begin();
    m_shadowLayer->setOpacity(visible && !m_items.isEmpty() ? 1 : 0);
    Transaction::commit();
}

void QSStackView::updateLayers()
{
    m_random.seed(m_seed);
    const int n = int(m_items.size());
    const int start = std::max(n - climbingCards, 0);
    for (int i = 0; i < n; ++i) {
        QSGridItem *item = m_items[n - 1 - i];
        if (!item)
            continue;
        const double jitter = float(m_random() % 10000000u) / 10000000.0 * 6 - 3;
        const double lift = 18 + 3 * std::max(i - start, 0);
        QMatrix4x4 transform;
        transform.translate(float(jitter), float(lift), 0);
        transform.rotate(float(tilt * 180 / 3.141592653589793), 1, 0, 0);
        Layer *card = item->layer();
        card->setTransform(transform);
        card->setBorderColor(Qt::white);
        card->setBorderWidth(1);
        card->setShadowColor(Qt::black);
        card->setShadowOpacity(i < start ? 0 : 0.5);
        card->setShadowRadius(1);
        card->setShadowOffset(QPointF(0, -4));
        m_layer3D->addSublayer(card);
    }
    updateTrackingAreas();
}

QWidget *QSStackView::hitTest(const QPointF &point) { return frame().contains(point) ? this : nullptr; }

void QSStackView::mouseUp(const platform::MouseEvent &event)
{
    if (event.clickCount > 0 && !m_items.isEmpty() && event.location.y() < trackingTop()) {
        if (QSStackViewDelegate *delegate = m_delegate.get())
            delegate->didSelectStackView(this);
        return;
    }
    platform::View::mouseUp(event);
}

void QSStackView::mouseEntered(const platform::MouseEvent &)
{
    QSCursorStack::pushCursor(Qt::PointingHandCursor, cursorKey(), window());
}

void QSStackView::mouseExited(const platform::MouseEvent &) { QSCursorStack::popCursorForKey(cursorKey(), window()); }

void QSStackView::updateTrackingAreas()
{
    platform::View::updateTrackingAreas();
    if (m_trackingArea)
        removeTrackingArea(m_trackingArea);
    m_trackingArea = 0;
    bool inside = false;
    if (superview() && !m_items.isEmpty()) {
        platform::TrackingArea area;
        area.rect = QRectF(0, 0, bounds().width(), trackingTop());
        area.options |= platform::TrackingArea::ActiveInKeyWindow;
        // A pile that grows under a pointer that does not move shows the hand at once; one that
        // shrinks from under it takes the hand back.
        m_trackingArea = addTrackingAreaAtPointer(area, &inside);
    }
    if (inside)
        mouseEntered({});
    else
        mouseExited({});
}

bool QSStackView::event(QEvent *event)
{
    if (event->type() == QEvent::ParentAboutToChange)
        mouseExited({});
    return platform::View::event(event);
}

QVariant QSStackView::cursorKey() { return QVariant::fromValue(static_cast<QObject *>(this)); }
