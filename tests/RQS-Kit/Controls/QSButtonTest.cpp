#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSSymbolButton.h"
#include "platform/ui/InterfaceLoader.h"

#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

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
    const double shortWidth = button.intrinsicContentSize().width();
    button.setTitle("A title of its own");
    EXPECT_EQ(button.title(), "A title of its own");
    EXPECT_GT(button.intrinsicContentSize().width(), shortWidth);
}

TEST(KitClasses, InterfaceFilesMakeKitControlsWithTheirSettings)
{
    QTemporaryDir folder;
    const QString path = PdfFixture::write(folder.path(), "Panel.ui", R"(<ui version="4.0">
 <widget class="QSRoundedRect" name="panel">
  <widget class="QSButton" name="okButton"><property name="text"><string>OK</string></property></widget>
  <widget class="QSSymbolButton" name="paperPreviewButton">
   <property name="flexibleSize" stdset="0"><bool>true</bool></property>
  </widget>
 </widget></ui>)");
    ASSERT_FALSE(path.isEmpty());
    rqs::registerKitClasses();
    const std::unique_ptr<QWidget> panel(platform::InterfaceLoader::loadFile(path, nullptr));
    ASSERT_TRUE(panel);
    EXPECT_STREQ(panel->metaObject()->className(), "QSRoundedRect");
    EXPECT_TRUE(panel->findChild<QSButton *>("okButton"));
    const auto *symbol = panel->findChild<QSSymbolButton *>("paperPreviewButton");
    ASSERT_TRUE(symbol);
    EXPECT_TRUE(symbol->flexibleSize());
}
