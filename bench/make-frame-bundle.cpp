// Draws the frame materials the application ships: the textures in DIR/Textures, the frame
// bundle DIR/Frames.bundle (its frames in Description.plist, its shades and its outer and inner
// masks) and the picture frames with their masks in DIR/Frames. scripts/make-frame-bundle runs it on resources/. Every picture is drawn from fixed seeds,
// so that running it again gives the same files.
#include "ResourceFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

namespace {

using resourcefiles::save;

constexpr int TileSize = 128;
// Frame pictures: a ring of Border pixels round a clear middle, corners as wide as the ring.
constexpr int FrameSize = 64;
constexpr int Border = 16;

// A tile whose value at (x, y) varies about the base colour (hue in degrees, saturation and
// value in 0 to 1); the value function gets the tile position and a generator and answers a
// factor around 1. Tiles wrap: the functions are periodic over the tile.
QImage tile(double hue, double saturation, double value, const std::function<double(int, int, std::mt19937 &)> &shade)
{
    std::mt19937 random(7);
    QImage picture(TileSize, TileSize, QImage::Format_RGB32);
    for (int y = 0; y < TileSize; ++y) {
        for (int x = 0; x < TileSize; ++x) {
            const double v = std::clamp(value * shade(x, y, random), 0.0, 1.0);
            picture.setPixelColor(x, y, QColor::fromHsvF(float(hue / 360), float(saturation), float(v)));
        }
    }
    return picture;
}

double wave(int at, double periods) { return std::sin(2 * M_PI * periods * at / TileSize); }

QImage paperCream()
{
    return tile(40, 0.10, 0.96, [](int, int, std::mt19937 &r) { return 1 + std::normal_distribution(0.0, 0.015)(r); });
}

// Laid paper: fine horizontal lines and wider chain lines.
QImage paperLaid()
{
    return tile(45, 0.08, 0.92, [](int x, int y, std::mt19937 &r) {
        return 1 - 0.03 * (y % 4 == 0) - 0.04 * (x % 32 == 0) + std::normal_distribution(0.0, 0.01)(r);
    });
}

// Pebbled leather: bumps on a grid, rounded by a sine, with some noise.
QImage leatherBrown()
{
    return tile(25, 0.60, 0.45, [](int x, int y, std::mt19937 &r) {
        return 1 + 0.08 * wave(x, 16) * wave(y, 16) + std::normal_distribution(0.0, 0.03)(r);
    });
}

// Brushed metal: streaks along x, the same for a whole row except for faint noise.
QImage metalBrushed()
{
    std::mt19937 rows(11);
    std::vector<double> streak(TileSize);
    for (double &s : streak)
        s = std::normal_distribution(0.0, 0.05)(rows);
    return tile(210, 0.05, 0.80, [streak](int, int y, std::mt19937 &r) {
        return 1 + streak[size_t(y)] + std::normal_distribution(0.0, 0.01)(r);
    });
}

// Wood: grain lines along x that bend round a knot in the middle of the tile.
QImage wood(double hue, double saturation, double value)
{
    return tile(hue, saturation, value, [](int x, int y, std::mt19937 &r) {
        const double dx = x - TileSize / 2.0, dy = y - TileSize / 2.0;
        const double knot = 14 * std::exp(-(dx * dx + dy * dy) / 200.0);
        return 1 + 0.10 * std::sin(2 * M_PI * (y + knot + 3 * wave(x, 1)) / 9.0)
               + std::normal_distribution(0.0, 0.02)(r);
    });
}

// Distance of a frame picture's pixel from the ring's outer edge and from its inner edge, and the
// side (0 bottom, 1 left, 2 top, 3 right, y up) it belongs to.
struct RingPlace
{
    double outer, inner;
    int side;
};

RingPlace ringPlace(int x, int row)
{
    const double px = x + 0.5, py = FrameSize - row - 0.5;
    const double d[4] = {py, px, FrameSize - py, FrameSize - px};
    const int side = int(std::min_element(d, d + 4) - d);
    return {d[side], Border - d[side], side};
}

// A ring picture: each pixel's colour from its place; outside the ring clear.
QImage ring(const std::function<QColor(const RingPlace &, int x, int row)> &color)
{
    QImage picture(FrameSize, FrameSize, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int row = 0; row < FrameSize; ++row) {
        for (int x = 0; x < FrameSize; ++x) {
            const RingPlace place = ringPlace(x, row);
            if (place.inner > 0)
                picture.setPixelColor(x, row, color(place, x, row));
        }
    }
    return picture;
}

QImage squareMask() { return ring([](const RingPlace &, int, int) { return QColor(Qt::white); }); }

// White where the ring is, its outer (or inner) corners rounded by a quarter circle of the border's size.
QImage roundedMask(bool outerCorners)
{
    QImage picture(FrameSize, FrameSize, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    const QRectF outside(0, 0, FrameSize, FrameSize), inside = outside.adjusted(Border, Border, -Border, -Border);
    if (outerCorners) {
        path.addRoundedRect(outside, Border, Border);
        path.addRect(inside);
    } else {
        path.addRect(outside);
        path.addRoundedRect(inside, Border / 2.0, Border / 2.0);
    }
    painter.fillPath(path, Qt::white);
    return picture;
}

QColor grey(double level, double alpha = 1.0)
{
    return QColor::fromRgbF(float(level), float(level), float(level), float(alpha));
}

// Light from the top left: the outer half of the ring lighter on the top and left, darker on the
// bottom and right; neutral grey (which overlay and soft light leave as it is) at the inner half.
QImage bevelShade()
{
    return ring([](const RingPlace &p, int, int) {
        const double towardsOuter = std::clamp(1 - p.outer / (Border / 2.0), 0.0, 1.0);
        const double lit = p.side == 1 || p.side == 2 ? 1 : -1;
        return grey(0.5 + 0.35 * lit * towardsOuter);
    });
}

// A dark line along the inner edge, white (which multiply leaves as it is) elsewhere.
QImage innerLineShade()
{
    return ring([](const RingPlace &p, int, int) { return grey(p.inner < 2.5 ? 0.35 : 1.0); });
}

// Fine grain about neutral grey.
QImage grainShade()
{
    std::mt19937 random(3);
    return ring([&random](const RingPlace &, int, int) {
        return grey(std::clamp(0.5 + std::normal_distribution(0.0, 0.06)(random), 0.0, 1.0));
    });
}

// Mitre joints: a dark diagonal where two sides meet.
QImage mitreShade()
{
    return ring([](const RingPlace &, int x, int row) {
        const double px = x + 0.5, py = row + 0.5;
        const bool onDiagonal = std::abs(px - py) < 1.0 || std::abs(px - (FrameSize - py)) < 1.0;
        return grey(onDiagonal ? 0.45 : 1.0);
    });
}

// Picture frames for the "Picture Frame" effect: a frame picture around a window (x, y, width,
// height in pixels, y up from the bottom) that the picture fills, and the frame's own mask, white in
// that window. Each frame reaches Lip pixels over the window's rim, as a frame's rebate covers a
// print's edge: enlarged, the frame's soft inner edge then lies on the picture, never beside it.
constexpr int Lip = 3;

struct FramePlace
{
    double t;  // 0 at the outer edge to 1 at the inner edge of the side the pixel belongs to
    double along;  // distance along that side from its start, in pixels
    double width;  // that side's width in pixels
    int side;  // 0 bottom, 1 left, 2 top, 3 right (y up)
    double inner;  // distance from the clear middle, the larger of the two axes
};

// A frame picture of the size, drawn by colour at every place of the frame; clear inside the window
// shrunk by Lip. The mitres run from each outer corner to the window's corner.
QImage pictureFrame(const QSize &size, const QRect &window, const std::function<QColor(const FramePlace &)> &color)
{
    const double margins[4] = {double(window.y() + Lip), double(window.x() + Lip),
                               double(size.height() - window.y() - window.height() + Lip),
                               double(size.width() - window.x() - window.width() + Lip)};
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int row = 0; row < size.height(); ++row) {
        for (int x = 0; x < size.width(); ++x) {
            const double px = x + 0.5, py = size.height() - row - 0.5;
            const double d[4] = {py, px, size.height() - py, size.width() - px};
            int side = 0;
            for (int i = 1; i < 4; ++i)
                side = d[i] / margins[i] < d[side] / margins[side] ? i : side;
            const double t = d[side] / margins[side];
            const double inner = std::max({margins[1] - px, px - (size.width() - margins[3]), margins[0] - py,
                                           py - (size.height() - margins[2])});
            if (t < 1)
                picture.setPixelColor(x, row, color({t, side % 2 ? py : px, margins[side], side, inner}));
        }
    }
    return picture;
}

// White in the window, black elsewhere: the picture shows where the mask is light.
QImage pictureFrameMask(const QSize &size, const QRect &window)
{
    QImage mask(size, QImage::Format_RGB32);
    mask.fill(Qt::black);
    QPainter(&mask).fillRect(QRect(window.x(), size.height() - window.y() - window.height(), window.width(),
                                   window.height()),
                             Qt::white);
    return mask;
}

// Light from the top left: 1 on the top and left sides, -1 on the bottom and right.
double lit(int side) { return side == 1 || side == 2 ? 1 : -1; }

QColor hsv(double hue, double saturation, double value)
{
    return QColor::fromHsvF(float(hue / 360), float(std::clamp(saturation, 0.0, 1.0)), float(std::clamp(value, 0.0, 1.0)));
}

// A gilt moulding: a dark outer edge, a rounded gold profile lit from the top left, a row of beads
// and a darker inner slope down to the picture.
QImage giltFrame(const QSize &size, const QRect &window)
{
    std::mt19937 random(5);
    return pictureFrame(size, window, [&random](const FramePlace &p) {
        const double grain = std::normal_distribution(0.0, 0.015)(random);
        if (p.t < 0.05)
            return hsv(30, 0.7, 0.22 + grain);
        if (p.t < 0.62) {
            const double u = (p.t - 0.05) / 0.57;
            return hsv(43, 0.72, 0.62 + 0.28 * std::cos(M_PI * u) * lit(p.side) * 0.8 + 0.1 * std::sin(M_PI * u) + grain);
        }
        if (p.t < 0.8) {
            const double period = 0.18 * p.width, radius = period * 0.42;
            const double dx = std::fmod(p.along, period) - period / 2, dy = (p.t - 0.71) * p.width;
            const double r = std::hypot(dx, dy) / radius;
            if (r < 1)
                return hsv(45, 0.7, 0.5 + 0.45 * std::sqrt(1 - r * r) - 0.2 * lit(p.side) * dy / radius + grain);
            return hsv(38, 0.75, 0.35 + grain);
        }
        return hsv(42, 0.72, 0.55 - 0.25 * (p.t - 0.8) / 0.2 - 0.08 * lit(p.side) + grain);
    });
}

// A thin black frame round a wide cream mat whose window is cut with a bevel.
QImage passePartoutFrame(const QSize &size, const QRect &window)
{
    std::mt19937 random(9);
    return pictureFrame(size, window, [&random](const FramePlace &p) {
        const double grain = std::normal_distribution(0.0, 0.01)(random);
        const double frame = 20 / p.width, bevel = 1 - (6.0 + Lip) / p.width;
        if (p.t < frame)
            return hsv(0, 0, 0.1 + (p.t * p.width < 2 ? 0.25 : 0) + 0.05 * lit(p.side) + grain);
        if (p.t < bevel)
            return hsv(45, 0.06, 0.93 + grain);
        return hsv(45, 0.05, 0.9 + 0.08 * lit(p.side));
    });
}

// An instant photograph's card: white with a wide bottom, a faint shading and a dark rim round the picture.
QImage instantFrame(const QSize &size, const QRect &window)
{
    std::mt19937 random(13);
    return pictureFrame(size, window, [&random](const FramePlace &p) {
        const double grain = std::normal_distribution(0.0, 0.008)(random);
        if (p.inner < Lip + 1)
            return hsv(0, 0, 0.15);
        return hsv(50, 0.03, 0.95 - 0.03 * p.t + grain);
    });
}

// The frames, as the catalog stores them: one of each category the frame editor lists.
bool writeDescriptions(const QString &dir)
{
    const QString path = dir + QStringLiteral("/Frames.bundle/Description.plist");
    const auto shade = [](const char *id, const char *mode, double intensity) {
        return QStringLiteral("<dict><key>Shade</key><string>%1</string><key>BlendMode</key><string>%2</string>"
                              "<key>Intensity</key><real>%3</real></dict>")
            .arg(QLatin1String(id), QLatin1String(mode))
            .arg(intensity);
    };
    const auto frame = [](const char *id, const char *name, const char *texture, int fillMode, const char *outer,
                          const char *inner, const QStringList &shades) {
        QString entry = QStringLiteral("<key>%1</key><dict><key>Name</key><string>%2</string>"
                                       "<key>Texture</key><string>%3</string>"
                                       "<key>TextureFillMode</key><integer>%4</integer>")
                            .arg(QLatin1String(id), QLatin1String(name), QLatin1String(texture))
                            .arg(fillMode);
        if (outer)
            entry += QStringLiteral("<key>ExternalMask</key><string>%1</string>").arg(QLatin1String(outer));
        entry += QStringLiteral("<key>InternalMask</key><string>%1</string><key>Inset</key><real>0</real>"
                                "<key>Shades</key><array>%2</array></dict>\n")
                     .arg(QLatin1String(inner), shades.join(QString()));
        return entry;
    };
    const QString frames =
        frame("FRM-0#001#Leather-Brown", "Leather Brown", "RQS-T#003#Leather-Brown", 0, "FRM-E#002#Rounded",
              "FRM-I#002#Rounded", {shade("FRM-S#001#External-Bevel", "softLight", 0.8),
                                    shade("FRM-S#002#Internal-Line", "multiply", 0.6)})
        + frame("FRM-0#002#Metal-Silver", "Metal Silver", "RQS-T#004#Metal-Brushed", 0, "FRM-E#001#Square",
                "FRM-I#001#Square", {shade("FRM-S#001#External-Bevel", "overlay", 1.0),
                                     shade("FRM-S#004#Join-Mitre", "multiply", 0.7)})
        + frame("FRM-0#003#Paper-Cream", "Paper Cream", "RQS-T#001#Paper-Cream", 0, nullptr, "FRM-I#000#Internal-Auto",
                {shade("FRM-S#002#Internal-Line", "multiply", 0.5), shade("FRM-S#003#Overlay-Grain", "overlay", 0.5)})
        + frame("FRM-0#004#Paper-Laid", "Paper Laid", "RQS-T#002#Paper-Laid", 0, "FRM-E#001#Square",
                "FRM-I#001#Square", {shade("FRM-S#002#Internal-Line", "multiply", 0.4)})
        + frame("FRM-0#005#Wood-Oak", "Wood Oak", "RQS-T#010#Wood-Light-Knots", 1, "FRM-E#001#Square",
                "FRM-I#001#Square", {shade("FRM-S#004#Join-Mitre", "multiply", 0.8),
                                     shade("FRM-S#001#External-Bevel", "softLight", 0.7)})
        + frame("FRM-0#006#Wood-Walnut", "Wood Walnut", "RQS-T#011#Wood-Dark", 1, "FRM-E#002#Rounded",
                "FRM-I#002#Rounded", {shade("FRM-S#001#External-Bevel", "softLight", 0.9)});
    const QByteArray text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                           "<plist version=\"1.0\"><dict>\n%1</dict></plist>\n")
                                .arg(frames)
                                .toUtf8();
    return resourcefiles::writeText(path, text);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const std::optional<QString> folder = resourcefiles::outputFolder("make-frame-bundle");
    if (!folder)
        return 1;
    const QString dir = *folder;
    const QString bundle = QStringLiteral("Frames.bundle");
    // Options: flag letter, sections, "#" the tile's own hue-saturation-value, "$" the base scale.
    const QSize landscape(640, 500), portrait(500, 600);
    const QRect giltWindow(70, 70, 500, 360), matWindow(110, 110, 420, 280), instantWindow(28, 120, 444, 452);
    const bool written = save(giltFrame(landscape, giltWindow), dir, "Frames", "RQS-F#001#Gilt#70-70-500-360.png")
                         && save(pictureFrameMask(landscape, giltWindow), dir, "Frames", "RQS-F#001#GiltMask.png")
                         && save(passePartoutFrame(landscape, matWindow), dir, "Frames",
                                 "RQS-F#002#Passe-Partout#110-110-420-280.png")
                         && save(pictureFrameMask(landscape, matWindow), dir, "Frames", "RQS-F#002#Passe-PartoutMask.png")
                         && save(instantFrame(portrait, instantWindow), dir, "Frames", "RQS-F#003#Instant#28-120-444-452.png")
                         && save(pictureFrameMask(portrait, instantWindow), dir, "Frames", "RQS-F#003#InstantMask.png")
                         && save(paperCream(), dir, "Textures", "RQS-T#001#Paper-Cream#R#40-10-96$6.jpg", 92)
                         && save(paperLaid(), dir, "Textures", "RQS-T#002#Paper-Laid#R#45-8-92$6.jpg", 92)
                         && save(leatherBrown(), dir, "Textures", "RQS-T#003#Leather-Brown#R#25-60-45$6.jpg", 92)
                         && save(metalBrushed(), dir, "Textures", "RQS-T#004#Metal-Brushed#R#210-5-80$6.jpg", 92)
                         && save(wood(32, 0.45, 0.82), dir, "Textures", "RQS-T#010#Wood-Light-Knots#S1#32-45-82$2.jpg", 92)
                         && save(wood(20, 0.60, 0.40), dir, "Textures", "RQS-T#011#Wood-Dark#S1#20-60-40$2.jpg", 92)
                         && save(squareMask(), dir, bundle + "/InternalMasks", "FRM-I#000#Internal-Auto#16-16.png")
                         && save(squareMask(), dir, bundle + "/InternalMasks", "FRM-I#001#Square#16-16.png")
                         && save(roundedMask(false), dir, bundle + "/InternalMasks", "FRM-I#002#Rounded#16-16.png")
                         && save(squareMask(), dir, bundle + "/ExternalMasks", "FRM-E#001#Square#16-16.png")
                         && save(roundedMask(true), dir, bundle + "/ExternalMasks", "FRM-E#002#Rounded#16-16.png")
                         && save(bevelShade(), dir, bundle + "/Shades", "FRM-S#001#External-Bevel#16-16.png")
                         && save(innerLineShade(), dir, bundle + "/Shades", "FRM-S#002#Internal-Line#16-16.png")
                         && save(grainShade(), dir, bundle + "/Shades", "FRM-S#003#Overlay-Grain#16-16.png")
                         && save(mitreShade(), dir, bundle + "/Shades", "FRM-S#004#Join-Mitre#16-16.png")
                         && writeDescriptions(dir);
    if (!written)
        return 1;
    std::printf("Info: frame materials written to %s\n", qPrintable(QDir(dir).absolutePath()));
    return 0;
}
