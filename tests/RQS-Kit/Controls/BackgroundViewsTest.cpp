#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSBoxView.h"
#include "RQS-Kit/Controls/QSCIImageLayer.h"
#include "RQS-Kit/Controls/QSColorView.h"
#include "RQS-Kit/Controls/QSColumnView.h"
#include "RQS-Kit/Controls/QSGlassView.h"
#include "RQS-Kit/Controls/QSSimpleColorWell.h"
#include "RQS-Kit/Controls/QSSlider.h"
#include "RQS-Kit/Controls/QSStackView.h"
#include "RQS-Kit/Controls/QSTranslatingBox.h"
#include "RQS-Kit/Controls/QSVignetteLayer.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/graphics/TextLayout.h"
#include "platform/layers/LayerRenderer.h"
#include "platform/ui/ColorPanel.h"
#include "platform/ui/InterfaceLoader.h"

#include "support/MainBundleScope.h"
#include "support/PixelProbe.h"
#include "support/PlacedPointer.h"
#include "support/StringsTables.h"

#include "ContrastRatio.h"

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// A y-up probe of a drawing.
QColor at(const QImage &image, int x, int y) { return image.pixelColor(x, image.height() - 1 - y); }

struct Probe
{
    QPoint yUp;
    QColor colour;
    const char *what;
};

// One background view as an interface file or a client sets it up, and what it must show.
struct BackgroundCase
{
    const char *name;
    std::function<std::unique_ptr<QWidget>()> make;
    QList<Probe> probes;
};

} // namespace

TEST(BackgroundViews, EachDrawsWhatItsSettingsSay)
{
    const BackgroundCase cases[] = {
        {"colour view, a 4-point border inside a rounded rect",
         [] {
             auto view = std::make_unique<QSColorView>();
             view->setColor(QColor(200, 0, 0));
             view->setBorderColor(QColor(0, 0, 200));
             view->setProperty("borderWidth", 4.0);
             view->setProperty("cornerRadius", 6.0);
             view->resize(60, 40);
             return view;
         },
         {{{30, 20}, QColor(200, 0, 0), "filled inside"},
          {{1, 20}, QColor(0, 0, 200), "the whole stroke lies inside the bounds"},
          {{58, 20}, QColor(0, 0, 200), "right edge stroked"},
          {{0, 0}, QColor(0, 0, 0, 0), "rounded corner"}}},
        {"glass view, a sheen that ends sharply at 60 %",
         [] {
             auto view = std::make_unique<QSGlassView>();
             view->setColorName("#000080");
             view->resize(20, 100);
             return view;
         },
         // Below the edge the sheen has faded out; above it white at 0.15 lies over the colour.
         {{{10, 57}, QColor(0, 0, 128), "clear colour just below the edge"},
          {{10, 62}, QColor(38, 38, 147), "sheen just above the edge"},
          {{10, 10}, QColor(38, 38, 147), "sheen at the bottom"}}},
        {"column view, the rows' light colour",
         [] {
             auto view = std::make_unique<QSColumnView>();
             view->resize(30, 30);
             return view;
         },
         {{{15, 15}, QColor(242, 242, 242), "light row colour"}, {{0, 29}, QColor(242, 242, 242), "to the edges"}}},
    };
    for (const BackgroundCase &c : cases) {
        const std::unique_ptr<QWidget> view = c.make();
        const QImage drawn = PixelProbe::drawn(*view);
        for (const Probe &probe : c.probes) {
            const QColor seen = at(drawn, probe.yUp.x(), probe.yUp.y());
            const bool near = probe.colour.alpha() == 0 ? seen.alpha() < 40 : PixelProbe::isNear(drawn, QPoint(probe.yUp.x(), drawn.height() - 1 - probe.yUp.y()), probe.colour, 8);
            EXPECT_TRUE(near) << c.name << ": " << probe.what << " at " << probe.yUp.x() << "," << probe.yUp.y() << " is "
                              << seen.name(QColor::HexArgb).toStdString();
        }
    }
}

