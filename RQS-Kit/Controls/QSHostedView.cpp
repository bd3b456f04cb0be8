#include "RQS-Kit/Controls/QSHostedView.h"

#include "platform/layers/Layer.h"
#include "platform/ui/View.h"

#include <QEvent>
#include <QGraphicsEffect>
#include <QImage>
#include <QPainter>
#include <QTimer>

using platform::View;

// Stands in for the view's own painting: Qt paints nothing where the view lies, but learns that
// it painted there, and the host's render passes draw the view with its child widgets.
class QSHostedViewEffect : public QGraphicsEffect
{
public:
    QSHostedViewEffect(std::function<void()> painted, QObject *parent)
        : QGraphicsEffect(parent)
        , m_painted(std::move(painted))
    {
    }
    bool rendering = false;

protected:
    void draw(QPainter *painter) override
    {
        if (rendering)
            drawSource(painter);
        else
            m_painted();
    }

private:
    std::function<void()> m_painted;
};

QSHostedView *QSHostedView::host(View *view)
{
    if (auto *existing = view->findChild<QSHostedView *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new QSHostedView(view);
}

QSHostedView::QSHostedView(View *view)
    : QObject(view)
    , m_view(view)
    , m_superview(view->superview())
    , m_effect(new QSHostedViewEffect([this] { refreshSoon(); }, view))
{
    view->setWantsLayer(true);
    view->setGraphicsEffect(m_effect);
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->installEventFilter(this);
    placeLayer(view);
    refresh();
}

void QSHostedView::placeLayer(View *view)
{
    platform::Layer *layer = view->layer();
    if (!layer)
        return;
    const QMatrix4x4 turn = layer->transform();
    layer->setTransform(QMatrix4x4());
    layer->setFrame(view->frame());
    layer->setTransform(turn);
}

void QSHostedView::refresh()
{
    m_refreshPending = false;
    View *view = m_view;
    if (!view || !view->layer())
        return;
    const double scale = view->devicePixelRatioF();
    QImage picture((QSizeF(view->size()) * scale).toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(scale);
    picture.fill(Qt::transparent);
    m_effect->rendering = true;
    view->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    m_effect->rendering = false;
    // Qt also paints here when the container beneath repaints; only a changed picture counts.
    if (picture != view->layer()->contents())
        view->layer()->setContents(picture);
}

void QSHostedView::refreshSoon()
{
    // Qt is painting its window: the picture is taken once that is done.
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, &QSHostedView::refresh);
}

bool QSHostedView::eventFilter(QObject *watched, QEvent *event)
{
    // By type first: a view going sends events from its base's destructor, where reading it as a
    // View is undefined.
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        if (watched == m_view) {
            placeLayer(m_view);
            refreshSoon();
        }
        break;
    case QEvent::ParentChange:
        if (watched == m_view && m_view->superview() != m_superview)
            release();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void QSHostedView::release()
{
    View *view = m_view;
    view->removeEventFilter(this);
    view->setGraphicsEffect(nullptr);
    view->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    if (platform::Layer *layer = view->layer()) {
        layer->removeFromSuperlayer();
        layer->setContents(QImage());
    }
    // The effect went with setGraphicsEffect; a refresh still due finds no view.
    m_effect = nullptr;
    m_view.clear();
    setParent(nullptr);
    deleteLater();
}
