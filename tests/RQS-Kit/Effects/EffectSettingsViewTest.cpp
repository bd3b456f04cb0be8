#include "RQS-Kit/Controls/QSColorWell.h"
#include "RQS-Kit/Controls/QSSlider.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffect.h"
#include "RQS-Kit/Effects/QSEffectResourceStore.h"
#include "RQS-Kit/Effects/QSEffectSettingsHost.h"
#include "RQS-Kit/Effects/QSEffectSettingsView.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/fx/FilterRegistry.h"

#include <QFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <gtest/gtest.h>

#include "NamedPicturesFixture.h"
#include <QComboBox>

using platform::fx::Color;

namespace {

// An effect in miniature over a real kit filter, whose width input is relative.
struct Host : QObject, QSEffectSettingsHost
{
    std::unique_ptr<platform::fx::Filter> shown;
    QVariantMap ui, stored, edits;
    QStringList order;
    QString effectName() const override { return "Border"; }
    QVariantMap settingsUI() const override { return ui; }
    QStringList settingsUIOrder() const override { return order; }
    platform::fx::Filter *filter() const override { return shown.get(); }
    QVariant settingsValueForKey(const QString &key) const override { return stored.value(key); }
    bool setValueForKey(const QString &key, const QVariant &value) override
    {
        edits.insert(key, value);
        return true;
    }
    void storeSetting(const QString &key, const QVariant &value) override { stored.insert(key, value); }
    void setImageResource(const QString &, const QString &) override {}
    bool isRelative(const QString &key) const override { return key == "inputWidth"; }
    double effectProportion() const override { return 0; }
};

void threeRows(Host &host)
{
    rqs::registerKitFilters();
    host.shown = platform::fx::FilterRegistry::create("QSShapedBorderFilter");
    host.ui = {{"Width", QVariantMap{{"type", 0}, {"inputName", "inputWidth"}}},
               {"Colour", QVariantMap{{"type", 2}, {"inputName", "inputColor"}, {"hasAlpha", true}}}};
    host.order = {"Width", "Colour", "Missing"};
}

double yUp(const QWidget &panel, const QWidget *child) { return panel.height() - child->geometry().bottom() - 1; }

} // namespace

TEST(EffectSettingsView, ThreeEntriesHangFromTheTop)
{
    Host host;
    threeRows(host);
    platform::LogCapture log;
    QSEffectSettingsView panel(&host);
    EXPECT_TRUE(log.contains("Warning: settingsUI Description for 'Missing' is missing in Effect 'Border'"));
    EXPECT_EQ(panel.size(), QSize(300, 76));
    ASSERT_EQ(panel.titles().size(), 3);
    EXPECT_EQ(yUp(panel, panel.titles()[0]), 56);
    EXPECT_EQ(yUp(panel, panel.titles()[1]), 29);
    EXPECT_EQ(yUp(panel, panel.titles()[2]), 2);
    EXPECT_EQ(panel.boundSettings(), QStringList({"inputWidth", "inputColor"}));
    auto *slider = qobject_cast<QSSlider *>(panel.settingsControls()[0]);
    ASSERT_TRUE(slider);
    EXPECT_DOUBLE_EQ(slider->maxValue(), 0.2);
    EXPECT_EQ(slider->geometry(), QRect(110, 3, 190, 15));
    panel.show();
    panel.resize(400, 76);
    EXPECT_EQ(slider->width(), 290);
    EXPECT_EQ(panel.settingsControls()[1]->geometry(), QRect(110, 76 - 27 - 22, 45, 22));
}

TEST(EffectSettingsView, RelativeInputShownAsProportion)
{
    Host host;
    threeRows(host);
    host.shown->setValueForKey("inputImage", QVariant::fromValue(platform::fx::Image::fromQImage(QImage(1500, 500, QImage::Format_ARGB32))));
    host.shown->setValueForKey("inputWidth", 10.0);
    QSEffectSettingsView panel(&host);
    EXPECT_DOUBLE_EQ(host.stored.value("inputWidth").toDouble(), 0.02);
    EXPECT_TRUE(host.edits.isEmpty());
}