// Views that swallow clicks keep them from what holds them; one that does not passes them on.
TEST(BackgroundViews, BlockingViewsSwallowClicksAndOthersPassThemOn)
{
    struct Presses : QObject
    {
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::MouseButtonPress;
            return false;
        }
    };
    const struct { const char *name; std::function<QWidget *(QWidget *)> make; bool passedOn; } cases[] = {
        {"colour view that blocks", [](QWidget *parent) { auto *v = new QSColorView(parent); v->setProperty("blockInput", true); return v; }, false},
        {"colour view that does not", [](QWidget *parent) { return new QSColorView(parent); }, true},
        {"column view", [](QWidget *parent) { return new QSColumnView(parent); }, false},
    };
    for (const auto &c : cases) {
        QWidget window;
        window.resize(100, 60);
        QWidget *cover = c.make(&window);
        cover->setGeometry(0, 0, 100, 60);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        Presses presses;
        window.installEventFilter(&presses);
        QTest::mouseClick(cover, Qt::LeftButton, {}, QPoint(50, 30));
        EXPECT_EQ(presses.count, c.passedOn ? 1 : 0) << c.name;
    }
}

// The title is grey 0.3 over a faint dark shadow. On either shipped texture it reads with the
// contrast body text needs (4.5:1), measured against the texture and on the drawn box.
TEST(BoxView, ItsTitleReadsOnTheDarkTextureAndOnTheLightOne)
{
    using contrastratio::contrast, contrastratio::luminance;
    const double title = luminance(QColor::fromRgbF(0.3f, 0.3f, 0.3f));
    for (const bool light : {false, true}) {
        const QImage texture = platform::Bundle::mainBundle()->imageNamed(light ? "QSBoxLightBackground.png" : "QSBoxDarkBackground.png");
        ASSERT_FALSE(texture.isNull());
        double ground = 0;
        for (int y = 0; y < texture.height(); ++y)
            for (int x = 0; x < texture.width(); ++x)
                ground += luminance(texture.pixelColor(x, y));
        ground /= texture.width() * texture.height();
        EXPECT_GE(contrast(title, ground), 4.5) << (light ? "light" : "dark") << " texture";

        QSBoxView box("Effects");
        box.setBoxType(1);
        box.setLightLook(light);
        box.resize(200, 120);
        const QImage drawn = PixelProbe::drawn(box);
        // The title runs from x 15 in the tab, rows 2 to 20 from the top.
        double darkest = 1;
        for (int y = 2; y < 20; ++y)
            for (int x = 15; x < int(box.titleSize().width()) - 15; ++x)
                darkest = std::min(darkest, luminance(drawn.pixelColor(x, y)));
        EXPECT_GE(contrast(darkest, luminance(drawn.pixelColor(100, 80))), 4.5) << (light ? "light" : "dark") << " box";
    }
}

TEST(BoxView, TheTitleTabIsAsWideAsTheTitleAndTheInsideIsTextured)
{
    QSBoxView box("Effects");
    box.resize(200, 120);
    const QSizeF tab = box.titleSize();
    EXPECT_EQ(tab.height(), 20);
    EXPECT_GT(tab.width(), 30) << "title width plus 30";
    EXPECT_EQ(QSBoxView().titleSize(), QSizeF(30, 0)) << "no title, no tab";
    for (const int type : {0, 1}) {
        box.setBoxType(type);
        const QImage drawn = PixelProbe::drawn(box);
        EXPECT_GT(at(drawn, 100, 40).alpha(), 200) << "box type " << type << ": the inside is drawn";
    }
    box.setBoxType(1);
    const QImage drawn = PixelProbe::drawn(box);
    EXPECT_LT(at(drawn, 195, 117).alpha(), 40) << "beside the tab nothing is drawn";
    box.setLightLook(true);
    EXPECT_NE(PixelProbe::drawn(box).pixelColor(100, 80), drawn.pixelColor(100, 80)) << "the light look differs";
}

