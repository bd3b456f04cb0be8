#include "booklet/DocumentFixture.h"

#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXFactoryController.h"
#include "app/shell/VXManualDuplexController.h"
#include "app/shell/VXPreferencesController.h"
#include "app/shell/VXTaskCellView.h"
#include "app/shell/VXWelcomeWindowController.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSAboutBoxController.h"
#include "RQS-Kit/Controls/QSActivityPanel.h"
#include "RQS-Kit/Controls/QSCropController.h"
#include "RQS-Kit/Controls/QSGridViewController.h"
#include "RQS-Kit/Controls/QSHoverWindowController.h"
#include "RQS-Kit/Controls/QSImagePreviewer.h"
#include "RQS-Kit/Controls/QSNewsletterController.h"
#include "RQS-Kit/Controls/QSRateUsController.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSMaterialBuilder.h"
#include "RQS-Kit/Helper/QSSingleButtonPanel.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/Control.h"
#include "platform/ui/InterfaceLoader.h"
#include "support/PictureFixture.h"
#include "support/Screenshot.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabBar>
#include <QTextEdit>

#include <functional>
#include <memory>

namespace {

// What the user works or reads: the outermost such widget, not the parts Qt builds it from.
bool isControl(const QWidget *widget)
{
    return qobject_cast<const platform::Control *>(widget) || qobject_cast<const QAbstractButton *>(widget)
        || qobject_cast<const QLabel *>(widget) || qobject_cast<const QLineEdit *>(widget)
        || qobject_cast<const QAbstractSpinBox *>(widget) || qobject_cast<const QComboBox *>(widget)
        || qobject_cast<const QAbstractSlider *>(widget) || qobject_cast<const QTextEdit *>(widget)
        || qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QAbstractItemView *>(widget)
        || qobject_cast<const QProgressBar *>(widget) || qobject_cast<const QTabBar *>(widget);
}

bool holds(const QLayout *layout, const QWidget *widget)
{
    for (int index = 0; layout && index < layout->count(); ++index) {
        QLayoutItem *item = layout->itemAt(index);
        if (item->widget() == widget || holds(item->layout(), widget))
            return true;
    }
    return false;
}

// Controls that a layout places and whose least size Qt takes from their text: the layout owes them
// that size. Scroll areas, bars and sliders give a minimum that is only a preference, and a
// control placed by hand has the size its code measured for it.
bool needsItsMinimum(const QWidget *widget)
{
    const bool textual = qobject_cast<const platform::Control *>(widget) || qobject_cast<const QAbstractButton *>(widget)
                      || qobject_cast<const QLabel *>(widget) || qobject_cast<const QLineEdit *>(widget)
                      || qobject_cast<const QAbstractSpinBox *>(widget) || qobject_cast<const QComboBox *>(widget);
    return textual && widget->parentWidget() && holds(widget->parentWidget()->layout(), widget);
}

bool insideControl(const QWidget *widget, const QWidget *root)
{
    for (const QWidget *up = widget->parentWidget(); up && up != root; up = up->parentWidget()) {
        if (isControl(up))
            return true;
    }
    return false;
}

bool isScrolledContent(const QWidget *widget)
{
    const QWidget *viewport = widget->parentWidget();
    const auto *area = viewport ? qobject_cast<const QAbstractScrollArea *>(viewport->parentWidget()) : nullptr;
    return area && area->viewport() == viewport;
}

// The part of the widget, in the root's coordinates, that its containers let show; with
// throughScrolling, scrolled content counts whole, as scrolling brings it into view.
QRect visiblePart(const QWidget *widget, const QWidget *root, bool throughScrolling)
{
    QRect shown(widget->mapTo(root, QPoint()), widget->size());
    for (const QWidget *up = widget; up != root; up = up->parentWidget()) {
        if (throughScrolling && isScrolledContent(up))
            break;
        const QWidget *parent = up->parentWidget();
        shown &= QRect(parent->mapTo(root, QPoint()), parent->size());
    }
    return shown;
}

// What a click at the point reaches: a view that lets the pointer through (a shadow band over a
// list) hands it to what lies beneath.
QWidget *reached(QWidget *root, QPoint point)
{
    QList<QWidget *> passedThrough;
    QWidget *hit = root->childAt(point);
    while (hit && hit->property("noHitTesting").toBool()) {
        hit->setAttribute(Qt::WA_TransparentForMouseEvents);
        passedThrough.append(hit);
        hit = root->childAt(point);
    }
    for (QWidget *widget : std::as_const(passedThrough))
        widget->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    return hit;
}

QString describe(const QWidget *widget)
{
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(widget->metaObject()->className()), widget->objectName());
}

