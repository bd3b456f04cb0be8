#include "RQS-Kit/Controls/QSColorWell.h"
#include "RQS-Kit/Controls/QSGradientPicker.h"
#include "RQS-Kit/Controls/QSSlider.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffectSettingsView.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/fx/Context.h"
#include "platform/fx/Extent.h"
#include "platform/fx/FxTestImages.h"
#include "platform/ui/ColorPanel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDial>
#include <QLabel>
#include <QScreen>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

#include "support/Desktop.h"
#include "support/PixelProbe.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <cmath>

using platform::fx::Buffer;
using platform::fx::Image;
using platform::fx::Pixel;

namespace {

// A 400 × 300 picture with a colour at every pixel that tells where it is: red across, green up,
// blue in a checker, so that every effect has something to change.
Image picture()
{
    Buffer pixels(QRect(0, 0, 400, 300));
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            pixels.row(y)[x] = {0.1f + 0.8f * float(x) / 400, 0.1f + 0.8f * float(y) / 300,
                                (x / 25 + y / 25) % 2 ? 0.7f : 0.2f, 1};
    return Image::fromBuffer(std::move(pixels));
}

const QVariantMap Globals{{"canvasProportion", 800}};

// What a user does to each kind of control the panels build: a pop-up's last choice, or its first
// when the last is shown (reached with the keyboard's arrows, which pass headings and separators),
// another colour picked in the colour panel, a slider's knob dragged, a dial clicked, a box ticked,
// a stop added to a gradient and coloured.
class UserHand
{
public:
    explicit UserHand(QSEffectSettingsView *panel)
        : m_panel(panel)
    {
        m_panel->resize(300, m_panel->height());
        m_panel->show();
    }
    ~UserHand()
    {
        platform::ColorPanel::sharedColorPanel()->dialog()->hide();
        m_panel->hide();
    }

    // False when the control offered nothing else.
    bool change(QWidget *control)
    {
        if (auto *popUp = qobject_cast<QComboBox *>(control))
            return choose(popUp, lastChoice(popUp));
        if (auto *picker = qobject_cast<QSGradientPicker *>(control))
            return addStop(picker);
        if (auto *well = qobject_cast<QSColorWell *>(control))
            return pick(well, well->color().toRgb() == QColor(51, 153, 77) ? QColor(204, 64, 38) : QColor(51, 153, 77, 200));
        if (auto *slider = qobject_cast<QSSlider *>(control))
            return drag(slider);
        if (auto *dial = qobject_cast<QDial *>(control))
            return clickDial(dial);
        if (auto *box = qobject_cast<QCheckBox *>(control)) {
            const bool was = box->isChecked();
            QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
            return box->isChecked() != was;
        }
        return false;
    }

