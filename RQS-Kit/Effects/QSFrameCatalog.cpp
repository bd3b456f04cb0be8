#include "RQS-Kit/Effects/QSFrameCatalog.h"

#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Foundation/QSLocalizeHelper.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Foundation/WindowExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/CodePoint.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/SystemReason.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/UndoManager.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <vector>

namespace {

const QString PlainFrameName = QStringLiteral("Plain Frame");
// How long a save waits for another process's save of the same file.
constexpr int LockWait = 10000;

// Compared as the file system has them, so that a link to the bundle, or "..", lies inside too.
bool liesInApplicationBundle(const QString &path)
{
    const QString bundle = QDir(platform::Bundle::mainBundle()->bundlePath()).canonicalPath();
    QString folder = QFileInfo(path).absolutePath();
    if (const QString canonical = QDir(folder).canonicalPath(); !canonical.isEmpty())
        folder = canonical;
    return !bundle.isEmpty() && (folder == bundle || folder.startsWith(bundle + QLatin1Char('/')));
}

void post(const QString &name, QObject *sender, const QVariantMap &info = {})
{
    platform::NotificationCenter::defaultCenter()->post(name, sender, info);
}

// Records the inverse of a catalog change, named after the operation it runs (localized).
void recordUndo(platform::UndoManager *manager, QObject *target, const QString &operation, std::function<void()> inverse)
{
    if (manager && manager->registerUndo(target, std::move(inverse)))
        manager->setActionName(rqs::localized(operation));
}

} // namespace

QSFrameCatalog::QSFrameCatalog(const QString &bundlePath, const QString &infoFilePath)
    : m_bundlePath(bundlePath), m_infoFilePath(infoFilePath)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(30000);
    connect(&m_saveTimer, &QTimer::timeout, this, [this] { save(); });
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
            if (m_savePending)
                save();
        });
    QString path = infoFilePath;
    if (path.isEmpty()) {
        path = bundlePath + QStringLiteral("/Description.plist");
        if (!QFileInfo(path).isFile())
            path = bundlePath + QStringLiteral("/Info.plist");
    }
    read(path);
    if (editable())
        m_synced = contents();
    if (!editable() || liesInApplicationBundle(path))
        m_frameIDs << "Leather -" << "Metal -" << "Paper -" << "Wood -";
    sortFrameNames();
}

QSFrameCatalog::~QSFrameCatalog()
{
    if (m_savePending)
        save();
}

void QSFrameCatalog::read(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return;
    if (!file.isFile()) {
        platform::logError(QStringLiteral("Frame catalog '%1' is not a file").arg(path));
        return;
    }
    QString error;
    const QVariant contents = platform::PropertyList::read(path, &error);
    if (contents.typeId() != QMetaType::QVariantMap) {
        moveAside(path, contents.isValid() ? QStringLiteral("it holds no dictionary") : error);
        return;
    }
    const QVariantMap frames = contents.toMap();
    for (auto it = frames.cbegin(); it != frames.cend(); ++it)
        takeEntry(it.key(), it.value());
}

// An entry of the file: a frame, or kept as it is to be written back.
void QSFrameCatalog::takeEntry(const QString &frameID, const QVariant &entry)
{
    if (entry.typeId() != QMetaType::QVariantMap) {
        m_unknownEntries.insert(frameID, entry);
        return;
    }
    auto frame = std::make_shared<QSFrameDescription>(entry.toMap(), m_bundlePath, editable());
    QString name = frame->name();
    if (name.isEmpty())
        name = rqs::localized(frameID);
    else if (editable())
        name = rqs::localized(name);
    frame->setName(name);
    insertFrame(frameID, frame);
}

