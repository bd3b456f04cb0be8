#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSRowView.h"
#include "platform/ui/ViewEffects.h"
#include "support/PlacedPointer.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

struct HoverClient : QObject, QSRowViewDelegate
{
    QList<bool> hovers;
    void rowChangedHover(QSRowView *, bool hovered) override { hovers << hovered; }
};

} // namespace

// Every row shows its buttons while the pointer is over it; only a hoverable one tells its
// delegate, once for each change, which a list uses to open rows under the pointer.
TEST(RowView, OnlyAHoverableRowTellsItsDelegateOfItsHoverAndEveryRowShowsItsButtons)
{
    for (const bool hoverable : {false, true}) {
        SCOPED_TRACE(hoverable ? "hoverable" : "not hoverable");
        QWidget window;
        window.setGeometry(300, 300, 400, 100);
        auto *row = new QSRowView(&window);
        row->setGeometry(0, 0, 300, 58);
        row->setDeletable(true);
        HoverClient client;
        row->setDelegate(&client);
        EXPECT_FALSE(row->hoverable()) << "not hoverable unless asked";
        row->setHoverable(hoverable);
        placePointerAway();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_NE(row->removeButton(), nullptr);
        EXPECT_FALSE(row->isHovered());

        const QPoint inside(150, 30), outside(350, 80);
        for (const QPoint &at : {inside, inside, outside, inside, outside}) {
            QTest::mouseMove(row, at);
            const bool over = at == inside;
            EXPECT_EQ(row->isHovered(), over);
            EXPECT_TRUE(QTest::qWaitFor([&] { return platform::viewAlpha(row->removeButton()) == (over ? 1.0 : 0.0); }, 5000))
                << "the remove button's alpha is " << platform::viewAlpha(row->removeButton());
        }
        EXPECT_EQ(client.hovers, hoverable ? (QList<bool>{true, false, true, false}) : QList<bool>());
    }
}
