#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSFrameEditor.h"
#include "RQS-Kit/Effects/QSMaterialBuilder.h"
#include "RQS-Kit/Effects/QSShadeRow.h"
#include "RQS-Kit/Foundation/UndoManagerExtension.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/UndoManager.h"
#include "platform/ui/ViewUndo.h"
#include "platform/ui/Window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "support/Desktop.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

namespace {

// The frame builder over the shipped frames and a user file of its own.
struct BuilderOnDesktop
{
    BuilderOnDesktop() { rqs::registerKitClasses(); }

    // A new user frame with one shade, a bevel, chosen in the new-shade pop-up.
    bool addBevelShadeToANewFrame()
    {
        if (!builder.window())
            return false;
        builder.addUserFrame(nullptr);
        auto *newShade = builder.window()->findChild<QComboBox *>("newShadeButton");
        if (!newShade)
            return false;
        newShade->setCurrentIndex(newShade->findText("Bevel", Qt::MatchContains));
        return builder.addNewShade(newShade);
    }

    QTemporaryDir dir;
    QSFrameCatalog user{QSFrameCatalog::framesBundlePath(), dir.filePath("UserFrames.plist")};
    QSFrameCatalog system{QSFrameCatalog::framesBundlePath(), QString()};
    QSMaterialBuilder builder{user, system};
};

} // namespace

// The user opens a shade's blend pop-up with a click, finds the modes by their display names and
// clicks one, which the frame's shade then blends with.
TEST(MaterialBuilderOnDesktop, AClickedBlendModeIsTheShadesNewMode)
{
    FOLDWISE_REQUIRE_DESKTOP();
    BuilderOnDesktop opened;
    ASSERT_TRUE(opened.addBevelShadeToANewFrame());
    QSMaterialBuilder &builder = opened.builder;
    QWidget *window = builder.window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, DesktopTimeout));
    ASSERT_EQ(builder.shadeRows().size(), 1);
    QComboBox *blend = builder.shadeRows().first()->blendButton();
    ASSERT_TRUE(QTest::qWaitFor([&] { return blend->isVisible() && !blend->visibleRegion().isEmpty(); }, DesktopTimeout));

    QTest::mouseClick(blend, Qt::LeftButton, {}, blend->rect().center());
    QAbstractItemView *view = blend->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible(); }, DesktopTimeout)) << "a click opens the pop-up";
    // A release soon after the opening press is taken as the end of that press, not as a choice.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QStringList shown;
    for (int i = 0; i < view->model()->rowCount(); ++i)
        shown << view->model()->index(i, 0).data().toString();
    EXPECT_TRUE(shown.contains("Soft Light") && shown.contains("Luminosity") && !shown.contains("softLight"))
        << shown.join(", ").toStdString();
    const QImage withPopUp = paintedScreen(view->window());
    const QRect seen = settledFrame(window).united(settledFrame(view->window())).adjusted(-10, -10, 10, 10);
    EXPECT_TRUE(saveScreenshot(withPopUp.copy(seen), "frame-builder-blend-popup-open"));

    const QModelIndex softLight = view->model()->index(blend->findText("Soft Light"), 0);
    view->scrollTo(softLight);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(softLight).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return builder.editor().frame()->shades().first()->blendMode() == "softLight"; }, DesktopTimeout));
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(blend->currentText(), "Soft Light");
}

namespace {

// What the X server shows of a widget once its window is painted, a window with its frame.
QImage onScreen(QWidget *widget)
{
    const QImage screen = paintedScreen(widget->window());
    return screen.copy(widget->isWindow() ? settledFrame(widget) : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
}

int colourCount(const QImage &picture)
{
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    return int(colours.size());
}

// While it lives the preview is drawn at 4000 points on its longer side, so that a large sample
// takes long enough to be stopped.
struct LargePreview
{
    LargePreview() { platform::UserDefaults::standardUserDefaults()->setDouble(4000, "QSMBPreviewSize"); }
    ~LargePreview() { platform::UserDefaults::standardUserDefaults()->removeObjectForKey("QSMBPreviewSize"); }
};

// The builder's window shown and active, its first preview drawn.
void showBuilder(QSMaterialBuilder &builder)
{
    QWidget *window = builder.window();
    ASSERT_TRUE(window);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, DesktopTimeout));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !builder.isDrawingPreview() && !builder.previewImage().isNull(); }, DesktopTimeout));
}

