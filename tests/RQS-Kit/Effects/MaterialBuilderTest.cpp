#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Controls/QSDropView.h"
#include "RQS-Kit/Controls/QSShadowedScrollView.h"
#include "RQS-Kit/Effects/QSFrameEditor.h"
#include "RQS-Kit/Effects/QSFrameMaterials.h"
#include "RQS-Kit/Effects/QSImageArray.h"
#include "RQS-Kit/Effects/QSMaterialBuilder.h"
#include "RQS-Kit/Effects/QSShadeRow.h"
#include "RQS-Kit/Foundation/BundleExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/UndoManager.h"
#include "platform/ui/ViewUndo.h"

#include <QAbstractAnimation>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>

#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace {

// A frame bundle with two shades, the user's frame file beside it, saved 50 ms after a change.
class MaterialBuilder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rqs::registerKitClasses();
        QDir(m_dir.path()).mkpath("Frames.bundle/Shades");
        QImage shade(16, 16, QImage::Format_ARGB32);
        shade.fill(QColor(0, 0, 0, 128));
        for (const char *name : {"FRM-S#001#Edge#4.png", "FRM-S#002#Glow#4.png"})
            shade.save(m_dir.filePath(QStringLiteral("Frames.bundle/Shades/") + name));
        // The shared catalogs are made once, of the folder the pictures come from then: made
        // first, they stay the shipped frames for the cases after this one.
        QSFrameCatalog::sharedFrameCatalog();
        QSFrameCatalog::sharedUserFrameCatalog();
        rqs::setGraphicsBundlePath(m_dir.path());
        m_user = std::make_unique<QSFrameCatalog>(QSFrameCatalog::framesBundlePath(), file());
        m_user->setSaveDelay(0.05);
        m_system = std::make_unique<QSFrameCatalog>(QSFrameCatalog::framesBundlePath(), QString());
        m_builder = std::make_unique<QSMaterialBuilder>(*m_user, *m_system);
        ASSERT_TRUE(m_builder->window());
        m_newShade = m_builder->window()->findChild<QComboBox *>("newShadeButton");
    }
    void TearDown() override { rqs::setGraphicsBundlePath({}); }

    QString file() const { return m_dir.filePath("UserFrames.plist"); }
    // The preview is drawn away from the window.
    QImage drawnPreview() const
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !m_builder->isDrawingPreview(); }, 20000));
        return m_builder->previewImage();
    }
    bool pickNewShade(const QString &title)
    {
        m_newShade->setCurrentIndex(m_newShade->findText(title, Qt::MatchContains));
        return m_builder->addNewShade(m_newShade);
    }
    QVariantList savedShades() const
    {
        const QVariantMap frames = platform::PropertyList::read(file()).toMap();
        return frames.isEmpty() ? QVariantList{} : frames.first().toMap().value("Shades").toList();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<QSFrameCatalog> m_user, m_system;
    std::unique_ptr<QSMaterialBuilder> m_builder;
    QComboBox *m_newShade = nullptr;
};

} // namespace

TEST_F(MaterialBuilder, EditsAUserFrameWithUndoAndSavesIt)
{
    m_builder->addUserFrame(nullptr);
    ASSERT_TRUE(pickNewShade("Edge"));
    QCoreApplication::processEvents();
    ASSERT_EQ(m_builder->shadeRows().size(), 1);
    m_builder->shadeRows().first()->intensitySlider()->setValue(40);
    QCoreApplication::processEvents();
    m_builder->window()->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(saveScreenshot(m_builder->window(), "frame-builder"));
    EXPECT_TRUE(platform::undoManagerForView(m_builder->window())->undo());
    EXPECT_EQ(m_builder->shadeRows().first()->intensitySlider()->value(), 100);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_user->isSavePending(); }));
    const QVariantMap frame = platform::PropertyList::read(file()).toMap().value("FRM-U#001#").toMap();
    EXPECT_EQ(frame.value("Name"), "New Frame");
    ASSERT_EQ(savedShades().size(), 1);
    EXPECT_EQ(savedShades().first().toMap().value("Shade"), "FRM-S#001#Edge");
    EXPECT_EQ(savedShades().first().toMap().value("Intensity").toDouble(), 1.0);
}

