#include "app/window/VXFeatureHeader.h"

#include "app/booklet/VXStyleKit.h"
#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/SizeConstraint.h"

#include <QImage>

#include <algorithm>
#include <array>

namespace {

using Rgb = std::array<double, 3>;

double lum(const Rgb &c) { return 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]; }

Rgb clipColor(Rgb c)
{
    const double l = lum(c);
    const double n = std::min({c[0], c[1], c[2]});
    const double x = std::max({c[0], c[1], c[2]});
    for (double &component : c) {
        if (n < 0)
            component = l + (component - l) * l / (l - n);
        if (x > 1)
            component = l + (component - l) * (1 - l) / (x - l);
    }
    return c;
}

// The "colour" blend: hue and saturation of the source, luminosity of the backdrop.
Rgb colourBlend(const Rgb &backdrop, const Rgb &source)
{
    const double d = lum(backdrop) - lum(source);
    return clipColor({source[0] + d, source[1] + d, source[2] + d});
}

// Blends the overlay over every pixel of the picture, in place.
void tint(QImage &picture, const QColor &overlay)
{
    const Rgb source{overlay.redF(), overlay.greenF(), overlay.blueF()};
    const double as = overlay.alphaF();
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = QColor::fromRgba(qUnpremultiply(line[x]));
            const double ab = pixel.alphaF();
            const Rgb backdrop{pixel.redF(), pixel.greenF(), pixel.blueF()};
            const Rgb blended = colourBlend(backdrop, source);
            const double ao = as + ab * (1 - as);
            Rgb out{};
            for (int i = 0; i < 3; ++i) {
                const double mixed = (1 - ab) * source[i] + ab * blended[i];
                out[i] = ao > 0 ? (as * mixed + ab * backdrop[i] * (1 - as)) / ao : 0;
            }
            line[x] = qPremultiply(QColor::fromRgbF(float(out[0]), float(out[1]), float(out[2]), float(ao)).rgba());
        }
    }
}

} // namespace

VXFeatureHeader::VXFeatureHeader(QWidget *parent)
    : platform::View(parent)
{
}

QColor VXFeatureHeader::overlayColor() const { return m_overlayColor; }

void VXFeatureHeader::setOverlayColor(const QColor &overlayColor)
{
    m_overlayColor = overlayColor;
    setNeedsDisplay(true);
}

void VXFeatureHeader::drawRect(const QRectF &)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const QRectF frame = bounds();
    if (!m_overlayColor.isValid()) {
        VXStyleKit::drawFeatureBarWithFrame2(frame);
        return;
    }
    // Painters know no colour blend, so the bar is tinted as a picture.
    const auto drawBar = [&frame](platform::GraphicsContext &) { VXStyleKit::drawFeatureBarWithFrame2(frame); };
    QImage bar = platform::BitmapGraphicsContext::drawnImage(frame.size(), devicePixelRatioF(), drawBar);
    if (bar.isNull())
        return;
    bar = bar.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    tint(bar, m_overlayColor);
    context->drawImage(bar, frame);
}

std::shared_ptr<platform::SizeConstraint> VXFeatureHeader::heightConstraint() const { return m_heightConstraint; }

void VXFeatureHeader::setHeightConstraint(std::shared_ptr<platform::SizeConstraint> heightConstraint)
{
    m_heightConstraint = std::move(heightConstraint);
}

void VXFeatureHeader::mouseUpForLater(int clickCount)
{
    if (clickCount < 1 || !m_heightConstraint)
        return;
    constexpr double NearlyIgnored = 10;
    auto copy = std::make_shared<platform::SizeConstraint>(m_heightConstraint->copy());
    const bool ignored = m_heightConstraint->priority() < platform::SizeConstraint::Required / 2;
    copy->setPriority(ignored ? platform::SizeConstraint::Required : NearlyIgnored);
    QWidget *section = m_heightConstraint->view();
    m_heightConstraint->uninstall();
    if (section)
        copy->install(section);
    m_heightConstraint = copy;
}