// A sample of 12 million pixels for the preview to draw.
void startALongPreview(QSMaterialBuilder &builder)
{
    QImage sample(4000, 3000, QImage::Format_RGB32);
    sample.fill(Qt::darkCyan);
    builder.setSamplePicture(sample);
}

// A key pressed on the keyboard of the display, the window made the active one first.
void pressKey(QWidget *window, const QString &key)
{
    xdotool(qEnvironmentVariable("DISPLAY"), {"windowactivate", "--sync", QString::number(window->winId()), "key", key});
}

} // namespace

// While a preview of some 26 million pixels is drawn, the window answers: the pointer moves
// through it, the Cancel button shown after a moment takes a click at its centre, the render
// stops before its picture is made, and the line below the preview says so on the screen. Escape
// stops such a preview too, without closing the window.
TEST(MaterialBuilderOnDesktop, CancelOrEscapeStopsALongPreview)
{
    FOLDWISE_REQUIRE_DESKTOP();
    const LargePreview large;
    BuilderOnDesktop opened;
    QSMaterialBuilder &builder = opened.builder;
    ASSERT_NO_FATAL_FAILURE(showBuilder(builder));
    QWidget *window = builder.window();
    auto *cancel = window->findChild<QPushButton *>("cancelPreviewButton");
    auto *progress = window->findChild<QProgressBar *>("previewProgress");
    auto *status = window->findChild<QLabel *>("previewStatusText");
    ASSERT_TRUE(cancel && progress && status);

    startALongPreview(builder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cancel->isVisible() && !cancel->visibleRegion().isEmpty(); }, DesktopTimeout));
    QTest::mouseMove(window, window->rect().center());
    QTest::mouseMove(cancel, cancel->rect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return progress->value() >= 10; }, DesktopTimeout)) << "the progress moves";
    EXPECT_TRUE(builder.isDrawingPreview());
    EXPECT_TRUE(progress->isVisible());
    EXPECT_GT(colourCount(onScreen(cancel)), 2) << "the button is drawn on the screen";
    EXPECT_TRUE(saveScreenshot(onScreen(window), "frame-builder-preview-drawing"));

    QTest::mouseClick(cancel, Qt::LeftButton, {}, cancel->rect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !builder.isDrawingPreview(); }, DesktopTimeout));
    EXPECT_TRUE(builder.previewImage().isNull()) << "stopped before its picture was made";
    EXPECT_EQ(status->text(), "The preview was stopped; change the frame to draw it again.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->isVisible() && !cancel->isVisible(); }, DesktopTimeout));
    EXPECT_GT(colourCount(onScreen(status)), 2) << "the words are drawn on the screen";
    EXPECT_TRUE(saveScreenshot(onScreen(window), "frame-builder-preview-stopped"));

    // Escape pressed on the keyboard stops the next long preview as well, and only the preview.
    startALongPreview(builder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cancel->isVisible(); }, DesktopTimeout));
    pressKey(window, "Escape");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !builder.isDrawingPreview(); }, DesktopTimeout));
    EXPECT_TRUE(builder.previewImage().isNull()) << "stopped before its picture was made";
    EXPECT_TRUE(window->isVisible()) << "Escape closed the frame builder while it stopped a preview";
    window->close();
}

// As the desktop's utility windows: Escape, pressed on the keyboard, closes the frame builder as
// Ctrl+W does, and the screen no longer shows it where it stood.
TEST(MaterialBuilderOnDesktop, EscapeClosesTheFrameBuilderAsCtrlWDoes)
{
    FOLDWISE_REQUIRE_DESKTOP();
    for (const QString key : {"Escape", "ctrl+w"}) {
        SCOPED_TRACE(key.toStdString());
        BuilderOnDesktop opened;
        ASSERT_NO_FATAL_FAILURE(showBuilder(opened.builder));
        QWidget *window = opened.builder.window();
        const QRect frame = settledFrame(window);
        QImage before;
        ASSERT_TRUE(QTest::qWaitFor([&] { return colourCount(before = onScreen(window)) > 100; }, DesktopTimeout)) << "the screen shows it";
        if (key == "Escape")
            saveScreenshot(before, "frame-builder-before-escape");

        pressKey(window, key);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, DesktopTimeout)) << "the frame builder stays open";
        // Most of the screen where it stood shows something else once the window manager has
        // taken it away.
        QImage after;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            after = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
            int same = 0, seen = 0;
            for (int y = 0; y < after.height(); y += 4)
                for (int x = 0; x < after.width(); x += 4, ++seen)
                    same += after.pixel(x, y) == before.pixel(x, y);
            return same * 4 < seen;
        }, DesktopTimeout)) << "the screen still shows the frame builder";
        if (key == "Escape")
            saveScreenshot(after, "frame-builder-after-escape");
    }
}

