#include "platform/layers/Layer.h"
#include "platform/ui/ViewEffects.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>

namespace {

const QColor ground(40, 120, 200);

struct SeeThrough
{
    const char *name;
    std::function<void(QWidget *view, platform::Layer *mask)> apply;
    QColor expected; // what a white subview shows where it lets the ground through
};

} // namespace

// A view that lets what lies beneath show through (an alpha, a mask) over a subview that fills its
// background: the window's own colour shows beneath, never what the backing store held before.
TEST(ViewEffects, AViewShowingThroughOverAnOpaqueSubviewShowsTheGroundBeneath)
{
    platform::Layer mask;
    mask.setFrame(QRectF(0, 0, 200, 100));
    mask.setBackgroundColor(QColor(0, 0, 0, 0)); // clear everywhere: only the ground shows
    const QList<SeeThrough> cases{
        {"alpha 0.5", [](QWidget *view, platform::Layer *) { platform::setViewAlpha(view, 0.5); },
         QColor((255 + 40) / 2, (255 + 120) / 2, (255 + 200) / 2)},
        {"alpha 0", [](QWidget *view, platform::Layer *) { platform::setViewAlpha(view, 0); }, ground},
        {"clear mask", [](QWidget *view, platform::Layer *clear) { platform::setViewMask(view, clear); }, ground},
    };
    for (const SeeThrough &seeThrough : cases) {
        SCOPED_TRACE(seeThrough.name);
        QWidget window;
        window.setAutoFillBackground(true);
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, ground);
        window.setPalette(palette);
        window.resize(240, 140);
        auto *holder = new QWidget(&window); // fills nothing of its own
        holder->setGeometry(0, 0, 240, 140);
        auto *view = new QWidget(holder);
        view->setGeometry(20, 20, 200, 100);
        auto *layout = new QVBoxLayout(view);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *browser = new QTextBrowser;
        browser->setFrameShape(QFrame::NoFrame);
        QPalette white = browser->palette();
        white.setColor(QPalette::Base, Qt::white);
        browser->setPalette(white);
        layout->addWidget(browser);
        seeThrough.apply(view, &mask);
        window.show();

        const QImage shown = window.grab().toImage();
        EXPECT_TRUE(PixelProbe::isNear(shown, QPoint(120, 70), seeThrough.expected, 3))
            << PixelProbe::describe(shown, QPoint(120, 70)).toStdString();
        EXPECT_TRUE(PixelProbe::isNear(shown, QPoint(5, 5), ground, 0)) << "the ground beside the view";
    }
}
