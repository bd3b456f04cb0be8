#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace platform {
class Window;
}

// The files one request could not open, told to the user in one alert once the request is done.
// A request may name thousands of files, or a path of a megabyte: the alert names a few, each cut
// in the middle to a short length, and counts the rest, so that it stays smaller than the screen.
// GUI thread.
class VXOpenFailures
{
public:
    // Files named at most in the alert for one reason, and reasons at most.
    static constexpr int MaxNamesPerReason = 4;
    static constexpr int MaxReasons = 3;
    // Characters of a file's name at most.
    static constexpr qsizetype MaxNameLength = 60;

    // A file already held keeps its first reason.
    void add(const QString &path, const QString &reason);
    // A sentence more for the reason of the file; nothing for a file not held.
    void explain(const QString &path, const QString &sentence);
    bool isEmpty() const { return m_failures.isEmpty(); }
    bool contains(const QString &path) const;
    // The files' names, whole, for the log.
    QStringList names() const;
    // The title and the text of the alert that tell() shows without a title of its own: a title
    // naming the one file and its reason, or a title counting the files and their names by reason.
    QString title() const;
    QString text() const;
    // One alert of the failure, a sheet on the window or application-modal without one; nothing
    // when none failed. A title given says what was not done with the files, named under it by
    // reason.
    void tell(const QString &title = {}, platform::Window *window = nullptr) const;

private:
    QString namedText() const;

    struct Failure
    {
        QString path;
        QString reason;
    };

    QList<Failure> m_failures;
};
