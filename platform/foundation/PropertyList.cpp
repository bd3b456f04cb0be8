#include "platform/foundation/PropertyList.h"

#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/BinaryPropertyList.h"
#include "platform/foundation/CodePoint.h"
#include "platform/foundation/DoubleValue.h"
#include "platform/foundation/IconvDecoder.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/XmlPropertyListOutline.h"

#include <QDateTime>
#include <QTimeZone>
#include <QRegularExpression>
#include <QStringDecoder>

#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

namespace platform {

namespace {

struct PlistFree
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistFree>;

// A value libplist 2.2 makes only from its text: an integer beyond 2^63 - 1 (it makes every new
// one signed) and a date beyond 2^31 seconds of the epoch.
plist_t fromElement(const QByteArray &element)
{
    const QByteArray xml = "<plist>" + element + "</plist>";
    plist_t node = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &node);
    return node;
}

plist_t unsignedInteger(quint64 value) { return fromElement("<integer>" + QByteArray::number(value) + "</integer>"); }

// A text as it was written: QString::fromUtf8 would drop a leading byte-order mark.
QString fromUtf8(const char *text, qsizetype length)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(text, length));
}

// Texts are taken by pointer and length, as libplist's own getters assert on a text with a zero
// byte. Every integer numbers one of the outline's values.
std::optional<QVariant> toVariant(plist_t node, int depth, const QVariantList &values, QString &error)
{
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return bool(value);
    }
    case PLIST_UINT: {
        uint64_t index = 0;
        plist_get_uint_val(node, &index);
        if (index >= uint64_t(values.size())) {
            error = QStringLiteral("a value of unknown kind");
            return std::nullopt;
        }
        return values.at(qsizetype(index));
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char *value = plist_get_string_ptr(node, &length);
        return fromUtf8(value, qsizetype(length));
    }
    case PLIST_ARRAY:
    case PLIST_DICT:
        break;
    default:
        error = QStringLiteral("a value of unknown kind");
        return std::nullopt;
    }
    if (depth > PropertyList::MaximumDepth) {
        error = QStringLiteral("it nests arrays and dictionaries deeper than %1 levels").arg(PropertyList::MaximumDepth);
        return std::nullopt;
    }
    if (plist_get_node_type(node) == PLIST_ARRAY) {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i) {
            const std::optional<QVariant> item = toVariant(plist_array_get_item(node, i), depth + 1, values, error);
            if (!item)
                return std::nullopt;
            list.append(*item);
        }
        return list;
    }
    QVariantMap map;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    for (;;) {
        char *key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &key, &value);
        if (!key)
            break;
        const QString name = fromUtf8(key, qsizetype(std::strlen(key)));
        free(key);
        const std::optional<QVariant> item = toVariant(value, depth + 1, values, error);
        if (!item) {
            free(iter);
            return std::nullopt;
        }
        map.insert(name, *item);
    }
    free(iter);
    return map;
}

// Why the document, in UTF-8, is no XML text, or empty when it is one: bytes that are no UTF-8 (a
// stray byte, an overlong form, a surrogate, a character beyond U+10FFFF, one cut short), named by
// their offset in the file, which holds `offset` bytes before the document; or a character XML
// allows nowhere. libplist and QStringDecoder take either as some character without a word.
QString characterFault(QByteArrayView document, qsizetype offset)
{
    static constexpr char32_t leastOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
    const auto isContinuation = [&](qsizetype at) { return at < document.size() && (uchar(document[at]) & 0xc0) == 0x80; };
    const auto line = [&](qsizetype at) { return document.first(at).count('\n') + 1; };
    for (qsizetype at = 0; at < document.size();) {
        const uchar lead = uchar(document[at]);
        // Most of a document is printable ASCII.
        if (lead >= 0x20 && lead < 0x80) {
            ++at;
            continue;
        }
        const int length = lead < 0x80 ? 1 : lead < 0xc2 ? 0 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : lead < 0xf5 ? 4 : 0;
        char32_t code = length == 1 ? lead : lead & (0x7f >> length);
        qsizetype end = at + 1;
        for (; end < at + length && isContinuation(end); ++end)
            code = code << 6 | (uchar(document[end]) & 0x3f);
        if (length == 0 || end < at + length || code < leastOfLength[length] || QChar::isSurrogate(code) || code > 0x10ffff) {
            while (end < at + 4 && isContinuation(end))
                ++end;
            return QStringLiteral("it holds bytes that are no UTF-8 at offset %1 (line %2): %3")
                .arg(offset + at)
                .arg(line(at))
                .arg(QString::fromLatin1(document.sliced(at, end - at).toByteArray().toHex(' ').toUpper()));
        }
        if (!PropertyList::isXmlCharacter(code))
            return QStringLiteral("it holds the character %1 on line %2, which XML allows nowhere").arg(codePointNotation(code)).arg(line(at));
        at = end;
    }
    return {};
}

