#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/UserDefaultsController.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

using namespace platform;

namespace {

// Stands in for a check box and a type pop-up bound to per-printer defaults.
class PrinterControls : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool value MEMBER m_value NOTIFY valueChanged)
    Q_PROPERTY(int selectedIndex MEMBER m_selectedIndex NOTIFY selectedIndexChanged)

public:
    bool m_value = true;
    int m_selectedIndex = -1;

signals:
    void valueChanged();
    void selectedIndexChanged();
};

class UserDefaultsControllerTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    UserDefaults defaults{dir.filePath("Foldwise.conf")};
    UserDefaultsController controller{&defaults};
};

} // namespace

TEST_F(UserDefaultsControllerTest, ValuesPathsReadAndWriteTheDefaults)
{
    defaults.registerDefaults({{"AutoShow-FAQ-UpsideDownPrint", true}});
    EXPECT_EQ(controller.valueForKeyPath("values.AutoShow-FAQ-UpsideDownPrint"), QVariant(true));
    EXPECT_TRUE(controller.setValueForKeyPath("values.AutoShow-FAQ-UpsideDownPrint", false));
    EXPECT_FALSE(defaults.boolForKey("AutoShow-FAQ-UpsideDownPrint"));
    EXPECT_TRUE(controller.setValueForKeyPath("values.AutoShow-FAQ-UpsideDownPrint", QVariant()));
    EXPECT_TRUE(defaults.boolForKey("AutoShow-FAQ-UpsideDownPrint")) << "removed: the registered value again";

    // The per-printer reads join name and key with a point; the writes through the controller must
    // reach the same stored value however many points the name itself has.
    const QString printer = "HP.LaserJet 4.2";
    EXPECT_TRUE(controller.setValueForKeyPath("values." + printer + ".printerType", 2));
    EXPECT_EQ(defaults.integerForKey(printer + ".printerType"), 2);
    defaults.setBool(true, printer + ".manualDuplexRotateBacksides");
    EXPECT_EQ(KeyValue::valueForKey(&controller, "values." + printer + ".manualDuplexRotateBacksides"), QVariant(true));

    EXPECT_EQ(UserDefaultsController::sharedUserDefaultsController()->defaults(), UserDefaults::standardUserDefaults());
}

TEST_F(UserDefaultsControllerTest, EveryChangeOfADefaultIsAnnouncedAsItsPath)
{
    QSignalSpy spy(&controller, &UserDefaultsController::keyValueChanged);
    defaults.setInteger(1, "Office.printerType");
    controller.setValueForKeyPath("values.rate.neverAsk", true);
    defaults.setInteger(1, "Office.printerType");
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), "values.Office.printerType");
    EXPECT_EQ(spy.at(1).at(0).toString(), "values.rate.neverAsk");
}

TEST_F(UserDefaultsControllerTest, BoundControlsFollowTheirDefault)
{
    PrinterControls controls;
    ASSERT_TRUE(KeyValue::bind(&controls, "value", &controller, "values.Office.manualDuplexTurnSheets"));
    EXPECT_FALSE(controls.m_value) << "a default never saved reads as off";
    ASSERT_TRUE(KeyValue::bind(&controls, "selectedIndex", &controller, "values.Office.printerType"));
    EXPECT_EQ(controls.m_selectedIndex, 0);

    defaults.setBool(true, "Office.manualDuplexTurnSheets");
    controller.setValueForKeyPath("values.Office.printerType", 2);
    defaults.setInteger(1, "Other.printerType");
    EXPECT_TRUE(controls.m_value);
    EXPECT_EQ(controls.m_selectedIndex, 2);

    // A control writes its edits back through the source its binding names.
    const KeyValueBinding *binding = KeyValue::binding(&controls, "selectedIndex");
    ASSERT_NE(binding, nullptr);
    KeyValue::setValue(binding->source(), binding->sourceKey(), 1);
    EXPECT_EQ(defaults.integerForKey("Office.printerType"), 1);
    EXPECT_EQ(controls.m_selectedIndex, 1);
}

TEST_F(UserDefaultsControllerTest, PathsOutsideValuesAreRefused)
{
    LogCapture log;
    EXPECT_FALSE(controller.valueForKeyPath("printerType").isValid());
    EXPECT_FALSE(controller.setValueForKeyPath("values.", 1));
    EXPECT_FALSE(KeyValue::setValue(&controller, "selection.printerType", 1));
    EXPECT_TRUE(defaults.dictionaryRepresentation().isEmpty());
    EXPECT_EQ(log.lines(), (QStringList{"Warning: Key path \"printerType\" does not name a user default",
                                        "Warning: Key path \"values.\" does not name a user default",
                                        "Warning: Key path \"selection.printerType\" does not name a user default"}));
}

#include "UserDefaultsControllerTest.moc"
