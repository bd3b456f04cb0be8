#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <optional>

using platform::NotificationCenter;
using platform::Window;

namespace {

constexpr int waitLimitMs = 5000;

class Panel : public Window
{
public:
    bool canBecomeMainWindow() const override { return false; }
};

// The names of the window notifications posted while it lives, with their object.
class Recorder
{
public:
    Recorder()
    {
        for (const QString &name : {Window::WillCloseNotification, Window::DidResizeNotification,
                                    Window::DidBecomeKeyNotification, Window::DidResignKeyNotification}) {
            NotificationCenter::defaultCenter()->addObserver(this, name, nullptr, [this](const auto &n) {
                posted.append({n.name, n.object});
            });
        }
    }
    ~Recorder() { NotificationCenter::defaultCenter()->removeObserver(this); }

    QList<std::pair<QString, QObject *>> posted;
};

void showAndWait(Window &window)
{
    window.resize(300, 200);
    window.makeKeyAndOrderFront(nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

} // namespace

TEST(Window, KeyFollowsActivationMainStaysWithDocumentWindowsAndResizingIsAnnounced)
{
    Recorder recorder;
    Window document;
    Panel panel;
    showAndWait(document);
    EXPECT_TRUE(recorder.posted.contains({Window::DidBecomeKeyNotification, &document}));

    showAndWait(panel);
    EXPECT_EQ(Window::keyWindow(), &panel);
    EXPECT_EQ(Window::mainWindow(), &document) << "a panel never becomes main";
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.posted.contains({Window::DidResignKeyNotification, &document}); }, waitLimitMs));

    recorder.posted.clear();
    document.resize(400, 250);
    ASSERT_TRUE(QTest::qWaitFor([&] { return document.size() == QSize(400, 250); }, waitLimitMs));
    EXPECT_TRUE(recorder.posted.contains({Window::DidResizeNotification, &document}));
}

// Qt can say for an instant that no window is active and then that the key window is again (its
// wait for the keyboard's arrival ran out on a busy turn): the window never lost the keyboard, and
// says nothing. Without the keyboard still at the next turn, it resigns, once.
TEST(Window, AnInstantWithoutTheKeyboardIsNoResignation)
{
    Recorder recorder;
    Window window;
    showAndWait(window);
    recorder.posted.clear();
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isKeyWindow());
    EXPECT_EQ(recorder.posted.size(), 0) << recorder.posted.value(0).first.toStdString();

    QApplication::setActiveWindow(nullptr);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    const QList<std::pair<QString, QObject *>> resigned{{Window::DidResignKeyNotification, &window}};
    EXPECT_EQ(recorder.posted, resigned);
}

TEST(Window, SheetsEndWithTheirCodeOnALaterTurnAndQueueBehindEachOther)
{
    Window window;
    showAndWait(window);
    auto *first = new QDialog;
    auto *second = new QDialog;
    QList<int> codes;
    ASSERT_TRUE(window.beginSheet(first, [&](int code) { codes << code; }));
    ASSERT_TRUE(window.beginSheet(second, [&](int code) { codes << -code; }));
    EXPECT_EQ(first->windowModality(), Qt::WindowModal);
    EXPECT_FALSE(second->isVisible()) << "waits for the first";

    first->done(1001);
    EXPECT_TRUE(codes.isEmpty()) << "completions run on a later turn";

    EXPECT_TRUE(window.endSheet(second, 1000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return codes.size() == 2; }, waitLimitMs));
    EXPECT_EQ(codes, (QList<int>{1001, -1000}));

    platform::LogCapture log;
    EXPECT_FALSE(window.endSheet(second, 1));
    EXPECT_TRUE(log.contains("Warning: Sheet ended that is not attached to window"));
    EXPECT_FALSE(window.beginSheet(nullptr, {}));
}

TEST(Window, ChildWindowsTravelWithTheirParentAndHideWhenItCloses)
{
    Window parent;
    parent.setGeometry(100, 100, 300, 200);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QWidget child;
    child.setGeometry(150, 120, 50, 40);
    child.show();
    const QPoint start = child.pos();
    parent.addChildWindow(&child);

    const QPoint parentStart = parent.pos();
    parent.move(parentStart + QPoint(30, -20));
    ASSERT_TRUE(QTest::qWaitFor([&] { return parent.pos() == parentStart + QPoint(30, -20); }, waitLimitMs));
    EXPECT_EQ(child.pos(), start + QPoint(30, -20));

    Recorder recorder;
    parent.close();
    EXPECT_TRUE(recorder.posted.contains({Window::WillCloseNotification, &parent}));
    EXPECT_FALSE(child.isVisible());
}

