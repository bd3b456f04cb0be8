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

// The one count of the holders that keep a view, whatever number of calls handed them out: the
// view's child, so it goes with the view.
class KeptViewCount : public QObject
{
public:
    explicit KeptViewCount(QWidget *view)
        : QObject(view)
    {
        setObjectName(QLatin1String(name));
    }
    static KeptViewCount *of(const QWidget *view)
    {
        return dynamic_cast<KeptViewCount *>(view->findChild<QObject *>(QLatin1String(name), Qt::FindDirectChildrenOnly));
    }
    std::weak_ptr<void> holders;

private:
    static constexpr const char *name = "platform.keptViewCount";
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
    if (!view)
        return {};
    KeptViewCount *count = KeptViewCount::of(view);
    if (!count)
        count = new KeptViewCount(view);
    // The holders point at nothing (null reads as false), so the count tells whether any is left.
    if (!count->holders.expired())
        return count->holders.lock();
    // A deleter runs even for a null pointer: the holder needs nothing to point at.
    std::shared_ptr<void> held(nullptr, [kept = QPointer<QWidget>(view)](void *) {
        if (kept && !kept->parent())
            dropLater(kept);
    });
    count->holders = held;
    return held;
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
