#pragma once

#include <QString>
#include <QStringList>

// Handing the user over to another Foldwise: whether one runs from a folder, and starting one once
// this process has ended (the single-instance socket is gone by then, so the new process does not
// hand its files back to this one).
class QSProcessHandoff
{
public:
    // True when a process of this user runs an executable inside folder.
    static bool isRunningFrom(const QString &folder);
    // A waiting child starts executable with arguments when this process has ended; false (with
    // *error) when the child could not be made.
    static bool startAfterThisProcess(const QString &executable, const QStringList &arguments, QString *error = nullptr);

    QSProcessHandoff() = delete;
};
