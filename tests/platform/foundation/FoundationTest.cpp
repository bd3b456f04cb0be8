#include "platform/foundation/Bundle.h"
#include "platform/foundation/CodePoint.h"
#include "platform/foundation/DoubleValue.h"
#include "platform/foundation/Invocation.h"
#include "platform/foundation/KeyedArchive.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/TempFolder.h"
#include "platform/foundation/ValueTransformer.h"

#include "support/QtPrinters.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QLoggingCategory>
#include <QPoint>
#include <QTemporaryDir>
#include <QTimeZone>

#include <limits>
#include <memory>

using namespace platform;

namespace {

class Calculator : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE static double scaled(double value, int factor) { return value * factor; }
    Q_INVOKABLE QVariant boxed(int value) const { return value; }
    Q_INVOKABLE void remember(const QColor &color) { remembered = color; }
    QColor remembered;
};

QMetaMethod method(const char *signature)
{
    return Calculator::staticMetaObject.method(Calculator::staticMetaObject.indexOfMethod(signature));
}

class Multiplier : public ValueTransformer
{
public:
    explicit Multiplier(int factor) : m_factor(factor) {}
    int transformedValueClass() const override { return QMetaType::Int; }
    bool allowsReverseTransformation() const override { return false; }
    QVariant transformedValue(const QVariant &value) const override { return value.toInt() * m_factor; }
    QVariant reverseTransformedValue(const QVariant &value) const override { return value; }

private:
    int m_factor;
};

} // namespace

TEST(Log, TheLevelWordStandsInFrontAndACaptureSeesOnlyWhatIsWrittenWhileItLives)
{
    logWarning("before");
    LogCapture capture;
    logInfo("opened");
    EXPECT_EQ(capture.lines(), QStringList{"Info: opened"});
}

// Qt's own messages stand in the log as its other lines do: the level word first, then the
// category of any but Qt's default one; debug messages, which the log has no level for, are left out.
TEST(Log, QtsMessagesTakeTheLevelWordOfTheirTypeAndTheirCategory)
{
    static const QLoggingCategory imageIo("qt.gui.imageio");
    static const QLoggingCategory talkative("foldwise.test.talkative");
    ASSERT_TRUE(talkative.isDebugEnabled());
    const QtMessageHandler previous = routeQtMessagesToLog();
    LogCapture capture;
    qCWarning(imageIo, "QImageIOHandler: Rejecting image");
    qCInfo(imageIo, "libpng warning: iCCP");
    qCCritical(talkative, "a lost connection");
    qCDebug(talkative, "left out");
    qWarning("This plugin does not support propagateSizeHints()");
    qInstallMessageHandler(previous);
    qWarning("after the log gave Qt its handler back");
    EXPECT_EQ(capture.lines(), (QStringList{"Warning: qt.gui.imageio: QImageIOHandler: Rejecting image", "Info: qt.gui.imageio: libpng warning: iCCP",
                                            "Error: foldwise.test.talkative: a lost connection",
                                            "Warning: This plugin does not support propagateSizeHints()"}));
}

TEST(DoubleValue, ReadsTheLeadingDecimalNumberOfATextOrAVariantWithAPointInEveryLocale)
{
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    const struct { const char *text; double expected; } cases[] = {
        {"", 0},  {"abc", 0},     {"  -3.5e2x", -350}, {".5", 0.5}, {".", 0},
        {"-", 0}, {"1.2.3", 1.2}, {"2e+", 2},          {"1,5", 1},  {"1e999", Infinity},
    };
    const QLocale before;
    for (const QLocale &locale : {before, QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        for (const auto &c : cases) {
            const QString text(c.text);
            EXPECT_EQ(doubleValue(QStringView(text)), c.expected) << c.text << " in " << locale.name().toStdString();
        }
    }
    QLocale::setDefault(before);

    EXPECT_EQ(doubleValue(QVariant()), 0);
    EXPECT_EQ(doubleValue(QVariant("3.5 cm")), 3.5);
}

TEST(TempFolder, IsOnePrivateFolderUnderTheTemporaryDirectory)
{
    const QString path = TempFolder::path();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(path, TempFolder::path());
    const QFileInfo info(path);
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.absolutePath(), QDir(QDir::tempPath()).absolutePath());
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                    | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());
}

