// Reads and edits a user frame catalog file the way the program does, for tests and by hand.
//   frame-catalog --user FILE [--delay SECONDS] list | add NAME | rename ID NAME | remove ID | save-now
// "list" prints one "ID<TAB>Name" line per frame. A change is saved as the program saves it: after
// the delay (1 s here), atomically; the tool says so, waits for it and exits 0 once written. "add"
// prints the new frame's ID as written: another process saving the same file may have taken the
// one it was given first.
// "save-now" writes the file at once. Exits 1 after an "Error: " line.
#include "BenchSession.h"

#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "platform/foundation/Log.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

struct Options
{
    QString user;
    double delay = 1.0;
    QStringList command;
};

std::optional<Options> readOptions(const QStringList &arguments)
{
    Options options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        bool ok = true;
        if (argument == QLatin1String("--user") && i + 1 < arguments.size())
            options.user = arguments[++i];
        else if (argument == QLatin1String("--delay") && i + 1 < arguments.size())
            options.delay = arguments[++i].toDouble(&ok);
        else
            options.command << argument;
        if (!ok || options.delay < 0) {
            platform::logError(QStringLiteral("--delay wants seconds, 0 or more"));
            return std::nullopt;
        }
    }
    static const QHash<QString, int> argumentCounts{
        {"list", 0}, {"add", 1}, {"rename", 2}, {"remove", 1}, {"save-now", 0}};
    const QString verb = options.command.value(0);
    if (options.user.isEmpty() || !argumentCounts.contains(verb) || options.command.size() != argumentCounts[verb] + 1) {
        platform::logError(QStringLiteral("Usage: frame-catalog --user FILE [--delay SECONDS] list | add NAME | "
                                          "rename ID NAME | remove ID | save-now"));
        return std::nullopt;
    }
    return options;
}

bool change(QSFrameCatalog &catalog, const QStringList &command, std::shared_ptr<QSFrameDescription> &added)
{
    const QString &verb = command[0];
    if (verb == QLatin1String("add")) {
        added = std::make_shared<QSFrameDescription>(
            QVariantMap{{"Name", command[1]}, {"Texture", "Plain Color"}, {"Texture.Color", "1 1 1 1"}},
            QSFrameCatalog::framesBundlePath(), true);
        if (!catalog.addFrame(added).isEmpty())
            return true;
        platform::logError(QStringLiteral("The frame is not added"));
        return false;
    }
    if (verb == QLatin1String("rename")) {
        if (catalog.renameFrameID(command[1], command[2]))
            return true;
        platform::logError(QStringLiteral("No frame %1 to rename, or a frame is named %2 already").arg(command[1], command[2]));
        return false;
    }
    const int index = int(catalog.frameIDs().indexOf(command[1]));
    if (index < 0) {
        platform::logError(QStringLiteral("No frame %1 to remove").arg(command[1]));
        return false;
    }
    catalog.removeFrameAtIndex(index);
    return true;
}

// Runs the event loop until the catalog's own timer has tried to write the file.
bool waitForSave(QSFrameCatalog &catalog, double delay)
{
    platform::logInfo(QStringLiteral("The change is written in %1 s").arg(delay));
    QEventLoop loop;
    QObject::connect(&catalog, &QSFrameCatalog::saveFinished, &loop, [&](bool written) { loop.exit(written ? 0 : 1); });
    if (loop.exec() != 0) {
        platform::logError(QStringLiteral("The change was not written"));
        return false;
    }
    platform::logInfo(QStringLiteral("Written"));
    return true;
}

int run(const Options &options)
{
    QSFrameCatalog catalog(QSFrameCatalog::framesBundlePath(), options.user);
    catalog.setSaveDelay(options.delay);
    const QString &verb = options.command[0];
    if (verb == QLatin1String("list")) {
        for (const QString &frameID : catalog.frameIDs())
            std::printf("%s\t%s\n", qPrintable(frameID), qPrintable(catalog.frameWithName(frameID)->name()));
        return 0;
    }
    if (verb == QLatin1String("save-now"))
        return catalog.saveCatalogInstantly(true) ? 0 : 1;
    std::shared_ptr<QSFrameDescription> added;
    if (!change(catalog, options.command, added))
        return 1;
    const bool written = waitForSave(catalog, options.delay);
    // The ID is known once written: another process may have taken the one it had.
    if (added && written) {
        const QStringList &frameIDs = catalog.frameIDs();
        const auto saved = std::find_if(frameIDs.cbegin(), frameIDs.cend(), [&](const QString &id) { return catalog.frameWithName(id) == added; });
        std::printf("%s\n", saved == frameIDs.cend() ? "" : qPrintable(*saved));
    }
    return written ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    const QStringList arguments = bench::toolArguments(argc, argv);
    bench::Session session;
    int qtArgc = 1;
    QCoreApplication application(qtArgc, argv);
    const std::optional<Options> options = readOptions(arguments);
    return options ? run(*options) : 1;
}
