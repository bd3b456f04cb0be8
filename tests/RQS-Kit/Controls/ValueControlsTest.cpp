#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSColorWell.h"
#include "RQS-Kit/Controls/QSGradientPicker.h"
#include "RQS-Kit/Controls/QSScroller.h"
#include "RQS-Kit/Controls/QSSlider.h"
#include "RQS-Kit/Controls/QSToolBarButton.h"
#include "platform/foundation/Log.h"
#include "platform/ui/ColorPanel.h"
#include "platform/ui/InterfaceLoader.h"

#include "support/Desktop.h"
#include "support/MainBundleScope.h"
#include "support/PixelProbe.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QDir>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

// A 210 × 27 picker, as the effect settings make it, with markers 11 wide: its bar runs from x 11
// to 197. Clicks are y-down, the picker y-up.
struct Picker
{
    Picker()
    {
        picker.resize(210, 27);
        picker.show();
    }
    // A click on a stop opens the shared colour panel; it is closed again for the next test.
    ~Picker() { platform::ColorPanel::sharedColorPanel()->dialog()->hide(); }
    void click(double x, double yUp) { QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(int(x), 27 - int(yUp))); }
    QList<double> locations() const
    {
        QList<double> result;
        for (int i = 0; i < picker.stops().count(); ++i)
            result << picker.stops().location(i);
        return result;
    }
    QSGradientPicker picker;
};

} // namespace

TEST(QSGradientPicker, ClicksAtTheEndsOfTheBarAddStopsJustInsideTheEndStops)
{
    Picker p;
    ASSERT_EQ(p.picker.gradientRect(), QRectF(11, 7, 186, 13));
    p.click(11, 12);
    p.click(197, 12);
    EXPECT_EQ(p.locations(), (QList<double>{0, 0.002, 0.998, 1}));
    EXPECT_EQ(p.picker.selectedIndex(), 2);
}

TEST(QSGradientPicker, SetUpLeavesTheSharedPanelClosedAndNothingSelected)
{
    platform::ColorPanel::sharedColorPanel()->dialog()->hide();
    const QSGradientPicker picker;
    EXPECT_FALSE(platform::ColorPanel::sharedColorPanel()->dialog()->isVisible());
    EXPECT_EQ(picker.selectedIndex(), -1);
    EXPECT_EQ(picker.stops().count(), 2);
}

TEST(QSGradientPicker, KeepsAtMostAHundredStopsAndSelectsTheFirstWhenFull)
{
    Picker p;
    for (int i = 1; i < 99; ++i)
        ASSERT_TRUE(p.picker.addColorAt(i / 100.0));
    platform::LogCapture log;
    p.click(100, 12);
    EXPECT_TRUE(log.contains("Warning: Trying to add more than a hundred colors to an array"));
    EXPECT_EQ(p.picker.stops().count(), 100);
    EXPECT_EQ(p.picker.selectedIndex(), 0);

    QGradientStops many;
    for (int i = 0; i < 120; ++i)
        many.append({i / 119.0, Qt::red});
    p.picker.setGradient(platform::Gradient(many));
    EXPECT_EQ(p.picker.stops().count(), 100);
}

TEST(QSGradientPicker, TabAndBacktabGoRoundTheStops)
{
    Picker p;
    p.picker.addColorAt(0.5);
    p.picker.setSelectedIndex(2);
    QTest::keyClick(&p.picker, Qt::Key_Tab);
    EXPECT_EQ(p.picker.selectedIndex(), 0);
    QTest::keyClick(&p.picker, Qt::Key_Backtab);
    EXPECT_EQ(p.picker.selectedIndex(), 2);
    QTest::keyClick(&p.picker, Qt::Key_Right);
    EXPECT_EQ(p.locations().last(), 1.0);
}

TEST(QSGradientPicker, TheDeleteIconRemovesTheSelectedStopAndArrowsMoveItByAPoint)
{
    Picker p;
    p.picker.addColorAt(0.25);
    p.picker.addColorAt(0.5);
    p.picker.setSelectedIndex(2);
    QTest::keyClick(&p.picker, Qt::Key_Left);
    EXPECT_DOUBLE_EQ(p.locations().at(2), 0.5 - 1 / 186.0);
    p.click(p.picker.stopCenter(2), 18);
    EXPECT_EQ(p.locations(), (QList<double>{0, 0.25, 1}));
    EXPECT_EQ(p.picker.selectedIndex(), -1);
}