TEST(PropertyList, WrittenFileReadsBackWithItsTypesAndAFailedWriteKeepsTheOldFileButBadInputIsAFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("values.plist");
    const QVariantMap written{
        {"flag", true},
        {"count", qlonglong(-5)},
        {"ratio", 0.5},
        {"name", "Grüße & <tags>"},
        {"bytes", QByteArray("\x00\x01\xff", 3)},
        {"when", QDateTime(QDate(2026, 12, 6), QTime(17, 30), QTimeZone::utc())},
        {"list", QVariantList{1, "two", QVariantMap{{"x", 3.25}}}},
    };
    QString error;
    ASSERT_TRUE(PropertyList::write(written, path, &error)) << error.toStdString();
    const QVariantMap read = PropertyList::read(path, &error).toMap();
    EXPECT_EQ(read, written);
    EXPECT_EQ(read.value("flag").typeId(), QMetaType::Bool);
    EXPECT_EQ(read.value("ratio").typeId(), QMetaType::Double);

    EXPECT_FALSE(PropertyList::write(QVariantMap{{"bad", QVariant::fromValue(QPoint(1, 2))}}, path, &error));
    EXPECT_EQ(PropertyList::read(path).toMap(), written);

    const QByteArray truncated("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>");
    for (const QByteArray &bytes : {QByteArray(), truncated}) {
        error.clear();
        EXPECT_FALSE(PropertyList::fromData(bytes, &error).isValid()) << bytes.constData();
        EXPECT_FALSE(error.isEmpty()) << bytes.constData();
    }
}

TEST(KeyedArchive, KeepsValuesByKeyInTheOrderWrittenAndObjectsByReferenceUntilDestroyed)
{
    QObject kept;
    auto gone = std::make_unique<QObject>();
    KeyedArchive archive;
    archive.encodeObject(QStringLiteral("Welcome"), "name");
    archive.encodeObject(QVariant::fromValue(&kept), "kept");
    archive.encodeObject(QVariant::fromValue(gone.get()), "gone");
    archive.encodeObject(QVariantList{QVariant::fromValue(gone.get()), QVariant::fromValue(&kept)}, "objects");
    archive.encodeObject(QStringLiteral("Preferences"), "name");
    gone.reset();

    EXPECT_EQ(archive.allKeys(), (QStringList{"name", "kept", "gone", "objects"})) << "rewriting keeps the place";
    EXPECT_EQ(archive.decodeObjectForKey("name"), QVariant("Preferences"));
    EXPECT_FALSE(archive.containsValueForKey("missing"));
    EXPECT_EQ(archive.decodeObjectForKey("kept").value<QObject *>(), &kept);
    EXPECT_FALSE(archive.decodeObjectForKey("gone").isValid());
    const QVariantList objects = archive.decodeObjectForKey("objects").toList();
    ASSERT_EQ(objects.size(), 1);
    EXPECT_EQ(objects.first().value<QObject *>(), &kept);
}

TEST(Bundle, AnswersInfoKeysTranslationsInTheUserLanguageAndResourcesByNameTypeAndFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(PropertyList::write(QVariantMap{{"CFBundleShortVersionString", "2.1"}}, dir.filePath("Info.plist")));
    ASSERT_TRUE(writeStringsTable(dir.path(), "en", "Controls", {{"Print", "Print"}, {"Only", "English only"}}));
    ASSERT_TRUE(writeStringsTable(dir.path(), "de", "Controls", {{"Print", "Drucken"}}));
    QDir(dir.path()).mkpath("Textures");
    const QImage image(4, 4, QImage::Format_RGB32);
    for (const char *name : {"Textures/b.png", "Textures/a.png", "Noise.png"})
        ASSERT_TRUE(image.save(dir.filePath(name)));
    const Bundle bundle(dir.path());
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("CFBundleShortVersionString").toString(), "2.1");
    EXPECT_EQ(bundle.localizations(), (QStringList{"de", "en"}));

    const struct { const char *locale, *key, *value, *expected; } cases[] = {
        {"de_DE", "Print", "", "Drucken"}, {"de_DE", "Only", "#", "#"}, {"fr_FR", "Only", "", "English only"},
        {"en_US", "Unknown", "", "Unknown"},
    };
    for (const auto &c : cases) {
        LanguageScope language(c.locale);
        EXPECT_EQ(bundle.localizedStringForKey(c.key, c.value, "Controls"), c.expected) << c.locale << " " << c.key;
    }

    EXPECT_EQ(bundle.pathsForResourcesOfType("png", "Textures"),
              (QStringList{dir.filePath("Textures/a.png"), dir.filePath("Textures/b.png")}));
    EXPECT_EQ(bundle.pathForResource("a", "png", "Textures"), dir.filePath("Textures/a.png"));
    EXPECT_TRUE(bundle.pathForResource("a", "png").isEmpty());
    EXPECT_EQ(bundle.imageNamed("Noise").size(), QSize(4, 4));
    EXPECT_FALSE(bundle.imageNamed("Noise.png").isNull());
    EXPECT_TRUE(bundle.imageNamed("Absent").isNull());

    EXPECT_EQ(Bundle::bundleWithPath(dir.path()), Bundle::bundleWithPath(dir.path() + "/."));
    EXPECT_EQ(Bundle::bundleWithPath(dir.filePath("nowhere")), nullptr);
    // Through a link, asked for twice, it is still the one folder; gone, it is no bundle.
    ASSERT_TRUE(QFile::link(dir.path(), dir.path() + "-link"));
    for (int time = 0; time < 2; ++time)
        EXPECT_EQ(Bundle::bundleWithPath(dir.path() + "-link"), Bundle::bundleWithPath(dir.path()));
    ASSERT_TRUE(QFile::remove(dir.path() + "-link"));
    EXPECT_EQ(Bundle::bundleWithPath(dir.path() + "-link"), nullptr);
}

