#include "booklet/DocumentFixture.h"

#include "app/booklet/VXHelpDescription.h"
#include "app/shell/AppDelegate.h"
#include "app/window/VXDocumentWindowController.h"
#include "app/window/VXFontChooser.h"
#include "app/window/VXHelpWindow.h"
#include "app/window/VXPagePreviewLoader.h"
#include "app/window/VXPagesController.h"
#include "app/window/VXPagesTableView.h"
#include "app/window/VXTableRowView.h"
#include "RQS-Kit/Controls/QSImageView.h"
#include "RQS-Kit/Controls/QSRateUsController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/UndoManager.h"
#include "support/PdfFixture.h"
#include "support/Screenshot.h"
#include "support/PictureFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QDoubleSpinBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMenu>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTimer>
#include <QWheelEvent>

namespace {

class DocumentWindowTest : public DocumentTest
{
protected:
    // Closed as the application closes a document before letting it go: a window still shown is
    // only deleted later, inside the next test, and hiding then sends that test's window an enter
    // event at the platform's pointer, not where the test moved it.
    void TearDown() override
    {
        document.close();
        DocumentTest::TearDown();
    }

    void open(int pages)
    {
        const QString path = PdfFixture::write(folder.path(), "booklet.pdf", PdfFixture::pages(PdfFixture::numbered(pages)));
        ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(path), Document::PdfType));
        platform::LogCapture log;
        controller = VXDocumentWindowController::makeWindowController(&document);
        document.showWindows();
        ASSERT_NE(controller, nullptr);
        EXPECT_EQ(log.lines(), QStringList()) << "every outlet, action and binding of the file connects";
    }

    template <class T>
    T *control(const char *name) const
    {
        T *found = controller->window()->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The window on screen and active, so that its fields take the keyboard and its shortcuts work.
    void show(QSize size)
    {
        controller->window()->resize(size);
        controller->window()->show();
        // A help popover that opens by itself on these pages takes the keyboard offscreen.
        QCoreApplication::processEvents();
        control<platform::Popover>("helpPopOver")->close();
        controller->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    }

    Document document;
    VXDocumentWindowController *controller = nullptr;
};

// One notch over the field; true when the field took it, false when it leaves it to what holds it.
bool turnWheelOver(QWidget *field, int angle)
{
    const QPointF at = field->rect().center();
    QWheelEvent wheel(at, field->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(field, &wheel);
    return wheel.isAccepted();
}

// A document of numbered pages whose list tells its pages apart by their PDF page, so that pages
// read back after travelling archived still compare.
class PageList
{
public:
    PageList(const QString &folder, const QString &name, int count)
    {
        document.openURL(QUrl::fromLocalFile(PdfFixture::write(folder, name, PdfFixture::pages(PdfFixture::numbered(count)))),
                         Document::PdfType);
        platform::NotificationCenter::defaultCenter()->addObserver(
            &controller, VXPagesController::PageListChangedNotification, &controller,
            [this](const platform::Notification &) { ++changes; });
    }

    // Each page as "<width>x<height>" in whole points, the numbered fixture's sizes alternating.
    QStringList shapes() const
    {
        QStringList result;
        for (const VXPagePtr &page : document.inputFilter()->allPages())
            result << QStringLiteral("%1x%2").arg(qRound(page->size().width())).arg(qRound(page->size().height()));
        return result;
    }

    QList<VXPagePtr> pages() const { return document.inputFilter()->allPages(); }
    platform::UndoManager *undo() { return document.undoManager(); }

    mutable Document document;
    VXPagesController controller{document.inputFilter(), document.undoManager()};
    int changes = 0;
};

// The pages by their number in the original list, "new" for the others.
QStringList names(const QList<VXPagePtr> &original, const QList<VXPagePtr> &pages)
{
    QStringList result;
    for (const VXPagePtr &page : pages)
        result << (original.contains(page) ? QString::number(original.indexOf(page) + 1) : QStringLiteral("new"));
    return result;
}

} // namespace

TEST_F(DocumentWindowTest, ControlsDriveTheSettingsByKeyAndFollowThem)
{
    open(8);
    EXPECT_EQ(controller->window()->windowTitle(), "booklet.pdf[*]");
    for (const char *outlet : {"centerShadow", "helpPopOver", "printButton", "rasterizeHeader", "straightOrderHelp"})
        EXPECT_NE(platform::KeyValue::valueForKey(controller, outlet).value<QObject *>(), nullptr) << outlet;
    auto *filterView = controller->window()->findChild<VXDoublePageFilterView *>("filterView");
    document.setShowStaples(true);
    EXPECT_EQ(filterView->filters(), document.filters());
    EXPECT_EQ(document.staplesFilter()->delegate(), filterView);
    EXPECT_EQ(document.inputFilter()->addButton(), controller->window()->findChild<QWidget *>("addPageButton"));

    struct Edit { const char *key; std::function<void()> edit; QVariant value; };
    const QList<Edit> edits{
        {"reverseOrder", [&] { control<QCheckBox>("reverseCheck")->click(); }, true},
        {"pageNumbersFirst", [&] { control<QSpinBox>("numbersFirstField")->setValue(3); }, 3},
        {"creepCompensationMM", [&] { control<QComboBox>("creepTypeField")->setCurrentIndex(4); }, 0.28},
        {"centerX", [&] { control<QDoubleSpinBox>("centerXTF")->setValue(0.75); }, 0.75},
        // The split controls move the split filter, which the document follows.
        {"splitIntoXPage", [&] { control<QSpinBox>("splitBookletStepper")->setValue(2); }, 4},
    };
    for (const Edit &edit : edits) {
        edit.edit();
        EXPECT_EQ(platform::KeyValue::valueForKey(&document, edit.key), edit.value) << edit.key;
        EXPECT_TRUE(document.hasChanges()) << edit.key;
    }
    // The centre moves both pages, the right one mirrored, and tints the field beyond 0.5.
    EXPECT_EQ(controller->leftPage()->center(), QPointF(0.75, 0));
    EXPECT_EQ(controller->rightPage()->center(), QPointF(-0.75, 0));
    EXPECT_EQ(control<QWidget>("centerXTF")->palette().color(QPalette::Base), QColor::fromRgbF(1, 0.75f, 0.75f));
    EXPECT_EQ(control<QWidget>("centerYTF")->palette().color(QPalette::Base), QColor(Qt::white));

    // The font chooser's choice goes in by key as well.
    document.setHasChanges(false);
    controller->changeFont(QFont(QStringLiteral("DejaVu Sans"), 15));
    EXPECT_EQ(document.pageNumbersFontName(), "DejaVu Sans");
    EXPECT_EQ(document.pageNumbersFontSize(), 15.0);
    EXPECT_TRUE(document.hasChanges());

    // The other way: the controls follow the document.
    platform::KeyValue::setValue(&document, "showStaples", true);
    document.setCenterY(-2);
    EXPECT_TRUE(control<QCheckBox>("staplesCheck")->isChecked());
    EXPECT_EQ(control<QDoubleSpinBox>("centerYTF")->value(), -1.0);
    EXPECT_EQ(control<QWidget>("centerYTF")->palette().color(QPalette::Base), QColor::fromRgbF(1, 0.5f, 0.5f));
    document.saveDefaults();
    EXPECT_FALSE(control<QWidget>("defaultsButton")->isEnabled()) << "nothing left to save";
}

