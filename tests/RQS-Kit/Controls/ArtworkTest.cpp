#include "platform/foundation/Bundle.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

// Every picture and button look the kit asks for by a literal name ships in the resources, so that
// no control shows nothing where it should draw.
TEST(Artwork, EveryPictureTheKitNamesByALiteralIsShipped)
{
    const QDir root(qEnvironmentVariable("FOLDWISE_RESOURCES") + "/..");
    // Names handed to a main-bundle picture look-up, in any folder of the kit.
    const QRegularExpression lookUp(
        R"re((?:mainBundle\(\)->imageNamed|bundle->imageNamed|imageNamed\(\*platform::Bundle::mainBundle\(\),|\bnamed|\bnamedImage|\bband|setImageName)\(?\s*QStringLiteral\("([^"]+)"\))re");
    // File names of pictures written out in the controls and effects (tables of states, choices).
    const QRegularExpression pictureFile(R"re(QStringLiteral\("([A-Za-z0-9_-]+\.(?:png|jpg|tiff))"\))re");
    const QRegularExpression buttonLook(R"re(setName\(QStringLiteral\("([^"]+)"\)\))re");
    QStringList pictures, looks;
    QDirIterator files(root.filePath("RQS-Kit"), {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QString source = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch &match : lookUp.globalMatch(source))
            pictures << match.captured(1);
        if (!file.fileName().contains("/Foundation/") && !file.fileName().contains("/Helper/")) {
            for (const QRegularExpressionMatch &match : pictureFile.globalMatch(source))
                pictures << match.captured(1);
        }
        for (const QRegularExpressionMatch &match : buttonLook.globalMatch(source))
            looks << match.captured(1);
    }
    pictures.removeDuplicates();
    looks.removeDuplicates();
    for (const char *known : {"GridItemPinSetDown.png", "StackShadow", "SettingsBackgroundMid.png", "NoiseFull", "BentTopShadow",
                              "ColorStopDelete", "QSBoxDarkBackground.png", "NoPreview.jpg"})
        EXPECT_TRUE(pictures.contains(known)) << "the scan finds " << known;
    EXPECT_TRUE(looks.contains("Grab") && looks.contains("Remove") && looks.contains("SmallWhite"));

    const platform::BundlePtr bundle = platform::Bundle::mainBundle();
    QStringList missing;
    for (const QString &name : pictures) {
        if (bundle->imageNamed(name).isNull())
            missing << name;
    }
    for (const QString &name : looks) {
        const QDir folder(root.filePath("resources/" + name + ".button"));
        if (!folder.exists("Info.plist") || folder.entryList({"*.tiff"}).isEmpty())
            missing << name + ".button";
    }
    EXPECT_TRUE(missing.isEmpty()) << "missing: " << missing.join(", ").toStdString();
}
