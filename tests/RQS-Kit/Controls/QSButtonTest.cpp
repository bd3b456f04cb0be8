#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Helper/QSCursorStack.h"
#include "RQS-Kit/Helper/QSHintController.h"
#include "platform/foundation/PropertyList.h"

#include "support/PlacedPointer.h"
#include "support/Desktop.h"
#include "support/MainBundleScope.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Writes a TIFF of one colour into the folder, which is made as needed.
void tiff(const QString &folder, const QString &file, QSize size, const QColor &color)
{
    QDir().mkpath(folder);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(folder + '/' + file, "TIFF"));
}

QColor colorOf(const QImage &image) { return image.pixelColor(0, 0); }

int strongestAlpha(const QImage &image)
{
    int strongest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            strongest = std::max(strongest, image.pixelColor(x, y).alpha());
    return strongest;
}

struct Target : QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void clicked(QObject *) {}
};

} // namespace

TEST(QSButton, LoadsDescriptionFoldersAndNamedImagesAsTheirEdgeCasesSay)
{
    QTemporaryDir bundle;
    const QString root = bundle.path();
    tiff(root + "/Only.button", "Mid-Normal.tiff", {4, 20}, Qt::red);
    tiff(root + "/Both.button", "Mid-Off-Normal.tiff", {4, 20}, Qt::red);
    tiff(root + "/Both.button", "Mid-Normal.tiff", {4, 20}, Qt::blue);
    tiff(root + "/Dark.button", "Mid-Normal.tiff", {4, 20}, Qt::red);
    tiff(root + "/Dark.button", "Mid-Hover.tiff", {4, 20}, Qt::blue);
    tiff(root + "/Dark.button", "Mid-Hover-Dark.tiff", {4, 20}, Qt::green);
    tiff(root, "Play.png", {8, 8}, Qt::white);
    tiff(root, "PlayDown.png", {8, 8}, Qt::black);
    ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{"normal.on", QVariantMap{{"text.color", "1 0 0 1"}}},
                                                          {"normal", QVariantMap{{"text.color", "0 0 1 1"}, {"padding.left", 7}}}},
                                              root + "/Only.button/Info.plist"));
    MainBundleScope scope(root);

    QSButton button;
    button.setName("Only");
    const auto mid = button.midImages(false);
    ASSERT_EQ(mid.size(), 4);
    EXPECT_EQ(mid[0].cacheKey(), mid[1].cacheKey()) << "disabled is the normal image";
    EXPECT_EQ(mid[3].cacheKey(), mid[1].cacheKey()) << "down is the normal image";
    EXPECT_EQ(colorOf(mid[2]), QColor(Qt::red)) << "hover blends normal with itself";
    EXPECT_EQ(button.midImages(true), mid);
    EXPECT_TRUE(button.leftImages(false).isEmpty());
    EXPECT_EQ(button.textColor(), QColor(Qt::blue)) << "off: normal.on is not used";
    EXPECT_EQ(button.padding(), QMarginsF(7, 0, 0, 0));
    button.setState(platform::Control::OnState);
    EXPECT_EQ(button.textColor(), QColor(Qt::red));

    button.setName("Both");
    EXPECT_EQ(colorOf(button.midImages(false)[1]), QColor(Qt::red));
    button.setName("Dark");
    button.setAppearanceExtension("-Dark");
    EXPECT_EQ(colorOf(button.midImages(false)[2]), QColor(Qt::green));
    EXPECT_EQ(colorOf(button.midImages(false)[1]), QColor(Qt::red)) << "plain files still load";

    button.setName("Play");
    const auto play = button.symbolImages(false);
    ASSERT_EQ(play.size(), 4);
    EXPECT_EQ(colorOf(play[3]), QColor(Qt::black));
    EXPECT_NEAR(colorOf(play[2]).red(), 128, 2) << "hover half-way between Play and PlayDown";
    EXPECT_EQ(button.symbolImages(true)[1].cacheKey(), play[3].cacheKey()) << "on and idle looks pressed";
    button.setStateIndependent(true);
    EXPECT_EQ(button.symbolImages(true), play);
    button.setStateIndependent(false);
    EXPECT_EQ(button.symbolImages(true)[1].cacheKey(), play[3].cacheKey()) << "NO rebuilds the derived set";
    button.setName("Pause");
    EXPECT_TRUE(button.symbolImages(false).isEmpty());
    button.setName("");
    EXPECT_TRUE(button.midImages(false).isEmpty() && button.buttonInfo().isEmpty()) << "no name, no folder";
}

