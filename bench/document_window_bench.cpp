// Opens a PDF in a document window and measures what the user waits for: the window with its
// first sheet drawn sharp, the page list's first previews, and scrolling the page list from top
// to bottom; then the peak resident memory. A plain tool, run as
//   build/bench/document_window_bench [IN.pdf] [--grab OUT.png] [--first-sheet]
// (IN defaults to build/bench/inputs/text-2000.pdf, made by bench/make-inputs). --first-sheet stops
// once the first sheet is drawn sharp and prints the wall clock then, so that the whole process up
// to that moment can be timed against a renderer (bench/first-sheet).

#include "BenchSession.h"
#include "WrittenFile.h"

#include "app/booklet/Document.h"
#include "app/booklet/VXDocumentReading.h"
#include "app/window/VXDocumentWindowController.h"
#include "app/window/VXPageView.h"
#include "app/window/VXPagesController.h"
#include "platform/graphics/ImageReaderPlugins.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QScrollBar>
#include <QThread>

#include <cstdio>
#include <optional>

namespace {

// Runs the event loop until the condition holds; false after the time is up. The condition is
// looked at after each round of the events that were waiting, before the work they post.
bool waitFor(const std::function<bool()> &condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
    return true;
}

void pause(int milliseconds) { waitFor([] { return false; }, milliseconds); }

} // namespace

int main(int argc, char **argv)
{
    const bench::Session session;
    if (!session.isValid())
        return 1;
    QStringList arguments = bench::toolArguments(argc, argv);
    int programNameOnly = 1;
    QApplication app(programNameOnly, argv);
    // As the application does at launch.
    platform::ImageReaderPlugins::loadInBackground();
    QApplication::setApplicationName(QStringLiteral("Foldwise"));
    QString grab;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--grab")); at >= 0 && at + 1 < arguments.size()) {
        grab = arguments.at(at + 1);
        arguments.remove(at, 2);
    }
    const bool firstSheetOnly = arguments.removeAll(QStringLiteral("--first-sheet")) > 0;
    const QString input = arguments.value(0, QCoreApplication::applicationDirPath() + QStringLiteral("/inputs/text-2000.pdf"));

    QElapsedTimer clock;
    clock.start();
    // As the application opens a file it shows: read away from the GUI thread, the pages shown
    // first only, and taken by a document made meanwhile.
    const QUrl url = QUrl::fromLocalFile(input);
    std::optional<Document::Contents> contents;
    QEventLoop opening;
    const VXDocumentReading reading(url, true, [&](Document::Contents read) {
        contents = std::move(read);
        opening.quit();
    });
    Document document;
    document.setReadsShownPagesFirst(true);
    if (!contents)
        opening.exec();
    if (!contents || !document.openWithContents(url, std::move(*contents))) {
        std::fprintf(stderr, "Error: could not open %s\n", qPrintable(input));
        return 1;
    }
    const qint64 read = clock.elapsed();
    VXDocumentWindowController *controller = VXDocumentWindowController::makeWindowController(&document);
    document.showWindows();
    const qint64 shown = clock.elapsed();
    // Taken as the second page view paints its sharp image: waiting for the event loop to come
    // round again would count whatever else runs in that round.
    qint64 sheet = -1;
    qint64 sheetSinceEpoch = 0;
    const QList<VXPageView *> views{controller->leftPage(), controller->rightPage()};
    if (views.contains(nullptr)) {
        std::fprintf(stderr, "Error: the window has no page views\n");
        return 1;
    }
    const auto noteSheet = [&] {
        if (sheet < 0 && controller->showsSharpSheet()) {
            sheet = clock.elapsed();
            sheetSinceEpoch = QDateTime::currentMSecsSinceEpoch();
        }
    };
    for (VXPageView *view : views)
        QObject::connect(view, &VXPageView::sharpImageShown, view, noteSheet);
    noteSheet();
    const bool firstSheet = waitFor([&] { return sheet >= 0; }, 60000);
    if (!firstSheet) {
        sheet = clock.elapsed();
        sheetSinceEpoch = QDateTime::currentMSecsSinceEpoch();
    }
    if (firstSheetOnly) {
        // The wall clock, for timing the whole process from its start outside.
        std::printf("sheet at         %lld ms since the epoch\n", sheetSinceEpoch);
        std::printf("read             %lld ms\n", read);
        std::printf("window shown     %lld ms\n", shown);
        std::printf("first sheet      %lld ms%s\n", sheet, firstSheet ? "" : " (not sharp within 60 s)");
        return firstSheet ? 0 : 1;
    }

    VXPagesTableView *list = controller->pagesTableView();
    const auto previewsShown = [&] {
        for (int row = 1; row < 4 && row < list->model()->rowCount(); ++row) {
            if (controller->pagesController()->pageAtRow(row)->preview().isNull())
                return false;
        }
        return true;
    };
    list->viewport()->repaint();
    waitFor(previewsShown, 60000);
    const qint64 previews = clock.elapsed();

    // The list lays its rows out a batch at a time; scrolling starts once all are there.
    QScrollBar *bar = list->verticalScrollBar();
    for (int laidOut = -1; bar->maximum() != laidOut;) {
        laidOut = bar->maximum();
        pause(100);
    }
    const qint64 layout = clock.elapsed();

    // A screen's height at a time, each step painted at once, as a fast scroll does.
    qint64 slowest = 0;
    int steps = 0;
    QElapsedTimer scroll;
    scroll.start();
    for (int value = 0; value <= bar->maximum(); value += std::max(1, bar->pageStep()), ++steps) {
        QElapsedTimer step;
        step.start();
        bar->setValue(value);
        list->viewport()->repaint();
        QCoreApplication::processEvents();
        slowest = std::max(slowest, step.elapsed());
    }
    const qint64 scrolled = scroll.elapsed();
    // The last screen's previews come in.
    pause(2000);

    std::printf("input            %s (%llu pages)\n", qPrintable(input), qulonglong(document.inputFilter()->allPages().size()));
    std::printf("read             %lld ms\n", read);
    std::printf("window shown     %lld ms\n", shown);
    std::printf("first sheet      %lld ms%s\n", sheet, firstSheet ? "" : " (not sharp within 60 s)");
    std::printf("first previews   %lld ms\n", previews);
    std::printf("list laid out    %lld ms\n", layout);
    std::printf("scroll           %d screens in %lld ms, slowest %lld ms\n", steps, scrolled, slowest);
    std::printf("peak memory      %lld MB\n", bench::peakResidentKiB() / 1024);
    if (!grab.isEmpty())
        bench::writePicture(controller->window()->grab().toImage(), grab);
    return 0;
}
