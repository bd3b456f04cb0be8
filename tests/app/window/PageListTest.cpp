#include "booklet/BookletExport.h"
#include "booklet/DocumentFixture.h"

#include "app/window/VXDocumentWindowController.h"
#include "app/window/VXPagesController.h"
#include "app/window/VXPagesTableView.h"
#include "support/PictureFixture.h"

#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>
#include <variant>

namespace {

// The input filter's rows as the page list shows them: "button" for the add button, else the
// page's row in the controller.
QStringList rowsOf(const VXPDFInputFilter &filter, const VXPagesController &controller)
{
    QStringList rows;
    for (const VXPDFInputFilter::PageListEntry &entry : filter.pages()) {
        if (std::holds_alternative<QWidget *>(entry))
            rows << QStringLiteral("button");
        else
            rows << QString::number(controller.rowForPage(std::get<VXPagePtr>(entry).get()));
    }
    return rows;
}

// The booklet of the document as its export writes it, by the fixture pages' numbers.
QString exportedBooklet(Document &document, const QString &path)
{
    return document.exportBookletToURL(QUrl::fromLocalFile(path)) ? BookletExport::halves(PdfFixture::read(path)) : QStringLiteral("not exported");
}

} // namespace

// The list shows the filter's rows: the add button the window hands over comes first, ahead of
// the pages, and stays first through every edit and a reload.
TEST_F(DocumentTest, ThePageListShowsTheInputFiltersRowsWithTheAddButtonFirst)
{
    Document document;
    ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), "three.pdf", PdfFixture::pages(PdfFixture::numbered(3)))),
                                 Document::PdfType));
    VXPDFInputFilter &filter = *document.inputFilter();
    VXPagesController controller(&filter, document.undoManager());
    VXPagesTableView list;
    list.setModel(&controller);
    EXPECT_EQ(rowsOf(filter, controller), (QStringList{"1", "2", "3"})) << "no button yet";
    EXPECT_EQ(list.addPageButton(), nullptr);

    // Declared after the list, so that it leaves the list before the list goes.
    QPushButton button;
    ASSERT_TRUE(controller.setAddButton(&button));
    EXPECT_EQ(rowsOf(filter, controller), (QStringList{"button", "1", "2", "3"}));
    EXPECT_EQ(list.indexWidget(controller.index(0)), &button) << "row 0 of the list is the filter's first row";

    ASSERT_TRUE(controller.insertObject(VXPage::pageWithSize({100, 100}), 1));
    EXPECT_EQ(rowsOf(filter, controller), (QStringList{"button", "1", "2", "3", "4"}));
    EXPECT_EQ(filter.allPages().size(), 4) << "the pages without the button";
    EXPECT_EQ(filter.count(), 4u) << "the button is no page";
    EXPECT_EQ(filter[0], controller.pageAtRow(1));

    controller.reload();
    EXPECT_EQ(list.indexWidget(controller.index(0)), &button) << "back at the head after the rows were laid anew";
    filter.removeAllPages();
    EXPECT_EQ(rowsOf(filter, controller), QStringList{"button"});
}

// Rows moved and pages dropped in the list reach the document, its delegate, and so its booklet;
// a drop refused tells it nothing.
TEST_F(DocumentTest, ADropThatChangesThePageListTellsTheDocumentWhoseBookletFollows)
{
    Document document;
    const QString source = PdfFixture::write(folder.path(), "four.pdf", PdfFixture::pages(BookletExport::portraitPages(4)));
    ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(source), Document::PdfType));
    VXPagesController controller(document.inputFilter(), document.undoManager());
    controller.setDelegate(&document);
    ASSERT_EQ(controller.delegate(), &document);
    EXPECT_EQ(exportedBooklet(document, folder.filePath("before.pdf")), "(4|1) (2|3)");

    QMimeData tiff;
    tiff.setData("image/tiff", PictureFixture::encoded(PictureFixture::marked({200, 300}, Qt::green, Qt::red), "tiff", 72));
    const struct
    {
        const char *what;
        std::function<bool()> drop;
        int told;
    } drops[] = {
        {"pages 3 and 4 dragged to the top", [&] {
             const std::unique_ptr<QMimeData> rows(controller.mimeData({controller.index(3), controller.index(4)}));
             return controller.dropMimeData(rows.get(), Qt::MoveAction, 1, 0, {});
         }, 1},
        {"above the add button", [&] { return controller.dropMimeData(&tiff, Qt::CopyAction, 0, 0, {}); }, 0},
        {"a picture dropped at the end", [&] { return controller.dropMimeData(&tiff, Qt::CopyAction, 5, 0, {}); }, 1},
    };
    for (const auto &drop : drops) {
        QSignalSpy updated(&document, &Document::pagesUpdated);
        EXPECT_EQ(drop.drop(), drop.told > 0) << drop.what;
        EXPECT_EQ(updated.count(), drop.told) << drop.what;
    }
    // 3 4 1 2 and the picture, padded to eight pages.
    EXPECT_EQ(exportedBooklet(document, folder.filePath("after.pdf")), "(-|3) (4|-) (-|1) (2|-)");
}

// The window makes its document the page list's delegate; held weakly, a delegate that went first
// is told nothing and the list goes on working.
TEST_F(DocumentTest, TheDocumentWindowsPageListHasTheDocumentAsItsDelegateHeldWeakly)
{
    Document document;
    ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), "four.pdf", PdfFixture::pages(BookletExport::portraitPages(4)))),
                                 Document::PdfType));
    EXPECT_EQ(VXDocumentWindowController::makeWindowController(&document)->pagesController()->delegate(), &document);

    VXPagesController controller(document.inputFilter(), document.undoManager());
    controller.setDelegate(new Document);
    delete dynamic_cast<Document *>(controller.delegate());
    EXPECT_EQ(controller.delegate(), nullptr);
    const std::unique_ptr<QMimeData> rows(controller.mimeData({controller.index(4)}));
    ASSERT_TRUE(controller.dropMimeData(rows.get(), Qt::MoveAction, 1, 0, {}));
    EXPECT_EQ(exportedBooklet(document, folder.filePath("moved.pdf")), "(3|4) (1|2)");
}
