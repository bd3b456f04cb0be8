#include "app/booklet/Document.h"
#include "app/shell/VXDocumentController.h"
#include "platform/ui/Alert.h"

#include "support/PdfFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class VXDocumentControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::Alert::setResponder([this](const platform::Alert &alert) {
            told << alert.messageText() + " " + alert.informativeText();
            return platform::Alert::FirstButtonReturn;
        });
    }
    void TearDown() override { platform::Alert::setResponder(nullptr); }

    QUrl file(const QString &name, const QByteArray &bytes)
    {
        return QUrl::fromLocalFile(PdfFixture::write(folder.path(), name, bytes));
    }

    QTemporaryDir folder;
    VXDocumentController controller;
    QStringList told;
};

TEST_F(VXDocumentControllerTest, AFileOpensOnceByWhateverPathItIsNamed)
{
    const QUrl url = file("four.pdf", PdfFixture::pages(PdfFixture::numbered(4)));
    ASSERT_TRUE(QFile::link(url.toLocalFile(), folder.filePath("link.pdf")));
    Document *document = controller.openDocumentWithContentsOfURL(url, true);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->inputFilter()->allPages().size(), 4);
    QDir(folder.path()).mkdir("sub");
    const QList<QUrl> sameFile{
        url,
        QUrl::fromLocalFile(folder.filePath("link.pdf")),
        QUrl::fromLocalFile(folder.path() + "/./sub/../four.pdf"),
    };
    for (const QUrl &same : sameFile)
        EXPECT_EQ(controller.openDocumentWithContentsOfURL(same, true), document) << same.toString().toStdString();
    EXPECT_EQ(controller.documents(), QList<Document *>{document});

    // Closing lets the document go; the file then opens afresh.
    document->close();
    EXPECT_TRUE(controller.documents().isEmpty());
    EXPECT_EQ(controller.documentForURL(url), nullptr);
    Document *again = controller.openDocumentWithContentsOfURL(url, false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(controller.documents(), QList<Document *>{again});
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(VXDocumentControllerTest, AFileThatCannotBeOpenedIsToldAndChangesNothing)
{
    const QUrl kept = file("kept.pdf", PdfFixture::pages(PdfFixture::numbered(1)));
    Document *document = controller.openDocumentWithContentsOfURL(kept, true);
    ASSERT_NE(document, nullptr);
    struct Case
    {
        QUrl url;
        QString told;
    };
    const QList<Case> cases{
        {QUrl::fromLocalFile(folder.filePath("missing.pdf")),
         "The file “missing.pdf” could not be opened. The file does not exist, or you are not allowed to read it."},
        {file("notes.pdf", "only words, no PDF"),
         "The file “notes.pdf” could not be opened. Foldwise opens PDF documents and pictures; this file is neither, or it is damaged."},
    };
    for (const Case &c : cases) {
        told.clear();
        EXPECT_EQ(controller.openDocumentWithContentsOfURL(c.url, true), nullptr) << c.url.toString().toStdString();
        EXPECT_EQ(told, QStringList{c.told});
    }
    EXPECT_EQ(controller.documents(), QList<Document *>{document});
    EXPECT_EQ(document->fileURL(), kept);
}

} // namespace