TEST(QSButton, DrawsItsNaturalBackgroundCentredFromTheCacheAndPlacesSymbolAndTitle)
{
    QTemporaryDir bundle;
    const QString fixture = bundle.path() + "/Fixture10x30.button";
    tiff(fixture, "Left-Normal.tiff", {10, 20}, Qt::red);
    tiff(fixture, "Mid-Normal.tiff", {30, 20}, Qt::green);
    tiff(fixture, "Right-Normal.tiff", {10, 20}, Qt::blue);
    tiff(bundle.path() + "/Labelled.button", "Symbol-Normal.tiff", {16, 16}, Qt::black);
    ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{"normal", QVariantMap{{"text.margin", 4}, {"text.color", "0 0 0 1"}}}},
                                              bundle.path() + "/Labelled.button/Info.plist"));
    MainBundleScope scope(bundle.path());

    QSButton button;
    button.resize(100, 40);
    button.setName("Fixture10x30");
    button.setNoScaling(true);
    QImage image = PixelProbe::drawn(button);
    // (25, 10, 50, 20) y-up is rows 10 to 29 of the picture.
    int outside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            outside += image.pixelColor(x, y).alpha() > 0 && !QRect(25, 10, 50, 20).contains(x, y);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(PixelProbe::mismatches(image, {{{25, 10}, Qt::red}, {{50, 29}, Qt::green}, {{74, 20}, Qt::blue}}), QStringList());
    const int rendered = button.backgroundsRendered();
    PixelProbe::drawn(button);
    EXPECT_EQ(button.backgroundsRendered(), rendered) << "a warm cache renders nothing";
    button.setName("Fixture10x30");
    PixelProbe::drawn(button);
    EXPECT_EQ(button.backgroundsRendered(), rendered + 1) << "a reload empties the cache";

    QSButton labelled;
    labelled.setName("Labelled");
    labelled.setTitle("Wide");
    labelled.setImagePosition(platform::Control::ImageLeft);
    // The content is 60 points wider than the title: the symbol (16) and margin (4) leave 40.
    const double titleWidth = labelled.intrinsicContentSize().width();
    EXPECT_GT(labelled.intrinsicContentSize().height(), 0) << "a title alone has a height";
    labelled.resize(qRound(titleWidth + 60), 30);
    image = PixelProbe::drawn(labelled);
    int firstSymbol = -1, firstTitle = -1;
    for (int x = 0; x < image.width() && (firstSymbol < 0 || firstTitle < 0); ++x) {
        if (firstSymbol < 0 && image.pixelColor(x, 15).alpha() == 255)
            firstSymbol = x;
        for (int y = 0; y < 30 && firstTitle < 0 && x >= firstSymbol + 16 && firstSymbol >= 0; ++y)
            firstTitle = image.pixelColor(x, y).alpha() > 0 ? x : -1;
    }
    EXPECT_NEAR(firstSymbol, 20, 1) << "symbol at C.x + 20";
    EXPECT_NEAR(firstTitle, 40, 2) << "title at C.x + 40";

    labelled.setName("");
    labelled.setTextColor(Qt::white);
    labelled.setEnabled(false);
    image = PixelProbe::drawn(labelled);
    int strongest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            strongest = std::max(strongest, image.pixelColor(x, y).alpha());
    EXPECT_LE(strongest, 128) << "a disabled white title is dimmed";
}

