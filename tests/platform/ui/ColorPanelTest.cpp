#include "platform/ui/ColorPanel.h"

#include <gtest/gtest.h>

#include <QColorDialog>

using platform::ColorPanel;

namespace {

class Well : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void changeColor(QObject *sender) { received << static_cast<ColorPanel *>(sender)->color(); }
    QList<QColor> received;
};

} // namespace

TEST(ColorPanel, KeepsOneActiveWellAndDoesNotEchoTheColourItIsGivenButSendsTheUsersPick)
{
    ColorPanel *panel = ColorPanel::sharedColorPanel();
    QColorDialog *dialog = panel->dialog();
    EXPECT_TRUE(dialog->testOption(QColorDialog::NoButtons));
    EXPECT_TRUE(dialog->testOption(QColorDialog::DontUseNativeDialog));
    EXPECT_FALSE(dialog->isModal());

    Well first, second;
    panel->activate(&first);
    panel->setShowsAlpha(false);
    panel->setColor(Qt::red);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_TRUE(first.received.isEmpty()) << "the panel's own colour is no pick";

    dialog->setCurrentColor(Qt::blue);
    EXPECT_EQ(first.received, QList<QColor>{QColor(Qt::blue)});

    panel->activate(&second);
    panel->setShowsAlpha(true);
    EXPECT_EQ(panel->activeWell(), &second);
    EXPECT_TRUE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    dialog->setCurrentColor(Qt::green);
    EXPECT_EQ(first.received.size(), 1) << "only the active well hears the panel";
    EXPECT_EQ(second.received, QList<QColor>{QColor(Qt::green)});

    panel->deactivate(&first);
    EXPECT_EQ(panel->activeWell(), &second) << "a well that is not active deactivates nothing";
    panel->deactivate(&second);
    EXPECT_EQ(panel->activeWell(), nullptr);
    dialog->hide();
}

#include "ColorPanelTest.moc"
