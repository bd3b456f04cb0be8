#pragma once

#include <QString>

#include <functional>

#include <sys/types.h>

class QDir;
class QIODevice;

// A job printed to the Foldwise printer, on its way into the printing user's Foldwise. The
// backend runs as that user: the PDF waits among the kept prints (VXKeptPrints) under the job's
// title until a Foldwise opens it: the running one, one started in the user's graphical session,
// or the next one the user starts.
class VXServiceJob
{
public:
    enum class Outcome {
        HandedOver, // the running Foldwise took it
        Started,    // a Foldwise was started in the user's session to open it
        Kept,       // it waits for the next Foldwise the user starts
    };

    // runtimeFolder: the user's session folder, where a running Foldwise listens. The title is
    // kept trimmed, with its control characters replaced (withControlsReplaced).
    VXServiceJob(const QString &runtimeFolder, const QString &title);

    // The job starts as a PDF does; an empty one or any other can never be opened.
    static bool isPdf(QIODevice &input);
    // Copies the job into a folder of its own among the kept prints, named after its title as far
    // as a file name takes it, else "Print job.pdf"; the file's path, or empty (logged) when it
    // cannot be kept now. whole, asked once the input has ended, says whether what came is the
    // whole job; a job stopped on its way leaves nothing.
    QString keep(QIODevice &input, const std::function<bool()> &whole) const;
    QString title() const;
    Outcome handOver(const QString &path, const QString &foldwisePath, uid_t uid) const;
    // The name a job of that title is kept under: the title with its control characters replaced,
    // cut between two characters to at most 120 of them and what a file name takes, ending in ".pdf".
    static QString keptName(const QString &title);
    // The text with each control character, and each line or paragraph separator, replaced by
    // U+FFFD. What the backend writes goes to CUPS, which takes every line for a message of its
    // own: a job's title or user name must not end one line and begin another ("ATTR: ...").
    static QString withControlsReplaced(QString text);

private:
    // Gives the copied job its name in the folder; empty with the reason when it can have none.
    QString named(const QDir &folder, QString *reason) const;
    bool start(const QString &path, const QString &foldwisePath, uid_t uid) const;

    QString m_runtimeFolder;
    QString m_title;
};
