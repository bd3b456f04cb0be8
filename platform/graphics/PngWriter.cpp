#include "platform/graphics/PngWriter.h"

#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/Log.h"

#include <QImage>
#include <QtConcurrent/QtConcurrentMap>

#include <zlib.h>

#include <algorithm>
#include <deque>
#include <functional>
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

// Rows of a picture by their number from the top, in its source layout (3 or 4 bytes a pixel).
using RowOf = std::function<const uchar *(int y)>;

void compressBand(const RowOf &rowOf, int width, int sourceStep, int step, Band &band, bool final)
{
    const int bytes = width * step;
    const std::size_t rowLength = std::size_t(bytes) + 1;
    // Rows before the band, filtered again, give the dictionary.
    const int primed = std::min<int>(band.first, int((window + rowLength - 1) / rowLength));
    std::vector<uchar> filtered(rowLength * std::size_t(band.last - band.first + primed));
    std::vector<uchar> rows(std::size_t(bytes) * 2);
    uchar *current = rows.data(), *above = rows.data() + bytes;
    const int start = band.first - primed;
    if (start > 0)
        packRow(rowOf(start - 1), width, sourceStep, step, above);
    for (int y = start; y < band.last; ++y) {
        packRow(rowOf(y), width, sourceStep, step, current);
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
    if (picture.format() != QImage::Format_RGBA8888)
        return true;
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

// The PNG stream as its parts come: the signature and header, one IDAT chunk per band of rows
// (the first with the zlib header, the last with the checksum of all rows), the end; each write
// checked.
class Stream
{
public:
    Stream(QIODevice &device, QString *error)
        : m_device(device)
        , m_error(error)
    {
    }

    bool begin(const QSize &size, bool opaque)
    {
        QByteArray header;
        appendNumber(header, quint32(size.width()));
        appendNumber(header, quint32(size.height()));
        header.append(char(8)).append(char(opaque ? 2 : 6)).append(char(0)).append(char(0)).append(char(0));
        return AtomicFileWriter::writeAll(m_device, "\x89PNG\r\n\x1a\n", 8, m_error) && put("IHDR", header);
    }

    bool add(const Band &band, bool last)
    {
        m_adler = adler32_combine(m_adler, band.adler, z_off_t(band.length));
        QByteArray data;
        if (m_first)
            data.append("\x78\x9c", 2);
        m_first = false;
        data.append(band.deflated);
        if (last)
            appendNumber(data, quint32(m_adler));
        return put("IDAT", data);
    }

    bool end() { return put("IEND", {}); }

private:
    bool put(const char *type, const QByteArray &data)
    {
        const QByteArray chunk = PngWriter::chunk(type, data);
        return AtomicFileWriter::writeAll(m_device, chunk.constData(), chunk.size(), m_error);
    }

    QIODevice &m_device;
    QString *m_error;
    uLong m_adler = 1;
    bool m_first = true;
};

bool canWrite(const QImage &rows, int width)
{
    return !rows.isNull() && rows.width() == width
        && (rows.format() == QImage::Format_RGBA8888 || rows.format() == QImage::Format_RGB888);
}

enum class Written { Done, WithAlpha, Failed };

// One pass over the picture's rows, band by band, compressed on every core: with opaque set,
// alpha is dropped, and a band that is not opaque ends the pass (WithAlpha) for another with it.
Written writeRows(QIODevice &device, const QSize &size, int bandRows, const PngWriter::Rows &rowsFrom, bool opaque,
                  QString *reason)
{
    Stream stream(device, reason);
    if (!stream.begin(size, opaque))
        return Written::Failed;
    const int step = opaque ? 3 : 4;
    const int rowsPerBand = int(std::max<std::size_t>(1, bandBytes / (std::size_t(size.width()) * std::size_t(step) + 1)));
    // The last rows of the band before, which prime the next band's dictionary.
    const int primedRows = int(window / (std::size_t(size.width()) * std::size_t(step) + 1)) + 2;
    std::deque<QByteArray> before;
    QImage::Format format = QImage::Format_Invalid;
    for (int top = 0; top < size.height(); top += bandRows) {
        const int count = std::min(bandRows, size.height() - top);
        const QImage rows = rowsFrom(top, count);
        if (top == 0)
            format = rows.format();
        if (!canWrite(rows, size.width()) || rows.height() != count || rows.format() != format) {
            if (reason)
                *reason = QStringLiteral("its rows %1 to %2 could not be had").arg(top + 1).arg(top + count);
            return Written::Failed;
        }
        if (opaque && !isOpaque(rows))
            return Written::WithAlpha;
        const int sourceStep = rows.format() == QImage::Format_RGBA8888 ? 4 : 3;
        const RowOf rowOf = [&](int y) {
            return y >= top ? rows.constScanLine(y - top)
                            : reinterpret_cast<const uchar *>(before[before.size() - std::size_t(top - y)].constData());
        };
        std::vector<Band> bands;
        for (int first = top; first < top + count; first += rowsPerBand)
            bands.push_back({first, std::min(top + count, first + rowsPerBand), {}, 1, 0, false});
        const bool lastRows = top + count == size.height();
        QtConcurrent::blockingMap(bands, [&](Band &band) {
            compressBand(rowOf, size.width(), sourceStep, step, band, lastRows && &band == &bands.back());
        });
        for (const Band &band : bands) {
            if (!band.ok) {
                if (reason)
                    *reason = QStringLiteral("the picture could not be compressed");
                return Written::Failed;
            }
            if (!stream.add(band, lastRows && &band == &bands.back()))
                return Written::Failed;
        }
        for (int y = std::max(top, top + count - primedRows); y < top + count; ++y)
            before.emplace_back(reinterpret_cast<const char *>(rows.constScanLine(y - top)), qsizetype(rows.bytesPerLine()));
        while (int(before.size()) > primedRows)
            before.pop_front();
    }
    return stream.end() ? Written::Done : Written::Failed;
}

bool writeFile(const QSize &size, int bandRows, const PngWriter::Rows &rowsFrom, bool opaque, const QString &path)
{
    for (;;) {
        AtomicFileWriter file(path);
        QString reason;
        if (!file.open()) {
            reason = file.errorString();
        } else {
            const Written written = writeRows(file.device(), size, bandRows, rowsFrom, opaque, &reason);
            if (written == Written::WithAlpha) {
                file.cancel();
                opaque = false;
                continue;
            }
            if (written == Written::Failed)
                file.cancel();
            else if (!file.commit())
                reason = file.errorString();
            else
                return true;
        }
        logError(QStringLiteral("Could not write %1, because %2").arg(path, reason));
        return false;
    }
}

} // namespace

QByteArray PngWriter::chunk(const char *type, const QByteArray &data)
{
    QByteArray out;
    appendNumber(out, quint32(data.size()));
    out.append(type, 4);
    out.append(data);
    appendNumber(out, quint32(crc32_z(0, reinterpret_cast<const Bytef *>(out.constData() + 4), std::size_t(data.size() + 4))));
    return out;
}

bool PngWriter::write(const QImage &picture, const QString &path)
{
    if (!canWrite(picture, picture.width())) {
        logError(QStringLiteral("Could not write %1: only 8-bit RGB or RGBA pictures are written as PNG").arg(path));
        return false;
    }
    // Written without alpha until a pixel shows through, as the rows by bands are.
    return writeFile(picture.size(), picture.height(), [&](int, int) { return picture; }, true, path);
}

bool PngWriter::write(const QSize &size, int bandRows, const Rows &rowsFrom, const QString &path)
{
    if (size.isEmpty() || bandRows < 1) {
        logError(QStringLiteral("Could not write %1: a picture needs rows and columns").arg(path));
        return false;
    }
    return writeFile(size, bandRows, rowsFrom, true, path);
}

} // namespace platform