// A window that goes without a close takes its child windows down as its close does, once: it
// announces that it closes while it or a child shows, and never again after a close.
TEST(Window, AWindowDeletedTakesItsChildWindowsDownAsItsCloseDoes)
{
    const struct
    {
        const char *how;
        bool parentShown, childShown, closedFirst;
        int announced;
    } cases[] = {
        {"deleted while shown", true, true, false, 1},
        {"deleted hidden with a child shown", false, true, false, 1},
        {"deleted after its close", true, true, true, 1},
        {"deleted never shown", false, false, false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        auto *parent = new Window;
        parent->setGeometry(100, 100, 300, 200);
        if (c.parentShown) {
            parent->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(parent));
        }
        QWidget child;
        child.setGeometry(150, 120, 50, 40);
        if (c.childShown)
            child.show();
        parent->addChildWindow(&child);
        Recorder recorder;
        if (c.closedFirst)
            parent->close();
        delete parent;
        EXPECT_EQ(recorder.posted.count({Window::WillCloseNotification, parent}), c.announced);
        EXPECT_FALSE(child.isVisible());
    }
}

// Shown for real (offscreen): a click on the second button answers 1001, on a later turn.
TEST(Alert, ButtonsAnswerCodesInOrderAsSheetOrApplicationModal)
{
    for (const bool onWindow : {true, false}) {
        platform::Window window;
        window.show();
        platform::Alert alert;
        alert.setMessageText("Replace?");
        for (const char *title : {"Replace", "Keep Both", "Cancel"})
            alert.addButtonWithTitle(title);
        std::optional<int> answer;
        alert.beginSheetModalForWindow(onWindow ? &window : nullptr, [&](int code) { answer = code; });

        auto *box = qobject_cast<QMessageBox *>(onWindow ? window.attachedSheet() : QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << onWindow;
        EXPECT_EQ(box->windowModality(), onWindow ? Qt::WindowModal : Qt::ApplicationModal);
        QList<QString> titles;
        for (QAbstractButton *button : box->buttons())
            titles << button->text();
        EXPECT_EQ(titles, QList<QString>({"Replace", "Keep Both", "Cancel"}));
        box->buttons()[1]->click();
        EXPECT_FALSE(answer.has_value()); // never inside the closing dialog
        ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }));
        EXPECT_EQ(*answer, platform::Alert::FirstButtonReturn + 1) << onWindow;
    }
}

// Keys on the real box: Escape answers Cancel or the only button, Return the first; the icon says
// what kind of alert it is.
TEST(Alert, EscapeAndReturnAnswerAsOnTheDesktopAndTheIconFollowsTheStyle)
{
    using Style = platform::Alert::Style;
    struct Case { QStringList titles; Style style; Qt::Key key; int answer; QMessageBox::Icon icon; };
    const QList<Case> cases{
        {{"OK"}, Style::Informational, Qt::Key_Escape, 1000, QMessageBox::Information},
        {{"Replace", "Cancel"}, Style::Warning, Qt::Key_Escape, 1001, QMessageBox::Warning},
        {{"Print", "Set Up", "Cancel"}, Style::Critical, Qt::Key_Escape, 1002, QMessageBox::Critical},
        {{"Print", "Set Up", "Cancel"}, Style::Warning, Qt::Key_Return, 1000, QMessageBox::Warning},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.titles.join(' ').toStdString() + (c.key == Qt::Key_Return ? " Return" : " Escape"));
        platform::Alert alert;
        alert.setMessageText("Something happened");
        alert.setAlertStyle(c.style);
        for (const QString &title : c.titles)
            alert.addButtonWithTitle(title);
        std::optional<int> answer;
        alert.beginSheetModalForWindow(nullptr, [&](int code) { answer = code; });
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), c.icon);
        QTest::keyClick(box, c.key);
        ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 2000));
        EXPECT_EQ(*answer, c.answer);
    }
}

