#include "RQS-Kit/Controls/QSButtonImages.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/PictureFileReader.h"

#include <QFileInfo>
#include <QPainter>

#include <algorithm>

namespace {

QImage fileImage(const QString &prefix, const QString &state, const QString &extension)
{
    for (const QString &path : {prefix + state + extension + QStringLiteral(".tiff"), prefix + state + QStringLiteral(".tiff")}) {
        if (QFileInfo(path).isFile()) {
            QImage image = platform::PictureFileReader::read(path);
            if (!image.isNull())
                return image;
        }
    }
    return {};
}

QImage namedImage(const QString &name, const QString &extension)
{
    const platform::BundlePtr bundle = platform::Bundle::mainBundle();
    if (!extension.isEmpty()) {
        const QImage image = bundle->imageNamed(name + extension);
        if (!image.isNull())
            return image;
    }
    return bundle->imageNamed(name);
}

QSButtonImages::ImageSet completed(const QImage &normal, QImage disabled, QImage hover, QImage down)
{
    if (normal.isNull())
        return {};
    if (down.isNull())
        down = normal;
    if (disabled.isNull())
        disabled = normal;
    if (hover.isNull())
        hover = QSButtonImages::hoverImageForImage(normal, down);
    return {disabled, normal, hover, down};
}

} // namespace

QSButtonImages::ImageSet QSButtonImages::imagesForPath(const QString &prefix, const QString &appearanceExtension)
{
    const QImage normal = fileImage(prefix, QStringLiteral("Normal"), appearanceExtension);
    if (normal.isNull())
        return {};
    return completed(normal, fileImage(prefix, QStringLiteral("Disabled"), appearanceExtension),
                     fileImage(prefix, QStringLiteral("Hover"), appearanceExtension),
                     fileImage(prefix, QStringLiteral("Down"), appearanceExtension));
}

QSButtonImages::ImageSet QSButtonImages::imagesForPaths(const QStringList &prefixes, const QString &appearanceExtension)
{
    for (const QString &prefix : prefixes) {
        ImageSet set = imagesForPath(prefix, appearanceExtension);
        if (!set.isEmpty())
            return set;
    }
    return {};
}

QSButtonImages::ImageSet QSButtonImages::imagesForName(const QString &name, const QString &appearanceExtension)
{
    if (name.isEmpty())
        return {};
    QImage normal = namedImage(name, appearanceExtension);
    if (normal.isNull())
        normal = namedImage(name + QStringLiteral("Normal"), appearanceExtension);
    if (normal.isNull())
        return {};
    return completed(normal, namedImage(name + QStringLiteral("Disabled"), appearanceExtension),
                     namedImage(name + QStringLiteral("Hover"), appearanceExtension),
                     namedImage(name + QStringLiteral("Down"), appearanceExtension));
}

QImage QSButtonImages::hoverImageForImage(const QImage &normal, const QImage &down)
{
    QImage hover(normal.size(), QImage::Format_ARGB32_Premultiplied);
    hover.setDevicePixelRatio(normal.devicePixelRatio());
    hover.fill(Qt::transparent);
    QPainter painter(&hover);
    const QRectF area(QPointF(0, 0), pointSize(normal));
    painter.drawImage(area, normal);
    painter.setOpacity(0.5);
    painter.drawImage(area, down);
    return hover;
}

QSButtonImages::ImageSet QSButtonImages::swappedForOn(const ImageSet &off)
{
    if (off.size() != 4)
        return {};
    return {off[0], off[3], off[2], off[1]};
}

bool QSButtonImages::isSwappedFrom(const ImageSet &on, const ImageSet &off)
{
    const ImageSet swapped = swappedForOn(off);
    return swapped.size() == 4 && isSameSet(on, swapped);
}

bool QSButtonImages::isSameSet(const ImageSet &a, const ImageSet &b)
{
    return a.size() == b.size()
        && std::equal(a.cbegin(), a.cend(), b.cbegin(), [](const QImage &x, const QImage &y) { return x.cacheKey() == y.cacheKey(); });
}

QSizeF QSButtonImages::pointSize(const QImage &image)
{
    return image.isNull() ? QSizeF() : QSizeF(image.size()) / image.devicePixelRatio();
}
