#include "RQS-Kit/Foundation/ImageExtension.h"

#include "RQS-Kit/Foundation/FileManagerExtension.h"
#include "platform/foundation/PictureFileReader.h"

namespace rqs {

QImage imageNamed(const QString &name, const QString &folder)
{
    for (const QString &path : filesWithName(name, folder)) {
        const QImage image = platform::PictureFileReader::read(path);
        if (!image.isNull())
            return image;
    }
    return {};
}

} // namespace rqs