// libplist reads every text as UTF-8: a file that declares another encoding is read in that one,
// and refused when it holds bytes the encoding does not define or the encoding is unknown. A
// byte-order mark of UTF-8 declares UTF-8; libplist takes no file that starts with one. Either
// way, a file holding a character XML does not allow is refused.
std::optional<QByteArray> inUtf8(const QByteArray &bytes, QString &error)
{
    static const QRegularExpression declaration(QStringLiteral(R"(^<\?xml\s[^>]*?\bencoding\s*=\s*["']([A-Za-z0-9._:-]+)["'])"));
    const QByteArray byteOrderMark("\xEF\xBB\xBF");
    const bool marked = bytes.startsWith(byteOrderMark);
    const QByteArray xml = marked ? bytes.sliced(byteOrderMark.size()) : bytes;
    // The declaration comes first, after what white space the reader lets pass.
    qsizetype start = 0;
    while (start < xml.size() && QByteArrayView(" \t\r\n").contains(xml.at(start)))
        ++start;
    const QString encoding = declaration.match(QString::fromLatin1(xml.mid(start, 512))).captured(1);
    QByteArray document = xml;
    if (!encoding.isEmpty() && encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0) {
        if (marked) {
            error = QStringLiteral("it starts with the byte-order mark of UTF-8 but declares the encoding %1").arg(encoding);
            return std::nullopt;
        }
        QString reason;
        const std::optional<QString> text = IconvDecoder::decode(xml, encoding.toLatin1().constData(), &reason);
        if (!text) {
            error = QStringLiteral("it could not be read in the encoding %1 it declares: %2").arg(encoding, reason);
            return std::nullopt;
        }
        document = text->toUtf8();
    }
    if (const QString fault = characterFault(document, marked ? byteOrderMark.size() : 0); !fault.isEmpty()) {
        error = fault;
        return std::nullopt;
    }
    return document;
}

QVariant fromXml(const QByteArray &bytes, QString &error)
{
    const std::optional<QByteArray> utf8 = inUtf8(bytes, error);
    if (!utf8)
        return {};
    const XmlPropertyListOutline outline = XmlPropertyListOutline::of(*utf8);
    if (outline.depth > PropertyList::MaximumDepth) {
        error = QStringLiteral("it nests arrays and dictionaries deeper than %1 levels").arg(PropertyList::MaximumDepth);
        return {};
    }
    if (!outline.error.isEmpty()) {
        error = outline.error;
        return {};
    }
    const QByteArray &document = outline.document;
    if (document.size() > qsizetype(std::numeric_limits<uint32_t>::max())) {
        error = QStringLiteral("it is too large for a property list");
        return {};
    }
    plist_t raw = nullptr;
    if (!document.isEmpty())
        plist_from_xml(document.constData(), uint32_t(document.size()), &raw);
    PlistPtr root(raw);
    if (!root) {
        error = QStringLiteral("it is no property list");
        return {};
    }
    return toVariant(root.get(), 1, outline.values, error).value_or(QVariant());
}

// A surrogate is judged with its pair, by the callers.
bool isHoldable(char16_t code) { return QChar::isSurrogate(code) || PropertyList::isXmlCharacter(code); }

// Nor half a surrogate pair: a text with any of these is refused, never written broken.
bool isWritable(const QString &text, QString &error)
{
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (!isHoldable(code)) {
            error = QStringLiteral("a text holds the character %1, which an XML property list cannot hold")
                        .arg(codePointNotation(code));
            return false;
        }
    }
    if (!QStringView(text).isValidUtf16()) {
        error = QStringLiteral("a text holds half a surrogate pair, which an XML property list cannot hold");
        return false;
    }
    return true;
}

// The XML form writes &, < and > as references, and a key may hold only so many.
bool isWritableKey(const QString &key, QString &error)
{
    if (!isWritable(key, error))
        return false;
    const qsizetype references = std::count_if(key.cbegin(), key.cend(), [](QChar c) { return c == u'&' || c == u'<' || c == u'>'; });
    if (references > XmlPropertyListOutline::MaximumReferencesInAKey) {
        error = QStringLiteral("a key holds %1 of the characters &, < and >, which an XML property list writes as references, more than the %2 a key may hold")
                    .arg(references)
                    .arg(XmlPropertyListOutline::MaximumReferencesInAKey);
        return false;
    }
    return true;
}

