#include "RQS-Kit/Effects/QSTexturedFrameFilter.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/FrameStages.h"
#include "RQS-Kit/Effects/InnerShadow.h"
#include "RQS-Kit/Effects/PixelwiseKernel.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSTextureCatalog.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

#include <cmath>
#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSTexturedFrameFilter");
// The narrowest border width a set "inputWidth" holds.
constexpr double MinimumWidth = 0.0001;

// Source coordinate along one axis of a nine-slice: fixed corners of c × k pixels at both ends, the
// middle either stretched (factor 1) or shown as factor × its length, wrapping round.
double sliceCoordinate(double local, double length, double sourceLength, double c, double k, double factor)
{
    const double end = c * k;
    if (length <= 2 * end)
        return local < length * 0.5 ? local / k : sourceLength - (length - local) / k;
    if (local < end)
        return local / k;
    if (local > length - end)
        return sourceLength - (length - local) / k;
    const double middle = sourceLength - 2 * c;
    const double t = (local - end) / (length - 2 * end);
    return c + std::fmod(t * factor * middle, middle);
}

Pixel drawFrame(const KernelInvocation &k)
{
    const Vector r = k.vector(0);
    const QRectF e = k.samplerExtent(1);
    const Vector corner = k.vector(2);
    const double scale = k.number(3);
    const Vector repeats = k.vector(4);
    const QPointF p = k.destCoord();
    const double x = sliceCoordinate(p.x() - r[0], r[2], e.width(), corner[0], scale, repeats[0]);
    const double y = sliceCoordinate(p.y() - r[1], r[3], e.height(), corner[1], scale, repeats[1]);
    return k.sample(1, {e.x() + x, e.y() + y});
}

Pixel lineBorder(const KernelInvocation &k)
{
    const Vector r = k.vector(0);
    const double w = k.number(1);
    const QPointF p = k.destCoord();
    const double inside = std::min({p.x() - r[0], p.y() - r[1], r[0] + r[2] - p.x(), r[1] + r[3] - p.y()});
    return inside < w ? Pixel{1, 1, 1, 1} : Pixel{};
}

// x and y rounded up, the size shrunk by what that moved and rounded down.
QRectF wholePixels(const QRectF &r)
{
    const double x = std::ceil(r.x()), y = std::ceil(r.y());
    return {x, y, std::max(0.0, std::floor(r.width() - (x - r.x()))), std::max(0.0, std::floor(r.height() - (y - r.y())))};
}

// The frame already carries its mask's shape; made opaque, the blend through that mask covers the
// picture wholly at the mask's soft edges instead of applying the mask's coverage twice.
Pixel opaqueFrame(const KernelInvocation &k)
{
    const Pixel frame = k.sample(0, k.destCoord());
    return frame.a > 0 ? Pixel{frame.r / frame.a, frame.g / frame.a, frame.b / frame.a, 1.0f} : Pixel{};
}

} // namespace

