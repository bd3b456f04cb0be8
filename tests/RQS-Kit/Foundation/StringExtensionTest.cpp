#include "RQS-Kit/Foundation/StringExtension.h"

#include <gtest/gtest.h>

#include <QFont>

using namespace rqs;

namespace {

constexpr qint64 NotFound = QSResourceInfo::NotFound;

// nullptr stands for a null string.
QString text(const char *utf8) { return utf8 ? QString::fromUtf8(utf8) : QString(); }

QSResourceInfo infoOf(const QString &type, qint64 index, const QString &name, const QString &options = {})
{
    QSResourceInfo info;
    info.setType(type);
    info.setIndex(index);
    info.setName(name);
    info.setOptions(options);
    return info;
}

void expectSameInfo(const QSResourceInfo &actual, const QSResourceInfo &expected, const QString &label)
{
    EXPECT_EQ(actual.type(), expected.type()) << label.toStdString();
    EXPECT_EQ(actual.index(), expected.index()) << label.toStdString();
    EXPECT_EQ(actual.name(), expected.name()) << label.toStdString();
    EXPECT_EQ(actual.options(), expected.options()) << label.toStdString();
}

} // namespace

TEST(StringExtension, ParsesAndBuildsResourceIdentifiersThatReadBackAsWritten)
{
    const struct { const char *input, *type; qint64 index; const char *name, *options; } cases[] = {
        {"RQS-T#007#Linen@2x.png", "RQS-T", 7, "Linen", nullptr}, {"RQS-T#007#Linen#soft", "RQS-T", 7, "Linen", "soft"},
        // A four-character type is no type, and then there is no index either; a device suffix goes.
        {"ABCD#007#Name", nullptr, NotFound, "ABCD", "007#Name"}, {"RQS-T#007#Linen-iPhone.tiff", "RQS-T", 7, "Linen", nullptr},
        // The three-character field reads like a number with blanks; longer fields only when all digits that fit.
        {"RQS-T# 12#Name", "RQS-T", 12, "Name", nullptr}, {"RQS-T#07#Name", "RQS-T", NotFound, "07", "Name"},
        {"RQS-T#99999999999999999999#Name", "RQS-T", NotFound, "99999999999999999999", "Name"},
        // An identifier without a name field holds its index as the name.
        {"RQS-T#007", "RQS-T", NotFound, "007", nullptr},
    };
    for (const auto &c : cases)
        expectSameInfo(resourceInfo(text(c.input)), infoOf(text(c.type), c.index, text(c.name), text(c.options)), text(c.input));

    // Identifiers are built so that they read back as written.
    EXPECT_EQ(resourceIDForType("RQS-T", 7), "RQS-T#007");
    EXPECT_EQ(resourceIDForType("RQS-T", NotFound), "RQS-T");
    EXPECT_EQ(resourceIDForType("FRM-U", 1234), "FRM-U#1234");
    EXPECT_EQ(resourceIDNameFor(infoOf("RQS-T", NotFound, "Linen")), "RQS-T#Linen");
    EXPECT_EQ(resourceIDNameFor(infoOf("RQS-T", 7, "Linen", "soft")), "RQS-T#007#Linen");
    const QString file = "Textures/RQS-T#007#Linen#soft@2x.png";
    EXPECT_EQ(resourceID(file), "RQS-T#007");
    EXPECT_EQ(resourcePath("RQS-T"), "Textures");

    for (const qint64 index : {qint64(0), NotFound}) {
        const QSResourceInfo written = infoOf("RQS-T", index, "Linen");
        expectSameInfo(resourceInfo(resourceIDNameFor(written) + "@2x.tiff"), written, resourceIDNameFor(written));
    }
}