void QSFrameCatalog::moveAside(const QString &path, const QString &reason)
{
    if (!editable()) {
        platform::logError(QStringLiteral("Could not read frame catalog '%1' (%2)").arg(path, reason));
        return;
    }
    // Kept next to the file: the next save would otherwise replace the user's frames.
    QString aside = path + QStringLiteral(".bak");
    if (QFileInfo::exists(aside))
        aside = path + QStringLiteral("-%1.bak").arg(QDateTime::currentMSecsSinceEpoch());
    if (QFile::rename(path, aside))
        platform::logError(QStringLiteral("Could not read frame catalog '%1' (%2); moved it to '%3'").arg(path, reason, aside));
    else
        platform::logError(QStringLiteral("Could not read frame catalog '%1' (%2) nor move it aside; it is left as it is")
                               .arg(path, reason));
}

void QSFrameCatalog::insertFrame(const QString &frameID, std::shared_ptr<QSFrameDescription> frame)
{
    QSLocalizeHelper::setLocalizedString(frame->name(), frameID);
    m_idForName.insert(frame->name(), frameID);
    platform::NotificationCenter::defaultCenter()->addObserver(
        this, QStringLiteral("FrameChanged"), frame.get(), [this](const platform::Notification &) {
            saveCatalogInstantly(false);
        });
    m_frames.insert(frameID, std::move(frame));
    m_frameIDs.append(frameID);
}

std::shared_ptr<QSFrameDescription> QSFrameCatalog::dropFrame(const QString &frameID)
{
    m_frameIDs.removeOne(frameID);
    const auto frame = m_frames.take(frameID);
    if (frame) {
        platform::NotificationCenter::defaultCenter()->removeObserver(this, QStringLiteral("FrameChanged"), frame.get());
        m_idForName.remove(frame->name());
    }
    return frame;
}

// A frame added here under an ID that another process gave a frame of its own meanwhile: the
// next ID that neither took.
QString QSFrameCatalog::moveFrame(const QString &frameID, const QVariantMap &taken)
{
    QString moved;
    do {
        moved = nextFrameID();
    } while (taken.contains(moved));
    const auto frame = m_frames.take(frameID);
    m_frames.insert(moved, frame);
    m_frameIDs.replace(m_frameIDs.indexOf(frameID), moved);
    m_idForName.insert(frame->name(), moved);
    QSLocalizeHelper::setLocalizedString(frame->name(), moved);
    platform::logInfo(QStringLiteral("Frame '%1' is saved as %2, because another program saved a frame as %3")
                          .arg(frame->name(), moved, frameID));
    return moved;
}

void QSFrameCatalog::sortFrameNames()
{
    // Each entry's text is looked up once, not once per comparison: a lookup reads the bundle.
    std::vector<std::pair<QString, QString>> byText;
    byText.reserve(size_t(m_frameIDs.size()));
    for (const QString &frameID : std::as_const(m_frameIDs))
        byText.emplace_back(QSLocalizeHelper::localizedString(frameID), frameID);
    std::stable_sort(byText.begin(), byText.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    m_frameIDs.clear();
    for (auto &[text, frameID] : byText)
        m_frameIDs.append(std::move(frameID));
}

QString QSFrameCatalog::framesBundlePath()
{
    return rqs::graphicsBundle()->bundlePath() + QStringLiteral("/Frames.bundle");
}

QString QSFrameCatalog::userFramesPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!QDir().mkpath(folder))
        platform::logError(QStringLiteral("Could not make the folder '%1' for the user's frames").arg(folder));
    return folder + QStringLiteral("/UserFrames.plist");
}

QSFrameCatalog &QSFrameCatalog::sharedFrameCatalog()
{
    static QSFrameCatalog catalog(framesBundlePath(), {});
    return catalog;
}

QSFrameCatalog &QSFrameCatalog::sharedUserFrameCatalog()
{
    static QSFrameCatalog catalog(framesBundlePath(), userFramesPath());
    return catalog;
}

std::shared_ptr<QSFrameDescription> QSFrameCatalog::plainFrame()
{
    static const std::shared_ptr<QSFrameDescription> frame = [] {
        if (!QFileInfo(framesBundlePath()).isDir())
            platform::logWarning(QStringLiteral("Frames.bundle is missing!"));
        return std::make_shared<QSFrameDescription>(
            QVariantMap{{"Texture", "Plain Color"}, {"Texture.Color", "1.0 1.0 1.0 1.0"}}, framesBundlePath(), false);
    }();
    return frame;
}

