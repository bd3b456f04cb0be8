#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/FilterKeys.h"
#include "RQS-Kit/Effects/KernelColor.h"
#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSEffectChainEnd.h"
#include "RQS-Kit/Effects/QSEffectsCatalog.h"
#include "RQS-Kit/Effects/QSFilter.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/FxTestImages.h"
#include "platform/fx/Numbers.h"

#include <QMetaProperty>
#include <QRegularExpression>
#include <QTransform>

#include <cmath>
#include <limits>

using namespace platform::fx;
using Kind = InputAttribute::Kind;

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
// What damaged or malicious settings and recipes hold: three numbers that are not finite, two far
// beyond any picture.
const double hostileNumbers[] = {std::nan(""), infinity, -infinity, 1e308, -1e308};

std::string named(const QString &owner, const QString &key, double number, int position)
{
    return QStringLiteral("%1 %2 [%3] = %4").arg(owner, key).arg(position).arg(number).toStdString();
}

// The numbers a value holds, for reading it back.
QList<double> numbersIn(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QRectF>()) {
        const QRectF r = value.toRectF();
        return {r.x(), r.y(), r.width(), r.height()};
    }
    if (value.metaType() == QMetaType::fromType<Vector>()) {
        const Vector v = value.value<Vector>();
        return QList<double>(v.values.begin(), v.values.begin() + v.count);
    }
    if (value.metaType() == QMetaType::fromType<QTransform>()) {
        const QTransform t = value.value<QTransform>();
        return {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    }
    if (value.metaType() == QMetaType::fromType<Color>() || value.metaType() == QMetaType::fromType<QString>()) {
        const auto c = value.metaType() == QMetaType::fromType<Color>() ? value.value<Color>() : Color::fromText(value.toString());
        return c ? QList<double>{c->r, c->g, c->b, c->a} : QList<double>{};
    }
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        QList<double> numbers;
        for (const QVariant &item : value.toList())
            numbers << item.toDouble();
        return numbers;
    }
    return isNumeric(value) ? QList<double>{value.toDouble()} : QList<double>{};
}

bool withinThePlane(const QVariant &value)
{
    for (const double n : numbersIn(value)) {
        if (!(std::abs(n) <= Numbers::largest))
            return false;
    }
    return true;
}

// A value of the kind with the number at one of its places: the rest a small picture's worth.
std::optional<QVariant> withNumberAt(Kind kind, const QVariant &current, double number, int position)
{
    switch (kind) {
    case Kind::Number:
    case Kind::Boolean:
        return position == 0 ? std::optional<QVariant>(number) : std::nullopt;
    case Kind::Rectangle: {
        double n[4] = {0, 0, 8, 6};
        if (position >= 4)
            return std::nullopt;
        n[position] = number;
        return QRectF(n[0], n[1], n[2], n[3]);
    }
    case Kind::Vector: {
        Vector v = current.metaType() == QMetaType::fromType<Vector>() ? current.value<Vector>() : Vector{{0, 0, 8, 6}, 4};
        if (position >= v.count)
            return std::nullopt;
        v.values[std::size_t(position)] = number;
        return QVariant::fromValue(v);
    }
    case Kind::Transform: {
        double n[6] = {1, 0, 0, 1, 0, 0};
        if (position >= 6)
            return std::nullopt;
        n[position] = number;
        return QVariant::fromValue(QTransform(n[0], n[1], n[2], n[3], n[4], n[5]));
    }
    case Kind::Color: {
        float n[4] = {0.5f, 0.5f, 0.5f, 1};
        if (position >= 4)
            return std::nullopt;
        // A colour holds floats: the largest of them stands for a number beyond.
        n[position] = std::isfinite(number) ? std::copysign(std::numeric_limits<float>::max(), float(number)) : float(number);
        return QVariant::fromValue(Color{n[0], n[1], n[2], n[3]});
    }
    default:
        return std::nullopt;
    }
}

