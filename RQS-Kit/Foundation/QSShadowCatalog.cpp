#include "RQS-Kit/Foundation/QSShadowCatalog.h"

#include "RQS-Kit/Foundation/QSColor.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"

QSShadowCatalog::QSShadowCatalog(const QString &path)
{
    QString error;
    const QVariant contents = platform::PropertyList::read(path, &error);
    if (contents.typeId() == QMetaType::QVariantMap)
        m_shadowsDictionary = contents.toMap();
    else
        platform::logWarning(QStringLiteral("No shadow presets from '%1', because %2")
                                 .arg(path, error.isEmpty() ? QStringLiteral("it holds no dictionary") : error));
}

const QVariantMap &QSShadowCatalog::shadowsDictionary() const { return m_shadowsDictionary; }

std::optional<platform::Shadow> QSShadowCatalog::shadowWithName(const QString &name) const
{
    const auto preset = m_shadowsDictionary.constFind(name);
    if (preset == m_shadowsDictionary.cend())
        return std::nullopt;
    return shadowWithDescritption(preset.value());
}

QBrush QSShadowCatalog::textColorForShadowWithName(const QString &name) const
{
    const auto preset = m_shadowsDictionary.constFind(name);
    if (preset == m_shadowsDictionary.cend())
        return QBrush(Qt::NoBrush);
    return QSColor::colorFromDescription(preset.value().toMap().value(QStringLiteral("textColor")).toString());
}

const QSShadowCatalog &QSShadowCatalog::sharedShadowCatalog()
{
    static const QSShadowCatalog catalog([] {
        const platform::BundlePtr bundle = platform::Bundle::mainBundle();
        const QString path = bundle->pathForResource(QStringLiteral("Shadows"), QStringLiteral("plist"));
        return path.isEmpty() ? bundle->bundlePath() + QStringLiteral("/Shadows.plist") : path;
    }());
    return catalog;
}

std::optional<platform::Shadow> QSShadowCatalog::sharedShadowWithName(const QString &name)
{
    return sharedShadowCatalog().shadowWithName(name);
}

QBrush QSShadowCatalog::sharedTextColorForShadowWithName(const QString &name)
{
    return sharedShadowCatalog().textColorForShadowWithName(name);
}

std::optional<platform::Shadow> QSShadowCatalog::shadowWithDescritption(const QVariant &description)
{
    if (!description.isValid())
        return std::nullopt;
    if (description.typeId() != QMetaType::QVariantMap) {
        platform::logWarning(QStringLiteral("Shadow description '%1' is no dictionary").arg(description.toString()));
        return std::nullopt;
    }
    const QVariantMap values = description.toMap();
    platform::Shadow shadow;
    shadow.color = QSColor::colorFromDescription(values.value(QStringLiteral("color")).toString()).color();
    shadow.offset = QSizeF(values.value(QStringLiteral("offset.x")).toDouble(),
                           values.value(QStringLiteral("offset.y")).toDouble());
    shadow.blurRadius = values.value(QStringLiteral("radius")).toDouble();
    return shadow;
}
