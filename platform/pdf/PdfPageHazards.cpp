#include "platform/pdf/PdfPageHazards.h"

#include <QLocale>

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr double unbounded = std::numeric_limits<double>::infinity();
// Forms, patterns and fonts nest at most this deep, and at most this many objects are looked at:
// what lies beyond is left to poppler's own limits.
constexpr int deepest = 32;
constexpr int mostObjects = 10000;
// Content streams are read for inline images up to this many bytes a page, decoded.
constexpr std::size_t mostContent = 64 << 20;

QString count(double value) { return QLocale::c().toString(value, 'f', 0); }

// Asking a dictionary's or an array's question of another object would make qpdf warn about the file.
std::map<std::string, QPDFObjectHandle> entries(QPDFObjectHandle dictionary)
{
    return dictionary.isDictionary() ? dictionary.getDictAsMap() : std::map<std::string, QPDFObjectHandle>();
}

std::vector<QPDFObjectHandle> items(QPDFObjectHandle array)
{
    return array.isArray() ? array.getArrayAsVector() : std::vector<QPDFObjectHandle>();
}

// The most bytes a filter makes of one byte: deflate's longest match for a few bits, LZW's
// longest string for a 12-bit code, a run of 128 for two bytes, "z" for four zeros. JPEG, fax,
// JBIG2 and JPEG 2000 code a blank run of any length in a few bits.
double expansion(const std::string &filter)
{
    if (filter == "/FlateDecode" || filter == "/Fl")
        return 1032;
    if (filter == "/LZWDecode" || filter == "/LZW")
        return 2731;
    if (filter == "/RunLengthDecode" || filter == "/RL")
        return 64;
    if (filter == "/ASCII85Decode" || filter == "/A85")
        return 4;
    if (filter == "/ASCIIHexDecode" || filter == "/AHx")
        return 0.5;
    if (filter == "/Crypt")
        return 1;
    return unbounded;
}

double expansionOf(QPDFObjectHandle filters)
{
    if (filters.isName())
        return expansion(filters.getName());
    if (!filters.isArray())
        return 1;
    double total = 1;
    for (QPDFObjectHandle filter : items(filters))
        total *= filter.isName() ? expansion(filter.getName()) : unbounded;
    return total;
}

double numberOr(QPDFObjectHandle value, double otherwise)
{
    double number = 0;
    return value.getValueAsNumber(number) && std::isfinite(number) ? number : otherwise;
}