TEST_F(DocumentWindowTest, PagingSelectionAndTheMenuFollowTheSheetsAndThePageList)
{
    open(8);
    const VXOutputFilter *output = document.outputFilter();
    EXPECT_EQ(controller->pageName(), "1 / 4");
    controller->nextPage();
    controller->nextPage();
    EXPECT_EQ(controller->pageName(), "3 / 4");
    EXPECT_EQ(controller->leftPage()->page(), output->doublePageAtIndex(2, true));
    EXPECT_EQ(controller->rightPage()->page(), output->doublePageAtIndex(2, false));
    controller->flipPageBy(5);
    EXPECT_EQ(controller->adjustPage(), 3) << "stays on the last side";

    controller->displayButton()->setCurrentIndex(1);
    controller->flipPageBy(-5);
    EXPECT_EQ(controller->pageName(), QStringLiteral(" ") + QString(13, ' ') + "1") << "the cover alone on the right";
    EXPECT_FALSE(controller->leftPage()->allowAdjusting());

    // Selecting page 6 (row 6) shows the sheet side and the spread that hold it.
    QAction *remove = controller->window()->findChild<QAction *>("deleteItem");
    ASSERT_NE(remove, nullptr);
    QItemSelectionModel *selection = controller->pagesTableView()->selectionModel();
    selection->select(controller->pagesController()->index(6), QItemSelectionModel::ClearAndSelect);
    const VXPagePtr six = document.inputFilter()->allPages()[5];
    EXPECT_EQ(controller->previewPage(), qint64(output->previewIndexForPage(six)));
    EXPECT_EQ(controller->adjustPage(), qint64(output->doubleIndexForPage(six)));
    EXPECT_EQ(remove->text(), "Delete Page");
    EXPECT_TRUE(remove->isEnabled());
    for (int row : {2, 3})
        selection->select(controller->pagesController()->index(row), QItemSelectionModel::Select);
    EXPECT_EQ(remove->text(), "Delete 3 Pages");
    EXPECT_EQ(controller->adjustPage(), qint64(output->doubleIndexForPage(six))) << "several pages move nothing";

    remove->trigger();
    EXPECT_EQ(document.inputFilter()->allPages().size(), 5);
    EXPECT_TRUE(document.isDocumentEdited()) << "closing asks to save the pages";
    EXPECT_EQ(output->doubleCount(), 4u);
    EXPECT_FALSE(remove->isEnabled());
    controller->undo();
    EXPECT_EQ(document.inputFilter()->allPages().size(), 8);
}

// Deleting selected pages leaves the sheet side or spread shown where it was, in either mode: the
// selection passing through one page on its way out moves nothing.
TEST_F(DocumentWindowTest, DeletingSelectedPagesLeavesTheViewWhereItWas)
{
    open(12);
    QAction *remove = controller->window()->findChild<QAction *>("deleteItem");
    ASSERT_NE(remove, nullptr);
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode == 0 ? "sheet sides" : "spreads");
        controller->displayButton()->setCurrentIndex(mode);
        controller->firstPage();
        controller->flipPageBy(4);
        const qint64 shown = mode == 0 ? controller->adjustPage() : controller->previewPage();
        ASSERT_EQ(shown, 4);
        // Two pages at once, as a drag across them selects them.
        QItemSelectionModel *selection = controller->pagesTableView()->selectionModel();
        selection->select(QItemSelection(controller->pagesController()->index(2), controller->pagesController()->index(3)),
                          QItemSelectionModel::ClearAndSelect);
        ASSERT_EQ(mode == 0 ? controller->adjustPage() : controller->previewPage(), shown);
        remove->trigger();
        ASSERT_EQ(document.inputFilter()->allPages().size(), mode == 0 ? 10 : 8);
        EXPECT_EQ(mode == 0 ? controller->adjustPage() : controller->previewPage(), shown);
        EXPECT_TRUE(selection->selectedRows().isEmpty());
    }
}

// The flip control's two segments page back and forward through the sheet sides or the spreads
// shown, each offered only where there is one to go to; clicked where the user sees them.
TEST_F(DocumentWindowTest, TheFlipControlPagesBackAndForwardWhereThereIsAPageToGoTo)
{
    open(8);
    show(QSize(1100, 800));
    QTabBar *flip = control<QTabBar>("flipButton");
    ASSERT_EQ(flip->count(), 2);
    const auto click = [&](int segment) { QTest::mouseClick(flip, Qt::LeftButton, {}, flip->tabRect(segment).center()); };
    const auto offered = [&] { return std::pair(flip->isTabEnabled(0), flip->isTabEnabled(1)); };
    using Offered = std::pair<bool, bool>;
    EXPECT_EQ(offered(), Offered(false, true)) << "on the first of 4 sheet sides";
    const struct { int segment; qint64 shown; Offered offered; } adjusting[] = {
        {1, 1, {true, true}}, {1, 2, {true, true}}, {1, 3, {true, false}},
        {1, 3, {true, false}}, // the forward segment is off on the last side
        {0, 2, {true, true}}, {0, 1, {true, true}}, {0, 0, {false, true}}, {0, 0, {false, true}},
    };
    for (const auto &step : adjusting) {
        click(step.segment);
        EXPECT_EQ(controller->adjustPage(), step.shown);
        EXPECT_EQ(offered(), step.offered) << "after side " << step.shown;
    }

    // The booklet's 5 spreads, from the cover alone.
    QTest::mouseClick(controller->displayButton(), Qt::LeftButton, {}, controller->displayButton()->tabRect(1).center());
    ASSERT_FALSE(controller->isAdjusting());
    EXPECT_EQ(offered(), Offered(false, true));
    for (int spread = 1; spread <= 4; ++spread)
        click(1);
    EXPECT_EQ(controller->previewPage(), 4);
    EXPECT_EQ(offered(), Offered(true, false)) << "the back cover is the last spread";
    EXPECT_TRUE(saveScreenshot(controller->window(), "document-window-flip-control"));
    EXPECT_EQ(controller->adjustPage(), 0) << "the sheet side shown in the other mode stays";
    click(0);
    EXPECT_EQ(controller->previewPage(), 3);
}

// The developer's look at the page list: its controller with its rows, and the table's rows.
TEST_F(DocumentWindowTest, TheTestActionLogsThePageListAndTheTableRows)
{
    open(2);
    QStringList rows{"add-page button"};
    for (const VXPagePtr &page : document.inputFilter()->allPages())
        rows << QStringLiteral("page of %1 × %2").arg(page->size().width()).arg(page->size().height());
    EXPECT_EQ(rows.last(), "page of 300 × 200");
    platform::LogCapture log;
    controller->test();
    ASSERT_EQ(log.lines().size(), 2) << log.lines().join('\n').toStdString();
    EXPECT_TRUE(log.lines().at(0).startsWith("Info: Controller VXPagesController(0x")) << log.lines().at(0).toStdString();
    EXPECT_TRUE(log.lines().at(0).endsWith(")\n Array (" + rows.join(", ") + ")")) << log.lines().at(0).toStdString();
    EXPECT_EQ(log.lines().at(1), "Info: Table View: 3");
}

