#include "DocumentFixture.h"

#include "app/booklet/VXFactory.h"
#include "RQS-Kit/Foundation/QSWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/ui/PageLayoutPanel.h"
#include "support/PictureFixture.h"
#include "support/PropertyListFixture.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <limits>
#include <set>

using platform::KeyValue::setValue;

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
    ASSERT_TRUE(setValue(&doc, "zoom", 2.0));

    // Whether a save that the responders answer ends done.
    const auto saves = [](const std::function<void(std::function<void(bool)>)> &save) {
        std::optional<bool> saved;
        save([&](bool done) { saved = done; });
        return waitFor([&] { return saved.has_value(); }) && *saved;
    };
    // The source is no file of the document's own: Save asks, proposing another name.
    EXPECT_FALSE(doc.saveToURL(QUrl::fromLocalFile(source), Document::PdfType, platform::DocumentBase::SaveOperation::Save));
    const QString copy = folder.filePath("copy.pdf");
    platform::SavePanel::setResponder([&](QFileDialog &dialog) {
        EXPECT_EQ(dialog.selectedFiles().value(0), folder.filePath("four copy.pdf"));
        dialog.selectFile(copy);
        return platform::SavePanel::OKButton;
    });
    EXPECT_TRUE(saves([&](auto done) { doc.saveDocument(done); }));
    EXPECT_EQ(pageSizes(copy), QList<QSizeF>({{200, 300}, {200, 300}, {300, 200}, {300, 200}}));
    EXPECT_EQ(doc.fileURL(), QUrl::fromLocalFile(copy));
    EXPECT_TRUE(doc.ownsFile());
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

