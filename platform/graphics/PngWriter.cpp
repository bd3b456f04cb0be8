#include "platform/graphics/PngWriter.h"

#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/Log.h"

#include <QImage>
#include <QtConcurrent/QtConcurrentMap>

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

namespace {

constexpr std::size_t window = 32768;
// Raw bytes per band: enough that priming and flushing cost little, small enough for every core.
constexpr std::size_t bandBytes = 256 * 1024;

int paeth(int a, int b, int c)
{
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// One row with its filter byte in front: Paeth, whose prediction suits photographs and smooth
// renderings best; the first row has only its left neighbours (Sub).
void filterRow(const uchar *row, const uchar *above, int bytes, int step, uchar *out)
{
    out[0] = above ? 4 : 1;
    for (int i = 0; i < bytes; ++i) {
        const int a = i >= step ? row[i - step] : 0;
        out[1 + i] = uchar(row[i] - (above ? paeth(a, above[i], i >= step ? above[i - step] : 0) : a));
    }
}

struct Band
{
    int first = 0, last = 0;
    QByteArray deflated;
    uLong adler = 1;
    std::size_t length = 0;
    bool ok = false;
};

// The row's bytes as written: alpha dropped when the picture is opaque.
void packRow(const uchar *row, int width, int sourceStep, int step, uchar *out)
{
    if (sourceStep == step) {
        std::memcpy(out, row, std::size_t(width) * std::size_t(step));
        return;
    }
    for (int x = 0; x < width; ++x)
        std::memcpy(out + x * step, row + x * sourceStep, std::size_t(step));
}

void compressBand(const QImage &picture, int step, Band &band, bool final)
{
    const int bytes = picture.width() * step;
    const int sourceStep = picture.format() == QImage::Format_RGBA8888 ? 4 : 3;
    const std::size_t rowLength = std::size_t(bytes) + 1;
    // Rows before the band, filtered again, give the dictionary.
    const int primed = std::min<int>(band.first, int((window + rowLength - 1) / rowLength));
    std::vector<uchar> filtered(rowLength * std::size_t(band.last - band.first + primed));
    std::vector<uchar> rows(std::size_t(bytes) * 2);
    uchar *current = rows.data(), *above = rows.data() + bytes;
    const int start = band.first - primed;
    if (start > 0)
        packRow(picture.constScanLine(start - 1), picture.width(), sourceStep, step, above);
    for (int y = start; y < band.last; ++y) {
        packRow(picture.constScanLine(y), picture.width(), sourceStep, step, current);
        filterRow(current, y > 0 ? above : nullptr, bytes, step, filtered.data() + rowLength * std::size_t(y - start));
        std::swap(current, above);
    }
    const uchar *own = filtered.data() + rowLength * std::size_t(primed);
    band.length = rowLength * std::size_t(band.last - band.first);
    band.adler = adler32_z(1, own, band.length);

    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK)
        return;
    if (primed > 0) {
        const std::size_t dictionary = std::min(window, rowLength * std::size_t(primed));
        deflateSetDictionary(&stream, own - dictionary, uInt(dictionary));
    }
    band.deflated.resize(qsizetype(deflateBound(&stream, uLong(band.length)) + 16));
    stream.next_in = const_cast<uchar *>(own);
    stream.avail_in = uInt(band.length);
    stream.next_out = reinterpret_cast<Bytef *>(band.deflated.data());
    stream.avail_out = uInt(band.deflated.size());
    const int result = deflate(&stream, final ? Z_FINISH : Z_SYNC_FLUSH);
    band.ok = final ? result == Z_STREAM_END : result == Z_OK && stream.avail_in == 0;
    band.deflated.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
}

bool isOpaque(const QImage &picture)
{
    for (int y = 0; y < picture.height(); ++y) {
        const uchar *line = picture.constScanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            if (line[4 * x + 3] != 255)
                return false;
        }
    }
    return true;
}

void appendNumber(QByteArray &out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xff));
}

void appendChunk(QByteArray &out, const char *type, const QByteArray &data)
{
    appendNumber(out, quint32(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    appendNumber(out, quint32(crc32_z(0, reinterpret_cast<const Bytef *>(out.constData() + start), std::size_t(data.size() + 4))));
}

// The signature, the header, one IDAT chunk per band (the first with the zlib header, the last
// with the checksum of all rows) and the end, each write checked.
bool writeStream(QIODevice &device, const QImage &picture, bool opaque, const std::vector<Band> &bands, QString *error)
{
    const auto put = [&](const char *type, const QByteArray &data) {
        QByteArray chunk;
        appendChunk(chunk, type, data);
        return AtomicFileWriter::writeAll(device, chunk.constData(), chunk.size(), error);
    };
    QByteArray header;
    appendNumber(header, quint32(picture.width()));
    appendNumber(header, quint32(picture.height()));
    header.append(char(8)).append(char(opaque ? 2 : 6)).append(char(0)).append(char(0)).append(char(0));
    if (!AtomicFileWriter::writeAll(device, "\x89PNG\r\n\x1a\n", 8, error) || !put("IHDR", header))
        return false;
    uLong adler = 1;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        adler = adler32_combine(adler, bands[i].adler, z_off_t(bands[i].length));
        QByteArray data;
        if (i == 0)
            data.append("\x78\x9c", 2);
        data.append(bands[i].deflated);
        if (i + 1 == bands.size())
            appendNumber(data, quint32(adler));
        if (!put("IDAT", data))
            return false;
    }
    return put("IEND", {});
}

} // namespace

bool PngWriter::write(const QImage &picture, const QString &path)
{
    const bool alpha = picture.format() == QImage::Format_RGBA8888;
    if (picture.isNull() || (!alpha && picture.format() != QImage::Format_RGB888)) {
        logError(QStringLiteral("Could not write %1: only 8-bit RGB or RGBA pictures are written as PNG").arg(path));
        return false;
    }
    const bool opaque = !alpha || isOpaque(picture);
    const int step = opaque ? 3 : 4;
    const int rowsPerBand = int(std::max<std::size_t>(1, bandBytes / (std::size_t(picture.width()) * std::size_t(step) + 1)));
    std::vector<Band> bands;
    for (int first = 0; first < picture.height(); first += rowsPerBand)
        bands.push_back({first, std::min(picture.height(), first + rowsPerBand), {}, 1, 0, false});
    QtConcurrent::blockingMap(bands, [&](Band &band) { compressBand(picture, step, band, &band == &bands.back()); });

    if (std::any_of(bands.cbegin(), bands.cend(), [](const Band &band) { return !band.ok; })) {
        logError(QStringLiteral("Could not compress the picture for %1").arg(path));
        return false;
    }
    AtomicFileWriter file(path);
    QString reason;
    if (!file.open())
        reason = file.errorString();
    else if (!writeStream(file.device(), picture, opaque, bands, &reason))
        file.cancel();
    else if (!file.commit())
        reason = file.errorString();
    else
        return true;
    logError(QStringLiteral("Could not write %1, because %2").arg(path, reason));
    return false;
}

} // namespace platform