namespace {

double meanGray(const QImage &picture, const QRect &area)
{
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            sum += qGray(picture.pixel(x, y));
    }
    return sum / (area.width() * area.height());
}

} // namespace

TEST_F(MaterialBuilder, TheShadeListDarkensEachEdgeWithShadesBeyondIt)
{
    m_builder->addUserFrame(nullptr);
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(pickNewShade(i % 2 ? "Glow" : "Edge"));
    QWidget *window = m_builder->window();
    window->resize(760, 520);
    window->show();
    // A slow preview shows its progress above the rows for a while, which moves the list.
    drawnPreview();
    QCoreApplication::processEvents();
    auto *list = window->findChild<QSShadowedScrollView *>("shadesScrollView");
    ASSERT_TRUE(list);
    ASSERT_TRUE(list->viewport()->isAncestorOf(m_builder->shadeRows().last())) << "the rows scroll inside the list";
    QScrollBar *scroller = list->verticalScrollBar();
    ASSERT_GT(scroller->maximum(), 40) << "twelve shades overflow the list";

    // How much darker each edge's band area is than the same pixels with the bands taken away.
    const auto darkening = [&] {
        const QRect top(list->topShadow()->mapTo(window, QPoint()), list->topShadow()->size());
        const QRect bottom(list->bottomShadow()->mapTo(window, QPoint()), list->bottomShadow()->size());
        const QImage shaded = window->grab().toImage();
        list->setShowTopShadow(false);
        list->setShowBottomShadow(false);
        const QImage bare = window->grab().toImage();
        list->setShowTopShadow(true);
        list->setShowBottomShadow(true);
        return std::pair{meanGray(bare, top) - meanGray(shaded, top), meanGray(bare, bottom) - meanGray(shaded, bottom)};
    };
    const struct
    {
        int scrolled;
        bool topDark, bottomDark;
    } cases[] = {{0, false, true}, {scroller->maximum() / 2, true, true}, {scroller->maximum(), true, false}};
    for (const auto &c : cases) {
        scroller->setValue(c.scrolled);
        QCoreApplication::processEvents();
        if (c.scrolled == scroller->maximum() / 2) {
            EXPECT_TRUE(saveScreenshot(window, "frame-builder-shades"));
        }
        const auto [top, bottom] = darkening();
        for (const auto &[darker, dark] : {std::pair{top, c.topDark}, std::pair{bottom, c.bottomDark}}) {
            if (dark)
                EXPECT_GT(darker, 2) << "scrolled " << c.scrolled;
            else
                EXPECT_NEAR(darker, 0, 0.01) << "scrolled " << c.scrolled;
        }
    }

    const int scrolledToTheEnd = scroller->value();
    ASSERT_TRUE(pickNewShade("Edge"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return scroller->maximum() > scrolledToTheEnd; }));
    EXPECT_GT(darkening().second, 2) << "a shade added below the sight darkens the bottom again";

    m_builder->shadeRows().last()->intensitySlider()->setValue(40);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(m_builder->editor().frame()->shades().last()->intensity(), 0.4) << "a row scrolled into sight still edits";
}

TEST_F(MaterialBuilder, GroupTitlePickedDoesNothing)
{
    m_builder->addUserFrame(nullptr);
    platform::LogCapture log;
    EXPECT_FALSE(pickNewShade("Overlay"));
    EXPECT_TRUE(m_builder->shadeRows().isEmpty());
    ASSERT_TRUE(pickNewShade("Glow"));
    QComboBox *rowShade = m_builder->shadeRows().first()->shadeButton();
    emit rowShade->activated(rowShade->findText("Overlay", Qt::MatchContains));
    EXPECT_EQ(m_builder->editor().frame()->shades().first()->name(), "FRM-S#002#Glow");
    EXPECT_TRUE(log.lines().first().startsWith("Info: 'Overlay -' heads a group"));
    EXPECT_EQ(log.lines().size(), 2);
}

