#include "support/HostileFiles.h"

#include "platform/foundation/Log.h"

#include <QDir>
#include <QFile>

HostileFiles::HostileFiles(const QString &extension)
{
    const auto named = [&](const QString &kind) { return m_folder.filePath(kind + '.' + extension); };
    m_pipes = std::make_unique<PipeWatch>(QStringList{named("pipe")});
    QDir().mkdir(named("folder"));
    QFile::link(named("pipe"), named("link"));
    m_files = {
        {"a pipe", named("pipe"), "it is a pipe, no regular file"},
        {"the endless device", "/dev/zero", "it is a device, no regular file"},
        {"the empty device", "/dev/null", "it is a device, no regular file"},
        {"a folder", named("folder"), "it is a folder, no regular file"},
        {"a link to the pipe", named("link"), "it is a pipe, no regular file"},
    };
}

const QList<HostileFiles::File> &HostileFiles::files() const { return m_files; }

QString HostileFiles::folder() const { return m_folder.path(); }

QStringList HostileFiles::pipesOpened() const { return m_pipes->opened(); }

QString HostileFiles::loggedAfter(const platform::LogCapture &log, const QString &prefix)
{
    for (const QString &line : log.lines()) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return QStringLiteral("(nothing logged)");
}