TEST(EffectSettingsView, GreyFromTheWellKeepsItsShadeAndOpacity)
{
    Host host;
    threeRows(host);
    QSEffectSettingsView panel(&host);
    auto *well = qobject_cast<QSColorWell *>(panel.settingsControls()[1]);
    ASSERT_TRUE(well);
    well->setColor(QColor::fromRgbF(0.4f, 0.4f, 0.4f, 0.5f));
    panel.controlValueChanged(well);
    const Color picked = host.edits.value("inputColor").value<Color>();
    EXPECT_NEAR(picked.r, 0.4, 1e-4);
    EXPECT_NEAR(picked.b, 0.4, 1e-4);
    EXPECT_NEAR(picked.a, 0.5, 1e-4);
}

TEST(EffectResourceStore, CopiesOutliveTheTemporaryFolderAndAMissingOneIsNoImage)
{
    QTemporaryDir chosen;
    QFile(chosen.filePath("photo.png")).open(QIODevice::WriteOnly);
    const QString name = QSEffectResourceStore::storeCopyOf(QUrl::fromLocalFile(chosen.filePath("photo.png")));
    EXPECT_TRUE(name.startsWith("EffectResource-") && name.endsWith(".png") && name.size() == 29) << name.toStdString();
    const QString path = QSEffectResourceStore::pathForResource(name);
    EXPECT_TRUE(path.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    QFile::remove(path);
    platform::LogCapture log;
    EXPECT_TRUE(QSEffectResourceStore::pathForResource(name).isEmpty());
    EXPECT_TRUE(log.contains("Warning: "));
}

TEST_F(NamedPictures, PopUpOffersAMaskAddedWhenItsNotificationIsPosted)
{
    write("Masks", "RQS-M#001#Half.png", picture({2, 2}, Qt::white));
    auto effect = QSEffect::withDescription(
        {{"name", "Mask"}, {"ciName", "QSMaskImageFilter"}, {"settingsUIOrder", QStringList{"Mask"}},
         {"settingsUI", QVariantMap{{"Mask", QVariantMap{{"type", 1}, {"inputName", "inputMaskName"}, {"notification", "MasksChanged"}}}}}});
    ASSERT_TRUE(effect);
    QSEffectSettingsView *panel = effect->settingsView();
    auto *popUp = qobject_cast<QComboBox *>(panel->settingsControls().value(0));
    ASSERT_TRUE(popUp);
    write("Masks", "RQS-M#000#Star.png", picture({2, 2}, Qt::white));
    auto *center = platform::NotificationCenter::defaultCenter();
    center->post("MasksChanged");
    ASSERT_EQ(popUp->count(), 2);
    EXPECT_EQ(popUp->itemText(0), "RQS-M#000#Star");
    EXPECT_EQ(popUp->currentText(), "RQS-M#001#Half");
    const int observations = center->observationCount();
    delete panel;
    EXPECT_EQ(center->observationCount(), observations - 1);
}

// A shipped effect's panel placed in a window outlives the effect: its controls, clicked and keyed
// afterwards, edit nothing, and the panel stays.
TEST(EffectSettingsView, APanelInAWindowClickedAfterItsEffectWentEditsNothing)
{
    rqs::registerKitFilters();
    const QSEffectsCatalog &catalog = QSEffectsCatalog::shared();
    std::unique_ptr<QSEffect> effect;
    QSSlider *slider = nullptr;
    for (const QString &name : catalog.sortedDisplayNames()) {
        effect = catalog.effectForDisplayName(name);
        const QList<QWidget *> controls = effect ? effect->settingsView()->settingsControls() : QList<QWidget *>();
        const auto found = std::find_if(controls.cbegin(), controls.cend(), [](QWidget *c) { return qobject_cast<QSSlider *>(c); });
        if (found != controls.cend()) {
            slider = qobject_cast<QSSlider *>(*found);
            break;
        }
    }
    ASSERT_TRUE(slider) << "a shipped effect with a slider";
    QWidget window;
    window.resize(320, 200);
    QPointer<QSEffectSettingsView> panel = effect->settingsView();
    panel->setParent(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const int before = slider->value();
    effect.reset();
    ASSERT_TRUE(panel) << "the window holds the panel";
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 4, slider->height() / 2));
    QTest::keyClick(slider, Qt::Key_Home);
    panel->updateSettings();
    EXPECT_NE(slider->value(), before) << "the slider itself still moves";
    EXPECT_TRUE(panel->isVisible());
}
