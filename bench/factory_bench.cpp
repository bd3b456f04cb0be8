// Exports N generated text PDFs of P pages each through the batch factory exactly as the user's
// "Export all" does (the folder chosen in its panel, one task after another on the GUI thread):
//   factory_bench [N] [P]        (defaults 20 files of 100 pages)
// Reports the total time, the time per file, and the resident memory after the first and the
// last file: with documents let go after their task, the two stay level however many files run.

#include "BenchSession.h"

#include "app/booklet/Document.h"
#include "app/shell/VXFactoryController.h"
#include "app/shell/VXTask.h"
#include "platform/ui/OpenPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>

namespace {

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// A4 pages of running text with a numbered heading, fonts embedded.
void writeTextPdf(const QString &path, int pages)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    const QString words = QStringLiteral("booklet sheet fold staple creep margin paper print export imposition ");
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            writer.newPage();
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 18, QFont::Bold));
        painter.drawText(60, 80, QStringLiteral("Page %1").arg(page));
        painter.setFont(QFont(QStringLiteral("DejaVu Serif"), 10));
        for (int line = 0; line < 50; ++line)
            painter.drawText(60, 120 + line * 13, words.repeated(1 + (line + page) % 4).left(90));
    }
}

} // namespace

int main(int argc, char **argv)
{
    const QStringList arguments = bench::toolArguments(argc, argv);
    const int files = arguments.value(0, QStringLiteral("20")).toInt();
    const int pages = arguments.value(1, QStringLiteral("100")).toInt();
    bench::Session session;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QTemporaryDir folder;
    if (!session.isValid() || !folder.isValid() || files < 1 || pages < 1) {
        platform::logError(QStringLiteral("Usage: factory_bench [FILES] [PAGES], with a writable temporary folder"));
        return 1;
    }
    Document::initialize();
    QList<QUrl> urls;
    for (int file = 0; file < files; ++file) {
        const QString path = folder.filePath(QStringLiteral("text-%1.pdf").arg(file));
        writeTextPdf(path, pages);
        urls << QUrl::fromLocalFile(path);
    }
    QDir(folder.path()).mkpath(QStringLiteral("out"));
    const QString out = folder.filePath(QStringLiteral("out"));

    VXFactoryController factory(nullptr);
    factory.addURLs(urls);
    // The files are read away from the GUI thread and join as tasks once read.
    QElapsedTimer reading;
    reading.start();
    while (factory.tasks().size() < files) {
        if (reading.elapsed() > 60000) {
            platform::logError(QStringLiteral("Only %1 of the %2 files joined the factory").arg(factory.tasks().size()).arg(files));
            return 1;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    platform::OpenPanel::setResponder([&](QFileDialog &dialog) {
        dialog.selectFile(out);
        return platform::OpenPanel::OKButton;
    });
    int exported = 0;
    qint64 firstResident = 0;
    qint64 lastResident = 0;
    for (VXTask *task : factory.tasks()) {
        QObject::connect(task, &VXTask::stateChanged, &app, [&](qint32 state) {
            if (state < VXTask::Exported)
                return;
            ++exported;
            // Documents go on the next turn of the loop; measured on it.
            QMetaObject::invokeMethod(&app, [&, count = exported] {
                (count == 1 ? firstResident : lastResident) = residentKiB();
                if (count == files)
                    app.quit();
            }, Qt::QueuedConnection);
        });
    }
    QElapsedTimer clock;
    clock.start();
    factory.exportAll();
    app.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("%d files x %d pages: %.2f s, %.3f s per file; resident after the first file %lld MiB, after the last %lld MiB; "
                "peak %lld MiB\n",
                files, pages, seconds, seconds / files, firstResident / 1024, lastResident / 1024, bench::peakResidentKiB() / 1024);
    return 0;
}