QSTexturedFrameFilter::QSTexturedFrameFilter()
    : QSFilter(ClassName, [] {
        InputAttribute frame = rqs::inputs::text(QStringLiteral("inputFrameName"));
        frame.choices = QSFrameCatalog::frameNamesInCatalogs();
        frame.defaultValue = frame.choices.value(0);
        // A frame brings its own texture and colour, a texture its own colour.
        frame.overrides = {QStringLiteral("inputTextureName"), QStringLiteral("inputColor")};
        InputAttribute texture = rqs::inputs::text(QStringLiteral("inputTextureName"), QSTextureCatalog::plainColorName());
        texture.choices = QSTextureCatalog::shared()->textureIDNames();
        texture.choices.prepend(QSTextureCatalog::plainColorName());
        texture.overrides = {QStringLiteral("inputColor")};
        return QList<InputAttribute>{rqs::inputs::image(QStringLiteral("inputImage")), frame, texture,
                                     rqs::inputs::slider(QStringLiteral("inputWidth"), 0.0, 0.0, 0.2),
                                     rqs::inputs::slider(QStringLiteral("inputTextureScale"), 1.0, 0.1, 1.9),
                                     rqs::inputs::number(QStringLiteral("inputShadowWidth"), 0.0),
                                     rqs::inputs::number(QStringLiteral("canvasProportion"), 1.0),
                                     rqs::inputs::flag(QStringLiteral("forceInside"), false),
                                     rqs::inputs::value(QStringLiteral("inputColor"), InputAttribute::Kind::Color)};
    }())
{
    setChoicesSource(QStringLiteral("inputFrameName"), &QSFrameCatalog::frameNamesInCatalogs);
    m_updateTimer.setSingleShot(true);
    connect(&m_updateTimer, &QTimer::timeout, this, [this] {
        platform::NotificationCenter::defaultCenter()->post(QStringLiteral("qsfilterupdate"), this);
        platform::NotificationCenter::defaultCenter()->post(QStringLiteral("qsfilterSettings"), this);
    });
    // Any catalog may rename any frame: follow only a rename of this filter's own frame, by its ID,
    // which no rename changes; the panel then shows the new name.
    platform::NotificationCenter::defaultCenter()->addObserver(
        this, QStringLiteral("QSFrameNameChanged"), nullptr, [this](const platform::Notification &n) {
            const auto *catalog = qobject_cast<const QSFrameCatalog *>(n.object);
            const QString frameID = n.userInfo.value("ID").toString();
            if (!catalog || !m_frame || catalog->frameWithName(frameID) != m_frame)
                return;
            if (value(QStringLiteral("inputFrameName")).toString() != frameID) {
                // The frame stays: it may come from a catalog other than the shared ones.
                m_followingRename = true;
                setValueForKey(QStringLiteral("inputFrameName"), frameID);
                m_followingRename = false;
            }
            platform::NotificationCenter::defaultCenter()->post(QStringLiteral("qsfilterSettings"), this);
        });
    connect(this, &Filter::keyValueChanged, this, [this](const QString &key) {
        if (key == QLatin1String("inputFrameName")) {
            const QString name = value(key).toString();
            if (name.isEmpty() || m_followingRename)
                return;
            auto frame = QSFrameCatalog::frameWithNameInCatalogs(name);
            if (frame == QSFrameCatalog::plainFrame() && name != QLatin1String("Plain Frame"))
                platform::logWarning(QStringLiteral("Frame Description %1 not found").arg(name));
            if (frame != m_frame)
                setFrameDescription(frame);
        } else if (key == QLatin1String("inputImage")) {
            // The frame meets the picture at whole pixels: a fraction beyond them would lie under it.
            const Image picture = imageValue(key);
            const QRectF whole = wholePixels(picture.extent());
            if (!picture.isNull() && whole != picture.extent()) {
                setValueForKey(key, QVariant::fromValue(picture.cropped(whole)));
                return;
            }
            // A mask is made for the picture's whole pixels, and stays right for any picture of them.
            if (whole != m_maskExtent)
                m_stages.dropAll();
        } else if (key == QLatin1String("inputWidth") && givenValue(key).isValid() && numberValue(key) < MinimumWidth) {
            // Kept as the border is drawn: at least a hair wide, never none or a negative one.
            setValueForKey(key, MinimumWidth);
        } else {
            m_stages.inputChanged(key);
        }
    });
}

QSTexturedFrameFilter::~QSTexturedFrameFilter() { platform::NotificationCenter::defaultCenter()->removeObserver(this); }

void QSTexturedFrameFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QSTexturizeFilter::registerClass();
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("drawFrame"), drawFrame));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("lineBorder"), lineBorder));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("innerMultiply"), rqs::innerMultiply));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("opaqueFrame"), opaqueFrame));
        registerInputKeys<QSTexturedFrameFilter>({"inputImage", "inputFrameName", "inputTextureName", "inputWidth",
                                                  "inputTextureScale", "inputShadowWidth"});
        registerForCopying<QSTexturedFrameFilter>({"inputColor", "canvasProportion", "forceInside"});
        registerFilterClass<QSTexturedFrameFilter>();
    });
}

