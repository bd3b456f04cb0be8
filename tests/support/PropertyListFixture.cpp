#include "PropertyListFixture.h"

#include "platform/foundation/PropertyList.h"

#include <plist/plist.h>

namespace {

QByteArray bigEndian(quint64 value, int bytes)
{
    QByteArray out(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        out[i] = char(value & 0xff);
    return out;
}

// A marker with its count in the low four bits, or followed by an integer object when larger.
QByteArray marker(uchar kind, quint64 count)
{
    if (count < 15)
        return QByteArray(1, char(kind << 4 | count));
    return QByteArray(1, char(kind << 4 | 0x0f)) + char(0x13) + bigEndian(count, 8);
}

} // namespace

QByteArray PropertyListFixture::Binary::bytes() const
{
    QByteArray out("bplist00");
    QList<quint64> at;
    for (const QByteArray &object : objects) {
        at << quint64(out.size());
        out += object;
    }
    const quint64 table = tableOffset.value_or(quint64(out.size()));
    for (const quint64 offset : offsets.isEmpty() ? at : offsets)
        out += bigEndian(offset, offsetSize);
    out += QByteArray(6, '\0') + char(offsetSize) + char(refSize);
    out += bigEndian(count.value_or(quint64(objects.size())), 8) + bigEndian(top, 8) + bigEndian(table, 8);
    return out;
}

QByteArray PropertyListFixture::Binary::ref(quint64 index) const { return bigEndian(index, refSize); }

QByteArray PropertyListFixture::Binary::array(const QList<quint64> &items) const
{
    QByteArray out = marker(0xa, quint64(items.size()));
    for (const quint64 item : items)
        out += ref(item);
    return out;
}

QByteArray PropertyListFixture::Binary::dict(const QList<quint64> &keys, const QList<quint64> &values) const
{
    QByteArray out = marker(0xd, quint64(keys.size()));
    for (const quint64 key : keys + values)
        out += ref(key);
    return out;
}

QByteArray PropertyListFixture::ascii(const QByteArray &text) { return marker(0x5, quint64(text.size())) + text; }

QByteArray PropertyListFixture::utf16(const QString &text)
{
    QByteArray out = marker(0x6, quint64(text.size()));
    for (const QChar c : text)
        out += bigEndian(c.unicode(), 2);
    return out;
}

QByteArray PropertyListFixture::nestedXml(int levels)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + QByteArray("<array>").repeated(levels)
        + QByteArray("</array>").repeated(levels) + "</plist>\n";
}

QByteArray PropertyListFixture::nestedBinary(int levels)
{
    Binary plist;
    plist.offsetSize = plist.refSize = 4;
    for (int level = 1; level < levels; ++level)
        plist.objects << plist.array({quint64(level)});
    plist.objects << plist.array({});
    return plist.bytes();
}

QByteArray PropertyListFixture::zeroInText()
{
    Binary plist;
    plist.objects = {plist.dict({1}, {2}), ascii("Name"), utf16(QStringLiteral("Gr") + QChar(0) + QStringLiteral("n"))};
    return plist.bytes();
}

QByteArray PropertyListFixture::libplistBinary(const QVariant &value)
{
    const QByteArray xml = platform::PropertyList::toXml(value);
    plist_t node = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &node);
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    const QByteArray binary(bytes, qsizetype(length));
    plist_to_bin_free(bytes);
    plist_free(node);
    return binary;
}
