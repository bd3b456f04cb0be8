// Writes the pictures that the kit's filters read by name into DIR, in the folders and with the
// names the kit looks for: masks in Masks/, picture frames and their masks in Frames/, shadow
// pictures in Shadows/, a texture in Textures/ and a frame bundle, Frames.bundle. Point the kit at DIR with rqs::setGraphicsBundlePath (fx-render:
// --resources DIR).
#include "ResourceFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

using resourcefiles::save;

QImage canvas(int width, int height, const QColor &fill)
{
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(fill);
    return picture;
}

// A white oval on clear: a mask that speaks through its alpha.
QImage ovalMask()
{
    QImage picture = canvas(200, 150, Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(10, 10, 180, 130));
    return picture;
}

// Opaque vertical stripes of white, grey and black: a mask that speaks through its grey.
QImage stripesMask()
{
    QImage picture(120, 120, QImage::Format_RGB32);
    QPainter painter(&picture);
    const QColor greys[] = {Qt::white, QColor(128, 128, 128), Qt::black};
    for (int i = 0; i < 6; ++i)
        painter.fillRect(QRect(i * 20, 0, 20, 120), greys[i % 3]);
    return picture;
}

// A wooden-brown frame around a clear window (x, y, w, h, y up) and the frame's own mask, white
// in the window.
std::pair<QImage, QImage> frame(const QSize &size, const QRect &window)
{
    const QRect rows(window.x(), size.height() - window.y() - window.height(), window.width(), window.height());
    QImage picture = canvas(size.width(), size.height(), QColor(120, 80, 40));
    QImage mask = canvas(size.width(), size.height(), Qt::black);
    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rows, Qt::transparent);
    painter.setPen(QColor(200, 160, 90));
    painter.drawRect(rows.adjusted(-1, -1, 0, 0));
    QPainter(&mask).fillRect(rows, Qt::white);
    return {picture, mask};
}

// A shadow that darkens towards its inner part: the picture sits from (margin, margin) on.
QImage shadowPicture(int size, int margin)
{
    QImage picture = canvas(size, size, Qt::transparent);
    QPainter painter(&picture);
    for (int i = 0; i < margin; ++i) {
        painter.fillRect(QRect(i, i, size - 2 * i, size - 2 * i), QColor(0, 0, 0, 255 * (i + 1) / (margin + 1) / 4));
    }
    return picture;
}

// Stripes of white and grey, 8 pixels each: whole 8 × 8 blocks of one grey, which JPEG keeps.
QImage stripesTexture()
{
    QImage picture = canvas(16, 16, Qt::white);
    QPainter(&picture).fillRect(QRect(8, 0, 8, 16), QColor(128, 128, 128));
    return picture;
}

// A 24 × 24 ring 8 pixels wide, the corners as wide: a frame mask or a shade for width 8, corner 8.
QImage ring(const QColor &color)
{
    QImage picture = canvas(24, 24, color);
    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(8, 8, 8, 8), Qt::transparent);
    return picture;
}

// The bundle's own catalog: one frame of the stripes, the square mask and a half-grey shade multiplied.
bool writeFrameDescriptions(const QString &dir)
{
    const QString path = dir + QStringLiteral("/Frames.bundle/Description.plist");
    const QByteArray text = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>FRM-0#001#Test</key><dict>
<key>Name</key><string>Test Frame</string>
<key>Texture</key><string>RQS-T#001#Stripes</string>
<key>InternalMask</key><string>FRM-I#001#Square</string>
<key>Shades</key><array><dict><key>Shade</key><string>FRM-S#001#Half</string>
<key>BlendMode</key><string>multiply</string><key>Intensity</key><real>1</real></dict></array>
</dict></dict></plist>
)";
    return resourcefiles::writeText(path, text);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const std::optional<QString> folder = resourcefiles::outputFolder("make-fx-resources");
    if (!folder)
        return 1;
    const QString dir = *folder;
    const auto [frameImage, frameMask] = frame({200, 150}, {20, 20, 160, 110});
    const auto [wideFrame, wideMask] = frame({300, 200}, {30, 40, 240, 120});
    const bool written = save(ovalMask(), dir, "Masks", "RQS-M#001#Oval.png")
                         && save(stripesMask(), dir, "Masks", "RQS-M#002#Stripes.png")
                         && save(frameImage, dir, "Frames", "RQS-F#001#Plain#20-20-160-110.png")
                         && save(frameMask, dir, "Frames", "RQS-F#001#PlainMask.png")
                         && save(wideFrame, dir, "Frames", "RQS-F#002#Wide#30-40-240-120.png")
                         && save(wideMask, dir, "Frames", "RQS-F#002#WideMask.png")
                         && save(shadowPicture(120, 8), dir, "Shadows", "RQS-S#001#Soft#8-8.png")
                         && save(shadowPicture(160, 16), dir, "Shadows", "RQS-S#002#Deep#16-16.png")
                         && save(stripesTexture(), dir, "Textures", "RQS-T#001#Stripes#R1#0-0-100$1.jpg", 100)
                         && save(ring(Qt::white), dir, "Frames.bundle/InternalMasks", "FRM-I#001#Square#8-8.png")
                         && save(ring(QColor(128, 128, 128)), dir, "Frames.bundle/Shades", "FRM-S#001#Half#8-8.png")
                         && writeFrameDescriptions(dir);
    if (!written)
        return 1;
    std::printf("Info: named pictures written to %s\n", qPrintable(QDir(dir).absolutePath()));
    return 0;
}
