#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantList>

namespace platform {

// What an XML property list holds that libplist would take wrongly, found the way libplist finds
// its tags, before libplist reads it: how deep it nests arrays and dictionaries (libplist builds
// any depth and then frees it down one level at a time, which overflows the stack), and the
// values of its integer, real, date and data elements, and of the string elements that hold a
// reference, read by PropertyListScalar. libplist is handed the document with each such element
// replaced by an integer that numbers its value, so that no value libplist makes of a text reaches
// the reader; nor a string libplist would read in time growing with the square of its references.
// A key holds at most MaximumReferencesInAKey of them. A character reference to a character XML
// does not allow is refused before any of it. Comments, CDATA, processing instructions and the
// DOCTYPE are passed over.
struct XmlPropertyListOutline
{
    static constexpr int MaximumReferencesInAKey = 4096;

    int depth = 0;
    QByteArray document;
    QVariantList values;
    // Why a value cannot be read; empty when every one can. The outline stops at the first such
    // value or reference, or past PropertyList::MaximumDepth.
    QString error;

    static XmlPropertyListOutline of(const QByteArray &xml);
};

} // namespace platform
