#include "app/shell/VXServiceJob.h"

#include "app/shell/VXKeptPrints.h"
#include "app/shell/VXRealHomeDirectory.h"
#include "app/shell/VXSingleInstance.h"
#include "app/shell/VXUserSession.h"
#include "platform/foundation/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int MaxTitleLength = 120;

} // namespace

VXServiceJob::VXServiceJob(const QString &runtimeFolder, const QString &title)
    : m_runtimeFolder(runtimeFolder)
    , m_title(title)
{
}

QString VXServiceJob::fileName() const
{
    QString name = m_title.left(MaxTitleLength).trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QStringLiteral("Print job"));
    return name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? name : name + QStringLiteral(".pdf");
}

QString VXServiceJob::title() const { return m_title; }

QString VXServiceJob::keep(QIODevice &input) const
{
    if (!input.peek(5).startsWith("%PDF-")) {
        platform::logError(QStringLiteral("Could not open \"%1\" in Foldwise, because the program that printed it sent no PDF").arg(m_title));
        return {};
    }
    // A folder per job: a document of the same title that is open already must not be taken for it.
    const QString jobs = VXKeptPrints::folder();
    if (!QDir().mkpath(jobs)) {
        platform::logError(QStringLiteral("Could not keep \"%1\", because the folder %2 cannot be made").arg(m_title, jobs));
        return {};
    }
    QTemporaryDir folder(QDir(jobs).filePath(QStringLiteral("job-XXXXXX")));
    folder.setAutoRemove(false);
    QFile file(folder.filePath(fileName()));
    bool copied = folder.isValid() && file.open(QIODevice::WriteOnly);
    while (copied && !input.atEnd()) {
        const QByteArray block = input.read(1 << 16);
        copied = !block.isEmpty() && file.write(block) == block.size();
    }
    if (copied && file.flush())
        return file.fileName();
    platform::logError(QStringLiteral("Could not keep \"%1\" in %2, because %3").arg(m_title, jobs, file.errorString()));
    folder.remove();
    return {};
}

VXServiceJob::Outcome VXServiceJob::handOver(const QString &path, const QString &foldwisePath, uid_t uid) const
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtimeFolder));
    VXSingleInstance running(VXSingleInstance::defaultServerName());
    if (running.forward(VXSingleInstance::Request::Service, {path})) {
        platform::logInfo(QStringLiteral("Handed %1 to the running Foldwise").arg(path));
        return Outcome::HandedOver;
    }
    if (start(path, foldwisePath, uid))
        return Outcome::Started;
    platform::logInfo(QStringLiteral("Kept %1: it opens the next time Foldwise starts").arg(path));
    return Outcome::Kept;
}

bool VXServiceJob::start(const QString &path, const QString &foldwisePath, uid_t uid) const
{
    const std::optional<VXUserSession> session = VXUserSession::graphicalSessionOf(uid, m_runtimeFolder);
    if (!session)
        return false;
    // CUPS knows nothing of the user's desktop; the session tells where it is.
    QProcessEnvironment environment = session->environment(QProcessEnvironment::systemEnvironment());
    const QString home = VXRealHomeDirectory();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeFolder);
    const QDir runtime(m_runtimeFolder);
    if (runtime.exists(QStringLiteral("bus")))
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + runtime.filePath(QStringLiteral("bus")));
    QProcess foldwise;
    foldwise.setProgram(foldwisePath);
    foldwise.setArguments({QStringLiteral("--service"), path});
    foldwise.setProcessEnvironment(environment);
    foldwise.setWorkingDirectory(home);
    if (!foldwisePath.isEmpty() && foldwise.startDetached()) {
        platform::logInfo(QStringLiteral("Started %1 in session %2 to open %3").arg(foldwisePath, session->id(), path));
        return true;
    }
    platform::logError(QStringLiteral("Could not start %1 to open %2").arg(foldwisePath, path));
    return false;
}
