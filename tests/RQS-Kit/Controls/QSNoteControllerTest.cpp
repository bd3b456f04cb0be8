#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSNoteController.h"
#include "RQS-Kit/Controls/QSNoteControllerDelegate.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

namespace {

struct Recorder : QSNoteControllerDelegate
{
    void note(QSNoteController *, QSButton *button) override { closedBy = button; }
    QSButton *closedBy = nullptr;
};

// The window's height beyond the text area.
double chrome(QSNoteController &note)
{
    return note.titleTF()->sizeHint().height() + 166.0 + note.approveButton()->intrinsicContentSize().height();
}

} // namespace

TEST(QSNoteController, SizesItselfToItsTextAndStandsOnItsParent)
{
    rqs::registerKitClasses();
    platform::Window parent;
    parent.setGeometry(100, 200, 600, 400);
    parent.makeKeyAndOrderFront(nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
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
    }

    parent.resize(800, 400);
    const QRect onto = parent.frameGeometry();
    EXPECT_EQ(note.window()->x(), qRound(0.7 * onto.width() + onto.x() - note.window()->width() + 66)) << "after a resize";

    Recorder recorder;
    note.setDelegate(&recorder);
    note.approveButton()->click();
    EXPECT_EQ(recorder.closedBy, note.approveButton());
    EXPECT_FALSE(note.window()->isVisible());
    EXPECT_TRUE(parent.childWindows().isEmpty());

    note.attachToWindow(&parent, 0.2);
    EXPECT_TRUE(note.window()->isVisible());
    parent.close();
    EXPECT_FALSE(note.window()->isVisible()) << "the note goes with its parent";
}
