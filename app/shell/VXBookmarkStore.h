#pragma once

#include "app/shell/VXBookmarks.h"

#include <QString>
#include <QUrl>
#include <QVariantMap>

// The files the user gave lasting access to, kept in "Boomarks.plist": a property-list dictionary
// from a file's path to its bookmark. Linux needs nothing but the path to reach a file again, so
// the bookmark is the path as UTF-8. GUI thread.
class VXBookmarkStore : public VXBookmarks
{
public:
    // "Boomarks.plist" in the user's Documents folder.
    static QString defaultFilePath();

    // Reads the file. A missing one is an empty store; one that cannot be read as a dictionary is
    // moved aside under a name of its own and logged, so that no later write loses it.
    explicit VXBookmarkStore(const QString &filePath);

    // Takes every bookmark to the file it names now: one reached by another path is stored again
    // under that path; one whose file is gone stays as it is. The file is written only on a change.
    void activateBookmarks(bool start) override;
    // Stores the URL's bookmark and writes the file; false (logged) when either fails.
    bool saveBookmarkForURL(const QUrl &url);

    QVariantMap bookmarks() const;

private:
    void load();
    void keepDamagedFileAside(const QString &reason);
    bool write();

    QString m_filePath;
    QVariantMap m_bookmarks;
};