// The title is measured within the box (turned for the tab along the left side): a title longer
// than the box wraps, so the tab is never wider than the box and its 30 points; a short one is
// measured whole.
TEST(BoxView, TheTitleIsMeasuredWithinTheBoxSoALongTitleWraps)
{
    const QString longTitle = "Pictures of the summer holidays by the sea and in the hills";
    const QString shortTitle = "Effects";
    const auto whole = [](const QString &title) {
        QFont font(QStringLiteral("Lucida Grande"));
        font.setPointSizeF(14);
        return platform::TextLayout(title, {font}).size().width();
    };
    ASSERT_GT(whole(longTitle), 150);
    const struct { int type; QSize size; const QString &title; double widest; } cases[] = {
        {1, {120, 200}, longTitle, 120},
        {2, {120, 200}, longTitle, 120},
        {0, {400, 120}, longTitle, 120},
        {1, {400, 120}, longTitle, 400},
        {1, {400, 120}, shortTitle, 400},
        {0, {400, 120}, shortTitle, 120},
    };
    for (const auto &c : cases) {
        QSBoxView box(c.title);
        box.setBoxType(c.type);
        box.resize(c.size);
        const QSizeF tab = box.titleSize();
        SCOPED_TRACE(QStringLiteral("type %1, %2 x %3, \"%4\"").arg(c.type).arg(c.size.width()).arg(c.size.height()).arg(c.title).toStdString());
        EXPECT_EQ(tab.height(), 20);
        EXPECT_LE(tab.width(), c.widest + 30);
        if (whole(c.title) <= c.widest)
            EXPECT_NEAR(tab.width(), whole(c.title) + 30, 0.01) << "a title that fits is measured whole";
        else
            EXPECT_GT(tab.width(), 30 + c.widest / 2) << "the widest of its wrapped lines";
    }
}

// The highlight fills the frame it is given, its corners rounded by 2, with blue.
TEST(BoxView, AHighlightFillsItsFrameRoundedWithBlue)
{
    QSBoxView box("Effects");
    const QImage drawn = platform::BitmapGraphicsContext::drawnImage({60, 40}, 1, [&](platform::GraphicsContext &) {
        box.highlight(true, QRectF(10, 5, 30, 20), &box);
    });
    ASSERT_FALSE(drawn.isNull());
    EXPECT_EQ(at(drawn, 25, 15), QColor(Qt::blue)) << "inside";
    EXPECT_EQ(at(drawn, 10, 15), QColor(Qt::blue)) << "along the left edge";
    EXPECT_LT(at(drawn, 10, 5).alpha(), 128) << "the corner is rounded off";
    EXPECT_EQ(at(drawn, 9, 15).alpha(), 0) << "nothing outside the frame";
    EXPECT_EQ(at(drawn, 40, 15).alpha(), 0);
    EXPECT_EQ(at(drawn, 25, 25).alpha(), 0);
}

// A box loaded from an interface file shows its title and tool tip in the user's language.
TEST(TranslatingBox, TitleAndToolTipFromTheFileAreTranslated)
{
    rqs::registerKitClasses();
    QTemporaryDir bundle;
    ASSERT_TRUE(writeStringsTable(bundle.path(), "de", "Controls", {{"Layout", "Anordnung"}, {"How pages are placed", "Wie Seiten liegen"}}));
    QFile file(bundle.filePath("Box.ui"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<ui version=\"4.0\"><widget class=\"QSTranslatingBox\" name=\"box\">"
               "<property name=\"title\"><string>Layout</string></property>"
               "<property name=\"toolTip\"><string>How pages are placed</string></property></widget></ui>");
    file.close();
    MainBundleScope scope(bundle.path());
    LanguageScope german("de_DE");
    const std::unique_ptr<QWidget> loaded(platform::InterfaceLoader::loadFile(file.fileName(), nullptr));
    auto *box = qobject_cast<QSTranslatingBox *>(loaded.get());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title(), "Anordnung");
    EXPECT_EQ(box->toolTip(), "Wie Seiten liegen");
}