// The keys of the filter that take numbers: its inputs, then the properties its class declares.
QList<InputAttribute> numericKeys(const Filter &filter)
{
    QStringList keys = filter.inputKeys();
    const QMetaObject *meta = filter.metaObject();
    for (int i = Filter::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        keys << QString::fromLatin1(meta->property(i).name());
    QList<InputAttribute> numeric;
    for (const QString &key : keys) {
        const std::optional<InputAttribute> input = rqs::filterKeys::attribute(filter, key);
        if (input && input->kind != Kind::Image && input->kind != Kind::String && input->kind != Kind::Gradient)
            numeric << *input;
    }
    return numeric;
}

std::unique_ptr<Filter> filterWithPictures(const QString &name)
{
    std::unique_ptr<Filter> filter = FilterRegistry::create(name);
    filter->setDefaults();
    for (const InputAttribute &input : filter->inputAttributes()) {
        if (input.kind == Kind::Image)
            filter->setValueForKey(input.key, QVariant::fromValue(fxtest::ramp(16, 12)));
    }
    return filter;
}

// A render of the output near the picture gives pixels, or is refused with the reason.
void expectRenderedOrRefused(const Image &output, const platform::LogCapture &log)
{
    if (output.isNull())
        return;
    const QRect rect = Extent::pixelsTouching(output.extent()) & QRect(-40, -40, 96, 92);
    if (rect.isEmpty())
        return;
    const bool rendered = Context().render(output, rect).has_value();
    EXPECT_TRUE(rendered || !log.lines().filter("Error: ").isEmpty());
}

} // namespace

// Every number every registered filter takes, set as recipes set them: NaN and the infinities are
// refused and the input keeps its value, numbers beyond the engine's plane are kept to its side,
// each with a "Warning: " line; the filter then renders or refuses with its reason. A filter
// registered later is walked too; a described name whose class nobody registered makes none.
TEST(HostileNumbers, EveryNumberEveryFilterTakesIsRefusedOrKeptWithinThePlane)
{
    rqs::registerKitFilters();
    int walked = 0;
    for (const QString &name : FilterRegistry::names()) {
        const std::unique_ptr<Filter> made = FilterRegistry::create(name);
        if (!made)
            continue;
        for (const InputAttribute &input : numericKeys(*made)) {
            for (const double number : hostileNumbers) {
                for (int position = 0;; ++position) {
                    std::unique_ptr<Filter> filter = filterWithPictures(name);
                    const QVariant before = rqs::filterKeys::value(*filter, input.key);
                    const std::optional<QVariant> value = withNumberAt(input.kind, before, number, position);
                    if (!value)
                        break;
                    SCOPED_TRACE(named(name, input.key, number, position));
                    ++walked;
                    platform::LogCapture log;
                    const bool set = rqs::filterKeys::setValue(*filter, input.key, *value);
                    const QStringList warnings = log.lines().filter("Warning: ");
                    ASSERT_EQ(warnings.size(), 1) << log.lines().join('\n').toStdString();
                    EXPECT_TRUE(warnings.first().contains(input.key)) << warnings.first().toStdString();
                    if (!std::isfinite(number)) {
                        EXPECT_FALSE(set);
                        EXPECT_TRUE(warnings.first().endsWith("not a finite number; it is ignored")) << warnings.first().toStdString();
                        EXPECT_EQ(numbersIn(rqs::filterKeys::value(*filter, input.key)), numbersIn(before));
                        continue;
                    }
                    EXPECT_TRUE(set);
                    EXPECT_TRUE(warnings.first().contains(" to 1073741824; ")) << warnings.first().toStdString();
                    EXPECT_TRUE(withinThePlane(rqs::filterKeys::value(*filter, input.key)));
                    expectRenderedOrRefused(filter->outputImage(), log);
                }
            }
        }
    }
    // The engine's blurs, transforms and colours and the kit's filters: hundreds of places.
    EXPECT_GT(walked, 300);
}

namespace {

// A stored form of the value with the number at one of its places: numbers as they are, vectors
// as lists, colours as their text.
std::optional<QVariant> storedWithNumberAt(Kind kind, const QVariant &current, double number, int position)
{
    if (kind == Kind::Transform)
        return std::nullopt;
    if (kind == Kind::Color) {
        const QVariant colour = withNumberAt(kind, current, 0.5, position).value_or(QVariant());
        if (!colour.isValid())
            return std::nullopt;
        QStringList parts = colour.value<Color>().text().split(' ');
        parts[position] = QString::number(number);
        return parts.join(' ');
    }
    const std::optional<QVariant> value = withNumberAt(kind, current, number, position);
    if (!value || kind != Kind::Vector)
        return value;
    QVariantList list;
    for (const double n : numbersIn(*value))
        list << n;
    return list;
}

} // namespace

