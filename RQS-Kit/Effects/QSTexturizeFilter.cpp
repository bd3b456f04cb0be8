#include "RQS-Kit/Effects/QSTexturizeFilter.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/KernelColor.h"
#include "RQS-Kit/Effects/QSAdjustableBlendFilter.h"
#include "RQS-Kit/Effects/QSNamedPictures.h"
#include "RQS-Kit/Effects/QSTextureCatalog.h"
#include "RQS-Kit/Foundation/FxColorExtension.h"
#include "RQS-Kit/Foundation/FxImageExtension.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/fx/Numbers.h"

#include <cmath>
#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSTexturizeFilter");

namespace colour = rqs::kernelcolor;

// Arguments: the texture; (hue shift, saturation factor, value factor); the tint's alpha; the
// tint's (hue, saturation) for a neutral texture, an empty vector for a coloured one. A neutral
// texture's hues and saturations are noise around grey: scaling them would turn faint noise into
// any hue at full saturation, so each pixel takes the tint's and keeps only its value.
Pixel tintTexture(const KernelInvocation &k)
{
    const colour::Straight c = colour::unpremultiplied(k.sample(0, k.destCoord()));
    const colour::Hsv hsv = colour::hsv(c);
    const Vector shift = k.vector(1);
    const Vector neutral = k.vector(3);
    const float v = std::clamp(float(hsv.value * shift[2]), 0.0f, 1.0f);
    const colour::Hsv tinted = neutral.count == 2
                                   ? colour::Hsv{float(neutral[0]), float(neutral[1]), v}
                                   : colour::Hsv{float(hsv.hue + shift[0]), std::clamp(float(hsv.saturation * shift[1]), 0.0f, 1.0f), v};
    return colour::premultiplied(colour::fromHsv(tinted, c.a * float(k.number(2))));
}

// The point inside one tile (0, 0, w, h) that p shows.
QPointF wrapped(QPointF p, double w, double h)
{
    return {p.x() - std::floor(p.x() / w) * w, p.y() - std::floor(p.y() / h) * h};
}

Pixel masked(const KernelInvocation &k, QPointF texturePoint)
{
    const Vector tile = k.vector(2);
    return k.sample(1, wrapped(texturePoint, tile[0], tile[1])) * k.sample(0, k.destCoord()).a;
}

Pixel drawPattern(const KernelInvocation &k) { return masked(k, k.destCoord()); }

// Every other row of tiles moved by half a tile, as bricks are laid.
Pixel drawPatternShifted(const KernelInvocation &k)
{
    const Vector tile = k.vector(2);
    const QPointF p = k.destCoord();
    const bool odd = platform::fx::Numbers::toInt(std::floor(p.y() / tile[1])) % 2 != 0;
    return masked(k, {p.x() + (odd ? tile[0] * 0.5 : 0.0), p.y()});
}

// The texture's sections run along the four sides of the extent (bottom, left, top, right in turn):
// each side shows its section lengthwise, measured from that side inwards.
Pixel drawTexture(const KernelInvocation &k)
{
    const Vector e = k.vector(3);
    const Vector tile = k.vector(2);
    const int sections = std::max(1, platform::fx::Numbers::toInt(k.number(4)));
    const QPointF p = k.destCoord();
    const double d[4] = {p.y() - e[1], p.x() - e[0], e[1] + e[3] - p.y(), e[0] + e[2] - p.x()};
    const int side = int(std::min_element(d, d + 4) - d);
    const double along = side % 2 == 0 ? p.x() : p.y();
    const double height = tile[1] / sections;
    const double across = std::fmod(std::max(d[side], 0.0), height) + (side % sections) * height;
    return k.sample(1, wrapped({along, tile[1] - across}, tile[0], tile[1])) * k.sample(0, p).a;
}

} // namespace