std::shared_ptr<QSFrameDescription> QSFrameCatalog::frameWithNameInCatalogs(const QString &name)
{
    if (auto frame = sharedUserFrameCatalog().frameWithName(name))
        return frame;
    if (auto frame = sharedFrameCatalog().frameWithName(name))
        return frame;
    return plainFrame();
}

QStringList QSFrameCatalog::frameNamesInCatalogs()
{
    QStringList names{PlainFrameName};
    if (!sharedUserFrameCatalog().frameIDs().isEmpty())
        names << QStringLiteral("-") << sharedUserFrameCatalog().frameIDs();
    names << QStringLiteral("-") << sharedFrameCatalog().frameIDs();
    return names;
}

std::shared_ptr<QSFrameDescription> QSFrameCatalog::frameWithName(const QString &name) const
{
    if (auto frame = m_frames.value(name))
        return frame;
    return m_frames.value(m_idForName.value(name));
}

QString QSFrameCatalog::nextFrameID() const
{
    auto *defaults = platform::UserDefaults::standardUserDefaults();
    const QString key = QStringLiteral("CurrentFrameIndex");
    qint64 counter = defaults->integerForKey(key);
    const QVariant stored = defaults->objectForKey(key);
    if (counter < 0 || counter > MaximumFrameIndex || (stored.isValid() && stored.toDouble() != double(counter))) {
        platform::logWarning(QStringLiteral("The stored \"%1\" %2 is no frame number: counting again from 0")
                                 .arg(key, stored.toString()));
        counter = 0;
    }
    QString frameID;
    // The counter may have been reset while the user's frames stayed: never reuse one of their IDs.
    do {
        counter = counter < MaximumFrameIndex ? counter + 1 : 1;
        frameID = QStringLiteral("FRM-U#%1#").arg(counter, 3, 10, QLatin1Char('0'));
    } while (m_frames.contains(frameID) || m_unknownEntries.contains(frameID));
    defaults->setInteger(counter, key);
    return frameID;
}

bool QSFrameCatalog::isFitName(const QString &name)
{
    const auto isControl = [](QChar c) { return c.category() == QChar::Other_Control; };
    const auto control = std::find_if(name.cbegin(), name.cend(), isControl);
    QString reason;
    if (control != name.cend())
        reason = QStringLiteral("it holds the control character %1").arg(platform::codePointNotation(control->unicode()));
    else if (platform::PropertyList::canHold(name, &reason))
        return true;
    QString shown = platform::PropertyList::withHoldableTexts(name).toString();
    std::replace_if(shown.begin(), shown.end(), isControl, QChar(QChar::ReplacementCharacter));
    platform::logWarning(QStringLiteral("The frame cannot be named '%1': %2").arg(shown, reason));
    return false;
}

QString QSFrameCatalog::addFrame(std::shared_ptr<QSFrameDescription> frame)
{
    if (!frame || !isFitName(frame->name()))
        return {};
    const QString frameID = nextFrameID();
    addFrame(std::move(frame), frameID);
    return frameID;
}

void QSFrameCatalog::addFrame(std::shared_ptr<QSFrameDescription> frame, const QString &frameID)
{
    if (!frame || frameID.isEmpty() || m_frames.contains(frameID) || !isFitName(frame->name()))
        return;
    recordUndo(m_undoManager, this, QStringLiteral("removeFrameName:"), [this, frameID] { removeFrameName(frameID); });
    if (m_undoManager && frame->isEditable())
        frame->setUndoManager(m_undoManager);
    frame->setPostsChanges(true);
    insertFrame(frameID, std::move(frame));
    sortFrameNames();
    post(QStringLiteral("QSFrameCatalogChanged"), this);
    post(QStringLiteral("QSFrameAdded"), this);
    saveCatalogInstantly(false);
}

