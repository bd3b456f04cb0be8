#pragma once

#include <QObject>
#include <QPointer>

namespace platform {
class View;
}

class QSHostedViewEffect;

// A view that its container shows only through the view's layer, moved into a layer tree of the
// container's (the cards of a stack, the turned subviews of a 3-D view). Qt no longer draws the
// view where it lies untransformed, and the view takes no mouse events itself: the container hands
// them on. The layer stays live: its contents follow what the view and its child widgets draw
// whenever they repaint, and its frame follows the view's, the client's 3-D transform kept. When
// the view leaves its superview it draws itself again and its layer leaves the container's tree.
// Main thread.
class QSHostedView : public QObject
{
    Q_OBJECT
public:
    // Idempotent; the view must already be the container's subview.
    static QSHostedView *host(platform::View *view);
    // The view's frame on its layer, the layer's transform kept.
    static void placeLayer(platform::View *view);

    // Takes what the view draws now into its layer, when that changed.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit QSHostedView(platform::View *view);
    void refreshSoon();
    void release();

    QPointer<platform::View> m_view;
    QPointer<QWidget> m_superview;
    QSHostedViewEffect *m_effect;
    bool m_refreshPending = false;
};