TEST_F(DocumentWindowTest, TheTitleMarksChangesUntilUndoReturnsToTheSavedFileAndRevertKeepsTheAddPageButton)
{
    open(4);
    const QByteArray source = PdfFixture::read(folder.filePath("booklet.pdf"));
    platform::Window *window = controller->window();
    EXPECT_EQ(window->windowTitle(), "booklet.pdf[*]");
    EXPECT_FALSE(window->isWindowModified());
    controller->pagesController()->removeObjectsAtArrangedObjectIndexes({1});
    EXPECT_TRUE(window->isWindowModified());

    platform::SavePanel::setResponder([&](QFileDialog &dialog) {
        dialog.selectFile(folder.filePath("three.pdf"));
        return platform::SavePanel::OKButton;
    });
    control<QAction>("saveAsItem")->trigger();
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "three.pdf[*]"; }));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(platform::PdfDocument::open(folder.filePath("three.pdf"))->pageCount(), 3);
    EXPECT_EQ(PdfFixture::read(folder.filePath("booklet.pdf")), source);

    controller->pagesController()->removeObjectsAtArrangedObjectIndexes({1});
    EXPECT_TRUE(window->isWindowModified());
    controller->undo();
    EXPECT_FALSE(window->isWindowModified()) << "back at the saved pages";

    QStringList asked;
    platform::Alert::setResponder([&](platform::Alert &alert) {
        asked << alert.buttonTitles().value(0);
        return platform::Alert::FirstButtonReturn;
    });
    controller->pagesController()->removeObjectsAtArrangedObjectIndexes({1, 2});
    auto *list = control<VXPagesTableView>("pagesTableView");
    const QPointer<QWidget> addButton = list->addPageButton();
    ASSERT_TRUE(addButton && list->indexWidget(list->model()->index(0, 0)) == addButton);
    QAction *revert = control<QAction>("revertItem");
    controller->window()->findChild<QMenu *>("fileMenu")->aboutToShow();
    ASSERT_TRUE(revert->isEnabled());
    revert->trigger();
    ASSERT_TRUE(waitFor([&] { return !window->isWindowModified(); }));
    EXPECT_EQ(controller->pagesController()->rowCount(), 4) << "the saved three pages and the add button";
    EXPECT_FALSE(document.undoManager()->canUndo());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(addButton) << "the add-page button is kept";
    EXPECT_EQ(list->indexWidget(list->model()->index(0, 0)), addButton) << "at the head of the list";

    QSignalSpy closed(&document, &Document::didClose);
    document.performClose();
    EXPECT_TRUE(waitFor([&] { return closed.count() == 1; }));
    EXPECT_EQ(asked, QStringList{"Revert"}) << "closing asks nothing";
}

// The real prompt, offscreen: the desktop places its buttons by their roles; each answers as named.
TEST_F(DocumentTest, TheClosePromptsButtonsCarryTheirRolesAndAnswerAsNamed)
{
    struct Case
    {
        QMessageBox::ButtonRole clicked;
        bool closes;
        bool writesCopy;
    };
    const QList<Case> cases{
        {QMessageBox::AcceptRole, true, true},
        {QMessageBox::DestructiveRole, true, false},
        {QMessageBox::RejectRole, false, false},
    };
    platform::SavePanel::setResponder([](QFileDialog &) { return platform::SavePanel::OKButton; });
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const QString path = PdfFixture::write(dir.path(), "flyer.pdf", PdfFixture::pages(PdfFixture::numbered(3)));
        const QByteArray source = PdfFixture::read(path);
        Document doc;
        ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(path), Document::PdfType));
        auto *controller = VXDocumentWindowController::makeWindowController(&doc);
        doc.showWindows();
        controller->pagesController()->removeObjectsAtArrangedObjectIndexes({1});
        QSignalSpy closed(&doc, &Document::didClose);
        doc.performClose();

        QMessageBox *box = nullptr;
        ASSERT_TRUE(waitFor([&] { return (box = controller->window()->findChild<QMessageBox *>()) && box->isVisible(); }));
        QMap<QString, QMessageBox::ButtonRole> roles;
        for (QAbstractButton *button : box->buttons())
            roles[button->text()] = box->buttonRole(button);
        EXPECT_EQ(roles, (QMap<QString, QMessageBox::ButtonRole>{{"Save", QMessageBox::AcceptRole},
                                                                  {"Don’t Save", QMessageBox::DestructiveRole},
                                                                  {"Cancel", QMessageBox::RejectRole}}));
        EXPECT_EQ(box->buttonRole(box->escapeButton()), QMessageBox::RejectRole);
        EXPECT_EQ(box->buttonRole(box->defaultButton()), QMessageBox::AcceptRole);
        for (QAbstractButton *button : box->buttons()) {
            if (box->buttonRole(button) == c.clicked)
                button->click();
        }
        if (c.closes) {
            EXPECT_TRUE(waitFor([&] { return closed.count() == 1; })) << c.clicked;
        }
        QTest::qWait(50);
        EXPECT_EQ(closed.count(), c.closes ? 1 : 0) << c.clicked;
        EXPECT_EQ(QFileInfo::exists(dir.filePath("flyer copy.pdf")), c.writesCopy) << c.clicked;
        EXPECT_EQ(PdfFixture::read(path), source);
        doc.close();
    }
}

// The first document window of a process counts a start towards the rate-us prompt; later ones do not.
TEST_F(DocumentWindowTest, OnlyTheFirstWindowOfAProcessCountsAStartForTheRatePrompt)
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->removeObjectForKey("rate.timesStarted");
    const bool decidedBefore = QSRateUsController::rateDecisionHasRun();
    open(4);
    ASSERT_TRUE(waitFor([] { return QSRateUsController::rateDecisionHasRun(); }));
    EXPECT_EQ(defaults->integerForKey("rate.timesStarted"), decidedBefore ? 0 : 1);

    const qint64 counted = defaults->integerForKey("rate.timesStarted");
    Document second;
    second.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), "second.pdf", PdfFixture::pages(PdfFixture::numbered(4)))),
                   Document::PdfType);
    ASSERT_TRUE(VXDocumentWindowController::makeWindowController(&second));
    second.showWindows();
    QTest::qWait(50);
    EXPECT_EQ(defaults->integerForKey("rate.timesStarted"), counted);
    second.close();
}

TEST_F(DocumentWindowTest, TheWindowShowsWhichWayLandscapePagesTurn)
{
    open(2);
    auto *picture = controller->window()->findChild<QSImageView *>("landscapeRotationImage");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->image(), document.rotateLandscapeImage());
    platform::KeyValue::setValue(&document, "rotateLandscapeCW", !document.rotateLandscapeCW());
    EXPECT_EQ(picture->image(), document.rotateLandscapeImage());
    EXPECT_FALSE(picture->image().isNull());
}

