#include "platform/foundation/XmlPropertyListOutline.h"

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/PropertyListScalar.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

qsizetype skipPast(const QByteArray &xml, qsizetype from, const char *end)
{
    const qsizetype at = xml.indexOf(end, from);
    return at < 0 ? xml.size() : at + qsizetype(std::strlen(end));
}

// Where the next tag from `from` on starts, or -1.
qsizetype nextTag(const QByteArray &xml, qsizetype from)
{
    for (qsizetype at = xml.indexOf('<', from); at >= 0; at = xml.indexOf('<', at)) {
        const QByteArrayView rest = QByteArrayView(xml).sliced(at);
        if (rest.startsWith("<!--")) {
            at = skipPast(xml, at + 4, "-->");
        } else if (rest.startsWith("<![CDATA[")) {
            at = skipPast(xml, at + 9, "]]>");
        } else if (rest.startsWith("<?")) {
            at = skipPast(xml, at + 2, "?>");
        } else if (rest.startsWith("<!")) {
            const qsizetype subset = xml.indexOf('[', at), close = xml.indexOf('>', at);
            at = subset >= 0 && (close < 0 || subset < close) ? skipPast(xml, subset, "]>") : skipPast(xml, at, ">");
        } else {
            return at;
        }
    }
    return -1;
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
        } else if (PropertyListScalar::isScalarTag(tag.name)) {
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
            const std::optional<QVariant> value = PropertyListScalar::fromXml(tag.name, content, outline.error);
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
