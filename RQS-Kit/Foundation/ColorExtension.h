#pragma once

#include <QBrush>
#include <QString>

// Colours by name: from a style kit, a class of the application registered by name whose
// Q_INVOKABLE operations answer colours (see ObjectExtension.h), or read from their text form.
namespace rqs {

// The style kit's colour of that name (a QColor or QBrush answer); without a kit, without such an
// operation or without an answer, QSColor::colorFromDescription of the name.
QBrush colorWithName(const QString &name, const QString &styleKit);
// Numbers as QSColor::colorFromComponentText reads them; when red reads 0 (as a word does), the
// main bundle's image of that name gives its pattern if there is one.
QBrush colorWithName(const QString &text);
// "red green blue alpha", six decimals each with a point whatever the locale.
QString name(const QBrush &color);

} // namespace rqs
