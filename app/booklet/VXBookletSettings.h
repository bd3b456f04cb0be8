#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// The 26 booklet settings as data: their keys, the registered defaults, which values each key
// takes, and how stored values compare. Settings dictionaries come from the user's defaults file,
// from factory tasks and from files given to tools, so every value is checked before it is used.
class VXBookletSettings
{
public:
    VXBookletSettings() = delete;

    // The order in which settings are applied: sorted, except that a key whose setter sets another
    // key comes before that key (creepCompensationType, whose presets set creepCompensationMM), so
    // that a value given for the other key is applied last and kept.
    static const QStringList &keys();
    static bool isSettingsKey(const QString &key);
    // The defaults registered for a new user; printSettings is the given archived print info.
    static QVariantMap defaults(const QByteArray &printSettings);

    // The numbers a numeric key takes: those its control in the window allows (the field's range
    // in the interface file; the font panel's sizes; the combo box's entries). A number outside
    // becomes the nearer end, or `outside` where the key has one. nullopt for booleans, text and
    // print settings.
    struct Range
    {
        double minimum;
        double maximum;
        std::optional<double> outside;
    };
    static std::optional<Range> rangeOf(const QString &key);

    // The value in the type the key takes, within the key's range: whole numbers only for integer
    // keys, finite numbers, text for the font name, archived data or a dictionary for
    // printSettings (also nothing, which leaves the print info alone). nullopt for a value of the
    // wrong kind.
    static std::optional<QVariant> acceptedValue(const QString &key, const QVariant &value);

    // Numbers by value (a boolean is the number 0 or 1), data by bytes, text by characters,
    // dictionaries key by key; two absent values are equal.
    static bool sameValue(const QVariant &a, const QVariant &b);

    // Paper thicknesses in millimetres, chosen by creepCompensationType 0 to 6.
    static const QList<double> &creepPresets();

    // PDF readers take pages of 3 to 14,400 points a side (about 5 metres); a paper outside them
    // can never be printed or shown. NaN and infinities are outside.
    static constexpr double MinimumPaperSide = 3;
    static constexpr double MaximumPaperSide = 14400;
    static bool isUsablePaperSize(const QSizeF &size);
    // A sheet no thicker than the largest paper is wide, in millimetres, and not negative.
    static bool isUsableCreep(double millimetres);
};
