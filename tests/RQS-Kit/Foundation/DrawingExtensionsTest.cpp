#include "RQS-Kit/Foundation/AttributedStringExtension.h"
#include "RQS-Kit/Foundation/ColorExtension.h"
#include "RQS-Kit/Foundation/GradientExtension.h"
#include "RQS-Kit/Foundation/ImageExtension.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/BitmapGraphicsContext.h"

#include "support/MainBundleScope.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <optional>

namespace {

// A style kit as the application registers one: class operations that answer colours and
// gradients by name, and one that answers something else.
class DrawingStyleKit : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE DrawingStyleKit() {}
    Q_INVOKABLE static QColor paperColor() { return QColor(250, 248, 240); }
    Q_INVOKABLE static QBrush stripesColor()
    {
        QImage stripes(2, 2, QImage::Format_RGB32);
        stripes.fill(Qt::yellow);
        return QBrush(stripes);
    }
    Q_INVOKABLE static int pageCount() { return 4; }
    Q_INVOKABLE static platform::Gradient dawnGradient() { return platform::Gradient(QList<QColor>{Qt::red, Qt::yellow}); }
};

QImage filled(const QColor &colour)
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// The colour of a solid brush, or of a pattern's first pixel.
QColor shown(const QBrush &brush)
{
    return brush.style() == Qt::TexturePattern ? brush.textureImage().pixelColor(0, 0) : brush.color();
}

// The first and last rows, top to bottom, that hold any ink.
std::pair<int, int> inkedRows(const QImage &image)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() > 64) {
                first = first < 0 ? y : first;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

platform::AttributedString text(const QString &string)
{
    QFont font;
    font.setPixelSize(12);
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground(Qt::black);
    return {string, {{0, int(string.size()), format}}};
}

} // namespace

// Numbers split at "/", else at blanks, counted as the colour text format counts them; a text
// whose red reads 0 (a word, or a colour without red) is first the name of an image, whose pattern
// it then is.
TEST(ColorExtension, ColorWithNameReadsBothFormsAndAnImageNamedLikeTheTextWinsWhenRedIsZero)
{
    QTemporaryDir bundle;
    for (const auto &[name, colour] : {std::pair{"Linen", QColor(Qt::green)}, {"0 0 1", QColor(Qt::cyan)}, {"1 0 0", QColor(Qt::magenta)}})
        ASSERT_TRUE(filled(colour).save(bundle.filePath(QString(name) + ".png")));
    MainBundleScope scope(bundle.path());
    const struct
    {
        const char *text;
        Qt::BrushStyle style;
        QColor colour;
    } cases[] = {
        {"0/0/1", Qt::SolidPattern, Qt::blue},
        {"0/0/1/0.5", Qt::SolidPattern, QColor::fromRgbF(0, 0, 1, 0.5)},
        {"0 0 1", Qt::TexturePattern, Qt::cyan},
        {"1 0 0", Qt::SolidPattern, Qt::red},
        {"0.5 0.25", Qt::SolidPattern, QColor::fromRgbF(0.5, 0.5, 0.5, 0.25)},
        {"1 0.5 0 0.5 0.9", Qt::SolidPattern, QColor::fromRgbF(1, 0.5, 0, 1)},
        {"Linen", Qt::TexturePattern, Qt::green},
        {"Silk", Qt::SolidPattern, Qt::black},
        {"", Qt::SolidPattern, Qt::black},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const QBrush brush = rqs::colorWithName(QString(c.text));
        EXPECT_EQ(brush.style(), c.style);
        EXPECT_EQ(shown(brush).rgba64(), c.colour.rgba64()) << shown(brush).name(QColor::HexArgb).toStdString();
    }
    EXPECT_EQ(rqs::name(rqs::colorWithName("0/0.5/1")), "0.000000 0.500000 1.000000 1.000000");
}

