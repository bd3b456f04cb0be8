#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

// Jobs printed to the Foldwise printer wait in the user's data folder until a Foldwise opens
// them, so that none is lost while no Foldwise runs or none can be started; each job has a
// folder of its own there. A job is removed once its document has opened, or when it has waited
// longer than MaxWait.
class VXKeptPrints
{
public:
    static constexpr std::chrono::hours MaxWait{24 * 14};
    // A job's folder holds no print while the backend copies the job into it; one where nothing
    // changed for this long was left by a backend that was killed, and is removed.
    static constexpr std::chrono::hours MaxCopyPause{1};

    // "Foldwise/Printed" in the user's data folder ($XDG_DATA_HOME, else ~/.local/share).
    static QString folder();
    static bool contains(const QString &path);
    // The jobs waiting, oldest first. Jobs that waited too long are removed first (logged), and
    // so are those set aside that long ago, and the folders of jobs that were never kept whole.
    static QStringList waiting();
    // "Not opened" in the folder: prints set aside, which no longer wait.
    static QString setAsideFolder();
    // Moves the print's job folder into setAsideFolder(), so that a print that could not be
    // opened does not come back at every start; the print's new path, or empty (logged) when it
    // cannot be moved.
    static QString setAside(const QString &path);
    // Removes the job's folder; false (logged) when it cannot.
    static bool remove(const QString &path);
};