TEST_F(DocumentWindowTest, MoreDetailsOpensTheHelpPageInOurOwnWindowWithoutABrowser)
{
    open(2);
    controller->window()->show();
    for (const VXHelpDescription::Entry &entry : VXHelpDescription::entries()) {
        EXPECT_TRUE(entry.hasHelp) << entry.name.toStdString();
        EXPECT_FALSE(platform::Bundle::mainBundle()->pathForResource(entry.name, "html", "Help").isEmpty()) << entry.name.toStdString();
    }
    platform::KeyValue::setValue(&document, "straightOrder", true);
    ASSERT_EQ(controller->helpAnchorName(), "Help-StraightOrder");
    static_cast<QPushButton *>(control<QWidget>("helpMoreDetails"))->click();
    VXHelpWindow *help = VXHelpWindow::sharedHelpWindow();
    ASSERT_TRUE(help->isVisible()) << "the offscreen desktop has no browser";
    EXPECT_EQ(help->pageTitle(), "Straight order");
    EXPECT_EQ(help->windowTitle(), "Straight order");
    QTextBrowser *browser = help->findChild<QTextBrowser *>();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("reading order"));
    browser->setSource(QUrl("index.html"));
    EXPECT_EQ(help->pageTitle(), "Foldwise Help") << "links between the pages stay in the window";
    help->hide();
    platform::KeyValue::setValue(&document, "straightOrder", false);
}

TEST_F(DocumentWindowTest, HelpPopoversOpenByThemselvesOnlyWhileTheirDefaultIsOn)
{
    open(2);
    controller->window()->show();
    platform::Popover *popover = controller->window()->findChild<platform::Popover *>("helpPopOver");
    ASSERT_NE(popover, nullptr);
    const QString key = VXHelpDescription::autoShowKey("Help-StraightOrder");
    platform::UserDefaults::standardUserDefaults()->removeObjectForKey(key);

    platform::KeyValue::setValue(&document, "straightOrder", true);
    ASSERT_TRUE(popover->isShown()) << "registered on";
    EXPECT_EQ(controller->helpAnchorName(), "Help-StraightOrder");
    EXPECT_EQ(control<QLabel>("helpTitle")->text(), rqs::localized("Help-StraightOrder-Title"));
    EXPECT_TRUE(controller->helpAutoShow()->isChecked());
    EXPECT_FALSE(controller->helpAutoShow()->isHidden());
    EXPECT_FALSE(control<QWidget>("helpMoreDetails")->isHidden()) << "a help page explains more";
    EXPECT_EQ(popover->layout()->contentsMargins().bottom(), 46);

    controller->helpAutoShow()->click();
    EXPECT_FALSE(platform::UserDefaults::standardUserDefaults()->boolForKey(key)) << "unticked in the popover";
    popover->close();
    platform::KeyValue::setValue(&document, "straightOrder", false);
    platform::KeyValue::setValue(&document, "straightOrder", true);
    EXPECT_FALSE(popover->isShown());

    // The help button itself opens it whatever the default says, and the box shows the default.
    controller->showHelpPopupOn(control<QWidget>("straightOrderHelp"));
    EXPECT_TRUE(popover->isShown());
    EXPECT_FALSE(controller->helpAutoShow()->isChecked());
    popover->close();
    platform::UserDefaults::standardUserDefaults()->removeObjectForKey(key);
    EXPECT_FALSE(controller->helpAutoShow()->isChecked()) << "the closed popover's box is bound no more";
}

// Handing the wheel on is Qt's: the column scrolls then (seen with a real pointer, which the
// offscreen platform has not).
TEST_F(DocumentWindowTest, NumberFieldsLeaveTheWheelToTheSettingsColumnUntilOneIsBeingEdited)
{
    open(8);
    document.setShowPageNumbers(true);
    show({1000, 400});
    for (const char *name : {"numbersFirstField", "numbersStartField", "centerXTF", "creepField", "creepTypeField"}) {
        QWidget *field = control<QWidget>(name);
        const char *property = qobject_cast<QComboBox *>(field) ? "currentIndex" : "value";
        const QVariant before = field->property(property);
        EXPECT_FALSE(turnWheelOver(field, -120)) << name;
        EXPECT_FALSE(turnWheelOver(field, 120)) << name;
        EXPECT_EQ(field->property(property), before) << name;
        EXPECT_FALSE(field->hasFocus()) << name << " took the keyboard";
    }
    auto *first = control<QSpinBox>("numbersFirstField");
    first->setFocus();
    EXPECT_TRUE(turnWheelOver(first, 120));
    EXPECT_EQ(first->value(), 2) << "the field being edited turns";
}

