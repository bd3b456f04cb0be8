// Relays out a list of 300 rows: the time of one immediate layout pass (frames written without
// animation), and of a deferred pass gathered from 300 moves made in one turn. A plain tool, run as
//   build/bench/list_layout_bench [--passes N]

#include "BenchSession.h"

#include "RQS-Kit/Controls/QSBasicListEntryView.h"
#include "RQS-Kit/Controls/QSListView.h"
#include "platform/ui/FrameAnimation.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QStringList arguments = bench::toolArguments(argc, argv);
    int programNameOnly = 1;
    QApplication app(programNameOnly, argv);
    const qsizetype at = arguments.indexOf(QStringLiteral("--passes"));
    const int passes = at >= 0 ? arguments.value(at + 1).toInt() : 200;
    constexpr int rows = 300;

    platform::FrameAnimation::setDefaultDuration(0);
    QSListView list;
    list.resize(349, 100);
    for (int index = 0; index < rows; ++index) {
        auto *row = new QSBasicListEntryView(QSListEntryView::Draggable | QSListEntryView::Removable);
        row->setTitle(QStringLiteral("Row %1").arg(index));
        list.addListEntry(row);
    }
    list.show();
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    for (int pass = 0; pass < passes; ++pass)
        list.updateListLayout(QSListView::Immediate);
    const double immediate = double(clock.nsecsElapsed()) / 1e6 / passes;

    clock.restart();
    for (int move = 0; move < rows; ++move)
        list.moveEntryFrom(0, rows - 1);
    QCoreApplication::processEvents();
    const double gathered = double(clock.nsecsElapsed()) / 1e6;

    std::printf("rows %d, list height %d\n", rows, list.height());
    std::printf("immediate pass: %.3f ms\n", immediate);
    std::printf("%d moves and their one deferred pass: %.3f ms\n", rows, gathered);
    return list.height() == rows * 45 ? 0 : 1;
}
