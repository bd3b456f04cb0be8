#include "platform/foundation/Log.h"
#include "platform/printing/PrintInfo.h"

#include "support/PropertyListFixture.h"

#include <QUrl>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using platform::PrintInfo;

namespace {

PrintInfo everythingSet()
{
    PrintInfo info;
    info.setPaperName(QStringLiteral("Letter"));
    info.setPaperSize(QSizeF(612, 792));
    info.setOrientation(PrintInfo::Orientation::Landscape);
    info.setTopMargin(10);
    info.setLeftMargin(20);
    info.setBottomMargin(30);
    info.setRightMargin(40);
    info.setJobDisposition(PrintInfo::JobDisposition::Save);
    info.setJobSavingUrl(QUrl::fromLocalFile(QStringLiteral("/tmp/Menu - Booklet.pdf")));
    info.setPrinterName(QStringLiteral("Office"));
    info.setCopies(3);
    info.setDuplex(PrintInfo::Duplex::TwoSidedShortEdge);
    return info;
}

} // namespace

TEST(PrintInfo, DefaultsToThePaperOfTheLocale)
{
    const struct { const char *locale; QString name; QSizeF size; } cases[] = {
        {"C", "A4", {595.28, 841.89}}, {"en_US.UTF-8", "Letter", {612, 792}}};
    const std::string previous = std::setlocale(LC_PAPER, nullptr);
    for (const auto &c : cases) {
        if (!std::setlocale(LC_PAPER, c.locale))
            continue; // the locale is not installed
        const PrintInfo info;
        EXPECT_EQ(info.paperName(), c.name) << c.locale;
        EXPECT_NEAR(info.paperSize().width(), c.size.width(), 0.01) << c.locale;
        EXPECT_NEAR(info.paperSize().height(), c.size.height(), 0.01) << c.locale;
    }
    std::setlocale(LC_PAPER, previous.c_str());
}

TEST(PrintInfo, PaperSizeAndOrientationFollowEachOther)
{
    PrintInfo info;
    info.setPaperSize(QSizeF(200, 100));
    EXPECT_EQ(info.orientation(), PrintInfo::Orientation::Landscape);
    info.setOrientation(PrintInfo::Orientation::Portrait);
    EXPECT_EQ(info.paperSize(), QSizeF(100, 200));
    info.setOrientation(PrintInfo::Orientation::Portrait);
    EXPECT_EQ(info.paperSize(), QSizeF(100, 200));
    info.setPaperSize(QSizeF(150, 150));
    EXPECT_EQ(info.orientation(), PrintInfo::Orientation::Portrait);
    info.setCopies(0);
    EXPECT_EQ(info.copies(), 1);
}

// By the platform's names and by the names earlier versions stored; the current name wins.
TEST(PrintInfo, ReadsSizesAndUrlsGivenAsTextTurningTheSizeByTheOrientation)
{
    const QList<QVariantMap> cases{
        {{"NSPrintPaperSize", QStringLiteral("{612, 792}")}, {"NSPrintOrientation", 1}, {"NSPrintScalingFactor", 0.5},
         {"NSPrintJobDisposition", QStringLiteral("NSPrintSaveJob")}, {"NSPrintJobSavingURL", QStringLiteral("file:///tmp/out.pdf")},
         {"SomethingElse", 12}},
        {{"PaperSize", QStringLiteral("{612, 792}")}, {"Orientation", 1}, {"NSPrintScalingFactor", 0.5},
         {"JobDisposition", QStringLiteral("save")}, {"JobSavingURL", QStringLiteral("file:///tmp/out.pdf")}},
        {{"PaperSize", QStringLiteral("{100, 100}")}, {"NSPrintPaperSize", QStringLiteral("{612, 792}")}, {"Orientation", 0},
         {"NSPrintOrientation", 1}, {"NSPrintScalingFactor", 0.5}, {"NSPrintJobDisposition", QStringLiteral("NSPrintSaveJob")},
         {"JobSavingURL", QStringLiteral("file:///tmp/out.pdf")}},
    };
    for (const QVariantMap &dictionary : cases) {
        SCOPED_TRACE(dictionary.firstKey().toStdString());
        const std::optional<PrintInfo> info = PrintInfo::fromDictionary(dictionary);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->paperSize(), QSizeF(792, 612));
        EXPECT_EQ(info->scalingFactor(), 0.5);
        EXPECT_EQ(info->jobDisposition(), PrintInfo::JobDisposition::Save);
        EXPECT_EQ(info->jobSavingUrl().toLocalFile(), QStringLiteral("/tmp/out.pdf"));
    }
}

