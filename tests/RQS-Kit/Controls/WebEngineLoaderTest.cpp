#include "RQS-Kit/Controls/QSWebEngineLoader.h"
#include "platform/foundation/Log.h"
#include "support/EnvironmentScope.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>

namespace {

QByteArray builtPlugin()
{
    QFile plugin(QDir(qEnvironmentVariable("FOLDWISE_PLUGINS")).filePath("foldwise-webview.so"));
    return plugin.open(QIODevice::ReadOnly) ? plugin.readAll() : QByteArray();
}

QByteArray otherQtPlugin()
{
    QFile plugin(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/imageformats/libqgif.so");
    return plugin.open(QIODevice::ReadOnly) ? plugin.readAll() : QByteArray();
}

} // namespace

TEST(WebEngineLoader, LoadsTheBuiltPlugin)
{
    platform::LogCapture log;
    EXPECT_NE(QSWebEngineLoader::loadFrom({qEnvironmentVariable("FOLDWISE_PLUGINS")}), nullptr);
    EXPECT_TRUE(log.lines().filter("Error:").isEmpty()) << log.lines().join('\n').toStdString();
}

// Whatever lies where the plugin is looked for is refused with an error, never run as the engine.
TEST(WebEngineLoader, RefusesAMissingDamagedOrForeignPlugin)
{
    const QByteArray built = builtPlugin();
    ASSERT_GT(built.size(), 8192);
    const QByteArray foreign = otherQtPlugin();
    ASSERT_FALSE(foreign.isEmpty());
    const struct
    {
        const char *what;
        QByteArray bytes;
        bool present;
    } cases[] = {
        {"none", {}, false},
        {"empty", {}, true},
        {"not a library", QByteArray(64 * 1024, 'x'), true},
        {"the plugin cut short", built.left(4096), true},
        {"another Qt plugin", foreign, true},
    };
    for (const auto &c : cases) {
        QTemporaryDir folder;
        if (c.present) {
            QFile file(folder.filePath("foldwise-webview.so"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.bytes);
        }
        platform::LogCapture log;
        EXPECT_EQ(QSWebEngineLoader::loadFrom({folder.path()}), nullptr) << c.what;
        EXPECT_EQ(log.lines().filter("Error: The web engine could not be loaded").size(), 1) << c.what;
    }
}

TEST(WebEngineLoader, LooksInTheOverriddenFolderOrBesideTheExecutableThenWhereItIsInstalled)
{
    {
        const EnvironmentScope overridden("FOLDWISE_PLUGINS", "/somewhere/plugins");
        EXPECT_EQ(QSWebEngineLoader::searchFolders(), QStringList("/somewhere/plugins"));
    }
    const EnvironmentScope unset("FOLDWISE_PLUGINS", QString());
    const QDir here(QCoreApplication::applicationDirPath());
    const QStringList folders = QSWebEngineLoader::searchFolders();
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders[0], here.path());
    EXPECT_TRUE(folders[1].startsWith(QDir::cleanPath(here.path() + "/..") + "/lib")) << folders[1].toStdString();
    EXPECT_TRUE(folders[1].endsWith("/foldwise")) << folders[1].toStdString();
}
