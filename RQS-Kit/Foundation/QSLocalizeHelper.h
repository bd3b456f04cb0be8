#pragma once

#include <QString>

// Process-wide override texts in front of the kit's localisation. Main thread only.
class QSLocalizeHelper
{
public:
    // An empty text removes the key's override; an empty key is ignored.
    static void setLocalizedString(const QString &text, const QString &key);
    // The key's override (else the key) looked up in the main strings table, so that an override
    // may itself be a key there.
    static QString localizedString(const QString &key);

    QSLocalizeHelper() = delete;
};