bool QSFrameCatalog::renameFrameID(const QString &idOrName, const QString &newName)
{
    QString frameID = m_frames.contains(idOrName) ? idOrName : m_idForName.value(idOrName);
    const auto frame = m_frames.value(frameID);
    if (!editable() || !frame || newName.isEmpty() || m_idForName.contains(newName) || !isFitName(newName))
        return false;
    recordUndo(m_undoManager, this, QStringLiteral("undoRenameWithDescription:"),
               [this, frameID, oldName = frame->name()] { renameFrameID(frameID, oldName); });
    m_idForName.remove(frame->name());
    QSLocalizeHelper::setLocalizedString(newName, frameID);
    m_idForName.insert(newName, frameID);
    frame->setName(newName);
    sortFrameNames();
    post(QStringLiteral("QSFrameCatalogChanged"), this);
    post(QStringLiteral("QSFrameNameChanged"), this, {{"Name", newName}, {"ID", frameID}});
    saveCatalogInstantly(false);
    return true;
}

void QSFrameCatalog::removeFrameAtIndex(int index)
{
    if (index < 0 || index >= m_frameIDs.size())
        return;
    const QString frameID = m_frameIDs.at(index);
    if (const auto frame = dropFrame(frameID))
        recordUndo(m_undoManager, this, QStringLiteral("undoRemoveFrame:"), [this, frame, frameID] { addFrame(frame, frameID); });
    post(QStringLiteral("QSFrameCatalogChanged"), this);
    post(QStringLiteral("QSFrameRemoved"), this);
    saveCatalogInstantly(false);
}

void QSFrameCatalog::removeFrameName(const QString &frameID)
{
    if (const qsizetype index = m_frameIDs.indexOf(frameID); index >= 0)
        removeFrameAtIndex(int(index));
}

bool QSFrameCatalog::saveCatalogInstantly(bool now)
{
    if (!editable())
        return true;
    m_savePending = true;
    if (now)
        return save();
    if (!m_saveTimer.isActive())
        m_saveTimer.start();
    return true;
}

QVariantMap QSFrameCatalog::contents() const
{
    QVariantMap contents = m_unknownEntries;
    for (auto it = m_frames.cbegin(); it != m_frames.cend(); ++it)
        contents.insert(it.key(), it.value()->saveDictionary());
    return contents;
}

// What the file holds now with this process's changes since it last read or wrote it. Frames that
// another process added or removed meanwhile, among those this one left alone, are taken in.
QVariantMap QSFrameCatalog::mergedWithFile()
{
    QVariantMap file = m_synced;
    if (QFileInfo(m_infoFilePath).isFile()) {
        QString error;
        const QVariant read = platform::PropertyList::read(m_infoFilePath, &error);
        if (read.typeId() == QMetaType::QVariantMap)
            file = read.toMap();
        else
            moveAside(m_infoFilePath, read.isValid() ? QStringLiteral("it holds no dictionary") : error);
    }
    const QVariantMap own = contents();
    QSet<QString> changed;
    for (const QVariantMap *entries : std::initializer_list<const QVariantMap *>{&own, &m_synced}) {
        for (auto it = entries->cbegin(); it != entries->cend(); ++it) {
            if (own.value(it.key()) != m_synced.value(it.key()))
                changed.insert(it.key());
        }
    }
    QVariantMap merged = file;
    bool catalogChanged = false;
    for (const QString &frameID : std::as_const(changed)) {
        if (!own.contains(frameID)) {
            merged.remove(frameID);
            continue;
        }
        const bool clash = !m_synced.contains(frameID) && file.contains(frameID);
        merged.insert(clash ? moveFrame(frameID, file) : frameID, own.value(frameID));
        catalogChanged |= clash;
    }
    for (auto it = file.cbegin(); it != file.cend(); ++it) {
        const QString &frameID = it.key();
        if (m_frames.contains(frameID) || m_unknownEntries.contains(frameID) || (changed.contains(frameID) && !own.contains(frameID)))
            continue;
        takeEntry(frameID, it.value());
        m_synced.insert(frameID, m_frames.contains(frameID) ? QVariant(m_frames[frameID]->saveDictionary()) : it.value());
        catalogChanged = true;
    }
    for (auto it = own.cbegin(); it != own.cend(); ++it) {
        if (changed.contains(it.key()) || file.contains(it.key()))
            continue;
        if (!dropFrame(it.key()))
            m_unknownEntries.remove(it.key());
        m_synced.remove(it.key());
        catalogChanged = true;
    }
    if (catalogChanged) {
        sortFrameNames();
        post(QStringLiteral("QSFrameCatalogChanged"), this);
    }
    return merged;
}