TEST_F(DocumentWindowTest, CtrlShortcutsOfTheMenusWorkFromANumberFieldThatKeepsItsOwnEditingKeys)
{
    open(8);
    document.setShowPageNumbers(true);
    show({1000, 700});
    auto *first = control<QSpinBox>("numbersFirstField");
    first->setFocus();
    QTest::keyClick(first, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(first, "5");
    EXPECT_EQ(document.pageNumbersFirst(), 5) << "typed in";
    QTest::keyClick(first, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(first->value(), 1) << "the field's own undo";

    platform::SavePanel::setResponder([](QFileDialog &) { return platform::SavePanel::OKButton; });
    QTest::keyClick(first, Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([&] { return QFileInfo(folder.filePath("booklet - Booklet.pdf")).size() > 0; })) << "exported";
}

TEST_F(DocumentWindowTest, ThePreviewTakesTheWidthAndTheSettingsColumnKeepsItsOwn)
{
    open(8);
    QMap<int, int> previewWidths;
    QMap<int, int> windowWidths;
    for (int width : {800, 1600}) {
        show({width, 760});
        QCoreApplication::processEvents();
        const int column = control<QWidget>("settingsScroll")->width();
        EXPECT_GE(column, 260) << width;
        EXPECT_LE(column, 400) << width;
        QTabBar *tabs = controller->displayButton();
        EXPECT_GE(tabs->width(), tabs->sizeHint().width()) << width << ": the Sheets and Booklet tabs are whole";
        previewWidths[width] = control<QWidget>("paperContainer")->width();
        windowWidths[width] = controller->window()->width();
    }
    // The window keeps the width its settings column needs to show every control whole.
    EXPECT_GE(previewWidths[1600] - previewWidths[800], (windowWidths[1600] - windowWidths[800]) * 9 / 10)
        << "the preview takes most of what the window gains";
}

// Qt's own page set-up dialog, shown and driven through its widgets as the user would.
TEST_F(DocumentWindowTest, TheRealPageSetupDialogSetsTheLabelTheExportAndItsOwnNextOpening)
{
    open(4);
    controller->window()->show();
    // The second opening shows the A3 chosen before, so that turning it alone keeps A3.
    struct Choice { const char *pick; const char *paper; const char *orientation; QSize exported; };
    const QList<Choice> choices{{"A3", "A3", "Landscape", {1191, 842}},
                                {"", "A3", "Portrait", {842, 1191}},
                                {"Letter", "Letter", "Landscape", {792, 612}}};
    for (const Choice &choice : choices) {
        QPageSetupDialog *dialog = nullptr;
        controller->runPageLayout();
        ASSERT_TRUE(waitFor([&] { return (dialog = controller->window()->findChild<QPageSetupDialog *>()) && dialog->isVisible(); }));
        for (auto *sizes : dialog->findChildren<QComboBox *>()) {
            if (const int item = sizes->findText(choice.pick, Qt::MatchStartsWith); *choice.pick && item >= 0)
                sizes->setCurrentIndex(item);
        }
        for (auto *radio : dialog->findChildren<QRadioButton *>()) {
            if (radio->text() == choice.orientation)
                radio->click();
        }
        dialog->accept();
        const auto chosen = [&] {
            const QSizeF paper = document.printInfo().paperSize();
            return document.printInfo().paperName() == choice.paper && (paper.width() > paper.height()) == (choice.exported.width() > choice.exported.height());
        };
        ASSERT_TRUE(waitFor(chosen)) << choice.paper << " " << choice.orientation;
        EXPECT_TRUE(control<QLabel>("paperName")->text().startsWith(choice.paper)) << control<QLabel>("paperName")->text().toStdString();

        const QString exported = folder.filePath(QStringLiteral("%1 %2.pdf").arg(choice.paper, choice.orientation));
        ASSERT_TRUE(document.exportBookletToURL(QUrl::fromLocalFile(exported)));
        const std::optional<platform::PdfDocument> pdf = platform::PdfDocument::open(exported);
        ASSERT_TRUE(pdf.has_value());
        EXPECT_EQ(pdf->page(0)->visibleSize().toSize(), choice.exported) << choice.paper << " " << choice.orientation;
    }
}

TEST_F(DocumentTest, PageListEditsReadBackFromTheInputFilterAndUndoAsOneStepEach)
{
    PageList list(folder.path(), "eight.pdf", 8);
    const QList<VXPagePtr> original = list.pages();
    ASSERT_EQ(list.controller.rowCount(), 9) << "the add-page row and eight pages";
    const VXPagePtr extra = VXPage::pageWithSize({100, 100});

    struct Step { const char *what; std::function<bool()> edit; QStringList after; QString actionName; int notices; };
    const QList<Step> steps{
        {"insert at row 3", [&] { return list.controller.insertObject(extra, 3); },
         {"1", "2", "new", "3", "4", "5", "6", "7", "8"}, "Add Page", 1},
        {"remove rows 1 and 9", [&] { return list.controller.removeObjectsAtArrangedObjectIndexes({9, 1}); },
         {"2", "new", "3", "4", "5", "6", "7"}, "Delete Pages", 1},
        // Rows 2 and 3 dropped above row 6: two of them lay above, so they land at rows 4 and 5.
        {"move rows 2 and 3 above row 6", [&] { return list.controller.moveRows({2, 3}, 6); },
         {"2", "4", "5", "new", "3", "6", "7"}, "Move Pages", 2},
        {"blank page", [&] { return list.controller.addEmptyPage(); },
         {"new", "2", "4", "5", "new", "3", "6", "7"}, "Add Blank Page", 1},
        {"row 0 is the add button", [&] { return list.controller.removeObjectsAtArrangedObjectIndexes({0}); },
         {"new", "2", "4", "5", "new", "3", "6", "7"}, "Add Blank Page", 0},
        {"past the end", [&] { return list.controller.insertObject(extra, 20); },
         {"new", "2", "4", "5", "new", "3", "6", "7"}, "Add Blank Page", 0},
    };
    QList<QList<VXPagePtr>> history{list.pages()};
    for (const Step &step : steps) {
        list.changes = 0;
        const bool changed = step.notices > 0;
        EXPECT_EQ(step.edit(), changed) << step.what;
        EXPECT_EQ(names(original, list.pages()), step.after) << step.what;
        EXPECT_EQ(list.changes, step.notices) << step.what;
        list.undo()->undo(); // closes the step
        list.undo()->redo();
        EXPECT_EQ(list.undo()->undoActionName(), step.actionName) << step.what;
        if (changed)
            history.append(list.pages());
    }
    EXPECT_EQ(list.pages()[0]->size(), QSizeF(300, 200)) << "blank, of the size of the first page then (page 2)";
    EXPECT_TRUE(list.pages()[0]->isEmpty());

    // Every step back restores the list exactly, and forward again.
    for (qsizetype i = history.size() - 1; i > 0; --i) {
        ASSERT_TRUE(list.undo()->undo());
        EXPECT_EQ(list.pages(), history[i - 1]) << "undo to step " << i - 1;
    }
    EXPECT_FALSE(list.undo()->undo());
    for (qsizetype i = 1; i < history.size(); ++i) {
        ASSERT_TRUE(list.undo()->redo());
        EXPECT_EQ(list.pages(), history[i]) << "redo to step " << i;
    }
}

// A drag may name a row twice: it moves once, and the list keeps its eight pages.
TEST_F(DocumentTest, ARowNamedTwiceInAMoveMovesOnce)
{
    PageList list(folder.path(), "eight.pdf", 8);
    const QList<VXPagePtr> original = list.pages();
    const struct { QList<int> rows; int above; QStringList after; } cases[] = {
        {{2, 2}, 5, {"1", "3", "4", "2", "5", "6", "7", "8"}},
        {{6, 2, 6, 2}, 9, {"1", "3", "4", "5", "7", "8", "6", "2"}},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(list.controller.moveRows(c.rows, c.above));
        EXPECT_EQ(names(original, list.pages()), c.after);
        EXPECT_EQ(list.controller.rowCount(), 9);
        ASSERT_TRUE(list.undo()->undo());
        EXPECT_EQ(list.pages(), original) << "undone, the list is as it was";
    }
}

TEST_F(DocumentTest, PagesDraggedIntoAnotherDocumentArriveThereAndLeaveHere)
{
    PageList source(folder.path(), "source.pdf", 4);
    PageList target(folder.path(), "target.pdf", 1);
    const QStringList sourceShapes = source.shapes();

    std::unique_ptr<QMimeData> data(source.controller.mimeData({source.controller.index(2), source.controller.index(3)}));
    ASSERT_TRUE(data);
    EXPECT_TRUE(source.controller.canDropMimeData(data.get(), Qt::MoveAction, 1, 0, {})) << "its own rows";
    EXPECT_FALSE(target.controller.canDropMimeData(data.get(), Qt::MoveAction, 0, 0, {})) << "above the add button";
    ASSERT_TRUE(target.controller.canDropMimeData(data.get(), Qt::MoveAction, 1, 0, {}));

    // Through a copy of the data, as another list sees what was dragged.
    QMimeData delivered;
    for (const QString &type : data->formats())
        delivered.setData(type, data->data(type));
    EXPECT_FALSE(target.controller.canDropMimeData(&delivered, Qt::MoveAction, 0, 0, {}));
    ASSERT_TRUE(target.controller.dropMimeData(&delivered, Qt::MoveAction, 1, 0, {}));
    ASSERT_TRUE(source.controller.removeRowsMovedOut(&delivered));

    EXPECT_EQ(target.shapes(), (QStringList{sourceShapes[1], sourceShapes[2], "200x300"}));
    EXPECT_EQ(source.shapes(), (QStringList{sourceShapes[0], sourceShapes[3]}));
    // The pages arrived whole: their content draws.
    EXPECT_TRUE(target.pages()[0]->pdfPage().has_value());
    EXPECT_EQ(target.changes, 1);
    ASSERT_TRUE(source.undo()->undo());
    EXPECT_EQ(source.shapes(), sourceShapes) << "the move out undoes in the document it left";
}

TEST_F(DocumentTest, DroppedFilesAndPictureDataBecomePagesWhereTheyAreDropped)
{
    PageList list(folder.path(), "two.pdf", 2);
    const QString pdf = PdfFixture::write(folder.path(), "three.pdf", pagesOfSize(3, {420, 595}));
    const QByteArray png = PictureFixture::encoded(PictureFixture::marked({120, 80}, Qt::blue, Qt::red), "png", 72);
    const QString picture = PdfFixture::write(folder.path(), "picture.png", png);
    const QString text = PdfFixture::write(folder.path(), "notes.txt", "no page in here");

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(pdf), QUrl::fromLocalFile(text), QUrl::fromLocalFile(picture)});
    ASSERT_TRUE(list.controller.canDropMimeData(&files, Qt::CopyAction, 1, 0, {}));
    ASSERT_TRUE(list.controller.dropMimeData(&files, Qt::CopyAction, 1, 0, {}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.shapes().size() > 2; }, 10000)) << "the files are read away from the GUI thread";
    EXPECT_EQ(list.shapes(), (QStringList{"420x595", "420x595", "420x595", "120x80", "200x300", "300x200"}));
    list.undo()->undo();
    EXPECT_EQ(list.shapes(), (QStringList{"200x300", "300x200"})) << "one step";

    QMimeData tiff;
    tiff.setData("image/tiff", PictureFixture::encoded(PictureFixture::marked({60, 90}, Qt::green, Qt::red), "tiff", 72));
    ASSERT_TRUE(list.controller.dropMimeData(&tiff, Qt::CopyAction, -1, -1, {})) << "on the empty space below the rows";
    EXPECT_EQ(list.shapes().last(), "60x90");

    QMimeData nothing;
    nothing.setUrls({QUrl::fromLocalFile(text)});
    EXPECT_FALSE(list.controller.canDropMimeData(&nothing, Qt::CopyAction, 1, 0, {}));
    EXPECT_FALSE(list.controller.dropMimeData(&nothing, Qt::CopyAction, 1, 0, {}));
}