    // Down or up arrows until the item at index is shown.
    static bool choose(QComboBox *popUp, int index)
    {
        if (index < 0 || index == popUp->currentIndex())
            return false;
        for (int presses = 0; presses < popUp->count() && popUp->currentIndex() != index; ++presses)
            QTest::keyClick(popUp, popUp->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
        return popUp->currentIndex() == index;
    }

    static bool pick(QSColorWell *well, const QColor &colour)
    {
        QTest::mouseClick(well, Qt::LeftButton, {}, well->rect().center());
        QColorDialog *dialog = platform::ColorPanel::sharedColorPanel()->dialog();
        if (!well->isActive() || !dialog->isVisible())
            return false;
        dialog->setCurrentColor(colour);
        QTest::mouseClick(well, Qt::LeftButton, {}, well->rect().center());
        dialog->hide();
        return !well->isActive();
    }

private:
    // The last item that is a choice (no heading, no separator, no custom picture), else the first
    // when that is shown already.
    static int lastChoice(QComboBox *popUp)
    {
        const auto *model = qobject_cast<QStandardItemModel *>(popUp->model());
        int last = -1, first = -1;
        for (int i = 0; i < popUp->count(); ++i) {
            const bool choice = (!model || model->item(i)->isEnabled()) && !popUp->itemText(i).isEmpty()
                                && popUp->itemText(i) != QLatin1String("Custom Image");
            if (!choice)
                continue;
            if (first < 0)
                first = i;
            last = i;
        }
        return last == popUp->currentIndex() ? first : last;
    }

    // The knob taken from where it stands to a third of the way along, or two thirds when it is
    // already near there.
    static bool drag(QSSlider *slider)
    {
        const double before = slider->doubleValue();
        const double low = slider->minValue(), span = slider->maxValue() - slider->minValue();
        const double fraction = std::abs(slider->knobValue() - (low + span / 3)) > span / 10 ? 1.0 / 3 : 2.0 / 3;
        const int y = slider->height() / 2;
        const QPoint from(int(slider->xForPosition(slider->knobValue())), y);
        const QPoint to(int(slider->xForPosition(low + span * fraction)), y);
        QTest::mousePress(slider, Qt::LeftButton, {}, from);
        QTest::mouseMove(slider, (from + to) / 2);
        QTest::mouseMove(slider, to);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
        return slider->doubleValue() != before;
    }

    // The dial's left edge: a quarter turn from where a new dial points.
    static bool clickDial(QDial *dial)
    {
        const int before = dial->value();
        const QPoint left(2, dial->height() / 2), right(dial->width() - 3, dial->height() / 2);
        QTest::mouseClick(dial, Qt::LeftButton, {}, std::abs(before - 250) > 100 ? left : right);
        return dial->value() != before;
    }

    // A click in the bar at a third adds a stop there, which the colour panel then colours.
    static bool addStop(QSGradientPicker *picker)
    {
        const int stops = picker->stops().count();
        const QRectF bar = picker->gradientRect();
        const QPoint at(int(bar.left() + bar.width() / 3), picker->height() - int(bar.center().y()));
        QTest::mouseClick(picker, Qt::LeftButton, {}, at);
        if (picker->stops().count() != stops + 1)
            return false;
        platform::ColorPanel::sharedColorPanel()->dialog()->setCurrentColor(QColor(30, 160, 90));
        platform::ColorPanel::sharedColorPanel()->dialog()->hide();
        return true;
    }

    QSEffectSettingsView *m_panel;
};

// Written as a property list to a real file and read back, as a document stores its effects.
QVariantMap storedAndReadBack(const QVariantMap &settings, QString *error)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Effect.plist");
    if (!platform::PropertyList::write(settings, path, error))
        return {};
    return platform::PropertyList::read(path, error).toMap();
}

Image rendered(QSEffect &effect, const Image &input)
{
    effect.setGlobalSettings(Globals);
    effect.setInputImage(input);
    return effect.outputImage();
}

// Every pixel of both within 1/255; the first that is not, named.
::testing::AssertionResult samePixels(const Image &restored, const Image &original)
{
    if (restored.extent() != original.extent())
        return ::testing::AssertionFailure() << "extent " << restored.extent().x() << " " << restored.extent().y() << " "
                                             << restored.extent().width() << " " << restored.extent().height() << " against "
                                             << original.extent().x() << " " << original.extent().y() << " "
                                             << original.extent().width() << " " << original.extent().height();
    const QRect rect = platform::fx::Extent::pixelsTouching(original.extent());
    const auto a = platform::fx::Context().render(restored, rect);
    const auto b = platform::fx::Context().render(original, rect);
    if (!a || !b)
        return ::testing::AssertionFailure() << "not rendered";
    int differing = 0;
    QString first;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const Pixel p = a->at(x, y), q = b->at(x, y);
            const float d = std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b), std::abs(p.a - q.a)});
            if (d <= 1.0f / 255)
                continue;
            if (differing++ == 0)
                first = QStringLiteral("(%1, %2): %3 %4 %5 %6 against %7 %8 %9 %10")
                            .arg(x).arg(y).arg(p.r).arg(p.g).arg(p.b).arg(p.a).arg(q.r).arg(q.g).arg(q.b).arg(q.a);
        }
    }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, first " << first.toStdString();
}

} // namespace

