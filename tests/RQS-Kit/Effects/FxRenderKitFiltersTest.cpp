#include "platform/fx/FxTestImages.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// The recipe tool makes kit filters by class name and takes the folder of named pictures.
TEST(FxRenderKitFilters, RendersAKitFilterByClassName)
{
    QTemporaryDir folder;
    QFile recipe(folder.filePath("recipe.json"));
    ASSERT_TRUE(recipe.open(QIODevice::WriteOnly));
    recipe.write(R"({"images": {"orange": {"color": "0.8 0.4 0.2 1"}, "lilac": {"color": "0.5 0.25 0.75 1"}},
        "steps": [{"name": "a", "crop": "orange", "rect": [0, 0, 1, 1]}, {"name": "b", "crop": "lilac", "rect": [0, 0, 1, 1]},
                  {"name": "out", "filter": "QSAdjustableBlendFilter",
                   "inputs": {"inputImage": "a", "inputBackgroundImage": "b", "inputBlendName": "multiply", "inputUseExtent": 1}}],
        "output": "out"})");
    recipe.close();
    for (const auto &[resources, exitCode] : {std::pair{folder.path(), 0}, {folder.filePath("missing"), 1}}) {
        QProcess tool;
        tool.start(QStringLiteral(FOLDWISE_FX_RENDER), {recipe.fileName(), folder.filePath("out.png"), "--raw",
                                                        folder.filePath("out.f32"), "--resources", resources});
        ASSERT_TRUE(tool.waitForFinished(60000));
        EXPECT_EQ(tool.exitCode(), exitCode) << tool.readAllStandardError().constData();
    }
    QFile raw(folder.filePath("out.f32"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    ASSERT_EQ(bytes.size(), qsizetype(sizeof(fxtest::Pixel)));
    EXPECT_TRUE(fxtest::near(*reinterpret_cast<const fxtest::Pixel *>(bytes.constData()), {0.4f, 0.1f, 0.15f, 1}));
}
