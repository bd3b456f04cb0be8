#include "DocumentFixture.h"

#include "platform/foundation/KeyValue.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/ui/PageLayoutPanel.h"
#include "support/PdfFixture.h"
#include "support/PictureFixture.h"

#include <QFileDialog>
#include <QPageLayout>
#include <QPrinter>

namespace {

QList<QSizeF> pageSizes(const QString &path)
{
    QList<QSizeF> sizes;
    if (const std::optional<platform::PdfDocument> pdf = platform::PdfDocument::open(path)) {
        for (int i = 0; i < pdf->pageCount(); ++i)
            sizes << pdf->page(i)->visibleSize();
    }
    return sizes;
}

} // namespace

TEST_F(DocumentTest, OpensPdfAndPictureFilesWithTheAutomaticPaper)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QString type;
        bool opens;
        quint64 pages;
        QSizeF paper; // with the automatic paper on
    };
    const QByteArray empty = *platform::PdfDocument().data();
    const QList<Case> cases{
        {"three.pdf", pagesOfSize(3, {420, 595}), Document::PdfType, true, 3, {840, 595}},
        {"Menu.png", PictureFixture::encoded(PictureFixture::marked({120, 80}, Qt::blue, Qt::red), "png", 72),
         Document::ImageType, true, 1, {240, 80}},
        // No pages: the blank padding page gives the paper.
        {"empty.pdf", empty, Document::PdfType, true, 0, {200, 100}},
        {"notes.txt", "neither a PDF nor a picture", Document::PdfType, false, 0, {}},
    };
    for (const Case &c : cases) {
        platform::UserDefaults::standardUserDefaults()->setBool(true, "autoPaperSize");
        const QUrl url = QUrl::fromLocalFile(PdfFixture::write(folder.path(), c.name, c.bytes));
        EXPECT_EQ(Document::typeForContentsOfURL(url), c.type) << c.name;
        Document doc;
        EXPECT_EQ(doc.openURL(url, c.type), c.opens) << c.name;
        EXPECT_EQ(quint64(doc.inputFilter()->allPages().size()), c.pages) << c.name;
        EXPECT_FALSE(doc.hasChanges()) << c.name;
        if (!c.opens) {
            EXPECT_TRUE(doc.fileURL().isEmpty());
            continue;
        }
        const platform::PrintInfo paper = doc.printInfo();
        EXPECT_EQ(paper.paperName(), Document::AutoPaperName) << c.name;
        // A PNG records its resolution in whole dots per metre: 72 dpi is 72.009.
        EXPECT_NEAR(paper.paperSize().width(), c.paper.width(), 0.05) << c.name;
        EXPECT_NEAR(paper.paperSize().height(), c.paper.height(), 0.05) << c.name;
        EXPECT_EQ(paper.leftMargin() + paper.rightMargin() + paper.topMargin() + paper.bottomMargin(), 0.0);
        // Leaving the automatic paper brings back the stored one.
        doc.setAutoPaperSize(false);
        EXPECT_EQ(doc.printInfo().paperSize(), platform::PrintInfo::sharedPrintInfo().paperSize()) << c.name;
    }
}

