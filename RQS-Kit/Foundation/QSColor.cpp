#include "RQS-Kit/Foundation/QSColor.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

// A text reads as the number it starts with, after blanks; anything else reads 0.
double leadingNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

// A hex piece reads as the hex digits it starts with, after blanks; none reads 0.
int leadingHex(QStringView piece)
{
    int value = 0;
    qsizetype i = 0;
    while (i < piece.size() && piece.at(i).isSpace())
        ++i;
    for (; i < piece.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(piece.at(i).toLatin1());
        if (!std::isxdigit(c))
            break;
        value = value * 16 + (std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
    }
    return value;
}

QList<double> numbersSeparatedBy(const QString &text, QChar separator)
{
    QList<double> numbers;
    const QStringList parts = text.split(separator);
    for (const QString &part : parts)
        numbers.append(leadingNumber(part));
    return numbers;
}

QList<double> hexPairs(const QString &text)
{
    QList<double> components;
    for (qsizetype start = 1; text.size() >= start + 2; start += 2)
        components.append(leadingHex(QStringView(text).mid(start, 2)) / 255.0);
    return components;
}

QColor rgba(double red, double green, double blue, double alpha)
{
    const auto unit = [](double v) { return float(std::clamp(v, 0.0, 1.0)); };
    return QColor::fromRgbF(unit(red), unit(green), unit(blue), unit(alpha));
}

QColor colorFromComponents(const QList<double> &c)
{
    switch (c.size()) {
    case 0:
        return rgba(0, 0, 0, 1);
    case 1:
        return rgba(c[0], c[0], c[0], 1);
    case 2:
        return rgba(c[0], c[0], c[0], c[1]);
    case 4:
        return rgba(c[0], c[1], c[2], c[3]);
    default:
        return rgba(c[0], c[1], c[2], 1);
    }
}

quint16 storedComponent(double value) { return rgba(value, 0, 0, 1).rgba64().red(); }

// QColor keeps 16 bits a component, so the exact decimal a colour was read from is gone. Write
// k/255 for an 8-bit value, else the shortest decimal that reads back to the same 16 bits: "0.5"
// comes back as 0.500000, not 0.500008.
QString componentText(quint16 stored)
{
    if (stored % 257 == 0)
        return QString::number(stored / 257 / 255.0, 'f', 6);
    for (int decimals = 1; decimals < 6; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        const double nearest = std::round(stored / 65535.0 * scale);
        for (const double candidate : {nearest, nearest - 1, nearest + 1}) {
            if (storedComponent(candidate / scale) == stored)
                return QString::number(candidate / scale, 'f', 6);
        }
    }
    return QString::number(stored / 65535.0, 'f', 6);
}

} // namespace

QBrush QSColor::colorFromDescription(const QString &description)
{
    if (description.isEmpty())
        return QBrush(Qt::black);
    const QImage pattern = platform::Bundle::mainBundle()->imageNamed(description);
    if (!pattern.isNull())
        return QBrush(pattern);

    if (description.startsWith(QLatin1Char('#'))) {
        const QList<double> pairs = hexPairs(description);
        // One piece falls back to the blank split, as decimal text does.
        return QBrush(colorFromComponents(pairs.size() == 1 ? numbersSeparatedBy(description, QLatin1Char(' ')) : pairs));
    }
    return QBrush(colorFromComponentText(description));
}

QColor QSColor::colorFromComponentText(const QString &text)
{
    QList<double> components = numbersSeparatedBy(text, QLatin1Char('/'));
    if (components.size() == 1)
        components = numbersSeparatedBy(text, QLatin1Char(' '));
    return colorFromComponents(components);
}

QString QSColor::descriptionForNSColor(const QBrush &color)
{
    if (color.style() != Qt::SolidPattern)
        return QStringLiteral("0.000000 0.000000 0.000000 0.000000");
    const QRgba64 stored = color.color().toRgb().rgba64();
    return QStringList{componentText(stored.red()), componentText(stored.green()), componentText(stored.blue()),
                       componentText(stored.alpha())}
        .join(QLatin1Char(' '));
}

QBrush QSColor::colorFromHsv(const Hsv &hsv)
{
    const double v = hsv.value;
    const double s = hsv.saturation;
    if (s == 0)
        return QBrush(rgba(v, v, v, 1));
    const double x = hsv.hue * 360.0 / 60.0;
    const double sector = std::floor(x);
    const float f = float(x - sector);
    // Every sector outside 0 to 6 takes the last formula; the clamp keeps huge or odd hues defined.
    const int i = std::isfinite(sector) ? int(std::clamp(sector, -1.0, 7.0)) : 7;
    const float p = float((1 - s) * v);
    const float q = float((1 - f * s) * v);
    const float t = float((1 - (1 - f) * s) * v);
    switch (i) {
    case 0:
    case 6: // hue 1 is hue 0
        return QBrush(rgba(v, t, p, 1));
    case 1:
        return QBrush(rgba(q, v, p, 1));
    case 2:
        return QBrush(rgba(p, v, t, 1));
    case 3:
        return QBrush(rgba(p, q, v, 1));
    case 4:
        return QBrush(rgba(t, p, v, 1));
    default:
        return QBrush(rgba(v, p, q, 1));
    }
}

QSColor::Hsv QSColor::hsv(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return hsvFromRgb(rgb.redF(), rgb.greenF(), rgb.blueF());
}

QSColor::Hsv QSColor::hsvFromRgb(double red, double green, double blue)
{
    const double mx = std::max({red, green, blue});
    const double mn = std::min({red, green, blue});
    if (mn + mx == 0)
        return {};
    const double d = mx - mn;
    double h = 0;
    if (d == 0)
        h = 0;
    else if (red == mx)
        h = (green - blue) / d;
    else if (green == mx)
        h = (blue - red) / d + 2.0;
    else
        h = (red - green) / d + 4.0;
    return {std::fmod(h / 6.0 + 1.0, 1.0), d / mx, mx};
}

QBrush QSColor::noiseColor()
{
    static QMutex mutex;
    static QBrush noise(Qt::NoBrush);
    QMutexLocker locker(&mutex);
    if (noise.style() == Qt::NoBrush) {
        const QImage image = platform::Bundle::mainBundle()->imageNamed(QStringLiteral("NoiseFull.png"));
        if (image.isNull())
            platform::logWarning(QStringLiteral("noise image 'NoiseFull.png' is not in bundle"));
        else
            noise = QBrush(image);
    }
    return noise;
}