void QSTexturedFrameFilter::setFrameDescription(std::shared_ptr<QSFrameDescription> frame)
{
    auto *center = platform::NotificationCenter::defaultCenter();
    if (m_frame)
        center->removeObserver(this, {}, m_frame.get());
    m_frame = std::move(frame);
    m_stages.dropAll();
    if (!m_frame)
        return;
    center->addObserver(this, QStringLiteral("FrameTextureChanged"), m_frame.get(), [this](const platform::Notification &) {
        m_stages.texturize.setValueForKey(QStringLiteral("inputTextureName"), m_frame->textureName());
        m_stages.texturize.setValueForKey(QStringLiteral("inputColor"), QVariant::fromValue(m_frame->textureColor()));
        m_stages.frame = {};
        frameEdited(false);
    });
    center->addObserver(this, QStringLiteral("FrameShadeChanged"), m_frame.get(), [this](const platform::Notification &) {
        m_stages.frame = {};
        frameEdited(false);
    });
    center->addObserver(this, QStringLiteral("FrameMaskChanged"), m_frame.get(), [this](const platform::Notification &) {
        frameEdited(true);
    });
    m_stages.texturize.setValueForKey(QStringLiteral("inputTextureName"), m_frame->textureName());
    m_stages.texturize.setValueForKey(QStringLiteral("inputColor"), QVariant::fromValue(m_frame->textureColor()));
}

void QSTexturedFrameFilter::frameEdited(bool mask)
{
    if (mask)
        m_stages.dropAll();
    if (m_updateDelay < 0)
        emit m_updateTimer.timeout({});
    else if (!m_updateTimer.isActive())
        m_updateTimer.start(int(m_updateDelay * 1000));
}

double QSTexturedFrameFilter::borderWidth() const
{
    return std::max(numberValue(QStringLiteral("inputWidth")), MinimumWidth) * numberValue(QStringLiteral("canvasProportion"));
}

Vector QSTexturedFrameFilter::repeatsVectorForFrame(const QSFrameImageDescription &d, QSizeF size, double k)
{
    const Image image = d.image();
    const QSizeF e = image.isNull() ? QSizeF() : image.extent().size();
    const QSizeF c = d.cornerSize();
    const auto factor = [k](unsigned repeats, double length, double imageLength, double corner) {
        const double middle = (imageLength - 2 * corner) * k;
        // A mask narrower than its corners has no middle to repeat.
        if (repeats == 0 || !(middle > 0))
            return 1.0;
        const double sx = (length - 2 * corner * k) / middle;
        return std::max(std::round(repeats * sx), 1.0) / repeats;
    };
    return Vector{{factor(d.repeatX(), size.width(), e.width(), c.width()),
                   factor(d.repeatY(), size.height(), e.height(), c.height())}, 2};
}

Image QSTexturedFrameFilter::layFrame(const Image &image, const QRectF &rect, const QSizeF &corner, double k,
                                       const Vector &repeats) const
{
    const auto body = kernelWithName(QStringLiteral("drawFrame"));
    if (!body || image.isNull())
        return {};
    const QRectF source = image.extent();
    return body->apply({rect, [source](int i, const QRectF &r) { return i == 1 ? source : r; }},
                       {vectorForRect(rect), Sampler{image, Wrap::Clamp}, Vector{{corner.width(), corner.height()}, 2},
                        k, repeats});
}

void QSTexturedFrameFilter::keepMask(const Image &mask) const
{
    if (mask.node() == m_stages.mask.node())
        return;
    m_stages.mask = mask;
    m_stages.frame = m_stages.shadow = {};
    if (!mask.isNull())
        m_maskExtent = imageValue(QStringLiteral("inputImage")).extent();
}