TEST_F(DocumentTest, SavingWritesThePagesInOrderAndNeverOverTheSource)
{
    const QString source = PdfFixture::write(folder.path(), "four.pdf", PdfFixture::pages(PdfFixture::numbered(4)));
    const QByteArray sourceBytes = PdfFixture::read(source);
    Document doc;
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(source), Document::PdfType));
    // Page 2 (landscape) moves to the end.
    const VXPagePtr second = doc.inputFilter()->allPages()[1];
    doc.inputFilter()->removePage(second);
    doc.inputFilter()->addPage(second);
    ASSERT_TRUE(platform::KeyValue::setValue(&doc, "zoom", 2.0));

    const QString copy = folder.filePath("copy.pdf");
    platform::SavePanel::setResponder([&](QFileDialog &dialog) {
        EXPECT_EQ(dialog.selectedFiles().value(0), folder.filePath("four.pdf"));
        dialog.selectFile(copy);
        return platform::SavePanel::OKButton;
    });
    // Whether a save that the responders answer ends done.
    const auto saves = [](const std::function<void(std::function<void(bool)>)> &save) {
        std::optional<bool> saved;
        save([&](bool done) { saved = done; });
        return waitFor([&] { return saved.has_value(); }) && *saved;
    };
    EXPECT_TRUE(saves([&](auto done) { doc.saveDocumentAs(done); }));
    EXPECT_EQ(pageSizes(copy), QList<QSizeF>({{200, 300}, {200, 300}, {300, 200}, {300, 200}}));
    EXPECT_EQ(doc.fileURL(), QUrl::fromLocalFile(copy));
    doc.performClose();
    QTest::qWait(50);
    EXPECT_EQ(PdfFixture::read(source), sourceBytes);

    // A picture is never replaced by PDF bytes under its own name: saving asks for a PDF beside it.
    const QString picture = PdfFixture::write(folder.path(), "Menu.png",
                                              PictureFixture::encoded(PictureFixture::marked({60, 40}, Qt::green, Qt::red), "png"));
    const QByteArray pictureBytes = PdfFixture::read(picture);
    Document menu;
    ASSERT_TRUE(menu.openURL(QUrl::fromLocalFile(picture), Document::ImageType));
    EXPECT_FALSE(menu.saveToURL(QUrl::fromLocalFile(picture), Document::PdfType, platform::DocumentBase::SaveOperation::Save));
    int asked = 0;
    platform::SavePanel::setResponder([&](QFileDialog &) {
        ++asked;
        return platform::SavePanel::OKButton; // the proposed name
    });
    EXPECT_TRUE(saves([&](auto done) { menu.saveDocument(done); }));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(PdfFixture::read(picture), pictureBytes);
    EXPECT_EQ(menu.fileURL(), QUrl::fromLocalFile(folder.filePath("Menu.pdf")));
    EXPECT_EQ(pageSizes(folder.filePath("Menu.pdf")).size(), 1);
    // From now on Save writes the PDF without asking.
    EXPECT_TRUE(saves([&](auto done) { menu.saveDocument(done); }));
    EXPECT_EQ(asked, 1);
}

TEST_F(DocumentTest, PageLayoutReplacesTheAutomaticPaperAndIsStored)
{
    Document doc;
    doc.setAutoPaperSize(true);
    platform::PageLayoutPanel::setResponder([](QPrinter &printer) {
        // Whatever printers the machine has, the user picks a paper no queue needs to offer.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait, QMarginsF(10, 20, 30, 40)));
        return platform::PageLayoutPanel::OKButton;
    });
    doc.runPageLayout();
    ASSERT_TRUE(waitFor([&] { return !doc.autoPaperSize(); }));
    platform::PageLayoutPanel::setResponder(nullptr);

    const std::optional<platform::PrintInfo> stored = platform::PrintInfo::fromArchivedData(doc.printSettings().toByteArray());
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(*stored, doc.printInfo());
    EXPECT_EQ(stored->paperName(), "A5");
    EXPECT_EQ(QMarginsF(stored->leftMargin(), stored->topMargin(), stored->rightMargin(), stored->bottomMargin()),
              QMarginsF(10, 20, 30, 40));
    EXPECT_TRUE(doc.hasChanges());

    // A custom paper known only by its identifier shows its size.
    platform::PrintInfo custom = doc.printInfo();
    custom.setPaperName("ABCD-1234-EFGH-5678-IJKL");
    doc.setPrintInfo(custom);
    EXPECT_TRUE(doc.visualPaperName().startsWith("Paper Size: "));
    custom.setPaperName("ABCD-1234-EFGH-5678-IJKL ABCD-1234-EFGH-5678-IJKL");
    doc.setPrintInfo(custom);
    EXPECT_EQ(doc.visualPaperName(), custom.paperName());
}
