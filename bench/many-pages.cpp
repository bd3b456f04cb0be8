// Opens and exports an input of many small pages, to show how time and memory grow with the page
// count:
//   many-pages [N]               makes build/bench/inputs/pages-N.pdf once (N = 100000 unless
//                                given), then opens it as a window-less document and exports its
//                                booklet to build/bench/out/pages-N-booklet.pdf
//   many-pages --make OUT N      only writes the N-page input
// Reports the wall time and the peak resident memory (VmHWM) after the open and after the export.
// The input is made in a child process so that making it does not count in the peak.

#include "BenchSession.h"

#include "app/booklet/Document.h"
#include "platform/foundation/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <exception>
#include <string>

namespace {

// count A6 pages that all show one shared content stream with one shared font: qpdf writes each
// page as a small dictionary, so the file stays a few MB however many pages it has.
bool makeInput(const QString &path, int count)
{
    try {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFObjectHandle resources = pdf.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>"));
        QPDFObjectHandle content = pdf.newStream("BT /F1 24 Tf 40 300 Td (A small page) Tj ET 20 20 258 380 re S\n");
        QPDFObjectHandle kids = QPDFObjectHandle::newArray();
        QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
        for (int i = 0; i < count; ++i) {
            QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 298 420] >>");
            page.replaceKey("/Resources", resources);
            page.replaceKey("/Contents", content);
            page.replaceKey("/Parent", root);
            kids.appendItem(pdf.makeIndirectObject(page));
        }
        root.replaceKey("/Kids", kids);
        root.replaceKey("/Count", QPDFObjectHandle::newInteger(count));
        QPDFWriter writer(pdf, QFile::encodeName(path).constData());
        writer.setObjectStreamMode(qpdf_o_generate);
        writer.write();
        return true;
    } catch (const std::exception &e) {
        platform::logError(QStringLiteral("Could not make \"%1\": %2").arg(path, QString::fromUtf8(e.what())));
        return false;
    }
}

void report(const char *step, const QElapsedTimer &timer)
{
    std::printf("%-8s %8.2f s  peak %6lld MiB\n", step, timer.nsecsElapsed() / 1e9, bench::peakResidentKiB() / 1024);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    const bench::Session session;
    if (argc == 4 && std::string(argv[1]) == "--make")
        return makeInput(QString::fromLocal8Bit(argv[2]), std::stoi(argv[3])) ? 0 : 1;
    if (!session.isValid())
        return 1;
    const QStringList arguments = bench::toolArguments(argc, argv);
    int programNameOnly = 1;
    QGuiApplication application(programNameOnly, argv);
    bool ok = false;
    const int count = arguments.isEmpty() ? 100000 : arguments[0].toInt(&ok);
    if (arguments.size() > 1 || (!arguments.isEmpty() && (!ok || count < 1))) {
        platform::logError(QStringLiteral("usage: many-pages [N] | many-pages --make OUT N"));
        return 1;
    }
    const QDir here(QCoreApplication::applicationDirPath());
    here.mkpath(QStringLiteral("inputs"));
    here.mkpath(QStringLiteral("out"));
    const QString input = here.filePath(QStringLiteral("inputs/pages-%1.pdf").arg(count));
    const QString output = here.filePath(QStringLiteral("out/pages-%1-booklet.pdf").arg(count));
    if (!QFileInfo::exists(input)) {
        const int made = QProcess::execute(QCoreApplication::applicationFilePath(),
                                           {QStringLiteral("--make"), input, QString::number(count)});
        if (made != 0) {
            platform::logError(QStringLiteral("Could not make the input \"%1\"").arg(input));
            return 1;
        }
    }
    std::printf("%d pages, %.1f MB, start peak %lld MiB\n", count, QFileInfo(input).size() / 1e6, bench::peakResidentKiB() / 1024);
    QElapsedTimer timer;
    timer.start();
    Document document;
    const QUrl url = QUrl::fromLocalFile(input);
    if (!document.openURL(url, Document::typeForContentsOfURL(url)))
        return 1; // the reason is logged already
    report("open", timer);
    timer.restart();
    if (!document.exportBookletToURL(QUrl::fromLocalFile(output)))
        return 1;
    report("export", timer);
    return 0;
}