// A style kit's operation answers by name; without a kit, an operation of that name or an answer
// that is a colour (or a gradient), the name is read as text.
TEST(ColorExtension, StyleKitLookupsAnswerByNameAndFallBackToTheText)
{
    qRegisterMetaType<DrawingStyleKit *>();
    const struct
    {
        const char *name, *kit;
        QColor colour;
        bool warned;
    } colours[] = {
        {"paperColor", "DrawingStyleKit", QColor(250, 248, 240), false},
        {"stripesColor", "DrawingStyleKit", Qt::yellow, false},
        {"pageCount", "DrawingStyleKit", Qt::black, false},
        {"0 0 1", "DrawingStyleKit", Qt::blue, true},
        {"0 0 1", "NoSuchStyleKit", Qt::blue, true},
        {"0 0 1", "", Qt::blue, false},
        {"paperColor", "", Qt::black, false},
    };
    for (const auto &c : colours) {
        SCOPED_TRACE(std::string(c.name) + " in " + c.kit);
        platform::LogCapture log;
        EXPECT_EQ(shown(rqs::colorWithName(QString(c.name), QString(c.kit))).rgba64(), c.colour.rgba64());
        EXPECT_EQ(!log.lines().filter("Warning: ").isEmpty(), c.warned) << log.lines().join('\n').toStdString();
    }

    EXPECT_EQ(rqs::gradientWithName("dawnGradient", "DrawingStyleKit").stops(), (QGradientStops{{0, Qt::red}, {1, Qt::yellow}}));
    const QGradientStops redToBlue{{0, QColor::fromRgbF(1, 0, 0, 1)}, {1, QColor::fromRgbF(0, 0, 1, 1)}};
    EXPECT_EQ(rqs::gradientWithName("0 1 0 0 1 1 0 0 1 1", "DrawingStyleKit").stops(), redToBlue) << "no operation: the text";
    EXPECT_EQ(rqs::gradientWithName("paperColor", "DrawingStyleKit").stops(), (QGradientStops{{0, Qt::black}, {1, Qt::black}}))
        << "a colour is no gradient: the name as text, a plain fill";
    EXPECT_EQ(rqs::gradientWithName("0 1 0 0 1 1 0 0 1 1", "").stops(), redToBlue);
}

// The first entry of the folder named so (any extension) that reads as a picture; names are whole.
TEST(ImageExtension, ImageNamedInFolderTakesTheFirstReadablePictureOfThatName)
{
    QTemporaryDir folder;
    QFile notes(folder.filePath("Leaf.aaa"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("not a picture") > 0);
    notes.close();
    ASSERT_TRUE(filled(Qt::green).save(folder.filePath("Leaf.png")));
    ASSERT_TRUE(filled(Qt::red).save(folder.filePath("Leaflet.png")));
    const struct
    {
        const char *name;
        QString folder;
        std::optional<QColor> colour;
    } cases[] = {
        {"Leaf", folder.path(), QColor(Qt::green)},
        {"Leaflet", folder.path(), QColor(Qt::red)},
        {"Lea", folder.path(), std::nullopt},
        {"Leaf", folder.filePath("missing"), std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = rqs::imageNamed(c.name, c.folder);
        ASSERT_EQ(image.isNull(), !c.colour.has_value());
        if (c.colour) {
            EXPECT_EQ(image.pixelColor(0, 0), *c.colour);
        }
    }
}

// The wrapped text is centred on the rectangle's middle, whatever its lines: its ink lies as far
// above the middle as below it.
TEST(AttributedStringExtension, DrawCenteredVerticallyInRectCentresTheWrappedTextOnTheMiddle)
{
    const struct
    {
        const char *string;
        QRectF rect;
    } cases[] = {
        {"Centred", {0, 0, 200, 100}},
        {"Centred", {0, 20, 200, 40}},
        {"a sentence long enough to wrap into lines", {10, 0, 70, 100}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.string);
        const QImage drawn = platform::BitmapGraphicsContext::drawnImage({200, 100}, 1, [&](platform::GraphicsContext &) {
            rqs::drawCenteredVerticallyInRect(text(c.string), c.rect);
        });
        const auto [top, bottom] = inkedRows(drawn);
        ASSERT_GE(top, 0) << "nothing drawn";
        // y-up rectangle, rows counted from the top.
        const double middle = 100 - c.rect.center().y();
        const double lineHeight = rqs::heightForWidth(text("X"), 200);
        EXPECT_NEAR((top + bottom + 1) / 2.0, middle, lineHeight / 3) << top << " to " << bottom;
    }
    platform::LogCapture log;
    rqs::drawCenteredVerticallyInRect(text("Nowhere"), {0, 0, 100, 20});
    EXPECT_TRUE(log.contains("Warning: Text \"Nowhere\" was drawn without a graphics context"));
}

#include "DrawingExtensionsTest.moc"
