#include "app/shell/VXServiceJob.h"

#include "app/shell/VXKeptPrints.h"
#include "app/shell/VXRealHomeDirectory.h"
#include "app/shell/VXSingleInstance.h"
#include "app/shell/VXUserSession.h"
#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/SystemReason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>

namespace {

constexpr int MaxTitleLength = 120;
// What one name in a folder may take, in bytes of its UTF-8.
constexpr qsizetype MaxNameBytes = NAME_MAX;
// What a print is named when its title gives no name a folder takes.
const QString PlainStem = QStringLiteral("Print job");
const QString PlainName = PlainStem + QStringLiteral(".pdf");
const QByteArray PdfHeader = QByteArrayLiteral("%PDF-");
// Where the job is copied before it shows under its name: hidden, so that no Foldwise lists it
// half written.
const QString PartName = QStringLiteral(".print.part");

// Qt's finder cuts what follows the letters of a complex script (Thai, Devanagari) in the same
// run of text at every code unit: a flag between its two halves, an emoji between the halves of
// its surrogate pairs. Flags, emoji, digits and signs belong to no script of their own, so each
// run of them goes to the finder alone; where a run ends, a character ends.
QList<qsizetype> characterEnds(const QString &text)
{
    QList<qsizetype> ends;
    qsizetype start = 0;
    const auto findIn = [&](qsizetype end) {
        QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text.sliced(start, end - start));
        for (qsizetype next = boundaries.toNextBoundary(); next > 0; next = boundaries.toNextBoundary())
            ends << start + next;
        start = end;
    };
    bool scriptless = false;
    for (qsizetype at = 0; at < text.size();) {
        const bool pair = text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(text.at(at), text.at(at + 1)) : text.at(at).unicode();
        // A mark goes with what it marks.
        if (const QChar::Script script = QChar::script(code); script != QChar::Script_Inherited) {
            if (at > start && (script == QChar::Script_Common) != scriptless)
                findIn(at);
            scriptless = script == QChar::Script_Common;
        }
        at += pair ? 2 : 1;
    }
    findIn(text.size());
    return ends;
}

bool isRegionalIndicatorAt(const QString &text, qsizetype at)
{
    return at + 1 < text.size() && text.at(at).unicode() == 0xd83c && text.at(at + 1).unicode() >= 0xdde6
        && text.at(at + 1).unicode() <= 0xddff;
}

// Qt's finder pairs regional indicators wrongly after a joined emoji (a family): it parts a flag
// and joins the halves of two. In a run of them each flag is a pair counted from the run's start.
QList<qsizetype> withFlagsWhole(const QString &text, const QList<qsizetype> &ends)
{
    QList<qsizetype> kept;
    qsizetype next = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!isRegionalIndicatorAt(text, at))
            continue;
        qsizetype end = at;
        while (isRegionalIndicatorAt(text, end))
            end += 2;
        for (; next < ends.size() && ends[next] <= at; ++next)
            kept << ends[next];
        while (next < ends.size() && ends[next] < end)
            ++next;
        for (qsizetype flagEnd = at + 4; flagEnd < end; flagEnd += 4)
            kept << flagEnd;
        at = end - 1;
    }
    kept << ends.sliced(next);
    return kept;
}

// Within a complex script's run Qt's finder may still part the halves of a surrogate pair.
bool splitsAPair(const QString &text, qsizetype at)
{
    return at > 0 && at < text.size() && text.at(at - 1).isHighSurrogate() && text.at(at).isLowSurrogate();
}

// The longest start of the text, ending between two characters, of at most that many characters
// and bytes of UTF-8.
QString leftFitting(const QString &text, int characters, qsizetype bytes)
{
    qsizetype end = 0;
    for (const qsizetype next : withFlagsWhole(text, characterEnds(text))) {
        if (characters == 0)
            break;
        if (splitsAPair(text, next))
            continue;
        bytes -= QStringView(text).sliced(end, next - end).toUtf8().size();
        if (bytes < 0)
            break;
        end = next;
        --characters;
    }
    return text.left(end);
}

