#include "booklet/DocumentFixture.h"

#include "app/window/VXDocumentWindowController.h"
#include "app/window/VXFontChooser.h"
#include "app/window/VXPageView.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Popover.h"
#include "platform/ui/SavePanel.h"

#include "support/Desktop.h"
#include "support/HostilePdf.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"
#include "support/QtPrinters.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>

namespace {

// The document window on the private X display under openbox, as a new user meets it.
class DocumentWindowOnDesktop : public DocumentTest
{
protected:
    void TearDown() override
    {
        platform::Alert::setResponder(nullptr);
        platform::SavePanel::setResponder(nullptr);
        document.close();
        DocumentTest::TearDown();
    }

    // A four-page PDF in its window, shown and active.
    void showLeaflet()
    {
        const QString path = PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(PdfFixture::numbered(4)));
        ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(path), Document::PdfType));
        controller = VXDocumentWindowController::makeWindowController(&document);
        document.showWindows();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window(), DesktopTimeout));
    }

    // The help that opens by itself once the window shows, on the screen.
    platform::Popover *helpOpenedByItself() const
    {
        auto *help = control<platform::Popover>("helpPopOver");
        EXPECT_TRUE(QTest::qWaitFor([&] { return help->isShown(); }, DesktopTimeout)) << "the help opens by itself";
        paintedScreen(help);
        return help;
    }

    template <class T>
    T *control(const char *name) const
    {
        T *found = controller->window()->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static QRect onScreen(const QWidget *widget) { return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()); }
    // The part of a widget the window shows, on the screen.
    static QRect shownOnScreen(const QWidget *widget)
    {
        const QRect shown = widget->visibleRegion().boundingRect();
        return QRect(widget->mapToGlobal(shown.topLeft()), shown.size());
    }

    // What the screen shows of the window, its popovers with it.
    void saveScreen(const QString &name) const
    {
        saveScreenshot(screenNow().copy(settledFrame(controller->window())), name);
    }

    Document document;
    VXDocumentWindowController *controller = nullptr;
};

} // namespace

// Scrolled to its end, the settings column shows every control whole beside its scroll bar; the
// help that opens by itself when "Print through images" is ticked opens beside the column, over
// none of the window's controls, so that the next click on the resolution or on Export reaches it.
TEST_F(DocumentWindowOnDesktop, TheSettingsColumnShowsItsControlsWholeAndTheHelpThatOpensByItselfCoversNone)
{
    FOLDWISE_REQUIRE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(showLeaflet());
    platform::Popover *help = helpOpenedByItself();
    help->close();

    auto *column = control<QScrollArea>("settingsScroll");
    column->verticalScrollBar()->setValue(column->verticalScrollBar()->maximum());
    EXPECT_TRUE(settle());
    const QRect visible = onScreen(column->viewport());
    for (QWidget *shown : column->widget()->findChildren<QWidget *>()) {
        if (shown->isVisible() && (qobject_cast<QAbstractButton *>(shown) || qobject_cast<QAbstractSpinBox *>(shown))) {
            EXPECT_TRUE(visible.left() <= onScreen(shown).left() && onScreen(shown).right() <= visible.right())
                << shown->objectName().toStdString() << " runs under the scroll bar";
        }
    }
    saveScreenshot(controller->window(), "settings-scrolled-to-the-end");

    auto *rasterize = control<QCheckBox>("rasterCheck");
    auto *resolution = control<QAbstractSpinBox>("rasterField");
    // The middle of its box and label, which may be narrower than the row.
    QTest::mouseClick(rasterize, Qt::LeftButton, {}, QPoint(rasterize->sizeHint().width() / 2, rasterize->height() / 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return help->isShown(); }, DesktopTimeout)) << "the help opens by itself";
    paintedScreen(help);
    saveScreen("settings-with-the-help-that-opens-by-itself");
    for (QWidget *row : {static_cast<QWidget *>(rasterize), static_cast<QWidget *>(resolution), control<QWidget>("rasterizeHelp")})
        EXPECT_FALSE(help->geometry().intersects(onScreen(row))) << row->objectName().toStdString() << " is covered";

    for (QWidget *shown : controller->window()->findChildren<QWidget *>()) {
        const bool isControl = qobject_cast<QAbstractButton *>(shown) || qobject_cast<QAbstractSpinBox *>(shown)
            || qobject_cast<QLineEdit *>(shown) || qobject_cast<QComboBox *>(shown) || qobject_cast<QTabBar *>(shown);
        if (isControl && shown->isVisible() && shown->window() == controller->window()) {
            EXPECT_FALSE(help->geometry().intersects(shownOnScreen(shown)))
                << shown->metaObject()->className() << " " << shown->objectName().toStdString() << " is covered";
        }
    }

    const QPoint centre = onScreen(resolution).center();
    QWidget *hit = QApplication::widgetAt(centre);
    ASSERT_TRUE(hit == resolution || resolution->isAncestorOf(hit)) << (hit ? hit->metaObject()->className() : "nothing");
    QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFromGlobal(centre));
    EXPECT_TRUE(QTest::qWaitFor([&] { return resolution->hasFocus() || resolution->isAncestorOf(QApplication::focusWidget()); }, DesktopTimeout))
        << "the first click reaches the resolution";
    EXPECT_FALSE(help->isShown());

    // Shown again, the help leaves the Export button of the bottom bar to the next click.
    for (int tick = 0; tick < 2; ++tick)
        QTest::mouseClick(rasterize, Qt::LeftButton, {}, QPoint(rasterize->sizeHint().width() / 2, rasterize->height() / 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return help->isShown(); }, DesktopTimeout)) << "the help opens by itself again";
    paintedScreen(help);
    auto *exportButton = control<QAbstractButton>("exportButton");
    const QPoint exportCentre = shownOnScreen(exportButton).center();
    EXPECT_EQ(QApplication::widgetAt(exportCentre), exportButton);
    QString asked;
    platform::SavePanel::setResponder([&](QFileDialog &dialog) {
        asked = dialog.windowTitle();
        return platform::SavePanel::CancelButton;
    });
    QTest::mouseClick(exportButton, Qt::LeftButton, {}, exportButton->mapFromGlobal(exportCentre));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty(); }, DesktopTimeout)) << "the click reaches Export";
    EXPECT_EQ(asked, rqs::localized("ExportPanelTitle"));
}

