#include "RQS-Kit/Helper/QSFontLoader.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"

#include <QFileInfo>
#include <QFontDatabase>

namespace {

QString fontFile(const QString &entry, const platform::Bundle &bundle)
{
    const QFileInfo info(entry);
    const QString resource = bundle.pathForResource(info.completeBaseName(), info.suffix());
    if (!resource.isEmpty())
        return resource;
    for (const QString &candidate : {bundle.bundlePath() + QLatin1Char('/') + entry, entry}) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

} // namespace

void QSFontLoader::loadFontsBundle()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    const platform::BundlePtr fonts =
        platform::Bundle::bundleWithPath(platform::Bundle::mainBundle()->bundlePath() + QStringLiteral("/Fonts.bundle"));
    if (!fonts)
        return;
    const QString problems = loadLocalFonts(fonts->pathsForResourcesOfType(QStringLiteral("ttf")), *fonts);
    if (!problems.isEmpty())
        platform::logWarning(QStringLiteral("Problems during loading Fonts!\n%1").arg(problems));
}

QString QSFontLoader::loadLocalFonts(const QStringList &fonts, const platform::Bundle &bundle)
{
    QString problems;
    for (const QString &entry : fonts) {
        const QString path = fontFile(entry, bundle);
        if (path.isEmpty()) {
            problems += QStringLiteral("%1: %2\n").arg(rqs::localized(QStringLiteral("File missing")), entry);
            continue;
        }
        if (QFontDatabase::addApplicationFont(path) < 0) {
            platform::logError(QStringLiteral("Could not register the fonts of %1").arg(path));
            problems += QStringLiteral("%1: %2\n").arg(rqs::localized(QStringLiteral("File loading problem")), entry);
        }
    }
    return problems;
}
