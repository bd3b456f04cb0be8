#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSNoteController.h"
#include "RQS-Kit/Controls/QSRateUsController.h"
#include "platform/foundation/UserDefaults.h"

#include "support/Desktop.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>

#include <chrono>
#include <functional>
#include <cmath>

using namespace std::chrono_literals;

namespace {

struct Recorder : QObject, QSNoteControllerDelegate
{
    void note(QSNoteController *, QSButton *button) override { closedBy = button; }
    QSButton *closedBy = nullptr;
};

struct UrlOpener : QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void open(const QUrl &url) { opened.append(url); }
    QList<QUrl> opened;
};

// As the user clicks it: at the centre of what the window shows of the button.
void click(QSButton *button)
{
    ASSERT_TRUE(button->isVisible()) << button->objectName().toStdString();
    ASSERT_FALSE(button->size().isEmpty()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

// The window a note stands on, shown and key.
void showParent(platform::Window &parent)
{
    parent.setGeometry(100, 200, 600, 400);
    parent.makeKeyAndOrderFront(nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
}

// The window's height beyond the text area: the title's line, the buttons and the fixed margins.
double chrome(QSNoteController &note)
{
    return note.titleTF()->height() + 166.0 + note.approveButton()->height();
}

// A key window for the prompt, fresh answers in the (test-private) user defaults, and quick retries.
class RateUs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rqs::registerKitClasses();
        QSRateUsController::setRetryInterval(5ms);
        for (const char *key : {"rate.neverAsk", "rate.timesStarted", "rate.ratedVersion"})
            defaults->removeObjectForKey(key);
        parent.setGeometry(100, 100, 600, 400);
        parent.makeKeyAndOrderFront(nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&parent, DesktopTimeout));
    }
    void TearDown() override { QSRateUsController::sharedController()->close(nullptr); }

    // Counts a start; true when the prompt stands on the parent afterwards.
    bool start()
    {
        QSRateUsController::verifyRateUs(QUrl("https://store.example/foldwise"));
        return prompt->isVisible() && prompt->parentWindow() == &parent;
    }
    qint64 started() const { return defaults->integerForKey("rate.timesStarted"); }

    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    QSRateUsController *prompt = QSRateUsController::sharedController();
    platform::Window parent;
};

// The same on the test display under its window manager, where activation comes from the X server.
class RateUsOnDesktop : public RateUs
{
protected:
    void SetUp() override
    {
        FOLDWISE_REQUIRE_DESKTOP();
        RateUs::SetUp();
    }
};

} // namespace

TEST(QSNoteController, SizesItselfToItsTextAndStandsOnItsParent)
{
    rqs::registerKitClasses();
    platform::Window parent;
    showParent(parent);
    QSNoteController note;
    ASSERT_TRUE(note.window());
    note.attachToWindow(&parent, 0.7);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(note.window()));
    const QRect placed = note.window()->frameGeometry();
    EXPECT_EQ(placed.x(), qRound(0.7 * parent.frameGeometry().width() + parent.frameGeometry().x() - placed.width() + 66));
    EXPECT_EQ(placed.y(), parent.frameGeometry().y() - 26) << "26 points above the parent's top";

    const struct {
        QString text;
        double minimum, maximum;
        bool scrolls;
    } cases[] = {
        {"Short.", 50, 50, false},
        {QString("A paragraph that takes a few lines at this width. ").repeated(6), 51, 299, false},
        {QString("So much text that it has to scroll. ").repeated(200), 300, 300, true},
    };
    for (const auto &c : cases) {
        note.textView()->setPlainText(c.text);
        note.adjustWindowSize();
        QTest::qWait(0);
        const double textArea = note.window()->height() - chrome(note);
        EXPECT_TRUE(textArea >= c.minimum && textArea <= c.maximum) << textArea << " for " << c.text.size();
        EXPECT_EQ(note.window()->width(), 350) << "three short buttons keep the least width";
        EXPECT_EQ(note.textView()->verticalScrollBar()->maximum() > 0, c.scrolls) << c.text.size();
        EXPECT_EQ(note.textView()->height(), textArea) << "the text takes the height computed for it";
    }

    parent.resize(800, 400);
    const QRect onto = parent.frameGeometry();
    EXPECT_EQ(note.window()->x(), qRound(0.7 * onto.width() + onto.x() - note.window()->width() + 66)) << "after a resize";

    Recorder recorder;
    note.setDelegate(&recorder);
    click(note.approveButton());
    EXPECT_EQ(recorder.closedBy, note.approveButton());
    EXPECT_FALSE(note.window()->isVisible());
    EXPECT_TRUE(parent.childWindows().isEmpty());

    note.attachToWindow(&parent, 0.2);
    EXPECT_TRUE(note.window()->isVisible());
    parent.close();
    EXPECT_FALSE(note.window()->isVisible()) << "the note goes with its parent";
}