TEST(QSGradientPicker, ASmallerGradientDropsASelectionPastItsEnd)
{
    Picker p;
    p.picker.addColorAt(0.5);
    p.picker.setSelectedIndex(2);
    p.picker.setGradient(platform::Gradient(QList<QColor>{Qt::red, Qt::blue}));
    EXPECT_EQ(p.picker.selectedIndex(), -1);
    EXPECT_EQ(p.picker.color(), QColor(Qt::red));
    EXPECT_FALSE(p.picker.changeColor(Qt::green, 2));
}

TEST(QSGradientPicker, DescriptionsLoadBackTheDefaultTwoStopsAndRefuseUnorderedOnes)
{
    Picker saved;
    saved.picker.setGradient(platform::Gradient(QList<QColor>{QColor(255, 0, 0, 128), Qt::blue}));
    Picker loaded;
    loaded.picker.addColorAt(0.3);
    ASSERT_TRUE(loaded.picker.loadDescription(saved.picker.saveDescription()));
    EXPECT_EQ(loaded.picker.saveDescription(), saved.picker.saveDescription());
    EXPECT_EQ(loaded.picker.stops().color(0).alpha(), 128);

    saved.picker.addColorAt(0.75);
    ASSERT_TRUE(loaded.picker.loadDescription(saved.picker.saveDescription()));
    EXPECT_EQ(loaded.locations(), (QList<double>{0, 0.75, 1}));

    platform::LogCapture log;
    EXPECT_FALSE(loaded.picker.loadDescription({{"Colors", QVariantList{"1 0 0 1", "0 0 1 1"}}, {"Locations", QVariantList{1.0, 0.0}}}));
    EXPECT_EQ(loaded.locations(), (QList<double>{0, 0.75, 1}));
    EXPECT_TRUE(log.contains("Warning: "));
}

TEST(GradientPickerOnDesktop, TheColourPanelBecomingTheActiveWindowRecoloursTheSelectedStop)
{
    FOLDWISE_REQUIRE_DESKTOP();
    Picker p;
    p.picker.addColorAt(0.5);
    p.picker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.picker, DesktopTimeout));
    p.click(p.picker.stopCenter(1), 4);
    ASSERT_EQ(p.picker.selectedIndex(), 1);

    QColorDialog *panel = platform::ColorPanel::sharedColorPanel()->dialog();
    ASSERT_TRUE(panel->isVisible());
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel, DesktopTimeout));
    EXPECT_EQ(p.picker.selectedIndex(), 1);
    // The user types the colour into the panel's own hexadecimal field.
    QLineEdit *hex = nullptr;
    for (QLineEdit *field : panel->findChildren<QLineEdit *>()) {
        if (field->text().startsWith(QLatin1Char('#')))
            hex = field;
    }
    ASSERT_NE(hex, nullptr);
    hex->selectAll();
    QTest::keyClicks(hex, QStringLiteral("#ff0000"));
    const QColor recoloured = p.picker.stops().color(1);
    EXPECT_EQ(recoloured.toRgb(), QColor(255, 0, 0)) << recoloured.name().toStdString();
    EXPECT_EQ(p.picker.stops().color(0).toRgb(), QColor(Qt::white));
}

// A well clicked beside a picker takes the panel from it: the picker lets go of its stop and its
// delete icon, so that the Delete key pressed next removes nothing.
TEST(GradientPickerOnDesktop, AWellTakingThePanelEndsThePickersSelectionSoDeleteRemovesNothing)
{
    FOLDWISE_REQUIRE_DESKTOP();
    QWidget window;
    window.resize(260, 80);
    auto *picker = new QSGradientPicker(&window);
    picker->setGeometry(10, 10, 210, 27);
    auto *well = new QSColorWell(&window);
    well->setGeometry(10, 45, 40, 24);
    const auto closePanel = qScopeGuard([] { platform::ColorPanel::sharedColorPanel()->dialog()->hide(); });
    picker->addColorAt(0.5);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, DesktopTimeout));
    const auto click = [&window](QWidget *at, QPoint point) {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at->mapTo(&window, point));
    };

    click(picker, QPoint(int(picker->stopCenter(1)), 27 - 4));
    ASSERT_EQ(picker->selectedIndex(), 1);
    ASSERT_TRUE(picker->isActive());
    ASSERT_FALSE(picker->deleteIconRect().isEmpty());
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, DesktopTimeout));

    click(well, QPoint(20, 12));
    EXPECT_TRUE(well->isActive());
    EXPECT_FALSE(picker->isActive());
    EXPECT_EQ(picker->selectedIndex(), -1);
    EXPECT_TRUE(picker->deleteIconRect().isEmpty()) << "no delete icon without a stop";
    xdotool(qEnvironmentVariable("DISPLAY"), {"windowactivate", "--sync", QString::number(window.winId()), "key", "Delete"});
    EXPECT_TRUE(settle());
    EXPECT_EQ(picker->stops().count(), 3) << "Delete removes no stop";
}

