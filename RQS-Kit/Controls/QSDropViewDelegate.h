#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QSDropView;

// What a drop view hands on of the files dropped on it. A delegate overrides what it takes;
// nullopt stands for a message it does not take.
class QSDropViewDelegate
{
public:
    virtual ~QSDropViewDelegate() = default;

    // Every dropped path, whatever its type. Taken, it is the only message of a drop, and its
    // answer is the drop's.
    virtual std::optional<bool> dropViewDroppedFiles(QSDropView *, const QStringList &) { return std::nullopt; }
    // Otherwise each path of a supported type in turn; the drop succeeds when one was taken.
    virtual std::optional<bool> dropViewDroppedFile(QSDropView *, const QString &) { return std::nullopt; }
    virtual void dropViewFinishedDropping(QSDropView *) {}
};
