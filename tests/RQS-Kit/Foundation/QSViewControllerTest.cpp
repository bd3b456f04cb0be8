#include "RQS-Kit/Foundation/QSViewController.h"
#include "platform/foundation/Log.h"
#include "platform/ui/View.h"

#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int waitLimitMs = 5000;

const char *const panelFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <widget class="platform::View" name="view">
  <widget class="QLabel" name="label">
   <property name="bind:text" stdset="0"><string>owner.message</string></property>
  </widget>
 </widget>
</ui>
)";

class PanelController : public QSViewController
{
    Q_OBJECT
    Q_PROPERTY(QLabel *label MEMBER label)
    Q_PROPERTY(QString message MEMBER message NOTIFY messageChanged)

public:
    QLabel *label = nullptr;
    QString message = "Printed";

signals:
    void messageChanged();
};

// Only its superclass has a file; a view controller does not look there.
class FancyPanelController : public PanelController
{
    Q_OBJECT
};

class QSViewControllerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(PdfFixture::write(folder.path(), "PanelController.ui", panelFile).isEmpty()); }

    QTemporaryDir folder;
    MainBundleScope scope{folder.path()};
};

} // namespace

TEST_F(QSViewControllerTest, LoadsTheFileOfItsOwnNameWhenTheViewIsAskedFor)
{
    PanelController controller;
    EXPECT_FALSE(controller.isViewLoaded());
    ASSERT_NE(qobject_cast<platform::View *>(controller.view()), nullptr);
    ASSERT_NE(controller.label, nullptr);
    EXPECT_EQ(controller.label->text(), "Printed");
}

TEST_F(QSViewControllerTest, TheNameIsTheClasssOwnEvenWithoutAFile)
{
    FancyPanelController controller;
    platform::LogCapture log;
    EXPECT_EQ(controller.view(), nullptr);
    EXPECT_TRUE(log.contains("Warning: FancyPanelController could not load view from " + folder.path()
                             + " in FancyPanelController"));
}

TEST_F(QSViewControllerTest, ClearingTheViewDropsWhatItOwnsButAViewPutIntoAWindowBelongsToTheWindow)
{
    PanelController controller;
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

TEST_F(QSViewControllerTest, TheArchivedFormRoundTrips)
{
    PanelController original;
    original.initWithNibName("PanelController", platform::Bundle::bundleWithPath(folder.path()));
    QWidget *view = original.view();
    auto *extra = new QObject(&original);
    original.setTopLevelObjects({extra});

    platform::KeyedArchive archive;
    original.encodeWithCoder(archive);

    PanelController copy;
    copy.initWithCoder(archive);
    // The name, bundle and objects go through the nib code the window controller's round trip covers.
    EXPECT_EQ(copy.view(), view);
    EXPECT_EQ(copy.topLevelObjects(), QList<QObject *>{extra});
}

#include "QSViewControllerTest.moc"