// Every visible control of the root has a size, shows whole inside the window, is what a click at
// its centre reaches and covers no sibling control; one line per fault.
QStringList faultsOf(QWidget *root, const QString &when)
{
    QStringList faults;
    QList<QWidget *> controls;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        // Popovers and other panels of the window are windows of their own, shown by code.
        if (widget->window() != root->window() || !widget->isVisibleTo(root) || widget->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (isControl(widget) && !insideControl(widget, root))
            controls.append(widget);
    }
    const auto fault = [&](const QWidget *widget, const QString &what) {
        faults.append(QStringLiteral("%1 %2: %3").arg(when, describe(widget), what));
    };
    for (QWidget *control : std::as_const(controls)) {
        const QRect whole(control->mapTo(root, QPoint()), control->size());
        if (control->width() <= 0 || control->height() <= 0) {
            fault(control, QStringLiteral("is %1x%2").arg(control->width()).arg(control->height()));
            continue;
        }
        const QSize least = control->minimumSizeHint();
        if (needsItsMinimum(control) && least.isValid() && (control->width() < least.width() || control->height() < least.height()))
            fault(control, QStringLiteral("is %1x%2, smaller than the %3x%4 it needs")
                               .arg(control->width()).arg(control->height()).arg(least.width()).arg(least.height()));
        if (visiblePart(control, root, true) != whole)
            fault(control, QStringLiteral("at (%1,%2 %3x%4) does not lie whole inside its window of %5x%6")
                               .arg(whole.x()).arg(whole.y()).arg(whole.width()).arg(whole.height())
                               .arg(root->width()).arg(root->height()));
        // Scrolled out of view, it is reached once scrolled back.
        const QWidget *hit = visiblePart(control, root, false).contains(whole.center()) ? reached(root, whole.center()) : control;
        if (hit && hit != control && !control->isAncestorOf(hit))
            fault(control, QStringLiteral("is covered at its centre by %1").arg(describe(hit)));
        for (QWidget *other : std::as_const(controls)) {
            if (other != control && other->parentWidget() == control->parentWidget() && other < control
                && other->geometry().intersects(control->geometry()))
                fault(control, QStringLiteral("overlaps its sibling %1").arg(describe(other)));
        }
    }
    return faults;
}

// The faults that outlast the window's settling: on a busy machine a relayout the window posted
// may still be on its way when it is first exposed.
QStringList settledFaults(QWidget *root, const QString &size)
{
    QWidget *window = root->window();
    QStringList faults;
    (void)QTest::qWaitFor([&] {
        faults = faultsOf(root, size.arg(window->width()).arg(window->height()));
        return faults.isEmpty();
    }, 1000);
    return faults;
}

// Shows the window at its default size, then at the least size it can be made, and collects the
// faults of the root (the window, or the view a view controller loaded) at both; a screenshot of
// each is kept as "<name>-default" and "<name>-least".
QStringList faultsAtBothSizes(QWidget *root, const QString &name)
{
    QWidget *window = root->window();
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return {QStringLiteral("the window did not show")};
    QCoreApplication::processEvents();
    QStringList faults = settledFaults(root, QStringLiteral("at %1x%2"));
    saveScreenshot(window, name + QStringLiteral("-default"));
    window->resize(1, 1);
    QTest::qWait(0);
    QCoreApplication::processEvents();
    saveScreenshot(window, name + QStringLiteral("-least"));
    faults += settledFaults(root, QStringLiteral("at the least size %1x%2"));
    window->hide();
    return faults;
}

// Each menu of the bar shows its title whole, side by side.
QStringList menuFaults(QMenuBar *bar)
{
    bar->resize(bar->sizeHint());
    bar->show();
    QCoreApplication::processEvents();
    QStringList faults;
    QRect previous;
    for (QAction *menu : bar->actions()) {
        const QRect shown = bar->actionGeometry(menu);
        if (shown.isEmpty() || !bar->rect().contains(shown) || shown.intersects(previous))
            faults.append(QStringLiteral("the menu \"%1\" shows at (%2,%3 %4x%5)")
                              .arg(menu->text()).arg(shown.x()).arg(shown.y()).arg(shown.width()).arg(shown.height()));
        previous = shown;
    }
    bar->hide();
    return faults;
}

class InterfaceFiles : public DocumentTest
{
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        rqs::registerKitClasses();
    }
};

} // namespace

