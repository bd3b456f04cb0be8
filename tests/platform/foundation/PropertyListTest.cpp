#include "platform/foundation/BinaryPropertyList.h"
#include "platform/foundation/PropertyList.h"

#include "support/PdfFixture.h"
#include "support/PropertyListFixture.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QXmlStreamReader>

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

using platform::BinaryPropertyList;
using platform::PropertyList;
using Binary = PropertyListFixture::Binary;

namespace {

int depthOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QVariantList)
        return 1 + (value.toList().isEmpty() ? 0 : depthOf(value.toList().first()));
    return 0;
}

// A sound binary file: a dictionary of a text, a list of two numbers and a date.
Binary sound()
{
    Binary plist;
    plist.objects = {plist.dict({1, 2, 3}, {4, 5, 8}), PropertyListFixture::ascii("Name"), PropertyListFixture::ascii("Insets"),
                     PropertyListFixture::ascii("When"), PropertyListFixture::utf16("Grüße"), plist.array({6, 7}),
                     QByteArray::fromHex("1005"), QByteArray::fromHex("13fffffffffffffffe"),
                     QByteArray::fromHex("3341c862e98c000000")};
    return plist;
}

} // namespace

TEST(PropertyList, NestingDeeperThanTheLimitIsRefusedBeforeItIsRead)
{
    const QByteArray hiddenClosings = "<plist><array>" + QByteArray("<array><!-- </array> -->").repeated(600) + "</plist>";
    const struct { const char *name; QByteArray bytes; int depth; } cases[] = {
        {"XML at the limit", PropertyListFixture::nestedXml(PropertyList::MaximumDepth), PropertyList::MaximumDepth},
        {"XML one deeper", PropertyListFixture::nestedXml(PropertyList::MaximumDepth + 1), 0},
        {"XML of 300,000 levels", PropertyListFixture::nestedXml(300000), 0},
        {"XML whose closing tags are comments", hiddenClosings, 0},
        {"binary at the limit", PropertyListFixture::nestedBinary(PropertyList::MaximumDepth), PropertyList::MaximumDepth},
        {"binary one deeper", PropertyListFixture::nestedBinary(PropertyList::MaximumDepth + 1), 0},
        {"binary of 300,000 levels", PropertyListFixture::nestedBinary(300000), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        const QVariant value = PropertyList::fromData(c.bytes, &error);
        EXPECT_EQ(depthOf(value), c.depth);
        EXPECT_EQ(error, c.depth ? QString() : QStringLiteral("it nests arrays and dictionaries deeper than 512 levels"));
    }
}

TEST(PropertyList, DamagedBinaryFilesAreRefusedWithTheirReason)
{
    const QVariantMap expected{{"Name", "Grüße"},
                               {"Insets", QVariantList{5, qlonglong(-2)}},
                               {"When", QDateTime(QDate(2026, 12, 6), QTime(17, 30), QTimeZone::utc())}};
    ASSERT_EQ(PropertyList::fromData(sound().bytes()), expected);

    const auto damaged = [](const std::function<void(Binary &)> &damage) {
        Binary plist = sound();
        damage(plist);
        return plist.bytes();
    };
    const QByteArray full = sound().bytes();
    const struct { const char *name; QByteArray bytes; QString reason; } cases[] = {
        {"cut short", full.left(full.size() - 20), "its trailer gives offsets of 0 and references of 26 bytes"},
        {"only a header", "bplist00", "it is too short for a binary property list"},
        {"offsets of no bytes", damaged([](Binary &p) { p.offsetSize = 0; }), "its trailer gives offsets of 0 and references of 2 bytes"},
        {"references of 9 bytes", damaged([](Binary &p) { p.refSize = 9; }), "its trailer gives offsets of 2 and references of 9 bytes"},
        {"no objects", damaged([](Binary &p) { p.count = 0; }), "its offset table does not hold its 0 objects"},
        {"more objects than the table holds", damaged([](Binary &p) { p.count = 1ull << 62; }),
         "its offset table does not hold its 4611686018427387904 objects"},
        {"the top object beyond them", damaged([](Binary &p) { p.top = 9; }), "its top object 9 is not among its 9 objects"},
        {"the table in the header", damaged([](Binary &p) { p.tableOffset = 3; }), "its offset table lies outside the file"},
        {"an offset into the table", damaged([](Binary &p) {
             for (quint64 at = 8; const QByteArray &object : p.objects) {
                 p.offsets << at;
                 at += quint64(object.size());
             }
             p.offsets[8] = p.offsets[8] + quint64(p.objects[8].size());
         }),
         "object 8 lies outside the objects"},
        {"a reference beyond the objects", damaged([](Binary &p) { p.objects[5] = p.array({6, 70}); }), "a reference to object 70 of 9"},
        {"an array inside itself", damaged([](Binary &p) { p.objects[5] = p.array({6, 5}); }),
         "array or dictionary 5 appears twice in it or inside itself"},
        {"an array in two places", damaged([](Binary &p) { p.objects[0] = p.dict({1, 2}, {5, 5}); }),
         "array or dictionary 5 appears twice in it or inside itself"},
        {"a length past the objects", damaged([](Binary &p) { p.objects[4] = QByteArray::fromHex("6f1340") + p.objects[4].mid(1); }),
         "an object that runs past the objects"},
        {"a length that is no integer", damaged([](Binary &p) { p.objects[4] = QByteArray::fromHex("6f2340") + p.objects[4].mid(1); }),
         "a length that is no integer"},
        {"a key that is no text", damaged([](Binary &p) { p.objects[0] = p.dict({6}, {4}); }), "a dictionary key that is no text"},
        {"a number cut short by the table", damaged([](Binary &p) { p.objects[8] = QByteArray::fromHex("1300"); }),
         "an object of unknown kind 0x13 or size"},
        {"a null", damaged([](Binary &p) { p.objects[6] = QByteArray::fromHex("00"); }), "an object of unknown kind 0x00 or size"},
        {"a date that is no number", damaged([](Binary &p) { p.objects[8] = QByteArray::fromHex("337ff8000000000000"); }), "a date out of range"},
        {"a zero character in a text", PropertyListFixture::zeroInText(), "a text holding a zero character"},
        {"half a surrogate pair", damaged([](Binary &p) { p.objects[4] = PropertyListFixture::utf16(QString(QChar(0xd800)) + "x"); }),
         "a text holding half a surrogate pair, U+D800"},
        {"the second half of a pair alone", damaged([](Binary &p) { p.objects[4] = PropertyListFixture::utf16("x" + QString(QChar(0xdc00))); }),
         "a text holding half a surrogate pair, U+DC00"},
        {"a byte beyond ASCII in an ASCII text", damaged([](Binary &p) { p.objects[1] = PropertyListFixture::ascii("Caf\xe9"); }),
         "an ASCII text holding the byte 0xE9"},
        {"a byte beyond ASCII in an ASCII key", damaged([](Binary &p) { p.objects[3] = PropertyListFixture::ascii("\xffWhen"); }),
         "an ASCII text holding the byte 0xFF"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_FALSE(PropertyList::fromData(c.bytes, &error).isValid());
        EXPECT_EQ(error, c.reason);
    }
}

// A value may be referred to many times, but may not unfold into much more than the file holds.
TEST(PropertyList, SharedValuesUnfoldOnlyIntoABoundedTree)
{
    Binary shared;
    shared.objects = {shared.array(QList<quint64>(500, 1)), QByteArray::fromHex("09")};
    EXPECT_EQ(PropertyList::fromData(shared.bytes()).toList(), QVariantList(500, true));

    Binary unfolding;
    unfolding.objects = {unfolding.array(QList<quint64>(70, 1)), PropertyListFixture::ascii(QByteArray(1 << 20, 'x'))};
    QString error;
    EXPECT_FALSE(PropertyList::fromData(unfolding.bytes(), &error).isValid());
    EXPECT_EQ(error, "it unfolds into more than 64 MiB of text and data beyond its own size");
}

// libplist writes the smallest integer that holds a value, 16 bytes beyond 2^63, and keeps a
// keyed archive's references as their own kind.
TEST(PropertyList, BinaryFilesReadAsTheirXmlForm)
{
    const QVariantMap value{
        {"flag", true},
        {"off", false},
        {"counts", QVariantList{7, 300, 70000, qlonglong(1) << 40, qlonglong(-5), qlonglong(0x8000000000000001ull)}},
        {"ratio", 0.1},
        {"name", "Grüße & <tags>"},
        {"plain", "Gold"},
        {"bytes", QByteArray("\x00\x01\xff", 3)},
        {"when", QDateTime(QDate(2026, 12, 6), QTime(17, 30, 15), QTimeZone::utc())},
        {"nested", QVariantMap{{"list", QVariantList{QVariantMap{}, QVariantList{}, QString()}}}},
        {QString(QChar(0xfeff)) + "marked", QString(QChar(0xfeff)) + "a byte-order mark first"},
        {"archived", QVariantMap{{"CF$UID", 12}}},
    };
    const QByteArray binary = PropertyListFixture::libplistBinary(value);
    ASSERT_TRUE(BinaryPropertyList::isBinary(binary));
    QString error;
    EXPECT_EQ(PropertyList::fromData(binary, &error), value) << error.toStdString();
    EXPECT_EQ(PropertyList::toXml(PropertyList::fromData(binary)), PropertyList::toXml(value));
    EXPECT_EQ(PropertyList::fromData(PropertyList::toXml(value)), value);
}

// Every byte of a file libplist wrote, set to 0, to 255 or with its lowest bit flipped: each file
// reads or is refused with a reason, none aborts (as libplist's own reader did on a zero text).
TEST(PropertyList, EveryOneByteDamageOfABinaryFileIsReadOrRefused)
{
    const QByteArray binary = PropertyListFixture::libplistBinary(QVariantMap{
        {"FRM-U#001#", QVariantMap{{"Name", "Grün"}, {"Shades", QVariantList{QVariantMap{{"Opacity", 0.5}, {"Blend", 3}}}}}},
        {"FRM-U#002#", QVariantMap{{"Name", "Gold"}, {"Thumb", QByteArray(40, 'p')}, {"Insets", QVariantList{1, 2.5, -3}}}},
    });
    int refused = 0;
    for (qsizetype at = 0; at < binary.size(); ++at) {
        for (const char byte : {char(0), char(0xff), char(binary[at] ^ 1)}) {
            QByteArray damaged = binary;
            damaged[at] = byte;
            QString error;
            if (!PropertyList::fromData(damaged, &error).isValid()) {
                EXPECT_FALSE(error.isEmpty()) << at;
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 0);
}

// Texts made holdable for the XML form: each character it cannot hold becomes U+FFFD, in keys and
// values at any depth; what it can hold, a whole surrogate pair too, stays.
TEST(PropertyList, TextsMadeHoldableKeepAllButWhatXmlCannotHold)
{
    const QChar replaced(QChar::ReplacementCharacter);
    const struct { QString text, held; } cases[] = {
        {"a\tb\nc\rd", "a\tb\nc\rd"},
        {QString::fromUtf8("Ahorn \xF0\x9F\x8D\x81"), QString::fromUtf8("Ahorn \xF0\x9F\x8D\x81")},
        {"ring\aring", QString("ring") + replaced + "ring"},
        {QString(QChar(0)) + "x" + QChar(0xffff), QString(replaced) + "x" + replaced},
        {QString(QChar(0xd83c)) + "x" + QChar(0xdf41), QString(replaced) + "x" + replaced},
    };
    for (const auto &c : cases) {
        const QVariant value = QVariantMap{{c.text, QVariantList{c.text, 7, QVariantMap{{"Name", c.text}}}}};
        const QVariant held = QVariantMap{{c.held, QVariantList{c.held, 7, QVariantMap{{"Name", c.held}}}}};
        EXPECT_EQ(PropertyList::withHoldableTexts(value), held) << c.held.toStdString();
        EXPECT_TRUE(PropertyList::canHold(c.held));
        EXPECT_EQ(PropertyList::canHold(c.text), c.text == c.held);
    }
}

// Texts as they may come from a user, as a value and as a key: what XML holds reads back alike from
// our reader and a strict XML reader; a character XML cannot hold refuses the file with the reason
// and leaves the old one.
TEST(PropertyList, TextsReadBackFromAStrictXmlReaderOrAreRefusedWithTheReason)
{
    const QString refused = QStringLiteral("a text holds the character U+%1, which an XML property list cannot hold");
    const struct { const char *name; QString text; QString error; } cases[] = {
        {"line ends and tabs", "a\tb\nc\rd\r\ne\r", {}},
        {"markup", "<key>&amp; ]]> \"'", {}},
        {"beyond the basic plane", QString::fromUtf8("Ahorn \xF0\x9F\x8D\x81 \xE6\xAB\x93"), {}},
        {"bell", "ring\aring", refused.arg("0007")},
        {"escape", "\x1b[0m", refused.arg("001B")},
        {"zero", QString(QChar(0)) + "x", refused.arg("0000")},
        {"non-character", QString(QChar(0xffff)), refused.arg("FFFF")},
        {"half a surrogate pair", QString(QChar(0xd83c)) + "x", "a text holds half a surrogate pair, which an XML property list cannot hold"},
    };
    QTemporaryDir folder;
    const QString path = PdfFixture::write(folder.path(), "Texts.plist", "old");
    for (const auto &c : cases) {
        for (const QVariantMap &value : {QVariantMap{{"Name", c.text}}, QVariantMap{{c.text, "Name"}}}) {
            SCOPED_TRACE(std::string(c.name) + (value.contains("Name") ? " as a value" : " as a key"));
            QString error;
            EXPECT_EQ(PropertyList::write(value, path, &error), c.error.isEmpty());
            EXPECT_EQ(error, c.error);
            if (!c.error.isEmpty()) {
                EXPECT_EQ(PdfFixture::read(path), "old");
                continue;
            }
            EXPECT_EQ(PropertyList::read(path), QVariant(value));
            QXmlStreamReader strict(PdfFixture::read(path));
            QStringList texts;
            while (strict.readNext() != QXmlStreamReader::EndDocument && !strict.hasError()) {
                if (strict.isStartElement() && (strict.name() == u"key" || strict.name() == u"string"))
                    texts << strict.readElementText();
            }
            EXPECT_FALSE(strict.hasError()) << strict.errorString().toStdString();
            EXPECT_EQ(texts, (QStringList{value.firstKey(), value.first().toString()}));
            ASSERT_TRUE(PdfFixture::write(folder.path(), "Texts.plist", "old") == path);
        }
    }
}

namespace {

QByteArray integerXml(const QByteArray &text)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n\t<key>Count</key>\n\t<integer>" + text
        + "</integer>\n</dict>\n</plist>\n";
}

} // namespace

// Integers keep their value over the whole range a property list stores, signed and unsigned,
// through a re-save; one beyond it is refused with the reason, never taken as another number.
TEST(PropertyList, IntegersKeepTheirValueThroughAReSaveOrAreRefusedWithTheReason)
{
    const struct { QByteArray text; QVariant value; } kept[] = {
        {"18446744073709551615", qulonglong(18446744073709551615ull)},
        {"9223372036854775808", qulonglong(9223372036854775808ull)},
        {"9223372036854775807", qlonglong(9223372036854775807ll)},
        {"-1", qlonglong(-1)},
        {"-9223372036854775808", qlonglong(std::numeric_limits<qint64>::min())},
    };
    QTemporaryDir folder;
    const QString path = folder.filePath("Counts.plist");
    for (const auto &c : kept) {
        SCOPED_TRACE(c.text.toStdString());
        QString error;
        const QVariant read = PropertyList::fromData(integerXml(c.text), &error).toMap().value("Count");
        EXPECT_EQ(read.typeId(), c.value.typeId()) << error.toStdString();
        EXPECT_EQ(read, c.value);
        ASSERT_TRUE(PropertyList::write(QVariantMap{{"Count", read}}, path, &error)) << error.toStdString();
        EXPECT_TRUE(PdfFixture::read(path).contains("<integer>" + c.text + "</integer>")) << PdfFixture::read(path).toStdString();
        EXPECT_EQ(PropertyList::read(path).toMap().value("Count"), c.value);
    }
    // The binary form keeps an unsigned one in 16 bytes, the high 8 zero.
    Binary unsignedInteger;
    unsignedInteger.objects = {QByteArray::fromHex("140000000000000000ffffffffffffffff")};
    EXPECT_EQ(PropertyList::fromData(unsignedInteger.bytes()), QVariant(qulonglong(18446744073709551615ull)));

    for (const QByteArray &text : {QByteArray("18446744073709551616"), QByteArray("-9223372036854775809"), QByteArray("99999999999999999999999")}) {
        SCOPED_TRACE(text.toStdString());
        QString error;
        EXPECT_FALSE(PropertyList::fromData(integerXml(text), &error).isValid());
        EXPECT_EQ(error, "it holds the integer " + text + ", beyond the 64 bits a property list keeps");
    }
}

namespace {

QByteArray inArray(const QByteArray &element) { return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<array>" + element + "</array>\n</plist>\n"; }

QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc());
}

// The binary form of a date: seconds since the property-list epoch, a big-endian double.
QByteArray binaryDate(const QDateTime &date)
{
    const double seconds = double(date.toSecsSinceEpoch() - PropertyList::EpochSeconds);
    quint64 bits;
    std::memcpy(&bits, &seconds, sizeof bits);
    return QByteArray::fromHex("33" + QByteArray::number(bits, 16).rightJustified(16, '0'));
}

// NaN is itself here.
bool same(const QVariant &a, const QVariant &b)
{
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double && std::isnan(a.toDouble()))
        return std::isnan(b.toDouble());
    return a.typeId() == b.typeId() && a == b;
}

} // namespace

// Every integer, real, date and data is read from its element's whole text, as an XML reader
// takes it: its value as written, kept through a re-save, or the file is refused with the reason,
// never read as another value.
TEST(PropertyList, EveryValueIsReadAsWrittenOrRefusedWithTheReason)
{
    const QString beyond64 = "it holds the integer 18446744073709551616, beyond the 64 bits a property list keeps";
    const QString notAReal = "it holds \"%1\" where a real belongs";
    const QString notADate = "it holds \"%1\" where a date belongs";
    const QString noTime = "it holds the date %1, whose time %2 is none from 00:00:00 to 23:59:59";
    const QString noCharacter = "it holds the character reference %1 on line 3, which names no character XML allows";
    const QString notUtf8 = "it holds bytes that are no UTF-8 at offset %1 (line 3): %2";
    const QString notAllowed = "it holds the character %1 on line 3, which XML allows nowhere";
    const double infinity = std::numeric_limits<double>::infinity();
    const struct { const char *name; QByteArray element; QVariant value; QString error; } cases[] = {
        {"2^64 with a comment inside", "<integer>1<!-- x -->8446744073709551616</integer>", {}, beyond64},
        {"2^64 in CDATA", "<integer><![CDATA[18446744073709551616]]></integer>", {}, beyond64},
        {"2^64 split across CDATA", "<integer>1844674407<![CDATA[370955]]><![CDATA[1616]]></integer>", {}, beyond64},
        {"2^64 starting with a character reference", "<integer>&#49;8446744073709551616</integer>", {}, beyond64},
        {"2^64 - 1 starting with a character reference", "<integer>&#x31;8446744073709551615</integer>", qulonglong(18446744073709551615ull), {}},
        {"digits split by a comment", "<integer>1<!-- x -->2</integer>", qlonglong(12), {}},
        {"digits and letters", "<integer>12abc</integer>", {}, "it holds \"12abc\" where an integer belongs"},
        {"two numbers", "<integer>1 2</integer>", {}, "it holds \"1 2\" where an integer belongs"},
        {"no integer", "<integer/>", {}, "it holds \"\" where an integer belongs"},
        {"an integer amid white space", "<integer>\n\t-42 </integer>", qlonglong(-42), {}},
        {"a hexadecimal integer", "<integer>0x1F</integer>", qlonglong(31), {}},
        {"a leading zero", "<integer>010</integer>", qlonglong(10), {}},
        {"an entity no one declared", "<integer>&one;</integer>", {},
         "the text of one of its integer elements is no well-formed XML: Entity 'one' not declared."},
        {"a real and letters", "<real>1.5abc</real>", {}, notAReal.arg("1.5abc")},
        {"a real in a comma's notation", "<real>1,5</real>", {}, notAReal.arg("1,5")},
        {"a real split by a comment", "<real>1<!-- x -->.5</real>", 1.5, {}},
        {"a real starting with a character reference", "<real>&#49;.5e3</real>", 1500.0, {}},
        {"a real too large for a double", "<real>1e999</real>", {}, "it holds the real 1e999, beyond the range a property list keeps"},
        {"a real too small for a double", "<real>-1e-999</real>", {}, "it holds the real -1e-999, beyond the range a property list keeps"},
        {"no real", "<real/>", {}, notAReal.arg("")},
        {"a whole real", "<real>12</real>", 12.0, {}},
        {"infinity", "<real>-infinity</real>", -infinity, {}},
        {"not a number", "<real>nan</real>", std::numeric_limits<double>::quiet_NaN(), {}},
        {"a date after 2038", "<date>2100-01-01T00:00:00Z</date>", utc(2100, 1, 1), {}},
        {"a date before 1932", "<date>1900-01-01T00:00:00Z</date>", utc(1900, 1, 1), {}},
        {"the last date kept", "<date>9999-12-31T23:59:59Z</date>", utc(9999, 12, 31, 23, 59, 59), {}},
        {"the first date kept", "<date>1000-01-01T00:00:00Z</date>", utc(1000, 1, 1), {}},
        {"a date before the first kept", "<date>0999-12-31T23:59:59Z</date>", {},
         "it holds the date 0999-12-31T23:59:59Z, outside the years 1000 to 9999 a property list keeps"},
        {"a date in CDATA", "<date><![CDATA[2026-12-06T17:30:15Z]]></date>", utc(2026, 12, 6, 17, 30, 15), {}},
        {"a thirteenth month", "<date>2020-13-45T00:00:00Z</date>", {}, notADate.arg("2020-13-45T00:00:00Z")},
        {"a date and letters", "<date>2020-01-01T00:00:00Zjunk</date>", {}, notADate.arg("2020-01-01T00:00:00Zjunk")},
        {"a day without its time", "<date>2020-01-01</date>", {}, notADate.arg("2020-01-01")},
        {"a date in another zone", "<date>2020-01-01T00:00:00+02:00</date>", {}, notADate.arg("2020-01-01T00:00:00+02:00")},
        {"no date", "<date/>", {}, notADate.arg("")},
        {"the hour 24", "<date>2020-02-29T24:00:00Z</date>", {}, noTime.arg("2020-02-29T24:00:00Z", "24:00:00")},
        {"a leap second", "<date>2016-12-31T23:59:60Z</date>", {}, noTime.arg("2016-12-31T23:59:60Z", "23:59:60")},
        {"the minute 60", "<date>2020-01-01T23:60:00Z</date>", {}, noTime.arg("2020-01-01T23:60:00Z", "23:60:00")},
        {"the hour 25", "<date>2020-01-01T25:00:00Z</date>", {}, noTime.arg("2020-01-01T25:00:00Z", "25:00:00")},
        {"no time at all", "<date>2020-01-01T99:99:99Z</date>", {}, noTime.arg("2020-01-01T99:99:99Z", "99:99:99")},
        {"an impossible time on an impossible day", "<date>2021-02-29T24:00:00Z</date>", {}, noTime.arg("2021-02-29T24:00:00Z", "24:00:00")},
        {"the last second of a day", "<date>2020-02-29T23:59:59Z</date>", utc(2020, 2, 29, 23, 59, 59), {}},
        {"half a surrogate pair", "<string>&#xD800;</string>", {}, noCharacter.arg("&#xD800;")},
        {"its second half", "<string>a&#56320;b</string>", {}, noCharacter.arg("&#56320;")},
        {"a pair as two references", "<string>&#xD83D;&#xDE00;</string>", {}, noCharacter.arg("&#xD83D;")},
        {"half a pair as bytes", "<string>\xed\xa0\x80</string>", {}, notUtf8.arg(76).arg("ED A0 80")},
        {"half a pair in a key", "<dict><key>&#xDBFF;</key><string>x</string></dict>", {}, noCharacter.arg("&#xDBFF;")},
        {"a reference to a control character", "<string>a&#x1;b</string>", {}, noCharacter.arg("&#x1;")},
        {"a reference to the zero character", "<string>&#x0;</string>", {}, noCharacter.arg("&#x0;")},
        {"a decimal reference to a control character", "<string>&#31;</string>", {}, noCharacter.arg("&#31;")},
        {"a reference to U+FFFE", "<string>&#xFFFE;</string>", {}, noCharacter.arg("&#xFFFE;")},
        {"a reference to U+FFFF", "<string>&#xffff;</string>", {}, noCharacter.arg("&#xffff;")},
        {"a reference beyond U+10FFFF", "<string>&#x110000;</string>", {}, noCharacter.arg("&#x110000;")},
        {"a reference beyond 32 bits", "<string>&#x100000041;</string>", {}, noCharacter.arg("&#x100000041;")},
        {"a reference to a control character in a key", "<dict><key>&#x1B;[0m</key><string>x</string></dict>", {}, noCharacter.arg("&#x1B;")},
        {"a control character as itself", "<string>ring\x07ring</string>", {}, notAllowed.arg("U+0007")},
        {"U+FFFF as itself", "<string>\xef\xbf\xbf</string>", {}, notAllowed.arg("U+FFFF")},
        {"a byte that is no UTF-8", "<string>a\xff" "b</string>", {}, notUtf8.arg(77).arg("FF")},
        {"a byte that only continues a character", "<string>\x80</string>", {}, notUtf8.arg(76).arg("80")},
        {"an overlong form", "<string>a\xc0\xaf" "b</string>", {}, notUtf8.arg(77).arg("C0 AF")},
        {"an overlong form of three bytes", "<string>\xe0\x80\xaf</string>", {}, notUtf8.arg(76).arg("E0 80 AF")},
        {"a character cut short before its text ends", "<string>a\xe2\x82</string>", {}, notUtf8.arg(77).arg("E2 82")},
        {"a character beyond U+10FFFF as bytes", "<string>\xf4\x90\x80\x80</string>", {}, notUtf8.arg(76).arg("F4 90 80 80")},
        {"a byte that is no UTF-8 in a key", "<dict><key>Caf\xe9</key><string>x</string></dict>", {}, notUtf8.arg(82).arg("E9")},
        {"a byte that is no UTF-8 in a comment", "<!-- \xff --><string>x</string>", {}, notUtf8.arg(73).arg("FF")},
        {"a character beyond the first plane", "<string>&#x1F600;</string>", QString::fromUtf8("\xf0\x9f\x98\x80"), {}},
        {"the last character before the surrogates", "<string>&#xD7FF;</string>", QString(QChar(0xd7ff)), {}},
        {"data across lines", "<data>\n\tAAEC\n\tAwQ=\n</data>", QByteArray::fromHex("0001020304"), {}},
        {"data without its padding", "<data>AAE</data>", QByteArray::fromHex("0001"), {}},
        {"data with a character base64 does not use", "<data>AA!EC</data>", {}, "it holds \"AA!EC\" where base64 data belongs"},
        {"no data", "<data/>", QByteArray(), {}},
    };
    QTemporaryDir folder;
    const QString path = folder.filePath("Values.plist");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        const QVariant read = PropertyList::fromData(inArray(c.element), &error);
        EXPECT_EQ(error, c.error);
        if (!c.error.isEmpty()) {
            EXPECT_FALSE(read.isValid());
            continue;
        }
        ASSERT_EQ(read.toList().size(), 1);
        EXPECT_TRUE(same(read.toList().first(), c.value)) << read.toList().first().toString().toStdString();
        ASSERT_TRUE(PropertyList::write(read, path, &error)) << error.toStdString();
        EXPECT_TRUE(same(PropertyList::read(path).toList().value(0), c.value)) << PdfFixture::read(path).toStdString();
    }

    // A date the XML form cannot write is refused, never written as another.
    QString error;
    EXPECT_TRUE(PropertyList::toXml(QVariantList{utc(10000, 1, 1)}, &error).isEmpty());
    EXPECT_EQ(error, "the value holds the date 10000-01-01T00:00:00Z, outside the years 1000 to 9999 a property list keeps");

    // The binary form keeps the same dates.
    error.clear();
    for (const QDateTime &date : {utc(2100, 1, 1), utc(1900, 1, 1), utc(9999, 12, 31, 23, 59, 59), utc(1000, 1, 1), utc(10000, 1, 1), utc(999, 12, 31)}) {
        SCOPED_TRACE(date.toString(Qt::ISODate).toStdString());
        Binary plist;
        plist.objects = {binaryDate(date)};
        const bool kept = PropertyList::keepsDate(date);
        EXPECT_EQ(PropertyList::fromData(plist.bytes(), &error), kept ? QVariant(date) : QVariant());
        EXPECT_EQ(error, kept ? QString() : "a date out of range");
        error.clear();
    }
}

