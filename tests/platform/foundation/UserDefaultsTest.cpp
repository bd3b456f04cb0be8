#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

using platform::UserDefaults;

namespace {

class UserDefaultsTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    // QSettings shares what it parsed between instances on the same file within one process, so a
    // copy of the file is what proves that the text on disk carries everything.
    std::unique_ptr<UserDefaults> reopenedCopy(UserDefaults &written, const QString &name)
    {
        EXPECT_TRUE(written.synchronize());
        const QString copy = path(name);
        EXPECT_TRUE(QFile::copy(written.fileName(), copy));
        return std::make_unique<UserDefaults>(copy);
    }

    QString fileText(const QString &file) const
    {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll());
    }

    QTemporaryDir dir;
};

struct TypedValue { const char *key; QVariant value; };

} // namespace

TEST_F(UserDefaultsTest, ValuesAndKeysRoundTripExactlyThroughReadableIniText)
{
    const QList<TypedValue> values = {
        {"flagOn", true}, {"flagOff", false}, {"count", 42}, {"negative", -7}, {"large", qlonglong(1) << 40},
        {"zoom", 1.25}, {"wholeDouble", 2.0}, {"tenth", 0.1}, {"name", "Helvetica"}, {"numberText", "12"},
        {"trueText", "true"}, {"atText", "@Bool(true)"}, {"emptyText", ""}, {"printSettings", QByteArray("\x00\x01\xffPDF", 6)},
        {"dictionary", QVariantMap{{"x", 1}, {"y", 2.5}, {"name", "n"}, {"on", true}}},
        {"array", QVariantList{1, "two", 3.5, false}}, {"oneItemArray", QVariantList{"only"}}, {"emptyArray", QVariantList{}},
    };
    const QStringList keys = {"HP LaserJet.printerType", "rate.neverAsk", "a/b", "a%2Fb", "a\\b", "/leading",
                              "trailing/", "a//b", "100%", "Ünïcödé.key", "semi;colon#=x", "General"};
    UserDefaults written(path("Foldwise.conf"));
    QStringList expectedKeys = keys;
    for (const TypedValue &v : values) {
        ASSERT_TRUE(written.setObject(v.value, v.key)) << v.key;
        expectedKeys << v.key;
    }
    for (int i = 0; i < keys.size(); ++i)
        written.setInteger(i, keys.at(i));

    auto reread = reopenedCopy(written, "copy.conf");
    for (const TypedValue &v : values) {
        const QVariant back = reread->objectForKey(v.key);
        EXPECT_EQ(back.typeId(), v.value.typeId()) << v.key << " came back as " << back.typeName();
        EXPECT_EQ(back, v.value) << v.key;
    }
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_EQ(reread->integerForKey(keys.at(i)), i) << keys.at(i).toStdString();
    QStringList stored = reread->dictionaryRepresentation().keys();
    stored.sort();
    expectedKeys.sort();
    EXPECT_EQ(stored, expectedKeys);

    const QString text = fileText(written.fileName());
    for (const char *line :
         {"flagOn=@@Bool(true)", "HP%20LaserJet.printerType=@@Integer(0)", "zoom=@@Double(1.25)", "name=Helvetica"})
        EXPECT_TRUE(text.contains(line)) << line << " not in " << text.toStdString();
}

TEST_F(UserDefaultsTest, RegisteredValuesAnswerButAreNeverWritten)
{
    UserDefaults defaults(path("Foldwise.conf"));
    defaults.registerDefaults({{"ShowWelcomeAtStart", true}, {"zoom", 1.0}});
    EXPECT_TRUE(defaults.boolForKey("ShowWelcomeAtStart"));
    EXPECT_EQ(defaults.objectForKey("zoom"), QVariant(1.0));

    defaults.setDouble(2.5, "zoom");
    EXPECT_EQ(defaults.doubleForKey("zoom"), 2.5);
    EXPECT_EQ(defaults.dictionaryRepresentation(), (QVariantMap{{"ShowWelcomeAtStart", true}, {"zoom", 2.5}}));

    auto reread = reopenedCopy(defaults, "copy.conf");
    EXPECT_FALSE(reread->objectForKey("ShowWelcomeAtStart").isValid());
    EXPECT_EQ(reread->doubleForKey("zoom"), 2.5);
    EXPECT_FALSE(fileText(defaults.fileName()).contains("ShowWelcomeAtStart"));

    defaults.removeObjectForKey("zoom");
    EXPECT_EQ(defaults.doubleForKey("zoom"), 1.0) << "the registered value shows again";
}

