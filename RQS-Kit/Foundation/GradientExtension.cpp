#include "RQS-Kit/Foundation/GradientExtension.h"

#include "RQS-Kit/Foundation/ObjectExtension.h"
#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/foundation/Log.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace rqs {

namespace {

float component(const QString &text) { return std::clamp(text.toFloat(), 0.0f, 1.0f); }

QColor descriptionColor(const QString &text) { return QSColor::colorFromDescription(text).color(); }

} // namespace

platform::Gradient gradientWithName(const QString &name, const QString &styleKit)
{
    if (!styleKit.isEmpty()) {
        const platform::Invocation invocation = invocationForSignatur(styleKit, name);
        const std::optional<QVariant> answer = invocation.isValid() ? invocation.invoke() : std::nullopt;
        if (answer && answer->metaType() == QMetaType::fromType<platform::Gradient>())
            return answer->value<platform::Gradient>();
    }
    return gradientWithString(name);
}

platform::Gradient gradientWithString(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList parts = text.split(blanks, Qt::SkipEmptyParts);
    const qsizetype count = parts.size();
    if (count < 5)
        return platform::Gradient(QList<QColor>{descriptionColor(text)});
    if (count == 8) {
        return platform::Gradient(QList<QColor>{descriptionColor(parts.mid(0, 4).join(QLatin1Char(' '))),
                                                descriptionColor(parts.mid(4, 4).join(QLatin1Char(' ')))});
    }
    if (count % 5 != 0)
        platform::logWarning(QStringLiteral("Number of Gradient Components is not a multiple of 5:\n%1").arg(text));
    QGradientStops stops;
    for (qsizetype group = 0; group + 5 <= count; group += 5) {
        stops.append({component(parts[group]), QColor::fromRgbF(component(parts[group + 1]), component(parts[group + 2]),
                                                                component(parts[group + 3]), component(parts[group + 4]))});
    }
    return platform::Gradient(stops);
}

QString stringRepresentation(const platform::Gradient &gradient)
{
    QStringList groups;
    for (const QGradientStop &stop : gradient.stops())
        groups.append(QString::number(stop.first, 'f', 6) + QLatin1Char(' ') + QSColor::descriptionForNSColor(stop.second));
    return groups.join(QLatin1Char(' '));
}

} // namespace rqs
