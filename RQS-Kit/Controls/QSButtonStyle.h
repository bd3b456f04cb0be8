#pragma once

#include "platform/graphics/Shadow.h"

#include <QBrush>
#include <QFont>
#include <QMarginsF>
#include <QVariantMap>

#include <optional>

// The text style of a kit button in one visual state, as a description folder's "Info.plist" gives
// it: per state ("disabled", "normal", "hover", "down"), optionally per on/off state
// ("normal.on", "hover.off", ...), with the keys "text.color", "text.font" + "text.size",
// "text.alignment", "text.shadow", "text.offset.y", "text.margin" and "padding.top|bottom|left|right".
struct QSButtonStyle
{
    QBrush textColor = Qt::white;
    std::optional<platform::Shadow> textShadow;
    std::optional<QFont> font;
    std::optional<int> alignment;
    double textOffsetY = 0;
    double textMargin = 0;
    // Top, bottom, left and right in points (QMarginsF's left, top, right, bottom fields).
    QMarginsF padding;

    // The state's dictionary: its on/off key, else its plain key, else "normal". Text keys it
    // leaves out keep what the state before set; padding it leaves out is 0.
    static QVariantMap stateDictionary(const QVariantMap &description, int visualState, bool on);
    // Writes what the dictionary sets over this style; padding that it leaves out becomes 0.
    void apply(const QVariantMap &dictionary);
    // The description has an entry for the disabled state.
    static bool hasDisabledDescription(const QVariantMap &description, bool on);
};
