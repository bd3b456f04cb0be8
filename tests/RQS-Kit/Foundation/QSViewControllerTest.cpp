#include "RQS-Kit/Foundation/QSViewController.h"
#include "platform/foundation/Log.h"
#include "platform/ui/View.h"

#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int waitLimitMs = 5000;

const char *const panelFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <widget class="platform::View" name="view"/>
</ui>
)";

class PanelController : public QSViewController
{
    Q_OBJECT
};

// Only its superclass has a file; a view controller does not look there.
class FancyPanelController : public PanelController
{
    Q_OBJECT
};

} // namespace

TEST(QSViewController, LoadsTheFileOfItsOwnNameAndClearingTheViewDropsWhatItOwns)
{
    QTemporaryDir folder;
    ASSERT_FALSE(PdfFixture::write(folder.path(), "PanelController.ui", panelFile).isEmpty());
    MainBundleScope scope(folder.path());
    PanelController controller;
    EXPECT_NE(qobject_cast<platform::View *>(controller.view()), nullptr);

    FancyPanelController fancy;
    platform::LogCapture log;
    EXPECT_EQ(fancy.view(), nullptr) << "the name is the class's own even without a file";
    EXPECT_TRUE(log.contains("Warning: FancyPanelController could not load view from " + folder.path()
                             + " in FancyPanelController"));

    // Clearing the view drops what it owns, but a view put into a window belongs to the window.
    const QPointer<QWidget> view = controller.view();
    const QPointer<QObject> extra = new QObject;
    controller.setTopLevelObjects({extra});
    controller.setView(nullptr);
    EXPECT_FALSE(controller.isViewLoaded());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view && !extra; }, waitLimitMs));

    QWidget window;
    QPointer<QWidget> adopted;
    {
        PanelController owner;
        adopted = owner.view();
        adopted->setParent(&window);
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(adopted.isNull());
}

#include "QSViewControllerTest.moc"
