#include "RQS-Kit/Controls/QS3DView.h"
#include "RQS-Kit/Controls/QSBasicListEntryView.h"
#include "RQS-Kit/Controls/QSDragButton.h"
#include "RQS-Kit/Controls/QSListView.h"
#include "RQS-Kit/Controls/QSOpenableListEntryView.h"
#include "RQS-Kit/Controls/QSRowView.h"
#include "platform/layers/Layer.h"
#include "platform/ui/FrameAnimation.h"
#include "platform/ui/ViewEffects.h"

#include "support/Desktop.h"
#include "support/PixelProbe.h"
#include "support/Screenshot.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

// Keys and the pointer through the X server, as a user presses and moves them, under openbox.

namespace {

QString display() { return qEnvironmentVariable("DISPLAY"); }

void press(const QString &key) { xdotool(display(), {"key", "--clearmodifiers", key}); }

void movePointer(const QPoint &global)
{
    xdotool(display(), {"mousemove", "--sync", QString::number(global.x()), QString::number(global.y())});
}


// A field, a list of three rows (two plain ones with every button, one that opens) and a push
// button after it, in that order of keyboard focus.
struct ListWindow
{
    QWidget window;
    QLineEdit *before = new QLineEdit(&window);
    QSListView *list = new QSListView(&window);
    QPushButton *after;
    QList<QSListEntryView *> rows;

    ListWindow()
    {
        window.setGeometry(200, 150, 380, 320);
        before->setGeometry(10, 10, 200, 24);
        list->setGeometry(10, 44, 349, 220);
        const quint64 everything = QSListEntryView::Removable | QSListEntryView::Draggable | QSListEntryView::CopyPaste;
        for (const char *title : {"A", "B"}) {
            auto *row = new QSBasicListEntryView(everything);
            row->setTitle(QString::fromLatin1(title));
            rows << row;
        }
        rows << new QSOpenableListEntryView(QSListEntryView::Removable | QSListEntryView::Draggable);
        rows.last()->setTitle(QStringLiteral("C"));
        for (QSListEntryView *row : std::as_const(rows))
            list->addListEntry(row);
        list->updateListLayout(QSListView::Immediate);
        after = new QPushButton(QStringLiteral("After"), &window);
        after->setGeometry(10, 280, 100, 28);
    }
    QList<QRectF> frames() const
    {
        QList<QRectF> all;
        for (QSListEntryView *row : list->entries())
            all << row->frame();
        return all;
    }
    bool anyShadow() const
    {
        for (QSListEntryView *row : list->entries()) {
            if (platform::viewShadow(row))
                return true;
        }
        return false;
    }
    QRect onScreen() const { return QRect(window.mapToGlobal(QPoint(0, 0)), window.size()); }
};

} // namespace