// The note is as wide as its three buttons need with the gaps between them and its margins; its
// layout must give each button that much, whatever the titles.
TEST(QSNoteController, EveryButtonKeepsItsSizeForAnyTitles)
{
    rqs::registerKitClasses();
    const QList<QStringList> titleSets{
        {"Cancel", "Other", "OK"},
        {"Ask Later", "Never Ask", "Rate Now"},
        {"A very long cancel button title indeed", "Another fairly long title", "Approve this long one"},
        {"Two words", "", "A somewhat longer approve title"},
    };
    for (const char *nib : {"QSNoteController", "QSRateUsController"}) {
        for (const QStringList &titles : titleSets) {
            SCOPED_TRACE(QStringLiteral("%1: %2").arg(nib, titles.join(" / ")).toStdString());
            QSNoteController note;
            note.setNibName(nib);
            platform::Window *window = note.window();
            ASSERT_TRUE(window);
            const QList<QSButton *> buttons{note.cancelButton(), note.otherButton(), note.approveButton()};
            for (int i = 0; i < 3; ++i)
                buttons[i]->setTitle(titles[i]);
            note.adjustWindowSize();
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
            QTest::qWait(0);
            const double needed = buttons[0]->intrinsicContentSize().width() + 32 + 8 + buttons[1]->intrinsicContentSize().width()
                                + 8 + buttons[2]->intrinsicContentSize().width() + 39;
            EXPECT_EQ(window->width(), std::max(350, int(std::ceil(needed))));
            QRect previous;
            for (QSButton *button : buttons) {
                EXPECT_EQ(button->width(), button->sizeHint().width()) << button->objectName().toStdString() << " keeps the width it needs";
                EXPECT_EQ(button->height(), button->sizeHint().height()) << button->objectName().toStdString();
                const QRect inNote(button->mapTo(window, QPoint()), button->size());
                EXPECT_TRUE(window->rect().contains(inNote)) << button->objectName().toStdString();
                EXPECT_FALSE(inNote.intersects(previous)) << button->objectName().toStdString();
                previous = inNote;
            }
            EXPECT_EQ(note.textView()->width(), window->width() - 49 - 32) << "the text at the width it was measured for";
            window->close();
        }
    }
}

// However its window closes (a button, its client, the window system), the note leaves its parent,
// and it can be attached again; a parent closing later has nothing more to close.
TEST(QSNoteController, LeavesItsParentHoweverItsWindowClosesAndAttachesAgain)
{
    rqs::registerKitClasses();
    platform::Window parent;
    showParent(parent);
    QSNoteController note;
    ASSERT_TRUE(note.window());
    const struct { const char *name; std::function<void()> close; } closings[] = {
        {"a button", [&] { click(note.cancelButton()); }},
        {"its client", [&] { note.close(nullptr); }},
        {"the window system", [&] { note.window()->close(); }},
    };
    for (const auto &closing : closings) {
        SCOPED_TRACE(closing.name);
        note.attachToWindow(&parent, 0.5);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(note.window()));
        ASSERT_EQ(note.parentWindow(), &parent);
        closing.close();
        EXPECT_FALSE(note.window()->isVisible());
        EXPECT_EQ(note.parentWindow(), nullptr);
        EXPECT_TRUE(parent.childWindows().isEmpty());
    }
    note.attachToWindow(&parent, 0.5);
    EXPECT_TRUE(note.window()->isVisible()) << "attached again";
}

TEST(QSNoteController, LetsGoOfItsTextViewWithItsWindowAndOfADelegateThatIsGone)
{
    rqs::registerKitClasses();
    platform::Window parent;
    showParent(parent);
    QSNoteController note;
    ASSERT_TRUE(note.window() && note.textView());
    {
        Recorder gone;
        note.setDelegate(&gone);
        EXPECT_EQ(note.delegate(), &gone);
    }
    EXPECT_EQ(note.delegate(), nullptr) << "held weakly";
    note.attachToWindow(&parent, 0.5);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(note.window()));
    click(note.cancelButton());
    EXPECT_FALSE(note.window()->isVisible()) << "closes without a delegate to tell";

    note.setWindow(nullptr);
    EXPECT_EQ(note.textView(), nullptr) << "before the window it lived in is gone";
}

