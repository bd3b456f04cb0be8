#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSButton.h"
#include "platform/ui/InterfaceLoader.h"

#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

TEST(QSButton, TitlesComeFromTheControlsTable)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeStringsTable(folder.path(), "en", "Controls", {{"OK", "Okay"}}));
    MainBundleScope bundle(folder.path());
    QSButton button;
    button.setTitle("OK");
    EXPECT_EQ(button.title(), "Okay");
}

TEST(KitClasses, InterfaceFilesMakeKitControls)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeStringsTable(folder.path(), "en", "Controls", {{"Print", "Print booklet"}}));
    MainBundleScope bundle(folder.path());
    const QString path = PdfFixture::write(folder.path(), "Panel.ui", R"(<ui version="4.0">
 <widget class="QSRoundedRect" name="panel">
  <widget class="QSTranslatingButton" name="print"><property name="text"><string>Print</string></property></widget>
 </widget></ui>)");
    rqs::registerKitClasses();
    const std::unique_ptr<QWidget> panel(platform::InterfaceLoader::loadFile(path, nullptr));
    ASSERT_TRUE(panel);
    EXPECT_STREQ(panel->metaObject()->className(), "QSRoundedRect");
    const auto *print = panel->findChild<QPushButton *>("print");
    ASSERT_TRUE(print);
    EXPECT_STREQ(print->metaObject()->className(), "QSTranslatingButton");
    EXPECT_EQ(print->text(), "Print booklet") << "translated once loaded";
}