// Faded out, a row's buttons are not there for the keyboard: Tab goes from the field to the push
// button after the list, and Space clicks that, leaving every row in its slot without a drag
// shadow. Over a row its buttons show and Tab reaches them, all but the drag handle, which no key
// can drive; the focused one wears a ring, and Space clicks it.
TEST(ListRowsOnDesktop, TabPassesTheRowButtonsNotShownAndSpaceOnAShownOneClicksIt)
{
    FOLDWISE_REQUIRE_DESKTOP();
    platform::FrameAnimation::setDefaultDuration(0);
    const auto restore = qScopeGuard([] { platform::FrameAnimation::setDefaultDuration(0.25); });
    ListWindow scene;
    scene.window.show();
    scene.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&scene.window, DesktopTimeout));
    movePointer(scene.onScreen().bottomRight() + QPoint(60, 60));
    EXPECT_TRUE(settle());
    const QList<QRectF> places = scene.frames();
    QSignalSpy clicked(scene.after, &QPushButton::clicked);

    scene.before->setFocus();
    press("Tab");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() != scene.before; }, DesktopTimeout));
    EXPECT_EQ(QApplication::focusWidget(), scene.after)
        << "focus went to " << QApplication::focusWidget()->metaObject()->className();
    press("space");
    EXPECT_TRUE(settle());
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(scene.frames(), places) << "every row in its slot";
    EXPECT_FALSE(scene.anyShadow()) << "no row is being dragged";
    EXPECT_EQ(scene.list->entries().size(), 3);
    saveScreenshot(paintedScreen(&scene.window).copy(scene.onScreen()), QStringLiteral("list-after-tab-and-space"));

    auto *b = static_cast<QSBasicListEntryView *>(scene.rows.at(1));
    movePointer(b->mapToGlobal(b->rect().center()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return platform::viewAlpha(b->removeButton()) == 1.0; }, DesktopTimeout));
    QSButton *remove = b->removeButton();
    const QPoint ringPixel = remove->mapToGlobal(QPoint(1, remove->height() / 2));
    const QColor unfocused = paintedScreen(&scene.window).pixelColor(ringPixel);
    scene.before->setFocus();
    press("Tab");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() != scene.before; }, DesktopTimeout));
    EXPECT_EQ(QApplication::focusWidget(), remove) << "the shown remove button comes first, the handle never";
    const QColor highlight = remove->palette().color(QPalette::Highlight);
    EXPECT_TRUE(QTest::qWaitFor([&] { return PixelProbe::isNear(screenNow(), ringPixel, highlight, 40); }, DesktopTimeout))
        << "a ring of " << highlight.name().toStdString() << " where the unfocused button shows "
        << unfocused.name().toStdString() << ", now " << PixelProbe::describe(screenNow(), ringPixel).toStdString();
    const QImage focused = paintedScreen(&scene.window);
    saveScreenshot(focused.copy(scene.onScreen()), QStringLiteral("list-focused-remove-button"));
    const QRect around(remove->mapToGlobal(QPoint(-8, -8)), remove->size() + QSize(16, 16));
    saveScreenshot(focused.copy(around).scaled(around.size() * 10), QStringLiteral("list-focused-remove-button-enlarged"));
    press("space");
    EXPECT_TRUE(QTest::qWaitFor([&] { return scene.list->entries().size() == 2; }, DesktopTimeout)) << "Space removes the row";
    EXPECT_FALSE(scene.list->entries().contains(b));
}

namespace {

// A 3-D view filling a window, with one subview turned about the vertical axis that holds a field.
struct TurnedField
{
    QWidget window;
    QS3DView *view = new QS3DView(&window);
    platform::View *subview = new platform::View;
    QLineEdit *field = new QLineEdit(subview);
    QLineEdit *outside = new QLineEdit(&window);

    TurnedField()
    {
        window.setGeometry(200, 150, 320, 340);
        outside->setGeometry(10, 305, 200, 24);
        view->setFrame(QRectF(0, 40, 320, 300));
        subview->setFrame(QRectF(60, 60, 200, 120));
        field->setGeometry(20, 40, 160, 30);
        view->addSubview(subview);
        QMatrix4x4 turn;
        turn.rotate(35, 0, 1, 0);
        subview->layer()->setTransform(turn);
    }
    // Where a point of the subview (Qt's y-down) is shown on the screen.
    QPoint shown(const QPoint &inSubview) const
    {
        const QPointF up(inSubview.x(), subview->height() - inSubview.y());
        const QPointF inView = subview->layer()->convertPointToLayer(up, view->layer());
        return view->mapToGlobal(QPoint(qRound(inView.x()), qRound(view->height() - inView.y())));
    }
};

} // namespace

// The field gets the press where it is shown turned, and with it the focus, so what is typed next
// arrives in it.
TEST(ThreeDViewOnDesktop, AClickWhereATurnedFieldIsShownGivesItTheFocusAndTheTypedText)
{
    FOLDWISE_REQUIRE_DESKTOP();
    TurnedField scene;
    scene.window.show();
    scene.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&scene.window, DesktopTimeout));
    scene.outside->setFocus();
    const QPoint at = scene.shown(scene.field->geometry().center());
    ASSERT_NE(at, scene.field->mapToGlobal(scene.field->rect().center())) << "shown elsewhere than Qt places it";

    movePointer(at);
    xdotool(display(), {"click", "1"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return scene.field->hasFocus(); }, DesktopTimeout))
        << "focus is on " << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "nothing");
    xdotool(display(), {"type", "--delay", "20", "turned"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return scene.field->text() == "turned"; }, DesktopTimeout)) << scene.field->text().toStdString();
    EXPECT_TRUE(scene.outside->text().isEmpty());
}