QSTexturizeFilter::QSTexturizeFilter()
    : QSFilter(ClassName, [] {
        InputAttribute name = rqs::inputs::text(QStringLiteral("inputTextureName"));
        name.choices = QSTextureCatalog::sharedTextureNames();
        name.defaultValue = name.choices.value(0);
        // A texture brings its own base colour.
        name.overrides = {QStringLiteral("inputColor")};
        InputAttribute composite = rqs::inputs::text(QStringLiteral("inputCompositeName"));
        composite.choices = QSAdjustableBlendFilter::blendModeNames();
        composite.defaultValue = composite.choices.value(0);
        return QList<InputAttribute>{rqs::inputs::image(QStringLiteral("inputImage")),
                                     name,
                                     rqs::inputs::number(QStringLiteral("inputTextureWidth"), 0.0),
                                     composite,
                                     rqs::inputs::value(QStringLiteral("inputColor"), InputAttribute::Kind::Color),
                                     rqs::inputs::flag(QStringLiteral("imageIsMask"), false),
                                     rqs::inputs::number(QStringLiteral("textureFillMode"), 0),
                                     // Held for callers; nothing here reads it.
                                     rqs::inputs::number(QStringLiteral("canvasProportion"))};
    }())
{
    connect(this, &Filter::keyValueChanged, this, [this](const QString &key) {
        if (key == QLatin1String("inputColor"))
            m_cachedTexture = {};
        else if (key == QLatin1String("inputTextureName") && !m_choosing)
            chooseTexture(value(key).toString());
    });
}

void QSTexturizeFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("tintTexture"), tintTexture));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("drawPattern"), drawPattern));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("drawPatternShifted"), drawPatternShifted));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("drawTexture"), drawTexture));
        registerInputKeys<QSTexturizeFilter>({"inputImage", "inputTextureName", "inputTextureWidth", "inputCompositeName"});
        registerForCopying<QSTexturizeFilter>({"inputColor", "imageIsMask"});
        registerFilterClass<QSTexturizeFilter>();
    });
}

void QSTexturizeFilter::setInputTexture(const Image &texture)
{
    m_texture = texture;
    m_sections = 1;
    m_hsv = {0, 0, 1.0};
    m_scaleTexture = false;
    m_baseRepeats = 1.0;
    m_noShift = true;
    m_cachedTexture = {};
}

void QSTexturizeFilter::chooseTexture(const QString &name)
{
    QString resolved = name;
    const auto catalog = QSTextureCatalog::shared();
    QVariant stored;
    if (const QSTextureDescription *d = catalog->textureForName(resolved)) {
        stored = resolved;
        setInputTexture(d->image());
        m_sections = std::max(d->sections, 1u);
        m_scaleTexture = d->shouldScale;
        m_baseRepeats = d->baseScale;
        m_hsv = d->baseColor;
        m_noShift = d->repeating;
        setValueForKey(QStringLiteral("inputColor"), QVariant::fromValue(rqs::colorForHSV(d->baseColor)));
    } else {
        setInputTexture({});
        setValueForKey(QStringLiteral("inputColor"), QVariant::fromValue(Color{1, 1, 1, 1}));
        // A picture the user chose, by plain file name only.
        const QString path = rqs::userPicturePath(name);
        const Image picture = path.isEmpty() ? Image() : Image::fromFile(path);
        const auto average = picture.isNull() ? std::nullopt : rqs::averageColor(picture);
        if (average && picture.extent().width() > 0) {
            stored = name;
            setInputTexture(picture);
            const Color tint{average->r, average->g, average->b, 1};
            m_hsv = rqs::hsv(tint);
            m_baseRepeats = 2048.0 / picture.extent().width();
            setValueForKey(QStringLiteral("inputColor"), QVariant::fromValue(tint));
        }
    }
    m_hsv.saturation = std::isnan(m_hsv.saturation) ? 0.01 : std::max(m_hsv.saturation, 0.01);
    m_hsv.value = std::isnan(m_hsv.value) ? 0.01 : std::max(m_hsv.value, 0.01);
    m_choosing = true;
    setValueForKey(QStringLiteral("inputTextureName"), stored);
    m_choosing = false;
    if (stored.isValid())
        platform::NotificationCenter::defaultCenter()->post(QStringLiteral("qsfilterSettings"), this);
}

Color QSTexturizeFilter::tintColor() const
{
    const QVariant set = value(QStringLiteral("inputColor"));
    return set.isValid() ? set.value<Color>() : Color{1, 1, 1, 1};
}