// Saved with its pages reordered, a PDF keeps what its document information says of it, as qpdf
// reads it back from the saved file; pages taken from two files keep neither file's.
TEST_F(DocumentTest, SavingKeepsTheDocumentInformationOfTheFileThePagesComeFrom)
{
    const QMap<QString, QString> described{
        {"/Title", "Menu of the Week"}, {"/Author", "Ann Rivière"}, {"/Subject", "Lunch"}, {"/Keywords", "menu, lunch"},
        {"/Creator", "A Writer"},       {"/CreationDate", "D:20240102030405Z"},
    };
    const auto withInformation = [&](const QByteArray &pdf) {
        return PdfFixture::rewritten(pdf, [&](QPDF &qpdf) {
            QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
            for (auto it = described.cbegin(); it != described.cend(); ++it)
                info.replaceKey(it.key().toStdString(), QPDFObjectHandle::newUnicodeString(it.value().toStdString()));
            info.replaceKey("/Producer", QPDFObjectHandle::newString("An Old Producer"));
            qpdf.getTrailer().replaceKey("/Info", qpdf.makeIndirectObject(info));
        });
    };
    // The saved file's document information, read with qpdf.
    const auto information = [](const QString &path) {
        QMap<QString, QString> read;
        QPDF qpdf;
        qpdf.processFile(path.toLocal8Bit().constData());
        QPDFObjectHandle info = qpdf.getTrailer().getKey("/Info");
        for (const std::string &key : info.isDictionary() ? info.getKeys() : std::set<std::string>())
            read.insert(QString::fromStdString(key), QString::fromStdString(info.getKey(key).getUTF8Value()));
        return read;
    };
    const QString source = PdfFixture::write(folder.path(), "Menu.pdf", withInformation(PdfFixture::pages(PdfFixture::numbered(3))));
    const QString other = PdfFixture::write(folder.path(), "Other.pdf", withInformation(PdfFixture::pages(PdfFixture::numbered(1))));
    platform::SavePanel::setResponder([&](QFileDialog &dialog) {
        dialog.selectFile(folder.filePath("Saved.pdf"));
        return platform::SavePanel::OKButton;
    });
    const auto save = [&](Document &doc) {
        std::optional<bool> saved;
        doc.saveDocumentAs([&](bool done) { saved = done; });
        return waitFor([&] { return saved.has_value(); }) && *saved;
    };

    Document reordered;
    ASSERT_TRUE(reordered.openURL(QUrl::fromLocalFile(source), Document::PdfType));
    const VXPagePtr first = reordered.inputFilter()->allPages().first();
    reordered.inputFilter()->removePage(first);
    reordered.inputFilter()->addPage(first);
    ASSERT_TRUE(save(reordered));
    EXPECT_EQ(information(folder.filePath("Saved.pdf")), described) << "the producer is the one who wrote the file";

    Document joined;
    ASSERT_TRUE(joined.openURL(QUrl::fromLocalFile(source), Document::PdfType));
    joined.inputFilter()->addPage(VXPage::pageForPDFPage(*platform::PdfDocument::open(other)->page(0)));
    ASSERT_TRUE(save(joined));
    EXPECT_EQ(information(folder.filePath("Saved.pdf")).value("/Title"), QString());
    EXPECT_EQ(pageSizes(folder.filePath("Saved.pdf")).size(), 4);
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

// The turned page of the picture carries its top mark on the side the pages turn to.
TEST_F(DocumentTest, TheLandscapeRotationPictureShowsTheWayPagesTurn)
{
    Document doc;
    QList<QImage> heard;
    const auto observer = platform::KeyValue::observe(&doc, "rotateLandscapeImage", [&](const QVariant &image) { heard << image.value<QImage>(); });
    const auto markOnTheRight = [](const QImage &picture) {
        const QColor right = picture.pixelColor(picture.width() - 5, picture.height() / 2);
        const QColor left = picture.pixelColor(picture.width() - 18, picture.height() / 2);
        return right.blue() > right.red() && left == QColor(Qt::white);
    };
    ASSERT_FALSE(doc.rotateLandscapeImage().isNull());
    EXPECT_FALSE(markOnTheRight(doc.rotateLandscapeImage())) << "counter-clockwise to begin with";
    doc.setRotateLandscapeCW(true);
    ASSERT_EQ(heard.size(), 1);
    EXPECT_TRUE(markOnTheRight(heard.first()));
    EXPECT_TRUE(markOnTheRight(platform::KeyValue::valueForKey(&doc, "rotateLandscapeImage").value<QImage>()));
}

TEST_F(DocumentTest, DerivedKeysFollowTheirSourcesAndTellTheirObservers)
{
    struct Case
    {
        bool rotate, clockwise;
        qint32 orientation;
        bool split, straight, activeSplit;
    };
    const Case cases[] = {{false, true, 0, true, false, true}, {true, false, 1, true, true, false},
                          {true, true, 3, false, true, false}};
    for (const Case &c : cases) {
        Document doc;
        int orientationHeard = 0;
        int splitHeard = 0;
        const auto o1 = platform::KeyValue::observe(&doc, "orientationForLandscape", [&](const QVariant &) { ++orientationHeard; });
        const auto o2 = platform::KeyValue::observe(&doc, "activeSplitSettings", [&](const QVariant &) { ++splitHeard; });
        doc.setRotateLandscape(c.rotate);
        doc.setRotateLandscapeCW(c.clockwise);
        doc.setSplitBooklet(c.split);
        doc.setStraightOrder(c.straight);
        EXPECT_EQ(doc.orientationForLandscape(), c.orientation);
        // A document without a window prints its landscape pages turned all the same.
        EXPECT_EQ(doc.printView()->orientationForLandscape(), c.orientation);
        EXPECT_EQ(doc.activeSplitSettings(), c.activeSplit);
        EXPECT_EQ(doc.outputFilter() == doc.splitFilter(), c.activeSplit);
        EXPECT_EQ(orientationHeard, 2);
        EXPECT_EQ(splitHeard, 2);
    }

    Document doc;
    QList<double> heardX;
    int millimetresHeard = 0;
    const auto o3 = platform::KeyValue::observe(&doc, "centerX", [&](const QVariant &x) { heardX << x.toDouble(); });
    const auto o4 = platform::KeyValue::observe(&doc, "creepCompensationMM", [&](const QVariant &) { ++millimetresHeard; });
    doc.setCenter(QPointF(1.5, -2));
    EXPECT_EQ(doc.center(), QPointF(1, -1));
    doc.setCenterY(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(doc.center(), QPointF(1, 1));
    // The clamped value is announced once more, after the control that set it is done.
    EXPECT_TRUE(waitFor([&] { return heardX.size() >= 4; }));
    EXPECT_EQ(heardX.last(), 1.0);
    doc.setCreepCompensationType(9);
    EXPECT_EQ(millimetresHeard, 1);
}

TEST_F(DocumentTest, ChangesByKeyAreTrackedAgainstTheStoredDefaultsAndTheControllingTask)
{
    platform::UserDefaults::standardUserDefaults()->setInteger(16, "splitIntoXPage");
    platform::UserDefaults::standardUserDefaults()->setBool(true, "splitAddingEmpty");
    Document doc;
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), "long.pdf", PdfFixture::pages(PdfFixture::numbered(40)))),
                            Document::PdfType));
    // The default paper is the shared one turned to landscape.
    EXPECT_GT(doc.printInfo().paperSize().width(), doc.printInfo().paperSize().height());
    EXPECT_EQ(doc.splitFilter()->splitPages(), 16u);
    EXPECT_TRUE(doc.splitFilter()->addEmptyPages());
    EXPECT_FALSE(doc.hasChanges());

    ASSERT_TRUE(setValue(&doc, "staplesCount", 3.0));
    EXPECT_EQ(doc.staplesFilter()->numberOfStaples(), 3u);
    EXPECT_TRUE(doc.hasChanges());
    ASSERT_TRUE(setValue(&doc, "staplesCount", 2));
    EXPECT_FALSE(doc.hasChanges());
    doc.setZoom(3.0); // code, not the user
    EXPECT_FALSE(doc.hasChanges());
    // The split controls move the filter; the document keeps their choice as a change.
    doc.splitFilter()->setSplitBooklets(2);
    EXPECT_TRUE(doc.hasChanges());
    doc.saveDefaults();
    EXPECT_FALSE(doc.hasChanges());

    // A shorter document splits into no more pages than it has and keeps the stored setting.
    Document next;
    ASSERT_TRUE(next.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), "short.pdf", PdfFixture::pages(PdfFixture::numbered(10)))),
                             Document::PdfType));
    EXPECT_EQ(next.zoom(), 3.0);
    EXPECT_EQ(next.splitFilter()->splitPages(), 12u);
    EXPECT_EQ(next.splitIntoXPage(), 20u);
    EXPECT_FALSE(next.hasChanges());

    FakeTask task;
    task.m_settings = next.settingsDictionary();
    next.setControllingTask(&task);
    EXPECT_FALSE(next.hasTaskChanges());
    ASSERT_TRUE(setValue(&next, "reverseOrder", true));
    EXPECT_TRUE(next.hasTaskChanges());
    task.m_settings = std::nullopt; // the task follows the defaults
    EXPECT_TRUE(next.hasTaskChanges());
    ASSERT_TRUE(setValue(&next, "reverseOrder", false));
    EXPECT_FALSE(next.hasTaskChanges());
}

