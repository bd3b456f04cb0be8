#include "Screenshot.h"

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace {

// The file's path, its folder made; empty when no screenshots are wanted.
QString screenshotPath(const QString &name)
{
    const QString folder = qEnvironmentVariable("FOLDWISE_TEST_SCREENSHOTS");
    if (folder.isEmpty())
        return {};
    QDir().mkpath(folder);
    return QDir(folder).filePath(name + QStringLiteral(".png"));
}

} // namespace

bool saveScreenshot(QWidget *window, const QString &name)
{
    const QString path = screenshotPath(name);
    return path.isEmpty() || (window && window->grab().save(path));
}

bool saveScreenshot(const QImage &picture, const QString &name)
{
    const QString path = screenshotPath(name);
    return path.isEmpty() || picture.save(path);
}