// A cut-off download dropped beside a picture is read away from the GUI thread: the drop returns
// at once, timers fire while qpdf repairs the file, and only the picture becomes a page.
TEST_F(DocumentTest, ADroppedDamagedPdfIsReadWhileTheWindowAnswersAndAddsNoPage)
{
    PageList list(folder.path(), "two.pdf", 2);
    const QString download = PdfFixture::writeCutOff(folder.path(), "download.pdf", qint64(32) << 20);
    const QString picture = PdfFixture::write(folder.path(), "picture.png", PictureFixture::encoded(PictureFixture::marked({120, 80}, Qt::blue, Qt::red), "png", 72));
    ASSERT_FALSE(download.isEmpty());
    int ticked = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { ++ticked; });
    ticks.start(10);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(download), QUrl::fromLocalFile(picture)});
    ASSERT_TRUE(list.controller.dropMimeData(&files, Qt::CopyAction, 1, 0, {}));
    EXPECT_EQ(list.shapes(), (QStringList{"200x300", "300x200"})) << "nothing is read yet";
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.shapes().size() > 2; }, 60000));
    EXPECT_GE(ticked, 3) << "the timer fired while the files were read";
    EXPECT_EQ(list.shapes(), (QStringList{"120x80", "200x300", "300x200"}));
}

// Files chosen in the add panels or dropped that give no pages are named in one alert, each with
// the reason opening it would give; the pages of the others are added all the same, from the
// panels at the top of the list in the order chosen, from a drop where it lands.
TEST_F(DocumentWindowTest, FilesThatGiveNoPagesAreNamedWithTheirReasonAndTheOthersAreAdded)
{
    open(2);
    const QList<VXPagePtr> original = document.inputFilter()->allPages();
    PdfFixture::write(folder.path(), "Locked.pdf", PdfFixture::encrypted(PdfFixture::numbered(8), "secret", "owner"));
    PdfFixture::write(folder.path(), "Three.pdf", pagesOfSize(3, {420, 595}));
    PdfFixture::write(folder.path(), "Notes.jpg", "no picture in here");
    PdfFixture::write(folder.path(), "Photo.png", PictureFixture::encoded(PictureFixture::marked({120, 80}, Qt::blue, Qt::red), "png", 72));
    QStringList told;
    platform::Alert::setResponder([&](platform::Alert &alert) {
        told << alert.messageText() + "\n" + alert.informativeText();
        EXPECT_EQ(alert.alertStyle(), platform::Alert::Style::Critical) << "as any file that could not be opened";
        return platform::Alert::FirstButtonReturn;
    });
    const QString title = rqs::localized("AddPagesRefusedTitle").replace("%1", "booklet.pdf");
    const QString locked = "“Locked.pdf”\n" + rqs::localized("OpenFailedPasswordText");
    const QString notes = "“Notes.jpg”\n" + rqs::localized("OpenFailedContentsText");
    const auto shapes = [&] {
        QStringList result;
        for (const VXPagePtr &page : document.inputFilter()->allPages())
            result << (original.contains(page) ? QString::number(original.indexOf(page) + 1)
                                               : QStringLiteral("%1x%2").arg(qRound(page->size().width())).arg(qRound(page->size().height())));
        return result;
    };

    struct Case { const char *action; QString chosen; QStringList shapes; QString told; };
    const QList<Case> cases{
        {"addPDFPage", R"("Locked.pdf" "Three.pdf")", {"420x595", "420x595", "420x595", "1", "2"}, title + "\n" + locked},
        {"addImagePage", R"("Notes.jpg" "Photo.png")", {"120x80", "420x595", "420x595", "420x595", "1", "2"}, title + "\n" + notes},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.action);
        platform::OpenPanel::setResponder([&](QFileDialog &dialog) {
            dialog.setDirectory(folder.path());
            dialog.selectFile(c.chosen);
            return platform::OpenPanel::OKButton;
        });
        told.clear();
        ASSERT_TRUE(QMetaObject::invokeMethod(controller, c.action, Q_ARG(QObject *, nullptr)));
        ASSERT_TRUE(waitFor([&] { return !told.isEmpty(); }));
        EXPECT_EQ(shapes(), c.shapes);
        EXPECT_EQ(told, QStringList{c.told});
    }
    platform::OpenPanel::setResponder(nullptr);

    // A PDF without a page is named too.
    PdfFixture::write(folder.path(), "Empty.pdf", *platform::PdfDocument().data());
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(folder.filePath("Locked.pdf")), QUrl::fromLocalFile(folder.filePath("Notes.jpg")),
                     QUrl::fromLocalFile(folder.filePath("Empty.pdf")), QUrl::fromLocalFile(folder.filePath("Photo.png"))});
    told.clear();
    ASSERT_TRUE(controller->pagesController()->dropMimeData(&dropped, Qt::CopyAction, 7, 0, {}));
    ASSERT_TRUE(waitFor([&] { return !told.isEmpty(); }));
    EXPECT_EQ(shapes(), (QStringList{"120x80", "420x595", "420x595", "420x595", "1", "2", "120x80"}));
    EXPECT_EQ(told, QStringList{title + "\n" + locked + "\n\n" + notes + "\n\n“Empty.pdf”\n" + rqs::localized("AddPagesNoPagesText")});
}

