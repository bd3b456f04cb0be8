#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "support/FullDisk.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <array>

namespace {

struct ToolRun
{
    int exitCode;
    QByteArray out, err;
};

void start(QProcess &tool, const QString &file, const QStringList &command)
{
    tool.start(QStringLiteral(FOLDWISE_FRAME_CATALOG), QStringList{"--user", file, "--delay", "0.1"} + command);
}

// A crash is exit code -1.
ToolRun finish(QProcess &tool)
{
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit)
        return {-1, {}, tool.readAllStandardError()};
    return {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
}

ToolRun frameCatalog(const QString &file, const QStringList &command)
{
    QProcess tool;
    start(tool, file, command);
    return finish(tool);
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

// Eight processes add a frame to one catalog at the same moment, each having read it before the
// others wrote: every frame a process reported written is in the file, under the ID it printed.
TEST(FrameCatalogTool, FramesAddedByProcessesAtOnceAreAllKept)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("UserFrames.plist");
    ASSERT_EQ(frameCatalog(file, {"add", "First"}).out, "FRM-U#001#\n");
    std::array<QProcess, 8> tools;
    for (std::size_t i = 0; i < tools.size(); ++i)
        start(tools[i], file, {"add", QStringLiteral("Frame %1").arg(i + 1)});
    QStringList expected{"FRM-U#001#\tFirst"};
    for (std::size_t i = 0; i < tools.size(); ++i) {
        const ToolRun run = finish(tools[i]);
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_TRUE(run.err.endsWith("Info: Written\n")) << run.err.constData();
        expected << QString::fromUtf8(run.out.trimmed()) + QStringLiteral("\tFrame %1").arg(i + 1);
    }
    QStringList listed = QString::fromUtf8(frameCatalog(file, {"list"}).out).split('\n', Qt::SkipEmptyParts);
    listed.sort();
    expected.sort();
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"UserFrames.plist"}) << "no lock file left";
}

// Without a GUI the tool reports a failed save on "Error: " lines and exits 1; it never aborts.
TEST(FrameCatalogTool, AFailedSaveIsReportedNotAnAbort)
{
    QTemporaryDir dir;
    const FullDisk disk(dir.path(), "UserFrames.plist", "<plist><dict/></plist>");
    if (!disk.mounted)
        GTEST_SKIP() << "a full disk needs root and a tmpfs";
    for (const QStringList &command : {QStringList{"add", "Oak"}, QStringList{"save-now"}}) {
        SCOPED_TRACE(command.first().toStdString());
        const ToolRun run = frameCatalog(disk.oldFile, command);
        EXPECT_EQ(run.exitCode, 1) << run.err.constData();
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.contains(QStringLiteral("Error: Could not save the user's frames to '%1': ").arg(disk.oldFile).toUtf8()))
            << run.err.constData();
        EXPECT_TRUE(run.err.contains("the disk is full\n")) << run.err.constData();
        EXPECT_EQ(PdfFixture::read(disk.oldFile), "<plist><dict/></plist>");
    }
}

// The tool refuses a frame name with a control character at once (before, an addition it refused
// would have left it waiting for a save that never came), and the file keeps its frames.
TEST(FrameCatalogTool, ANameWithAControlCharacterIsRefusedAtOnce)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("UserFrames.plist");
    ASSERT_EQ(frameCatalog(file, {"add", "Oak"}).exitCode, 0);
    for (const QStringList &command : {QStringList{"add", "El\tm"}, QStringList{"rename", "FRM-U#001#", "Bi\x1b[0mrch"}}) {
        const ToolRun run = frameCatalog(file, command);
        EXPECT_EQ(run.exitCode, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith("Warning: The frame cannot be named '")) << run.err.constData();
    }
    EXPECT_EQ(frameCatalog(file, {"list"}).out, "FRM-U#001#\tOak\n");
}
