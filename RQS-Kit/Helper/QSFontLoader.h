#pragma once

#include "platform/foundation/Bundle.h"

#include <QString>
#include <QStringList>

// Registers the fonts that the application carries for the running process only.
class QSFontLoader
{
public:
    // The "ttf" files of the main bundle's "Fonts.bundle" folder, once per process.
    static void loadFontsBundle();
    // Each entry is a resource of the bundle, a path inside its folder, or a file path. Empty when
    // every font was registered; else one line "<problem>: <entry>" per entry that failed, the
    // others being registered all the same.
    static QString loadLocalFonts(const QStringList &fonts, const platform::Bundle &bundle);

    QSFontLoader() = delete;
};
