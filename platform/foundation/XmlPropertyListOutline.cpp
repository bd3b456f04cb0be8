#include "platform/foundation/XmlPropertyListOutline.h"

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/PropertyListScalar.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace platform {

namespace {

qsizetype skipPast(const QByteArray &xml, qsizetype from, const char *end)
{
    const qsizetype at = xml.indexOf(end, from);
    return at < 0 ? xml.size() : at + qsizetype(std::strlen(end));
}

// Where the comment, CDATA section, processing instruction or DOCTYPE whose "<" is at `at` ends;
// `at` itself when a tag starts there.
qsizetype sectionEnd(const QByteArray &xml, qsizetype at)
{
    const QByteArrayView rest = QByteArrayView(xml).sliced(at);
    if (rest.startsWith("<!--"))
        return skipPast(xml, at + 4, "-->");
    if (rest.startsWith("<![CDATA["))
        return skipPast(xml, at + 9, "]]>");
    if (rest.startsWith("<?"))
        return skipPast(xml, at + 2, "?>");
    if (rest.startsWith("<!")) {
        // An internal subset's "[" comes before the first ">"; looked for no further, so that many
        // declarations cost no more than one pass.
        const qsizetype close = xml.indexOf('>', at);
        const qsizetype subset = rest.first(close < 0 ? rest.size() : close - at).indexOf('[');
        return subset >= 0 ? skipPast(xml, at + subset, "]>") : skipPast(xml, at, ">");
    }
    return at;
}

// Where the next tag from `from` on starts, or -1.
qsizetype nextTag(const QByteArray &xml, qsizetype from)
{
    for (qsizetype at = xml.indexOf('<', from); at >= 0; at = xml.indexOf('<', at)) {
        const qsizetype end = sectionEnd(xml, at);
        if (end == at)
            return at;
        at = end;
    }
    return -1;
}

// libplist takes a character reference as the character it names, whichever that is, and refuses
// the file on a few without a reason: the first that names none XML allows (&#x1;, &#xFFFE;,
// &#xD800;, &#x110000;) is named here. Comments, CDATA and the like hold none.
QString refusedReference(const QByteArray &xml)
{
    qsizetype open = xml.indexOf('<');
    qsizetype outside = 0; // where the text past the last comment or the like starts
    for (qsizetype at = xml.indexOf("&#"); at >= 0; at = xml.indexOf("&#", at + 1)) {
        for (; open >= 0 && open < at; open = xml.indexOf('<', outside))
            outside = std::max(open + 1, sectionEnd(xml, open));
        if (at < outside) {
            at = outside - 1;
            continue;
        }
        const bool hexadecimal = at + 2 < xml.size() && (xml.at(at + 2) == 'x' || xml.at(at + 2) == 'X');
        const qsizetype digits = at + (hexadecimal ? 3 : 2);
        qsizetype end = digits;
        while (end < xml.size() && (hexadecimal ? std::isxdigit(uchar(xml.at(end))) : std::isdigit(uchar(xml.at(end)))))
            ++end;
        if (end == digits || end == xml.size() || xml.at(end) != ';')
            continue;
        bool fits = false;
        const qulonglong code = QByteArrayView(xml).sliced(digits, end - digits).toULongLong(&fits, hexadecimal ? 16 : 10);
        if (!fits || code > 0x10ffff || !PropertyList::isXmlCharacter(char32_t(code))) {
            return QStringLiteral("it holds the character reference %1 on line %2, which names no character XML allows")
                .arg(QString::fromLatin1(QByteArrayView(xml).sliced(at, std::min<qsizetype>(end + 1 - at, 24))))
                .arg(QByteArrayView(xml).first(at).count('\n') + 1);
        }
    }
    return {};
}

struct Tag
{
    QByteArrayView name; // "/dict" for a closing tag
    qsizetype end = 0;   // at its ">", or at what ends it without one
    bool empty = false;  // <name/>

    bool closed(const QByteArray &xml) const { return end < xml.size() && xml.at(end) == '>'; }
};

Tag tagAt(const QByteArray &xml, qsizetype at)
{
    Tag tag;
    qsizetype end = at + 1;
    // libplist copies the name with strncpy: a zero byte ends it too.
    while (end < xml.size() && !QByteArrayView(" \t\r\n<>\0", 7).contains(xml.at(end)))
        ++end;
    tag.name = QByteArrayView(xml).sliced(at + 1, end - at - 1);
    while (end < xml.size() && xml.at(end) != '<' && xml.at(end) != '>')
        ++end;
    tag.end = end;
    tag.empty = tag.closed(xml) && xml.at(end - 1) == '/';
    if (tag.empty && tag.name.endsWith('/'))
        tag.name.chop(1);
    return tag;
}

} // namespace

XmlPropertyListOutline XmlPropertyListOutline::of(const QByteArray &xml)
{
    XmlPropertyListOutline outline;
    outline.error = refusedReference(xml);
    if (!outline.error.isEmpty())
        return outline;
    outline.document.reserve(xml.size());
    int depth = 0;
    qsizetype copied = 0;
    for (qsizetype at = nextTag(xml, 0); at >= 0; at = nextTag(xml, at)) {
        const qsizetype start = at;
        const Tag tag = tagAt(xml, start);
        at = tag.end;
        if ((tag.name == "array" || tag.name == "dict") && !tag.empty) {
            outline.depth = std::max(outline.depth, ++depth);
            if (outline.depth > PropertyList::MaximumDepth)
                return outline;
        } else if ((tag.name == "/array" || tag.name == "/dict") && depth > 0) {
            --depth;
        } else if (PropertyListScalar::isScalarTag(tag.name) || tag.name == "string" || tag.name == "key") {
            // libplist refuses an element that holds another, or is not closed by its own tag.
            const qsizetype closing = tag.empty || !tag.closed(xml) ? -1 : nextTag(xml, tag.end);
            const Tag close = closing < 0 ? Tag{} : tagAt(xml, closing);
            const bool whole = tag.empty || (closing >= 0 && close.closed(xml) && close.name.startsWith('/') && close.name.sliced(1) == tag.name);
            if (!whole) {
                outline.error = QStringLiteral("it is no property list");
                return outline;
            }
            const qsizetype end = tag.empty ? tag.end : close.end;
            const QByteArrayView content = tag.empty ? QByteArrayView() : QByteArrayView(xml).sliced(tag.end + 1, closing - tag.end - 1);
            // libplist moves the rest of a text along for every reference in it.
            const bool scalar = PropertyListScalar::isScalarTag(tag.name);
            if (!scalar && !content.contains('&'))
                continue;
            if (tag.name == "key") {
                if (content.count('&') > MaximumReferencesInAKey) {
                    outline.error = QStringLiteral("it holds a key with more than %1 character or entity references on line %2")
                                        .arg(MaximumReferencesInAKey)
                                        .arg(QByteArrayView(xml).first(start).count('\n') + 1);
                    return outline;
                }
                continue;
            }
            std::optional<QVariant> value;
            if (scalar)
                value = PropertyListScalar::fromXml(tag.name, content, outline.error);
            else if (const std::optional<QString> text = PropertyListScalar::text(content, outline.error))
                value = *text;
            if (!value)
                return outline;
            outline.document += QByteArrayView(xml).sliced(copied, start - copied);
            outline.document += "<integer>" + QByteArray::number(outline.values.size()) + "</integer>";
            outline.values.append(*value);
            copied = end + 1;
            at = end;
        }
    }
    outline.document += QByteArrayView(xml).sliced(copied);
    return outline;
}

} // namespace platform
