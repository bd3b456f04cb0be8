#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// The files of one choice that were not taken, each with the reason the user is told when opening
// such a file: what the alert naming them says, the files of one reason together.
class VXRefusedFiles
{
public:
    void add(const QString &path, const QString &reason);
    bool isEmpty() const;
    // The files' names, for the log.
    QStringList names() const;
    // For each reason: the names of its files in quotes, then the reason on a line of its own.
    QString text() const;

private:
    QList<std::pair<QString, QStringList>> m_namesByReason;
};