// A paper named in the settings without its size is that paper, lying as the paper did; a name no
// paper has keeps the size.
TEST_F(DocumentTest, APaperNamedInTheSettingsTakesTheSizeOfItsName)
{
    Document doc;
    doc.setSettingsDictionary(QVariantMap{{"printSettings", QVariantMap{{"NSPrintPaperName", "A4"}, {"NSPrintOrientation", 1}}}});
    ASSERT_EQ(doc.printInfo().paperName(), "A4");
    ASSERT_NEAR(doc.printInfo().paperSize().width(), 841.89, 0.01);
    const struct { QString name; QSizeF size; } cases[] = {
        {"A5", {595.28, 419.53}},
        {"Letter", {792, 612}},
        {"Exotic Paper", {792, 612}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        doc.setSettingsDictionary(QVariantMap{{"printSettings", QVariantMap{{"NSPrintPaperName", c.name}}}});
        EXPECT_EQ(doc.printInfo().paperName(), c.name);
        EXPECT_NEAR(doc.printInfo().paperSize().width(), c.size.width(), 0.01);
        EXPECT_NEAR(doc.printInfo().paperSize().height(), c.size.height(), 0.01);
    }
}

TEST_F(DocumentTest, ABadSettingsDictionaryIsAppliedAsFarAsItIsSound)
{
    Document doc;
    const QVariant paper = doc.printSettings();
    platform::LogCapture log;
    doc.setSettingsDictionary(QVariantMap{
        {"reverseOrder", true},
        {"rasterizeDPI", 150},
        {"unknownKey", 1},
        {"splitIntoXPage", -4},
        {"pageNumbersFirst", 2.5},
        {"creepCompensationMM", std::numeric_limits<double>::infinity()},
        {"printSettings", 42},
        {"showStaples", QVariant()},
    });
    doc.setSettingsDictionary(std::nullopt);
    EXPECT_TRUE(doc.reverseOrder());
    EXPECT_EQ(doc.rasterizeDPI(), 150.0);
    EXPECT_EQ(doc.splitIntoXPage(), 4u) << "the least the field takes";
    EXPECT_EQ(doc.pageNumbersFirst(), 1);
    EXPECT_EQ(doc.creepCompensationMM(), 0.18);
    EXPECT_EQ(doc.printSettings(), paper);
    EXPECT_FALSE(doc.showStaples());
    EXPECT_TRUE(doc.hasChanges());
    EXPECT_EQ(log.lines().filter("Warning: Setting").size(), 6) << log.lines().join('\n').toStdString();

    // Inside the print settings: a paper without width changes nothing.
    const QSizeF before = doc.printInfo().paperSize();
    doc.setSettingsDictionary(QVariantMap{{"printSettings", QVariantMap{{"NSPrintPaperSize", "{0, 842}"}}}});
    EXPECT_EQ(doc.printInfo().paperSize(), before);

    // Stored print settings by the platform's names, or by the names earlier versions wrote, give
    // the exported paper; what becomes of a job is never taken from settings.
    const QString source = PdfFixture::write(folder.path(), "a5.pdf", pagesOfSize(4, {420, 595}));
    const QString exported = folder.filePath("out.pdf");
    const QList<std::pair<QVariantMap, QString>> stored{
        {{{"NSPrintPaperSize", "{595, 842}"}, {"NSPrintOrientation", 1}, {"NSPrintScalingFactor", 0.5},
          {"NSPrintJobDisposition", "NSPrintSaveJob"}, {"NSPrintJobSavingURL", "file:///tmp/elsewhere.pdf"}},
         "Warning: Print settings \"NSPrintJobDisposition\", \"NSPrintJobSavingURL\" ignored"},
        {{{"PaperSize", "{595, 842}"}, {"Orientation", 1}, {"JobDisposition", "save"}},
         "Warning: Print settings \"NSPrintJobDisposition\" ignored"},
    };
    for (const auto &[settings, warning] : stored) {
        platform::UserDefaults::standardUserDefaults()->setObject(settings, "printSettings");
        platform::LogCapture storedLog;
        Document opened;
        ASSERT_TRUE(opened.openURL(QUrl::fromLocalFile(source), Document::PdfType));
        EXPECT_EQ(opened.printInfo().jobDisposition(), platform::PrintInfo::JobDisposition::Spool);
        ASSERT_TRUE(opened.exportBookletToURL(QUrl::fromLocalFile(exported)));
        EXPECT_EQ(pageSizes(exported), QList<QSizeF>(2, QSizeF(842, 595)));
        EXPECT_EQ(storedLog.lines().filter("Print settings").join('\n').toStdString(),
                  (warning + ", because only paper and printer are taken from settings").toStdString());
    }
}

// Read whenever a document is made: stored print settings that cannot be read leave the paper as
// it was and the stored bytes as they are.
TEST_F(DocumentTest, UnreadablePrintSettingsInTheUserDefaultsLeaveThePaperAndTheirBytes)
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->setBool(false, "autoPaperSize");
    const struct { const char *name; QByteArray bytes; QString reason; } cases[] = {
        {"nested 30,000 levels", "FoldwisePrintInfo 1\n" + PropertyListFixture::nestedXml(30000),
         "it nests arrays and dictionaries deeper than 512 levels"},
        {"a zero in a binary text", "FoldwisePrintInfo 1\n" + PropertyListFixture::zeroInText(), "a text holding a zero character"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        defaults->setObject(c.bytes, "printSettings");
        platform::LogCapture log;
        Document doc;
        EXPECT_EQ(doc.printInfo().paperSize(), platform::PrintInfo::sharedPrintInfo().paperSize());
        EXPECT_EQ(log.lines().filter("print info"),
                  QStringList{"Error: Could not read a print info: its dictionary is damaged, because " + c.reason});
        EXPECT_EQ(defaults->objectForKey("printSettings"), c.bytes);
    }
}

TEST_F(DocumentTest, CreepTypesChoosePresetsAndTheCreepFollowsThePaper)
{
    const QString path = PdfFixture::write(folder.path(), "a5.pdf", pagesOfSize(1, {420, 595}));
    Document doc;
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(path), Document::PdfType));
    doc.setCreepCompensation(true);
    doc.setCreepCompensationMM(0.5);
    doc.setCreepCompensationType(-1);
    EXPECT_DOUBLE_EQ(doc.creepCompensationMM(), 0.5);
    EXPECT_TRUE(doc.creepCompensationIsManual());
    doc.setCreepCompensationType(1); // a preset of 0.18 mm
    EXPECT_FALSE(doc.creepCompensationIsManual());
    const auto creepFor = [](double paperWidth) { return 0.18 / (paperWidth / Document::PointsPerMillimetre * 0.5); };

    doc.setPrintSettings(QVariantMap{{"NSPrintPaperSize", "{1190.55, 841.89}"}});
    EXPECT_DOUBLE_EQ(doc.creepFilter()->creep(), creepFor(1190.55));
    EXPECT_DOUBLE_EQ(doc.splitFilter()->creep(), creepFor(1190.55));
    doc.setAutoPaperSize(true);
    EXPECT_DOUBLE_EQ(doc.creepFilter()->creep(), creepFor(840));
    doc.rotatePaper(); // leaves the automatic paper for the stored one, turned
    EXPECT_FALSE(doc.autoPaperSize());
    EXPECT_DOUBLE_EQ(doc.creepFilter()->creep(), creepFor(841.89));
    doc.setCreepCompensation(false);
    EXPECT_EQ(doc.splitFilter()->creep(), 0.0);
}