TEST_F(DocumentTest, PreviewsComeFromTheRenderQueueAndOnlyTheLatestStay)
{
    PageList list(folder.path(), "three.pdf", 3);
    QSignalSpy drawn(&list.controller, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(list.controller.data(list.controller.index(1), Qt::DecorationRole).value<QImage>().isNull())
        << "asking draws nothing on the spot";
    ASSERT_TRUE(waitFor([&] { return drawn.count() == 1; }));
    EXPECT_EQ(drawn.first()[0].value<QModelIndex>().row(), 1);
    const QImage preview = list.controller.data(list.controller.index(1), Qt::DecorationRole).value<QImage>();
    EXPECT_EQ(preview.size(), QSize(200, 300)) << "300 points on the long side";

    // A loader that keeps two previews drops the one seen longest ago for the third.
    VXPagePreviewLoader loader(2);
    QSignalSpy ready(&loader, &VXPagePreviewLoader::previewReady);
    const QList<VXPagePtr> pages = list.pages();
    for (const VXPagePtr &page : pages)
        loader.previewForPage(page);
    ASSERT_TRUE(waitFor([&] { return ready.count() == 2; })) << "page 1 already had its preview";
    int kept = 0;
    for (const VXPagePtr &page : pages)
        kept += page->preview().isNull() ? 0 : 1;
    EXPECT_EQ(kept, 2);
    EXPECT_TRUE(pages[0]->preview().isNull()) << "seen first, dropped first";
    loader.previewForPage(pages[0]);
    ASSERT_TRUE(waitFor([&] { return !pages[0]->preview().isNull(); })) << "drawn again when it comes back";
}

TEST_F(DocumentWindowTest, ExportingPageNumbersLeavesTheScreensFontsAlone)
{
    open(4);
    controller->window()->show();
    platform::KeyValue::setValue(&document, "showPageNumbers", true);
    const QFont application = QApplication::font();
    const QSize menu = control<QMenu>("fileMenu")->sizeHint();
    ASSERT_TRUE(document.exportBookletToURL(QUrl::fromLocalFile(folder.filePath("numbered.pdf"))));
    EXPECT_EQ(QApplication::font(), application);
    EXPECT_EQ(control<QMenu>("fileMenu")->sizeHint(), menu) << "no label cut";
}

TEST_F(DocumentWindowTest, PanelsFollowTheirWindowAndCloseWithItSoTheApplicationCanEnd)
{
    AppDelegate application(nullptr);
    open(2);
    platform::Window *window = controller->window();
    window->setGeometry(100, 100, 900, 700);
    window->show();
    controller->showFontManager();
    auto *fonts = window->findChild<VXFontChooser *>();
    ASSERT_TRUE(fonts && fonts->isVisible());
    auto *help = control<platform::Popover>("helpPopOver");
    controller->showHelpPopupOn(control<QWidget>("rasterizeHelp"));
    ASSERT_TRUE(help->isShown());
    EXPECT_TRUE(window->geometry().contains(help->geometry()));
    EXPECT_FALSE(application.shouldTerminateNow());

    const QPoint at = help->pos();
    window->move(window->pos() + QPoint(40, 30));
    EXPECT_TRUE(waitFor([&] { return help->pos() == at + QPoint(40, 30); }));

    document.close();
    EXPECT_FALSE(fonts->isVisible());
    EXPECT_FALSE(help->isShown());
    EXPECT_TRUE(application.shouldTerminateNow());
}

// Only a page lost to damage is worth an alert; a file qpdf repaired without loss (a joined file
// whose trailer miscounts its objects) opens quietly.
// Also when the window shows a file read only as far as its first sheet: the alert comes once the
// rest is read.
TEST_F(DocumentWindowTest, AFileWithAnUnreadablePageSaysSoOnceAsItsWindowOpensAndALosslessRepairDoesNot)
{
    const QByteArray good = PdfFixture::pages(PdfFixture::numbered(3));
    struct Case { const char *name; QByteArray bytes; bool alerts; };
    const QList<Case> cases{{"joined.pdf", PdfFixture::wrongObjectCount(good), false}, {"lost page.pdf", PdfFixture::unreadablePage(good, 2), true}};
    for (const bool shownPagesFirst : {false, true}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (shownPagesFirst ? ", shown pages first" : ""));
            QStringList alerts;
            platform::Alert::setResponder([&](const platform::Alert &alert) {
                alerts << alert.messageText();
                return platform::Alert::FirstButtonReturn;
            });
            Document opened;
            opened.setReadsShownPagesFirst(shownPagesFirst);
            ASSERT_TRUE(opened.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), c.name, c.bytes)), Document::PdfType));
            VXDocumentWindowController::makeWindowController(&opened);
            opened.showWindows();
            EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.hasPagesToRead(); }, 10'000));
            QTest::qWait(100);
            EXPECT_EQ(alerts, c.alerts ? QStringList{rqs::localized("DamagedFileTitle").replace("%1", opened.displayName())} : QStringList());
            opened.close();
            platform::Alert::setResponder(nullptr);
        }
    }
}

// A window reads the rest of a file that it shows from its first pages once they are drawn; a
// file whose page tree hid a node among the pages is read again whole then, and shows them all.
TEST_F(DocumentWindowTest, AWindowReadsTheRestOfItsFileOnceItsFirstSheetIsDrawn)
{
    using Tree = PdfFixtureTree;
    const QByteArray hiding = PdfFixture::withPageTree(PdfFixture::pages(PdfFixture::numbered(6)),
        Tree::node({Tree::pageAt(0), Tree::node({Tree::pageAt(1), Tree::pageAt(2)}), Tree::pageAt(3), Tree::pageAt(4), Tree::pageAt(5)}, 5));
    document.setReadsShownPagesFirst(true);
    ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), "hiding.pdf", hiding)), Document::PdfType));
    EXPECT_EQ(document.inputFilter()->allPages().size(), 5);
    controller = VXDocumentWindowController::makeWindowController(&document);
    bool drawnFirst = false;
    for (VXPageView *view : {controller->leftPage(), controller->rightPage()}) {
        ASSERT_NE(view, nullptr);
        QObject::connect(view, &VXPageView::sharpImageShown, view, [&] { drawnFirst = drawnFirst || document.hasPagesToRead(); });
    }
    document.showWindows();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !document.hasPagesToRead(); }, 10'000));
    EXPECT_TRUE(drawnFirst) << "the sheet was drawn before the rest was read";
    EXPECT_EQ(document.inputFilter()->allPages().size(), 6);
}