// Three digits are only the least an index is written with: an index of 1000 or more is written
// whole and reads back, in an identifier, its file name and its name with options.
TEST(StringExtension, IndexesOfFourOrMoreDigitsReadBackAsWritten)
{
    for (const qint64 index : {qint64(999), qint64(1000), qint64(1234), qint64(99999), qint64(1) << 40}) {
        SCOPED_TRACE(index);
        const QSResourceInfo written = infoOf("FRM-U", index, "Linen");
        const QString idName = resourceIDNameFor(written);
        EXPECT_EQ(idName, "FRM-U#" + QString::number(index).rightJustified(3, '0') + "#Linen");
        expectSameInfo(resourceInfo(idName + "@2x.tiff"), written, idName);
        expectSameInfo(resourceInfo(idName + "#soft"), infoOf("FRM-U", index, "Linen", "soft"), idName);
        EXPECT_EQ(resourceID("Frames/" + idName + "#soft.png"), resourceIDForType("FRM-U", index));
    }
}

TEST(StringExtension, FindsSubstringsDeletesLocaleExtensionsReadsHexAndDigestsTheUtf8Bytes)
{
    const QString name = "RQS-T#007#Linen@2x";
    EXPECT_TRUE(hasAnySubstringOf(name, {"Silk", "@2x"}));
    EXPECT_FALSE(hasAnySubstringOf(name, {"Silk", "linen"}));
    EXPECT_FALSE(hasAnySubstringOf(name, {QString("")})) << "an empty element looks for nothing, so it finds nothing";

    EXPECT_EQ(stringByDeletingLocaleAndPathExtension("Help.en_GB.html"), "Help");
    EXPECT_EQ(stringByDeletingLocaleAndPathExtension("Read.me.txt"), "Read.me");
    EXPECT_EQ(stringByDeletingLocaleAndPathExtension("Docs.de/Help"), "Docs.de/Help");

    // Hex digits become bytes; digests are of the UTF-8 bytes.
    EXPECT_EQ(hexstringData("0aFF"), QByteArray::fromHex("0aff"));
    EXPECT_TRUE(hexstringData("0g").isEmpty());
    EXPECT_TRUE(hexstringData("abc").isEmpty());

    EXPECT_EQ(sha1StringWithKey("Grüße", QString("Schlüssel").toUtf8()), "37d47055b5f617ec937034c5402d418d6fe3e0ac");
}

TEST(StringExtension, BoldMarkupTurnsIntoRangesOfTheBoldFontOrOfTheSystemFontAtTenPoints)
{
    QTextCharFormat attributes;
    attributes.setFontFamilies({"Serif"});
    const struct { const char *input; const char *text; QList<std::pair<int, int>> boldRanges; } cases[] = {
        {"<b>One</b> and <b>two</b>.", "One and two.", {{0, 3}, {8, 3}}},
        {"<b>a<b>b</b>c</b>", "abc", {{0, 3}}},
        {"Open <b>without close", "Open <b>without close", {}},
        // A closing tag only closes an opening one before it.
        {"a</b>b<b>c</b>", "a</b>bc", {{6, 1}}},
    };
    for (const auto &c : cases) {
        const platform::AttributedString result = atrributedStringWithAtributes(text(c.input), attributes);
        EXPECT_EQ(result.text, text(c.text)) << c.input;
        QList<std::pair<int, int>> boldRanges;
        for (const QTextLayout::FormatRange &range : result.ranges) {
            EXPECT_EQ(range.format.fontFamilies().toStringList(), QStringList{"Serif"}) << c.input;
            if (range.format.fontWeight() == QFont::Bold)
                boldRanges.append({range.start, range.length});
        }
        EXPECT_EQ(boldRanges, c.boldRanges) << c.input;
    }

    const platform::AttributedString plain = atrributedStringWithAtributes("a<b>b</b>");
    ASSERT_EQ(plain.ranges.size(), 2);
    EXPECT_EQ(plain.ranges.at(0).format, defaultAttributes());
    EXPECT_EQ(plain.ranges.at(1).format.fontPointSize(), 10);
}
