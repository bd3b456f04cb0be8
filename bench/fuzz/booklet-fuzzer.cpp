// libFuzzer target: the bytes are a PDF or a picture, opened as a window-less document with a new
// user's settings and exported as a booklet into a temporary folder, as booklet-export does.
// Opening or exporting may fail (with its logged line); anything the sanitizers or libFuzzer
// catch (a crash, an overflow, a hang past -timeout) is a finding.

#include "app/booklet/Document.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdint>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> folder;

// Thousands of runs log thousands of lines; only Qt's own failures could say something new.
void quietQt(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        qFatal("%s", qPrintable(message));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qInstallMessageHandler(quietQt);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    folder = std::make_unique<QTemporaryDir>();
    // The user's saved settings stay out of the runs and unchanged by them.
    qputenv("XDG_CONFIG_HOME", folder->filePath("settings").toUtf8());
    static QGuiApplication application(*argc, *argv);
    Document::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString inputPath = folder->filePath("input");
    QFile input(inputPath);
    if (!input.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(inputPath));
    if (input.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size) || !input.flush())
        qFatal("cannot write %s", qPrintable(inputPath));
    input.close();

    const QUrl url = QUrl::fromLocalFile(inputPath);
    const QString type = Document::typeForContentsOfURL(url);
    if (type.isEmpty())
        return 0;
    Document document;
    if (document.openURL(url, type))
        document.exportBookletToURL(QUrl::fromLocalFile(folder->filePath("booklet.pdf")));
    return 0;
}