// One entry the file cannot hold as it is (a text read from a binary file may hold any character)
// is written with U+FFFD in place of those characters, so that it never keeps the others from
// being saved. An ID that then reads as another entry's is given a free one: nothing overwritten.
QVariantMap QSFrameCatalog::writableEntries(const QVariantMap &entries) const
{
    QVariantMap writable;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        QString reason;
        if (!platform::PropertyList::canHold(it.key(), &reason)
            || platform::PropertyList::toXml(it.value(), &reason).isEmpty()) {
            const QString holdable = platform::PropertyList::withHoldableTexts(it.key()).toString();
            QString frameID = holdable;
            if (holdable != it.key() && (writable.contains(holdable) || entries.contains(holdable))) {
                do {
                    frameID = nextFrameID();
                } while (writable.contains(frameID) || entries.contains(frameID));
            }
            platform::logWarning(QStringLiteral("The frame %1 holds a text an XML property list cannot hold (%2); it is saved "
                                                "with U+FFFD in place of each such character%3")
                                     .arg(holdable, reason,
                                          frameID == holdable ? QString()
                                                              : QStringLiteral(", as %1, because another frame is saved as %2")
                                                                    .arg(frameID, holdable)));
            writable.insert(frameID, platform::PropertyList::withHoldableTexts(it.value()));
        } else {
            writable.insert(it.key(), it.value());
        }
    }
    return writable;
}

bool QSFrameCatalog::writeFile(QString *error)
{
    // Another Foldwise, or the frame-catalog tool, may save the same file: one at a time.
    QLockFile lock(m_infoFilePath + QStringLiteral(".lock"));
    errno = 0;
    if (!lock.tryLock(LockWait)) {
        *error = lock.error() == QLockFile::LockFailedError
            ? QStringLiteral("another program kept the lock file '%1.lock' for %2 s").arg(m_infoFilePath).arg(LockWait / 1000)
            : QStringLiteral("the lock file '%1.lock' cannot be made: %2")
                  .arg(m_infoFilePath, errno ? platform::systemReason(errno) : QStringLiteral("the system gave no reason"));
        return false;
    }
    if (!platform::PropertyList::write(writableEntries(mergedWithFile()), m_infoFilePath, error))
        return false;
    m_synced = contents();
    return true;
}

bool QSFrameCatalog::save()
{
    m_saveTimer.stop();
    QString error;
    if (!writeFile(&error)) {
        // Still pending: tried again after the delay, on the next change and at quit.
        platform::logError(QStringLiteral("Could not save the user's frames to '%1': %2").arg(m_infoFilePath, error));
        m_saveTimer.start();
        // Only a running application with windows can show the alert: a tool, or a catalog that
        // outlives the application, has told it in the log.
        if (!m_toldSaveFailure && qobject_cast<QApplication *>(QCoreApplication::instance())) {
            m_toldSaveFailure = true;
            platform::Alert alert;
            alert.setMessageText(rqs::localized(QStringLiteral("FramesNotSavedTitle")));
            alert.setInformativeText(rqs::localized(QStringLiteral("FramesNotSavedText")).arg(m_infoFilePath, error));
            alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
            alert.beginSheetModalForWindow(qobject_cast<platform::Window *>(rqs::windowForSheetWithView(nullptr)),
                                           platform::Alert::Completion());
        }
        emit saveFinished(false);
        return false;
    }
    m_savePending = false;
    m_toldSaveFailure = false;
    emit saveFinished(true);
    return true;
}
