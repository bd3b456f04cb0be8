#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/UserDefaultsController.h"

#include "support/FullDisk.h"
#include "support/PdfFixture.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
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

class UserDefaultsTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    // QSettings shares what it parsed between instances on the same file within one process, so a
    // copy of the file is what proves that the text on disk carries everything.
    std::unique_ptr<UserDefaults> reopenedCopy()
    {
        EXPECT_TRUE(defaults.synchronize());
        EXPECT_TRUE(QFile::copy(defaults.fileName(), path("copy.conf")));
        return std::make_unique<UserDefaults>(path("copy.conf"));
    }

    QTemporaryDir dir;
    UserDefaults defaults{dir.filePath("Foldwise.conf")};
    UserDefaultsController controller{&defaults};
};

} // namespace

TEST_F(UserDefaultsTest, ValuesAndKeysRoundTripExactlyThroughReadableIniText)
{
    const struct { const char *key; QVariant value; } values[] = {
        {"flagOn", true}, {"flagOff", false}, {"HP LaserJet.printerType", 0}, {"large", qlonglong(1) << 40},
        {"zoom", 1.25}, {"wholeDouble", 2.0}, {"name", "Helvetica"}, {"numberText", "12"}, {"atText", "@Bool(true)"},
        {"printSettings", QByteArray("\x00\x01\xffPDF", 6)}, {"dictionary", QVariantMap{{"x", 1}, {"name", "n"}}},
        {"array", QVariantList{1, "two", 3.5, false}}, {"a/b", 1}, {"a%2Fb", 2}, {"a\\b", 3},
    };
    QStringList expectedKeys;
    for (const auto &v : values) {
        ASSERT_TRUE(defaults.setObject(v.value, v.key)) << v.key;
        expectedKeys << v.key;
    }
    auto reread = reopenedCopy();
    for (const auto &v : values) {
        const QVariant back = reread->objectForKey(v.key);
        EXPECT_EQ(back.typeId(), v.value.typeId()) << v.key << " came back as " << back.typeName();
        EXPECT_EQ(back, v.value) << v.key;
    }
    QStringList stored = reread->dictionaryRepresentation().keys();
    stored.sort();
    expectedKeys.sort();
    EXPECT_EQ(stored, expectedKeys);

    const QString text = QString::fromUtf8(PdfFixture::read(defaults.fileName()));
    for (const char *line :
         {"flagOn=@@Bool(true)", "HP%20LaserJet.printerType=@@Integer(0)", "zoom=@@Double(1.25)", "name=Helvetica"})
        EXPECT_TRUE(text.contains(line)) << line << " not in " << text.toStdString();
}

TEST_F(UserDefaultsTest, RegisteredValuesAnswerButAreNeverWrittenAndEveryEffectiveChangeIsAnnouncedOnce)
{
    QSignalSpy paths(&controller, &UserDefaultsController::keyValueChanged);
    QObject observer;
    QStringList posted;
    NotificationCenter::defaultCenter()->addObserver(
        &observer, UserDefaults::DidChangeNotification, &defaults,
        [&](const Notification &n) { posted << n.userInfo.value("key").toString(); });

    defaults.registerDefaults({{"ShowWelcomeAtStart", true}, {"zoom", 1.0}}); // nothing saved: both change
    defaults.setDouble(1.0, "zoom");                                          // saved equals registered: no change
    EXPECT_TRUE(controller.setValueForKeyPath("values.zoom", 2.5));           // change
    defaults.registerDefaults({{"zoom", 3.0}});                               // hidden by the saved value: no change
    EXPECT_EQ(defaults.dictionaryRepresentation(), (QVariantMap{{"ShowWelcomeAtStart", true}, {"zoom", 2.5}}));
    auto reread = reopenedCopy();
    EXPECT_FALSE(reread->objectForKey("ShowWelcomeAtStart").isValid());
    EXPECT_EQ(reread->doubleForKey("zoom"), 2.5);

    EXPECT_TRUE(controller.setValueForKeyPath("values.zoom", QVariant())); // back to the registered 3.0: change
    defaults.removeObjectForKey("zoom");                                     // nothing to remove: no change
    EXPECT_EQ(controller.valueForKeyPath("values.zoom"), QVariant(3.0));

    EXPECT_EQ(posted, (QStringList{"ShowWelcomeAtStart", "zoom", "zoom", "zoom"}));
    QStringList announced;
    for (const QList<QVariant> &arguments : paths)
        announced << arguments.at(0).toString();
    EXPECT_EQ(announced, (QStringList{"values.ShowWelcomeAtStart", "values.zoom", "values.zoom", "values.zoom"}));
}