// Every interface file the application ships, loaded by its own controller as the application loads
// it and shown as the user sees it.
TEST_F(InterfaceFiles, EveryVisibleControlHasASizeShowsWholeAndCoversNoOther)
{
    VXDocumentController documents;
    AppDelegate delegate{&documents};
    QSFrameCatalog userFrames(QSFrameCatalog::framesBundlePath(), folder.filePath("UserFrames.plist"));
    QSFrameCatalog systemFrames(QSFrameCatalog::framesBundlePath(), QString());
    const QString pdf = PdfFixture::write(folder.path(), "booklet.pdf", PdfFixture::pages(PdfFixture::numbered(8)));
    Document document;
    ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(pdf), Document::PdfType));
    platform::Window parent;
    parent.resize(600, 400);
    parent.show();

    // The root each file's controller loads, and an owner that keeps it alive while it is checked
    // and then lets it go.
    using Loaded = std::pair<std::shared_ptr<QObject>, QWidget *>;
    const auto window = [](auto *controller) -> Loaded {
        return {std::shared_ptr<QObject>(controller), controller->window()};
    };
    const auto view = [](auto *controller) -> Loaded { return {std::shared_ptr<QObject>(controller), controller->view()}; };
    const QMap<QString, std::function<Loaded()>> loaders{
        {"Document", [&]() -> Loaded {
             VXDocumentWindowController *controller = VXDocumentWindowController::makeWindowController(&document);
             return {nullptr, controller ? controller->window() : nullptr};
         }},
        {"QSAboutBoxController", [&] { return window(new QSAboutBoxController); }},
        {"QSActivityPanel", [&] { return view(new QSActivityPanel); }},
        {"QSCropController", [&] { return window(new QSCropController); }},
        {"QSGridViewController", [&]() -> Loaded {
             // With a section of three tiles, as a picture browser fills it.
             auto *grid = new QSGridViewController;
             const int section = grid->addSection(QSGridItem::Selectable);
             for (int tile = 0; tile < 3; ++tile)
                 grid->addImage(PictureFixture::marked(QSize(64, 48), Qt::blue, Qt::red), QString::number(tile), tile, tile, section);
             grid->refreshLayout(0);
             return {std::shared_ptr<QObject>(grid), grid->view()};
         }},
        {"QSHoverWindowController", [&] { return window(new QSHoverWindowController); }},
        {"QSImagePreviewer", [&] { return window(new QSImagePreviewer); }},
        {"QSMaterialBuilder", [&] { return window(new QSMaterialBuilder(userFrames, systemFrames)); }},
        {"QSNewsletterController", [&] { return window(new QSNewsletterController); }},
        {"QSNoteController", [&] { return window(new QSNoteController); }},
        {"QSRateUsController", [&] { return window(new QSRateUsController); }},
        {"QSSingleButtonPanel", [&]() -> Loaded {
             // Laid out for its message when it is shown below a point of its parent.
             auto *panel = new QSSingleButtonPanel;
             panel->showOver(&parent, {20, 20}, nullptr, "The booklet was printed.", "Show");
             return {std::shared_ptr<QObject>(panel), panel->view()};
         }},
        {"VXFactoryController", [&] { return window(new VXFactoryController(&documents)); }},
        {"VXManualDuplexController", [&]() -> Loaded {
             // The one wizard of the process, unloaded again so that it loads afresh for its next user.
             VXManualDuplexController *wizard = VXManualDuplexController::sharedController();
             return {std::shared_ptr<QObject>(wizard, [](QObject *shared) { static_cast<VXManualDuplexController *>(shared)->unloadWindow(); }),
                     wizard->window()};
         }},
        {"VXPreferencesController", [&] { return window(new VXPreferencesController); }},
        {"VXTaskCellView", [&]() -> Loaded {
             auto *cell = new VXTaskCellView;
             return {std::shared_ptr<QObject>(cell), cell};
         }},
        {"VXWelcomeWindowController", [&] { return window(new VXWelcomeWindowController(delegate)); }},
    };

    const QStringList files = QDir(platform::Bundle::mainBundle()->bundlePath()).entryList({"*.ui"}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 18);
    for (const QString &file : files) {
        const QString name = QFileInfo(file).completeBaseName();
        SCOPED_TRACE(file.toStdString());
        if (name == "MainMenu") {
            std::unique_ptr<QMenuBar> bar(qobject_cast<QMenuBar *>(platform::InterfaceLoader::load(name, &delegate)));
            ASSERT_TRUE(bar);
            const QStringList faults = menuFaults(bar.get());
            EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
            continue;
        }
        ASSERT_TRUE(loaders.contains(name)) << "a file no controller here loads";
        const Loaded loaded = loaders.value(name)();
        ASSERT_NE(loaded.second, nullptr);
        const QStringList faults = faultsAtBothSizes(loaded.second, name);
        EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
    }
    document.close();
}
