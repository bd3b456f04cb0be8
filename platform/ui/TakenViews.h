#pragma once

#include <QObject>
#include <QWidget>

#include <memory>

namespace platform {

// The one rule of ownership for the views a kit container holds, Qt's rule for the items a
// container gives back (QListWidget::takeItem): a container parents a view while it holds it; a
// view one of its calls hands back (returns) is the caller's, without a parent, and the container
// never deletes it; a view it drops without handing it back is deleted with the deferred deletions
// of the next turn of the event loop, unless by then it has a parent again (the caller added it
// somewhere within the same turn, or gave it a parent of its own) or was handed back since. A
// container answers to findChild with its TakenViews. GUI thread.
class TakenViews : public QObject
{
    Q_OBJECT
public:
    explicit TakenViews(QObject *container);

    // Without a parent, not shown, and the caller's; a View keeps its frame for its next superview.
    // Answers the view.
    template <class ViewType>
    ViewType *handBack(ViewType *view)
    {
        release(view);
        return view;
    }
    // Out of the container; deleted soon unless taken up meanwhile.
    void drop(QWidget *view);
    // Out of the container and kept while a copy of the answer lives (in an undo step that may add
    // it again, say); the answers of every call for one view are copies of one, so the view is
    // dropped when the last holder of any of them goes, unless it has a parent again by then.
    std::shared_ptr<void> keep(QWidget *view);

private:
    static void release(QWidget *view);
    static void dropLater(QWidget *view);
};

} // namespace platform