TEST_F(UserDefaultsTest, TypedGettersReadTextOfAHandEditedFileAndZeroForOtherTypes)
{
    UserDefaults hand(PdfFixture::write(dir.path(), "hand.conf",
                                        "[General]\nyes=YES\nratio=0.5\nspaced= 8 \ntext=hello\ndamaged=@Integer(x)\n"));
    const struct { const char *key; bool asBool; qint64 asInteger; double asDouble; } rows[] = {
        {"yes", true, 0, 0.0}, {"ratio", true, 0, 0.5}, {"spaced", true, 8, 8.0}, {"text", false, 0, 0.0},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(hand.boolForKey(row.key), row.asBool) << row.key;
        EXPECT_EQ(hand.integerForKey(row.key), row.asInteger) << row.key;
        EXPECT_DOUBLE_EQ(hand.doubleForKey(row.key), row.asDouble) << row.key;
    }
    EXPECT_EQ(hand.objectForKey("damaged"), QVariant("@Integer(x)")) << "damaged typed text is kept as text";

    // Values of another type give the getter's zero value.
    hand.setObject(QByteArray("data"), "data");
    hand.setInteger(3, "number");
    hand.setBool(true, "typedFlag");
    EXPECT_EQ(hand.stringForKey("number"), "3");
    EXPECT_EQ(hand.integerForKey("typedFlag"), 1);
    EXPECT_TRUE(hand.stringForKey("data").isNull());
    EXPECT_TRUE(hand.dictionaryForKey("data").isEmpty());
    EXPECT_TRUE(hand.arrayForKey("text").isEmpty());
}

TEST_F(UserDefaultsTest, RefusesWhatItCannotStoreOrPathsOutsideValues)
{
    LogCapture log;
    EXPECT_FALSE(controller.valueForKeyPath("printerType").isValid());
    EXPECT_FALSE(controller.setValueForKeyPath("values.", 1));
    QObject object;
    EXPECT_FALSE(defaults.setObject(QVariantMap{{"inner", QVariant::fromValue(&object)}}, "object"));
    EXPECT_FALSE(defaults.setObject(1, QString()));
    EXPECT_TRUE(defaults.dictionaryRepresentation().isEmpty());
    EXPECT_EQ(log.lines(), (QStringList{"Warning: Key path \"printerType\" does not name a user default",
                                        "Warning: Key path \"values.\" does not name a user default",
                                        "Warning: User default \"object\" was not saved: values of type QVariantMap "
                                        "cannot be stored",
                                        "Warning: A user default without a key was not saved"}));

}

// A save that fails says why, as the system tells it: a folder that is a file, a full disk.
TEST_F(UserDefaultsTest, ASaveThatFailsSaysWhy)
{
    ASSERT_FALSE(PdfFixture::write(dir.path(), "blocker", "").isEmpty());
    ASSERT_TRUE(QDir(dir.path()).mkdir("full"));
    const FullDisk full(path("full"), "other", "old");
    struct Case
    {
        QString file;
        QString reason;
    };
    QList<Case> cases{{path("blocker/Foldwise.conf"), "Not a directory"}};
    if (full.mounted)
        cases.append({path("full/Foldwise.conf"), "the disk is full"});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        LogCapture log;
        UserDefaults blocked(c.file);
        blocked.setObject(QString(8192, QLatin1Char('x')), "long");
        EXPECT_FALSE(blocked.synchronize());
        EXPECT_EQ(log.lines(), QStringList{QStringLiteral("Error: Could not save the user defaults to %1: %2").arg(c.file, c.reason)});
        EXPECT_FALSE(QFile::exists(c.file + ".probe"));
    }
}

TEST_F(UserDefaultsTest, StandardDefaultsLiveInTheUsersConfigFolderAndBackTheSharedController)
{
    const QString expected = QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("Foldwise/Foldwise.conf");
    EXPECT_EQ(UserDefaults::standardUserDefaults()->fileName(), expected);
    EXPECT_EQ(UserDefaultsController::sharedUserDefaultsController()->defaults(), UserDefaults::standardUserDefaults());
}

// The per-printer reads join name and key with a point; reads and writes through the controller must reach the
// same stored value however many points the name itself has.
TEST_F(UserDefaultsTest, BoundControlsFollowTheirDefaultAndWriteBackThroughIt)
{
    PrinterControls controls;
    ASSERT_TRUE(KeyValue::bind(&controls, "value", &controller, "values.HP.LaserJet 4.2.manualDuplexTurnSheets"));
    EXPECT_FALSE(controls.m_value) << "a default never saved reads as off";
    ASSERT_TRUE(KeyValue::bind(&controls, "selectedIndex", &controller, "values.HP.LaserJet 4.2.printerType"));

    defaults.setBool(true, "HP.LaserJet 4.2.manualDuplexTurnSheets");
    defaults.setInteger(2, "HP.LaserJet 4.2.printerType");
    defaults.setInteger(1, "Other.printerType");
    EXPECT_TRUE(controls.m_value);
    EXPECT_EQ(controls.m_selectedIndex, 2);

    const KeyValueBinding *binding = KeyValue::binding(&controls, "selectedIndex");
    ASSERT_NE(binding, nullptr);
    KeyValue::setValue(binding->source(), binding->sourceKey(), 1);
    EXPECT_EQ(defaults.integerForKey("HP.LaserJet 4.2.printerType"), 1);
}

#include "UserDefaultsTest.moc"
