#include "RQS-Kit/Foundation/ViewExtension.h"

#include <gtest/gtest.h>

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPushButton>

namespace {

// Keeps its width at twice its height, as an aspect constraint would.
class WideView : public QWidget
{
public:
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width / 2; }
};

} // namespace

TEST(ViewExtension, ANamedShadowBecomesTheViewsDropShadowAndTextColourAndTheRatioFollowsTheProportionsKept)
{
    // The application's "Button" preset: one point down, white text.
    QLabel label;
    rqs::setShadowName(&label, "Button");
    auto *effect = qobject_cast<QGraphicsDropShadowEffect *>(label.graphicsEffect());
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->offset(), QPointF(0, 1)) << "y-up -1 is one pixel down";
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::white));
    rqs::setShadowName(&label, "NoSuchShadow");
    EXPECT_EQ(label.graphicsEffect(), nullptr);

    QPushButton button; // no text of its own: only the shadow
    const QPalette before = button.palette();
    rqs::setShadowName(&button, "Glow");
    ASSERT_NE(qobject_cast<QGraphicsDropShadowEffect *>(button.graphicsEffect()), nullptr);
    EXPECT_EQ(button.palette(), before);

    // The ratio of a view: its frame, or the proportions it keeps.
    const struct { const char *name; bool keepsProportions; QSize size; double expected; } cases[] = {
        {"frame", false, QSize(300, 150), 2.0},
        {"frame without height", false, QSize(300, 0), 1.0},
        {"proportions against the frame", true, QSize(100, 100), 2.0},
    };
    for (const auto &c : cases) {
        QWidget plain;
        WideView wide;
        QWidget &view = c.keepsProportions ? wide : plain;
        view.resize(c.size);
        EXPECT_DOUBLE_EQ(rqs::ratio(&view), c.expected) << c.name;
    }
}
