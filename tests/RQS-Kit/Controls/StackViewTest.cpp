#include "RQS-Kit/Controls/QS3DLayer.h"
#include "RQS-Kit/Controls/QSGridItem.h"
#include "RQS-Kit/Controls/QSStackView.h"
#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Helper/QSCursorStack.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/Window.h"

#include "PileClicks.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>

namespace {

QSGridItem *card(int number)
{
    QImage picture(160, 90, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    return QSGridItem::gridItem(picture, QString(), number, 0);
}

} // namespace

TEST(StackView, TwentyFiveCardsLieAt18UnderTheTopTwentyClimbingTo75)
{
    std::srand(7);
    const int expected = std::rand();
    std::srand(7);
    QSStackView stack;
    stack.resize(400, 300);
    for (int i = 0; i < 25; ++i)
        stack.addGridItem(card(i), false);
    EXPECT_EQ(std::rand(), expected) << "the process-wide generator is left alone";

    const QList<platform::Layer *> cards = stack.containerLayer()->sublayers();
    ASSERT_EQ(cards.size(), 25);
    for (int i = 0; i < 25; ++i) {
        EXPECT_FLOAT_EQ(cards[i]->transform()(1, 3), i < 5 ? 18 : 18 + 3 * (i - 5)) << i;
        EXPECT_DOUBLE_EQ(cards[i]->shadowOpacity(), i < 5 ? 0 : 0.5) << i;
    }
    EXPECT_EQ(cards.last(), stack.gridItems().first()->layer()) << "the card at index 0 is drawn last";
}

TEST(StackView, RelayoutKeepsTheJitterOfEachPlaceAndACardOfTheSameContextIsReplaced)
{
    QSStackView stack;
    stack.resize(400, 300);
    for (int i = 0; i < 4; ++i)
        stack.addGridItem(card(i), true);
    auto jitters = [&stack] {
        QList<float> x;
        for (platform::Layer *layer : stack.containerLayer()->sublayers())
            x.append(layer->transform()(0, 3));
        return x;
    };
    const QList<float> before = jitters();
    stack.addGridItem(card(3), true);
    EXPECT_EQ(stack.gridItems().size(), 4);
    EXPECT_EQ(jitters(), before);
}

// The pile takes cards out without deleting them: given back its own cards, or a card it already
// holds, it still shows them after a turn of the event loop.
TEST(StackView, APileGivenItsOwnCardsKeepsThem)
{
    QSStackView stack;
    stack.resize(400, 300);
    QSGridItem *a = card(1);
    QSGridItem *b = card(2);
    stack.addGridItem(a, true);
    stack.addGridItem(b, true);
    stack.instantReplaceGridItems({a, b});
    stack.addGridItem(a, false);
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(stack.gridItems(), QList<QSGridItem *>({a, b}));
    EXPECT_EQ(stack.containerLayer()->sublayers().size(), 2);
}

// A soft shadow lies under the pile while it has cards, and goes with the last one.
TEST(StackView, APileCastsTheShippedShadowUnderItsCards)
{
    QSStackView stack;
    stack.resize(400, 300);
    stack.addGridItem(card(1), true);
    const QImage shown = PixelProbe::drawn(stack);
    const QColor under = shown.pixelColor(200, 300 - 9);
    EXPECT_GT(under.alpha(), 40) << "shadow under the pile";
    EXPECT_LT(under.lightness(), 60);
    EXPECT_LT(shown.pixelColor(5, 300 - 9).alpha(), under.alpha()) << "soft towards its ends";
    stack.removeAllItems();
    EXPECT_EQ(PixelProbe::drawn(stack).pixelColor(200, 300 - 9).alpha(), 0);
}

// Loaded from an interface file, a pile casts no shadow until the file or its client asks for one.
TEST(StackView, APileFromAnInterfaceFileStartsWithoutItsShadow)
{
    rqs::registerKitClasses();
    QTemporaryDir folder;
    const auto write = [&folder](const char *name, const QByteArray &properties) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<ui version=\"4.0\"><widget class=\"QSStackView\" name=\"pile\">"
                   "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>400</width><height>300</height></rect></property>"
                   + properties + "</widget></ui>");
        return file.fileName();
    };
    const std::unique_ptr<QWidget> loaded(platform::InterfaceLoader::loadFile(write("Pile.ui", ""), nullptr));
    auto *stack = qobject_cast<QSStackView *>(loaded.get());
    ASSERT_TRUE(stack);
    EXPECT_FALSE(stack->shadowVisible());
    stack->addGridItem(card(1), true);
    EXPECT_EQ(PixelProbe::drawn(*stack).pixelColor(200, 300 - 9).alpha(), 0) << "no shadow under the pile";
    stack->setShadowVisible(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return PixelProbe::drawn(*stack).pixelColor(200, 300 - 9).alpha() > 40; }, 2000))
        << "the shadow fades in when asked for";

    const std::unique_ptr<QWidget> asked(platform::InterfaceLoader::loadFile(
        write("Shadowed.ui", "<property name=\"shadowVisible\"><bool>true</bool></property>"), nullptr));
    EXPECT_TRUE(qobject_cast<QSStackView *>(asked.get())->shadowVisible());
    EXPECT_TRUE(QSStackView().shadowVisible()) << "made in code it casts one";
}

