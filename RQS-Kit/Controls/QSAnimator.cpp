#include "RQS-Kit/Controls/QSAnimator.h"

#include "RQS-Kit/Controls/LayerExtension.h"
#include "platform/foundation/Log.h"
#include "platform/layers/Layer.h"
#include "platform/layers/LayerRenderer.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/View.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QTimer>

#include <algorithm>
#include <utility>

using platform::Layer;
using platform::Transaction;

namespace {

// The window keeps its size by having its limits meet.
void fixSize(QWidget *window, const QSize &size)
{
    window->setMinimumSize(size);
    window->setMaximumSize(size);
}

// What a window shows its views in: a main window's central widget, any other window itself.
QWidget *contentViewOf(QWidget *window)
{
    const auto *main = qobject_cast<const QMainWindow *>(window);
    return main && main->centralWidget() ? main->centralWidget() : window;
}

QRectF rectThrough(const QRectF &rect, const std::function<QPointF(const QPointF &)> &map)
{
    return QRectF(map(rect.topLeft()), map(rect.bottomRight())).normalized();
}

} // namespace

QSAnimator::QSAnimator(QObject *parent)
    : QObject(parent)
{
}

QSAnimator::~QSAnimator()
{
    // An animator that goes while it animates ends its animation there.
    finalizeAnimation();
    delete m_animationView;
}

void QSAnimator::recordStartLayers(const QList<Layer *> &layers, platform::View *view)
{
    if (layers.isEmpty())
        return;
    if (!m_animationView) {
        if (!m_topView && view)
            m_topView = contentViewOf(view->window());
        if (!m_topView) {
            platform::logWarning(QStringLiteral("No view to lay the animation over"));
            return;
        }
        m_animationView = new platform::View(m_topView);
        connect(m_animationView, &QObject::destroyed, this, &QSAnimator::overlayWent);
        m_animationView->setFrame(QRectF(QPointF(), QSizeF(m_topView->size())));
        m_animationView->raise();
        m_animationView->setWantsLayer(true);
        m_animationView->show();
    }
    Group group;
    group.base = new Layer(m_animationView->layer());
    group.base->setOpacity(0);
    Transaction::begin();
    Transaction::setDisableActions(true);
    m_animationView->layer()->addSublayer(group.base);
    QList<QPointer<Layer>> sources;
    for (Layer *source : layers) {
        auto *copy = new Layer(group.base);
        group.base->addSublayer(copy);
        group.copies.append(copy);
        sources.append(source);
    }
    setupLayers(group.copies, sources, group.base, view);
    Transaction::commit();
    m_groups.append(group);
}

void QSAnimator::recordEndLayers(const QList<Layer *> &layers, platform::View *view)
{
    if (layers.isEmpty())
        return;
    if (m_endGroups >= m_groups.size()) {
        platform::logWarning(QStringLiteral("Final state recorded more groups than the %1 start groups").arg(m_groups.size()));
        return;
    }
    Group &group = m_groups[m_endGroups++];
    for (Layer *layer : layers)
        group.endLayers.append(layer);
    group.endView = view;
}

QList<Layer *> QSAnimator::hideLayers() const
{
    QList<Layer *> layers;
    for (const QPointer<Layer> &layer : m_hideLayers)
        layers.append(layer);
    return layers;
}

void QSAnimator::setHideLayers(const QList<Layer *> &layers)
{
    m_hideLayers.clear();
    for (Layer *layer : layers)
        m_hideLayers.append(layer);
}

void QSAnimator::animateWithEndState(std::function<void()> endState, std::function<void()> completion)
{
    // One animation at a time: the one under way ends here.
    finalizeAnimation();
    m_running = true;
    const int run = ++m_runs;
    m_endBlock = std::move(endState);
    m_completion = std::move(completion);
    m_window = window();
    if (m_window) {
        m_minimumSize = m_window->minimumSize();
        m_maximumSize = m_window->maximumSize();
        m_fixedSize = m_window->size();
        fixSize(m_window, m_fixedSize);
    }
    QTimer::singleShot(0, this, [this, run] {
        if (run == m_runs)
            recordAnimation();
    });
}