// Two answers and no Cancel: the user must choose, unless the alert may be dismissed, when Escape
// and the close button leave it without a button. Return answers the default button, on a window
// or not.
TEST(Alert, ADismissibleAlertIsLeftByEscapeOrClosingAndReturnAnswersItsDefaultButton)
{
    enum class Leave { Escape, Close, Return };
    struct Case { bool dismissible; Leave leave; bool onWindow; std::optional<int> answer; };
    const QList<Case> cases{
        {false, Leave::Escape, false, std::nullopt},
        {false, Leave::Close, true, std::nullopt},
        {true, Leave::Escape, false, platform::Alert::DismissedReturn},
        {true, Leave::Escape, true, platform::Alert::DismissedReturn},
        {true, Leave::Close, false, platform::Alert::DismissedReturn},
        {true, Leave::Close, true, platform::Alert::DismissedReturn},
        {true, Leave::Return, true, 1001},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.dismissible << " " << int(c.leave) << " " << c.onWindow);
        platform::Window window;
        window.show();
        platform::Alert alert;
        alert.setMessageText("Both sides?");
        alert.addButtonWithTitle("Both Sides");
        alert.addButtonWithTitle("One Side");
        alert.setDefaultButtonReturn(1001);
        alert.setDismissible(c.dismissible);
        std::optional<int> answer;
        alert.beginSheetModalForWindow(c.onWindow ? &window : nullptr, [&](int code) { answer = code; });
        auto *box = qobject_cast<QMessageBox *>(c.onWindow ? window.attachedSheet() : QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->defaultButton()->text(), "One Side");
        if (c.leave == Leave::Close)
            box->close();
        else
            QTest::keyClick(box, c.leave == Leave::Escape ? Qt::Key_Escape : Qt::Key_Return);
        if (!c.answer) {
            QTest::qWait(50);
            EXPECT_TRUE(box->isVisible()) << "it waits for a button";
            box->buttons().first()->click();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 2000));
        EXPECT_EQ(*answer, c.answer.value_or(1000));
    }
}

// The check box and the pop-up reach the user, and come back as the user left them with the button's code.
TEST(Alert, CarriesTheCheckBoxAndThePopUpBothWays)
{
    platform::Alert alert;
    alert.setMessageText("Which printer?");
    alert.addButtonWithTitle("Select");
    alert.addButtonWithTitle("Cancel");
    alert.setShowsSuppressionButton(true);
    alert.setSuppressionButtonTicked(true);
    alert.setChoices({"Laser", "Inkjet", "Plotter"});
    alert.setSelectedChoice("Inkjet");
    std::optional<platform::Alert::Answer> answer;
    alert.beginSheetModalForWindow(nullptr, platform::Alert::AnswerCompletion([&](const platform::Alert::Answer &given) { answer = given; }));

    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    auto *popUp = box ? box->findChild<QComboBox *>() : nullptr;
    ASSERT_TRUE(popUp && box->checkBox());
    EXPECT_TRUE(box->checkBox()->isChecked());
    EXPECT_EQ(popUp->currentText(), "Inkjet");
    box->checkBox()->setChecked(false);
    popUp->setCurrentIndex(2);
    box->buttons()[1]->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }));
    EXPECT_EQ(answer->returnCode, 1001);
    EXPECT_FALSE(answer->suppressionButtonTicked);
    EXPECT_EQ(answer->selectedChoice, "Plotter");
}

// A long printer name is shown whole in the alert's pop-up, and is its tip.
TEST(Alert, APopUpOfPrinterNamesIsWideEnoughForTheLongest)
{
    const QString longest = "Duplex_Printer_On_The_Second_Floor_Next_To_The_Kitchen";
    platform::Alert alert;
    alert.setMessageText("Which printer?");
    alert.addButtonWithTitle("Select");
    alert.setChoices({"Laser", longest});
    alert.setSelectedChoice(longest);
    std::optional<int> answer;
    alert.beginSheetModalForWindow(nullptr, [&](int code) { answer = code; });
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    auto *popUp = box->findChild<QComboBox *>();
    ASSERT_NE(popUp, nullptr);
    QTest::qWait(10);
    EXPECT_GT(popUp->width(), popUp->fontMetrics().horizontalAdvance(longest));
    EXPECT_EQ(popUp->toolTip(), longest);
    box->buttons()[0]->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }));
}
