// Renders an image recipe written as JSON through the image engine, for tests and benchmarks.
//   fx-render RECIPE.json OUT.png [--raw OUT.f32] [--rect X,Y,W,H] [--stats] [--resources DIR]
//   fx-render --effects CHAIN.json IN.png OUT.png [--dump-settings] [and the options above]
// A "filter" step names a built-in ("CIGaussianBlur") or a kit filter class ("QSAdjustableBlendFilter"),
// with that filter's input keys, or properties its class declares ("toRGB"), set in the order the
// filter declares its inputs. --resources DIR is the folder of named pictures that kit filters
// read by name (the kit's graphics bundle); without it, the application's resources.
// --effects chains the effects made from CHAIN.json, an array of stored effect settings, as the
// effects catalog makes them, and renders IN.png through them; --dump-settings prints the settings
// the effects answer, as one JSON array line before the render's line.
// Exits 0 after printing one JSON line about the render (two with --stats), else 1 after one
// "Error: " line.
#include "BenchSession.h"

#include "RQS-Kit/Effects/FilterKeys.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffectChainEnd.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "RQS-Kit/Foundation/BundleExtension.h"
#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Context.h"
#include "platform/fx/Extent.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/Numbers.h"
#include "platform/graphics/PngWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cstdio>
#include <malloc.h>
#include <optional>

using namespace platform::fx;

namespace {

// What a band of the picture may hold while it is rendered.
constexpr qint64 bandBytes = qint64(16) << 20;

struct Options
{
    // The recipe, or with effects the input picture.
    QString recipe, png, raw, resources, effects;
    std::optional<QRect> rect;
    bool stats = false;
    bool dumpSettings = false;
};

std::optional<Options> readOptions(const QStringList &arguments)
{
    Options options;
    QStringList positional;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--stats")) {
            options.stats = true;
        } else if (argument == QLatin1String("--dump-settings")) {
            options.dumpSettings = true;
        } else if (argument == QLatin1String("--effects") && i + 1 < arguments.size()) {
            options.effects = arguments[++i];
        } else if (argument == QLatin1String("--resources") && i + 1 < arguments.size()) {
            options.resources = arguments[++i];
        } else if (argument == QLatin1String("--raw") && i + 1 < arguments.size()) {
            options.raw = arguments[++i];
        } else if (argument == QLatin1String("--rect") && i + 1 < arguments.size()) {
            const QStringList parts = arguments[++i].split(QLatin1Char(','));
            bool ok = parts.size() == 4;
            int values[4] = {};
            for (int k = 0; ok && k < 4; ++k)
                values[k] = parts[k].toInt(&ok);
            if (!ok || values[2] <= 0 || values[3] <= 0) {
                platform::logError(QStringLiteral("--rect wants X,Y,W,H in whole pixels, W and H above 0"));
                return std::nullopt;
            }
            options.rect = QRect(values[0], values[1], values[2], values[3]);
        } else if (argument.startsWith(QLatin1String("--"))) {
            platform::logError(QStringLiteral("Unknown option %1").arg(argument));
            return std::nullopt;
        } else {
            positional << argument;
        }
    }
    if (positional.size() != 2) {
        platform::logError(QStringLiteral("Usage: fx-render RECIPE.json OUT.png [--raw OUT.f32] [--rect X,Y,W,H] [--stats] "
                                          "[--resources DIR]\n"
                                          "       fx-render --effects CHAIN.json IN.png OUT.png [--dump-settings] [...]"));
        return std::nullopt;
    }
    options.recipe = positional[0];
    options.png = positional[1];
    return options;
}

// Builds the images of a recipe by name, each once, refusing names that lead back to themselves.
class RecipeBuilder
{
public:
    RecipeBuilder(const QJsonObject &recipe, const QDir &folder)
        : m_images(recipe.value(QStringLiteral("images")).toObject())
        , m_folder(folder)
    {
        for (const QJsonValue &step : recipe.value(QStringLiteral("steps")).toArray())
            m_steps.insert(step.toObject().value(QStringLiteral("name")).toString(), step.toObject());
    }

