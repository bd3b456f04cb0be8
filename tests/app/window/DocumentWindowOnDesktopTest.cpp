#include "booklet/DocumentFixture.h"

#include "app/window/VXDocumentWindowController.h"
#include "platform/ui/Popover.h"

#include "support/Desktop.h"
#include "support/Screenshot.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QDir>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace {

// The document window on the private X display under openbox, as a new user meets it.
class DocumentWindowOnDesktop : public DocumentTest
{
protected:
    void TearDown() override
    {
        document.close();
        DocumentTest::TearDown();
    }

    template <class T>
    T *control(const char *name) const
    {
        T *found = controller->window()->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static QRect onScreen(const QWidget *widget) { return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()); }

    // What the screen shows of the window, its popovers with it.
    void saveScreen(const QString &name) const
    {
        const QString folder = qEnvironmentVariable("FOLDWISE_TEST_SCREENSHOTS");
        const QRect frame = controller->window()->frameGeometry();
        if (!folder.isEmpty())
            controller->window()->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                .save(QDir(folder).filePath(name + ".png"));
    }

    Document document;
    VXDocumentWindowController *controller = nullptr;
};

} // namespace

// Scrolled to its end, the settings column shows every control whole beside its scroll bar; the
// help that opens by itself when "Print through images" is ticked opens beside the column, so that
// the next click on the resolution reaches the resolution.
TEST_F(DocumentWindowOnDesktop, TheSettingsColumnShowsItsControlsWholeAndTheHelpThatOpensByItselfCoversNone)
{
    FOLDWISE_REQUIRE_DESKTOP();
    const QString path = PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(PdfFixture::numbered(4)));
    ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(path), Document::PdfType));
    controller = VXDocumentWindowController::makeWindowController(&document);
    document.showWindows();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    auto *help = control<platform::Popover>("helpPopOver");
    QTest::qWait(300);
    help->close();

    auto *column = control<QScrollArea>("settingsScroll");
    column->verticalScrollBar()->setValue(column->verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
    const QRect visible = onScreen(column->viewport());
    for (QWidget *shown : column->widget()->findChildren<QWidget *>()) {
        if (shown->isVisible() && (qobject_cast<QAbstractButton *>(shown) || qobject_cast<QAbstractSpinBox *>(shown)))
            EXPECT_TRUE(visible.left() <= onScreen(shown).left() && onScreen(shown).right() <= visible.right())
                << shown->objectName().toStdString() << " runs under the scroll bar";
    }
    saveScreenshot(controller->window(), "settings-scrolled-to-the-end");

    auto *rasterize = control<QCheckBox>("rasterCheck");
    auto *resolution = control<QAbstractSpinBox>("rasterField");
    // The middle of its box and label, which may be narrower than the row.
    QTest::mouseClick(rasterize, Qt::LeftButton, {}, QPoint(rasterize->sizeHint().width() / 2, rasterize->height() / 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return help->isShown(); }, 3000)) << "the help opens by itself";
    QTest::qWait(200);
    saveScreen("settings-with-the-help-that-opens-by-itself");
    for (QWidget *row : {static_cast<QWidget *>(rasterize), static_cast<QWidget *>(resolution), control<QWidget>("rasterizeHelp")})
        EXPECT_FALSE(help->geometry().intersects(onScreen(row))) << row->objectName().toStdString() << " is covered";

    const QPoint centre = onScreen(resolution).center();
    QWidget *hit = QApplication::widgetAt(centre);
    ASSERT_TRUE(hit == resolution || resolution->isAncestorOf(hit)) << (hit ? hit->metaObject()->className() : "nothing");
    QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFromGlobal(centre));
    EXPECT_TRUE(QTest::qWaitFor([&] { return resolution->hasFocus() || resolution->isAncestorOf(QApplication::focusWidget()); }, 3000))
        << "the first click reaches the resolution";
    EXPECT_FALSE(help->isShown());
}
