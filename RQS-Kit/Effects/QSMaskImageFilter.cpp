#include "RQS-Kit/Effects/QSMaskImageFilter.h"

#include "RQS-Kit/Effects/QSNamedPictures.h"
#include "RQS-Kit/Foundation/FxImageExtension.h"
#include "RQS-Kit/Foundation/Geometry.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PictureFileReader.h"

#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSMaskImageFilter");
const QString MaskType = QStringLiteral("RQS-M");

// Grey of the premultiplied mask pixel: a white mask on clear shows by its alpha, an opaque one by
// its grey.
float grey(const Pixel &p)
{
    return 0.2126f * p.r + 0.7152f * p.g + 0.0722f * p.b;
}

KernelBody colored(bool inverted)
{
    return [inverted](const KernelInvocation &k) {
        const float m = grey(k.sample(0, k.destCoord()));
        return k.color(1).premultiplied() * (inverted ? 1 - m : m);
    };
}

KernelBody masked(bool byAlpha, bool inverted)
{
    return [byAlpha, inverted](const KernelInvocation &k) {
        const Pixel mask = k.sample(0, k.destCoord());
        const float m = byAlpha ? mask.a : grey(mask);
        return k.sample(1, k.destCoord()) * (inverted ? 1 - m : m);
    };
}

} // namespace

QSMaskImageFilter::QSMaskImageFilter()
    : QSFilter(ClassName, [] {
        QList<InputAttribute> inputs{{QStringLiteral("inputImage"), InputAttribute::Kind::Image},
                                     {QStringLiteral("inputMaskName"), InputAttribute::Kind::String},
                                     {QStringLiteral("inputMaskImage"), InputAttribute::Kind::Image},
                                     {QStringLiteral("inputScale"), InputAttribute::Kind::Boolean},
                                     {QStringLiteral("inputColor"), InputAttribute::Kind::Color},
                                     {QStringLiteral("inputInvert"), InputAttribute::Kind::Boolean}};
        // A named mask replaces the mask image.
        inputs[1].overrides = {QStringLiteral("inputMaskImage")};
        const QStringList masks = rqs::namedPictureNames(MaskType);
        if (!masks.isEmpty()) {
            inputs[1].defaultValue = masks.first();
            inputs[1].choices = masks;
            inputs[3].defaultValue = false;
            inputs[4].defaultValue = QVariant::fromValue(Color{1, 1, 1, 1});
            inputs[5].defaultValue = false;
        }
        return inputs;
    }())
{
    setChoicesSource(QStringLiteral("inputMaskName"), [] { return rqs::namedPictureNames(MaskType); });
    connect(this, &Filter::keyValueChanged, this, [this](const QString &key) {
        if (key == QLatin1String("inputMaskName"))
            loadNamedMask();
    });
}

void QSMaskImageFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const bool inverted : {false, true}) {
            const QString suffix = inverted ? QStringLiteral("Inverted") : QString();
            KernelLibrary::add(ClassName, Kernel(QStringLiteral("maskColor") + suffix, colored(inverted)));
            KernelLibrary::add(ClassName, Kernel(QStringLiteral("maskImageAlpha") + suffix, masked(true, inverted)));
            KernelLibrary::add(ClassName, Kernel(QStringLiteral("maskImage") + suffix, masked(false, inverted)));
        }
        registerInputKeys<QSMaskImageFilter>({QStringLiteral("inputImage"), QStringLiteral("inputMaskName"),
                                              QStringLiteral("inputMaskImage"), QStringLiteral("inputScale"),
                                              QStringLiteral("inputColor"), QStringLiteral("inputInvert")});
        registerFilterClass<QSMaskImageFilter>();
    });
}

void QSMaskImageFilter::loadNamedMask()
{
    const QString name = value(QStringLiteral("inputMaskName")).toString();
    m_namedMask = {};
    setValueForKey(QStringLiteral("inputMaskImage"), QVariant());
    if (name.isEmpty())
        return;
    const QSResourceInfo info = rqs::resourceInfo(name);
    QString path = rqs::namedPicturePath(MaskType, rqs::resourceIDForType(info.type(), info.index()));
    if (path.isEmpty())
        path = rqs::namedPicturePath(MaskType, info.name());
    if (path.isEmpty())
        path = rqs::userPicturePath(name);
    const QImage picture = path.isEmpty() ? QImage() : platform::PictureFileReader::read(path);
    if (picture.isNull()) {
        platform::logWarning(QStringLiteral("No Mask loaded for %1").arg(name));
        return;
    }
    m_namedMask = Image::fromQImage(picture);
    m_namedMaskHasAlpha = picture.hasAlphaChannel();
    setValueForKey(QStringLiteral("inputMaskImage"), QVariant::fromValue(m_namedMask));
}

bool QSMaskImageFilter::hasAlpha() const
{
    const Image mask = imageValue(QStringLiteral("inputMaskImage"));
    if (mask.isNull())
        return false;
    if (mask.node() == m_namedMask.node())
        return m_namedMaskHasAlpha;
    // A mask given directly says it by its pixels: any that is not opaque.
    const std::optional<Color> mean = rqs::averageColor(mask);
    return mean && mean->a < 1.0f - 1e-6f;
}

Image QSMaskImageFilter::placedMask(const Image &mask, const QRectF &picture) const
{
    const QRectF m = mask.extent();
    if (QSRectMaxDifference(picture, m) < 1.0 || m.isEmpty())
        return mask;
    double sx = picture.width() / m.width(), sy = picture.height() / m.height();
    if (!value(QStringLiteral("inputScale")).toBool())
        sx = sy = std::min(sx, sy);
    const double tx = (picture.width() - m.width() * sx) * 0.5 + picture.x() - m.x() * sx;
    const double ty = (picture.height() - m.height() * sy) * 0.5 + picture.y() - m.y() * sy;
    return mask.transformed(QTransform::fromScale(sx, sy) * QTransform::fromTranslate(tx, ty));
}

Image QSMaskImageFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const Image mask = imageValue(QStringLiteral("inputMaskImage"));
    if (mask.isNull())
        return input;
    const bool inverted = value(QStringLiteral("inputInvert")).toBool();
    const QString suffix = inverted ? QStringLiteral("Inverted") : QString();
    const Color color = value(QStringLiteral("inputColor")).isValid() ? colorValue(QStringLiteral("inputColor"))
                                                                      : Color{1, 1, 1, 1};
    if (input.isNull()) {
        const std::optional<Kernel> k = kernelWithName(QStringLiteral("maskColor") + suffix);
        return k ? k->apply({arrayForRect(mask.extent()), {}}, {Sampler{mask}, color}) : Image();
    }
    const Image placed = placedMask(mask, input.extent());
    const std::optional<Kernel> k =
        kernelWithName((hasAlpha() ? QStringLiteral("maskImageAlpha") : QStringLiteral("maskImage")) + suffix);
    if (!k || placed.isNull())
        return {};
    const QRectF extent = inverted ? input.extent() : placed.extent();
    return k->apply({arrayForRect(extent), {}}, {Sampler{placed}, Sampler{input}});
}