// Every effect of the shipped catalog, every control of its panel changed as a user changes it,
// first to last and again last to first (a frame sets its texture and colour, a texture its
// colour: the later edit must win either way). The settings then go through a property-list file
// and make the effect again, which draws what the edited one draws.
TEST(EffectSettingsRoundTrip, EveryShippedEffectComesBackAsTheUserSetIt)
{
    rqs::registerKitFilters();
    const Image input = picture();
    const QSEffectsCatalog &catalog = QSEffectsCatalog::shared();
    ASSERT_FALSE(catalog.sortedDisplayNames().isEmpty());
    for (const QString &display : catalog.sortedDisplayNames()) {
        for (const bool backwards : {false, true}) {
            SCOPED_TRACE((display + (backwards ? " last to first" : " first to last")).toStdString());
            const auto effect = catalog.effectForDisplayName(display);
            ASSERT_TRUE(effect);
            effect->setGlobalSettings(Globals);
            effect->setInputImage(input);
            QSEffectSettingsView *panel = effect->settingsView();
            UserHand hand(panel);
            QList<QWidget *> controls = panel->settingsControls();
            if (backwards)
                std::reverse(controls.begin(), controls.end());
            for (QWidget *control : controls) {
                const QString key = panel->boundSettings().value(int(panel->settingsControls().indexOf(control)));
                const QVariant before = effect->settings().value(key);
                EXPECT_TRUE(hand.change(control)) << key.toStdString();
                EXPECT_NE(effect->settings().value(key), before) << key.toStdString();
            }

            platform::LogCapture log;
            QString error;
            const QVariantMap stored = storedAndReadBack(effect->settings(), &error);
            ASSERT_FALSE(stored.isEmpty()) << error.toStdString();
            const auto restored = QSEffectsCatalog::effectForSettings(stored);
            ASSERT_TRUE(restored);
            EXPECT_TRUE(log.lines().filter("Warning: ").isEmpty()) << log.lines().join('\n').toStdString();
            EXPECT_TRUE(samePixels(rendered(*restored, input), rendered(*effect, input)));
        }
    }
}

namespace {

// The mean colour over the rectangle's pixels.
Pixel meanOver(const Image &image, const QRect &rect)
{
    const auto pixels = platform::fx::Context().render(image, rect);
    Pixel sum{0, 0, 0, 0};
    if (!pixels)
        return sum;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            sum = sum + pixels->at(x, y);
    return sum * (1.0f / float(rect.width() * rect.height()));
}

QComboBox *popUpOf(QSEffectSettingsView *panel, const QString &key)
{
    return qobject_cast<QComboBox *>(panel->settingsControls().value(int(panel->boundSettings().indexOf(key))));
}

QSColorWell *wellOf(QSEffectSettingsView *panel)
{
    return qobject_cast<QSColorWell *>(panel->settingsControls().value(int(panel->boundSettings().indexOf("inputColor"))));
}

const Image BluePicture = fxtest::filled({0, 0, 400, 300}, {0, 0, 1, 1});

// A shipped effect made from its name alone, its panel open under the user's hand.
struct OpenPanel
{
    explicit OpenPanel(const QString &name)
        : effect((rqs::registerKitFilters(), QSEffectsCatalog::effectForSettings({{"name", name}})))
        , panel(effect->settingsView())
        , hand(panel)
    {
    }
    std::unique_ptr<QSEffect> effect;
    QSEffectSettingsView *panel;
    UserHand hand;
};

// A plain gold frame "Gold Leaf" in the user's frames while it lives.
struct GoldLeafFrame
{
    ~GoldLeafFrame()
    {
        user.removeFrameName(id);
        user.saveCatalogInstantly(true);
    }
    QSFrameCatalog &user = QSFrameCatalog::sharedUserFrameCatalog();
    const QString id = user.addFrame(std::make_shared<QSFrameDescription>(
        QVariantMap{{"Name", "Gold Leaf"}, {"Texture.Color", "1 0.8 0 1"}}, QSFrameCatalog::framesBundlePath(), true));
};

// A framing effect's settings and colour well after the user's edits hold the texture and its
// colour; the effect made again from the settings, written to a file, draws what the edited one
// draws, and the side of the frame shows that colour on average.
void expectTextureKeptAndRestored(QSEffect &effect, const QString &texture, const Pixel &colour, const QString &wellShows,
                                  const QRect &side)
{
    const QVariantMap settings = effect.settings();
    EXPECT_EQ(settings.value("inputTextureName"), texture);
    const auto stored = platform::fx::Color::fromText(settings.value("inputColor").toString());
    ASSERT_TRUE(stored);
    EXPECT_TRUE(fxtest::near(stored->premultiplied(), colour, 0.002f));
    EXPECT_EQ(wellOf(effect.settingsView())->color().name(), wellShows);

    QString error;
    const auto restored = QSEffectsCatalog::effectForSettings(storedAndReadBack(settings, &error));
    ASSERT_TRUE(restored) << error.toStdString();
    const Image original = rendered(effect, BluePicture), again = rendered(*restored, BluePicture);
    EXPECT_TRUE(fxtest::near(meanOver(original, side), colour, 0.03f));
    EXPECT_TRUE(fxtest::near(meanOver(again, side), colour, 0.03f));
    EXPECT_TRUE(samePixels(again, original));
}

} // namespace

