#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun
{
    int exitCode;
    QByteArray out, err;
};

ToolRun frameCatalog(const QString &file, const QStringList &command)
{
    QProcess tool;
    tool.start(QStringLiteral(FOLDWISE_FRAME_CATALOG), QStringList{"--user", file, "--delay", "0.1"} + command);
    if (!tool.waitForFinished(60000))
        return {-1, {}, {}};
    return {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
}

} // namespace

// A damaged file is kept aside; added and renamed frames read back from the file the tool wrote.
TEST(FrameCatalogTool, DamagedFileMovedAsideThenAddRenameListRoundTrip)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("UserFrames.plist");
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("<plist><dict>");
    damaged.close();
    const ToolRun list = frameCatalog(file, {"list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, "");
    EXPECT_TRUE(list.err.startsWith("Error: Could not read frame catalog")) << list.err.constData();
    QFile aside(file + ".bak");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), "<plist><dict>");

    const ToolRun add = frameCatalog(file, {"add", "Oak"});
    EXPECT_EQ(add.exitCode, 0) << add.err.constData();
    EXPECT_EQ(add.out, "FRM-U#001#\n");
    EXPECT_TRUE(add.err.contains("Info: The change is written in 0.1 s\nInfo: Written\n")) << add.err.constData();
    EXPECT_EQ(frameCatalog(file, {"rename", "FRM-U#001#", "Birch"}).exitCode, 0);
    EXPECT_EQ(frameCatalog(file, {"add", "Elm"}).out, "FRM-U#002#\n");
    EXPECT_EQ(frameCatalog(file, {"list"}).out, "FRM-U#001#\tBirch\nFRM-U#002#\tElm\n");

    const ToolRun clash = frameCatalog(file, {"rename", "FRM-U#002#", "Birch"});
    EXPECT_EQ(clash.exitCode, 1);
    EXPECT_TRUE(clash.err.startsWith("Error: No frame FRM-U#002# to rename")) << clash.err.constData();
    EXPECT_EQ(frameCatalog(file, {"remove", "FRM-U#001#"}).exitCode, 0);
    EXPECT_EQ(frameCatalog(file, {"list"}).out, "FRM-U#002#\tElm\n");
}
