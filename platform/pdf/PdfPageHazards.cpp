#include "platform/pdf/PdfPageHazards.h"

#include <QLocale>

#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr double unbounded = std::numeric_limits<double>::infinity();
// Forms, patterns and fonts nest at most this deep, and at most this many objects are looked at:
// what lies beyond is left to poppler's own limits.
constexpr int deepest = 32;
constexpr int mostObjects = 10000;

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
    double fileBytes;
    std::set<QPDFObjGen> visited;
    int looked = 0;
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
            if (font.isDictionary() && font.getKey("/Subtype").isNameAndEquals("/Type3") && firstLook(font))
                this->resources(font.getKey("/Resources"), area, repeats, depth + 1);
        }
    }

    void xObject(const std::string &name, QPDFObjectHandle object, double area, double repeats, int depth)
    {
        if (!object.isStream() || !firstLook(object))
            return;
        QPDFObjectHandle dictionary = object.getDict();
        QPDFObjectHandle subtype = dictionary.getKey("/Subtype");
        if (subtype.isNameAndEquals("/Image")) {
            picture(QStringLiteral("image %1").arg(QString::fromStdString(name)), object);
            for (const char *mask : {"/SMask", "/Mask"}) {
                if (QPDFObjectHandle masking = dictionary.getKey(mask); masking.isStream())
                    picture(QStringLiteral("image %1's mask").arg(QString::fromStdString(name)), masking);
            }
        } else if (subtype.isNameAndEquals("/Form")) {
            form(dictionary, area, repeats, depth);
        }
    }

    void form(QPDFObjectHandle dictionary, double area, double repeats, int depth)
    {
        resources(dictionary.getKey("/Resources"), areaOf(dictionary.getKey("/BBox"), area), repeats, depth + 1);
    }

    void picture(const QString &what, QPDFObjectHandle stream)
    {
        if (!image.isEmpty())
            return;
        QPDFObjectHandle dictionary = stream.getDict();
        const double width = numberOr(dictionary.getKey("/Width"), 0);
        const double height = numberOr(dictionary.getKey("/Height"), 0);
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
        const bool mask = dictionary.getKey("/ImageMask").isBool() && dictionary.getKey("/ImageMask").getBoolValue();
        const double bits = mask ? 1 : std::clamp(numberOr(dictionary.getKey("/BitsPerComponent"), 1), 1.0, 16.0);
        const double bytes = std::min(fileBytes, std::max(0.0, numberOr(dictionary.getKey("/Length"), fileBytes)));
        if (bytes * expansionOf(dictionary.getKey("/Filter")) < pixels * bits / 8)
            image = declared + QStringLiteral(", which its %1 bytes of data cannot hold").arg(count(bytes));
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
        if (object.isStream())
            resources(dictionary.getKey("/Resources"), areaOf(dictionary.getKey("/BBox"), cell), cells, depth + 1);
    }

    void annotations(QPDFObjectHandle annotations, double area, int depth)
    {
        for (QPDFObjectHandle annotation : items(annotations)) {
            QPDFObjectHandle normal = annotation.getKeyIfDict("/AP").getKeyIfDict("/N");
            if (normal.isStream()) {
                form(normal.getDict(), area, 1, depth);
                continue;
            }
            for (auto [state, appearance] : entries(normal)) {
                if (appearance.isStream())
                    form(appearance.getDict(), area, 1, depth);
            }
        }
    }
};

} // namespace

PdfPageHazards PdfPageHazards::of(QPDFObjectHandle page, double visibleArea, double fileBytes)
{
    Walk walk{fileBytes, {}, 0, {}, 0, {}};
    try {
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
