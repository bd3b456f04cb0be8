#include "Screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

bool saveScreenshot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("FOLDWISE_TEST_SCREENSHOTS");
    if (folder.isEmpty())
        return true;
    QDir().mkpath(folder);
    return window && window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