// With no alert up, Escape typed in the document window closes the help that opened by itself and
// leaves the window as it was.
TEST_F(DocumentWindowOnDesktop, EscapeInTheWindowClosesTheHelpThatOpenedByItself)
{
    FOLDWISE_REQUIRE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(showLeaflet());
    platform::Popover *help = helpOpenedByItself();
    saveScreen("the-help-that-opened-by-itself");

    xdotool(qEnvironmentVariable("DISPLAY"), {"windowactivate", "--sync", QString::number(controller->window()->winId()), "key", "Escape"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !help->isShown(); }, DesktopTimeout)) << "Escape left the help up";
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), controller->window());
}

// Names typed into the add panels, some that its filter hides and several that give no pages for
// different reasons: every file is added or named in the one alert with its reason, and the log
// names each that was not added.
TEST_F(DocumentWindowOnDesktop, EveryFileTypedIntoAnAddPanelIsAddedOrNamedWithItsReason)
{
    FOLDWISE_REQUIRE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(showLeaflet());
    control<platform::Popover>("helpPopOver")->close();
    PdfFixture::write(folder.path(), "one.pdf", pagesOfSize(3, {420, 595}));
    PdfFixture::write(folder.path(), "locked.pdf", PdfFixture::encrypted(PdfFixture::numbered(2), "secret", "owner"));
    PdfFixture::write(folder.path(), "damaged.pdf", "%PDF-1.4\nno PDF in here\n");
    PdfFixture::write(folder.path(), "empty.pdf", *platform::PdfDocument().data());
    PdfFixture::write(folder.path(), "notapicture.jpg", "no picture in here");
    PdfFixture::write(folder.path(), "photo.png", PictureFixture::encoded(PictureFixture::marked({120, 80}, Qt::blue, Qt::red), "png", 72));
    PdfFixture::write(folder.path(), "notes.txt", "no picture in here either");
    QStringList told;
    platform::Alert::setResponder([&](platform::Alert &alert) {
        told << alert.messageText() + "\n" + alert.informativeText();
        return platform::Alert::FirstButtonReturn;
    });
    const auto named = [](const QString &names, const char *reason) { return names + "\n" + rqs::localized(reason); };
    const QString title = rqs::localized("AddPagesRefusedTitle").replace("%1", "Leaflet.pdf");

    struct Case { const char *item; QString typed; QStringList added; QString told; QString logged; };
    const QList<Case> cases{
        {"pdfPageItem", R"("one.pdf" "locked.pdf" "damaged.pdf" "notapicture.jpg" "empty.pdf")", {"420x595", "420x595", "420x595"},
         title + "\n" + named("“locked.pdf”", "OpenFailedPasswordText") + "\n\n"
             + named("“damaged.pdf”, “notapicture.jpg”", "OpenFailedContentsText") + "\n\n" + named("“empty.pdf”", "AddPagesNoPagesText"),
         "Warning: Could not add locked.pdf, damaged.pdf, notapicture.jpg, empty.pdf to \"Leaflet.pdf\""},
        {"imagePageItem", R"("notes.txt" "photo.png" "locked.pdf" "notapicture.jpg")", {"120x80"},
         title + "\n" + named("“notes.txt”, “notapicture.jpg”", "OpenFailedContentsText") + "\n\n"
             + named("“locked.pdf”", "OpenFailedPasswordText"),
         "Warning: Could not add notes.txt, locked.pdf, notapicture.jpg to \"Leaflet.pdf\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item);
        told.clear();
        const QList<VXPagePtr> before = document.inputFilter()->allPages();
        platform::LogCapture log;
        control<QAction>(c.item)->trigger();
        QFileDialog *panel = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (panel = controller->window()->findChild<QFileDialog *>()) && panel->isVisible(); }, 5000));
        panel->setDirectory(folder.path());
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
        auto *field = panel->findChild<QLineEdit *>("fileNameEdit");
        ASSERT_TRUE(field);
        ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }, 3000));
        xdotool(qEnvironmentVariable("DISPLAY"), {"type", "--delay", "15", c.typed});
        ASSERT_TRUE(QTest::qWaitFor([&] { return field->text() == c.typed; }, 10000)) << field->text().toStdString();
        saveScreenshot(panel, QString("names-typed-into-%1").arg(c.item));
        xdotool(qEnvironmentVariable("DISPLAY"), {"key", "Return"});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }, 10000)) << "no alert";
        QStringList added;
        for (const VXPagePtr &page : document.inputFilter()->allPages()) {
            if (!before.contains(page))
                added << QStringLiteral("%1x%2").arg(qRound(page->size().width())).arg(qRound(page->size().height()));
        }
        EXPECT_EQ(added, c.added);
        EXPECT_EQ(told, QStringList{c.told});
        EXPECT_TRUE(log.contains(c.logged)) << log.lines().join('\n').toStdString();
    }
}

