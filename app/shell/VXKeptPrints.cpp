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

} // namespace

QString VXKeptPrints::folder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(QStringLiteral("Foldwise/Printed"));
}

bool VXKeptPrints::contains(const QString &path) { return !jobFolderOf(path).isEmpty(); }

QStringList VXKeptPrints::waiting()
{
    const QDateTime oldest = QDateTime::currentDateTime().addSecs(-std::chrono::seconds(MaxWait).count());
    QFileInfoList jobs;
    const QFileInfoList folders = QDir(folder()).entryInfoList({JobFolderPattern}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo &job : folders) {
        const QFileInfoList files = QDir(job.filePath()).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files | QDir::NoSymLinks);
        if (files.isEmpty())
            continue;
        if (files.first().lastModified() < oldest) {
            platform::logWarning(QStringLiteral("Removed the print \"%1\", which waited more than %2 days to be opened")
                                     .arg(files.first().fileName())
                                     .arg(std::chrono::duration_cast<std::chrono::days>(MaxWait).count()));
            QDir(job.filePath()).removeRecursively();
            continue;
        }
        jobs << files.first();
    }
    std::sort(jobs.begin(), jobs.end(), [](const QFileInfo &a, const QFileInfo &b) { return a.lastModified() < b.lastModified(); });
    QStringList paths;
    for (const QFileInfo &job : std::as_const(jobs))
        paths << job.absoluteFilePath();
    return paths;
}

bool VXKeptPrints::remove(const QString &path)
{
    const QString job = jobFolderOf(path);
    if (!job.isEmpty() && QDir(job).removeRecursively())
        return true;
    platform::logWarning(QStringLiteral("Could not remove the print %1 that has opened").arg(path));
    return false;
}
