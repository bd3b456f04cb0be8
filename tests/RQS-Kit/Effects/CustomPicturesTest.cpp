#include "RQS-Kit/Effects/QSEffect.h"
#include "RQS-Kit/Effects/QSEffectResourceStore.h"
#include "RQS-Kit/Effects/QSEffectSettingsView.h"
#include "RQS-Kit/Effects/QSMaskImageFilter.h"
#include "RQS-Kit/Effects/QSTexturizeFilter.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/TempFolder.h"
#include "platform/ui/OpenPanel.h"

#include <QComboBox>
#include <QFileDialog>
#include <QTest>

#include <gtest/gtest.h>

#include "NamedPicturesFixture.h"

using namespace platform::fx;
using fxtest::near;
using fxtest::renderedPixel;

namespace {

// An effect whose one pop-up offers a named picture and "Custom Image".
QVariantMap description(const QString &filter, const QString &input)
{
    return {{"name", "Custom"},
            {"ciName", filter},
            {"settingsUIOrder", QStringList{"Picture"}},
            {"settingsUI", QVariantMap{{"Picture", QVariantMap{{"type", 1}, {"inputName", input}, {"customImage", true}}}}}};
}

// Chooses the file through the effect's panel as a user would: the pop-up's last item, then the
// file in the open panel. Answers the name the effect stores.
QString chooseThroughThePanel(QSEffect &effect, const QString &file)
{
    platform::OpenPanel::setResponder([file](QFileDialog &dialog) {
        dialog.selectFile(file);
        return platform::OpenPanel::OKButton;
    });
    auto *popUp = qobject_cast<QComboBox *>(effect.settingsView()->settingsControls().value(0));
    const QString key = effect.settingsView()->boundSettings().value(0);
    if (!popUp)
        return {};
    popUp->setCurrentIndex(popUp->count() - 1);
    effect.settingsView()->controlValueChanged(popUp);
    (void)QTest::qWaitFor([&] { return effect.settings().value(key).toString().startsWith("EffectResource-"); }, 5000);
    platform::OpenPanel::setResponder(nullptr);
    return effect.settings().value(key).toString();
}

// The settings as a property list holds them, read back.
QVariantMap storedAndReadBack(const QVariantMap &settings)
{
    QString error;
    const QByteArray xml = platform::PropertyList::toXml(settings, &error);
    EXPECT_FALSE(xml.isEmpty()) << error.toStdString();
    return platform::PropertyList::fromData(xml).toMap();
}

struct CustomCase
{
    const char *what;
    QString filter, input;
    // The picture chosen, and what the effect draws with it at the left and the right of a 512 ×
    // 256 opaque grey picture.
    QImage chosen;
    Pixel left, right;
};

class CustomPictures : public NamedPictures
{
protected:
    void TearDown() override
    {
        for (const QString &name : m_stored)
            QFile::remove(QSEffectResourceStore::folder() + "/" + name);
        NamedPictures::TearDown();
    }
    QStringList m_stored;
};

QImage halves(const QSize &size, const QColor &left, const QColor &right)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(left);
    for (int y = 0; y < size.height(); ++y)
        for (int x = size.width() / 2; x < size.width(); ++x)
            image.setPixelColor(x, y, right);
    return image;
}

} // namespace

