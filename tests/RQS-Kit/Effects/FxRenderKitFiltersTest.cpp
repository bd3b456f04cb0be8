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

namespace {

// The test pictures (texture, frame bundle) written into the folder's "pictures".
void writeTestPictures(const QTemporaryDir &folder)
{
    QProcess make;
    make.start(QStringLiteral(FOLDWISE_MAKE_FX_RESOURCES), {folder.filePath("pictures")});
    ASSERT_TRUE(make.waitForFinished(60000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().constData();
}

// One row of pixels the recipe's output shows from (x, y) on, after the test pictures were written.
std::vector<fxtest::Pixel> renderedRow(const QTemporaryDir &folder, const QByteArray &steps, int x, int y, int width)
{
    QFile recipe(folder.filePath("recipe.json"));
    if (!recipe.open(QIODevice::WriteOnly))
        return {};
    recipe.write(R"({"images": {"white": {"color": "1 1 1 1"}, "blue": {"color": "0 0 1 1"}, "grey": {"color": "0.5 0.5 0.5 1"}},
                     "steps": [)" + steps
                 + R"(], "output": "out"})");
    recipe.close();
    QProcess tool;
    tool.start(QStringLiteral(FOLDWISE_FX_RENDER),
               {recipe.fileName(), folder.filePath("out.png"), "--raw", folder.filePath("out.f32"), "--rect",
                QStringLiteral("%1,%2,%3,1").arg(x).arg(y).arg(width), "--resources", folder.filePath("pictures")});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return {};
    QFile raw(folder.filePath("out.f32"));
    if (!raw.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = raw.readAll();
    const auto *pixels = reinterpret_cast<const fxtest::Pixel *>(bytes.constData());
    return {pixels, pixels + bytes.size() / qsizetype(sizeof(fxtest::Pixel))};
}

} // namespace

// The written texture is 8 pixels white, 8 grey (128), laid 1:1 from x = 0; the frame's mask and
// shade are 8-pixel rings, the shade half grey multiplied over the texture.
TEST(FxRenderKitFilters, FrameFiltersDrawTheWrittenTextureAndFrameBundle)
{
    QTemporaryDir folder;
    ASSERT_NO_FATAL_FAILURE(writeTestPictures(folder));
    const float g = 128 / 255.0f;
    const fxtest::Pixel white{1, 1, 1, 1}, grey{g, g, g, 1}, shaded{g * g, g * g, g * g, 1}, blue{0, 0, 1, 1};
    const struct
    {
        QByteArray steps;
        int x, y;
        std::vector<fxtest::Pixel> row;
    } cases[] = {
        {R"({"name": "mask", "crop": "white", "rect": [0, 0, 32, 4]}, {"name": "out", "filter": "QSTexturizeFilter",
            "inputs": {"inputImage": "mask", "inputTextureName": "Stripes", "inputTextureWidth": 16, "imageIsMask": 1}})",
         6, 1, {white, white, grey, grey, grey, grey, grey, grey, grey, grey, white, white}},
        {R"({"name": "picture", "crop": "blue", "rect": [0, 0, 40, 40]}, {"name": "out", "filter": "QSTexturedFrameFilter",
            "inputs": {"inputImage": "picture", "inputFrameName": "Test Frame", "inputWidth": 8, "inputTextureScale": 16}})",
         -10, 20, {{0, 0, 0, 0}, {0, 0, 0, 0}, shaded, shaded, shaded, shaded, shaded, shaded, shaded, shaded}},
        {R"({"name": "picture", "crop": "blue", "rect": [0, 0, 20, 20]}, {"name": "out", "filter": "QSShapedBorderFilter",
            "inputs": {"inputImage": "picture", "inputTextureName": "Stripes", "inputWidth": 5, "inputTextureScale": 16}})",
         18, 10, {blue, blue, white, white}},
    };
    for (const auto &c : cases) {
        const std::vector<fxtest::Pixel> row = renderedRow(folder, c.steps, c.x, c.y, int(c.row.size()));
        ASSERT_EQ(row.size(), c.row.size()) << c.steps.constData();
        for (std::size_t i = 0; i < row.size(); ++i)
            EXPECT_TRUE(fxtest::near(row[i], c.row[i], 2 / 255.0f)) << c.steps.constData() << " at " << c.x + int(i);
    }
}

// A step's inputs are set in the order the filter declares them, whatever order the recipe (or
// JSON) gives: the colour chosen with a texture tints it instead of being replaced by the
// texture's own. A step sets properties that are no inputs, as the sRGB conversion's "toRGB".
TEST(FxRenderKitFilters, StepsSetInputsInTheFiltersOrderAndItsProperties)
{
    QTemporaryDir folder;
    ASSERT_NO_FATAL_FAILURE(writeTestPictures(folder));
    // The stripes' white (their base colour) becomes the green; their grey 128 a green of that value.
    const float g = 128 / 255.0f;
    const fxtest::Pixel green{0, 1, 0, 1}, darkGreen{0, g, 0, 1};
    // The sRGB curve undone: ((0.5 + 0.055) / 1.055)^2.4.
    const float linear = 0.214041f;
    const struct
    {
        QByteArray steps;
        std::vector<fxtest::Pixel> row;
    } cases[] = {
        {R"({"name": "mask", "crop": "white", "rect": [0, 0, 32, 4]}, {"name": "out", "filter": "QSTexturizeFilter",
            "inputs": {"inputColor": {"color": "0 1 0 1"}, "inputImage": "mask", "inputTextureName": "Stripes",
                       "inputTextureWidth": 16, "imageIsMask": 1}})",
         {green, green, darkGreen, darkGreen}},
        {R"({"name": "patch", "crop": "grey", "rect": [0, 0, 32, 4]}, {"name": "out", "filter": "QSSRGBConversionFilter",
            "inputs": {"inputImage": "patch", "toRGB": true}})",
         {{linear, linear, linear, 1}, {linear, linear, linear, 1}, {linear, linear, linear, 1}, {linear, linear, linear, 1}}},
    };
    for (const auto &c : cases) {
        const std::vector<fxtest::Pixel> row = renderedRow(folder, c.steps, 6, 1, int(c.row.size()));
        ASSERT_EQ(row.size(), c.row.size()) << c.steps.constData();
        for (std::size_t i = 0; i < row.size(); ++i)
            EXPECT_TRUE(fxtest::near(row[i], c.row[i], 2 / 255.0f)) << c.steps.constData() << " at " << 6 + int(i);
    }
}