TEST_F(UserDefaultsTest, TypedGettersReadTextOfAHandEditedFileAndZeroForOtherTypes)
{
    const QString file = path("hand.conf");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[General]\n"
                "flag=true\nyes=YES\nno=false\none=1\nzero=0\n"
                "count=12\nratio=0.5\nfraction=1.7\nspaced= 8 \n"
                "text=hello\ndamaged=@Integer(x)\nsingleAt=@Bool(true)\n");
    }
    UserDefaults defaults(file);
    struct Row { const char *key; bool asBool; qint64 asInteger; double asDouble; };
    const QList<Row> rows = {
        {"flag", true, 0, 0.0},    {"yes", true, 0, 0.0},     {"no", false, 0, 0.0},
        {"one", true, 1, 1.0},     {"zero", false, 0, 0.0},   {"count", true, 12, 12.0},
        {"ratio", true, 0, 0.5},   {"fraction", true, 1, 1.7}, {"spaced", true, 8, 8.0},
        {"text", false, 0, 0.0},   {"damaged", false, 0, 0.0}, {"missing", false, 0, 0.0},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(defaults.boolForKey(row.key), row.asBool) << row.key;
        EXPECT_EQ(defaults.integerForKey(row.key), row.asInteger) << row.key;
        EXPECT_DOUBLE_EQ(defaults.doubleForKey(row.key), row.asDouble) << row.key;
    }
    EXPECT_EQ(defaults.stringForKey("text"), "hello");
    EXPECT_EQ(defaults.objectForKey("damaged"), QVariant("@Integer(x)")) << "damaged typed text is kept as text";
    EXPECT_EQ(defaults.objectForKey("singleAt"), QVariant(true)) << "typed text written by hand";

    // Values of another type give the getter's zero value.
    defaults.setObject(QVariantMap{{"a", 1}}, "map");
    defaults.setObject(QByteArray("data"), "data");
    defaults.setInteger(3, "number");
    defaults.setBool(true, "typedFlag");
    EXPECT_EQ(defaults.stringForKey("number"), "3");
    EXPECT_EQ(defaults.integerForKey("typedFlag"), 1);
    EXPECT_TRUE(defaults.dataForKey("map").isEmpty());
    EXPECT_TRUE(defaults.dictionaryForKey("data").isEmpty());
    EXPECT_TRUE(defaults.arrayForKey("count").isEmpty());
    EXPECT_TRUE(defaults.stringForKey("map").isNull());
    EXPECT_EQ(defaults.integerForKey("map"), 0);
    EXPECT_FALSE(defaults.boolForKey("data"));
    EXPECT_EQ(defaults.dictionaryForKey("map"), (QVariantMap{{"a", 1}}));
    EXPECT_EQ(defaults.dataForKey("data"), QByteArray("data"));
}

TEST_F(UserDefaultsTest, EveryEffectiveChangeIsAnnouncedOnce)
{
    UserDefaults defaults(path("Foldwise.conf"));
    QSignalSpy spy(&defaults, &UserDefaults::valueChanged);
    QObject observer;
    QStringList posted;
    platform::NotificationCenter::defaultCenter()->addObserver(
        &observer, UserDefaults::DidChangeNotification, &defaults,
        [&](const platform::Notification &n) { posted << n.userInfo.value("key").toString(); });

    defaults.registerDefaults({{"zoom", 1.0}});      // nothing saved: the effective value changes
    defaults.setDouble(1.0, "zoom");                 // saved equals registered: no change
    defaults.setDouble(2.0, "zoom");                 // change
    defaults.setDouble(2.0, "zoom");                 // same again: no change
    defaults.registerDefaults({{"zoom", 3.0}});      // hidden by the saved value: no change
    defaults.removeObjectForKey("zoom");             // back to the registered 3.0: change
    defaults.removeObjectForKey("zoom");             // nothing to remove: no change
    defaults.setObject(QVariant(), "zoom");          // same as removing: no change
    defaults.setObject(QVariantMap{{"a", 1}}, "map"); // change
    defaults.setObject(QVariantMap{{"a", 1}}, "map"); // equal map: no change

    const QStringList expected = {"zoom", "zoom", "zoom", "map"};
    EXPECT_EQ(posted, expected);
    QStringList signalled;
    for (const QList<QVariant> &arguments : spy)
        signalled << arguments.at(0).toString();
    EXPECT_EQ(signalled, expected);
}

TEST_F(UserDefaultsTest, RefusesWhatItCannotStoreAndReportsAFileThatCannotBeWritten)
{
    UserDefaults defaults(path("Foldwise.conf"));
    platform::LogCapture log;
    QObject object;
    EXPECT_FALSE(defaults.setObject(QVariant::fromValue(&object), "object"));
    EXPECT_FALSE(defaults.setObject(QVariantMap{{"inner", QVariant::fromValue(&object)}}, "object"));
    EXPECT_FALSE(defaults.setObject(1, QString()));
    EXPECT_FALSE(defaults.objectForKey("object").isValid());
    EXPECT_TRUE(log.contains("Warning: User default \"object\" was not saved"));
    EXPECT_TRUE(log.contains("Warning: A user default without a key was not saved"));

    QFile blocker(path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    UserDefaults blocked(path("blocker/Foldwise.conf"));
    blocked.setBool(true, "flag");
    EXPECT_FALSE(blocked.synchronize());
    EXPECT_TRUE(log.contains("Error: Could not save the user defaults"));
}

TEST_F(UserDefaultsTest, StandardDefaultsLiveInTheUsersConfigFolder)
{
    const QString expected = QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("Foldwise/Foldwise.conf");
    EXPECT_EQ(UserDefaults::standardUserDefaults()->fileName(), expected);
    EXPECT_EQ(UserDefaults::standardUserDefaults(), UserDefaults::standardUserDefaults());
}