// Stored settings of every shipped effect with a hostile number in each of its filter's numbers
// (and as the global portion and canvas size): a warning names the setting, the effect's settings
// hold only numbers within the plane (so a saved file keeps no NaN), and the effect renders its
// picture or refuses with the reason.
TEST(HostileNumbers, StoredSettingsOfEveryShippedEffectKeepOnlyFiniteNumbers)
{
    rqs::registerKitFilters();
    const QSEffectsCatalog &catalog = QSEffectsCatalog::shared();
    int walked = 0;
    for (const QString &display : catalog.sortedDisplayNames()) {
        const QVariantMap stored = catalog.effectForDisplayName(display)->settings();
        const auto effect = QSEffectsCatalog::effectForSettings(stored);
        // The portion reaches every effect; the canvas size only those whose filter takes it.
        QList<InputAttribute> keys{rqs::inputs::number("portion")};
        for (const InputAttribute &input : numericKeys(*effect->filter()))
            keys << input;
        for (const InputAttribute &input : keys) {
            const bool global = input.key == "portion" || input.key == "canvasProportion";
            for (const double number : hostileNumbers) {
                for (int position = 0;; ++position) {
                    const QVariant current = rqs::filterKeys::value(*effect->filter(), input.key);
                    const std::optional<QVariant> value = storedWithNumberAt(input.kind, current, number, position);
                    if (!value)
                        break;
                    SCOPED_TRACE(named(display, input.key, number, position));
                    ++walked;
                    QVariantMap settings = stored;
                    QVariantMap globals{{"canvasProportion", 800}};
                    (global ? globals : settings).insert(input.key, *value);
                    platform::LogCapture log;
                    const auto made = QSEffectsCatalog::effectForSettings(settings);
                    ASSERT_TRUE(made);
                    QSEffectChainEnd end;
                    made->setSuccessor(&end);
                    made->setGlobalSettings(globals);
                    made->setInputImage(fxtest::ramp(16, 12));
                    EXPECT_FALSE(log.lines().filter(QRegularExpression("^Warning: .*" + input.key)).isEmpty())
                        << log.lines().join('\n').toStdString();
                    const QVariantMap kept = made->settings();
                    for (auto entry = kept.begin(); entry != kept.end(); ++entry)
                        EXPECT_TRUE(withinThePlane(entry.value())) << entry.key().toStdString();
                    EXPECT_TRUE(withinThePlane(rqs::filterKeys::value(*made->filter(), input.key)));
                    if (!global) {
                        EXPECT_NE(kept.value(input.key), *value);
                    }
                    expectRenderedOrRefused(end.image(), log);
                }
            }
        }
    }
    EXPECT_GT(walked, 200);
}

// Where the kit's own arithmetic turns doubles into ints: an extent far beyond the plane keeps
// its corner at the plane's edge, and a hue that is no number (from pixels that overflowed) picks
// the first sector, where both overflowed an int before.
TEST(HostileNumbers, TheKitsPixelArithmeticTurnsNumbersIntoIntsWithinThePlane)
{
    const double side = Numbers::largest;
    EXPECT_EQ(QSFilter::arrayForRect(QRectF(1e12, -1e300, 5, 6)), QRectF(side, -side, 5, 6));
    EXPECT_EQ(QSFilter::arrayForRect(QRectF(-2.7, 3.9, 5, 6)), QRectF(-2, 3, 5, 6));
    for (const float hue : {std::nanf(""), std::numeric_limits<float>::infinity()}) {
        const rqs::kernelcolor::Straight colour = rqs::kernelcolor::fromHsv({hue, 0.5f, 0.8f}, 1);
        EXPECT_EQ(colour.a, 1) << hue;
        EXPECT_EQ(colour.r, 0.8f) << hue;
    }
}