// A page whose drawing would hold poppler for minutes shows at once as a plain grey page in its
// window, the blank page beside it as paper, and the window answers.
TEST_F(DocumentWindowOnDesktop, ARunawayPageShowsAsAPlainPlaceholder)
{
    FOLDWISE_REQUIRE_DESKTOP();
    const QString path = PdfFixture::write(folder.path(), "Tall.pdf", HostilePdf::tallImage());
    ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(path), Document::PdfType));
    controller = VXDocumentWindowController::makeWindowController(&document);
    VXPageView *cover = controller->rightPage();
    ASSERT_NE(cover, nullptr);
    bool sharp = false;
    QObject::connect(cover, &VXPageView::sharpImageShown, cover, [&] { sharp = true; });
    document.showWindows();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window(), DesktopTimeout));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sharp; }, DesktopTimeout)) << "the cover's image never came";
    if (auto *help = controller->window()->findChild<platform::Popover *>("helpPopOver"))
        help->close();
    const QImage screen = paintedScreen(controller->window());
    saveScreen("a-runaway-page-as-a-plain-placeholder");
    const QRect frame = cover->pageFrame().toAlignedRect();
    const QPoint middle = cover->mapToGlobal(frame.center());
    const QPoint inside = cover->mapToGlobal(frame.topLeft() + QPoint(10, 10));
    const QColor placeholder = VXPage::placeholderImage().pixelColor(0, 0);
    EXPECT_EQ(PixelProbe::mismatches(screen, {{middle, placeholder}, {inside, placeholder}}, 2), QStringList());
    const QRect blank = controller->leftPage()->pageFrame().toAlignedRect();
    EXPECT_EQ(PixelProbe::mismatches(screen, {{controller->leftPage()->mapToGlobal(blank.center()), Qt::white}}, 2), QStringList());
}