// The kit's views that start otherwise when an interface file makes them than when code does: each
// made both ways, with the file giving none of the property.
TEST(KitViewsFromInterfaceFiles, StartWithTheValuesAViewFromAFileHas)
{
    rqs::registerKitClasses();
    const struct {
        const char *className;
        std::function<std::unique_ptr<QWidget>()> make;
        const char *property;
        QVariant madeInCode, fromFile;
    } cases[] = {
        {"QSColorView", [] { return std::make_unique<QSColorView>(); }, "angle", 270.0, 0.0},
        {"QSStackView", [] { return std::make_unique<QSStackView>(); }, "shadowVisible", true, false},
        {"QSSlider", [] { return std::make_unique<QSSlider>(); }, "cornerRadius", 0.0, 4.0},
    };
    QTemporaryDir folder;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.className);
        QFile file(folder.filePath(QStringLiteral("%1.ui").arg(c.className)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("<ui version=\"4.0\"><widget class=\"QWidget\" name=\"root\"><widget class=\"") + c.className
                   + "\" name=\"view\"/></widget></ui>");
        file.close();
        const std::unique_ptr<QWidget> loaded(platform::InterfaceLoader::loadFile(file.fileName(), nullptr));
        ASSERT_TRUE(loaded);
        const QWidget *fromFile = loaded->findChild<QWidget *>("view");
        ASSERT_TRUE(fromFile);
        EXPECT_STREQ(fromFile->metaObject()->className(), c.className);
        EXPECT_EQ(fromFile->property(c.property), c.fromFile) << "from a file";
        EXPECT_EQ(c.make()->property(c.property), c.madeInCode) << "made in code";
    }
}

