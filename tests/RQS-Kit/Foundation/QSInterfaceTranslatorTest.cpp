#include "RQS-Kit/Foundation/QSInterfaceTranslator.h"

#include "RQS-Kit/Foundation/QSTranslatingButton.h"
#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"
#include "TranslationResources.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

TEST(QSInterfaceTranslator, TranslatesTheTextsOfALoadedWindowAndTranslatingControlsThroughControlsWithEnglishLast)
{
    TranslationResources resources;
    ASSERT_TRUE(resources.isValid());
    QMainWindow window;
    window.setWindowTitle("Booklet");
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    auto *label = new QLabel(QStringLiteral("Greeting"));
    auto *print = new QPushButton(QStringLiteral("Print"));
    print->setToolTip("Print the booklet");
    auto *name = new QLineEdit;
    name->setPlaceholderText("Your name");
    auto *group = new QGroupBox(QStringLiteral("Sheets"));
    auto *segments = new QTabBar;
    segments->addTab("Pages");
    auto *translating = new QSTranslatingButton;
    translating->setText("Print");
    for (QWidget *widget : std::initializer_list<QWidget *>{label, print, name, group, segments, translating})
        layout->addWidget(widget);
    window.setCentralWidget(content);
    QMenu *file = window.menuBar()->addMenu("File");

    QSInterfaceTranslator::translate(&window);

    EXPECT_EQ(window.windowTitle(), "Heft");
    EXPECT_EQ(label->text(), "Hallo") << "labels fall back to the default table";
    EXPECT_EQ(print->text(), "Drucken");
    EXPECT_EQ(print->toolTip(), "Das Heft drucken");
    EXPECT_EQ(name->placeholderText(), "Ihr Name");
    EXPECT_EQ(group->title(), "Bögen");
    EXPECT_EQ(segments->tabText(0), "Seiten");
    EXPECT_EQ(file->title(), "Ablage");
    translating->awakeFromNib();
    EXPECT_EQ(translating->text(), "Drucken") << "left to its own translation, so translated once";

    // Translating buttons and segments go through Controls with English last.
    QSTranslatingButton button;
    button.setText("Only English");
    button.awakeFromNib();
    EXPECT_EQ(button.text(), "English only") << "the English table is the last fallback";
    QSTranslatingSegmentedControl translatingSegments;
    translatingSegments.addTab("Pages");
    translatingSegments.awakeFromNib();
    EXPECT_EQ(translatingSegments.tabText(0), "Seiten");
}