TEST(QSColorWell, ActivationKeepsTheWellsColourAgainstThePanelsEchoAndSetsOpacity)
{
    QSColorWell plain;
    plain.setColor(QColor(0, 128, 0, 100));
    QSColorWell withAlpha;
    withAlpha.setSupportsAlpha(true);
    QColorDialog *dialog = platform::ColorPanel::sharedColorPanel()->dialog();
    const auto closePanel = qScopeGuard([dialog] { dialog->hide(); });
    // The panel sends the colour it is told straight back, as a panel may.
    const QMetaObject::Connection echo = QObject::connect(dialog, &QColorDialog::currentColorChanged, &plain, [&plain] {
        plain.changeColor(platform::ColorPanel::sharedColorPanel());
    });
    plain.activate();
    QObject::disconnect(echo);
    EXPECT_EQ(plain.color(), QColor(0, 128, 0, 100));
    EXPECT_FALSE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_TRUE(plain.isActive());

    dialog->setCurrentColor(Qt::red);
    EXPECT_EQ(plain.color(), QColor(Qt::red));
    withAlpha.activate();
    EXPECT_TRUE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_FALSE(plain.isActive());
}

TEST(QSSlider, CurvesMapValuesToKnobPositionsWithoutNaN)
{
    QSSlider slider;
    slider.setMinValue(0);
    slider.setMaxValue(100);
    slider.setSliderCurve(1);
    slider.setDoubleValue(25);
    EXPECT_DOUBLE_EQ(slider.knobValue(), 50);
    EXPECT_DOUBLE_EQ(slider.doubleValue(), 25);

    slider.setSliderCurve(3);
    slider.setDoubleValue(25);
    EXPECT_NEAR(slider.knobValue() / 100, std::log(0.25 * std::expm1(3.0) + 1) / 3, 1e-12);
    EXPECT_NEAR(slider.knobValue() / 100, 0.584, 5e-4);
    slider.setExpFactor(0);
    EXPECT_NEAR(slider.doubleValue(), 25, 1e-9);

    slider.setSliderCurve(2);
    slider.setDoubleValue(-5);
    EXPECT_EQ(slider.knobValue(), 0);
    slider.setMaxValue(0);
    EXPECT_EQ(slider.doubleValue(), 0);
}

TEST(QSSlider, ForcedLimitsPullTheKnobBackAndMarkersSitUnderTheBar)
{
    QSSlider slider;
    slider.resize(200, 30);
    slider.setMaxValue(100);
    slider.setMinLimit(20);
    slider.setMaxLimit(70);
    slider.setKnobValue(90);
    EXPECT_DOUBLE_EQ(slider.doubleValue(), 90);
    slider.setForceLimits(true);
    EXPECT_DOUBLE_EQ(slider.doubleValue(), 70);
    EXPECT_DOUBLE_EQ(slider.knobValue(), 70);

    slider.setKnobValue(50);
    slider.setLimitVisuals(QSSlider::Markers);
    const QImage drawn = PixelProbe::drawn(slider);
    // Dark pixels below the bar's middle, down the column of a position.
    const auto markerRows = [&drawn, &slider](double position) {
        int rows = 0;
        for (int y = drawn.height() / 2 + 2; y < drawn.height(); ++y)
        {
            const QRgb pixel = drawn.pixel(qRound(slider.xForPosition(position)), y);
            rows += qGray(pixel) < 60 && qAlpha(pixel) > 200 ? 1 : 0;
        }
        return rows;
    };
    EXPECT_GE(markerRows(20), 3);
    EXPECT_GE(markerRows(70), 3);
    EXPECT_EQ(markerRows(35), 0);
}