// The wood texture's colour, as its file name gives it: hue 32°, saturation 45 %, value 82 %, so
// red 0.82, blue 0.82 × 0.55 = 0.451 and green 0.451 + 0.369 × 32 / 60 = 0.648. The left side of
// the 40-pixel frame (0.05 of 800) around a 400 × 300 picture shows it on average; the shades lie
// at the frame's edges and corners. A frame restored with the texture "Plain Color" is white there.
TEST(EffectSettingsRoundTrip, OakWoodChosenInTheTexturedFramesPanelComesBackAsWood)
{
    const Pixel wood{0.820f, 0.648f, 0.451f, 1};
    OpenPanel frame("TexturedFrame");
    QComboBox *frames = popUpOf(frame.panel, "inputFrameName");
    ASSERT_TRUE(frames);
    ASSERT_TRUE(UserHand::choose(frames, frames->findText("Wood Oak")));

    EXPECT_EQ(frame.effect->settings().value("inputFrameName"), "FRM-0#005#Wood-Oak");
    EXPECT_EQ(popUpOf(frame.panel, "inputTextureName")->currentText(), "Wood Light with Knots");
    expectTextureKeptAndRestored(*frame.effect, "RQS-T#010#Wood-Light-Knots", wood, "#d1a573", {-35, 60, 30, 180});
}

// Red picked first, then the texture "Wood Dark": the texture brings its own colour, hue 20°,
// saturation 60 %, value 40 % (0.4, 0.24, 0.16), which is what the 24-pixel ring (0.03 of 800)
// shows, the well shows and the settings keep; restored with the red it would be red.
TEST(EffectSettingsRoundTrip, DarkWoodChosenAfterRedInTheShapedBordersPanelComesBackBrown)
{
    const Pixel brown{0.4f, 0.24f, 0.16f, 1};
    OpenPanel border("ShapedBorder");
    ASSERT_TRUE(UserHand::pick(wellOf(border.panel), Qt::red));
    EXPECT_EQ(border.effect->settings().value("inputColor"), "1 0 0 1");
    QComboBox *textures = popUpOf(border.panel, "inputTextureName");
    ASSERT_TRUE(textures);
    ASSERT_TRUE(UserHand::choose(textures, textures->findText("Wood Dark")));

    expectTextureKeptAndRestored(*border.effect, "RQS-T#011#Wood-Dark", brown, "#663d29", {-20, 60, 16, 180});
}

// A panel only looked at: its settings are written to a file and make the same effect again,
// without a value the filter has not got.
TEST(EffectSettingsRoundTrip, SettingsOfAFramingPanelJustOpenedAreWrittenAndRestoredWhole)
{
    rqs::registerKitFilters();
    for (const char *name : {"TexturedFrame", "ShapedBorder"}) {
        SCOPED_TRACE(name);
        auto effect = QSEffectsCatalog::effectForSettings({{"name", name}});
        ASSERT_TRUE(effect);
        effect->settingsView();
        platform::LogCapture log;
        QString error;
        const QVariantMap stored = storedAndReadBack(effect->settings(), &error);
        ASSERT_FALSE(stored.isEmpty()) << error.toStdString();
        for (auto entry = stored.begin(); entry != stored.end(); ++entry)
            EXPECT_FALSE(entry.value().typeId() == QMetaType::QString && entry.value().toString().isEmpty())
                << entry.key().toStdString();
        const auto restored = QSEffectsCatalog::effectForSettings(stored);
        ASSERT_TRUE(restored);
        EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();
        EXPECT_TRUE(samePixels(rendered(*restored, BluePicture), rendered(*effect, BluePicture)));
    }
}

