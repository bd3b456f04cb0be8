#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSInfoHoverButton.h"

#include "support/PlacedPointer.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

QPoint placeOfPicture(QSHoverWindowController &controller)
{
    platform::Window *hover = controller.window();
    return hover->pos() + controller.property("imageView").value<QSImageView *>()->mapTo(hover, QPoint(0, 0));
}

} // namespace

// Hovering an info button opens a window whose picture of the button lies exactly over it, with the
// title and description below; hovered again at another place, the open window glides there and
// is not added twice; leaving it closes it.
TEST(InfoHoverButton, ItsWindowRepeatsTheButtonOverItGlidesAlongAndClosesWhenLeft)
{
    rqs::registerKitClasses();
    platform::Window window;
    window.resize(400, 300);
    auto *button = new QSInfoHoverButton(&window);
    button->setName("DefaultStyle");
    button->setTitle("Info");
    button->setGeometry(40, 50, 90, 26);
    button->setInfoTitle("Stapling");
    button->setInfoDescription("Marks where the staples go on the outer sheet, so that the booklet can be bound by hand "
                               "or by a print shop.");
    placePointerAway();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSHoverWindowController *controller = button->hoverWC();
    EXPECT_EQ(button->infoTitle(), "Stapling");

    button->setButtonState(2);
    platform::Window *hover = controller->window();
    ASSERT_TRUE(hover->isVisible());
    EXPECT_EQ(placeOfPicture(*controller), button->mapToGlobal(QPoint(0, 0))) << "the picture lies over the button";
    auto *picture = controller->property("imageView").value<QSImageView *>();
    EXPECT_EQ(picture->image().size(), button->grab().toImage().size());
    EXPECT_EQ(picture->image().pixelColor(45, 13), button->grab().toImage().pixelColor(45, 13));
    const int descriptionHeight = controller->descriptionTF()->heightForWidth(200);
    EXPECT_EQ(hover->height(), 26 + descriptionHeight + 34) << "the window fits the wrapped description";
    EXPECT_GT(descriptionHeight, controller->titleTF()->sizeHint().height()) << "the description wraps";

    const QPoint before = hover->pos();
    button->move(160, 120);
    button->setButtonState(1);
    button->setButtonState(2);
    const QPoint target = button->mapToGlobal(QPoint(0, 0));
    EXPECT_NE(placeOfPicture(*controller), target) << "it glides instead of jumping";
    EXPECT_TRUE(QTest::qWaitFor([&] { return placeOfPicture(*controller) == target; }, 2000));
    EXPECT_NE(hover->pos(), before);
    EXPECT_EQ(window.childWindows().size(), 1) << "an open window is not added again";

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(controller->property("trackView").value<QWidget *>(), &leave);
    EXPECT_FALSE(hover->isVisible());
    EXPECT_TRUE(window.childWindows().isEmpty());
}