    // Null after one "Error: " line. Walks the steps without recursion, so that chains of any
    // length fit the stack.
    Image build(const QString &name)
    {
        std::vector<QString> pending{name};
        while (!pending.empty()) {
            const QString current = pending.back();
            if (m_built.contains(current)) {
                pending.pop_back();
                continue;
            }
            if (!names(current)) {
                platform::logError(QStringLiteral("The recipe has no image or step named %1").arg(current));
                return {};
            }
            if (!m_visiting.contains(current)) {
                m_visiting.insert(current);
                for (const QString &input : inputsOf(current)) {
                    if (m_built.contains(input))
                        continue;
                    if (m_visiting.contains(input)) {
                        platform::logError(QStringLiteral("The recipe has a cycle through %1").arg(input));
                        return {};
                    }
                    pending.push_back(input);
                }
                continue;
            }
            // Every input is built: make this one.
            m_visiting.remove(current);
            pending.pop_back();
            const Image image = m_images.contains(current) ? source(m_images.value(current).toObject())
                                                           : step(m_steps.value(current));
            if (image.isNull())
                return {};
            m_built.insert(current, image);
        }
        return m_built.value(name);
    }

private:
    bool names(const QString &name) const { return m_images.contains(name) || m_steps.contains(name); }

    // The images and steps a step reads, by name.
    QStringList inputsOf(const QString &name) const
    {
        if (!m_steps.contains(name))
            return {};
        const QJsonObject step = m_steps.value(name);
        QStringList inputs;
        if (step.contains(QStringLiteral("filter"))) {
            const QJsonObject values = step.value(QStringLiteral("inputs")).toObject();
            for (auto value = values.begin(); value != values.end(); ++value) {
                if (value->isString() && names(value->toString()))
                    inputs << value->toString();
            }
            return inputs;
        }
        for (const char *operation : {"crop", "transform", "clamp", "tile"}) {
            if (step.contains(QLatin1String(operation)))
                return {step.value(QLatin1String(operation)).toString()};
        }
        return {};
    }

    Image source(const QJsonObject &description)
    {
        if (description.contains(QStringLiteral("file")))
            return Image::fromFile(m_folder.filePath(description.value(QStringLiteral("file")).toString()));
        if (description.contains(QStringLiteral("color"))) {
            if (const auto color = Color::fromText(description.value(QStringLiteral("color")).toString()))
                return Image::withColor(*color);
        }
        if (description.value(QStringLiteral("random")).toBool())
            return Image::random();
        platform::logError(QStringLiteral("An image needs a file, a colour \"R G B A\" or \"random\": true"));
        return {};
    }

    // A step whose inputs are built.
    Image step(const QJsonObject &step)
    {
        const QString name = step.value(QStringLiteral("name")).toString();
        Image result;
        if (step.contains(QStringLiteral("filter")))
            return filterStep(step);
        for (const char *operation : {"crop", "transform", "clamp", "tile"}) {
            if (!step.contains(QLatin1String(operation)))
                continue;
            const Image input = m_built.value(step.value(QLatin1String(operation)).toString());
            if (input.isNull())
                break;
            const QJsonArray numbers = step.value(QLatin1String(operation) == QLatin1String("crop") ? QStringLiteral("rect")
                                                                                                    : QStringLiteral("matrix"))
                                           .toArray();
            const auto what = [&] { return QStringLiteral("The %1 of the step %2").arg(QLatin1String(operation), name); };
            if (QLatin1String(operation) == QLatin1String("crop") && numbers.size() == 4) {
                const QRectF rect(numbers[0].toDouble(), numbers[1].toDouble(), numbers[2].toDouble(), numbers[3].toDouble());
                if (const std::optional<QVariant> kept = Numbers::checked(rect, what))
                    result = input.cropped(kept->toRectF());
            } else if (QLatin1String(operation) == QLatin1String("transform") && numbers.size() == 6) {
                const QTransform transform(numbers[0].toDouble(), numbers[1].toDouble(), numbers[2].toDouble(),
                                           numbers[3].toDouble(), numbers[4].toDouble(), numbers[5].toDouble());
                if (const std::optional<QVariant> kept = Numbers::checked(QVariant::fromValue(transform), what))
                    result = input.transformed(kept->value<QTransform>());
            } else if (QLatin1String(operation) == QLatin1String("clamp")) {
                result = input.clampedToExtent();
            } else if (QLatin1String(operation) == QLatin1String("tile")) {
                result = input.tiled();
            }
            break;
        }
        if (result.isNull())
            platform::logError(QStringLiteral("The step %1 makes no image").arg(name));
        return result;
    }