TEST(QSButton, FollowsItsStateTableUnderPressesAndDrags)
{
    QWidget host;
    host.setGeometry(300, 300, 300, 100);
    QLabel hints(&host);
    auto registration = QSHintController::addHintConrollerForWindow(&host, &hints);
    QSButton button(&host);
    button.setGeometry(0, 0, 100, 40);
    button.setHint("Tip");
    Target target;
    button.setTarget(&target);
    button.setAction("clicked");
    QSignalSpy actions(&button, &platform::Control::actionSent);
    placePointerAway();
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const QVariant key = QVariant::fromValue(static_cast<QObject *>(&button));
    const auto cursorPushed = [&] {
        QSCursorStack *stack = QSCursorStack::cursorStackForWindow(&host);
        return stack && stack->keys().contains(key);
    };
    enum Step { Enter, Press, DragOut, DragIn, ReleaseIn, ReleaseOut, Leave, Disable, Enable, ClickInCode };
    const struct {
        Step step;
        int state, actions;
        bool hovered;
    } table[] = {
        {Leave, 1, 0, false},  {Enter, 2, 0, true},  {Press, 3, 0, true},     {DragOut, 1, 0, false},
        {DragIn, 3, 0, true},  {ReleaseIn, 2, 1, true}, {Disable, 0, 1, false}, {Enable, 2, 1, true},
        {Press, 3, 1, true},   {DragOut, 1, 1, false}, {ReleaseOut, 1, 1, false}, {ClickInCode, 3, 2, true},
    };
    const QPoint inside(50, 20), outside(150, 20);
    for (const auto &row : table) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - table));
        switch (row.step) {
        case Enter: QTest::mouseMove(&button, inside); break;
        case Leave: QTest::mouseMove(&button, outside); break;
        case Press: QTest::mousePress(&button, Qt::LeftButton, {}, inside); break;
        case DragOut: QTest::mouseMove(&button, outside); break;
        case DragIn: QTest::mouseMove(&button, inside); break;
        case ReleaseIn: QTest::mouseRelease(&button, Qt::LeftButton, {}, inside); break;
        case ReleaseOut: QTest::mouseRelease(&button, Qt::LeftButton, {}, outside); break;
        case Disable: button.setEnabled(false); break;
        case Enable: button.setEnabled(true); break;
        case ClickInCode: button.performClick(); break;
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(button.buttonState(), row.state);
        EXPECT_EQ(actions.size(), row.actions);
        EXPECT_EQ(cursorPushed(), row.hovered);
        EXPECT_EQ(hints.text(), row.hovered ? "Tip" : "");
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return button.buttonState() == 1; })) << "down, then normal again";
    EXPECT_EQ(actions.size(), 2) << "sent once";

    button.setIsSwitchButton(true);
    button.performClick();
    EXPECT_EQ(button.state(), platform::Control::OnState) << "a switch toggles";
}

TEST(QSButton, AStatesStyleIsItsOwnDictionaryAndPaddingItLeavesOutIsZero)
{
    QTemporaryDir bundle;
    tiff(bundle.path() + "/Styled.button", "Mid-Normal.tiff", {4, 20}, Qt::gray);
    ASSERT_TRUE(platform::PropertyList::write(
        QVariantMap{{"normal", QVariantMap{{"text.color", "1 0 0 1"}, {"padding.left", 7}, {"padding.top", 3}}},
                    {"hover", QVariantMap{{"text.color", "0 0 1 1"}}}},
        bundle.path() + "/Styled.button/Info.plist"));
    MainBundleScope scope(bundle.path());
    QSButton button;
    button.setName("Styled");
    const struct {
        int state;
        QMarginsF padding;
        QColor color;
    } steps[] = {{1, {7, 3, 0, 0}, Qt::red}, {2, {}, Qt::blue}, {3, {7, 3, 0, 0}, Qt::red}, {2, {}, Qt::blue}, {1, {7, 3, 0, 0}, Qt::red}};
    for (const auto &step : steps) {
        button.setButtonState(step.state);
        EXPECT_EQ(button.padding(), step.padding) << "state " << step.state;
        EXPECT_EQ(button.textColor(), step.color) << "state " << step.state << " (down has no dictionary and takes normal's)";
    }
}

TEST(QSButton, TheStateIndependentFlagNeverReplacesAnOnSetLoadedOnItsOwnHoweverAlike)
{
    QTemporaryDir bundle;
    const QString folder = bundle.path() + "/Twin.button";
    tiff(folder, "Symbol-Off-Normal.tiff", {8, 8}, Qt::red);
    tiff(folder, "Symbol-On-Normal.tiff", {8, 8}, Qt::red);
    MainBundleScope scope(bundle.path());
    QSButton button;
    button.setName("Twin");
    const auto loadedOn = button.symbolImages(true);
    ASSERT_EQ(loadedOn.size(), 4);
    ASSERT_EQ(loadedOn[1], button.symbolImages(false)[1]) << "the same pixels";
    for (bool independent : {true, false}) {
        button.setStateIndependent(independent);
        EXPECT_EQ(button.symbolImages(true)[1].cacheKey(), loadedOn[1].cacheKey()) << "independent " << independent;
    }
}

