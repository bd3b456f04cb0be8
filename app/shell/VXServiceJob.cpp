#include "app/shell/VXServiceJob.h"

#include "app/shell/VXKeptPrints.h"
#include "app/shell/VXRealHomeDirectory.h"
#include "app/shell/VXSingleInstance.h"
#include "app/shell/VXUserSession.h"
#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBoundaryFinder>

#include <climits>

namespace {

constexpr int MaxTitleLength = 120;
// What one name in a folder may take, in bytes of its UTF-8.
constexpr qsizetype MaxNameBytes = NAME_MAX;

// The longest start of the text, ending between two characters, of at most that many characters
// and bytes.
QString leftFitting(const QString &text, int characters, qsizetype bytes)
{
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype next = boundaries.toNextBoundary(); next > 0 && characters > 0; next = boundaries.toNextBoundary()) {
        bytes -= QStringView(text).sliced(end, next - end).toUtf8().size();
        if (bytes < 0)
            break;
        end = next;
        --characters;
    }
    return text.left(end);
}

// The rest of the input, block by block; false with the reason.
bool copy(QIODevice &input, QIODevice &output, QString *error)
{
    char block[1 << 16];
    for (;;) {
        const qint64 count = input.read(block, sizeof block);
        if (count == 0)
            return true;
        if (count < 0) {
            *error = input.errorString();
            return false;
        }
        if (!platform::AtomicFileWriter::writeAll(output, block, count, error))
            return false;
    }
}

} // namespace

VXServiceJob::VXServiceJob(const QString &runtimeFolder, const QString &title)
    : m_runtimeFolder(runtimeFolder)
    , m_title(title)
{
}

QString VXServiceJob::fileName() const
{
    QString name = m_title.trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const bool named = name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    const QString extension = named ? name.right(4) : QStringLiteral(".pdf");
    if (named)
        name.chop(4);
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QStringLiteral("Print job"));
    return leftFitting(name, MaxTitleLength, MaxNameBytes - extension.size()).trimmed() + extension;
}

QString VXServiceJob::title() const { return m_title; }

bool VXServiceJob::isPdf(QIODevice &input)
{
    return input.peek(5).startsWith("%PDF-");
}

QString VXServiceJob::keep(QIODevice &input) const
{
    // A folder per job: a document of the same title that is open already must not be taken for it.
    const QString jobs = VXKeptPrints::folder();
    if (!QDir().mkpath(jobs)) {
        platform::logError(QStringLiteral("Could not keep \"%1\", because the folder %2 cannot be made").arg(m_title, jobs));
        return {};
    }
    QTemporaryDir folder(QDir(jobs).filePath(QStringLiteral("job-XXXXXX")));
    folder.setAutoRemove(false);
    platform::AtomicFileWriter file(folder.filePath(fileName()));
    QString reason;
    if (!folder.isValid())
        reason = folder.errorString();
    else if (!file.open())
        reason = file.errorString();
    else if (!copy(input, file.device(), &reason))
        file.cancel();
    else if (!file.commit())
        reason = file.errorString();
    else
        return folder.filePath(fileName());
    platform::logError(QStringLiteral("Could not keep \"%1\" in %2, because %3").arg(m_title, jobs, reason));
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
