#include "booklet/DocumentFixture.h"

#include "app/booklet/VXHelpDescription.h"
#include "app/window/VXDocumentWindowController.h"
#include "app/window/VXPagesController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "support/PdfFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>

namespace {

class DocumentWindowTest : public DocumentTest
{
protected:
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

    Document document;
    VXDocumentWindowController *controller = nullptr;
};

} // namespace

TEST_F(DocumentWindowTest, ControlsDriveTheSettingsByKeyAndFollowThem)
{
    open(8);
    EXPECT_EQ(controller->window()->windowTitle(), "booklet.pdf");
    for (const char *outlet : {"centerShadow", "helpPopOver", "printButton", "rasterizeHeader", "straightOrderHelp"})
        EXPECT_NE(platform::KeyValue::valueForKey(controller, outlet).value<QObject *>(), nullptr) << outlet;
    for (QObject *outlet : std::initializer_list<QObject *>{controller->leftPage(), controller->rightPage(), controller->displayButton(),
                                                            controller->pagesTableView(), controller->helpAutoShow()})
        EXPECT_NE(outlet, nullptr);
    auto *filterView = controller->window()->findChild<VXDoublePageFilterView *>("filterView");
    document.setShowStaples(true);
    EXPECT_EQ(filterView->filters(), document.filters());
    EXPECT_EQ(document.staplesFilter()->delegate(), filterView);
    EXPECT_EQ(document.inputFilter()->addButton(), controller->window()->findChild<QWidget *>("addPageButton"));

    struct Edit
    {
        const char *key;
        std::function<void()> edit;
        QVariant value;
    };
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

    // The font dialog's choice goes in by key as well.
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
    EXPECT_TRUE(control<QWidget>("helpMoreDetails")->isHidden()) << "no longer help for this entry";
    EXPECT_EQ(popover->layout()->contentsMargins().bottom(), 38);

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
