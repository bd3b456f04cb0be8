#include "RQS-Kit/Effects/QSNamedPictures.h"

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