// A thickness typed under a preset is what the user gave: the preset is applied before it.
TEST_F(DocumentTest, AThicknessTypedUnderAPresetSurvivesSavedDefaultsAndDictionaries)
{
    Document doc;
    ASSERT_TRUE(setValue(&doc, "creepCompensationType", 2)); // the preset of 0.21 mm
    ASSERT_TRUE(setValue(&doc, "creepCompensationMM", 0.30));
    doc.saveDefaults();
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    ASSERT_TRUE(defaults->synchronize());
    const platform::UserDefaults file(defaults->fileName());
    EXPECT_EQ(file.doubleForKey("creepCompensationMM"), 0.30);
    EXPECT_EQ(file.integerForKey("creepCompensationType"), 2);

    Document fresh;
    EXPECT_EQ(fresh.creepCompensationMM(), 0.30);
    EXPECT_FALSE(fresh.hasChanges());
    EXPECT_FALSE(fresh.hasTaskChanges());

    Document task;
    EXPECT_TRUE(task.setSettingsDictionary(QVariantMap{{"creepCompensationMM", 0.35}, {"creepCompensationType", 4}}));
    EXPECT_EQ(task.creepCompensationMM(), 0.35);
    EXPECT_EQ(task.creepCompensationType(), 4);
}

TEST_F(DocumentTest, BatchSettingsAlertAnswersThroughTheResponder)
{
    struct FakeFactory : VXFactory
    {
        void setFactorySettings(const std::optional<QVariantMap> &settings) override { shared = settings; }
        std::optional<QVariantMap> shared;
    };
    for (const int code : {1000, 1001, 1002, 1003}) {
        FakeFactory factory;
        VXFactory::setSharedFactory(&factory);
        FakeTask task;
        Document doc;
        task.m_settings = doc.settingsDictionary();
        doc.setControllingTask(&task);
        ASSERT_TRUE(setValue(&doc, "zoom", 2.0));

        platform::Alert shown;
        platform::Alert::setResponder([&](const platform::Alert &alert) {
            shown = alert;
            return code;
        });
        bool closed = false;
        QObject::connect(&doc, &Document::didClose, [&] { closed = true; });
        std::optional<bool> allowed;
        doc.canClose([&](bool answer) { allowed = answer; });
        ASSERT_TRUE(waitFor([&] { return allowed.has_value() && !shown.messageText().isEmpty(); }));
        EXPECT_FALSE(*allowed);

        if (code != 1003) {
            EXPECT_TRUE(waitFor([&] { return closed; })) << code;
        }
        QTest::qWait(20); // a close that should not come would have been queued by now
        EXPECT_EQ(closed, code != 1003) << code;
        EXPECT_EQ(doc.controllingTask() == nullptr, code != 1003) << code;
        EXPECT_EQ(task.m_given, code == 1000 ? 1 : 0) << code;
        EXPECT_EQ(factory.shared.has_value(), code == 1001) << code;
        if (code == 1000) {
            EXPECT_FALSE(task.m_forAll);
            EXPECT_EQ(task.m_settings->value("zoom"), 2.0);
        }
    }
}