Image QSTexturedFrameFilter::cachedMask() const
{
    const Image picture = imageValue(QStringLiteral("inputImage"));
    if (!m_stages.mask.isNull() || picture.isNull() || !m_frame)
        return m_stages.mask;
    const QRectF p = picture.extent();
    const double bm = std::max(std::round(borderWidth()), 1.0);
    const double inset = value(QStringLiteral("forceInside")).toBool() ? 1.0 : m_frame->inset();
    const double grow = (1 - inset) * bm;
    const QRectF r = wholePixels(p.adjusted(-grow, -grow, grow, grow));
    const auto mask = m_frame->mask();
    if (mask && !mask->image().isNull()) {
        const double k = bm / mask->width();
        mask->setMaxCorner(std::max(mask->maxCorner(), mask->cornerSize().width() * k));
        keepMask(layFrame(mask->image(), r, mask->cornerSize(), k, repeatsVectorForFrame(*mask, r.size(), k)));
        m_maskScale = k;
    } else if (const auto line = kernelWithName(QStringLiteral("lineBorder"))) {
        keepMask(line->apply({r, {}}, {vectorForRect(r), bm}));
        m_maskScale = 1.0;
    }
    return m_stages.mask;
}

Image QSTexturedFrameFilter::cachedFrame() const
{
    const Image mask = cachedMask();
    if (!m_stages.frame.isNull() || mask.isNull())
        return m_stages.frame;
    const QRectF e = mask.extent();
    const double b = borderWidth();
    const double scale = numberValue(QStringLiteral("inputTextureScale"));
    QSTexturizeFilter &texturize = m_stages.texturize;
    texturize.setValueForKey(QStringLiteral("textureFillMode"), m_frame->textureFillMode());
    const QRectF t = texturize.cachedTexture().extent();
    const bool sized = texturize.scaleTexture() && m_frame->textureFillMode() == 1 && t.height() > 0;
    texturize.setValueForKey(QStringLiteral("inputTextureWidth"),
                             sized ? scale * b * texturize.textureSections() * t.width() / t.height()
                                         * texturize.textureBaseRepeats()
                                   : scale * numberValue(QStringLiteral("canvasProportion")));
    texturize.setValueForKey(QStringLiteral("inputImage"), rqs::imageValue(mask));
    Image frame = texturize.outputImage();
    for (const auto &shade : m_frame->optimizedShades()) {
        const double k = b / shade->width();
        shade->setMaxCorner(std::max(shade->maxCorner(), shade->cornerSize().width() * k));
        const Image layer = layFrame(shade->image(), e, shade->cornerSize(), k, repeatsVectorForFrame(*shade, e.size(), k));
        if (layer.isNull())
            continue;
        // A blend filter per layer: instances render on several workers at once.
        frame = frame.isNull() ? layer
                               : rqs::applyFilter(QStringLiteral("QSAdjustableBlendFilter"),
                                                  {{QStringLiteral("inputImage"), rqs::imageValue(layer)},
                                                   {QStringLiteral("inputBackgroundImage"), rqs::imageValue(frame)},
                                                   {QStringLiteral("inputBlendName"), shade->blendMode()},
                                                   {QStringLiteral("inputIntensity"), shade->intensity()}});
    }
    m_stages.frame = frame;
    return m_stages.frame;
}

Image QSTexturedFrameFilter::outputImage() const
{
    const Image picture = imageValue(QStringLiteral("inputImage"));
    if (picture.isNull() || !m_frame)
        return picture;
    const Image mask = cachedMask();
    if (m_stages.shadow.isNull())
        m_stages.shadow = rqs::innerShadow(mask, picture.extent(), numberValue(QStringLiteral("inputShadowWidth")));
    Image background = rqs::shadowed(kernelWithName(QStringLiteral("innerMultiply")), picture, m_stages.shadow);
    if (!mask.isNull()) {
        // The mask's inner edge, enlarged with its picture, fades over about one of its pixels, half of
        // that beyond the picture: the picture's edge reaches on under it, so that frame and picture
        // meet without a half-transparent seam.
        const double reach = std::ceil(m_maskScale) + 1;
        background = background.clampedToExtent().cropped(
            picture.extent().adjusted(-reach, -reach, reach, reach).intersected(mask.extent()));
    }
    return rqs::applyFilter(QStringLiteral("QSBlendWithMaskFilter"),
                            {{QStringLiteral("inputImage"),
                              rqs::imageValue(rqs::applyPixelwise(kernelWithName(QStringLiteral("opaqueFrame")), cachedFrame(), {}))},
                             {QStringLiteral("inputBackgroundImage"), rqs::imageValue(background)},
                             {QStringLiteral("inputMaskImage"), rqs::imageValue(mask)}});
}