namespace {

// A code point's UTF-8 bytes, surrogates too, as a careless writer would make them.
QByteArray utf8Bytes(char32_t code)
{
    if (code < 0x80)
        return QByteArray(1, char(code));
    const auto continuation = [code](int shift) { return char(0x80 | (code >> shift & 0x3f)); };
    if (code < 0x800)
        return QByteArray().append(char(0xc0 | code >> 6)).append(continuation(0));
    if (code < 0x10000)
        return QByteArray().append(char(0xe0 | code >> 12)).append(continuation(6)).append(continuation(0));
    return QByteArray().append(char(0xf0 | code >> 18)).append(continuation(12)).append(continuation(6)).append(continuation(0));
}

} // namespace

// What the writer refuses, the reader refuses: each character about the edges of what XML allows,
// as a reference and as itself, reads as itself exactly when a text of it can be written, and is
// refused with the reason otherwise.
TEST(PropertyList, TheXmlReaderTakesEveryCharacterTheWriterWritesAndNoOther)
{
    QList<char32_t> codes;
    for (const auto &[from, to] : {std::pair<char32_t, char32_t>{0, 0x300}, {0xd7f0, 0xe010}, {0xfdc0, 0xfdf0}, {0xfff0, 0x10010}, {0x10fff0, 0x110000}}) {
        for (char32_t code = from; code < to; ++code)
            codes << code;
    }
    int refused = 0;
    for (const char32_t code : codes) {
        SCOPED_TRACE(QString::number(code, 16).toStdString());
        const bool surrogate = code >= 0xd800 && code < 0xe000;
        const QString text = surrogate ? QString(QChar(char16_t(code))) : QString::fromUcs4(&code, 1);
        const bool writable = PropertyList::canHold(text);
        refused += writable ? 0 : 1;
        EXPECT_EQ(PropertyList::toXml(QVariantList{text}).isEmpty(), !writable);

        const QByteArray reference = "&#x" + QByteArray::number(code, 16) + ";";
        QString error;
        EXPECT_EQ(PropertyList::fromData(inArray("<string>" + reference + "</string>"), &error), writable ? QVariant(QVariantList{text}) : QVariant());
        EXPECT_EQ(error, writable ? QString() : "it holds the character reference " + reference + " on line 3, which names no character XML allows");

        // Markup is no text as itself.
        if (code == '<' || code == '&')
            continue;
        const QByteArray bytes = utf8Bytes(code);
        error.clear();
        EXPECT_EQ(PropertyList::fromData(inArray("<string>a" + bytes + "</string>"), &error), writable ? QVariant(QVariantList{"a" + text}) : QVariant());
        const QString reason = surrogate ? "it holds bytes that are no UTF-8 at offset 77 (line 3): " + bytes.toHex(' ').toUpper()
                                         : "it holds the character U+" + QString::number(code, 16).toUpper().rightJustified(4, '0')
                                               + " on line 3, which XML allows nowhere";
        EXPECT_EQ(error, writable ? QString() : reason);
    }
    // 29 control characters, 2048 surrogates, and U+FFFE, U+FFFF.
    EXPECT_EQ(refused, 29 + 2048 + 2);
}

