#include "RQS-Kit/Effects/QSNamedPictures.h"

#include "RQS-Kit/Foundation/BundleExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"

#include <QFileInfo>
#include <QMutex>

namespace rqs {

namespace {

struct Root
{
    QMutex lock;
    platform::BundlePtr bundle;
};

Root &root()
{
    static Root instance;
    return instance;
}

} // namespace

platform::BundlePtr namedPicturesBundle()
{
    Root &r = root();
    const QMutexLocker locker(&r.lock);
    return r.bundle ? r.bundle : graphicsBundle();
}

bool setNamedPicturesFolder(const QString &path)
{
    platform::BundlePtr bundle;
    if (!path.isEmpty()) {
        bundle = platform::Bundle::bundleWithPath(path);
        if (!bundle) {
            platform::logWarning(QStringLiteral("There is no folder of named pictures at %1").arg(path));
            return false;
        }
    }
    Root &r = root();
    const QMutexLocker locker(&r.lock);
    r.bundle = bundle;
    return true;
}

QStringList namedPictureNames(const QString &type, const QString &avoiding)
{
    return resourceIDNamesForImageResourcesAvoding(*namedPicturesBundle(), avoiding, directoryForResourceType(type));
}

QString namedPicturePath(const QString &type, const QString &text, const QString &avoiding)
{
    return pathForImageResourceWithPrefix(*namedPicturesBundle(), text, directoryForResourceType(type), avoiding);
}

QString temporaryPicturePath(const QString &fileName)
{
    const QString folder = platform::TempFolder::path();
    if (folder.isEmpty() || fileName.isEmpty() || fileName.contains(QLatin1Char('/')) || fileName == QLatin1String(".")
        || fileName == QLatin1String(".."))
        return {};
    const QFileInfo file(folder + QLatin1Char('/') + fileName);
    return file.isFile() ? file.filePath() : QString();
}

std::optional<QList<double>> layoutNumbers(const QString &options, int count)
{
    const QStringList parts = options.split(QLatin1Char('-'));
    if (options.isEmpty() || parts.size() != count)
        return std::nullopt;
    QList<double> numbers;
    for (const QString &part : parts) {
        bool ok = false;
        numbers.append(part.toDouble(&ok));
        if (!ok)
            return std::nullopt;
    }
    return numbers;
}

} // namespace rqs
