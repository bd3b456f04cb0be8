#include "RQS-Kit/Controls/QSSlider.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffectSettingsView.h"
#include "RQS-Kit/Effects/QSEffectPicker.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Context.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/FxTestImages.h"

#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/QtPrinters.h"

namespace {

struct Chooser : QSEffectPickerDelegate
{
    void effectPickerPreviewing(QSEffectPicker &, std::unique_ptr<QSEffect> effect) override
    {
        previewed << (effect ? effect->name() : QStringLiteral("nothing"));
    }
    void effectPickerDidSelectEffect(QSEffectPicker &, std::unique_ptr<QSEffect> effect) override
    {
        chosen << (effect ? effect->name() : QString());
    }
    QStringList chosen, previewed;
};

} // namespace

TEST(QSEffectsCatalog, ThePickerListsTheCatalogAndReportsTheChoice)
{
    const QSEffectsCatalog catalog({QVariantMap{{"name", "bloom"}, {"ciName", "CIColorInvert"}},
                                    QVariantMap{{"name", "Blur"}, {"ciName", "QSGaussianBlurFilter"}}});
    EXPECT_EQ(catalog.sortedDisplayNames(), QStringList({"bloom", "Blur"}));
    QSEffectPicker picker(catalog);
    QStringList listed;
    for (QAction *item : picker.listMenu()->actions())
        listed << item->text();
    EXPECT_EQ(listed, QStringList({"Blur", "bloom"}));

    const auto chooser = std::make_shared<Chooser>();
    QWidget view;
    picker.showPickerOver(&view, chooser);
    picker.listMenu()->actions().at(1)->trigger();
    picker.listMenu()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(chooser->chosen, QStringList({"bloom"}));
}

// The pointer over an item previews its effect, over the next another; leaving the menu previews
// nothing, once, and coming back the item again. So again at the next showing of the same menu,
// which starts with the item last previewed.
TEST(QSEffectsCatalog, ThePickerPreviewsNothingWhenNoItemIsHighlighted)
{
    rqs::registerKitFilters();
    const QSEffectsCatalog catalog({QVariantMap{{"name", "bloom"}, {"ciName", "CIColorInvert"}},
                                    QVariantMap{{"name", "Blur"}, {"ciName", "QSGaussianBlurFilter"}}});
    QSEffectPicker picker(catalog);
    const auto chooser = std::make_shared<Chooser>();
    QWidget view;
    view.resize(400, 300);
    view.show();
    // The menu takes no move for one until the pointer has gone some way from where it opened.
    QTest::mouseMove(&view, {399, 0});
    for (int showing = 0; showing < 2; ++showing) {
        SCOPED_TRACE(showing);
        chooser->previewed.clear();
        picker.showPickerOver(&view, chooser);
        QMenu *menu = picker.listMenu();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        const QPoint blur = menu->actionGeometry(menu->actions().at(0)).center();
        const QPoint bloom = menu->actionGeometry(menu->actions().at(1)).center();
        QTest::mouseMove(menu, bloom);
        QTest::mouseMove(menu, blur);
        QTest::mouseMove(menu, {menu->width() + 40, blur.y()});
        QTest::mouseMove(menu, {menu->width() + 60, blur.y() + 20});
        QTest::mouseMove(menu, blur);
        QTest::mouseMove(menu, bloom);
        EXPECT_EQ(chooser->previewed, QStringList({"bloom", "Blur", "nothing", "Blur", "bloom"}));
        menu->close();
        QCoreApplication::processEvents();
        QTest::mouseMove(&view, {399, 0});
    }
    EXPECT_EQ(chooser->chosen, QStringList({"", ""}));
}

// Every effect the application offers makes its filter, names only inputs the filter has, and
// its defaults lie within its controls' ranges.
TEST(QSEffectsCatalog, TheResourceDescribesFiltersThatExist)
{
    const QSEffectsCatalog &catalog = QSEffectsCatalog::shared();
    ASSERT_FALSE(catalog.sortedDisplayNames().isEmpty());
    platform::LogCapture log;
    for (const QString &name : catalog.sortedDisplayNames()) {
        const std::unique_ptr<QSEffect> effect = catalog.effectForDisplayName(name);
        ASSERT_TRUE(effect) << name.toStdString();
        for (const QVariant &entry : effect->settingsUI())
            EXPECT_TRUE(effect->filter()->attributes().contains(entry.toMap().value("inputName").toString())) << name.toStdString();
    }
    EXPECT_TRUE(log.lines().filter("Warning: ").isEmpty()) << log.lines().join('\n').toStdString();
}