void QSAnimator::setupLayers(const QList<QPointer<Layer>> &copies, const QList<QPointer<Layer>> &sources, Layer *base,
                             platform::View *view)
{
    if (copies.isEmpty() || !base)
        return;
    const Layer *superlayer = sources.value(0) ? sources.value(0)->superlayer() : nullptr;
    const Layer *viewLayer = view ? view->layer() : nullptr;
    QRectF frame;
    // The overlay lies exactly over the top view, so its coordinates are the top view's.
    if (superlayer && viewLayer && m_animationView) {
        const QRectF inView = rectThrough(superlayer->bounds(), [&](const QPointF &p) {
            return superlayer->convertPointToLayer(p, viewLayer);
        });
        frame = rectThrough(inView, [&](const QPointF &p) { return view->convertPointToView(p, m_animationView); });
    }
    base->setAnchorPoint(superlayer ? superlayer->anchorPoint() : QPointF());
    base->setFrame(frame);
    base->setSublayerTransform(superlayer ? superlayer->sublayerTransform() : QMatrix4x4());
    for (int i = 0; i < copies.size(); ++i) {
        Layer *copy = copies[i];
        if (!copy)
            continue;
        Layer *source = sources.value(i);
        Layer blank;
        const Layer &from = source ? *source : blank;
        if (source && std::min(source->bounds().width(), source->bounds().height()) > 0)
            copy->setContents(platform::LayerRenderer::picture(*source));
        rqs::copyGeometryAndAppearance(from, *copy);
        copy->setShadowOpacity(from.shadowOpacity());
    }
}

void QSAnimator::recordAnimation()
{
    if (m_overlayGone) {
        finalizeAnimation();
        return;
    }
    Transaction::begin();
    Transaction::setDisableActions(true);
    for (const Group &group : std::as_const(m_groups)) {
        if (group.base)
            group.base->setOpacity(1);
    }
    m_hiddenOpacities.clear();
    for (const QPointer<Layer> &layer : std::as_const(m_hideLayers)) {
        m_hiddenOpacities.append(layer ? layer->opacity() : 1);
        if (layer)
            layer->setOpacity(0);
    }
    Transaction::commit();
    // The end block may delete this animator, the views or their window.
    const QPointer<QSAnimator> self(this);
    const int run = m_runs;
    if (const std::function<void()> endState = std::exchange(m_endBlock, {}))
        endState();
    if (!self || run != m_runs)
        return;
    QTimer::singleShot(0, this, [this, run] {
        if (run == m_runs)
            runAnimation();
    });
}

void QSAnimator::runAnimation()
{
    if (m_overlayGone) {
        finalizeAnimation();
        return;
    }
    if (m_endGroups < m_groups.size())
        platform::logWarning(QStringLiteral("Final state recorded %1 of %2 groups; the others stay as they were")
                                 .arg(m_endGroups)
                                 .arg(m_groups.size()));
    Transaction::begin();
    const bool shiftAlone = QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier;
    Transaction::setAnimationDuration(shiftAlone ? 10.0 : 1.0);
    Transaction::setCompletionBlock([self = QPointer<QSAnimator>(this), run = m_runs] {
        if (self)
            QTimer::singleShot(0, self, [self, run] {
                if (self && run == self->m_runs)
                    self->finalizeAnimation();
            });
    });
    for (int i = 0; i < m_endGroups; ++i)
        setupLayers(m_groups[i].copies, m_groups[i].endLayers, m_groups[i].base, m_groups[i].endView);
    Transaction::commit();
}

void QSAnimator::finalizeAnimation()
{
    if (!std::exchange(m_running, false))
        return;
    // Cut short before the final state was recorded, the client's final state still applies,
    // unless the views it would change went. It may delete this animator.
    const QPointer<QSAnimator> self(this);
    const bool viewsWent = std::exchange(m_overlayGone, false);
    if (const std::function<void()> endState = std::exchange(m_endBlock, {}); endState && !viewsWent)
        endState();
    if (!self)
        return;
    // The limits stand for the window's delegate: one that someone else set meanwhile stays. Without
    // a start group there was no overlay, so no window was held still and none is handed back; a
    // window that went with the views has none to take back.
    if (m_window && m_window->minimumSize() == m_fixedSize && m_window->maximumSize() == m_fixedSize) {
        m_window->setMinimumSize(m_minimumSize);
        m_window->setMaximumSize(m_maximumSize);
    } else if (!viewsWent) {
        platform::logWarning(QStringLiteral("Window delegate was changed during animation"));
    }
    Transaction::begin();
    Transaction::setDisableActions(true);
    for (int i = 0; i < m_hiddenOpacities.size(); ++i) {
        if (m_hideLayers.value(i))
            m_hideLayers[i]->setOpacity(m_hiddenOpacities[i]);
    }
    Transaction::commit();
    m_hiddenOpacities.clear();
    // The copies go with the overlay.
    m_groups.clear();
    m_endGroups = 0;
    delete m_animationView;
    if (const std::function<void()> completion = std::exchange(m_completion, {}))
        completion();
}

void QSAnimator::overlayWent()
{
    // Recorded for an animation not yet begun, the groups lie over nothing now.
    if (!m_running) {
        m_groups.clear();
        m_endGroups = 0;
        return;
    }
    m_overlayGone = true;
    QTimer::singleShot(0, this, [this, run = m_runs] {
        if (run == m_runs)
            finalizeAnimation();
    });
}

QWidget *QSAnimator::window() const { return m_animationView ? m_animationView->window() : nullptr; }