TEST_F(MaterialBuilder, ZeroPreviewSizeKeepsTheProportionAndDrawsNothing)
{
    m_builder->setSamplePicture(QImage(400, 200, QImage::Format_ARGB32));
    const double ratio = m_builder->previewAspectRatio();
    ASSERT_FALSE(drawnPreview().isNull());
    auto *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->setDouble(0, "QSMBPreviewSize");
    platform::LogCapture log;
    m_builder->updatePreviewInputImage();
    defaults->removeObjectForKey("QSMBPreviewSize");
    EXPECT_TRUE(drawnPreview().isNull());
    EXPECT_EQ(m_builder->previewAspectRatio(), ratio);
    EXPECT_TRUE(log.contains("Warning: The frame preview size 0 is not positive"));
}

// The preview follows the sample pictures: a picture added to them is framed at once, the next
// one when the user steps on.
TEST_F(MaterialBuilder, ThePreviewShowsTheCurrentSamplePicture)
{
    QSImageArray samples;
    m_builder->setImageArray(&samples);
    QImage wide(400, 100, QImage::Format_RGB32), tall(100, 400, QImage::Format_RGB32);
    wide.fill(Qt::red);
    tall.fill(Qt::blue);
    ASSERT_TRUE(wide.save(m_dir.filePath("wide.png")) && tall.save(m_dir.filePath("tall.png")));
    ASSERT_TRUE(samples.addImageAtPath(m_dir.filePath("wide.png")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_builder->previewAspectRatio() > 2; }, 2000));
    ASSERT_TRUE(samples.addImageAtPath(m_dir.filePath("tall.png")));
    samples.next();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_builder->previewAspectRatio() < 0.5; }, 2000));
    const QImage preview = drawnPreview();
    EXPECT_EQ(preview.pixelColor(preview.width() / 2, preview.height() / 2), QColor(Qt::blue));
}

// While the left button is held, as in a drag, the frame changes faster than the preview is drawn;
// each render still ends, so the preview follows, and the frame as the drag left it is drawn last.
TEST_F(MaterialBuilder, ThePreviewFollowsChangesMadeWhileTheButtonIsHeld)
{
    QImage sample(600, 400, QImage::Format_RGB32);
    for (int y = 0; y < sample.height(); ++y)
        for (int x = 0; x < sample.width(); ++x)
            sample.setPixel(x, y, qRgb(x % 256, y % 256, 128));
    m_builder->setSamplePicture(sample);
    m_builder->addUserFrame(nullptr);
    // A white frame, which its half-black shade darkens as much as its intensity says.
    ASSERT_TRUE(m_builder->editor().setTextureColor({1, 1, 1, 1}));
    ASSERT_TRUE(pickNewShade("Edge"));
    const QImage before = drawnPreview();
    ASSERT_FALSE(before.isNull());
    QWidget surface;
    surface.resize(100, 100);
    surface.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&surface));

    QTest::mousePress(surface.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    double intensity = 1.0;
    int changes = 0;
    // One change each turn of the event loop, until a picture of one of them is shown.
    const bool followed = QTest::qWaitFor([&] {
        intensity = std::max(0.0, intensity - 0.002);
        m_builder->editor().setShadeIntensity(intensity, 0);
        ++changes;
        return !m_builder->isDrawingPreview() || m_builder->previewImage() != before;
    }, 20000);
    EXPECT_TRUE(followed && m_builder->previewImage() != before) << "no picture shown after " << changes << " changes";
    m_builder->editor().setShadeIntensity(0.25, 0);
    QTest::mouseRelease(surface.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));

    const QImage last = drawnPreview();
    m_builder->previewHasChanged();
    EXPECT_EQ(drawnPreview(), last) << "the last change of the drag is drawn";
    EXPECT_EQ(m_builder->editor().frame()->shades().first()->intensity(), 0.25);
}

