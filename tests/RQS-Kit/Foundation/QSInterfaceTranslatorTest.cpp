#include "RQS-Kit/Foundation/QSInterfaceTranslator.h"

#include "RQS-Kit/Foundation/QSTranslatingButton.h"
#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"
#include "TranslationResources.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

QStringList segmentLabels(const QTabBar &segments)
{
    QStringList labels;
    for (int segment = 0; segment < segments.count(); ++segment)
        labels.append(segments.tabText(segment));
    return labels;
}

} // namespace

TEST(QSInterfaceTranslator, TranslatesTheTextsOfALoadedWindow)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    LanguageScope german(QStringLiteral("de_DE"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Booklet"));
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    auto *label = new QLabel(QStringLiteral("Greeting"));
    auto *print = new QPushButton(QStringLiteral("Print"));
    print->setToolTip(QStringLiteral("Print the booklet"));
    auto *name = new QLineEdit;
    name->setPlaceholderText(QStringLiteral("Your name"));
    auto *group = new QGroupBox(QStringLiteral("Sheets"));
    auto *segments = new QTabBar;
    segments->addTab(QStringLiteral("Pages"));
    segments->addTab(QStringLiteral("Sheets"));
    auto *popUp = new QComboBox;
    popUp->addItems({QStringLiteral("Portrait"), QStringLiteral("Landscape")});
    auto *translating = new QSTranslatingButton;
    translating->setText(QStringLiteral("Print"));
    for (QWidget *widget : std::initializer_list<QWidget *>{label, print, name, group, segments, popUp, translating})
        layout->addWidget(widget);
    window.setCentralWidget(content);
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("File"));
    QAction *open = file->addAction(QStringLiteral("Open…"));

    QSInterfaceTranslator::translate(&window);

    EXPECT_EQ(window.windowTitle(), QStringLiteral("Heft"));
    EXPECT_EQ(label->text(), QStringLiteral("Hallo")) << "labels fall back to the default table";
    EXPECT_EQ(print->text(), QStringLiteral("Drucken"));
    EXPECT_EQ(print->toolTip(), QStringLiteral("Das Heft drucken"));
    EXPECT_EQ(name->placeholderText(), QStringLiteral("Ihr Name"));
    EXPECT_EQ(group->title(), QStringLiteral("Bögen"));
    EXPECT_EQ(segmentLabels(*segments), (QStringList{QStringLiteral("Seiten"), QStringLiteral("Bögen")}));
    EXPECT_EQ(popUp->itemText(0), QStringLiteral("Hochformat"));
    EXPECT_EQ(popUp->itemText(1), QStringLiteral("Landscape"));
    EXPECT_EQ(file->title(), QStringLiteral("Ablage"));
    EXPECT_EQ(open->text(), QStringLiteral("Öffnen…"));
    EXPECT_EQ(translating->text(), QStringLiteral("Print")) << "left to its own translation";

    translating->awakeFromNib();
    EXPECT_EQ(translating->text(), QStringLiteral("Drucken")) << "translated once";
}

TEST(QSInterfaceTranslator, AWindowTitleIsLookedUpInControlsAlone)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    LanguageScope german(QStringLiteral("de_DE"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Greeting"));

    QSInterfaceTranslator::translate(&window);

    EXPECT_EQ(window.windowTitle(), QStringLiteral("Greeting"));
}

TEST(QSTranslatingButton, TranslatesTitleAndToolTipThroughControls)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    LanguageScope german(QStringLiteral("de_DE"));
    QSTranslatingButton button;
    button.setText(QStringLiteral("Only English"));
    button.setToolTip(QStringLiteral("Print the booklet"));

    button.awakeFromNib();

    EXPECT_EQ(button.text(), QStringLiteral("English only")) << "the English table is the last fallback";
    EXPECT_EQ(button.toolTip(), QStringLiteral("Das Heft drucken"));
}

TEST(QSTranslatingSegmentedControl, TranslatesEverySegmentLabel)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    LanguageScope german(QStringLiteral("de_DE"));
    QSTranslatingSegmentedControl empty;
    empty.awakeFromNib();
    EXPECT_EQ(empty.count(), 0);

    QSTranslatingSegmentedControl segments;
    for (const char *label : {"Pages", "Unknown", "Sheets"})
        segments.addTab(QString::fromUtf8(label));
    segments.awakeFromNib();

    EXPECT_EQ(segmentLabels(segments), (QStringList{QStringLiteral("Seiten"), QStringLiteral("Unknown"), QStringLiteral("Bögen")}));
}