// A picture the user chooses for a mask or a texture is copied into the application's data folder
// and stored by its name. The filters find it there, and the stored settings made into a new
// effect draw it again: nothing of it lives in the temporary folder that goes at exit.
TEST_F(CustomPictures, AChosenPictureReachesItsFilterAndComesBackFromTheStoredSettings)
{
    write("Masks", "RQS-M#001#Full.png", picture({2, 2}, Qt::white));
    const float g = 128 / 255.0f;
    const Pixel grey{g, g, g, 1};
    const CustomCase cases[] = {
        // White on the left keeps the picture, black on the right takes it away.
        {"mask", "QSMaskImageFilter", "inputMaskName", halves({8, 4}, Qt::white, Qt::black), grey, {}},
        // The ring of the border around the picture is filled with the red texture.
        {"texture", "QSShapedBorderFilter", "inputTextureName", halves({64, 32}, Qt::red, Qt::red), {1, 0, 0, 1}, {1, 0, 0, 1}},
    };
    QTemporaryDir chosenFolder;
    for (const CustomCase &c : cases) {
        SCOPED_TRACE(c.what);
        const QString file = chosenFolder.filePath(QString("%1.png").arg(c.what));
        ASSERT_TRUE(c.chosen.save(file));
        const auto effect = QSEffect::withDescription(description(c.filter, c.input));
        ASSERT_TRUE(effect);
        platform::LogCapture log;
        const QString name = chooseThroughThePanel(*effect, file);
        ASSERT_TRUE(name.startsWith("EffectResource-")) << name.toStdString();
        m_stored << name;
        EXPECT_FALSE(QFile::exists(platform::TempFolder::path() + "/" + name));
        EXPECT_EQ(effect->imageResources().value(c.input), name);

        const QVariantMap stored = storedAndReadBack(effect->settings());
        const auto restored = QSEffect::withDescription(description(c.filter, c.input), stored);
        ASSERT_TRUE(restored);
        const Image input = Image::fromQImage(halves({512, 256}, QColor(128, 128, 128), QColor(128, 128, 128)));
        for (QSEffect *shown : {effect.get(), restored.get()}) {
            // A border of 4 pixels, with the texture's tiles 64 / 2048 of the picture's diagonal wide.
            if (c.filter == "QSShapedBorderFilter") {
                shown->filter()->setValueForKey("canvasProportion", 2048.0);
                shown->filter()->setValueForKey("inputWidth", 4 / 2048.0);
            }
            shown->setInputImage(input);
            const Image output = shown->outputImage();
            ASSERT_FALSE(output.isNull());
            // The border lies outside the picture: (100, -1) and (400, -1) are in its ring.
            const int y = c.filter == "QSShapedBorderFilter" ? -1 : 128;
            EXPECT_TRUE(near(renderedPixel(output, 100, y), c.left, 2e-3f)) << (shown == restored.get() ? "restored" : "chosen");
            EXPECT_TRUE(near(renderedPixel(output, 400, y), c.right, 2e-3f)) << (shown == restored.get() ? "restored" : "chosen");
        }
        EXPECT_FALSE(log.contains("Warning: No Mask loaded")) << log.lines().join('\n').toStdString();
        EXPECT_EQ(restored->imageResources().value(c.input), name);
    }
}

// A stored name is read as a plain file name in the folder of chosen pictures only: a name that
// climbs out of it, or names a file elsewhere, loads nothing, even when that file exists.
TEST_F(CustomPictures, AStoredNameReachesNoFileOutsideTheFolderOfChosenPictures)
{
    ASSERT_TRUE(QDir().mkpath(QSEffectResourceStore::folder()));
    const QString outside = QFileInfo(QSEffectResourceStore::folder()).absolutePath() + "/EffectResource-outside.png";
    ASSERT_TRUE(halves({2, 2}, Qt::red, Qt::red).save(outside));
    const QString hostile[] = {outside, "../EffectResource-outside.png", "./../EffectResource-outside.png",
                               "EffectResources/../EffectResource-outside.png", "..", ".", ""};
    for (const QString &name : hostile) {
        QSTexturizeFilter texture;
        texture.setValueForKey("inputTextureName", name);
        EXPECT_EQ(texture.value("inputTextureName"), "Plain Color") << name.toStdString();
        QSMaskImageFilter mask;
        mask.setValueForKey("inputMaskName", name);
        EXPECT_TRUE(mask.imageValue("inputMaskImage").isNull()) << name.toStdString();
    }
    QFile::remove(outside);
}

// A pop-up that offers a custom picture but has no value shows nothing chosen, and says nothing
// of a picture that is gone.
TEST_F(CustomPictures, APopUpWithoutAValueWarnsOfNoGonePicture)
{
    platform::LogCapture log;
    const auto effect = QSEffect::withDescription(description("QSMaskImageFilter", "inputMaskName"));
    ASSERT_TRUE(effect);
    auto *popUp = qobject_cast<QComboBox *>(effect->settingsView()->settingsControls().value(0));
    ASSERT_TRUE(popUp);
    EXPECT_EQ(popUp->currentIndex(), -1);
    EXPECT_FALSE(log.contains("is gone")) << log.lines().join('\n').toStdString();
}
