#pragma once

#include "support/PipeWatch.h"

#include <QList>
#include <QStringList>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace platform {
class LogCapture;
}

// What a reader of a named file is handed in place of a regular file: a pipe (watched, see
// PipeWatch), the endless device /dev/zero, the empty device /dev/null, a folder and a link to
// the pipe. Those made here are named "<kind>.<extension>", so that they pass for the kind of
// file the reader expects.
class HostileFiles
{
public:
    explicit HostileFiles(const QString &extension);

    struct File
    {
        QString what;
        QString path;
        // The end of the refusal's reason.
        QString reason;
    };
    const QList<File> &files() const;
    // The folder that holds those made here.
    QString folder() const;
    // The pipes a reader opened; none, when every reader refused them unopened.
    QStringList pipesOpened() const;

    // A reader of a named file, with the reason it gave for refusing the file (empty when it read it).
    struct Reader
    {
        const char *name;
        std::function<QString(const QString &path)> refusal;
    };
    // The rest of the first line logged that begins with the prefix.
    static QString loggedAfter(const platform::LogCapture &log, const QString &prefix);

private:
    QTemporaryDir m_folder;
    std::unique_ptr<PipeWatch> m_pipes;
    QList<File> m_files;
};
