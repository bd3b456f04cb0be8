#pragma once

#include <QBrush>
#include <QString>

// The kit's text form of colours, as written in its property lists, shadow presets and control
// settings. A colour may be a pattern of an image, so colours travel as QBrush: a solid brush for
// a plain colour, a texture brush for a pattern, and a brush of style Qt::NoBrush for no colour.
class QSColor
{
public:
    struct Hsv
    {
        double hue = 0;        // 0 to 1
        double saturation = 0; // 0 to 1
        double value = 0;      // 0 to 1
    };

    // "" is opaque black; an image name of the main bundle gives its pattern; "#rrggbb[aa]" hex
    // pairs; otherwise decimal fractions separated by "/" or blanks (grey, grey+alpha, RGB, RGBA).
    static QBrush colorFromDescription(const QString &description);
    // Decimal fractions separated by "/" or, without one, by blanks: none is black, one grey, two
    // grey and alpha, three RGB, four RGBA, more RGB. Whatever is not a number reads 0.
    static QColor colorFromComponentText(const QString &text);
    // "r g b a" with six decimals and a point whatever the locale; four zeros for a pattern.
    static QString descriptionForNSColor(const QBrush &color);
    static QBrush colorFromHsv(const Hsv &hsv);
    // Black gives (0, 0, 0); a grey has hue and saturation 0.
    static Hsv hsv(const QColor &color);
    static Hsv hsvFromRgb(double red, double green, double blue);
    // The pattern of the image "NoiseFull.png"; no colour while the image is missing.
    static QBrush noiseColor();

    QSColor() = delete;
};
