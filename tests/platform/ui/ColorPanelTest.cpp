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

// A well that wants to hear when another one takes the panel.
class ToldWell : public Well
{
    Q_OBJECT
public:
    Q_INVOKABLE void deactivate() { ++deactivations; }
    int deactivations = 0;
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

TEST(ColorPanel, TellsTheWellActiveBeforeThatAnotherTookThePanel)
{
    ColorPanel *panel = ColorPanel::sharedColorPanel();
    ToldWell first;
    Well second;
    ToldWell third;
    panel->activate(&first);
    panel->activate(&first);
    EXPECT_EQ(first.deactivations, 0) << "activated again, it stays";
    panel->activate(&second);
    EXPECT_EQ(first.deactivations, 1);
    panel->activate(&third);
    EXPECT_EQ(panel->activeWell(), &third) << "a well without the message is simply replaced";
    panel->deactivate(&third);
    EXPECT_EQ(third.deactivations, 0) << "a well deactivating itself is not told";
    panel->dialog()->hide();
}

#include "ColorPanelTest.moc"