namespace {

// Where the slider's knob is on the screen now.
QPoint knobCentre(const QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown = slider->orientation() == Qt::Horizontal && slider->layoutDirection() == Qt::RightToLeft;
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    const QRect knob = slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    return slider->mapToGlobal(knob.center());
}

// The left button pressed where the pointer is, until released or this goes: the display keeps a
// button down until it is let go, also when a case stops early.
class LeftButtonHeld
{
public:
    explicit LeftButtonHeld(const QString &display)
        : m_display(display)
    {
        xdotool(m_display, {"mousedown", "1"});
    }
    ~LeftButtonHeld() { release(); }
    LeftButtonHeld(const LeftButtonHeld &) = delete;
    LeftButtonHeld &operator=(const LeftButtonHeld &) = delete;

    void release()
    {
        if (std::exchange(m_held, false))
            xdotool(m_display, {"mouseup", "1"});
    }

private:
    QString m_display;
    bool m_held = true;
};

} // namespace

// The user drags a shade's intensity knob with the pointer held: while the button is down, every
// step of the drag changes the shade and the preview on the screen follows it; let go, the whole
// drag is one undo step, which brings back the intensity from before it.
TEST(MaterialBuilderOnDesktop, ThePreviewFollowsAnIntensityDragThatUndoesAsOneStep)
{
    FOLDWISE_REQUIRE_DESKTOP();
    BuilderOnDesktop opened;
    ASSERT_TRUE(opened.addBevelShadeToANewFrame());
    QSMaterialBuilder &builder = opened.builder;
    QWidget *window = builder.window();
    ASSERT_NO_FATAL_FAILURE(showBuilder(builder));
    ASSERT_EQ(builder.shadeRows().size(), 1);
    QSlider *slider = builder.shadeRows().first()->intensitySlider();
    const auto intensity = [&] { return builder.editor().frame()->shades().first()->intensity(); };
    ASSERT_EQ(intensity(), 1.0);
    ASSERT_EQ(slider->value(), slider->maximum());
    platform::UndoManager *undo = platform::undoManagerForView(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !undo->undoActionName().isEmpty(); }, DesktopTimeout));
    const QString stepBefore = undo->undoActionName();
    auto *preview = window->findChild<QWidget *>("preView");
    ASSERT_TRUE(preview);
    ASSERT_TRUE(QTest::qWaitFor([&] { return slider->isVisible() && !slider->visibleRegion().isEmpty(); }, DesktopTimeout));

    // The preview as the screen shows it once the render for the frame as it is now is painted.
    QImage drawnFor;
    const auto previewOnScreen = [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return !builder.isDrawingPreview() && !builder.previewImage().isNull() && builder.previewImage() != drawnFor;
        }, DesktopTimeout)) << "the preview is drawn again";
        drawnFor = builder.previewImage();
        const QImage screen = paintedScreen(window);
        return std::pair{screen.copy(QRect(preview->mapToGlobal(QPoint()), preview->size())), screen};
    };
    const QImage before = previewOnScreen().first;

    const QString display = qEnvironmentVariable("DISPLAY");
    const QPoint knob = knobCentre(slider);
    const int step = std::max(8, slider->width() / 5);
    xdotool(display, {"mousemove", "--sync", QString::number(knob.x()), QString::number(knob.y())});
    LeftButtonHeld button(display);
    ASSERT_TRUE(QTest::qWaitFor([&] { return slider->isSliderDown(); }, DesktopTimeout)) << "the press takes the knob";
    QList<QImage> during;
    double last = intensity();
    for (int i = 1; i <= 3; ++i) {
        xdotool(display, {"mousemove", "--sync", QString::number(knob.x() - i * step), QString::number(knob.y())});
        ASSERT_TRUE(QTest::qWaitFor([&] { return intensity() < last; }, DesktopTimeout)) << "step " << i << " changes the shade";
        EXPECT_TRUE(slider->isSliderDown()) << "the button is still held";
        last = intensity();
        const auto [shown, screen] = previewOnScreen();
        EXPECT_NE(shown, during.isEmpty() ? before : during.last()) << "step " << i << " shows on the screen";
        during << shown;
        if (i == 2) {
            EXPECT_TRUE(saveScreenshot(screen.copy(settledFrame(window)), "frame-builder-intensity-drag"));
        }
    }
    button.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !slider->isSliderDown() && !rqs::recordingInProgress(); }, DesktopTimeout))
        << "the release ends the drag";
    EXPECT_LT(intensity(), 0.6);
    EXPECT_EQ(undo->undoActionName(), "Intensity");

    ASSERT_TRUE(undo->undo());
    EXPECT_EQ(intensity(), 1.0) << "one undo brings back the intensity from before the drag";
    EXPECT_EQ(slider->value(), slider->maximum());
    EXPECT_EQ(undo->undoActionName(), stepBefore) << "the drag was one step";
    window->close();
}