// The frame pop-up asks the catalogs again when they change: a frame the user adds while the panel
// is open is offered at once and can be chosen; once removed again, the pop-up falls back to its
// first frame.
TEST(EffectSettingsRoundTrip, AUserFrameAddedUnderAnOpenPanelIsOffered)
{
    OpenPanel frame("TexturedFrame");
    QComboBox *frames = popUpOf(frame.panel, "inputFrameName");
    ASSERT_TRUE(frames);
    ASSERT_EQ(frames->findText("Gold Leaf"), -1);

    const GoldLeafFrame added;
    QSFrameCatalog &user = added.user;
    const QString &id = added.id;
    const int row = frames->findText("Gold Leaf");
    ASSERT_GE(row, 0);
    ASSERT_TRUE(UserHand::choose(frames, row));
    EXPECT_EQ(frame.effect->settings().value("inputFrameName"), id);
    EXPECT_EQ(frame.effect->settings().value("inputColor"), "1 0.8 0 1");
    auto later = QSEffectsCatalog::effectForSettings({{"name", "TexturedFrame"}});
    ASSERT_TRUE(later);
    EXPECT_GE(popUpOf(later->settingsView(), "inputFrameName")->findText("Gold Leaf"), 0);

    user.removeFrameName(id);
    EXPECT_EQ(frames->findText("Gold Leaf"), -1);
    EXPECT_EQ(frames->currentIndex(), 0);
    EXPECT_EQ(frame.effect->settings().value("inputFrameName"), "Plain Frame");
}

// A user frame chosen in an open panel and then renamed twice: the effect follows it by its ID, the
// pop-up shows its newest name, and the settings, written to a file, make the effect again without
// a warning, drawing the frame's gold along the picture's left side (0.05 of 800, 40 pixels), not
// the plain frame's white.
TEST(EffectSettingsRoundTrip, AUserFrameRenamedTwiceUnderAnOpenPanelIsKeptByItsID)
{
    const Pixel gold{1, 0.8f, 0, 1};
    OpenPanel frame("TexturedFrame");
    QComboBox *frames = popUpOf(frame.panel, "inputFrameName");
    ASSERT_TRUE(frames);
    const GoldLeafFrame added;
    QSFrameCatalog &user = added.user;
    const QString &id = added.id;
    ASSERT_TRUE(UserHand::choose(frames, frames->findText("Gold Leaf")));

    platform::LogCapture log;
    for (const char *name : {"Brass", "Bronze"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(user.renameFrameID(id, name));
        EXPECT_EQ(frame.effect->filter()->value("inputFrameName"), id);
        EXPECT_EQ(frame.effect->settings().value("inputFrameName"), id);
        EXPECT_EQ(frames->currentText(), name);
    }
    QString error;
    const QVariantMap stored = storedAndReadBack(frame.effect->settings(), &error);
    ASSERT_FALSE(stored.isEmpty()) << error.toStdString();
    EXPECT_EQ(stored.value("inputFrameName"), id);
    const auto restored = QSEffectsCatalog::effectForSettings(stored);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->settings().value("inputFrameName"), id);
    const Image original = rendered(*frame.effect, BluePicture), again = rendered(*restored, BluePicture);
    EXPECT_TRUE(log.lines().filter("Warning: ").isEmpty()) << log.lines().join('\n').toStdString();
    const QRect side{-35, 60, 30, 180};
    EXPECT_TRUE(fxtest::near(meanOver(original, side), gold, 0.01f));
    EXPECT_TRUE(fxtest::near(meanOver(again, side), gold, 0.01f));
    EXPECT_TRUE(samePixels(again, original));
}

