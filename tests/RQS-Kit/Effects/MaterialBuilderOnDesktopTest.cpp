#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSFrameEditor.h"
#include "RQS-Kit/Effects/QSMaterialBuilder.h"
#include "RQS-Kit/Effects/QSShadeRow.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "support/Desktop.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace {

// The frame builder over the shipped frames and a user file of its own.
struct BuilderOnDesktop
{
    BuilderOnDesktop() { rqs::registerKitClasses(); }

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
    QSMaterialBuilder &builder = opened.builder;
    QWidget *window = builder.window();
    ASSERT_TRUE(window);
    builder.addUserFrame(nullptr);
    auto *newShade = window->findChild<QComboBox *>("newShadeButton");
    newShade->setCurrentIndex(newShade->findText("Bevel", Qt::MatchContains));
    ASSERT_TRUE(builder.addNewShade(newShade));
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

} // namespace

// While a preview of some 26 million pixels is drawn, the window answers: the pointer moves
// through it, the Cancel button shown after a moment takes a click at its centre, the render
// stops before its picture is made, and the line below the preview says so on the screen.
TEST(MaterialBuilderOnDesktop, CancelStopsALongPreview)
{
    FOLDWISE_REQUIRE_DESKTOP();
    auto *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->setDouble(4000, "QSMBPreviewSize");
    const std::shared_ptr<void> restore(nullptr, [defaults](void *) { defaults->removeObjectForKey("QSMBPreviewSize"); });
    BuilderOnDesktop opened;
    QSMaterialBuilder &builder = opened.builder;
    QWidget *window = builder.window();
    ASSERT_TRUE(window);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, DesktopTimeout));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !builder.isDrawingPreview(); }, DesktopTimeout));
    auto *cancel = window->findChild<QPushButton *>("cancelPreviewButton");
    auto *progress = window->findChild<QProgressBar *>("previewProgress");
    auto *status = window->findChild<QLabel *>("previewStatusText");
    ASSERT_TRUE(cancel && progress && status);

    QImage sample(4000, 3000, QImage::Format_RGB32);
    sample.fill(Qt::darkCyan);
    builder.setSamplePicture(sample);
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
    window->close();
}