TEST_F(DocumentWindowTest, FastPagingDropsTheRendersOfSidesPassedAndHomeAndEndReachTheEnds)
{
    open(120);
    platform::Window *window = controller->window();
    window->makeKeyAndOrderFront(nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const int dropped = VXPage::droppedRenderCount();
    for (int i = 0; i < 25; ++i)
        QTest::keyClick(window, Qt::Key_PageDown);
    EXPECT_EQ(controller->pageName(), "26 / 60");
    // Two sides a key; some were drawing already when they were passed.
    EXPECT_TRUE(waitFor([&] { return VXPage::droppedRenderCount() - dropped >= 30; })) << VXPage::droppedRenderCount() - dropped;
    QTest::keyClick(window, Qt::Key_Home);
    EXPECT_EQ(controller->pageName(), "1 / 60");
    QTest::keyClick(window, Qt::Key_End);
    EXPECT_EQ(controller->pageName(), "60 / 60");
}

// The page-number font shown is the one drawn: a family that is not installed shows what the system
// put in its place; a new document starts with the desktop's own sans font.
TEST_F(DocumentWindowTest, ThePageNumberFontShownIsTheOneDrawnAndStartsAsTheDesktopsSansFont)
{
    open(4);
    auto *shown = control<QLabel>("fontName");
    const QString desktop = QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
    EXPECT_EQ(document.pageNumbersFontName(), desktop);
    EXPECT_EQ(shown->text(), desktop);
    struct Case { const char *named; QString shown; };
    for (const Case &c : {Case{"Lucida Grande", desktop}, Case{"DejaVu Serif", "DejaVu Serif"}}) {
        SCOPED_TRACE(c.named);
        platform::KeyValue::setValue(&document, "pageNumbersFontName", QString(c.named));
        EXPECT_EQ(shown->text(), c.shown);
        EXPECT_EQ(QFontInfo(document.pageNumberFilter()->font()).family(), c.shown) << "what is drawn";
    }
}

// The font chooser opens on the family and size the numbers are drawn in: a family set that is not
// installed shows the family the numbers keep. OK applies a family typed in any case as it is
// installed, and the size; Cancel leaves the numbers as they were; a typed family that is not
// installed is said to be missing, the chooser stays open and nothing is applied, never the
// nearest family in its place.
TEST_F(DocumentWindowTest, TheFontChooserAppliesWithOkLeavesAllWithCancelAndNamesAMissingFamily)
{
    open(4);
    struct Case { const char *saved; double size; const char *typed; double newSize; bool ok; QString shown; QString applied; double appliedSize; bool missing; };
    const QList<Case> cases{
        {"DejaVu Serif", 15, "dejavu sans mono", 20, true, "DejaVu Serif", "DejaVu Sans Mono", 20, false},
        {"DejaVu Serif", 15, "DejaVu Sans", 9, false, "DejaVu Serif", "DejaVu Serif", 15, false},
        {"DejaVu Serif", 15, "DejaVu Sanz", 20, true, "DejaVu Serif", "DejaVu Serif", 15, true},
        {"Lucida Grande", 12, "Helvetica Neue", 12, true, "DejaVu Serif", "Lucida Grande", 12, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.typed) + (c.ok ? ", OK" : ", Cancel"));
        platform::KeyValue::setValue(&document, "pageNumbersFontName", QString(c.saved));
        platform::KeyValue::setValue(&document, "pageNumbersFontSize", c.size);
        document.setHasChanges(false);
        controller->showFontManager(control<QWidget>("fontButton"));
        auto *chooser = controller->window()->findChild<VXFontChooser *>();
        ASSERT_TRUE(chooser && chooser->isVisible());
        auto *family = chooser->findChild<QComboBox *>("familyField");
        auto *size = chooser->findChild<QDoubleSpinBox *>("sizeField");
        auto *buttons = chooser->findChild<QDialogButtonBox *>("buttons");
        ASSERT_TRUE(family && size && buttons);
        EXPECT_EQ(family->currentText(), c.shown) << "opened on the family drawn";
        EXPECT_EQ(size->value(), c.size);
        ASSERT_NE(buttons->button(QDialogButtonBox::Ok), nullptr);
        ASSERT_NE(buttons->button(QDialogButtonBox::Cancel), nullptr);

        family->setEditText(c.typed);
        size->setValue(c.newSize);
        buttons->button(c.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        EXPECT_EQ(document.pageNumbersFontName(), c.applied);
        EXPECT_EQ(document.pageNumbersFontSize(), c.appliedSize);
        EXPECT_EQ(document.hasChanges(), c.applied != c.saved || c.appliedSize != c.size);
        auto *missing = chooser->findChild<QLabel *>("missingLabel");
        EXPECT_EQ(missing->isVisible(), c.missing);
        EXPECT_EQ(chooser->isVisible(), c.missing) << "open while the family typed is missing";
        if (c.missing) {
            EXPECT_EQ(missing->text(), rqs::localized("FontMissingText").arg(c.typed));
        }
        chooser->reject();
    }
}

// A saved page-number family that is not installed is named once in the log as its document
// opens, with the family drawn in its place; an installed one is not.
TEST_F(DocumentWindowTest, ASavedFamilyThatIsNotInstalledIsNamedOnceAsItsDocumentOpens)
{
    const QString desktop = QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
    const QString path = PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(PdfFixture::numbered(4)));
    for (const char *saved : {"Lucida Grande", "DejaVu Serif"}) {
        SCOPED_TRACE(saved);
        platform::UserDefaults::standardUserDefaults()->setObject(QString(saved), "pageNumbersFontName");
        platform::LogCapture log;
        Document opened;
        ASSERT_TRUE(opened.openURL(QUrl::fromLocalFile(path), Document::PdfType));
        opened.updatePages();
        const QStringList told = log.lines().filter(saved);
        if (QString(saved) == "DejaVu Serif") {
            EXPECT_EQ(told, QStringList());
            continue;
        }
        EXPECT_EQ(told, QStringList{QString("Warning: The page numbers of \"Leaflet.pdf\" are set in \"Lucida Grande\", which is not "
                                            "installed; they are drawn in \"%1\"").arg(desktop)});
    }
}

// Each number of the creep, position and page-number controls says what it is and in what unit.
TEST_F(DocumentWindowTest, CreepPositionAndPageNumberFieldsHaveLabelsAndUnits)
{
    open(4);
    for (const char *name : {"creepTypeField", "creepField", "centerXTF", "centerYTF", "numbersXField", "numbersYField"}) {
        SCOPED_TRACE(name);
        auto *field = control<QWidget>(name);
        QLabel *label = nullptr;
        for (QFormLayout *each : controller->window()->findChildren<QFormLayout *>())
            if (auto *found = qobject_cast<QLabel *>(each->labelForField(field)))
                label = found;
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(label->text().isEmpty());
        if (auto *number = qobject_cast<QDoubleSpinBox *>(field)) {
            EXPECT_FALSE(number->suffix().trimmed().isEmpty());
        }
    }
}

// The selected page stands out from its neighbours in the list, and a page whose preview is still
// on its way shows its outline rather than white on white.
TEST_F(DocumentWindowTest, TheSelectedPageStandsOutAndAPageStillLoadingShowsItsOutline)
{
    open(3);
    show({900, 700});
    auto *list = control<VXPagesTableView>("pagesTableView");
    list->selectionModel()->select(list->model()->index(2, 0), QItemSelectionModel::ClearAndSelect);
    QTest::qWait(300);
    EXPECT_TRUE(saveScreenshot(controller->window(), "document-window"));
    const QImage shown = list->viewport()->grab().toImage();
    const auto ringAt = [&](int row) {
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        const QRect page = VXTableRowView::pageFrameInRow(rect.size()).translated(rect.topLeft());
        return shown.pixelColor(page.left() - 3, page.center().y());
    };
    const QColor selected = ringAt(2), other = ringAt(1);
    EXPECT_GT(std::abs(selected.lightness() - other.lightness()), 40) << selected.name().toStdString() << " " << other.name().toStdString();
}
