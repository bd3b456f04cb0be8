#include "platform/Bundle.h"

#include "platform/PropertyList.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>

using platform::Bundle;
using platform::PropertyList;

namespace {

void writeTable(const QString &path, const QVariantMap &strings)
{
    QDir().mkpath(QFileInfo(path).path());
    ASSERT_TRUE(PropertyList::write(strings, path));
}

class LocaleScope
{
public:
    explicit LocaleScope(const QString &name) { QLocale::setDefault(QLocale(name)); }
    ~LocaleScope() { QLocale::setDefault(QLocale::c()); }
};

} // namespace

TEST(Bundle, InfoKeysComeFromItsInfoPlist)
{
    QTemporaryDir dir;
    ASSERT_TRUE(PropertyList::write(QVariantMap{{QStringLiteral("CFBundleShortVersionString"), QStringLiteral("2.1")}},
                                    dir.filePath(QStringLiteral("Info.plist"))));
    const Bundle bundle(dir.path());
    EXPECT_EQ(bundle.objectForInfoDictionaryKey(QStringLiteral("CFBundleShortVersionString")).toString(),
              QStringLiteral("2.1"));
    EXPECT_FALSE(bundle.objectForInfoDictionaryKey(QStringLiteral("Missing")).isValid());
}

TEST(Bundle, TranslationFollowsTheUserLanguageAndFallsBackToTheValue)
{
    QTemporaryDir dir;
    writeTable(dir.filePath(QStringLiteral("en.lproj/Controls.strings")),
               {{QStringLiteral("Print"), QStringLiteral("Print")}, {QStringLiteral("Only"), QStringLiteral("English only")}});
    writeTable(dir.filePath(QStringLiteral("de.lproj/Controls.strings")), {{QStringLiteral("Print"), QStringLiteral("Drucken")}});
    const Bundle bundle(dir.path());
    EXPECT_EQ(bundle.localizations(), (QStringList{QStringLiteral("de"), QStringLiteral("en")}));

    const struct {
        const char *locale;
        const char *key;
        const char *value;
        const char *expected;
    } cases[] = {
        {"de_DE", "Print", "", "Drucken"},
        {"de_DE", "Only", "#", "#"},
        {"en_US", "Only", "", "English only"},
        {"fr_FR", "Print", "", "Print"},
        {"en_US", "Unknown", "", "Unknown"},
    };
    for (const auto &c : cases) {
        LocaleScope scope(QString::fromLatin1(c.locale));
        EXPECT_EQ(bundle.localizedStringForKey(QString::fromLatin1(c.key), QString::fromLatin1(c.value),
                                               QStringLiteral("Controls")),
                  QString::fromUtf8(c.expected))
            << c.locale << " " << c.key;
    }
}

TEST(Bundle, FindsResourcesByNameTypeAndFolder)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Textures"));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("Textures/b.png"))));
    ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("Textures/a.png"))));
    ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("Noise.png"))));
    const Bundle bundle(dir.path());

    EXPECT_EQ(bundle.pathsForResourcesOfType(QStringLiteral("png"), QStringLiteral("Textures")),
              (QStringList{dir.filePath(QStringLiteral("Textures/a.png")), dir.filePath(QStringLiteral("Textures/b.png"))}));
    EXPECT_EQ(bundle.pathForResource(QStringLiteral("a"), QStringLiteral("png"), QStringLiteral("Textures")),
              dir.filePath(QStringLiteral("Textures/a.png")));
    EXPECT_TRUE(bundle.pathForResource(QStringLiteral("a"), QStringLiteral("png")).isEmpty());
    EXPECT_EQ(bundle.imageNamed(QStringLiteral("Noise")).pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(bundle.imageNamed(QStringLiteral("Noise.png")).size(), QSize(4, 4));
    EXPECT_TRUE(bundle.imageNamed(QStringLiteral("Absent")).isNull());
}

TEST(Bundle, SharedPerFolderAndNullForAMissingFolder)
{
    QTemporaryDir dir;
    EXPECT_EQ(Bundle::bundleWithPath(dir.path()), Bundle::bundleWithPath(dir.path() + QStringLiteral("/.")));
    EXPECT_EQ(Bundle::bundleWithPath(dir.filePath(QStringLiteral("nowhere"))), nullptr);
}
