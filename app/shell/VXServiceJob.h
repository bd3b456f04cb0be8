#pragma once

#include <QString>

class QIODevice;

// A job printed to the PDF Service queue, on its way into the printing user's Foldwise. The
// backend runs as that user: the PDF is kept in the user's runtime folder under the job's title,
// then opened as a document by their running Foldwise, or by one started for it.
class VXServiceJob
{
public:
    VXServiceJob(const QString &runtimeFolder, const QString &title);

    // Copies the job into a folder of its own; the file's path, or empty (logged) when the job is
    // no PDF or cannot be kept.
    QString keep(QIODevice &input) const;
    // False (logged) when no Foldwise took the file and foldwisePath could not be started.
    bool handOver(const QString &path, const QString &foldwisePath) const;

private:
    QString fileName() const;
    bool start(const QString &path, const QString &foldwisePath) const;

    QString m_runtimeFolder;
    QString m_title;
};
