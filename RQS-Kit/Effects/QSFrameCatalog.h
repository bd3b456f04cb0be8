#pragma once

#include "RQS-Kit/Effects/QSFrameDescription.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <memory>

// Picture frames by frame ID. The system catalog is read from "Frames.bundle" of the kit's
// graphics bundle; the user catalog from a property-list file, saved after a delay, atomically,
// and without losing what it could not read: a damaged file is moved aside, entries it does not
// understand are written back, and a failed save stays pending. Other processes may save the same
// file: a save takes the lock file beside it and keeps what they wrote since this catalog read it.
class QSFrameCatalog : public QObject
{
    Q_OBJECT

public:
    // An empty info file makes the read-only catalog of the bundle's own description.
    QSFrameCatalog(const QString &bundlePath, const QString &infoFilePath);
    ~QSFrameCatalog() override;

    static QString framesBundlePath();
    // UserFrames.plist in the application-data folder, which is created when missing.
    static QString userFramesPath();
    static QSFrameCatalog &sharedFrameCatalog();
    static QSFrameCatalog &sharedUserFrameCatalog();
    // Made also without the bundle, so that a frame can always be drawn.
    static std::shared_ptr<QSFrameDescription> plainFrame();
    // The user catalog's, else the system catalog's, else the plain frame.
    static std::shared_ptr<QSFrameDescription> frameWithNameInCatalogs(const QString &name);
    // What users are offered: "Plain Frame", then, after "-" each, the user catalog's IDs (when it
    // has any) and the system catalog's.
    static QStringList frameNamesInCatalogs();

    bool editable() const { return !m_infoFilePath.isEmpty(); }
    // The frame bundle's, where the frames' pictures are looked up.
    QUrl URL() const { return QUrl::fromLocalFile(m_bundlePath); }
    // In display order, with the group titles "Leather -", "Metal -", "Paper -" and "Wood -" for
    // the bundle's own catalog and for a catalog file inside the application's bundle.
    const QStringList &frameIDs() const { return m_frameIDs; }
    // The frames' display names, in no order.
    QStringList frameNames() const { return m_idForName.keys(); }
    // By ID, else by display name; null when neither.
    std::shared_ptr<QSFrameDescription> frameWithName(const QString &name) const;
    QString frameIDForName(const QString &name) const { return m_idForName.value(name); }

    // A frame name is one line of text that the catalog file can hold; false, with a "Warning: "
    // line, for any other.
    static bool isFitName(const QString &name);
    // "FRM-U#nnn#" from the "CurrentFrameIndex" counter, passing over IDs the catalog holds. A
    // stored counter outside 0 to MaximumFrameIndex counts again from 0, with a warning; after
    // MaximumFrameIndex comes 1.
    static constexpr qint64 MaximumFrameIndex = 999999999;
    QString nextFrameID() const;
    // Empty, adding nothing, for a frame whose name is not fit.
    QString addFrame(std::shared_ptr<QSFrameDescription> frame);
    void addFrame(std::shared_ptr<QSFrameDescription> frame, const QString &frameID);
    // False, changing nothing, on a read-only catalog, an unknown frame, a name in use or a name
    // that is not fit.
    bool renameFrameID(const QString &idOrName, const QString &newName);
    void removeFrameAtIndex(int index);
    // The frame of that ID; nothing when the ID is not listed (the undo of an addition).
    void removeFrameName(const QString &frameID);

    // Where additions, renames and removals are recorded, and which added frames get; none: not
    // undoable.
    platform::UndoManager *undoManager() const { return m_undoManager; }
    void setUndoManager(platform::UndoManager *undoManager) { m_undoManager = undoManager; }

    // Seconds from the first unsaved change to the save; 30 by default.
    void setSaveDelay(double seconds) { m_saveTimer.setInterval(int(seconds * 1000)); }
    bool isSavePending() const { return m_savePending; }
    // Now, or deferred unless a save is already scheduled. False when writing failed.
    bool saveCatalogInstantly(bool now);

signals:
    // After every attempt to write the file, the deferred ones included.
    void saveFinished(bool written);

private:
    void read(const QString &path);
    void moveAside(const QString &path, const QString &reason);
    void takeEntry(const QString &frameID, const QVariant &entry);
    void insertFrame(const QString &frameID, std::shared_ptr<QSFrameDescription> frame);
    std::shared_ptr<QSFrameDescription> dropFrame(const QString &frameID);
    QString moveFrame(const QString &frameID, const QVariantMap &taken);
    void sortFrameNames();
    QVariantMap contents() const;
    QVariantMap mergedWithFile();
    QVariantMap writableEntries(const QVariantMap &entries) const;
    bool writeFile(QString *error);
    bool save();

    QString m_bundlePath, m_infoFilePath;
    QMap<QString, std::shared_ptr<QSFrameDescription>> m_frames;
    QVariantMap m_unknownEntries;
    // The entries as this catalog last read or wrote the file, as it writes them: whatever differs
    // from them now is this process's change.
    QVariantMap m_synced;
    QHash<QString, QString> m_idForName;
    QStringList m_frameIDs;
    QTimer m_saveTimer;
    QPointer<platform::UndoManager> m_undoManager;
    bool m_savePending = false;
    // The user has been told that saving fails; told again after a save that worked.
    bool m_toldSaveFailure = false;
};