// On the desktop: the user clicks the Frame pop-up of the Textured Frame panel and clicks "Oak
// Wood". The panel then shows the wood texture and its colour in the well, and the effect made
// again from the stored settings draws, beside the one edited, the same wooden frame, as the
// screen shows them.
TEST(EffectSettingsOnDesktop, OakWoodClickedInTheTexturedFramePanelIsShownAndComesBack)
{
    FOLDWISE_REQUIRE_DESKTOP();
    rqs::registerKitFilters();
    auto effect = QSEffectsCatalog::effectForSettings({{"name", "TexturedFrame"}});
    ASSERT_TRUE(effect);
    effect->setGlobalSettings(Globals);
    effect->setInputImage(BluePicture);
    QWidget window;
    auto *rows = new QVBoxLayout(&window);
    QSEffectSettingsView *panel = effect->settingsView();
    panel->setMinimumSize(panel->size());
    rows->addWidget(panel);
    auto *renders = new QHBoxLayout;
    QLabel original, restoredLabel;
    renders->addWidget(&original);
    renders->addWidget(&restoredLabel);
    rows->addLayout(renders);
    window.setWindowTitle("Textured Frame");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, DesktopTimeout));

    QComboBox *frames = popUpOf(panel, "inputFrameName");
    ASSERT_TRUE(frames);
    QTest::mouseClick(frames, Qt::LeftButton, {}, frames->rect().center());
    QAbstractItemView *list = frames->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, DesktopTimeout)) << "a click opens the pop-up";
    // A release soon after the opening press is taken as the end of that press, not as a choice.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QModelIndex oak = list->model()->index(frames->findText("Wood Oak"), 0);
    list->scrollTo(oak);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(oak).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return effect->settings().value("inputFrameName") == "FRM-0#005#Wood-Oak"; }, DesktopTimeout));
    EXPECT_EQ(popUpOf(panel, "inputTextureName")->currentText(), "Wood Light with Knots");

    QString error;
    const auto restored = QSEffectsCatalog::effectForSettings(storedAndReadBack(effect->settings(), &error));
    ASSERT_TRUE(restored) << error.toStdString();
    const Image drawn = rendered(*effect, BluePicture), again = rendered(*restored, BluePicture);
    original.setPixmap(QPixmap::fromImage(platform::fx::Context().createImage(drawn, drawn.extent())));
    restoredLabel.setPixmap(QPixmap::fromImage(platform::fx::Context().createImage(again, again.extent())));
    // The window takes the size of the two pictures first.
    const QImage painted = paintedScreen(&window);
    const QRect seen = settledFrame(&window).adjusted(-4, -4, 4, 4);
    const QImage screen = painted.copy(seen);
    EXPECT_TRUE(saveScreenshot(screen, "textured-frame-oak-wood-restored"));

    // Screen points of the well's middle and of each frame's left side, half way up.
    const auto onScreen = [&](QWidget *widget, QPoint local) { return widget->mapToGlobal(local) - seen.topLeft(); };
    QSColorWell *well = wellOf(panel);
    EXPECT_TRUE(PixelProbe::isNear(screen, onScreen(well, well->rect().center()), QColor(209, 165, 115), 6))
        << PixelProbe::describe(screen, onScreen(well, well->rect().center())).toStdString();
    const auto frameSide = [&](QLabel &label) {
        const QRect picture = label.contentsRect();
        const QPoint topLeft(picture.x() + (picture.width() - 480) / 2, picture.y() + (picture.height() - 380) / 2);
        return onScreen(&label, topLeft + QPoint(20, 190));
    };
    for (int dy = -20; dy <= 20; dy += 10) {
        const QPoint left = frameSide(original) + QPoint(0, dy), right = frameSide(restoredLabel) + QPoint(0, dy);
        EXPECT_TRUE(PixelProbe::isNear(screen, right, screen.pixelColor(left), 2))
            << PixelProbe::describe(screen, right).toStdString() << " against "
            << PixelProbe::describe(screen, left).toStdString();
        EXPECT_LT(screen.pixelColor(left).blue(), 170) << "wood, not white nor the blue picture";
        EXPECT_GT(screen.pixelColor(left).red(), 150);
    }
}
