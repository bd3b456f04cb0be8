#include "RQS-Kit/Controls/QSButtonStyle.h"

#include "RQS-Kit/Foundation/QSColor.h"
#include "RQS-Kit/Foundation/QSShadowCatalog.h"

#include <algorithm>
#include <array>

namespace {

const std::array<const char *, 4> stateKeys{"disabled", "normal", "hover", "down"};

} // namespace

QVariantMap QSButtonStyle::stateDictionary(const QVariantMap &description, int visualState, bool on)
{
    const QString plain = QLatin1String(stateKeys.at(std::clamp(visualState, 0, 3)));
    for (const QString &key : {plain + (on ? QStringLiteral(".on") : QStringLiteral(".off")), plain}) {
        if (description.contains(key))
            return description.value(key).toMap();
    }
    return description.value(QStringLiteral("normal")).toMap();
}

void QSButtonStyle::apply(const QVariantMap &dictionary)
{
    if (dictionary.contains(QStringLiteral("text.color")))
        textColor = QSColor::colorFromDescription(dictionary.value(QStringLiteral("text.color")).toString());
    if (dictionary.contains(QStringLiteral("text.font"))) {
        QFont named(dictionary.value(QStringLiteral("text.font")).toString());
        const double size = dictionary.value(QStringLiteral("text.size")).toDouble();
        if (size > 0)
            named.setPointSizeF(size);
        font = named;
    }
    if (dictionary.contains(QStringLiteral("text.alignment")))
        alignment = dictionary.value(QStringLiteral("text.alignment")).toInt();
    if (dictionary.contains(QStringLiteral("text.shadow")))
        textShadow = QSShadowCatalog::shadowWithDescritption(dictionary.value(QStringLiteral("text.shadow")));
    if (dictionary.contains(QStringLiteral("text.offset.y")))
        textOffsetY = dictionary.value(QStringLiteral("text.offset.y")).toDouble();
    if (dictionary.contains(QStringLiteral("text.margin")))
        textMargin = dictionary.value(QStringLiteral("text.margin")).toDouble();
    padding = QMarginsF(dictionary.value(QStringLiteral("padding.left")).toDouble(), dictionary.value(QStringLiteral("padding.top")).toDouble(),
                        dictionary.value(QStringLiteral("padding.right")).toDouble(),
                        dictionary.value(QStringLiteral("padding.bottom")).toDouble());
}

bool QSButtonStyle::hasDisabledDescription(const QVariantMap &description, bool on)
{
    return description.contains(on ? QStringLiteral("disabled.on") : QStringLiteral("disabled.off"))
        || description.contains(QStringLiteral("disabled"));
}
