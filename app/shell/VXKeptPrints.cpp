#include "app/shell/VXKeptPrints.h"

#include "platform/foundation/Log.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString JobFolderPattern = QStringLiteral("job-*");

QString jobFolderOf(const QString &path)
{
    const QFileInfo file(path);
    const QString parent = file.absolutePath();
    return QFileInfo(parent).absolutePath() == QDir(VXKeptPrints::folder()).absolutePath()
                   && QDir::match(JobFolderPattern, QFileInfo(parent).fileName())
               ? parent
               : QString();
}

// When the folder or anything in it last changed.
QDateTime lastChange(const QFileInfo &job)
{
    QDateTime last = job.lastModified();
    for (const QFileInfo &entry : QDir(job.filePath()).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        last = std::max(last, entry.lastModified());
    return last;
}

QDateTime before(std::chrono::seconds time) { return QDateTime::currentDateTime().addSecs(-time.count()); }

// The print of each job folder in the folder; those that waited too long are removed (logged), and
// so are those a backend left without a print.
QFileInfoList printsIn(const QString &folder)
{
    const QDateTime oldest = before(VXKeptPrints::MaxWait);
    const QDateTime abandoned = before(VXKeptPrints::MaxCopyPause);
    QFileInfoList prints;
    const QFileInfoList jobs = QDir(folder).entryInfoList({JobFolderPattern}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo &job : jobs) {
        const QFileInfoList files = QDir(job.filePath()).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files | QDir::NoSymLinks);
        if (files.isEmpty()) {
            // A backend copying a job keeps changing its folder; one unchanged that long was killed.
            if (lastChange(job) < abandoned) {
                platform::logWarning(QStringLiteral("Removed %1, which a print stopped while it was kept left without a print").arg(job.filePath()));
                QDir(job.filePath()).removeRecursively();
            }
            continue;
        }
        if (files.first().lastModified() < oldest) {
            platform::logWarning(QStringLiteral("Removed the print \"%1\", which was kept more than %2 days")
                                     .arg(files.first().fileName())
                                     .arg(std::chrono::duration_cast<std::chrono::days>(VXKeptPrints::MaxWait).count()));
            QDir(job.filePath()).removeRecursively();
            continue;
        }
        prints << files.first();
    }
    return prints;
}

} // namespace

QString VXKeptPrints::folder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(QStringLiteral("Foldwise/Printed"));
}

bool VXKeptPrints::contains(const QString &path) { return !jobFolderOf(path).isEmpty(); }

QStringList VXKeptPrints::waiting()
{
    QFileInfoList jobs = printsIn(folder());
    // Those set aside are not waiting, but they go after the same time.
    printsIn(setAsideFolder());
    std::sort(jobs.begin(), jobs.end(), [](const QFileInfo &a, const QFileInfo &b) { return a.lastModified() < b.lastModified(); });
    QStringList paths;
    for (const QFileInfo &job : std::as_const(jobs))
        paths << job.absoluteFilePath();
    return paths;
}

QString VXKeptPrints::setAsideFolder() { return QDir(folder()).filePath(QStringLiteral("Not opened")); }

QString VXKeptPrints::setAside(const QString &path)
{
    const QString job = jobFolderOf(path);
    const QString aside = QDir(setAsideFolder()).filePath(QFileInfo(job).fileName());
    if (!job.isEmpty() && QDir().mkpath(setAsideFolder()) && QDir().rename(job, aside)) {
        platform::logWarning(QStringLiteral("Set the print %1 aside in %2, because it could not be opened").arg(path, setAsideFolder()));
        return QDir(aside).filePath(QFileInfo(path).fileName());
    }
    platform::logError(QStringLiteral("Could not set the print %1 aside in %2; it is opened again at the next start").arg(path, setAsideFolder()));
    return {};
}

bool VXKeptPrints::remove(const QString &path)
{
    const QString job = jobFolderOf(path);
    if (!job.isEmpty() && QDir(job).removeRecursively())
        return true;
    platform::logWarning(QStringLiteral("Could not remove the print %1 that has opened").arg(path));
    return false;
}
