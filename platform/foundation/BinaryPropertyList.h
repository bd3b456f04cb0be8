#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace platform {

// Reads the binary property-list form ("bplist00") into the QVariant tree PropertyList gives.
// libplist 2.2 trusts the form's trailer, offset table and object references and aborts on some
// damaged files, so the bytes are read here, every offset and reference checked before it is
// followed. An array or dictionary may appear once in the tree only (no cycles, no sharing), the
// nesting is held to PropertyList::MaximumDepth, and a text or data shared by many references may
// not unfold into much more than the file holds.
class BinaryPropertyList
{
public:
    static bool isBinary(const QByteArray &data);
    // An invalid QVariant when the bytes are damaged; the reason goes to error.
    static QVariant read(const QByteArray &data, QString *error = nullptr);

    // How many bytes of text and data the tree may hold beyond the file's own size.
    static constexpr qint64 MaximumUnfoldedBytes = qint64(64) << 20;
};

} // namespace platform
