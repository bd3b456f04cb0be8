#include "app/booklet/VXBookletSettings.h"

#include "app/booklet/VXPageNumberFilter.h"
#include "platform/foundation/DoubleValue.h"

#include <QMetaType>

#include <cmath>
#include <limits>

namespace {

enum class Kind { Bool, Int32, Unsigned, Double, String, PrintSettings };

struct Setting
{
    Kind kind;
    QVariant defaultValue;
};

// "printSettings" is filled in by defaults(); staplesCount is a double registered as an integer.
const QMap<QString, Setting> &table()
{
    static const QMap<QString, Setting> settings{
        {QStringLiteral("autoPaperSize"), {Kind::Bool, false}},
        {QStringLiteral("printSettings"), {Kind::PrintSettings, QVariant()}},
        {QStringLiteral("zoom"), {Kind::Double, 1.0}},
        {QStringLiteral("centerX"), {Kind::Double, 0.0}},
        {QStringLiteral("centerY"), {Kind::Double, 0.0}},
        {QStringLiteral("reverseOrder"), {Kind::Bool, false}},
        {QStringLiteral("straightOrder"), {Kind::Bool, false}},
        {QStringLiteral("rotateLandscape"), {Kind::Bool, false}},
        {QStringLiteral("rotateLandscapeCW"), {Kind::Bool, false}},
        {QStringLiteral("showPageNumbers"), {Kind::Bool, false}},
        {QStringLiteral("pageNumbersFirst"), {Kind::Int32, 1}},
        {QStringLiteral("pageNumbersStart"), {Kind::Int32, 1}},
        {QStringLiteral("pageNumbersLast"), {Kind::Int32, 0}},
        {QStringLiteral("pageNumbersFontName"), {Kind::String, VXPageNumberFilter::desktopFontName()}},
        {QStringLiteral("pageNumbersFontSize"), {Kind::Double, 12.0}},
        {QStringLiteral("pageNumbersX"), {Kind::Double, 0.0}},
        {QStringLiteral("pageNumbersY"), {Kind::Double, 0.9}},
        {QStringLiteral("splitBooklet"), {Kind::Bool, false}},
        {QStringLiteral("splitIntoXPage"), {Kind::Unsigned, quint64(80)}},
        {QStringLiteral("splitAddingEmpty"), {Kind::Bool, false}},
        {QStringLiteral("creepCompensation"), {Kind::Bool, false}},
        {QStringLiteral("creepCompensationType"), {Kind::Int32, 1}},
        {QStringLiteral("creepCompensationMM"), {Kind::Double, 0.18}},
        {QStringLiteral("showStaples"), {Kind::Bool, false}},
        {QStringLiteral("staplesCount"), {Kind::Double, 2}},
        {QStringLiteral("rasterizeDPI"), {Kind::Double, 300.0}},
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
        if (!number || *number != std::floor(*number) || *number < std::numeric_limits<qint32>::min()
            || *number > std::numeric_limits<qint32>::max())
            return std::nullopt;
        return QVariant(qint32(*number));
    case Kind::Unsigned:
        if (!number || *number < 0 || *number != std::floor(*number))
            return std::nullopt;
        // Whole numbers keep every digit; a double this large is far past any page count.
        return QVariant(isWhole(value) ? value.toULongLong()
                                       : (*number >= 0x1p63 ? quint64(1) << 63 : quint64(*number)));
    case Kind::Double:
        return number ? std::optional<QVariant>(*number) : std::nullopt;
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