    Image filterStep(const QJsonObject &step)
    {
        const QString name = step.value(QStringLiteral("name")).toString();
        const std::unique_ptr<Filter> filter = FilterRegistry::create(step.value(QStringLiteral("filter")).toString());
        if (!filter) {
            platform::logError(QStringLiteral("The step %1 names an unknown filter").arg(name));
            return {};
        }
        filter->setDefaults();
        const QJsonObject inputs = step.value(QStringLiteral("inputs")).toObject();
        // As the filter declares its inputs: a texture name chosen after a colour would replace it.
        for (const QString &key : filter->applyingOrder(inputs.keys())) {
            const std::optional<QVariant> value = inputValue(inputs.value(key));
            if (!value)
                return {};
            if (!rqs::filterKeys::setValue(*filter, key, *value)) {
                platform::logError(QStringLiteral("The step %1 cannot set %2").arg(name, key));
                return {};
            }
        }
        const Image output = filter->outputImage();
        if (output.isNull())
            platform::logError(QStringLiteral("The step %1 makes no image").arg(name));
        return output;
    }

    std::optional<QVariant> inputValue(const QJsonValue &value)
    {
        if (value.isString() && m_built.contains(value.toString()))
            return QVariant::fromValue(m_built.value(value.toString()));
        if (value.isObject()) {
            if (const auto color = Color::fromText(value.toObject().value(QStringLiteral("color")).toString()))
                return QVariant::fromValue(*color);
            platform::logError(QStringLiteral("An object input must be {\"color\": \"R G B A\"}"));
            return std::nullopt;
        }
        if (value.isArray()) {
            const QJsonArray numbers = value.toArray();
            if (numbers.size() == 6)
                return QVariant::fromValue(QTransform(numbers[0].toDouble(), numbers[1].toDouble(), numbers[2].toDouble(),
                                                      numbers[3].toDouble(), numbers[4].toDouble(), numbers[5].toDouble()));
            if (numbers.size() >= 2 && numbers.size() <= 4) {
                Vector vector;
                vector.count = int(numbers.size());
                for (int i = 0; i < vector.count; ++i)
                    vector.values[std::size_t(i)] = numbers[i].toDouble();
                return QVariant::fromValue(vector);
            }
            platform::logError(QStringLiteral("An array input must hold 2 to 4 or 6 numbers"));
            return std::nullopt;
        }
        return value.toVariant();
    }

    QJsonObject m_images;
    QHash<QString, QJsonObject> m_steps;
    QDir m_folder;
    QHash<QString, Image> m_built;
    QSet<QString> m_visiting;
};

QJsonValue rectJson(const QRectF &rect)
{
    if (Extent::isInfinite(rect))
        return QStringLiteral("infinite");
    return QJsonArray{rect.x(), rect.y(), rect.width(), rect.height()};
}

bool writeRaw(const Buffer &pixels, const QString &path)
{
    platform::AtomicFileWriter file(path);
    QString reason;
    const QRect &rect = pixels.rect();
    bool written = file.open();
    // Little-endian floats, as this machine holds them.
    for (int y = rect.bottom(); written && y >= rect.top(); --y)
        written = platform::AtomicFileWriter::writeAll(file.device(), reinterpret_cast<const char *>(pixels.row(y) + rect.left()),
                                                       qint64(sizeof(Pixel)) * rect.width(), &reason);
    if (written && file.commit())
        return true;
    file.cancel();
    platform::logError(QStringLiteral("Could not write %1, because %2").arg(path, reason.isEmpty() ? file.errorString() : reason));
    return false;
}

QJsonDocument readJson(const QString &path)
{
    QFile file(path);
    QJsonParseError parseError;
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll(), &parseError) : QJsonDocument();
}

Image recipeOutput(const Options &options)
{
    const QJsonDocument document = readJson(options.recipe);
    if (!document.isObject()) {
        platform::logError(QStringLiteral("Could not read the recipe %1").arg(options.recipe));
        return {};
    }
    RecipeBuilder builder(document.object(), QFileInfo(options.recipe).absoluteDir());
    return builder.build(document.object().value(QStringLiteral("output")).toString());
}

