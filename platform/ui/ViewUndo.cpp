#include "platform/ui/ViewUndo.h"

#include "platform/ui/DocumentBase.h"
#include "platform/ui/UndoManager.h"

#include <QWidget>

namespace platform {

namespace {

const char *const windowUndoName = "platform.windowUndo";

} // namespace

UndoManager *undoManagerForView(QWidget *view)
{
    QWidget *window = view->window();
    if (DocumentBase *document = DocumentBase::documentForWindow(window))
        return document->undoManager();
    if (auto *own = window->findChild<UndoManager *>(QLatin1String(windowUndoName), Qt::FindDirectChildrenOnly))
        return own;
    auto *own = new UndoManager(window);
    own->setObjectName(QLatin1String(windowUndoName));
    return own;
}

} // namespace platform
