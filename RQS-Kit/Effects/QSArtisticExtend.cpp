#include "RQS-Kit/Effects/QSArtisticExtend.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"

#include <cmath>
#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSArtisticExtend");

Image blurred(const Image &image, double radius)
{
    return rqs::applyFilter(QStringLiteral("CIGaussianBlur"),
                            {{QStringLiteral("inputImage"), rqs::imageValue(image)}, {QStringLiteral("inputRadius"), radius}});
}

Image clamped(const Image &image, const QTransform &transform)
{
    return rqs::applyFilter(QStringLiteral("CIAffineClamp"), {{QStringLiteral("inputImage"), rqs::imageValue(image)},
                                                              {QStringLiteral("inputTransform"), QVariant::fromValue(transform)}});
}

Image over(const Image &image, const Image &background)
{
    return rqs::applyFilter(QStringLiteral("CISourceOverCompositing"),
                            {{QStringLiteral("inputImage"), rqs::imageValue(image)},
                             {QStringLiteral("inputBackgroundImage"), rqs::imageValue(background)}});
}

} // namespace

std::optional<QSArtisticExtend::Layout> QSArtisticExtend::Layout::of(const QSizeF &b, const QSizeF &p)
{
    if (b.isEmpty() || p.isEmpty())
        return std::nullopt;
    const double s = std::max(std::sqrt(b.width() * b.height()) / 1000, 0.5);
    const double m = std::ceil(4 * s);
    const QPointF o((b.width() - p.width()) * 0.5, (b.height() - p.height()) * 0.5);
    return Layout{s,
                  m,
                  o,
                  QRectF(o.x() - m, o.y() - m, p.width() + 2 * m, p.height() + 2 * m),
                  std::round(10 * s),
                  20 * s,
                  std::round(50 * s),
                  15 * s,
                  std::round(100 * s)};
}

QSArtisticExtend::QSArtisticExtend()
    : QSFilter(ClassName, {{QStringLiteral("inputImage"), InputAttribute::Kind::Image},
                           {QStringLiteral("inputBackgroundImage"), InputAttribute::Kind::Image}})
{
    // Both pictures are kept moved to the origin, where the canvas is laid out: what the inputs
    // hold is what is drawn. The move is made as they arrive, not while an output is made, and
    // once: a picture without end has no corner to move, and one far away may not land exactly.
    connect(this, &Filter::keyValueChanged, this, [this](const QString &key) {
        const Image image = imageValue(key);
        const QPointF o = image.extent().topLeft();
        if (m_moving || image.isNull() || Extent::isInfinite(image.extent()) || !(std::abs(o.x()) + std::abs(o.y()) >= 1))
            return;
        m_moving = true;
        setValueForKey(key, rqs::imageValue(image.transformed(QTransform::fromTranslate(-o.x(), -o.y()))));
        m_moving = false;
    });
}

void QSArtisticExtend::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerForCopying<QSArtisticExtend>({QStringLiteral("inputImage"), QStringLiteral("inputBackgroundImage"),
                                              QStringLiteral("rotate"), QStringLiteral("motionBlur")});
        registerFilterClass<QSArtisticExtend>();
    });
}

Image QSArtisticExtend::surface(const Image &background, const Image &picture, const Layout &layout, const QRectF &b) const
{
    Image first = blurred(background, layout.backgroundRadius);
    if (m_motionBlur)
        first = rqs::applyFilter(QStringLiteral("CIMotionBlur"), {{QStringLiteral("inputImage"), rqs::imageValue(first)},
                                                                  {QStringLiteral("inputRadius"), layout.motionRadius},
                                                                  {QStringLiteral("inputAngle"), 0.0}})
                    .cropped(b);
    const QSizeF p = picture.extent().size();
    const QTransform upsideDown = QTransform().rotate(180) * QTransform::fromScale(b.width() / p.width(), b.height() / p.height())
                                  * QTransform::fromTranslate(b.width(), b.height());
    const Image turned = blurred(clamped(picture, upsideDown), layout.pictureRadius);
    return rqs::applyFilter(QStringLiteral("QSAdjustableBlendFilter"),
                            {{QStringLiteral("inputImage"), rqs::imageValue(turned)},
                             {QStringLiteral("inputBackgroundImage"), rqs::imageValue(first)},
                             {QStringLiteral("inputBlendName"), QStringLiteral("colorBurn")},
                             {QStringLiteral("inputIntensity"), 0.7}})
        .cropped(b);
}

Image QSArtisticExtend::outputImage() const
{
    const Image background = imageValue(QStringLiteral("inputBackgroundImage"));
    const Image picture = imageValue(QStringLiteral("inputImage"));
    if (background.isNull() || picture.isNull())
        return {};
    if (Extent::isInfinite(background.extent()) || Extent::isInfinite(picture.extent())) {
        platform::logWarning(QStringLiteral("Artistic extend needs a picture and a background of finite extent"));
        return {};
    }
    const QRectF b = background.extent();
    const std::optional<Layout> layout = Layout::of(b.size(), picture.extent().size());
    if (!layout) {
        platform::logWarning(QStringLiteral("Artistic extend needs a picture and a background that are not empty"));
        return {};
    }
    const QTransform turn = m_rotate ? QTransform().rotate(180) * QTransform::fromTranslate(b.width(), b.height()) : QTransform();
    const Image clampedBackground = clamped(background, turn);
    const Image canvas = surface(clampedBackground, picture, *layout, b);
    const Image mat = blurred(clampedBackground, layout->matRadius).cropped(layout->mat);
    const Image shadow = blurred(Image::withColor({0, 0, 0, 1}).cropped(layout->mat), layout->shadowRadius);
    const Image placed = picture.transformed(QTransform::fromTranslate(layout->offset.x(), layout->offset.y()));
    return over(placed, over(mat, over(shadow, canvas))).cropped(b);
}