TEST_F(RateUs, AsksOnTheFifthStartAndCountsAgainAfterAskLater)
{
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(start()) << "start " << i;
    ASSERT_TRUE(start());
    EXPECT_TRUE(prompt->textView()->toPlainText().contains("Thank you for using Foldwise!"));
    click(prompt->cancelButton());
    EXPECT_EQ(started(), 0);
    EXPECT_FALSE(prompt->isVisible());
}

TEST_F(RateUs, NeverAskAndAnyRatedVersionEndThePrompts)
{
    defaults->setInteger(4, "rate.timesStarted");
    ASSERT_TRUE(start());
    click(prompt->otherButton());
    EXPECT_FALSE(start());
    EXPECT_EQ(started(), 5) << "a refused prompt counts no more starts";

    defaults->setBool(false, "rate.neverAsk");
    defaults->setObject("0.0.1-old", "rate.ratedVersion");
    EXPECT_FALSE(start());
    EXPECT_EQ(started(), 5);
}

// Holding Alt (the Option key) at a decision clears "never ask" and the rated version, counts the
// start and asks at once; without it the same answers stop the prompt and count nothing.
TEST_F(RateUs, HoldingAltClearsTheRefusalAndTheRatedVersionCountsAndAsksAtOnce)
{
    const struct { const char *name; bool neverAsk; const char *ratedVersion; int started; } cases[] = {
        {"refused", true, "", 0},
        {"rated", false, "0.9", 2},
        {"refused after rating", true, "1.0", 7},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool alt : {false, true}) {
            // The prompt shown before took the key window; the parent has it again.
            parent.makeKeyAndOrderFront(nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
            defaults->setBool(c.neverAsk, "rate.neverAsk");
            defaults->setObject(QString::fromLatin1(c.ratedVersion), "rate.ratedVersion");
            defaults->setInteger(c.started, "rate.timesStarted");
            if (alt)
                QTest::keyPress(&parent, Qt::Key_Alt, Qt::AltModifier);
            const auto letGo = qScopeGuard([&] {
                if (alt)
                    QTest::keyRelease(&parent, Qt::Key_Alt);
            });
            ASSERT_EQ(QGuiApplication::queryKeyboardModifiers(), alt ? Qt::AltModifier : Qt::NoModifier);
            EXPECT_EQ(start(), alt) << (alt ? "with" : "without") << " Alt";
            EXPECT_EQ(defaults->boolForKey("rate.neverAsk"), alt ? false : c.neverAsk);
            EXPECT_EQ(defaults->stringForKey("rate.ratedVersion"), alt ? QString("") : QString::fromLatin1(c.ratedVersion));
            EXPECT_EQ(started(), alt ? c.started + 1 : c.started);
            if (prompt->isVisible())
                click(prompt->cancelButton());
        }
    }
}

TEST_F(RateUs, WaitsWhileTheKeyWindowShowsASheet)
{
    auto *sheet = new QDialog;
    ASSERT_TRUE(parent.beginSheet(sheet, {}));
    parent.activateWindow();
    defaults->setInteger(4, "rate.timesStarted");
    EXPECT_FALSE(start());
    ASSERT_TRUE(parent.endSheet(sheet, 0));
    parent.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return prompt->isVisible() && prompt->parentWindow() == &parent; }, 2000));
}

// On a real display a sheet's window comes and goes through the X server: ended before the window
// system has shown it, or after the user has had it in front, the sheet leaves its window key, and
// the waiting prompt comes.
TEST_F(RateUsOnDesktop, WaitsWhileTheKeyWindowShowsASheet)
{
    const auto promptOnParent = [&] { return prompt->isVisible() && prompt->parentWindow() == &parent; };
    const auto keyName = [] { return QApplication::activeWindow() ? QApplication::activeWindow()->metaObject()->className() : "none"; };
    // The note makes itself key as it attaches; a window manager may keep the key with the parent.
    // Never with the sheet that has gone.
    const auto keyIsOnParent = [&] {
        QWidget *key = QApplication::activeWindow();
        return key == &parent || (key && key == prompt->window());
    };
    auto *sheet = new QDialog;
    sheet->resize(300, 120);
    // Whether the window manager has shown the sheet by the time it ends is a race: run it a few times.
    for (int round = 1; round <= 4; ++round) {
        SCOPED_TRACE(round);
        defaults->setInteger(4, "rate.timesStarted");
        ASSERT_TRUE(parent.beginSheet(sheet, {}));
        EXPECT_FALSE(start());
        ASSERT_TRUE(parent.endSheet(sheet, 0));
        ASSERT_TRUE(QTest::qWaitFor(promptOnParent, DesktopTimeout)) << "the key window is " << keyName();
        EXPECT_TRUE(keyIsOnParent()) << "the key window is " << keyName();
        click(prompt->cancelButton());
        ASSERT_FALSE(prompt->isVisible());
    }

    defaults->setInteger(4, "rate.timesStarted");
    ASSERT_TRUE(parent.beginSheet(sheet, {}));
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet, DesktopTimeout)) << "the same sheet shows again, in front";
    EXPECT_FALSE(start());
    EXPECT_FALSE(QTest::qWaitFor(promptOnParent, 100)) << "not while the sheet is up";
    ASSERT_TRUE(parent.endSheet(sheet, 0));
    EXPECT_TRUE(QTest::qWaitFor(promptOnParent, DesktopTimeout)) << "the key window is " << keyName();
    EXPECT_TRUE(keyIsOnParent()) << "the key window is " << keyName();
}