TEST(QSEffectsCatalog, FxRenderChainsEffectsFromStoredSettings)
{
    QTemporaryDir folder;
    const platform::fx::Image picture = fxtest::ramp(4, 3);
    const QImage input = platform::fx::Context::toQImage(*platform::fx::Context().render(picture), QImage::Format_RGBA8888);
    ASSERT_TRUE(input.save(folder.filePath("in.png")));
    QFile chain(folder.filePath("chain.json"));
    ASSERT_TRUE(chain.open(QIODevice::WriteOnly));
    chain.write(R"([{"name": "RotateColors", "inputAngle": 0.25}, {"name": "Invert", "isEnabled": false}])");
    chain.close();
    QProcess tool;
    tool.start(QStringLiteral(FOLDWISE_FX_RENDER),
               {"--effects", chain.fileName(), folder.filePath("in.png"), folder.filePath("out.png"), "--dump-settings"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().constData();
    EXPECT_TRUE(tool.readAllStandardOutput().startsWith(R"([{"inputAngle":0.25,"isEnabled":true,"name":"RotateColors")"));

    rqs::registerKitFilters();
    const auto rotate = platform::fx::FilterRegistry::create("QSRotateColorFilter");
    ASSERT_TRUE(rotate);
    rotate->setDefaults();
    rotate->setValueForKey("inputImage", QVariant::fromValue(platform::fx::Image::fromFile(folder.filePath("in.png"))));
    rotate->setValueForKey("inputAngle", 0.25);
    const QImage expected = platform::fx::Context::toQImage(*platform::fx::Context().render(rotate->outputImage()),
                                                            QImage::Format_RGBA8888);
    EXPECT_EQ(QImage(folder.filePath("out.png")).convertToFormat(QImage::Format_RGBA8888), expected);
}

// The shipped Reflection's Distance slider, at its two ends on a 400 × 300 picture: at 0 the
// mirror (half the picture's height, at 0.4 of its strength) hangs right below it; at the
// slider's end it hangs a fifth of the picture's shorter side lower, with nothing in the gap.
TEST(QSEffectsCatalog, TheReflectionsDistanceSliderMovesTheMirrorVisibly)
{
    rqs::registerKitFilters();
    const auto effect = QSEffectsCatalog::effectForSettings({{"name", "Reflection"}});
    ASSERT_TRUE(effect);
    const platform::fx::Pixel colour{0.8f, 0.4f, 0.2f, 1};
    effect->setInputImage(fxtest::filled({0, 0, 400, 300}, colour));
    QSEffectSettingsView *panel = effect->settingsView();
    auto *slider = qobject_cast<QSSlider *>(panel->settingsControls().value(int(panel->boundSettings().indexOf("inputDistance"))));
    ASSERT_TRUE(slider);
    const platform::fx::Pixel mirrored{0.32f, 0.16f, 0.08f, 0.4f};
    const struct
    {
        double (QSSlider::*end)() const;
        QRectF extent;
        int gap;
    } ends[] = {{&QSSlider::minValue, {0, -150, 400, 450}, 0}, {&QSSlider::maxValue, {0, -210, 400, 510}, 60}};
    for (const auto &end : ends) {
        slider->setDoubleValue((slider->*end.end)());
        panel->controlValueChanged(slider);
        const platform::fx::Image output = effect->outputImage();
        EXPECT_EQ(output.extent(), end.extent) << end.gap;
        EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(output, 200, -end.gap - 1), mirrored, 1e-4f)) << end.gap;
        EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(output, 200, -end.gap - 150), mirrored, 1e-4f)) << end.gap;
        if (end.gap > 0) {
            EXPECT_TRUE(fxtest::near(fxtest::renderedPixel(output, 200, -end.gap / 2), {}, 1e-4f)) << end.gap;
        }
    }
}
