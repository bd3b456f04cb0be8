// Relayout of 1,000 grid tiles in 10 sections, and redraw of a 20-card stack against a 16 ms
// frame budget: one stack drawn after another on one core, then one stack per core at once. A
// plain tool, run as
//   build/bench/kit_layers_bench [--frames N]

#include "BenchSession.h"

#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSGridViewController.h"
#include "RQS-Kit/Controls/QSStackView.h"
#include "platform/layers/LayerRenderer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QtConcurrent/QtConcurrent>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

double relayoutMilliseconds(int passes)
{
    QSGridViewController grid;
    grid.view();
    grid.scrollView()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.scrollView()->resize(1200, 800);
    const QImage image = picture(160, 120);
    for (int section = 0; section < 10; ++section) {
        grid.addSection(QSGridItem::Selectable | QSGridItem::HasTitle);
        for (int tile = 0; tile < 100; ++tile)
            grid.addImage(image, QStringLiteral("Tile %1").arg(tile), section * 100 + tile, tile, section);
    }
    QElapsedTimer clock;
    clock.start();
    for (int pass = 0; pass < passes; ++pass) {
        grid.scrollView()->resize(pass % 2 ? 1200 : 900, 800);
        grid.refreshLayout(0);
    }
    return double(clock.nsecsElapsed()) / 1e6 / passes;
}

std::unique_ptr<QSStackView> stack()
{
    auto view = std::make_unique<QSStackView>();
    view->resize(480, 400);
    for (int card = 0; card < 20; ++card)
        view->addGridItem(QSGridItem::gridItem(picture(320, 180), QString(), card, 0), false);
    return view;
}

// Milliseconds per drawing of the stack's whole layer tree.
double redraw(QSStackView &view, int frames)
{
    QElapsedTimer clock;
    clock.start();
    for (int frame = 0; frame < frames; ++frame)
        platform::LayerRenderer::picture(*view.layer());
    return double(clock.nsecsElapsed()) / 1e6 / frames;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments = bench::toolArguments(argc, argv);
    int programNameOnly = 1;
    QApplication app(programNameOnly, argv);
    rqs::registerKitClasses();
    const qsizetype at = arguments.indexOf(QStringLiteral("--frames"));
    const int frames = at >= 0 ? arguments.value(at + 1).toInt() : 100;

    std::printf("relayout of 1000 tiles in 10 sections: %.3f ms\n", relayoutMilliseconds(frames));

    auto single = stack();
    const double oneCore = redraw(*single, frames);
    std::printf("20-card stack, one core: %.3f ms per frame (budget 16 ms)\n", oneCore);

    const int cores = QThread::idealThreadCount();
    std::vector<std::unique_ptr<QSStackView>> stacks;
    for (int core = 0; core < cores; ++core)
        stacks.push_back(stack());
    QThreadPool::globalInstance()->setMaxThreadCount(cores);
    QElapsedTimer clock;
    clock.start();
    QList<QSStackView *> views;
    for (const std::unique_ptr<QSStackView> &view : stacks)
        views.append(view.get());
    const QList<double> each = QtConcurrent::blockingMapped<QList<double>>(
        views, [frames](QSStackView *view) { return redraw(*view, frames); });
    const double wall = double(clock.nsecsElapsed()) / 1e6 / frames;
    std::printf("20-card stack, %d cores at once: %.3f ms per frame each, %.3f ms per round of %d\n", cores,
                *std::max_element(each.begin(), each.end()), wall, cores);
    return oneCore <= 16 ? 0 : 1;
}
