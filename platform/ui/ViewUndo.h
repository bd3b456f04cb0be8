#pragma once

class QWidget;

namespace platform {

class UndoManager;

// The undo manager that edits made in a view register with: its window's document's, otherwise
// one that belongs to the window and lives as long as it. GUI thread.
UndoManager *undoManagerForView(QWidget *view);

} // namespace platform
