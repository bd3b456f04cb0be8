#include "RQS-Kit/Foundation/ColorExtension.h"

#include "RQS-Kit/Foundation/ObjectExtension.h"
#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/foundation/Bundle.h"

namespace rqs {

QBrush colorWithName(const QString &name, const QString &styleKit)
{
    if (!styleKit.isEmpty()) {
        const platform::Invocation invocation = invocationForSignatur(styleKit, name);
        const std::optional<QVariant> answer = invocation.isValid() ? invocation.invoke() : std::nullopt;
        if (answer && answer->metaType() == QMetaType::fromType<QBrush>())
            return answer->value<QBrush>();
        if (answer && answer->metaType() == QMetaType::fromType<QColor>())
            return QBrush(answer->value<QColor>());
    }
    return QSColor::colorFromDescription(name);
}

QBrush colorWithName(const QString &text)
{
    const QColor color = QSColor::colorFromComponentText(text);
    if (color.redF() == 0) {
        const QImage pattern = platform::Bundle::mainBundle()->imageNamed(text);
        if (!pattern.isNull())
            return QBrush(pattern);
    }
    return QBrush(color);
}

QString name(const QBrush &color) { return QSColor::descriptionForNSColor(color); }

} // namespace rqs