// An image dictionary's entry, by its name or the abbreviation an inline image uses.
QPDFObjectHandle entry(QPDFObjectHandle dictionary, const char *name, const char *abbreviation)
{
    return dictionary.hasKey(name) ? dictionary.getKey(name) : dictionary.getKey(abbreviation);
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\0'; }

bool isDelimiter(char c) { return isSpace(c) || std::strchr("()<>[]{}/%", c); }

// Whether the operator at this place of a content stream stands on its own, as BI and ID do.
bool isOperatorAt(const std::string &content, std::size_t at, std::size_t length)
{
    return (at == 0 || isDelimiter(content[at - 1])) && (at + length == content.size() || isSpace(content[at + length]));
}

// A stream's decoded data, up to a limit at which decoding is given up.
class Collected : public Pipeline
{
public:
    Collected(std::string &into, std::size_t limit)
        : Pipeline("content", nullptr)
        , m_into(into)
        , m_limit(limit)
    {
    }
    void write(unsigned char const *data, size_t length) override
    {
        const std::size_t room = m_limit - std::min(m_limit, m_into.size());
        m_into.append(reinterpret_cast<const char *>(data), std::min(room, length));
        if (length > room)
            throw std::length_error("enough content read");
    }
    void finish() override {}

private:
    std::string &m_into;
    std::size_t m_limit;
};

double areaOf(QPDFObjectHandle box, double otherwise)
{
    if (!box.isRectangle())
        return otherwise;
    const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
    const double area = std::abs((r.urx - r.llx) * (r.ury - r.lly));
    return std::isfinite(area) && area > 0 ? area : otherwise;
}

struct Walk
{
    explicit Walk(double fileBytes)
        : fileBytes(fileBytes)
    {
    }

    double fileBytes;
    std::set<QPDFObjGen> visited;
    int looked = 0;
    std::size_t scanned = 0;
    QString image;
    double patternCells = 0;
    QString pattern;

    // False for an object seen before (a direct object is never counted as seen) and once
    // enough objects were looked at.
    bool firstLook(QPDFObjectHandle object)
    {
        if (++looked > mostObjects)
            return false;
        return !object.isIndirect() || visited.insert(object.getObjGen()).second;
    }

    // area: what the content using these resources can cover, in its own space; repeats: how
    // often that content is drawn.
    void resources(QPDFObjectHandle resources, double area, double repeats, int depth)
    {
        if (!resources.isDictionary() || depth > deepest || !firstLook(resources))
            return;
        for (auto [name, object] : entries(resources.getKey("/XObject")))
            xObject(name, object, area, repeats, depth);
        for (auto [name, object] : entries(resources.getKey("/Pattern")))
            tilingPattern(name, object, area, repeats, depth);
        for (auto [name, font] : entries(resources.getKey("/Font"))) {
            if (!font.isDictionary() || !font.getKey("/Subtype").isNameAndEquals("/Type3") || !firstLook(font))
                continue;
            for (auto [glyph, procedure] : entries(font.getKey("/CharProcs")))
                content(procedure);
            this->resources(font.getKey("/Resources"), area, repeats, depth + 1);
        }
    }

    // Looks for images placed inline in a content stream.
    void content(QPDFObjectHandle stream)
    {
        if (!image.isEmpty() || !stream.isStream() || scanned >= mostContent)
            return;
        std::string data;
        Collected collected(data, mostContent - scanned);
        try {
            stream.pipeStreamData(&collected, nullptr, 0, qpdf_dl_generalized, true, false);
        } catch (const std::exception &) {
            // What was decoded is looked at all the same.
        }
        scanned += data.size();
        for (std::size_t at = data.find("BI"); at != std::string::npos && image.isEmpty(); at = data.find("BI", at + 2)) {
            if (!isOperatorAt(data, at, 2))
                continue;
            std::size_t id = data.find("ID", at + 2);
            while (id != std::string::npos && !isOperatorAt(data, id, 2))
                id = data.find("ID", id + 2);
            if (id == std::string::npos)
                return;
            QPDFObjectHandle dictionary;
            try {
                dictionary = QPDFObjectHandle::parse("<<" + data.substr(at + 2, id - at - 2) + ">>");
            } catch (const std::exception &) {
                continue;
            }
            if (dictionary.isDictionary())
                picture(QStringLiteral("inline image"), dictionary, double(data.size() - id - 2));
            at = id;
        }
    }

    void xObject(const std::string &name, QPDFObjectHandle object, double area, double repeats, int depth)
    {
        if (!object.isStream() || !firstLook(object))
            return;
        QPDFObjectHandle dictionary = object.getDict();
        QPDFObjectHandle subtype = dictionary.getKey("/Subtype");
        if (subtype.isNameAndEquals("/Image")) {
            imageXObject(QStringLiteral("image %1").arg(QString::fromStdString(name)), object);
            for (const char *mask : {"/SMask", "/Mask"}) {
                if (QPDFObjectHandle masking = dictionary.getKey(mask); masking.isStream())
                    imageXObject(QStringLiteral("image %1's mask").arg(QString::fromStdString(name)), masking);
            }
        } else if (subtype.isNameAndEquals("/Form")) {
            form(object, area, repeats, depth);
        }
    }

    void form(QPDFObjectHandle stream, double area, double repeats, int depth)
    {
        content(stream);
        QPDFObjectHandle dictionary = stream.getDict();
        resources(dictionary.getKey("/Resources"), areaOf(dictionary.getKey("/BBox"), area), repeats, depth + 1);
    }

    void imageXObject(const QString &what, QPDFObjectHandle stream)
    {
        QPDFObjectHandle dictionary = stream.getDict();
        picture(what, dictionary, std::min(fileBytes, std::max(0.0, numberOr(dictionary.getKey("/Length"), fileBytes))));
    }

    // dataBytes: the most bytes the image's data can have.
    void picture(const QString &what, QPDFObjectHandle dictionary, double dataBytes)
    {
        if (!image.isEmpty())
            return;
        const double width = numberOr(entry(dictionary, "/Width", "/W"), 0);
        const double height = numberOr(entry(dictionary, "/Height", "/H"), 0);
        // Poppler draws no image without a size.
        if (!(width >= 1 && height >= 1))
            return;
        const double pixels = width * height;
        const QString declared = QStringLiteral("its %1 declares %2 x %3 pixels").arg(what, count(width), count(height));
        if (std::max(width, height) > PdfPageHazards::LargestImageSide || pixels > PdfPageHazards::LargestImagePixels) {
            image = declared + QStringLiteral(", more than any picture has");
            return;
        }
        if (pixels <= PdfPageHazards::LargestUnbackedImagePixels)
            return;
        QPDFObjectHandle mask = entry(dictionary, "/ImageMask", "/IM");
        const double bits = mask.isBool() && mask.getBoolValue() ? 1 : std::clamp(numberOr(entry(dictionary, "/BitsPerComponent", "/BPC"), 1), 1.0, 16.0);
        if (dataBytes * expansionOf(entry(dictionary, "/Filter", "/F")) < pixels * bits / 8)
            image = declared + QStringLiteral(", which its %1 bytes of data cannot hold").arg(count(dataBytes));
    }

    void tilingPattern(const std::string &name, QPDFObjectHandle object, double area, double repeats, int depth)
    {
        QPDFObjectHandle dictionary = object.isStream() ? object.getDict() : object;
        if (!dictionary.isDictionary() || !firstLook(object) || numberOr(dictionary.getKey("/PatternType"), 0) != 1)
            return;
        const double xStep = numberOr(dictionary.getKey("/XStep"), 0);
        const double yStep = numberOr(dictionary.getKey("/YStep"), 0);
        double scale = 1;
        if (QPDFObjectHandle matrix = dictionary.getKey("/Matrix"); matrix.isMatrix()) {
            const QPDFObjectHandle::Matrix m = matrix.getArrayAsMatrix();
            scale = std::abs(m.a * m.d - m.b * m.c);
        }
        const double cell = std::abs(xStep * yStep) * scale;
        // Poppler refuses a pattern whose cell has no area.
        if (!(cell > 0))
            return;
        const double cells = area / cell * repeats;
        if (cells > patternCells) {
            patternCells = cells;
            pattern = QStringLiteral("its tiling pattern %1 repeats its cell %2 times, each smaller than a pixel")
                          .arg(QString::fromStdString(name), count(std::min(cells, 1e30)));
        }
        if (!object.isStream())
            return;
        content(object);
        resources(dictionary.getKey("/Resources"), areaOf(dictionary.getKey("/BBox"), cell), cells, depth + 1);
    }

    void annotations(QPDFObjectHandle annotations, double area, int depth)
    {
        for (QPDFObjectHandle annotation : items(annotations)) {
            QPDFObjectHandle normal = annotation.getKeyIfDict("/AP").getKeyIfDict("/N");
            if (normal.isStream()) {
                form(normal, area, 1, depth);
                continue;
            }
            for (auto [state, appearance] : entries(normal)) {
                if (appearance.isStream())
                    form(appearance, area, 1, depth);
            }
        }
    }
};

} // namespace

PdfPageHazards PdfPageHazards::of(QPDFObjectHandle page, double visibleArea, double fileBytes)
{
    Walk walk(fileBytes);
    try {
        for (QPDFObjectHandle stream : QPDFPageObjectHelper(page).getPageContents())
            walk.content(stream);
        walk.resources(QPDFPageObjectHelper(page).getAttribute("/Resources", false), visibleArea, 1, 0);
        walk.annotations(page.getKey("/Annots"), visibleArea, 0);
    } catch (const std::exception &) {
        // What was read so far stands; poppler meets the rest as it can.
    }
    PdfPageHazards hazards;
    hazards.m_image = walk.image;
    hazards.m_patternCells = walk.patternCells;
    hazards.m_pattern = walk.pattern;
    return hazards;
}

QString PdfPageHazards::refusal(double pixels) const
{
    if (!m_image.isEmpty())
        return m_image;
    if (m_patternCells > std::max(LargestPatternCells, pixels))
        return m_pattern;
    return {};
}

} // namespace platform
