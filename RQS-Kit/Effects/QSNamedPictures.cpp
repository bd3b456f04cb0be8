#include "RQS-Kit/Effects/QSNamedPictures.h"

#include "RQS-Kit/Effects/QSEffectResourceStore.h"
#include "RQS-Kit/Foundation/BundleExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"

#include <QFileInfo>

namespace rqs {

QStringList namedPictureNames(const QString &type, const QString &avoiding)
{
    return resourceIDNamesForImageResourcesAvoding(*graphicsBundle(), avoiding, directoryForResourceType(type));
}

QString namedPicturePath(const QString &type, const QString &text, const QString &avoiding)
{
    return pathForImageResourceWithPrefix(*graphicsBundle(), text, directoryForResourceType(type), avoiding);
}

QString userPicturePath(const QString &fileName)
{
    if (!QSEffectResourceStore::isPlainFileName(fileName))
        return {};
    for (const QString &folder : {QSEffectResourceStore::folder(), platform::TempFolder::path()}) {
        const QFileInfo file(folder + QLatin1Char('/') + fileName);
        if (!folder.isEmpty() && file.isFile())
            return file.filePath();
    }
    return {};
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
