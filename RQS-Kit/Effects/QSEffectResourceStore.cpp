#include "RQS-Kit/Effects/QSEffectResourceStore.h"

#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Foundation/FileManagerExtension.h"
#include "platform/foundation/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString QSEffectResourceStore::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/EffectResources");
}

QString QSEffectResourceStore::storeCopyOf(const QUrl &source)
{
    const QString from = source.toLocalFile();
    if (!QDir().mkpath(folder())) {
        platform::logError(QStringLiteral("Could not make the folder %1 for a chosen picture").arg(folder()));
        return {};
    }
    const QString extension = QFileInfo(from).suffix();
    const QString name = QStringLiteral("EffectResource-") + rqs::randomStringWithLength(10)
                         + (extension.isEmpty() ? QString() : QLatin1Char('.') + extension);
    QString error;
    if (!rqs::copyFileExclusively(from, folder() + QLatin1Char('/') + name, &error)) {
        platform::logError(QStringLiteral("Could not copy the picture %1 into %2, because %3").arg(from, folder(), error));
        return {};
    }
    return name;
}

bool QSEffectResourceStore::isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QLatin1Char('/'))
           && !name.contains(QChar(0));
}

QString QSEffectResourceStore::pathForResource(const QString &name)
{
    const QString path = folder() + QLatin1Char('/') + name;
    if (!isPlainFileName(name) || !QFileInfo(path).isFile()) {
        platform::logWarning(QStringLiteral("The chosen picture %1 is gone; the effect goes without it").arg(name));
        return {};
    }
    return path;
}