// A shade whose picture turns out damaged only as the preview is drawn fails the preview: the
// line below it says that it could not be drawn, and why, instead of an empty preview shown as if
// drawn.
TEST_F(MaterialBuilder, APreviewThatCouldNotBeDrawnSaysSoAndWhy)
{
    // Large enough to be read by rows as it is drawn, cut half way through its rows.
    QImage shade(4300, 2000, QImage::Format_ARGB32);
    for (int y = 0; y < shade.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(shade.scanLine(y));
        for (int x = 0; x < shade.width(); ++x)
            line[x] = qRgba(0, 0, 0, (x * 7 + y * 3) % 256);
    }
    const QString path = m_dir.filePath("Frames.bundle/Shades/FRM-S#001#Edge#4.png");
    ASSERT_TRUE(shade.save(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.resize(file.size() / 2));
    file.close();

    QWidget *window = m_builder->window();
    auto *status = window->findChild<QLabel *>("previewStatusText");
    ASSERT_TRUE(status);
    m_builder->setSamplePicture(QImage(400, 300, QImage::Format_RGB32));
    ASSERT_FALSE(drawnPreview().isNull());
    m_builder->addUserFrame(nullptr);
    platform::LogCapture log;
    ASSERT_TRUE(pickNewShade("Edge"));
    EXPECT_TRUE(drawnPreview().isNull());
    EXPECT_TRUE(status->text().startsWith("The preview could not be drawn: Could not read the picture " + path + ", because "))
        << status->text().toStdString();
    EXPECT_FALSE(status->isHidden());
    EXPECT_TRUE(log.contains("Error: Could not read the picture " + path));
    EXPECT_TRUE(log.contains("Warning: The frame preview could not be drawn"));
}

// The shade settings read from the shade files' names: defaults without options, the mask a
// shade is made for from an option after the fourth.
TEST(FrameMaterials, ShadeSettingsComeFromTheFileNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Shades"));
    QImage shade(8, 8, QImage::Format_ARGB32);
    shade.fill(Qt::gray);
    for (const char *name : {"FRM-S#001#Plain.png", "FRM-S#002#Made#40-10-2-0-I#003.png"})
        ASSERT_TRUE(shade.save(dir.filePath(QStringLiteral("Shades/") + name)));
    const QSFrameMaterials materials(dir.path());
    const QVariantMap plain = materials.shadeSettings().value("FRM-S#001#Plain");
    EXPECT_EQ(plain.value("width").toDouble(), 256.0);
    EXPECT_EQ(plain.value("corner").toDouble(), 0.0);
    EXPECT_EQ(plain.value("url").toString(), dir.filePath("Shades/FRM-S#001#Plain.png"));
    const QVariantMap made = materials.shadeSettings().value("FRM-S#002#Made");
    EXPECT_EQ(made.value("width").toDouble(), 40.0);
    EXPECT_EQ(made.value("corner").toDouble(), 10.0);
    EXPECT_EQ(made.value("repeat.x").toLongLong(), 2);
    EXPECT_EQ(made.value("repeat.y").toLongLong(), 0);
    EXPECT_EQ(made.value("internal").toString(), "FRM-I#003#");
    EXPECT_FALSE(made.contains("external"));
}

// The pictures of a type's folder, by identifier in display order, are what the builder's mask
// pop-ups list (the automatic inner mask first); a type without a folder lists nothing, not the
// bundle's own top folder.
TEST(FrameMaterials, ListsTheItemsOfATypeByTheirIdentifiers)
{
    QTemporaryDir dir;
    QImage mask(8, 8, QImage::Format_ARGB32);
    mask.fill(Qt::white);
    for (const char *file : {"ExternalMasks/FRM-E#002#Oval#4.png", "ExternalMasks/FRM-E#001#Square.png",
                             "InternalMasks/FRM-I#003#Round.png", "InternalMasks/FRM-I#000#Internal-Auto.png", "Stray.png"}) {
        ASSERT_TRUE(QDir(dir.path()).mkpath(QFileInfo(dir.filePath(file)).path()));
        ASSERT_TRUE(mask.save(dir.filePath(file)));
    }
    const QSFrameMaterials materials(dir.path());
    EXPECT_EQ(materials.listForItemsOfType("FRM-E"), (QStringList{"FRM-E#002#Oval", "FRM-E#001#Square"})) << "Oval before Square";
    EXPECT_EQ(materials.externalMaskNames(), materials.listForItemsOfType("FRM-E"));
    EXPECT_EQ(materials.internalMaskNames(), (QStringList{"FRM-I#000#Internal-Auto", "FRM-I#003#Round"}));
    EXPECT_EQ(materials.listForItemsOfType("FRM-S"), QStringList());
    EXPECT_EQ(materials.listForItemsOfType("XYZ-Q"), QStringList());
    EXPECT_EQ(materials.indexOfShade("FRM-S#001#None"), -1);
}

namespace {

// A control's frame in the shade list, y up from the list's bottom.
QRect frameInList(const QWidget *control, const QWidget *list)
{
    const QRect r(control->mapTo(list, QPoint()), control->size());
    return {r.x(), list->height() - r.y() - r.height(), r.width(), r.height()};
}

} // namespace

// Rows of a list 549 points wide lie 38 apart in two lines: the shade pop-up beside the remove
// button, the blend pop-up over the slider; 550 points wide, 31 apart in one line after the new-shade
// pop-up's left edge and width (180). A change of the list's width relays the rows a moment later.
TEST_F(MaterialBuilder, ShadeRowsLieInTwoLinesInAListNarrowerThan550)
{
    m_builder->addUserFrame(nullptr);
    for (const char *shade : {"Edge", "Glow", "Edge"})
        ASSERT_TRUE(pickNewShade(shade));
    QWidget *window = m_builder->window();
    window->resize(1100, 640);
    window->show();
    QCoreApplication::processEvents();
    auto *list = window->findChild<QSShadowedScrollView *>("shadesScrollView");
    QWidget *container = window->findChild<QWidget *>("shadesContainer");
    const int h = m_newShade->sizeHint().height();
    const int slider = m_builder->shadeRows().first()->intensitySlider()->sizeHint().height();
    for (const int width : {549, 550, 549}) {
        const int before = m_builder->shadeRows().first()->height();
        list->setFixedWidth(list->width() + width - container->width());
        EXPECT_EQ(m_builder->shadeRows().first()->height(), before) << "not at once";
        const int r = width < 550 ? 38 : 31;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return container->width() == width && m_builder->shadeRows().first()->height() == r
                   && m_builder->shadeRows().last()->y() == 2 * r;
        }, 3000)) << width;
        if (width == 549) {
            EXPECT_TRUE(saveScreenshot(window, "frame-builder-narrow"));
        }
        const int H = container->height();
        for (int i = 0; i < 3; ++i) {
            const QSShadeRow *row = m_builder->shadeRows().at(i);
            const int y = H - (i + 1) * r;
            const std::pair<QWidget *, QRect> expected[] = {
                {row->shadeButton(), width < 550 ? QRect(32, y + 4, 157, h) : QRect(0, y + 31 - h, 180, h)},
                {row->blendButton(), width < 550 ? QRect(193, y + 16, 113, 15) : QRect(188, y + 31 - h, 150, h)},
                {row->intensitySlider(), width < 550 ? QRect(193, y, 113, 15) : QRect(346, y + 31 - slider, 138, slider)},
                {row->removeButton(), width < 550 ? QRect(0, y, 32, 32) : QRect(492, y - 1, 32, 32)}};
            for (const auto &[control, frame] : expected)
                EXPECT_EQ(frameInList(control, container), frame) << width << " row " << i << " "
                                                                  << control->metaObject()->className();
        }
    }
}

