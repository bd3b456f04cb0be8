#include "platform/fx/Numbers.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Filter.h"

#include <QRectF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform::fx::Numbers {

namespace {

// The numbers of a value and how to make the value again from them; none for other values.
struct Parts
{
    std::vector<double> numbers;
    std::function<QVariant(const std::vector<double> &)> make;
};

std::optional<Parts> partsOf(const QVariant &value)
{
    const QMetaType type = value.metaType();
    if (isNumeric(value))
        return Parts{{value.toDouble()}, [](const auto &n) { return QVariant(n[0]); }};
    if (type == QMetaType::fromType<QRectF>()) {
        const QRectF r = value.toRectF();
        return Parts{{r.x(), r.y(), r.width(), r.height()}, [](const auto &n) { return QVariant(QRectF(n[0], n[1], n[2], n[3])); }};
    }
    if (type == QMetaType::fromType<QTransform>()) {
        const QTransform t = value.value<QTransform>();
        return Parts{{t.m11(), t.m12(), t.m13(), t.m21(), t.m22(), t.m23(), t.m31(), t.m32(), t.m33()}, [](const auto &n) {
                         return QVariant::fromValue(QTransform(n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8]));
                     }};
    }
    if (type == QMetaType::fromType<Vector>()) {
        const Vector v = value.value<Vector>();
        return Parts{{v.values.begin(), v.values.begin() + std::clamp(v.count, 0, 4)}, [](const auto &n) {
                         Vector made;
                         made.count = int(n.size());
                         std::copy(n.begin(), n.end(), made.values.begin());
                         return QVariant::fromValue(made);
                     }};
    }
    if (type == QMetaType::fromType<Color>()) {
        const Color c = value.value<Color>();
        return Parts{{c.r, c.g, c.b, c.a}, [](const auto &n) {
                         return QVariant::fromValue(Color{float(n[0]), float(n[1]), float(n[2]), float(n[3])});
                     }};
    }
    return std::nullopt;
}

QString text(double value)
{
    return QString::number(value, 'g', 17);
}

QString texts(const std::vector<double> &numbers)
{
    QStringList all;
    for (const double n : numbers)
        all << text(n);
    return QLatin1Char('[') + all.join(QLatin1Char(' ')) + QLatin1Char(']');
}

// The numbers kept from lowest to largest, or nullopt for one that is not finite; one "Warning: "
// line for what is done, naming the subject ("X is …" for one number, "X holds …" for several).
std::optional<std::vector<double>> kept(std::vector<double> numbers, const What &what, double lowest)
{
    const auto fits = [lowest](double n) { return n >= lowest && n <= largest; };
    if (std::all_of(numbers.begin(), numbers.end(), fits))
        return numbers;
    const bool one = numbers.size() == 1;
    const QString subject = one ? QStringLiteral("%1 is").arg(what()) : QStringLiteral("%1 holds").arg(what());
    const auto infinite = std::find_if(numbers.begin(), numbers.end(), [](double n) { return !std::isfinite(n); });
    if (infinite != numbers.end()) {
        logWarning(QStringLiteral("%1 %2, not a finite number; it is ignored").arg(subject, one ? text(*infinite) : texts(numbers)));
        return std::nullopt;
    }
    const QString given = one ? text(numbers.front()) : texts(numbers);
    for (double &n : numbers)
        n = std::clamp(n, lowest, largest);
    logWarning(QStringLiteral("%1 %2, outside %3 to %4; %5 is used")
                   .arg(subject, given, text(lowest), text(largest), one ? text(numbers.front()) : texts(numbers)));
    return numbers;
}

} // namespace

std::optional<double> checked(double value, const What &what)
{
    const auto numbers = kept({value}, what, -largest);
    return numbers ? std::optional<double>(numbers->front()) : std::nullopt;
}

std::optional<QVariant> checked(const QVariant &value, const What &what, double lowest)
{
    const std::optional<Parts> parts = partsOf(value);
    if (!parts)
        return value;
    const auto numbers = kept(parts->numbers, what, lowest);
    if (!numbers)
        return std::nullopt;
    // A value kept as it was keeps its type too: a boolean stays one.
    return *numbers == parts->numbers ? value : parts->make(*numbers);
}

int toInt(double value)
{
    return std::isnan(value) ? 0 : int(std::clamp(value, -largest, largest));
}

} // namespace platform::fx::Numbers
