#pragma once

#include "platform/graphics/Shadow.h"

#include <QBrush>
#include <QString>
#include <QVariantMap>

#include <optional>

// Named shadow presets for text and views, read once from a property list of
// name -> {"color", "offset.x", "offset.y", "radius", "textColor"}, every key optional.
class QSShadowCatalog
{
public:
    // An unreadable file leaves the catalog empty, so that every lookup answers none.
    explicit QSShadowCatalog(const QString &path);

    const QVariantMap &shadowsDictionary() const;

    // A new shadow each time, so callers may change it; none for an unknown name.
    std::optional<platform::Shadow> shadowWithName(const QString &name) const;
    // The preset's "textColor" (opaque black when it names none); Qt::NoBrush for an unknown name.
    QBrush textColorForShadowWithName(const QString &name) const;

    // The catalog of the main bundle's "Shadows.plist", made on first use.
    static const QSShadowCatalog &sharedShadowCatalog();
    static std::optional<platform::Shadow> sharedShadowWithName(const QString &name);
    static QBrush sharedTextColorForShadowWithName(const QString &name);

    // None for no description (and, with a warning, for one that is no dictionary); absent numbers count 0. A pattern colour gives
    // a black shadow, since a shadow is drawn in one colour.
    static std::optional<platform::Shadow> shadowWithDescritption(const QVariant &description);

private:
    QVariantMap m_shadowsDictionary;
};