TEST(StackView, ACardWhosePictureChangesIsShownWithTheNewPicture)
{
    QWidget window;
    window.resize(400, 300);
    auto *stack = new QSStackView(&window);
    stack->setFrame(QRectF(0, 0, 400, 300));
    QSGridItem *top = card(1);
    stack->addGridItem(top, true);
    window.show();
    const platform::Layer *layer = top->layer();
    const QPointF centre = layer->convertPointToLayer(layer->bounds().center(), stack->layer());
    const QPoint at(qRound(centre.x()), qRound(300 - centre.y()));
    const auto shows = [&](const QColor &colour) {
        return QTest::qWaitFor([&] { return PixelProbe::isNear(PixelProbe::drawn(window), at, colour, 40); }, 2000);
    };
    ASSERT_TRUE(shows(Qt::darkCyan)) << PixelProbe::describe(PixelProbe::drawn(window), at).toStdString();

    QImage picture(160, 90, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    top->setImage(picture);
    EXPECT_TRUE(shows(Qt::magenta)) << PixelProbe::describe(PixelProbe::drawn(window), at).toStdString();
}

// The pile's delegate deleted first: a click on the pile tells nobody, and a new delegate hears
// the next one.
TEST(StackView, APileClickedAfterItsDelegateWentTellsNobodyAndANewOneHearsTheNextClick)
{
    QWidget window;
    window.resize(300, 300);
    auto *stack = new QSStackView(&window);
    stack->setFrame(QRectF(0, 0, 300, 300));
    stack->addGridItem(card(1), true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint onPile(150, 290);
    int clicks = 0;
    auto *gone = new PileClicks(clicks);
    stack->setDelegate(gone);
    delete gone;
    QTest::mouseClick(stack, Qt::LeftButton, {}, onPile);
    EXPECT_EQ(clicks, 0);
    PileClicks next(clicks);
    stack->setDelegate(&next);
    QTest::mouseClick(stack, Qt::LeftButton, {}, onPile);
    EXPECT_EQ(clicks, 1);
}

// A pile that goes from under the pointer gives the pointing hand back, deleted as well as taken
// out: the window shows the arrow again, and its stack of cursors holds no hand.
TEST(StackView, APileDeletedWhileHoveredGivesTheWindowItsCursorBack)
{
    for (const bool deleted : {false, true}) {
        SCOPED_TRACE(deleted ? "deleted" : "taken out");
        platform::Window window;
        window.setCentralWidget(new QWidget);
        window.setGeometry(50, 50, 300, 300);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QPointer<QSStackView> pile = new QSStackView(window.centralWidget());
        pile->setGeometry(0, 0, 300, 300);
        pile->show();
        pile->addGridItem(card(1), false);
        QTest::mouseMove(pile, QPoint(150, 290));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.cursor().shape() == Qt::PointingHandCursor; }, 5000))
            << "the hand over the pile";
        if (deleted)
            delete pile;
        else
            pile->setParent(nullptr);
        EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
        const QSCursorStack *stack = QSCursorStack::cursorStackForWindow(&window);
        EXPECT_TRUE(!stack || stack->cursors().isEmpty());
        delete pile;
    }
}
