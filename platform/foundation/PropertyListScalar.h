#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <optional>

namespace platform {

// The integer, real, date and data elements of the XML form, read from the element's whole
// content as an XML reader takes it (comments dropped, CDATA and character references taken as
// text): the value as written, or none with the reason. libplist reads these from part of their
// text and takes what it cannot read as 0, or as the nearest value that fits.
namespace PropertyListScalar {

// Whether an element of that name is read here.
bool isScalarTag(QByteArrayView tag);
// The text of a string element from its content, as an XML reader gives it.
std::optional<QString> text(QByteArrayView content, QString &error);
// The value of the element from its content, the bytes between its tags (empty for <tag/>).
std::optional<QVariant> fromXml(QByteArrayView tag, QByteArrayView content, QString &error);

} // namespace PropertyListScalar

} // namespace platform