Image chainOutput(const Options &options)
{
    const QJsonDocument document = readJson(options.effects);
    if (!document.isArray()) {
        platform::logError(QStringLiteral("Could not read the effect chain %1 as an array").arg(options.effects));
        return {};
    }
    std::vector<std::unique_ptr<QSEffect>> effects;
    for (const QJsonValue &settings : document.array()) {
        effects.push_back(settings.isObject() ? QSEffectsCatalog::effectForSettings(settings.toObject().toVariantMap())
                                              : nullptr);
        if (!effects.back()) {
            platform::logError(QStringLiteral("The chain's settings %1 make no effect").arg(effects.size()));
            return {};
        }
    }
    if (effects.empty()) {
        platform::logError(QStringLiteral("The effect chain %1 is empty").arg(options.effects));
        return {};
    }
    QSEffectChainEnd end;
    for (std::size_t i = 0; i < effects.size(); ++i)
        effects[i]->setSuccessor(i + 1 < effects.size() ? static_cast<QObject *>(effects[i + 1].get()) : &end);
    const Image input = Image::fromFile(options.recipe);
    if (input.isNull())
        return {};
    // Frames and borders are measured against the canvas, as the frame editor's preview gives it.
    effects.front()->setGlobalSettings({{QStringLiteral("canvasProportion"), 2.0 * input.extent().width()}});
    effects.front()->setInputImage(input);
    if (options.dumpSettings) {
        QJsonArray dump;
        for (const auto &effect : effects)
            dump.append(QJsonObject::fromVariantMap(effect->settings()));
        std::printf("%s\n", QJsonDocument(dump).toJson(QJsonDocument::Compact).constData());
    }
    if (end.image().isNull())
        platform::logError(QStringLiteral("The effect chain gives no picture"));
    return end.image();
}

int run(const Options &options)
{
    rqs::registerKitFilters();
    if (!options.resources.isEmpty() && !rqs::setGraphicsBundlePath(options.resources)) {
        platform::logError(QStringLiteral("--resources wants a folder"));
        return 1;
    }
    const Image output = options.effects.isEmpty() ? recipeOutput(options) : chainOutput(options);
    if (output.isNull())
        return 1;
    if (!options.rect && Extent::isInfinite(output.extent())) {
        platform::logError(QStringLiteral("The output is infinite; give --rect"));
        return 1;
    }
    const QRect rect = options.rect.value_or(Extent::pixelsTouching(output.extent()));
    RenderStats stats;
    if (options.stats || !options.raw.isEmpty()) {
        const std::optional<Buffer> pixels = Context().render(output, rect, &stats);
        if (!pixels || (!options.raw.isEmpty() && !writeRaw(*pixels, options.raw)))
            return 1;
        if (!platform::PngWriter::write(Context::toQImage(*pixels, QImage::Format_RGBA8888), options.png))
            return 1;
    } else {
        // Rendered and written a band at a time, straight into eight bits: neither the float
        // pixels nor the picture are ever held whole. The bands together stay within the budgets.
        if (const QString refusal = Context::budgetRefusal(output, rect); !refusal.isEmpty()) {
            platform::logError(refusal);
            return 1;
        }
        const auto band = [&](int top, int count) {
            return Context().createImage(output, QRectF(rect.left(), rect.bottom() + 1 - top - count, rect.width(), count),
                                         QImage::Format_RGBA8888);
        };
        if (!platform::PngWriter::write(rect.size(), Context::bandRows(output, rect, bandBytes), band, options.png))
            return 1;
    }
    const QJsonObject summary{{QStringLiteral("extent"), rectJson(output.extent())},
                              {QStringLiteral("rect"), rectJson(QRectF(rect))},
                              {QStringLiteral("width"), rect.width()},
                              {QStringLiteral("height"), rect.height()}};
    std::printf("%s\n", QJsonDocument(summary).toJson(QJsonDocument::Compact).constData());
    if (options.stats) {
        QJsonArray nodes;
        qint64 total = 0;
        for (const RenderStats::Entry &entry : stats.nodes) {
            nodes.append(QJsonObject{{QStringLiteral("node"), entry.kind}, {QStringLiteral("pixels"), entry.pixels}});
            total += entry.pixels;
        }
        const QJsonObject line{{QStringLiteral("nodes"), nodes}, {QStringLiteral("total"), total}};
        std::printf("%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Bands of a render free and take buffers of the same sizes: keep them in the heap rather than
    // mapping and faulting in fresh pages for every band.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    const QStringList arguments = bench::toolArguments(argc, argv);
    int qtArgc = 1;
    QCoreApplication application(qtArgc, argv);
    const std::optional<Options> options = readOptions(arguments);
    return options ? run(*options) : 1;
}
