#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSFrameEditor.h"
#include "RQS-Kit/Effects/QSMaterialBuilder.h"
#include "RQS-Kit/Effects/QSShadeRow.h"
#include "platform/ui/Window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "support/Desktop.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

// The user opens a shade's blend pop-up with a click, finds the modes by their display names and
// clicks one, which the frame's shade then blends with.
TEST(MaterialBuilderOnDesktop, AClickedBlendModeIsTheShadesNewMode)
{
    FOLDWISE_REQUIRE_DESKTOP();
    rqs::registerKitClasses();
    QTemporaryDir dir;
    QSFrameCatalog user(QSFrameCatalog::framesBundlePath(), dir.filePath("UserFrames.plist"));
    QSFrameCatalog system(QSFrameCatalog::framesBundlePath(), QString());
    QSMaterialBuilder builder(user, system);
    QWidget *window = builder.window();
    ASSERT_TRUE(window);
    builder.addUserFrame(nullptr);
    auto *newShade = window->findChild<QComboBox *>("newShadeButton");
    newShade->setCurrentIndex(newShade->findText("Bevel", Qt::MatchContains));
    ASSERT_TRUE(builder.addNewShade(newShade));
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_EQ(builder.shadeRows().size(), 1);
    QComboBox *blend = builder.shadeRows().first()->blendButton();
    ASSERT_TRUE(QTest::qWaitFor([&] { return blend->isVisible() && !blend->visibleRegion().isEmpty(); }));

    QTest::mouseClick(blend, Qt::LeftButton, {}, blend->rect().center());
    QAbstractItemView *view = blend->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible(); }, 3000)) << "a click opens the pop-up";
    // A release soon after the opening press is taken as the end of that press, not as a choice.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QStringList shown;
    for (int i = 0; i < view->model()->rowCount(); ++i)
        shown << view->model()->index(i, 0).data().toString();
    EXPECT_TRUE(shown.contains("Soft Light") && shown.contains("Luminosity") && !shown.contains("softLight"))
        << shown.join(", ").toStdString();
    const QRect seen = window->frameGeometry().united(view->window()->geometry()).adjusted(-10, -10, 10, 10);
    EXPECT_TRUE(saveScreenshot(window->screen()->grabWindow(0, seen.x(), seen.y(), seen.width(), seen.height()).toImage(),
                               "frame-builder-blend-popup-open"));

    const QModelIndex softLight = view->model()->index(blend->findText("Soft Light"), 0);
    view->scrollTo(softLight);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(softLight).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return builder.editor().frame()->shades().first()->blendMode() == "softLight"; }, 3000));
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(blend->currentText(), "Soft Light");
}