TEST(QSSlider, IntensitiesSetTheBoxAlphaAndValueControlFollowsTheValue)
{
    QSSlider slider;
    slider.resize(200, 30);
    slider.setLimitVisuals(QSSlider::RectangularBox);
    slider.setOutlineIntensity(-0.8);
    slider.setBackgroundIntensity(0.4);
    QColor outline = slider.palette().color(QPalette::WindowText), background = slider.palette().color(QPalette::Base);
    outline.setAlphaF(0.8f);
    background.setAlphaF(0.4f);
    EXPECT_TRUE(PixelProbe::isNear(PixelProbe::drawn(slider), {100, 0}, outline));
    // The box beyond the frame leaves the background alone at the left end.
    slider.setBoxInsetsByString("20 20 20 20");
    EXPECT_TRUE(PixelProbe::isNear(PixelProbe::drawn(slider), {3, 15}, background));

    slider.setMaxValue(100);
    slider.setDoubleValue(40);
    EXPECT_DOUBLE_EQ(slider.valueControl(), 40);
}

// The rounded box of a slider from an interface file has round corners; one made in code has
// square ones.
TEST(QSSlider, TheRoundedBoxIsRoundOnlyForASliderFromAnInterfaceFile)
{
    rqs::registerKitClasses();
    QSSlider made;
    const std::unique_ptr<QSSlider> fromFile(qobject_cast<QSSlider *>(platform::InterfaceLoader::make("QSSlider")));
    ASSERT_TRUE(fromFile);
    const struct { const char *name; QSSlider *slider; bool round; } cases[] = {
        {"made in code", &made, false},
        {"from an interface file", fromFile.get(), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        c.slider->resize(200, 30);
        c.slider->setLimitVisuals(QSSlider::RoundedBox);
        c.slider->setOutlineIntensity(-1);
        const QImage drawn = PixelProbe::drawn(*c.slider);
        // The outline's corner, half a point inside the frame's second pixel.
        EXPECT_EQ(qAlpha(drawn.pixel(2, 2)) > 128, !c.round) << PixelProbe::describe(drawn, {2, 2}).toStdString();
        EXPECT_GT(qAlpha(drawn.pixel(100, 2)), 128) << "the top edge";
    }
}

TEST(QSToolBarButton, TakesItsLookFromItsBarsFolderOnlyWithBothNames)
{
    QTemporaryDir folder;
    const QString button = folder.filePath("Main.barButton/Print.button");
    ASSERT_TRUE(QDir().mkpath(button));
    QImage mid(4, 20, QImage::Format_ARGB32);
    mid.fill(Qt::red);
    for (const char *state : {"Normal", "Hover", "Down", "Disabled"})
        mid.save(button + QStringLiteral("/Mid-%1.tiff").arg(state));
    const MainBundleScope scope(folder.path());
    QSToolBarButton toolButton;
    toolButton.setName("Print");
    EXPECT_TRUE(toolButton.midImages(false).isEmpty());
    toolButton.setBarName("Main");
    EXPECT_EQ(toolButton.midImages(false).size(), 4);
}

// Thin knobs keep their thickness up to 9 points, thicker ones lose 6; nothing but the knob is drawn.
TEST(QSScroller, TheLightKnobIsSlimCentredAndAloneOnTheBar)
{
    const struct { QRectF knob; Qt::Orientation orientation; QRectF slim; } cases[] = {
        {{0, 10, 11, 40}, Qt::Vertical, {1, 10, 9, 40}},
        {{0, 10, 7, 40}, Qt::Vertical, {0, 10, 7, 40}},
        {{5, 0, 30, 20}, Qt::Horizontal, {5, 3, 30, 14}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(QSScroller::lightKnobRect(c.knob, c.orientation), c.slim) << c.knob.width() << "x" << c.knob.height();

    QSScroller scroller(Qt::Vertical);
    scroller.setLightKnob(true);
    scroller.setRange(0, 100);
    scroller.setPageStep(100);
    scroller.resize(15, 200);
    const QImage drawn = PixelProbe::drawn(scroller);
    const QRect knob = scroller.style()->subControlRect(QStyle::CC_ScrollBar, nullptr, QStyle::SC_ScrollBarSlider, &scroller);
    EXPECT_EQ(qAlpha(drawn.pixel(0, 100)), 0) << "no slot beside the knob";
    EXPECT_GT(qAlpha(drawn.pixel(7, 100)), 0) << PixelProbe::describe(drawn, {7, 100}).toStdString() << " knob " << knob.y();
}

