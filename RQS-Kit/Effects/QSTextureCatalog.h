#pragma once

#include "RQS-Kit/Effects/QSTextureDescription.h"

#include <QHash>
#include <QStringList>

#include <memory>

// The texture files ("TYPE#000#Name#options.jpg") of the kit's graphics bundle, found by full
// identifier, by type and index, or by bare name. Options, read from the end: "$" base scale,
// "#" hue-saturation-value[-scale], a section digit, a flag letter "S" (scaled) or "R" (repeating).
class QSTextureCatalog
{
public:
    QSTextureCatalog() = default;
    // The "jpg" files of the type's folder in the graphics bundle.
    explicit QSTextureCatalog(const QString &type);

    // The catalog of the graphics bundle in use; made again when the bundle is pointed elsewhere.
    static std::shared_ptr<const QSTextureCatalog> shared();
    // "Plain Color", "-", then the identifiers and group titles in their display order.
    static QStringList sharedTextureNames();
    static QString plainColorName();

    static QSTextureDescription descriptionForPath(const QString &path);
    void addTextureWithFileName(const QString &path);
    // Turns the name into the identifier it was found under, or empties it.
    const QSTextureDescription *textureForName(QString &name) const;
    const QStringList &textureIDNames() const { return m_idNames; }

private:
    QHash<QString, QSTextureDescription> m_details;
    QHash<QString, QString> m_ids, m_names;
    QStringList m_idNames;
};
