#include "platform/foundation/Bundle.h"

#include "platform/foundation/PropertyList.h"
#include "support/StringsTables.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

using platform::Bundle;

TEST(Bundle, InfoKeysAndTranslationsFollowTheUserLanguageAndFallBackToTheValue)
{
    QTemporaryDir dir;
    ASSERT_TRUE(platform::PropertyList::write(QVariantMap{{"CFBundleShortVersionString", "2.1"}}, dir.filePath("Info.plist")));
    ASSERT_TRUE(writeStringsTable(dir.path(), "en", "Controls", {{"Print", "Print"}, {"Only", "English only"}}));
    ASSERT_TRUE(writeStringsTable(dir.path(), "de", "Controls", {{"Print", "Drucken"}}));
    const Bundle bundle(dir.path());
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("CFBundleShortVersionString").toString(), "2.1");
    EXPECT_FALSE(bundle.objectForInfoDictionaryKey("Missing").isValid());
    EXPECT_EQ(bundle.localizations(), (QStringList{"de", "en"}));

    const struct { const char *locale, *key, *value, *expected; } cases[] = {
        {"de_DE", "Print", "", "Drucken"}, {"de_DE", "Only", "#", "#"},        {"en_US", "Only", "", "English only"},
        {"fr_FR", "Print", "", "Print"},   {"en_US", "Unknown", "", "Unknown"},
    };
    for (const auto &c : cases) {
        LanguageScope language(c.locale);
        EXPECT_EQ(bundle.localizedStringForKey(c.key, c.value, "Controls"), c.expected) << c.locale << " " << c.key;
    }
}

TEST(Bundle, FindsResourcesByNameTypeAndFolderAndIsSharedPerFolder)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Textures");
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (const char *name : {"Textures/b.png", "Textures/a.png", "Noise.png"})
        ASSERT_TRUE(image.save(dir.filePath(name)));
    const Bundle bundle(dir.path());

    EXPECT_EQ(bundle.pathsForResourcesOfType("png", "Textures"),
              (QStringList{dir.filePath("Textures/a.png"), dir.filePath("Textures/b.png")}));
    EXPECT_EQ(bundle.pathForResource("a", "png", "Textures"), dir.filePath("Textures/a.png"));
    EXPECT_TRUE(bundle.pathForResource("a", "png").isEmpty());
    EXPECT_EQ(bundle.imageNamed("Noise").pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(bundle.imageNamed("Noise.png").size(), QSize(4, 4));
    EXPECT_TRUE(bundle.imageNamed("Absent").isNull());

    EXPECT_EQ(Bundle::bundleWithPath(dir.path()), Bundle::bundleWithPath(dir.path() + "/."));
    EXPECT_EQ(Bundle::bundleWithPath(dir.filePath("nowhere")), nullptr);
}