TEST(ValueTransformer, NamesFindOneSharedTransformerUntilRegisteredAgainAndRefuseUnknownNamesOrEmptyFactories)
{
    int made = 0;
    ValueTransformer::registerTransformer("TestMultiplier", [&made] {
        ++made;
        return std::make_shared<Multiplier>(2);
    });
    const ValueTransformerPtr first = ValueTransformer::valueTransformerForName("TestMultiplier");
    ASSERT_TRUE(first);
    EXPECT_EQ(ValueTransformer::valueTransformerForName("TestMultiplier"), first);
    EXPECT_EQ(made, 1);
    ValueTransformer::registerTransformer("TestMultiplier", [] { return std::make_shared<Multiplier>(3); });
    EXPECT_EQ(ValueTransformer::valueTransformerForName("TestMultiplier")->transformedValue(5).toInt(), 15);

    LogCapture capture;
    EXPECT_EQ(ValueTransformer::valueTransformerForName("NoSuchTransformer"), nullptr);
    ValueTransformer::registerTransformer("TestEmpty", {});
    EXPECT_EQ(ValueTransformer::valueTransformerForName("TestEmpty"), nullptr);
    EXPECT_EQ(capture.lines(),
              (QStringList{"Warning: No value transformer is registered under the name \"NoSuchTransformer\"",
                           "Warning: No factory given for the value transformer \"TestEmpty\"",
                           "Warning: No value transformer is registered under the name \"TestEmpty\""}));
}

TEST(Invocation, CallsWithConvertedArgumentsAndAnswersTheResultButRefusesWhatDoesNotFit)
{
    auto calculator = std::make_shared<Calculator>();
    const struct { const char *signature; QVariantList arguments; QVariant expected; } cases[] = {
        {"scaled(double,int)", {"1.5", "3"}, 4.5},
        {"boxed(int)", {3}, 3},
        {"remember(QColor)", {QColor(Qt::blue)}, QVariant()},
    };
    for (const auto &c : cases) {
        const std::optional<QVariant> result = Invocation(calculator, method(c.signature)).invoke(c.arguments);
        ASSERT_TRUE(result.has_value()) << c.signature;
        EXPECT_EQ(*result, c.expected) << c.signature;
    }
    EXPECT_EQ(calculator->remembered, QColor(Qt::blue));

    const Invocation scaled(calculator, method("scaled(double,int)"));
    LogCapture log;
    EXPECT_FALSE(scaled.invoke({1.0}).has_value());
    EXPECT_FALSE(scaled.invoke({QVariant::fromValue(QColor(Qt::red)), 2}).has_value());
    EXPECT_FALSE(Invocation().invoke().has_value());
    EXPECT_EQ(log.lines(), (QStringList{"Warning: Calculator::scaled(double,int) takes 2 arguments, not 1",
                                        "Warning: Argument 1 of Calculator::scaled(double,int) cannot be a double",
                                        "Warning: An invocation without target or method cannot run"}));
}

TEST(CodePointNotation, UpperCaseHexOfAtLeastFourDigits)
{
    const struct { char32_t code; const char *notation; } cases[] = {
        {0x0, "U+0000"}, {0x7, "U+0007"}, {0x1b, "U+001B"}, {0xfffe, "U+FFFE"}, {0x1f600, "U+1F600"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(codePointNotation(c.code), c.notation);
}

#include "FoundationTest.moc"