// A paper given by name alone is that paper, turned as the dictionary says; a name no paper has
// leaves the size as it was.
TEST(PrintInfo, APaperNamedWithoutASizeHasTheSizeOfItsName)
{
    const struct { QVariantMap dictionary; QSizeF size; } cases[] = {
        {{{"NSPrintPaperName", "A5"}}, {419.53, 595.28}},
        {{{"NSPrintPaperName", "letter"}, {"NSPrintOrientation", 1}}, {792, 612}},
        {{{"PaperName", "A3"}, {"Orientation", 1}}, {1190.55, 841.89}},
        {{{"NSPrintPaperName", "A5"}, {"NSPrintPaperSize", "{100, 200}"}}, {100, 200}},
        {{{"NSPrintPaperName", "Foldwise Autosize"}}, PrintInfo().paperSize()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.dictionary.value("NSPrintPaperName", c.dictionary.value("PaperName")).toString().toStdString());
        const std::optional<PrintInfo> info = PrintInfo::fromDictionary(c.dictionary);
        ASSERT_TRUE(info);
        EXPECT_NEAR(info->paperSize().width(), c.size.width(), 0.01);
        EXPECT_NEAR(info->paperSize().height(), c.size.height(), 0.01);
    }
}

TEST(PrintInfo, RefusesValuesThatDoNotFit)
{
    const QList<std::pair<QString, QVariant>> cases{
        {"NSPrintPaperSize", QStringLiteral("{612 792}")},
        {"NSPrintPaperSize", QStringLiteral("{0, 792}")},
        {"NSPrintPaperSize", 612},
        {"NSPrintOrientation", 2},
        {"NSPrintScalingFactor", 0},
        {"NSPrintTopMargin", -1},
        {"NSPrintJobDisposition", QStringLiteral("print")},
        {"NSPrintJobSavingURL", 7},
        {"NSPrintPrinterName", 7},
        {"NSPrintCopies", 1.5},
        {"Duplex", QStringLiteral("both")},
    };
    for (const auto &[key, value] : cases) {
        SCOPED_TRACE(key.toStdString() + " = " + value.toString().toStdString());
        platform::LogCapture log;
        EXPECT_FALSE(PrintInfo::fromDictionary({{key, value}}));
        EXPECT_EQ(log.lines(),
                  QStringList{QStringLiteral("Error: Could not make a print info: \"%1\" holds no fitting value").arg(key)});
    }
}

TEST(PrintInfo, DictionaryAndArchiveComeBackAndTheArchiveRefusesWhatItDidNotWrite)
{
    const QVariantMap dictionary = everythingSet().dictionary();
    EXPECT_EQ(dictionary.value("NSPrintPaperSize"), QSizeF(792, 612));
    EXPECT_EQ(dictionary.value("NSPrintJobDisposition"), QStringLiteral("NSPrintSaveJob"));
    EXPECT_EQ(dictionary.value("Duplex"), QStringLiteral("two-sided-short-edge"));
    EXPECT_EQ(PrintInfo::fromDictionary(dictionary), everythingSet());
    for (const PrintInfo &info : {everythingSet(), PrintInfo()}) {
        const std::optional<PrintInfo> back = PrintInfo::fromArchivedData(info.archivedData());
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, info);
        EXPECT_EQ(back->paperSize().width(), info.paperSize().width());
    }
    // An archive that an earlier version wrote, with its own names, reads back the same.
    QByteArray earlier = everythingSet().archivedData();
    earlier.replace("<key>NSPrint", "<key>").replace("NSPrintSaveJob", "save");
    EXPECT_EQ(PrintInfo::fromArchivedData(earlier), everythingSet());

    const QByteArray archive = everythingSet().archivedData();
    QByteArray otherVersion = archive;
    otherVersion.replace("FoldwisePrintInfo 1\n", "FoldwisePrintInfo 2\n");
    const QList<std::pair<QByteArray, QString>> cases{
        {"garbage\n", "Error: Could not read a print info: the data is no archived print info"},
        {otherVersion, "Error: Could not read a print info: its archive version \"2\" is not known"},
        {archive.left(archive.size() / 2), "Error: Could not read a print info: its dictionary is damaged, because it is no property list"},
        {"FoldwisePrintInfo 1\n" + PropertyListFixture::nestedXml(30000),
         "Error: Could not read a print info: its dictionary is damaged, because it nests arrays and dictionaries deeper than 512 levels"},
        {"FoldwisePrintInfo 1\n" + PropertyListFixture::zeroInText(),
         "Error: Could not read a print info: its dictionary is damaged, because a text holding a zero character"},
    };
    for (const auto &[data, error] : cases) {
        SCOPED_TRACE(data.left(40).toStdString());
        platform::LogCapture log;
        EXPECT_FALSE(PrintInfo::fromArchivedData(data));
        EXPECT_EQ(log.lines(), QStringList{error});
    }
}
