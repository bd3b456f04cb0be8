#include "platform/ui/TakenViews.h"

#include "platform/ui/View.h"

namespace platform {

TakenViews::TakenViews(QObject *container)
    : QObject(container)
{
}

TakenViews::~TakenViews()
{
    for (const QPointer<QWidget> &view : std::as_const(m_taken)) {
        if (view && !view->parent())
            delete view;
    }
}

void TakenViews::take(QWidget *view)
{
    if (!view)
        return;
    // Un-parented, it is no longer shown; a view hidden on purpose would stay hidden when added
    // again, so it is not hidden itself.
    if (auto *platformView = qobject_cast<View *>(view))
        platformView->removeFromSuperview();
    else
        view->setParent(nullptr);
    m_taken.removeAll(nullptr);
    if (!m_taken.contains(view))
        m_taken.append(view);
}

} // namespace platform
