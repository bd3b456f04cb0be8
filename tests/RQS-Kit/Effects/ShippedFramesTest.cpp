#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSMaterialBuilder.h"
#include "RQS-Kit/Effects/QSTextureCatalog.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Window.h"

#include <QComboBox>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A raw resource identifier: type, "#", three digits, "#".
bool isRawIdentifier(const QString &text)
{
    static const QRegularExpression identifier(QStringLiteral("[A-Z]{3}-[A-Z0-9]#\\d{3}#"));
    return identifier.match(text).hasMatch();
}

QStringList itemsOf(const QComboBox &popUp)
{
    QStringList items;
    for (int i = 0; i < popUp.count(); ++i)
        items << popUp.itemText(i);
    return items;
}

} // namespace

// The application's own frame bundle and textures: every category the frame editor lists has
// something in it, every pop-up shows names, and a built-in frame is drawn round the preview.
TEST(ShippedFrames, TheFrameEditorOffersNamedFramesShadesMasksAndTextures)
{
    rqs::registerKitClasses();
    platform::LogCapture log;
    QTemporaryDir dir;
    QSFrameCatalog user(QSFrameCatalog::framesBundlePath(), dir.filePath("UserFrames.plist"));
    QSFrameCatalog system(QSFrameCatalog::framesBundlePath(), QString());
    QSMaterialBuilder builder(user, system);
    ASSERT_TRUE(builder.window());
    builder.window()->resize(900, 640);
    builder.window()->show();
    QCoreApplication::processEvents();

    for (const char *name : {"framePopupButton", "textureButton", "externalMaskButton", "internalMaskButton", "newShadeButton"}) {
        const auto *popUp = builder.window()->findChild<QComboBox *>(name);
        ASSERT_TRUE(popUp) << name;
        EXPECT_GT(popUp->count(), 2) << name;
        for (const QString &item : itemsOf(*popUp))
            EXPECT_FALSE(isRawIdentifier(item)) << name << ": " << item.toStdString();
    }
    const QStringList shades = itemsOf(*builder.window()->findChild<QComboBox *>("newShadeButton"));
    for (const char *category : {"External", "Internal", "Overlay", "Join"})
        EXPECT_EQ(shades.filter(QString::fromLatin1(category)).size(), 2) << category << ": its heading and a shade";
    auto *list = builder.window()->findChild<QListWidget *>("frameList");
    ASSERT_TRUE(list);
    QStringList frames;
    for (int i = 0; i < list->count(); ++i)
        frames << list->item(i)->text();
    for (const char *category : {"Leather", "Metal", "Paper", "Wood"})
        EXPECT_FALSE(frames.filter(QString::fromLatin1(category) + " ").isEmpty()) << category;
    for (const QString &frame : frames)
        EXPECT_FALSE(isRawIdentifier(frame)) << frame.toStdString();
    EXPECT_FALSE(log.contains("Frames.bundle is missing!"));
    EXPECT_FALSE(log.contains("Did not find Shade"));

    list->setCurrentRow(int(frames.indexOf("Wood Oak")));
    QCoreApplication::processEvents();
    const QImage preview = builder.previewImage();
    ASSERT_FALSE(preview.isNull());
    // The oak frame's texture at the preview's left edge, the sample picture in its middle.
    const QColor edge = preview.pixelColor(4, preview.height() / 2);
    EXPECT_GT(edge.red(), edge.blue() + 40) << "a wooden brown, not " << edge.name().toStdString();
    if (!qEnvironmentVariableIsEmpty("FOLDWISE_SCREENSHOTS"))
        builder.window()->grab().save(qEnvironmentVariable("FOLDWISE_SCREENSHOTS") + "/frame-editor.png");
}