// A colour view made in code runs its gradient from the top down; one from an interface file from
// left to right, unless the file gives its angle.
TEST(ColorView, AGradientRunsDownFromCodeAndAcrossFromAnInterfaceFileUnlessTheFileGivesTheAngle)
{
    rqs::registerKitClasses();
    QTemporaryDir folder;
    QFile file(folder.filePath("Backgrounds.ui"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<ui version=\"4.0\"><widget class=\"QWidget\" name=\"root\">"
               "<widget class=\"QSColorView\" name=\"plain\"/>"
               "<widget class=\"QSColorView\" name=\"upwards\"><property name=\"angle\"><double>90</double></property></widget>"
               "</widget></ui>");
    file.close();
    const std::unique_ptr<QWidget> loaded(platform::InterfaceLoader::loadFile(file.fileName(), nullptr));
    ASSERT_TRUE(loaded);
    QSColorView made;
    const struct { const char *name; QSColorView *view; double angle; QPoint red, blue; } cases[] = {
        {"made in code", &made, 270, {20, 38}, {20, 1}},
        {"from a file", loaded->findChild<QSColorView *>("plain"), 0, {1, 20}, {38, 20}},
        {"from a file with its angle", loaded->findChild<QSColorView *>("upwards"), 90, {20, 1}, {20, 38}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.view);
        EXPECT_EQ(c.view->property("angle").toDouble(), c.angle);
        c.view->setGradient(platform::Gradient(QGradientStops{{0.0, Qt::red}, {1.0, Qt::blue}}));
        c.view->resize(40, 40);
        const QImage drawn = PixelProbe::drawn(*c.view);
        const QColor start = at(drawn, c.red.x(), c.red.y()), end = at(drawn, c.blue.x(), c.blue.y());
        EXPECT_GT(start.red(), start.blue() + 150) << "the first colour where the gradient starts, not " << start.name().toStdString();
        EXPECT_GT(end.blue(), end.red() + 150) << "the last where it ends, not " << end.name().toStdString();
    }
}

// Enter, press, release: hovered, pressed, then active; a release elsewhere or a second click
// leaves it or switches it off. The colour shows through the grid.
TEST(SimpleColorWell, StatesFollowThePointerAndOnlyAReleaseInsideSwitchesIt)
{
    rqs::registerKitClasses();
    // The shared colour panel that activation opens is closed again for the next test.
    const auto closePanel = qScopeGuard([] { platform::ColorPanel::sharedColorPanel()->dialog()->hide(); });
    QWidget window;
    auto *well = new QSSimpleColorWell(&window);
    well->setGeometry(0, 0, 40, 24);
    well->setColor(QColor(20, 160, 40));
    placePointerAway();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QColor middle = PixelProbe::drawn(*well).pixelColor(20, 12);
    EXPECT_GT(middle.green(), middle.red() + 60) << "the colour shows, not " << middle.name().toStdString();

    QTest::mouseMove(well, QPoint(20, 12));
    EXPECT_EQ(well->wellState(), 1);
    QTest::mousePress(well, Qt::LeftButton, {}, QPoint(20, 12));
    EXPECT_EQ(well->wellState(), 2);
    QTest::mouseRelease(well, Qt::LeftButton, {}, QPoint(20, 12));
    EXPECT_TRUE(well->isActive());
    EXPECT_EQ(well->wellState(), 3);
    QTest::mousePress(well, Qt::LeftButton, {}, QPoint(20, 12));
    QTest::mouseRelease(well, Qt::LeftButton, {}, QPoint(200, 12));
    EXPECT_TRUE(well->isActive()) << "a release outside the well changes nothing";
    QTest::mousePress(well, Qt::LeftButton, {}, QPoint(20, 12));
    QTest::mouseRelease(well, Qt::LeftButton, {}, QPoint(20, 12));
    EXPECT_FALSE(well->isActive());
    EXPECT_EQ(well->wellState(), 0);
}

// A 200-point layer shows a 400 × 300 picture at half scale on both axes, from its lower left
// corner, and announces each drawing.
TEST(CIImageLayer, APictureTwiceTheLayersWidthIsDrawnAtHalfScaleAndEachDrawIsAnnounced)
{
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int y = 0; y < 300; ++y)
        for (int x = 200; x < 400; ++x)
            picture.setPixelColor(x, y, Qt::red);
    QSCIImageLayer layer;
    layer.setImage(picture);
    layer.setBaseDuration(0.5);
    layer.setBounds(QRectF(0, 0, 200, 200));
    int announced = 0;
    QObject observer;
    platform::NotificationCenter::defaultCenter()->addObserver(&observer, "QSCILDD", &layer,
                                                               [&announced](const platform::Notification &) { ++announced; });
    const QImage drawn = platform::LayerRenderer::picture(layer);
    platform::NotificationCenter::defaultCenter()->removeObserver(&observer);
    EXPECT_EQ(announced, 1);
    EXPECT_GE(layer.lastRenderDuration(), 0.5);
    EXPECT_EQ(at(drawn, 50, 10), QColor(Qt::blue));
    EXPECT_EQ(at(drawn, 150, 10), QColor(Qt::red)) << "the picture's right half lies right of x = 100";
    EXPECT_EQ(at(drawn, 150, 149), QColor(Qt::red)) << "150 points high at half scale";
    EXPECT_LT(at(drawn, 150, 151).alpha(), 10) << "nothing above";
}

// The selection vignette is clear in the middle and darkens towards the corners, stretched to the
// layer's aspect.
TEST(VignetteLayer, ClearInTheMiddleDarkerTowardsTheCornersAlongTheLayersAspect)
{
    QSVignetteLayer layer(Qt::black, 0.95, 3.0);
    layer.setBounds(QRectF(0, 0, 200, 100));
    const QImage drawn = platform::LayerRenderer::picture(layer);
    EXPECT_EQ(at(drawn, 100, 50).alpha(), 0);
    EXPECT_EQ(at(drawn, 100 + 90, 50).alpha(), 0) << "inside the start radius along the long side";
    EXPECT_EQ(at(drawn, 100, 50 + 45).alpha(), 0) << "the start radius is halved along the short side";
    const int corner = at(drawn, 199, 99).alpha();
    EXPECT_GT(corner, at(drawn, 199, 50).alpha());
    EXPECT_GT(corner, 20);
    EXPECT_NEAR(corner, at(drawn, 0, 0).alpha(), 2) << "symmetric";
}