plist_t fromVariant(const QVariant &value, QString &error)
{
    if (isInteger(value)) {
        const bool beyondSigned = value.typeId() == QMetaType::ULongLong || value.typeId() == QMetaType::ULong;
        return beyondSigned && value.toULongLong() > quint64(std::numeric_limits<qint64>::max()) ? unsignedInteger(value.toULongLong())
                                                                                                  : plist_new_uint(uint64_t(value.toLongLong()));
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QString:
        return isWritable(value.toString(), error) ? plist_new_string(value.toString().toUtf8().constData()) : nullptr;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QDateTime: {
        const QDateTime date = value.toDateTime();
        // As the XML form writes a date.
        const QString written = date.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
        if (!PropertyList::keepsDate(date)) {
            error = QStringLiteral("the value holds the date %1, outside the years %2 to %3 a property list keeps")
                        .arg(written)
                        .arg(PropertyList::EarliestYear)
                        .arg(PropertyList::LatestYear);
            return nullptr;
        }
        const qint64 msecs = date.toMSecsSinceEpoch() - PropertyList::EpochSeconds * 1000;
        const qint64 seconds = msecs >= 0 ? msecs / 1000 : -((-msecs + 999) / 1000);
        if (seconds < std::numeric_limits<int32_t>::min() || seconds > std::numeric_limits<int32_t>::max())
            return fromElement("<date>" + written.toLatin1() + "</date>");
        return plist_new_date(int32_t(seconds), int32_t((msecs - seconds * 1000) * 1000));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant &item : value.toList()) {
            plist_t child = fromVariant(item, error);
            if (!child) {
                plist_free(array);
                return nullptr;
            }
            plist_array_append_item(array, child);
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            plist_t child = isWritableKey(it.key(), error) ? fromVariant(it.value(), error) : nullptr;
            if (!child) {
                plist_free(dict);
                return nullptr;
            }
            plist_dict_set_item(dict, it.key().toUtf8().constData(), child);
        }
        return dict;
    }
    default:
        error = QStringLiteral("the value holds a type a property list cannot store");
        return nullptr;
    }
}

} // namespace

bool PropertyList::keepsDate(const QDateTime &date)
{
    const int year = date.toUTC().date().year();
    return date.isValid() && year >= EarliestYear && year <= LatestYear;
}

bool PropertyList::canHold(const QString &text, QString *reason)
{
    QString error;
    const bool holdable = isWritable(text, error);
    if (reason && !holdable)
        *reason = error;
    return holdable;
}

QVariant PropertyList::withHoldableTexts(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        QString held;
        held.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                held.append(c).append(text.at(++i));
                continue;
            }
            held.append(c.isSurrogate() || !isHoldable(c.unicode()) ? QChar(QChar::ReplacementCharacter) : c);
        }
        return held;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QVariantList held;
        for (const QVariant &item : value.toList())
            held.append(withHoldableTexts(item));
        return held;
    }
    case QMetaType::QVariantMap: {
        QVariantMap held;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            held.insert(withHoldableTexts(it.key()).toString(), withHoldableTexts(it.value()));
        return held;
    }
    default:
        return value;
    }
}

QVariant PropertyList::fromData(const QByteArray &data, QString *error)
{
    QString reason;
    const QVariant value = BinaryPropertyList::isBinary(data) ? BinaryPropertyList::read(data, &reason) : fromXml(data, reason);
    if (error && !value.isValid())
        *error = reason;
    return value;
}

QVariant PropertyList::read(const QString &path, QString *error)
{
    const std::optional<QByteArray> bytes = RegularFile::read(path, RegularFile::MaxWholeBytes, error);
    return bytes ? fromData(*bytes, error) : QVariant();
}

QByteArray PropertyList::toXml(const QVariant &value, QString *error)
{
    QString reason;
    PlistPtr root(fromVariant(value, reason));
    if (!root) {
        if (error)
            *error = reason;
        return {};
    }
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    QByteArray bytes(xml, qsizetype(length));
    plist_to_xml_free(xml);
    // XML readers turn a carriage return written as it is into a line feed; the lines of the
    // document itself end in line feeds only.
    return bytes.replace('\r', "&#13;");
}

bool PropertyList::write(const QVariant &value, const QString &path, QString *error)
{
    const QByteArray xml = toXml(value, error);
    return !xml.isEmpty() && AtomicFileWriter::write(path, xml, error);
}

} // namespace platform
