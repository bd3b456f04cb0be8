#pragma once

namespace platform {

// Raises the process's soft limit of open files to its hard limit. Every open PDF holds its file
// open, and a batch of hundreds of files would otherwise run into the desktop's usual soft limit
// of 1024, where files no longer open and the GUI libraries abort. Logs a warning when it cannot.
// Once, at start, before any thread.
void raiseOpenFileLimit();

} // namespace platform
