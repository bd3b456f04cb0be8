#pragma once

#include <QString>

namespace platform {

// Shows a file in the desktop's file manager: selected in its folder where the file manager
// offers the freedesktop interface for that on the session bus, else the folder opened. GUI thread.
class FileViewer
{
public:
    // False (logged) when neither worked.
    static bool selectFile(const QString &path);

    FileViewer() = delete;
};

} // namespace platform
