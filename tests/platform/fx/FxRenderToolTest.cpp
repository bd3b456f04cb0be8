#include "FxTestImages.h"

#include "support/FullDisk.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct ToolRun
{
    int exitCode = -1;
    QStringList errors;
    QByteArray output;
    QStringList warnings;
};

ToolRun runTool(const QTemporaryDir &folder, const QByteArray &recipe, const QStringList &options = {}, QString png = {})
{
    if (png.isEmpty())
        png = folder.filePath("out.png");
    QFile file(folder.filePath("recipe.json"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(recipe);
    file.close();
    QProcess tool;
    tool.start(QStringLiteral(FOLDWISE_FX_RENDER), QStringList{file.fileName(), png} + options);
    EXPECT_TRUE(tool.waitForFinished(60000));
    ToolRun run{tool.exitCode(), {}, tool.readAllStandardOutput(), {}};
    for (const QByteArray &line : tool.readAllStandardError().split('\n')) {
        if (line.startsWith("Error: "))
            run.errors << QString::fromUtf8(line);
        else if (line.startsWith("Warning: "))
            run.warnings << QString::fromUtf8(line);
    }
    return run;
}

TEST(FxRenderTool, BadRecipesExitWithOneErrorLine)
{
    QTemporaryDir folder;
    const QByteArray recipes[] = {
        R"({"images": {}, "steps": [{"name": "a", "filter": "CINoSuchFilter", "inputs": {}}], "output": "a"})",
        R"({"images": {"c": {"color": "1 0 0 1"}}, "steps": [{"name": "a", "filter": "CIColorInvert", "inputs": {"inputImage": "c", "inputWidth": 2}}], "output": "a"})",
        R"({"images": {}, "steps": [{"name": "a", "clamp": "b"}, {"name": "b", "tile": "a"}], "output": "a"})",
        R"({"images": {"c": {"color": "1 0 0 1"}}, "steps": [], "output": "c"})",
        R"({"images": {"p": {"file": "missing.png"}}, "steps": [], "output": "p"})",
    };
    for (const QByteArray &recipe : recipes) {
        const ToolRun run = runTool(folder, recipe);
        EXPECT_EQ(run.exitCode, 1) << recipe.constData();
        EXPECT_EQ(run.errors.size(), 1) << recipe.constData();
    }
}

// Green moved one pixel right over a red 2 × 1 picture: the left pixel stays red, the right one
// turns green; the raw file holds premultiplied floats, rows top to bottom.
TEST(FxRenderTool, RendersARecipeAndWritesItsPixels)
{
    QTemporaryDir folder;
    QImage picture(2, 1, QImage::Format_RGBA8888);
    picture.fill(QColor(255, 0, 0));
    ASSERT_TRUE(picture.save(folder.filePath("red.png")));
    const ToolRun run = runTool(folder, R"({"images": {"red": {"file": "red.png"}, "green": {"color": "0 1 0 0.5"}},
        "steps": [{"name": "dot", "crop": "green", "rect": [0, 0, 1, 1]},
                  {"name": "moved", "transform": "dot", "matrix": [1, 0, 0, 1, 1, 0]},
                  {"name": "out", "filter": "CISourceOverCompositing", "inputs": {"inputImage": "moved", "inputBackgroundImage": "red"}}],
        "output": "out"})", {"--raw", folder.filePath("out.f32")});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output.trimmed(), R"({"extent":[0,0,2,1],"height":1,"rect":[0,0,2,1],"width":2})");
    QFile raw(folder.filePath("out.f32"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    ASSERT_EQ(bytes.size(), qsizetype(2 * sizeof(fxtest::Pixel)));
    const auto *pixels = reinterpret_cast<const fxtest::Pixel *>(bytes.constData());
    EXPECT_TRUE(fxtest::near(pixels[0], {1, 0, 0, 1}));
    EXPECT_TRUE(fxtest::near(pixels[1], {0.5f, 0.5f, 0, 1}));
    EXPECT_EQ(QImage(folder.filePath("out.png")).pixelColor(1, 0), QColor(128, 128, 0));
}

// Each step of a recipe is built after the steps it reads, without recursion: 50,000 chained
// crops overflowed the stack at about 7,700.
TEST(FxRenderTool, RendersAChainOfFiftyThousandSteps)
{
    QTemporaryDir folder;
    QByteArray steps;
    for (int i = 0; i < 50000; ++i)
        steps += QStringLiteral(R"({"name": "s%1", "crop": "%2", "rect": [0, 0, 1, 1]},)")
                     .arg(i + 1)
                     .arg(i == 0 ? QStringLiteral("c") : QStringLiteral("s%1").arg(i))
                     .toUtf8();
    steps.chop(1);
    const ToolRun run = runTool(folder, R"({"images": {"c": {"color": "0 0 1 1"}}, "steps": [)" + steps + R"(], "output": "s50000"})");
    ASSERT_EQ(run.exitCode, 0) << run.errors.join('\n').toStdString();
    EXPECT_EQ(QImage(folder.filePath("out.png")).pixelColor(0, 0), QColor(0, 0, 255));
}

// Numbers a recipe gives beyond the engine's plane are kept to it, with a warning: a crop 3.4e38
// tall of an endless colour becomes one 2^30 tall, cut where the plane ends, and its picture is
// refused before it is made. A transform's numbers are kept to the plane the same way.
TEST(FxRenderTool, NumbersBeyondThePlaneAreKeptToItAndTheHugeCropIsRefused)
{
    QTemporaryDir folder;
    const ToolRun crop = runTool(folder, R"({"images": {"c": {"color": "1 0 0 1"}},
        "steps": [{"name": "strip", "crop": "c", "rect": [0, 0, 1, 3.4e38]}], "output": "strip"})");
    EXPECT_EQ(crop.exitCode, 1);
    EXPECT_EQ(crop.errors, QStringList{"Error: Rendering 1 × 536870912 pixels would compute 1610 million pixels on its way, "
                                       "more than the 1073 million a render may compute"});
    EXPECT_TRUE(crop.warnings.contains("Warning: The crop of the step strip holds [0 0 1 3.4e+38], outside -1073741824 to "
                                       "1073741824; [0 0 1 1073741824] is used"))
        << crop.warnings.join('\n').toStdString();
    const ToolRun moved = runTool(folder, R"({"images": {"c": {"color": "0 0 1 1"}},
        "steps": [{"name": "dot", "crop": "c", "rect": [0, 0, 1, 1]},
                  {"name": "far", "transform": "dot", "matrix": [1, 0, 0, 1, 1e308, 0]},
                  {"name": "out", "crop": "far", "rect": [0, 0, 2, 2]}], "output": "out"})", {"--rect", "0,0,2,2"});
    EXPECT_EQ(moved.exitCode, 0) << moved.errors.join('\n').toStdString();
    EXPECT_EQ(moved.warnings.size(), 1) << moved.warnings.join('\n').toStdString();
    EXPECT_EQ(QImage(folder.filePath("out.png")).pixelColor(0, 0).alpha(), 0);
}

// The picture, small enough to wait in the write buffer, or its raw pixels onto a full disk: exit 1
// after one "Error: " line, the old file kept.
TEST(FxRenderTool, OnAFullDiskFailsAndKeepsTheOldFile)
{
    const QByteArray recipe = R"({"images": {"c": {"color": "0 0 1 1"}}, "steps": [{"name": "a", "crop": "c", "rect": [0, 0, 4, 4]}], "output": "a"})";
    for (const bool raw : {false, true}) {
        SCOPED_TRACE(raw ? "raw pixels" : "picture");
        QTemporaryDir folder;
        QTemporaryDir full;
        const FullDisk disk(full.path(), raw ? "out.f32" : "out.png", "old");
        if (!disk.mounted)
            GTEST_SKIP() << "a full disk needs root and a tmpfs";
        const ToolRun run = raw ? runTool(folder, recipe, {"--raw", disk.oldFile}) : runTool(folder, recipe, {}, disk.oldFile);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errors, QStringList{"Error: Could not write " + disk.oldFile + ", because the disk is full"});
        EXPECT_EQ(PdfFixture::read(disk.oldFile), "old");
    }
}

} // namespace