TEST_F(DocumentTest, UnprintableValuesAreRefusedAndTooManyStaplesClamped)
{
    const QList<QVariantMap> refused{
        {{"printSettings", QVariantMap{{"NSPrintPaperSize", "{1e308, 1e308}"}}}},
        {{"printSettings", QVariantMap{{"NSPrintOrientation", 5}}}},
        {{"printSettings", QVariantMap{{"NSPrintTopMargin", -1}}}},
        {{"printSettings", QVariantMap{{"NSPrintScalingFactor", 0}}}},
    };
    for (const QVariantMap &settings : refused) {
        Document doc;
        const QSizeF paper = doc.printInfo().paperSize();
        platform::LogCapture log;
        EXPECT_FALSE(doc.setSettingsDictionary(settings));
        EXPECT_TRUE(log.contains("Error: ")) << log.lines().join('\n').toStdString();
        EXPECT_EQ(doc.printInfo().paperSize(), paper);
    }
    Document doc;
    EXPECT_TRUE(doc.setSettingsDictionary(QVariantMap{{"staplesCount", 1e12}}));
    EXPECT_EQ(doc.staplesFilter()->numberOfStaples(), 10u) << "the most the field takes";
    doc.setStaplesCount(1e12);
    EXPECT_EQ(doc.staplesFilter()->numberOfStaples(), VXStaplesFilter::MaximumNumberOfStaples);
}

