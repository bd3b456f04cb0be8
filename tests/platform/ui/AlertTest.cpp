#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

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
