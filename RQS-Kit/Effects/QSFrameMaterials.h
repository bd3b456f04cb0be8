#pragma once

#include <QMap>
#include <QString>
#include <QVariantMap>
#include <QStringList>

// What a frame bundle offers the frame editor: its shades, with the group titles that head them
// in a pop-up, and its outer and inner masks, all as identifier names in display order.
class QSFrameMaterials
{
public:
    explicit QSFrameMaterials(const QString &bundlePath);

    // The identifier names of the pictures in the bundle's folder of a resource type ("FRM-E",
    // "FRM-I", "FRM-S", ...), in the order of their display names; empty for a type without one.
    QStringList listForItemsOfType(const QString &type) const;

    static bool isGroupTitle(const QString &name) { return name.endsWith(QLatin1String(" -")); }

    const QStringList &shadeNames() const { return m_shadeNames; }
    // -1 when absent.
    int indexOfShade(const QString &name) const { return int(m_shadeNames.indexOf(name)); }
    // Per shade identifier: "url" (the file), "width" (256 when the name carries no options),
    // "corner", "repeat.x", "repeat.y", and "internal" or "external" (the prefix "FRM-I#003#" of
    // the mask a shade is made for) from an option "I#003" or "E#…" after the fourth.
    const QMap<QString, QVariantMap> &shadeSettings() const { return m_shadeSettings; }
    const QStringList &externalMaskNames() const { return m_externalMasks; }
    const QStringList &internalMaskNames() const { return m_internalMasks; }

private:
    QString m_bundlePath;
    QStringList m_shadeNames, m_externalMasks, m_internalMasks;
    QMap<QString, QVariantMap> m_shadeSettings;
};
