#include "DocumentFixture.h"

#include "platform/foundation/KeyValue.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>

#include <poppler-qt6.h>

namespace {

// No such family on Linux: fontconfig would draw it in DejaVu Sans.
const QString NotInstalled = QStringLiteral("Lucida Grande");

QString desktopFamily() { return QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family(); }

// The families of the fonts the exported booklet's numbers were drawn in, as poppler lists them
// ("ABCDEF+DejaVuSerif" for a subset of DejaVu Serif), less the fixture's own Helvetica.
QStringList exportedFonts(Document &document, const QString &path)
{
    if (!document.exportBookletToURL(QUrl::fromLocalFile(path)))
        return {"not exported"};
    const std::unique_ptr<Poppler::Document> pdf = Poppler::Document::load(path);
    QStringList names;
    for (const Poppler::FontInfo &font : pdf ? pdf->fonts() : QList<Poppler::FontInfo>()) {
        if (font.name() != "Helvetica")
            names << font.name().section('+', -1);
    }
    names.removeDuplicates();
    return names;
}

} // namespace

class PageNumberFont : public DocumentTest
{
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        for (const char *family : {"DejaVu Sans", "DejaVu Serif"})
            ASSERT_TRUE(QFontDatabase::hasFamily(family)) << family;
        ASSERT_FALSE(QFontDatabase::hasFamily(NotInstalled));
    }

    void open(Document &document)
    {
        const QString pdf = PdfFixture::write(folder.path(), "four.pdf", PdfFixture::pages(PdfFixture::numbered(4)));
        ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(pdf), Document::PdfType));
        ASSERT_TRUE(platform::KeyValue::setValue(&document, "showPageNumbers", true));
    }
};

// However the name of a family that is not installed arrives, the numbers keep the font they were
// drawn in, with its name, and only the setting keeps the name asked for.
TEST_F(PageNumberFont, ANameOfNoInstalledFamilyLeavesTheNumbersFontAndTheSettingKeepsTheName)
{
    const struct
    {
        const char *way;
        std::function<void(Document &)> name;
    } ways[] = {
        {"the window's controls", [](Document &doc) { platform::KeyValue::setValue(&doc, "pageNumbersFontName", NotInstalled); }},
        {"the setter", [](Document &doc) { doc.setPageNumbersFontName(NotInstalled); }},
        {"a task's settings", [](Document &doc) { doc.setSettingsDictionary(QVariantMap{{"pageNumbersFontName", NotInstalled}}); }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.way);
        Document doc;
        open(doc);
        ASSERT_TRUE(platform::KeyValue::setValue(&doc, "pageNumbersFontName", QString("DejaVu Serif")));
        ASSERT_EQ(QFontInfo(doc.pageNumberFilter()->font()).family(), "DejaVu Serif");
        way.name(doc);
        const VXPageNumberFilter &filter = *doc.pageNumberFilter();
        EXPECT_EQ(filter.font().family(), "DejaVu Serif") << "the font made for the name";
        EXPECT_EQ(QFontInfo(filter.font()).family(), "DejaVu Serif") << "the font drawn";
        EXPECT_EQ(doc.pageNumbersDrawnFontName(), "DejaVu Serif");
        EXPECT_EQ(filter.fontName(), "DejaVu Serif");
        EXPECT_EQ(doc.pageNumbersFontName(), NotInstalled);
        EXPECT_EQ(doc.settingsDictionary().value("pageNumbersFontName"), NotInstalled);

        // A later size is the size of the font drawn.
        ASSERT_TRUE(platform::KeyValue::setValue(&doc, "pageNumbersFontSize", 20.0));
        EXPECT_EQ(QFontInfo(filter.font()).family(), "DejaVu Serif");
        EXPECT_EQ(filter.font().pointSizeF(), 20.0);
        EXPECT_EQ(filter.fontSize(), 20.0);
        EXPECT_EQ(filter.fontName(), "DejaVu Serif");
        EXPECT_EQ(doc.pageNumbersFontName(), NotInstalled);
    }
}

// Saved as a default, the name reaches the next document, whose numbers stay in the desktop's font.
TEST_F(PageNumberFont, ASavedNameOfNoInstalledFamilyLeavesTheNextDocumentsNumbersInTheDesktopsFont)
{
    {
        Document doc;
        open(doc);
        ASSERT_TRUE(platform::KeyValue::setValue(&doc, "pageNumbersFontName", NotInstalled));
        doc.saveDefaults();
    }
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults()->stringForKey("pageNumbersFontName"), NotInstalled);
    Document next;
    open(next);
    EXPECT_EQ(next.pageNumbersFontName(), NotInstalled);
    EXPECT_EQ(next.pageNumberFilter()->font().family(), desktopFamily()) << "not a font made for the name";
    EXPECT_EQ(next.pageNumberFilter()->fontName(), desktopFamily());
    EXPECT_FALSE(next.hasChanges());
}

// What is exported is what the filter says it draws.
TEST_F(PageNumberFont, TheExportedNumbersAreDrawnInTheFontKeptWhenANameIsNotInstalled)
{
    Document doc;
    open(doc);
    ASSERT_TRUE(platform::KeyValue::setValue(&doc, "pageNumbersFontName", QString("DejaVu Serif")));
    EXPECT_EQ(exportedFonts(doc, folder.filePath("serif.pdf")), QStringList{"DejaVuSerif"});
    ASSERT_TRUE(platform::KeyValue::setValue(&doc, "pageNumbersFontName", NotInstalled));
    ASSERT_TRUE(platform::KeyValue::setValue(&doc, "pageNumbersFontSize", 18.0));
    EXPECT_EQ(exportedFonts(doc, folder.filePath("kept.pdf")), QStringList{"DejaVuSerif"});
}

// A font sized in pixels (as a font panel or a caller may hand it) draws its numbers at the points
// those pixels are on the screen, rather than at no size at all.
TEST_F(PageNumberFont, AFontSizedInPixelsDrawsItsNumbersAtThePointsOfThosePixels)
{
    Document doc;
    open(doc);
    QFont pixels(QStringLiteral("DejaVu Serif"));
    pixels.setPixelSize(24);
    ASSERT_EQ(pixels.pointSizeF(), -1) << "Qt knows no points of a font sized in pixels";
    const double points = 24 * 72.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    VXPageNumberFilter &filter = *doc.pageNumberFilter();
    filter.setFont(pixels);
    EXPECT_NEAR(filter.fontSize(), points, 0.01);
    EXPECT_NEAR(filter.font().pointSizeF(), points, 0.01);
    EXPECT_EQ(filter.fontName(), "DejaVu Serif");
    EXPECT_EQ(exportedFonts(doc, folder.filePath("pixels.pdf")), QStringList{"DejaVuSerif"}) << "the numbers are drawn";
}