// A text's references are read as the characters they name however many a string holds (libplist
// alone took time growing with their square: 320,000 took 8 s); a key holds at most 4,096, and the
// writer keeps to that too, so that what it writes reads back.
TEST(PropertyList, StringsHoldAnyNumberOfReferencesAndKeysUpToTheBound)
{
    const QByteArray many = QByteArray("&amp;&#x41;&lt;&#233;&gt;&quot;").repeated(60000);
    const QString read = QStringLiteral("&A<é>\"").repeated(60000);
    QString error;
    EXPECT_EQ(PropertyList::fromData(inArray("<string>" + many + "</string><string>a&amp;b</string><string/><string>&lt;![CDATA[</string>"), &error),
              QVariant(QVariantList{read, "a&b", "", "<![CDATA["}));
    EXPECT_EQ(error, QString());
    // Comments, CDATA and white space beside references, as an XML reader takes them.
    EXPECT_EQ(PropertyList::fromData(inArray("<string> &amp;<!-- no --><![CDATA[<&>]]>\n</string>"), &error),
              QVariant(QVariantList{" &<&>\n"}));
    EXPECT_EQ(PropertyList::fromData(inArray("<string>&amp;<b/></string>")), QVariant()) << "a string holds no element";

    struct Key
    {
        int references;
        bool kept;
    };
    for (const Key &key : {Key{4096, true}, Key{4097, false}}) {
        SCOPED_TRACE(key.references);
        const QString name = QStringLiteral("<").repeated(key.references);
        const QVariant dictionary = QVariantMap{{name, 1}};
        error.clear();
        const QByteArray written = PropertyList::toXml(dictionary, &error);
        EXPECT_EQ(written.isEmpty(), !key.kept) << error.toStdString();
        EXPECT_EQ(error, key.kept ? QString()
                                  : QStringLiteral("a key holds 4097 of the characters &, < and >, which an XML property list writes as references, more than the 4096 a key may hold"));
        const QByteArray document = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n<dict><key>" + QByteArray("&lt;").repeated(key.references)
                                  + "</key><integer>1</integer></dict>\n</plist>\n";
        error.clear();
        EXPECT_EQ(PropertyList::fromData(document, &error), key.kept ? dictionary : QVariant());
        EXPECT_EQ(error, key.kept ? QString() : QStringLiteral("it holds a key with more than 4096 character or entity references on line 3"));
        if (key.kept) {
            EXPECT_EQ(PropertyList::fromData(written), dictionary);
        }
    }
}

