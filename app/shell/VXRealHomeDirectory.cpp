#include "app/shell/VXRealHomeDirectory.h"

#include <QDir>

#include <pwd.h>
#include <unistd.h>

QString VXRealHomeDirectory()
{
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return QString::fromUtf8(entry->pw_dir);
    return QDir::homePath();
}
