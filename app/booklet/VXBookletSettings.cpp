#include "app/booklet/VXBookletSettings.h"

#include "app/booklet/VXPageNumberFilter.h"
#include "platform/foundation/DoubleValue.h"

#include <QMetaType>

#include <algorithm>
#include <cmath>

namespace {

enum class Kind { Bool, Int32, Unsigned, Double, String, PrintSettings };

struct Setting
{
    Kind kind;
    QVariant defaultValue;
    std::optional<VXBookletSettings::Range> range = std::nullopt;
};

// "printSettings" is filled in by defaults(); staplesCount is a double registered as an integer.
// The ranges are those of the controls in Document.ui, except where said.
const QMap<QString, Setting> &table()
{
    static const QMap<QString, Setting> settings{
        {QStringLiteral("autoPaperSize"), {Kind::Bool, false}},
        {QStringLiteral("printSettings"), {Kind::PrintSettings, QVariant()}},
        // The field's, whose least is the page view's: a page zoomed to nothing could not be
        // taken hold of again.
        {QStringLiteral("zoom"), {Kind::Double, 1.0, {{0.05, 10, std::nullopt}}}},
        {QStringLiteral("centerX"), {Kind::Double, 0.0, {{-1, 1, std::nullopt}}}},
        {QStringLiteral("centerY"), {Kind::Double, 0.0, {{-1, 1, std::nullopt}}}},
        {QStringLiteral("reverseOrder"), {Kind::Bool, false}},
        {QStringLiteral("straightOrder"), {Kind::Bool, false}},
        {QStringLiteral("rotateLandscape"), {Kind::Bool, false}},
        {QStringLiteral("rotateLandscapeCW"), {Kind::Bool, false}},
        {QStringLiteral("showPageNumbers"), {Kind::Bool, false}},
        {QStringLiteral("pageNumbersFirst"), {Kind::Int32, 1, {{1, 99999, std::nullopt}}}},
        {QStringLiteral("pageNumbersStart"), {Kind::Int32, 1, {{0, 99999, std::nullopt}}}},
        {QStringLiteral("pageNumbersLast"), {Kind::Int32, 0, {{0, 99999, std::nullopt}}}},
        {QStringLiteral("pageNumbersFontName"), {Kind::String, VXPageNumberFilter::desktopFontName()}},
        // The sizes the font panel takes.
        {QStringLiteral("pageNumbersFontSize"), {Kind::Double, 12.0, {{1, 512, std::nullopt}}}},
        {QStringLiteral("pageNumbersX"), {Kind::Double, 0.0, {{-1, 1, std::nullopt}}}},
        {QStringLiteral("pageNumbersY"), {Kind::Double, 0.9, {{0, 1, std::nullopt}}}},
        {QStringLiteral("splitBooklet"), {Kind::Bool, false}},
        // The split filter's field, which the setting follows.
        {QStringLiteral("splitIntoXPage"), {Kind::Unsigned, quint64(80), {{4, 100000, std::nullopt}}}},
        {QStringLiteral("splitAddingEmpty"), {Kind::Bool, false}},
        {QStringLiteral("creepCompensation"), {Kind::Bool, false}},
        // The seven presets and the manual entry, which every other type is.
        {QStringLiteral("creepCompensationType"), {Kind::Int32, 1, {{0, 7, 7}}}},
        {QStringLiteral("creepCompensationMM"), {Kind::Double, 0.18, {{0, 2, std::nullopt}}}},
        {QStringLiteral("showStaples"), {Kind::Bool, false}},
        {QStringLiteral("staplesCount"), {Kind::Double, 2, {{1, 10, std::nullopt}}}},
        {QStringLiteral("rasterizeDPI"), {Kind::Double, 300.0, {{72, 1200, std::nullopt}}}},
    };
    return settings;
}

// Booleans count as numbers here: stored settings hold BOOLs as numbers.
bool isNumber(const QVariant &value)
{
    return platform::isNumber(value) || value.typeId() == QMetaType::Bool;
}

bool isWhole(const QVariant &value)
{
    return isNumber(value) && value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Float;
}

bool isNegative(const QVariant &whole)
{
    switch (whole.typeId()) {
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
        return false;
    default:
        return whole.toLongLong() < 0;
    }
}

std::optional<double> finiteNumber(const QVariant &value)
{
    if (!isNumber(value))
        return std::nullopt;
    const double number = value.toDouble();
    return std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

double inRange(double number, const std::optional<VXBookletSettings::Range> &range)
{
    if (!range || (number >= range->minimum && number <= range->maximum))
        return number;
    return range->outside.value_or(std::clamp(number, range->minimum, range->maximum));
}

// Each key whose setter sets another key, with that key.
const QList<std::pair<QString, QString>> &derivedKeys()
{
    static const QList<std::pair<QString, QString>> derived{
        {QStringLiteral("creepCompensationType"), QStringLiteral("creepCompensationMM")},
    };
    return derived;
}

} // namespace

const QStringList &VXBookletSettings::keys()
{
    static const QStringList keys = [] {
        QStringList ordered = table().keys();
        for (const auto &[setter, derived] : derivedKeys()) {
            ordered.removeOne(setter);
            ordered.insert(ordered.indexOf(derived), setter);
        }
        return ordered;
    }();
    return keys;
}

bool VXBookletSettings::isSettingsKey(const QString &key) { return table().contains(key); }

QVariantMap VXBookletSettings::defaults(const QByteArray &printSettings)
{
    QVariantMap defaults;
    for (auto it = table().cbegin(); it != table().cend(); ++it)
        defaults.insert(it.key(), it.value().defaultValue);
    defaults.insert(QStringLiteral("printSettings"), printSettings);
    return defaults;
}

std::optional<VXBookletSettings::Range> VXBookletSettings::rangeOf(const QString &key)
{
    const auto found = table().constFind(key);
    return found == table().cend() ? std::nullopt : found->range;
}

std::optional<QVariant> VXBookletSettings::acceptedValue(const QString &key, const QVariant &value)
{
    const auto found = table().constFind(key);
    if (found == table().cend())
        return std::nullopt;
    const std::optional<double> number = finiteNumber(value);
    switch (found->kind) {
    case Kind::Bool:
        return number ? std::optional<QVariant>(*number != 0) : std::nullopt;
    case Kind::Int32:
        if (!number || *number != std::floor(*number))
            return std::nullopt;
        return QVariant(qint32(inRange(*number, found->range)));
    case Kind::Unsigned:
        // The range holds every digit a whole number of it can have.
        if (!number || *number != std::floor(*number))
            return std::nullopt;
        return QVariant(quint64(inRange(*number, found->range)));
    case Kind::Double:
        return number ? std::optional<QVariant>(inRange(*number, found->range)) : std::nullopt;
    case Kind::String:
        return value.typeId() == QMetaType::QString ? std::optional<QVariant>(value) : std::nullopt;
    case Kind::PrintSettings:
        if (!value.isValid() || value.typeId() == QMetaType::QByteArray || value.typeId() == QMetaType::QVariantMap)
            return value;
        return std::nullopt;
    }
    return std::nullopt;
}

bool VXBookletSettings::sameValue(const QVariant &a, const QVariant &b)
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    if (isNumber(a) && isNumber(b)) {
        if (isWhole(a) && isWhole(b)) {
            if (isNegative(a) != isNegative(b))
                return false;
            return isNegative(a) ? a.toLongLong() == b.toLongLong() : a.toULongLong() == b.toULongLong();
        }
        return a.toDouble() == b.toDouble();
    }
    if (a.typeId() != b.typeId())
        return false;
    if (a.typeId() == QMetaType::QVariantMap) {
        const QVariantMap left = a.toMap();
        const QVariantMap right = b.toMap();
        if (left.keys() != right.keys())
            return false;
        for (auto it = left.cbegin(); it != left.cend(); ++it) {
            if (!sameValue(it.value(), right.value(it.key())))
                return false;
        }
        return true;
    }
    return a == b;
}

const QList<double> &VXBookletSettings::creepPresets()
{
    static const QList<double> presets{0.16, 0.18, 0.21, 0.23, 0.28, 0.37, 0.46};
    return presets;
}

bool VXBookletSettings::isUsablePaperSize(const QSizeF &size)
{
    const auto usable = [](double side) { return side >= MinimumPaperSide && side <= MaximumPaperSide; };
    return usable(size.width()) && usable(size.height());
}

bool VXBookletSettings::isUsableCreep(double millimetres)
{
    return millimetres >= 0 && millimetres <= MaximumPaperSide / 72 * 25.4;
}