TEST_F(DocumentTest, AMissingInputOrAFolderIsAnError)
{
    for (const QString &path : {folder.filePath("missing.pdf"), folder.path()}) {
        platform::LogCapture log;
        EXPECT_TRUE(Document::typeForContentsOfURL(QUrl::fromLocalFile(path)).isEmpty());
        Document doc;
        EXPECT_FALSE(doc.openURL(QUrl::fromLocalFile(path), Document::PdfType));
        EXPECT_EQ(log.lines().filter(QRegularExpression("^Error: ")).size(), 2) << log.lines().join('\n').toStdString();
    }
}

TEST_F(DocumentTest, APdfWithoutPagesOpensWithAnAlertAndExportsNothing)
{
    const QString empty = PdfFixture::write(folder.path(), "empty.pdf", *platform::PdfDocument().data());
    Document doc;
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(empty), Document::PdfType));
    QString failure;
    EXPECT_FALSE(doc.exportBookletToURL(QUrl::fromLocalFile(folder.filePath("out.pdf")), &failure));
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("out.pdf")));
    EXPECT_EQ(failure, rqs::localized("NoPagesToExportText").replace("%1", doc.displayName())) << "the reason, in the user's words";
    QString shown;
    platform::Alert::setResponder([&](const platform::Alert &alert) {
        shown = alert.messageText();
        return platform::Alert::FirstButtonReturn;
    });
    doc.setWindowController(std::make_unique<QSWindowController>());
    doc.showWindows();
    EXPECT_TRUE(waitFor([&] { return shown == rqs::localized("NoPagesTitle"); })) << shown.toStdString();
}

