#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSSymbolButton.h"
#include "RQS-Kit/Controls/QSSymbolRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/InterfaceLoader.h"

#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"
#include "support/PixelProbe.h"
#include "support/QtPrinters.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

namespace {

// Fills the lower half (y-up) of the size given.
QSSymbolRegistry::Drawing lowerHalf(const QColor &color)
{
    return [color](const QSizeF &size) {
        platform::GraphicsContext *context = platform::GraphicsContext::current();
        context->setFill(color);
        context->fillRect(QRectF(0, 0, size.width(), size.height() / 2));
    };
}

} // namespace

TEST(KitControls, ButtonTitlesAndTheTextsOfKitControlsFromInterfaceFilesComeFromTheControlsTable)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeStringsTable(folder.path(), "en", "Controls", {{"OK", "Okay"}, {"Print", "Print booklet"}}));
    MainBundleScope bundle(folder.path());
    QSButton button;
    button.setTitle("OK");
    EXPECT_EQ(button.title(), "Okay");

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

TEST(QSSymbolButton, DrawsTheStatesDrawingUprightWithTheStatesShadowAndWarnsOnceOfAnUnknownSymbol)
{
    // Lifted is a symbol of its own, so that no other case casts its shadow.
    for (const auto &[operation, color] : {std::pair{"drawDotWithSize", Qt::red}, {"drawDotDownWithSize", Qt::green},
                                           {"drawDotDisabledWithSize", Qt::blue}, {"drawDot", Qt::yellow}, {"drawLiftedWithSize", Qt::red}})
        QSSymbolRegistry::registerOperation("TestKit", operation, lowerHalf(color));
    QSSymbolRegistry::registerShadow("TestKit", "shadowForLiftedDown", [] { return platform::Shadow{Qt::black, {0, 8}, 0}; });
    const QColor clear = Qt::transparent;
    const struct {
        const char *symbol;
        bool flexible, enabled, down;
        QColor lower, upper;
    } cases[] = {
        {"Dot", true, true, false, Qt::red, clear},       {"Dot", true, true, true, Qt::green, clear},
        {"Dot", true, false, false, Qt::blue, clear},     {"Dot", true, false, true, Qt::blue, clear},
        {"Dot", false, true, true, Qt::yellow, clear},    {"Lifted", true, true, false, Qt::red, clear},
        {"Lifted", true, true, true, Qt::red, Qt::black}, {"Nowhere", true, true, false, clear, clear},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.symbol << " flexible, enabled, down: " << c.flexible << c.enabled << c.down);
        QSSymbolButton button;
        button.resize(40, 20);
        button.setStyleKitName("TestKit");
        button.setSymbolName(c.symbol);
        button.setFlexibleSize(c.flexible);
        button.setEnabled(c.enabled);
        button.setMouseDown(c.down);
        platform::LogCapture log;
        const QImage image = PixelProbe::drawn(button);
        PixelProbe::drawn(button);
        // The upper half shows the down state's shadow, 8 points up, or nothing.
        EXPECT_EQ(PixelProbe::mismatches(image, {{{20, 15}, c.lower}, {{20, 4}, c.upper}}), QStringList());
        EXPECT_EQ(log.lines().size(), c.lower == clear ? 1 : 0) << "only the unknown symbol warns, and once";
    }
}