// With Shift alone held the rows move for 2.5 s instead of 0.25 s, for a look at the animation.
TEST_F(MaterialBuilder, ShiftHeldSlowsTheRowAnimationDown)
{
    m_builder->addUserFrame(nullptr);
    ASSERT_TRUE(pickNewShade("Edge"));
    QWidget *window = m_builder->window();
    window->show();
    QCoreApplication::processEvents();
    QWidget *container = window->findChild<QWidget *>("shadesContainer");
    for (const auto &[modifiers, duration] : {std::pair{Qt::ShiftModifier, 2500}, {Qt::NoModifier, 250}}) {
        if (modifiers == Qt::ShiftModifier)
            QTest::keyPress(window, Qt::Key_Shift, Qt::ShiftModifier);
        else
            QTest::keyRelease(window, Qt::Key_Shift);
        m_builder->updateLayout(QSMaterialBuilder::Animate);
        const auto *animation = container->findChild<QAbstractAnimation *>("shadeRowsAnimation");
        ASSERT_TRUE(animation);
        EXPECT_EQ(animation->state(), QAbstractAnimation::Running);
        EXPECT_EQ(animation->totalDuration(), duration);
        ASSERT_TRUE(QTest::qWaitFor([&] { return animation->state() == QAbstractAnimation::Stopped; }, 5000));
    }
}