// A document to be shown takes a PDF's pages as its page tree's counts say and reads the rest of
// the file once asked, or before it prints: counts that hide a node among the pages then have it
// read the file again whole, so that it shows and prints the file's very pages.
TEST_F(DocumentTest, ADocumentShownFirstReadsTheRestOfItsFileWhenAskedOrBeforePrinting)
{
    using Tree = PdfFixtureTree;
    const QByteArray pages = PdfFixture::pages(PdfFixture::numbered(6));
    const QUrl sound = QUrl::fromLocalFile(PdfFixture::write(folder.path(), "sound.pdf",
        PdfFixture::withPageTree(pages, Tree::node({Tree::node({Tree::pageAt(0), Tree::pageAt(1), Tree::pageAt(2)}),
                                                    Tree::node({Tree::pageAt(3), Tree::pageAt(4), Tree::pageAt(5)})}))));
    const QUrl hiding = QUrl::fromLocalFile(PdfFixture::write(folder.path(), "hiding.pdf",
        PdfFixture::withPageTree(pages, Tree::node({Tree::pageAt(0), Tree::node({Tree::pageAt(1), Tree::pageAt(2)}), Tree::pageAt(3),
                                                    Tree::pageAt(4), Tree::pageAt(5)}, 5))));
    const auto pageCount = [](Document &document) { return document.inputFilter()->allPages().size(); };
    platform::LogCapture log;
    {
        Document document;
        document.setReadsShownPagesFirst(true);
        ASSERT_TRUE(document.openURL(sound, Document::PdfType));
        EXPECT_EQ(pageCount(document), 6);
        document.readRemainingPages();
        EXPECT_EQ(pageCount(document), 6);
        EXPECT_TRUE(log.lines().filter(QRegularExpression("^(Warning|Error)")).isEmpty()) << log.lines().join('\n').toStdString();
    }
    for (const bool printFirst : {false, true}) {
        Document document;
        document.setReadsShownPagesFirst(true);
        ASSERT_TRUE(document.openURL(hiding, Document::PdfType));
        EXPECT_EQ(pageCount(document), 5) << "as the counts say";
        const QString exported = folder.filePath(QStringLiteral("hiding-%1.pdf").arg(printFirst));
        if (printFirst) {
            ASSERT_TRUE(document.exportBookletToURL(QUrl::fromLocalFile(exported)));
            EXPECT_EQ(platform::PdfDocument::open(exported)->pageCount(), 4) << "six pages on two sheets";
        } else {
            document.readRemainingPages();
        }
        EXPECT_EQ(pageCount(document), 6);
        EXPECT_EQ(log.lines().filter("Warning: \"hiding.pdf\" is read again whole").size(), printFirst ? 2 : 1);
    }
    // Any other document reads the whole file at once.
    Document whole;
    ASSERT_TRUE(whole.openURL(hiding, Document::PdfType));
    EXPECT_EQ(pageCount(whole), 6);
}