// The due prompt as the user meets it: its three buttons at the size they need, side by side inside
// the note, and the text at the height the note computed for it.
TEST_F(RateUs, TheDuePromptShowsItsThreeButtonsAndItsTextAtTheComputedHeight)
{
    defaults->setInteger(4, "rate.timesStarted");
    ASSERT_TRUE(start());
    platform::Window *note = prompt->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(note));
    saveScreenshot(note, "rate-us-note");
    const QList<QSButton *> buttons{prompt->cancelButton(), prompt->otherButton(), prompt->approveButton()};
    const QStringList titles{"Ask Later", "Never Ask", "Rate Now"};
    QRect previous;
    for (QSButton *button : buttons) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_TRUE(button->isVisible());
        EXPECT_EQ(button->title(), titles.at(buttons.indexOf(button)));
        EXPECT_EQ(button->size(), button->sizeHint()) << "the size the button needs";
        EXPECT_GT(button->height(), 0);
        const QRect inNote(button->mapTo(note, QPoint()), button->size());
        EXPECT_TRUE(note->rect().contains(inNote));
        EXPECT_FALSE(inNote.intersects(previous)) << "beside, not over, its neighbour";
        EXPECT_EQ(note->childAt(inNote.center()), button) << "nothing covers it";
        previous = inNote;
    }
    EXPECT_EQ(prompt->textView()->height(), note->height() - chrome(*prompt));

    // The store page goes to a stand-in for the desktop's browser.
    UrlOpener opener;
    QDesktopServices::setUrlHandler("https", &opener, "open");
    click(prompt->approveButton());
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl("https://store.example/foldwise")});
    EXPECT_FALSE(defaults->stringForKey("rate.ratedVersion").isEmpty()) << "rated";
}

TEST(QSRateUsController, TakesItsStorePageAsTextFromAnInterfaceFile)
{
    QSRateUsController prompt;
    ASSERT_TRUE(prompt.setProperty("appUrlString", "https://store.example/foldwise?id=7"));
    EXPECT_EQ(prompt.appURL(), QUrl("https://store.example/foldwise?id=7"));
    EXPECT_EQ(prompt.property("appUrlString").toString(), "https://store.example/foldwise?id=7");
}

// A prompt made by an interface file decides on a later turn only while no decision has run in the
// process; the first decision has run by then here, so the count stays.
TEST_F(RateUs, APromptFromAnInterfaceFileDecidesOnlyOncePerProcess)
{
    EXPECT_FALSE(start());
    EXPECT_TRUE(QSRateUsController::rateDecisionHasRun());
    QSRateUsController fromFile;
    fromFile.setAppURL(QUrl("https://store.example/foldwise"));
    fromFile.awakeFromNib();
    for (int turn = 0; turn < 3; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(started(), 1);
    EXPECT_EQ(QSRateUsController::sharedController(), prompt) << "the shared prompt stays the first";
}

#include "PromptsTest.moc"

// A count of starts stored beyond all range (edited by hand, or damaged) neither wraps into the
// negative nor keeps the prompt away: below zero it counts from zero, at the largest it stays.
TEST_F(RateUs, AStoredCountBeyondAllRangeNeitherWrapsNorHoldsThePromptBack)
{
    defaults->setInteger(std::numeric_limits<qint64>::max(), "rate.timesStarted");
    EXPECT_TRUE(start());
    EXPECT_EQ(started(), std::numeric_limits<qint64>::max());
    click(prompt->cancelButton());

    defaults->setInteger(std::numeric_limits<qint64>::min(), "rate.timesStarted");
    EXPECT_FALSE(start());
    EXPECT_EQ(started(), 1);
}