// The blend pop-up names the blend modes as the strings table does, each title whole in the
// closed pop-up of a wide and of a narrow row, and shows the shade's mode by its name.
TEST_F(MaterialBuilder, TheBlendPopUpShowsReadableDisplayNames)
{
    m_builder->addUserFrame(nullptr);
    ASSERT_TRUE(pickNewShade("Edge"));
    QWidget *window = m_builder->window();
    window->resize(1100, 640);
    window->show();
    QCoreApplication::processEvents();
    QComboBox *blend = m_builder->shadeRows().first()->blendButton();
    QStringList titles;
    for (int i = 0; i < blend->count(); ++i)
        titles << blend->itemText(i);
    EXPECT_EQ(titles, QStringList({"Normal", "Color", "Luminosity", "Multiply", "Color Burn", "Linear Burn", "Screen",
                                   "Color Dodge", "Linear Dodge", "Overlay", "Soft Light", "Hard Light", "Vivid Light",
                                   "Linear Light", "Hard Mix"}));
    EXPECT_EQ(blend->currentText(), "Normal");
    ASSERT_TRUE(m_builder->editor().setShadeBlendMode("softLight", 0));
    EXPECT_EQ(blend->currentText(), "Soft Light");

    auto *list = window->findChild<QSShadowedScrollView *>("shadesScrollView");
    QWidget *container = window->findChild<QWidget *>("shadesContainer");
    for (const int width : {600, 500}) {
        list->setFixedWidth(list->width() + width - container->width());
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_builder->shadeRows().first()->height() == (width < 550 ? 38 : 31); }, 3000));
        if (width == 600) {
            EXPECT_TRUE(saveScreenshot(window, "frame-builder-wide"));
        }
        QStyleOptionComboBox option;
        option.initFrom(blend);
        const QRect field = blend->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, blend);
        for (const QString &title : titles)
            EXPECT_LE(blend->fontMetrics().horizontalAdvance(title), field.width()) << width << ": " << title.toStdString();
    }
}

namespace {

// A preview of some 26 million pixels: a 4000 × 3000 sample picture in a frame a fifth of its
// width, which takes seconds to draw.
struct LargePreview
{
    LargePreview() { platform::UserDefaults::standardUserDefaults()->setDouble(4000, "QSMBPreviewSize"); }
    ~LargePreview() { platform::UserDefaults::standardUserDefaults()->removeObjectForKey("QSMBPreviewSize"); }
    static QImage sample()
    {
        QImage picture(4000, 3000, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        return picture;
    }
};

} // namespace

// A preview that takes long is drawn while the window answers: after a moment it shows its
// progress and a Cancel button, Escape stops it, and the line below the preview says so.
TEST_F(MaterialBuilder, ALongPreviewShowsItsProgressAndEscapeStopsIt)
{
    const LargePreview large;
    QWidget *window = m_builder->window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto *cancel = window->findChild<QPushButton *>("cancelPreviewButton");
    auto *progress = window->findChild<QProgressBar *>("previewProgress");
    auto *status = window->findChild<QLabel *>("previewStatusText");
    ASSERT_TRUE(cancel && progress && status);
    EXPECT_TRUE(cancel->isHidden() && progress->isHidden() && status->isHidden()) << "nothing under way yet";

    m_builder->setSamplePicture(LargePreview::sample());
    ASSERT_TRUE(m_builder->isDrawingPreview());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !cancel->isHidden(); }, 5000));
    EXPECT_EQ(status->text(), "Drawing the preview…");
    EXPECT_FALSE(progress->isHidden());
    QTest::keyClick(window, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_builder->isDrawingPreview(); }, 10000));
    EXPECT_TRUE(m_builder->previewImage().isNull()) << "stopped before its picture was made";
    EXPECT_EQ(status->text(), "The preview was stopped; change the frame to draw it again.");
    EXPECT_FALSE(status->isHidden());
    EXPECT_TRUE(cancel->isHidden() && progress->isHidden());
    window->close();
}
