#include "RQS-Kit/Effects/QSShapedBorderFilter.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/FrameStages.h"
#include "RQS-Kit/Effects/InnerShadow.h"
#include "RQS-Kit/Effects/QSTextureCatalog.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSShapedBorderFilter");

// The largest alpha on a ring of radius h around the pixel and at the pixel itself.
template <int Points>
Pixel pixelRing(const KernelInvocation &k)
{
    static const std::array<QPointF, Points> ring = [] {
        std::array<QPointF, Points> directions;
        for (int i = 0; i < Points; ++i)
            directions[std::size_t(i)] = {std::cos(2 * M_PI * i / Points), std::sin(2 * M_PI * i / Points)};
        return directions;
    }();
    const double h = k.number(1);
    const QPointF p = k.destCoord();
    float alpha = k.sample(0, p).a;
    // Inside an opaque picture nothing on the ring can add to the pixel.
    for (int i = 0; i < Points && alpha < 1; ++i)
        alpha = std::max(alpha, k.sample(0, p + ring[std::size_t(i)] * h).a);
    return Pixel{1, 1, 1, 1} * alpha;
}

Pixel maskByCuttingImage(const KernelInvocation &k)
{
    return Pixel{1, 1, 1, 1} * (k.sample(0, k.destCoord()).a * (1 - k.sample(1, k.destCoord()).a));
}

double diagonal(const QRectF &extent)
{
    return std::hypot(extent.width(), extent.height());
}

// A tile wider than the picture's diagonal shows no more of the texture; NaN gives the default.
double textureWidth(double wanted, const QRectF &extent)
{
    return std::isnan(wanted) ? 1.0 : std::min(wanted, std::max(diagonal(extent), 1.0));
}

} // namespace

QSShapedBorderFilter::QSShapedBorderFilter()
    : QSFilter(ClassName, [] {
        InputAttribute texture = rqs::inputs::text(QStringLiteral("inputTextureName"));
        texture.choices = QSTextureCatalog::sharedTextureNames();
        texture.defaultValue = texture.choices.value(0);
        texture.overrides = {QStringLiteral("inputColor")};
        return QList<InputAttribute>{rqs::inputs::image(QStringLiteral("inputImage")), texture,
                                     rqs::inputs::slider(QStringLiteral("inputWidth"), 0.0, 0.0, 0.2),
                                     rqs::inputs::slider(QStringLiteral("inputTextureScale"), 1.0, 0.1, 1.9),
                                     rqs::inputs::number(QStringLiteral("inputShadowWidth"), 0.0),
                                     rqs::inputs::number(QStringLiteral("canvasProportion"), 1.0),
                                     rqs::inputs::value(QStringLiteral("inputColor"), InputAttribute::Kind::Color)};
    }())
{
    connect(this, &Filter::keyValueChanged, this, [this](const QString &key) { m_stages.inputChanged(key); });
}

void QSShapedBorderFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QSTexturizeFilter::registerClass();
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("pixelRing32"), pixelRing<32>));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("pixelRing16"), pixelRing<16>));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("pixelRing4"), pixelRing<4>));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("maskByCuttingImage"), maskByCuttingImage));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("innerMultiply"), rqs::innerMultiply));
        registerInputKeys<QSShapedBorderFilter>({"inputImage", "inputTextureName", "inputTextureScale", "inputShadowWidth"});
        registerForCopying<QSShapedBorderFilter>({"inputColor", "canvasProportion"});
        registerFilterClass<QSShapedBorderFilter>();
    });
}

Image QSShapedBorderFilter::cachedMask() const
{
    const Image picture = imageValue(QStringLiteral("inputImage"));
    if (!m_stages.mask.isNull() || picture.isNull())
        return m_stages.mask;
    const double w = std::max(numberValue(QStringLiteral("inputWidth")), 0.0001);
    // A border wider than the picture's diagonal covers all it can; NaN counts as the thinnest.
    const double wanted = std::round(w * numberValue(QStringLiteral("canvasProportion")));
    const double bm = std::isnan(wanted) ? 1.0 : std::clamp(wanted, 1.0, std::max(std::ceil(diagonal(picture.extent())), 1.0));
    Image grown = picture;
    QRectF rect = picture.extent();
    double r = bm - 1;
    // Halving steps leave up to one pixel undone; a last step adds it, so that a 2-pixel border
    // still shows a ring.
    while (r > 0) {
        const double h = r > 1.0 ? r * 0.5 : r;
        const double reach = std::ceil(h);
        rect.adjust(-reach, -reach, reach, reach);
        const auto ring = kernelWithName(h > 16 ? QStringLiteral("pixelRing32")
                                         : h > 2 ? QStringLiteral("pixelRing16")
                                                 : QStringLiteral("pixelRing4"));
        if (!ring)
            return {};
        grown = ring->apply({rect, [reach](int, const QRectF &d) { return d.adjusted(-reach, -reach, reach, reach); }},
                            {Sampler{grown}, h});
        r = r > 1.0 ? h : 0;
    }
    const double reach = std::ceil(bm - 1);
    const QRectF cut = picture.extent().adjusted(-reach, -reach, reach, reach);
    if (const auto body = kernelWithName(QStringLiteral("maskByCuttingImage")))
        m_stages.mask = body->apply({cut, {}}, {Sampler{grown, Wrap::Transparent, Filtering::Nearest},
                                                Sampler{picture, Wrap::Transparent, Filtering::Nearest}});
    return m_stages.mask;
}

Image QSShapedBorderFilter::outputImage() const
{
    const Image picture = imageValue(QStringLiteral("inputImage"));
    if (picture.isNull())
        return {};
    const Image mask = cachedMask();
    if (m_stages.frame.isNull() && !mask.isNull()) {
        QSTexturizeFilter &texturize = m_stages.texturize;
        texturize.setValueForKey(QStringLiteral("textureFillMode"), 2);
        texturize.setValueForKey(QStringLiteral("inputTextureWidth"),
                                 textureWidth(numberValue(QStringLiteral("inputTextureScale"))
                                                  * numberValue(QStringLiteral("canvasProportion")),
                                              picture.extent()));
        texturize.setValueForKey(QStringLiteral("inputImage"), rqs::imageValue(mask));
        m_stages.frame = texturize.outputImage();
    }
    if (m_stages.shadow.isNull())
        m_stages.shadow = rqs::innerShadow(mask, picture.extent(), numberValue(QStringLiteral("inputShadowWidth")));
    const Image background = rqs::shadowed(kernelWithName(QStringLiteral("innerMultiply")), picture, m_stages.shadow);
    return rqs::applyFilter(QStringLiteral("CISourceOverCompositing"),
                            {{QStringLiteral("inputImage"), rqs::imageValue(m_stages.frame)},
                             {QStringLiteral("inputBackgroundImage"), rqs::imageValue(background)}});
}