// The font chooser as a user meets it: opened by a click on Font…, it shows OK and Cancel on the
// screen; a family typed that is not installed, with Return, is said to be missing and nothing
// changes; an installed one typed with a size typed, then OK clicked, is what the numbers are set
// in; a family typed then Cancel clicked changes nothing.
TEST_F(DocumentWindowOnDesktop, TheFontChooserAppliesATypedFamilyWithOkNamesAMissingOneAndCancelLeavesAll)
{
    FOLDWISE_REQUIRE_DESKTOP();
    ASSERT_NO_FATAL_FAILURE(showLeaflet());
    helpOpenedByItself()->close();
    platform::KeyValue::setValue(&document, "pageNumbersFontName", QStringLiteral("DejaVu Sans"));
    platform::KeyValue::setValue(&document, "pageNumbersFontSize", 12.0);
    const QString display = qEnvironmentVariable("DISPLAY");
    const auto clickShown = [](QWidget *widget) {
        const QRect shown = widget->visibleRegion().boundingRect();
        const QPoint centre = widget->mapToGlobal(shown.center());
        QWidget *hit = QApplication::widgetAt(centre);
        EXPECT_EQ(hit, widget) << widget->objectName().toStdString() << " is where the screen shows it, not " << (hit ? hit->metaObject()->className() + std::string(" ") + hit->objectName().toStdString() : "nothing");
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->mapFromGlobal(centre));
    };
    const auto openChooser = [&]() -> VXFontChooser * {
        auto *fontButton = control<QAbstractButton>("fontButton");
        control<QScrollArea>("settingsScroll")->ensureWidgetVisible(fontButton);
        EXPECT_TRUE(settle());
        clickShown(fontButton);
        auto *chooser = controller->window()->findChild<VXFontChooser *>();
        EXPECT_TRUE(chooser && QTest::qWaitForWindowActive(chooser, DesktopTimeout)) << "the chooser takes the keyboard";
        return chooser;
    };
    const auto typeInto = [&](QWidget *window, const QString &keys, const QString &text) {
        xdotool(display, {"windowactivate", "--sync", QString::number(window->winId()), "key", "--clearmodifiers", keys});
        xdotool(display, {"type", "--delay", "15", text});
        EXPECT_TRUE(settle());
    };

    VXFontChooser *chooser = openChooser();
    ASSERT_NE(chooser, nullptr);
    auto *buttons = chooser->findChild<QDialogButtonBox *>("buttons");
    ASSERT_NE(buttons, nullptr);
    const QImage screen = paintedScreen(chooser);
    for (const auto which : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel}) {
        QPushButton *button = buttons->button(which);
        ASSERT_NE(button, nullptr);
        const QImage drawn = button->grab().toImage();
        const QPoint centre = button->mapToGlobal(button->rect().center());
        EXPECT_TRUE(screen.rect().contains(centre));
        EXPECT_TRUE(PixelProbe::isNear(screen, centre, drawn.pixelColor(drawn.rect().center()), 24))
            << button->text().toStdString() << " is on the screen: " << PixelProbe::describe(screen, centre).toStdString();
    }
    saveScreenshot(screen.copy(settledFrame(chooser)), "font-chooser");

    typeInto(chooser, "ctrl+a", "Helvetica Neue");
    xdotool(display, {"key", "Return"});
    auto *missing = chooser->findChild<QLabel *>("missingLabel");
    ASSERT_TRUE(QTest::qWaitFor([&] { return missing->isVisible(); }, DesktopTimeout)) << "the missing family is named";
    EXPECT_EQ(missing->text(), rqs::localized("FontMissingText").arg("Helvetica Neue"));
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(document.pageNumbersFontName(), "DejaVu Sans") << "nothing in its place";
    saveScreenshot(paintedScreen(chooser).copy(settledFrame(chooser)), "font-chooser-missing-family");

    typeInto(chooser, "ctrl+a", "DejaVu Serif");
    xdotool(display, {"key", "Tab", "ctrl+a"});
    xdotool(display, {"type", "--delay", "15", "18"});
    EXPECT_TRUE(settle());
    clickShown(buttons->button(QDialogButtonBox::Ok));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !chooser->isVisible(); }, DesktopTimeout));
    EXPECT_EQ(document.pageNumbersFontName(), "DejaVu Serif");
    EXPECT_EQ(document.pageNumbersFontSize(), 18.0);
    EXPECT_EQ(control<QLabel>("fontName")->text(), "DejaVu Serif");

    chooser = openChooser();
    ASSERT_NE(chooser, nullptr);
    // Opened again, the family takes what is typed, never the button clicked last.
    xdotool(display, {"windowactivate", "--sync", QString::number(chooser->winId()), "type", "--delay", "15", "DejaVu Sans Mono"});
    EXPECT_TRUE(settle());
    EXPECT_EQ(chooser->findChild<QComboBox *>("familyField")->currentText().left(16), "DejaVu Sans Mono");
    EXPECT_TRUE(chooser->isVisible());
    clickShown(buttons->button(QDialogButtonBox::Cancel));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !chooser->isVisible(); }, DesktopTimeout));
    EXPECT_EQ(document.pageNumbersFontName(), "DejaVu Serif") << "Cancel changes nothing";
    EXPECT_EQ(document.pageNumbersFontSize(), 18.0);
}