// A file is read in the encoding its XML declaration names; one holding bytes that encoding does
// not define, or naming an encoding nobody knows, is refused with the reason.
TEST(PropertyList, TextsAreReadInTheEncodingTheFileDeclares)
{
    const auto plist = [](const QByteArray &declaration, const QByteArray &key, const QByteArray &text) {
        return "<?xml version=\"1.0\" " + declaration + "?>\n<plist version=\"1.0\">\n<dict>\n\t<key>" + key + "</key>\n\t<string>" + text
            + "</string>\n</dict>\n</plist>\n";
    };
    const struct { const char *name; QByteArray bytes; QVariant value; QString error; } cases[] = {
        {"ISO-8859-1", plist("encoding=\"ISO-8859-1\"", "Caf\xe9", "Gr\xfc\xdf" "e \xe0 la cr\xe8me"),
         QVariantMap{{QString::fromUtf8("Café"), QString::fromUtf8("Grüße à la crème")}}, {}},
        {"in single quotes, lower case", plist("encoding='iso-8859-1' standalone='yes'", "Na\xefve", "\xa9"),
         QVariantMap{{QString::fromUtf8("Naïve"), QString::fromUtf8("©")}}, {}},
        {"windows-1252", plist("encoding=\"windows-1252\"", "Price", "\x80 5"), QVariantMap{{"Price", QString::fromUtf8("€ 5")}}, {}},
        {"UTF-8", plist("encoding=\"UTF-8\"", "Caf\xc3\xa9", "ok"), QVariantMap{{QString::fromUtf8("Café"), "ok"}}, {}},
        {"after 600 spaces", QByteArray(600, ' ') + plist("encoding=\"ISO-8859-1\"", "Caf\xe9", "\xfc"),
         QVariantMap{{QString::fromUtf8("Café"), QString::fromUtf8("ü")}}, {}},
        {"after line ends and tabs", "\r\n\t\n" + plist("encoding=\"ISO-8859-1\"", "Caf\xe9", "\xfc"),
         QVariantMap{{QString::fromUtf8("Café"), QString::fromUtf8("ü")}}, {}},
        {"after a byte-order mark of UTF-8", "\xef\xbb\xbf" + plist("encoding=\"UTF-8\"", "Caf\xc3\xa9", "ok"),
         QVariantMap{{QString::fromUtf8("Café"), "ok"}}, {}},
        {"a byte-order mark of UTF-8 and no declaration", "\xef\xbb\xbf<plist><dict><key>Caf\xc3\xa9</key><string>ok</string></dict></plist>",
         QVariantMap{{QString::fromUtf8("Café"), "ok"}}, {}},
        {"a byte-order mark of UTF-8 and ISO-8859-1 declared", "\xef\xbb\xbf" + plist("encoding=\"ISO-8859-1\"", "Caf\xe9", "ok"), {},
         "it starts with the byte-order mark of UTF-8 but declares the encoding ISO-8859-1"},
        {"a byte windows-1252 does not define", plist("encoding=\"windows-1252\"", "Price", "\x81"), {},
         "it could not be read in the encoding windows-1252 it declares: "},
        {"an encoding nobody knows", plist("encoding=\"x-no-such-set\"", "Price", "5"), {},
         "it could not be read in the encoding x-no-such-set it declares: iconv does not know the character set x-no-such-set"},
        {"a byte UTF-8 does not define", plist("encoding=\"UTF-8\"", "Caf\xe9", "ok"), {}, "it holds bytes that are no UTF-8 at offset 77 (line 4): E9"},
        {"a byte UTF-8 does not define, after a byte-order mark", "\xef\xbb\xbf" + plist("encoding=\"UTF-8\"", "Caf\xe9", "ok"), {},
         "it holds bytes that are no UTF-8 at offset 80 (line 4): E9"},
        {"a byte UTF-8 does not define, with no declaration", "<plist><dict><key>Caf\xe9</key><string>ok</string></dict></plist>", {},
         "it holds bytes that are no UTF-8 at offset 21 (line 1): E9"},
        {"a character cut short at the end of the file", plist("encoding=\"UTF-8\"", "Price", "5") + "\xe2\x82", {},
         "it holds bytes that are no UTF-8 at offset 123 (line 8): E2 82"},
        {"a control character in windows-1252", plist("encoding=\"windows-1252\"", "Price", "\x80\x01"), {},
         "it holds the character U+0001 on line 5, which XML allows nowhere"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        const QVariant read = PropertyList::fromData(c.bytes, &error);
        EXPECT_EQ(read, c.value);
        EXPECT_TRUE(error.startsWith(c.error) && (c.error.isEmpty() == error.isEmpty())) << error.toStdString();
    }
}

// Every property list and strings table Foldwise ships is read, and reads alike once written again.
TEST(PropertyList, EveryShippedPropertyListIsRead)
{
    QDirIterator files(qEnvironmentVariable("FOLDWISE_RESOURCES"), {"*.plist", "*.strings"}, QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    for (; files.hasNext(); ++count) {
        const QString path = files.next();
        SCOPED_TRACE(path.toStdString());
        QString error;
        const QVariant value = PropertyList::read(path, &error);
        EXPECT_TRUE(value.isValid()) << error.toStdString();
        EXPECT_EQ(PropertyList::fromData(PropertyList::toXml(value, &error), &error), value) << error.toStdString();
    }
    EXPECT_GE(count, 15);
}
