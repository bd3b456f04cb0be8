#include "RQS-Kit/Controls/QSGradientStops.h"

#include "RQS-Kit/Foundation/ColorExtension.h"
#include "platform/foundation/Log.h"

#include <QStringList>

#include <algorithm>

namespace {

const QString colorsKey = QStringLiteral("Colors");
const QString locationsKey = QStringLiteral("Locations");

QColor rgb(const QColor &color) { return color.toRgb(); }

} // namespace

QSGradientStops::QSGradientStops()
    : m_colors{rgb(Qt::white), rgb(Qt::black)}
    , m_locations{0.0, 1.0}
{
}

int QSGradientStops::count() const { return int(m_colors.size()); }

QColor QSGradientStops::color(int index) const { return m_colors.value(index); }

double QSGradientStops::location(int index) const { return m_locations.value(index); }

bool QSGradientStops::isInner(int index) const { return index > 0 && index < count() - 1; }

platform::Gradient QSGradientStops::gradient() const
{
    QGradientStops stops;
    for (int i = 0; i < count(); ++i)
        stops.append({m_locations.at(i), m_colors.at(i)});
    return platform::Gradient(stops);
}

bool QSGradientStops::setGradient(const platform::Gradient &gradient)
{
    const QGradientStops stops = gradient.stops().mid(0, maximumCount);
    if (stops.size() < 2) {
        platform::logWarning(QStringLiteral("A gradient of %1 stops cannot be edited").arg(stops.size()));
        return false;
    }
    m_colors.clear();
    m_locations.clear();
    for (const QGradientStop &stop : stops) {
        m_locations.append(stop.first);
        m_colors.append(rgb(stop.second));
    }
    return true;
}

std::optional<int> QSGradientStops::add(double location)
{
    if (count() >= maximumCount) {
        platform::logWarning(QStringLiteral("Trying to add more than a hundred colors to an array"));
        return std::nullopt;
    }
    if (!(location > 0.0 && location < 1.0)) {
        platform::logWarning(QStringLiteral("Cannot add color at location %1").arg(location, 0, 'f', 6));
        return std::nullopt;
    }
    const QColor color = gradient().interpolatedColorAtLocation(location);
    int index = 0;
    while (index < count() && location > m_locations.at(index))
        ++index;
    m_locations.insert(index, location);
    m_colors.insert(index, rgb(color));
    return index;
}

bool QSGradientStops::remove(int index)
{
    if (!isInner(index))
        return false;
    m_locations.removeAt(index);
    m_colors.removeAt(index);
    return true;
}

bool QSGradientStops::move(int index, double location)
{
    if (!isInner(index) || !(location > m_locations.at(index - 1) && location < m_locations.at(index + 1)))
        return false;
    m_locations[index] = location;
    return true;
}

bool QSGradientStops::setColor(int index, const QColor &color)
{
    if (index < 0 || index >= count() || !color.isValid())
        return false;
    m_colors[index] = rgb(color);
    return true;
}

QVariantMap QSGradientStops::description() const
{
    QVariantList colors;
    QVariantList locations;
    for (int i = 0; i < count(); ++i) {
        colors.append(rqs::name(m_colors.at(i)));
        locations.append(m_locations.at(i));
    }
    return {{colorsKey, colors}, {locationsKey, locations}};
}

bool QSGradientStops::loadDescription(const QVariantMap &description)
{
    const QVariantList colors = description.value(colorsKey).toList();
    const QVariantList locations = description.value(locationsKey).toList();
    const int n = int(std::min({colors.size(), locations.size(), qsizetype(maximumCount)}));
    QList<double> read;
    for (int i = 0; i < n; ++i)
        read.append(locations.at(i).toDouble());
    const bool rising = std::is_sorted(read.begin(), read.end());
    if (n < 2 || read.first() != 0.0 || read.last() != 1.0 || !rising) {
        platform::logWarning(QStringLiteral("A gradient description needs stops rising from 0 to 1; the gradient stays"));
        return false;
    }
    m_locations = read;
    m_colors.clear();
    for (int i = 0; i < n; ++i)
        m_colors.append(rgb(rqs::colorWithName(colors.at(i).toString()).color()));
    return true;
}