TEST(QSButton, KeepsTheHeightItNeedsBesideATextThatWantsAllTheRoom)
{
    QWidget host;
    auto *layout = new QVBoxLayout(&host);
    auto *text = new QTextBrowser;
    text->setPlainText(QString("Words to fill the view. ").repeated(40));
    layout->addWidget(text);
    auto *button = new QSButton;
    button->setName("DefaultStyle");
    button->setTitle("Ask Later");
    layout->addWidget(button);
    host.resize(200, 60);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    EXPECT_GT(button->sizeHint().height(), 0);
    EXPECT_EQ(button->height(), button->sizeHint().height());
    EXPECT_GE(button->width(), button->sizeHint().width());
    EXPECT_GE(host.height(), button->height() + layout->contentsMargins().top() + layout->contentsMargins().bottom());
}

TEST(QSButton, ADisabledSubTitleDimsEvenWhereTheDescriptionStylesTheDisabledTitle)
{
    QTemporaryDir bundle;
    tiff(bundle.path() + "/Described.button", "Symbol-Normal.tiff", {1, 1}, Qt::transparent);
    ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{"disabled", QVariantMap{{"text.margin", 0}}}},
                                              bundle.path() + "/Described.button/Info.plist"));
    MainBundleScope scope(bundle.path());
    QSButton button;
    button.setName("Described");
    button.setTextColor(Qt::white);
    button.resize(120, 40);
    button.setEnabled(false);
    ASSERT_TRUE(button.hasDisabledDescription());

    button.setTitle("Title");
    EXPECT_GT(strongestAlpha(PixelProbe::drawn(button)), 128) << "the described disabled title keeps its colour";
    button.setTitle("");
    button.setSubTitle("Sub-title");
    button.setSubTitleFactor(1);
    const int subTitle = strongestAlpha(PixelProbe::drawn(button));
    EXPECT_GT(subTitle, 0) << "drawn";
    EXPECT_LE(subTitle, 128) << "dimmed";
}

// Without a disabled style of its own, a disabled button dims its title whatever its colour:
// white, grey or coloured, so that it never looks enabled.
TEST(QSButton, ADisabledTitleDimsInEveryColourAndTheButtonDescribesItselfByNameAndTitle)
{
    QSButton button;
    button.resize(120, 40);
    button.setTitle("Title");
    button.setEnabled(false);
    ASSERT_FALSE(button.hasDisabledDescription());
    for (const QColor colour : {QColor(Qt::white), QColor(128, 128, 128), QColor(20, 90, 200)}) {
        button.setTextColor(colour);
        const int strongest = strongestAlpha(PixelProbe::drawn(button));
        EXPECT_GT(strongest, 0) << colour.name().toStdString();
        EXPECT_LE(strongest, 128) << colour.name().toStdString() << " is dimmed";
    }
    button.setName("Remove");
    EXPECT_EQ(button.description(), "QSButton (Remove): Title");
}

// Focus goes by the window manager's activation: the button is reached with Tab from a field and
// clicks on Space, Return and Enter, once for a key held down, never while disabled.
TEST(QSButtonOnDesktop, TabReachesItAndSpaceAndReturnClickIt)
{
    FOLDWISE_REQUIRE_DESKTOP();
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *field = new QLineEdit;
    layout->addWidget(field);
    auto *button = new QSButton;
    button->setTitle("Go");
    layout->addWidget(button);
    Target target;
    button->setTarget(&target);
    button->setAction("clicked");
    QSignalSpy actions(button, &platform::Control::actionSent);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, DesktopTimeout));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
    ASSERT_TRUE(button->hasFocus()) << "reached with Tab";

    const struct {
        Qt::Key key;
        bool autoRepeat;
        int actions;
    } presses[] = {{Qt::Key_Space, false, 1}, {Qt::Key_Return, false, 2}, {Qt::Key_Enter, false, 3},
                   {Qt::Key_Space, true, 4}, {Qt::Key_A, false, 4}};
    for (const auto &press : presses) {
        QTest::keyPress(button, press.key, {}, -1);
        if (press.autoRepeat) {
            QKeyEvent repeat(QEvent::KeyPress, press.key, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(button, &repeat);
        }
        QTest::keyRelease(button, press.key);
        EXPECT_EQ(actions.size(), press.actions) << "key " << press.key;
        ASSERT_TRUE(QTest::qWaitFor([&] { return button->buttonState() != 3; }, DesktopTimeout)) << "down, then back";
    }
    button->setEnabled(false);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(actions.size(), 4) << "disabled";

    // A mouse click leaves the focus in the field.
    button->setEnabled(true);
    field->setFocus();
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(actions.size(), 5);
    EXPECT_TRUE(field->hasFocus());
}

#include "QSButtonTest.moc"