Image QSTexturizeFilter::cachedTexture() const
{
    if (!m_cachedTexture.isNull())
        return m_cachedTexture;
    const Color color = tintColor();
    if (m_texture.isNull()) {
        m_cachedTexture = Image::withColor(color).cropped({0, 0, 100, 100});
    } else if (const auto tint = kernelWithName(QStringLiteral("tintTexture"))) {
        const QSColor::Hsv c = rqs::hsv(color);
        // A neutral texture's greys have no saturation to scale: they take the tint's.
        const bool neutral = !(m_hsv.saturation > 0.01);
        m_cachedTexture = tint->apply({arrayForRect(m_texture.extent()), {}},
                                      {Sampler{m_texture, Wrap::Transparent, Filtering::Nearest},
                                       Vector{{c.hue - m_hsv.hue, c.saturation / std::max(m_hsv.saturation, 0.01),
                                               c.value / std::max(m_hsv.value, 0.01)}, 3},
                                       double(color.a), neutral ? Vector{{c.hue, c.saturation}, 2} : Vector{{}, 0}});
    }
    return m_cachedTexture;
}

QString QSTexturizeFilter::description() const
{
    const auto yesNo = [](bool yes) { return yes ? QStringLiteral("YES") : QStringLiteral("NO"); };
    return Filter::description()
           + QStringLiteral("\nInputImage: %1\nInputTexture: %2\nInputColor: %3\ninputTextureName: %4\nInputTextureWidth: %5"
                            "\nInputCompositeName: %6\nInputImageisMask: %7\nTextureFillMode: %8 – TextureBaseRepeats: %9"
                            " – TextureSections: %10 – ScaleTexture: %11 – noTextureShift: %12")
                 .arg(describe(value(QStringLiteral("inputImage"))),
                      describe(m_texture.isNull() ? QVariant() : QVariant::fromValue(m_texture)),
                      tintColor().text(), describe(value(QStringLiteral("inputTextureName"))),
                      describe(value(QStringLiteral("inputTextureWidth"))), describe(value(QStringLiteral("inputCompositeName"))),
                      yesNo(value(QStringLiteral("imageIsMask")).toBool()),
                      QString::number(platform::fx::Numbers::toInt(numberValue(QStringLiteral("textureFillMode")))),
                      QString::number(m_baseRepeats, 'f', 6))
                 .arg(m_sections)
                 .arg(yesNo(m_scaleTexture), yesNo(m_noShift));
}

Image QSTexturizeFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const Image texture = cachedTexture();
    if (input.isNull() || texture.isNull() || texture.extent().width() <= 0)
        return input;
    double width = numberValue(QStringLiteral("inputTextureWidth"));
    // An unset or zero width would make the tile transform singular.
    if (!(width > 0))
        width = 1.0;
    const double s = width / texture.extent().width() / m_baseRepeats;
    const QRectF tile(0, 0, s * texture.extent().width(), s * texture.extent().height());
    // The tile is scaled as part of its own repetition and kept with a margin of its neighbours,
    // so that samples at its edges blend with the next tile instead of with nothing; a plain
    // colour has no tile edges at all.
    const QRectF t = texture.extent();
    const QRectF sampled = tile.adjusted(-2, -2, 2, 2);
    const Image scaled = m_texture.isNull()
                             ? Image::withColor(tintColor())
                             : texture.tiled()
                                   .cropped(t.adjusted(-t.width(), -t.height(), t.width(), t.height()))
                                   .transformed(QTransform::fromScale(s, s))
                                   .cropped(sampled);
    const bool textured = platform::fx::Numbers::toInt(numberValue(QStringLiteral("textureFillMode"))) == 1;
    const auto body = kernelWithName(textured ? QStringLiteral("drawTexture")
                                              : m_noShift ? QStringLiteral("drawPattern")
                                                          : QStringLiteral("drawPatternShifted"));
    if (!body || scaled.isNull())
        return input;
    std::vector<Argument> arguments{Sampler{input, Wrap::Transparent, Filtering::Nearest},
                                    Sampler{scaled, Wrap::Clamp}, Vector{{tile.width(), tile.height()}, 2}};
    if (textured) {
        arguments.emplace_back(vectorForRect(input.extent()));
        arguments.emplace_back(double(m_sections));
    }
    const Image shaped = body->apply(
        {arrayForRect(input.extent()), [sampled](int i, const QRectF &r) { return i == 1 ? sampled : r; }}, arguments);
    if (value(QStringLiteral("imageIsMask")).toBool())
        return shaped;
    return rqs::applyFilter(QStringLiteral("QSAdjustableBlendFilter"),
                            {{QStringLiteral("inputImage"), rqs::imageValue(shaped)},
                             {QStringLiteral("inputBackgroundImage"), rqs::imageValue(input)},
                             {QStringLiteral("inputBlendName"), value(QStringLiteral("inputCompositeName"))}});
}
