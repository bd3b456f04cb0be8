#include "platform/ui/TakenViews.h"

#include "platform/ui/View.h"

#include <QPointer>

namespace platform {

namespace {

// Set on a dropped view until its check ran; handing the view back clears it.
const char *const droppedMark = "platform.droppedView";

// Goes with the deferred deletions of the next turn, and takes the dropped view along if nobody
// took it up meanwhile. Not the view's child: it may delete the view.
class DroppedViewCheck : public QObject
{
public:
    explicit DroppedViewCheck(QWidget *view)
        : m_view(view)
    {
    }
    ~DroppedViewCheck() override
    {
        if (!m_view || !m_view->property(droppedMark).toBool())
            return;
        m_view->setProperty(droppedMark, QVariant());
        if (!m_view->parent())
            delete m_view;
    }

private:
    QPointer<QWidget> m_view;
};

} // namespace

TakenViews::TakenViews(QObject *container)
    : QObject(container)
{
}

void TakenViews::drop(QWidget *view)
{
    if (!view)
        return;
    release(view);
    dropLater(view);
}

std::shared_ptr<void> TakenViews::keep(QWidget *view)
{
    release(view);
    return std::shared_ptr<void>(nullptr, [kept = QPointer<QWidget>(view)](void *) {
        if (kept && !kept->parent())
            dropLater(kept);
    });
}

void TakenViews::release(QWidget *view)
{
    if (!view)
        return;
    // Un-parented, it is no longer shown; a view hidden on purpose would stay hidden when added
    // again, so it is not hidden itself.
    if (auto *platformView = qobject_cast<View *>(view))
        platformView->removeFromSuperview();
    else
        view->setParent(nullptr);
    view->setProperty(droppedMark, QVariant());
    View::setLentSubview(view, false);
}

void TakenViews::dropLater(QWidget *view)
{
    view->setProperty(droppedMark, true);
    (new DroppedViewCheck(view))->deleteLater();
}

} // namespace platform