// The rest of the input, block by block; false with the reason.
bool copy(QIODevice &input, QIODevice &output, const std::function<bool()> &whole, QString *error)
{
    char block[1 << 16];
    for (;;) {
        const qint64 count = input.read(block, sizeof block);
        // A stopped job's input ends early: the end alone does not tell that what came is all.
        if (count == 0 && !whole()) {
            *error = QStringLiteral("the job was stopped");
            return false;
        }
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
    , m_title(withControlsReplaced(title.trimmed()))
{
}

QString VXServiceJob::withControlsReplaced(QString text)
{
    const auto breaksALine = [](QChar c) {
        return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    };
    std::replace_if(text.begin(), text.end(), breaksALine, QChar(QChar::ReplacementCharacter));
    return text;
}

QString VXServiceJob::keptName(const QString &title)
{
    QString name = withControlsReplaced(title.trimmed());
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const bool named = name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    const QString extension = named ? name.right(4) : QStringLiteral(".pdf");
    if (named)
        name.chop(4);
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(PlainStem);
    name = leftFitting(name, MaxTitleLength, MaxNameBytes - extension.size()).trimmed() + extension;
    // A first character longer than a name takes would leave a hidden ".pdf", which no Foldwise lists.
    return name.size() > extension.size() && name.toUtf8().size() <= MaxNameBytes ? name : PlainName;
}

QString VXServiceJob::title() const { return m_title; }

bool VXServiceJob::isPdf(QIODevice &input)
{
    // A pipe gives what has come so far: the header may arrive in more than one write.
    QByteArray header = input.peek(PdfHeader.size());
    for (qsizetype had = -1; header.size() < PdfHeader.size() && header.size() > had;) {
        had = header.size();
        header = input.peek(PdfHeader.size());
    }
    return header == PdfHeader;
}

QString VXServiceJob::keep(QIODevice &input, const std::function<bool()> &whole) const
{
    // A folder per job: a document of the same title that is open already must not be taken for it.
    const QString jobs = VXKeptPrints::folder();
    if (!QDir().mkpath(jobs)) {
        platform::logError(QStringLiteral("Could not keep \"%1\", because the folder %2 cannot be made").arg(m_title, jobs));
        return {};
    }
    QTemporaryDir folder(QDir(jobs).filePath(QStringLiteral("job-XXXXXX")));
    folder.setAutoRemove(false);
    // Written whole under a hidden name first, the print shows under its own only when complete.
    platform::AtomicFileWriter file(folder.filePath(PartName));
    QString reason;
    if (!folder.isValid())
        reason = folder.errorString();
    else if (!file.open())
        reason = file.errorString();
    else if (!copy(input, file.device(), whole, &reason))
        file.cancel();
    else if (!file.commit())
        reason = file.errorString();
    else if (const QString kept = named(QDir(folder.path()), &reason); !kept.isEmpty())
        return kept;
    platform::logError(QStringLiteral("Could not keep \"%1\" in %2, because %3").arg(m_title, jobs, reason));
    folder.remove();
    return {};
}

QString VXServiceJob::named(const QDir &folder, QString *reason) const
{
    const QByteArray part = QFile::encodeName(folder.filePath(PartName));
    const QString name = keptName(m_title);
    if (::rename(part.constData(), QFile::encodeName(folder.filePath(name)).constData()) == 0)
        return folder.filePath(name);
    // Tried again, a name the folder refuses (a path too long, a file system of shorter names)
    // would fail for ever.
    const QString refused = platform::systemReason(errno);
    if (::rename(part.constData(), QFile::encodeName(folder.filePath(PlainName)).constData()) != 0) {
        *reason = platform::systemReason(errno);
        return {};
    }
    platform::logWarning(QStringLiteral("Kept \"%1\" as \"%2\", because the name \"%3\" cannot be made: %4").arg(m_title, PlainName, name, refused));
    return folder.filePath(PlainName);
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
