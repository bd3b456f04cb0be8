#pragma once

#include "RQS-Kit/Effects/QSEffect.h"

#include <QHash>
#include <QStringList>
#include <QVariantMap>

#include <memory>

// The effects the kit offers, read from the resource "Effects.plist" (an array of effect
// descriptions), keyed by name and by localised display name; makes effects from a display name
// or from stored settings. Main thread only.
class QSEffectsCatalog
{
public:
    // Made on first use from the main bundle's "Effects.plist"; empty, after an "Error: " line,
    // when that cannot be read.
    static const QSEffectsCatalog &shared();

    explicit QSEffectsCatalog(const QVariantList &descriptions);

    // The key is "name", else "ciName", else "displayName"; without any, skipped with a warning.
    void addEffectWithDescription(const QVariantMap &description);

    // Effect key → description with its localised "displayName".
    const QHash<QString, QVariantMap> &catalog() const { return m_catalog; }
    // Case-insensitive order.
    const QStringList &sortedDisplayNames() const { return m_sortedDisplayNames; }

    // Null for a display name the catalog does not hold, with a warning.
    std::unique_ptr<QSEffect> effectForDisplayName(const QString &displayName) const;

    // Outdated filters renamed with their inputs; a colour moved into a gradient input becomes a
    // one-colour gradient.
    static QVariantMap verifyEffectSettings(const QVariantMap &settings);
    // From the shared catalog; null, with a warning, for settings without a name.
    static std::unique_ptr<QSEffect> effectForSettings(const QVariantMap &settings);
    std::unique_ptr<QSEffect> effectFor(const QVariantMap &settings) const;

private:
    QHash<QString, QVariantMap> m_catalog;
    QHash<QString, QString> m_displayNames;
    QStringList m_sortedDisplayNames;
};
