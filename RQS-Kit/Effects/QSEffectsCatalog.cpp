#include "RQS-Kit/Effects/QSEffectsCatalog.h"

#include "RQS-Kit/Foundation/GradientExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/fx/Color.h"

#include <algorithm>

namespace {

const QString NameKey = QStringLiteral("name");
const QString DisplayNameKey = QStringLiteral("displayName");

struct Replacement
{
    QString replaceName;
    QList<std::pair<QString, QString>> replaceInputs;
};

const QHash<QString, Replacement> &replacements()
{
    static const QHash<QString, Replacement> table{
        {QStringLiteral("QSColorMultiplyFilter"),
         {QStringLiteral("QSGradientMultiplyFilter"), {{QStringLiteral("inputColor"), QStringLiteral("inputGradient")}}}}};
    return table;
}

QString stringOf(const QVariantMap &map, const QString &key)
{
    const QVariant value = map.value(key);
    return value.metaType() == QMetaType::fromType<QString>() ? value.toString() : QString();
}

// A colour, as object or text, becomes the gradient text that a gradient input reads; anything
// else is left for the effect to judge.
QVariant asGradient(const QVariant &value)
{
    std::optional<platform::fx::Color> color;
    if (value.metaType() == QMetaType::fromType<platform::fx::Color>())
        color = value.value<platform::fx::Color>();
    else if (value.metaType() == QMetaType::fromType<QString>())
        color = platform::fx::Color::fromText(value.toString());
    if (!color)
        return value;
    const QColor single = QColor::fromRgbF(color->r, color->g, color->b, color->a);
    return rqs::stringRepresentation(platform::Gradient(QList<QColor>{single}));
}

QVariantList readDescriptions()
{
    const platform::BundlePtr bundle = platform::Bundle::mainBundle();
    const QString path = bundle->pathForResource(QStringLiteral("Effects"), QStringLiteral("plist"));
    QString error;
    const QVariant list = path.isEmpty() ? QVariant() : platform::PropertyList::read(path, &error);
    if (list.metaType() != QMetaType::fromType<QVariantList>()) {
        platform::logError(QStringLiteral("The effects catalog \"Effects.plist\" could not be read: %1")
                               .arg(path.isEmpty() ? QStringLiteral("missing") : error));
        return {};
    }
    return list.toList();
}

} // namespace

const QSEffectsCatalog &QSEffectsCatalog::shared()
{
    static const QSEffectsCatalog catalog(readDescriptions());
    return catalog;
}

QSEffectsCatalog::QSEffectsCatalog(const QVariantList &descriptions)
{
    for (const QVariant &description : descriptions) {
        if (description.metaType() == QMetaType::fromType<QVariantMap>())
            addEffectWithDescription(description.toMap());
        else
            platform::logWarning(QStringLiteral("The effects catalog skips an entry that is no dictionary"));
    }
    m_sortedDisplayNames = m_displayNames.keys();
    std::sort(m_sortedDisplayNames.begin(), m_sortedDisplayNames.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

void QSEffectsCatalog::addEffectWithDescription(const QVariantMap &description)
{
    QString key;
    for (const QString &candidate : {NameKey, QStringLiteral("ciName"), DisplayNameKey}) {
        key = stringOf(description, candidate);
        if (!key.isEmpty())
            break;
    }
    if (key.isEmpty()) {
        platform::logWarning(QStringLiteral("No Name! Skipping Effect %1").arg(description.keys().join(QStringLiteral(", "))));
        return;
    }
    const QString given = stringOf(description, DisplayNameKey);
    const QString displayName = rqs::localized(given.isEmpty() ? key : given);
    QVariantMap entry = description;
    entry.insert(DisplayNameKey, displayName);
    if (!entry.contains(NameKey))
        entry.insert(NameKey, key);
    m_catalog.insert(key, entry);
    m_displayNames.insert(displayName, key);
}

std::unique_ptr<QSEffect> QSEffectsCatalog::effectForDisplayName(const QString &displayName) const
{
    const auto key = m_displayNames.constFind(displayName);
    if (key == m_displayNames.constEnd()) {
        platform::logWarning(QStringLiteral("The effects catalog has no effect called %1").arg(displayName));
        return nullptr;
    }
    return QSEffect::withDescription(m_catalog.value(*key));
}

QVariantMap QSEffectsCatalog::verifyEffectSettings(const QVariantMap &settings)
{
    const auto replacement = replacements().constFind(stringOf(settings, NameKey));
    if (replacement == replacements().constEnd())
        return settings;
    QVariantMap verified = settings;
    verified.insert(NameKey, replacement->replaceName);
    for (const auto &[oldKey, newKey] : replacement->replaceInputs) {
        if (verified.contains(oldKey)) {
            const QVariant value = verified.take(oldKey);
            verified.insert(newKey, newKey == QLatin1String("inputGradient") ? asGradient(value) : value);
        }
    }
    return verified;
}

std::unique_ptr<QSEffect> QSEffectsCatalog::effectForSettings(const QVariantMap &settings)
{
    return shared().effectFor(settings);
}

std::unique_ptr<QSEffect> QSEffectsCatalog::effectFor(const QVariantMap &stored) const
{
    QVariantMap settings = verifyEffectSettings(stored);
    const QString name = stringOf(settings, NameKey);
    if (name.isEmpty()) {
        platform::logWarning(QStringLiteral("Stored effect settings without a \"name\" make no effect"));
        return nullptr;
    }
    if (m_catalog.contains(name))
        return QSEffect::withDescription(m_catalog.value(name), settings);
    const QString filterName = name + QStringLiteral("Filter");
    if (m_catalog.contains(filterName)) {
        settings.insert(NameKey, filterName);
        return QSEffect::withDescription(m_catalog.value(filterName), settings);
    }
    return QSEffect::withName(name, settings);
}