// The user drags a shade's intensity and, the button still held, closes the builder with Escape;
// the release then lands elsewhere. Opened again, a change of the intensity with the keyboard is
// a step of its own: undone, the intensity is the drag's, not the one before the drag.
TEST(MaterialBuilderOnDesktop, ABuilderClosedDuringADragEndsTheDragsUndoStep)
{
    FOLDWISE_REQUIRE_DESKTOP();
    BuilderOnDesktop opened;
    ASSERT_TRUE(opened.addBevelShadeToANewFrame());
    QWidget *window = opened.builder.window();
    ASSERT_NO_FATAL_FAILURE(showBuilder(opened.builder));
    const auto shade = [&] { return opened.builder.editor().frame()->shades().first(); };
    const auto knobOnScreen = [&] {
        QSlider *slider = opened.builder.shadeRows().first()->intensitySlider();
        return QTest::qWaitFor([&] { return slider->isVisible() && !slider->visibleRegion().isEmpty(); }, DesktopTimeout)
                   ? knobCentre(slider)
                   : QPoint(-1, -1);
    };
    const QPoint knob = knobOnScreen();
    ASSERT_NE(knob, QPoint(-1, -1));

    // Pressed on the knob and dragged a third of the slider to the left, the button still held.
    const QString display = qEnvironmentVariable("DISPLAY");
    xdotool(display, {"mousemove", "--sync", QString::number(knob.x()), QString::number(knob.y())});
    LeftButtonHeld button(display);
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.builder.shadeRows().first()->intensitySlider()->isSliderDown(); },
                                DesktopTimeout))
        << "the press takes the knob";
    xdotool(display, {"mousemove", "--sync", QString::number(knob.x() - window->width() / 12), QString::number(knob.y())});
    ASSERT_TRUE(QTest::qWaitFor([&] { return shade()->intensity() < 0.9; }, DesktopTimeout)) << "the drag changes the shade";
    ASSERT_TRUE(rqs::recordingInProgress());
    // Escape stops a preview under way first; with none, it closes the builder.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened.builder.isDrawingPreview(); }, DesktopTimeout));
    const double dragged = shade()->intensity();
    pressKey(window, "Escape");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, DesktopTimeout)) << "Escape closes the builder";
    xdotool(display, {"mousemove", "--sync", "5", "5"});
    button.release();
    EXPECT_FALSE(rqs::recordingInProgress()) << "the drag ended with its window";

    // Opened again, the knob is moved one step with the keyboard.
    ASSERT_NO_FATAL_FAILURE(showBuilder(opened.builder));
    ASSERT_NE(knobOnScreen(), QPoint(-1, -1));
    QWidget *slider = opened.builder.shadeRows().first()->intensitySlider();
    slider->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return slider->hasFocus(); }, DesktopTimeout));
    pressKey(window, "Left");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shade()->intensity() < dragged; }, DesktopTimeout)) << "the key changes the shade";
    EXPECT_TRUE(saveScreenshot(onScreen(window), "frame-builder-reopened-after-escape"));
    QCoreApplication::processEvents();
    platform::UndoManager *undo = platform::undoManagerForView(window);
    ASSERT_TRUE(undo->undo());
    EXPECT_EQ(shade()->intensity(), dragged) << "the key's change undone alone, back to the drag's intensity";
    ASSERT_TRUE(undo->undo());
    EXPECT_EQ(shade()->intensity(), 1.0) << "then the drag";
    window->close();
}
