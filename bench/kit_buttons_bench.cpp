// Repaints 500 kit buttons while the pointer moves over them, one button after another: the time
// per frame, and how many backgrounds were rendered in a first pass (cold cache) and in a second
// pass over the same buttons (warm cache, expected 0). A plain tool, run as
//   build/bench/kit_buttons_bench [--frames N]

#include "BenchSession.h"

#include "RQS-Kit/Controls/QSButton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <cstdio>
#include <vector>

namespace {

constexpr int columns = 25;
constexpr int rows = 20;

int rendered(const std::vector<QSButton *> &buttons)
{
    int count = 0;
    for (const QSButton *button : buttons)
        count += button->backgroundsRendered();
    return count;
}

// Moves the pointer onto each of the first frames buttons in turn and repaints the window after
// each move; answers the milliseconds per frame.
double hoverPass(QWidget &window, const std::vector<QSButton *> &buttons, int frames)
{
    QElapsedTimer clock;
    clock.start();
    for (int frame = 0; frame < frames; ++frame) {
        QSButton *button = buttons.at(size_t(frame) % buttons.size());
        const QPointF centre = QRectF(button->rect()).center();
        QMouseEvent move(QEvent::MouseMove, centre, button->mapToGlobal(centre), Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(button, &move);
        window.repaint();
    }
    return double(clock.nsecsElapsed()) / 1e6 / frames;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments = bench::toolArguments(argc, argv);
    int programNameOnly = 1;
    QApplication app(programNameOnly, argv);
    const qsizetype at = arguments.indexOf(QStringLiteral("--frames"));
    const int frames = at >= 0 ? arguments.value(at + 1).toInt() : int(columns * rows);

    QWidget window;
    window.resize(columns * 84, rows * 30);
    std::vector<QSButton *> buttons;
    for (int index = 0; index < columns * rows; ++index) {
        auto *button = new QSButton(&window);
        button->setName(index % 2 ? QStringLiteral("DefaultStyle") : QStringLiteral("DefaultStyleActive"));
        button->setTitle(QStringLiteral("Button %1").arg(index));
        button->setGeometry((index % columns) * 84, (index / columns) * 30, 80, 26);
        buttons.push_back(button);
    }
    window.show();
    QCoreApplication::processEvents();
    window.repaint();
    const int atStart = rendered(buttons);
    const double cold = hoverPass(window, buttons, frames);
    const int coldRendered = rendered(buttons) - atStart;
    const double warm = hoverPass(window, buttons, frames);
    const int warmRendered = rendered(buttons) - atStart - coldRendered;
    std::printf("buttons %zu, frames %d per pass\n", buttons.size(), frames);
    std::printf("first paint: %d backgrounds rendered\n", atStart);
    std::printf("cold pass: %.3f ms per frame, %d backgrounds rendered\n", cold, coldRendered);
    std::printf("warm pass: %.3f ms per frame, %d backgrounds rendered\n", warm, warmRendered);
    return warmRendered == 0 ? 0 : 1;
}
