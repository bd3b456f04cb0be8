#include "platform/fx/Extent.h"
#include "platform/fx/Nodes.h"
#include "platform/fx/Parallel.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace platform::fx {

BufferNode::BufferNode(Buffer pixels)
    : Node(QRectF(pixels.rect()))
    , m_pixels(std::move(pixels))
{
}

void BufferNode::evaluate(Buffer &out, const std::vector<const Buffer *> &) const
{
    const QRect common = out.rect() & m_pixels.rect();
    for (int y = common.top(); y <= common.bottom(); ++y)
        std::memcpy(out.row(y) + common.left(), m_pixels.row(y) + common.left(), sizeof(Pixel) * std::size_t(common.width()));
}

namespace {

constexpr float byteScale = 1.0f / 255.0f;

// Channel bytes in memory order red, green, blue (and alpha when the step is 4).
void convertBytes(const uchar *from, Pixel *to, int count, int step, bool premultiplied)
{
    for (int x = 0; x < count; ++x, from += step) {
        const float a = step == 4 ? from[3] * byteScale : 1.0f;
        const float k = premultiplied ? byteScale : byteScale * a;
        to[x] = {from[0] * k, from[1] * k, from[2] * k, a};
    }
}

// 0xAARRGGBB words.
void convertWords(const uchar *from, Pixel *to, int count, bool opaque, bool premultiplied)
{
    const auto *words = reinterpret_cast<const QRgb *>(from);
    for (int x = 0; x < count; ++x) {
        const float a = opaque ? 1.0f : qAlpha(words[x]) * byteScale;
        const float k = premultiplied ? byteScale : byteScale * a;
        to[x] = {qRed(words[x]) * k, qGreen(words[x]) * k, qBlue(words[x]) * k, a};
    }
}

} // namespace

PictureNode::PictureNode(QImage picture)
    : Node(QRectF(0, 0, picture.width(), picture.height()))
    , m_picture(std::move(picture))
{
}

bool PictureNode::formatIsKept(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGB888:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return true;
    default:
        return false;
    }
}

namespace {

// The rows of the picture (row 0 its top) over the rectangle, each found by lineOf.
template <typename LineOf>
void convertRows(Buffer &out, const QRect &common, int height, QImage::Format format, LineOf lineOf)
{
    const bool premultiplied = format == QImage::Format_ARGB32_Premultiplied || format == QImage::Format_RGBA8888_Premultiplied;
    forEachBand(common.height(), [&](int begin, int end) {
        for (int y = common.top() + begin; y < common.top() + end; ++y) {
            const uchar *line = lineOf(height - 1 - y);
            Pixel *to = out.row(y) + common.left();
            switch (format) {
            case QImage::Format_RGB32:
            case QImage::Format_ARGB32:
            case QImage::Format_ARGB32_Premultiplied:
                convertWords(line + 4 * common.left(), to, common.width(), format == QImage::Format_RGB32, premultiplied);
                break;
            case QImage::Format_RGB888:
                convertBytes(line + 3 * common.left(), to, common.width(), 3, premultiplied);
                break;
            default:
                convertBytes(line + 4 * common.left(), to, common.width(), 4,
                             premultiplied || format == QImage::Format_RGBX8888);
                break;
            }
        }
    });
}

} // namespace

void PictureNode::evaluate(Buffer &out, const std::vector<const Buffer *> &) const
{
    const QRect common = out.rect() & QRect(0, 0, m_picture.width(), m_picture.height());
    convertRows(out, common, m_picture.height(), m_picture.format(), [this](int row) { return m_picture.constScanLine(row); });
}

StreamedPictureNode::StreamedPictureNode(QString path, std::unique_ptr<PngReader> opened)
    : Node(QRectF(QPointF(0, 0), QSizeF(opened->size())))
    , m_path(std::move(path))
    , m_size(opened->size())
    , m_alpha(opened->hasAlpha())
    , m_reader(std::move(opened))
{
}

StreamedPictureNode::~StreamedPictureNode() = default;

void StreamedPictureNode::readRows(int first, int last) const
{
    const auto failed = [this](const QString &why) {
        return std::runtime_error(QStringLiteral("Could not read the picture %1, because %2").arg(m_path, why).toStdString());
    };
    // A band above the rows kept starts the file again.
    if (!m_reader || first < m_firstRow) {
        QString error;
        m_reader = PngReader::open(m_path, &error);
        if (!m_reader)
            throw failed(error.isEmpty() ? QStringLiteral("it is no longer a PNG read by rows") : error);
        if (m_reader->size() != m_size || m_reader->hasAlpha() != m_alpha)
            throw failed(QStringLiteral("it is no longer the picture it was"));
        m_rows.clear();
        m_firstRow = 0;
    }
    while (!m_rows.empty() && m_firstRow < first) {
        m_rows.pop_front();
        ++m_firstRow;
    }
    // Rows above the band are read into one buffer and let go.
    QByteArray skipped;
    while (m_firstRow + int(m_rows.size()) <= last) {
        const bool wanted = m_firstRow + int(m_rows.size()) >= first;
        QByteArray row;
        QByteArray &into = wanted ? row : skipped;
        if (into.isEmpty())
            into.resize(m_reader->bytesPerRow());
        QString error;
        if (!m_reader->readRow(reinterpret_cast<uchar *>(into.data()), &error)) {
            m_reader.reset();
            throw failed(error);
        }
        if (wanted)
            m_rows.push_back(std::move(row));
        else
            ++m_firstRow;
    }
}

void StreamedPictureNode::evaluate(Buffer &out, const std::vector<const Buffer *> &) const
{
    const QRect common = out.rect() & QRect(QPoint(0, 0), m_size);
    if (common.isEmpty())
        return;
    const int first = m_size.height() - 1 - common.bottom();
    const int last = m_size.height() - 1 - common.top();
    QMutexLocker locker(&m_lock);
    readRows(first, last);
    convertRows(out, common, m_size.height(), m_alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888,
                [this](int row) { return reinterpret_cast<const uchar *>(m_rows[std::size_t(row - m_firstRow)].constData()); });
}

ConstantNode::ConstantNode(const Color &color)
    : Node(Extent::infinite())
    , m_pixel(color.premultiplied())
{
}

void ConstantNode::evaluate(Buffer &out, const std::vector<const Buffer *> &) const
{
    const QRect &rect = out.rect();
    forEachBand(rect.height(), [&](int begin, int end) {
        for (int y = rect.top() + begin; y < rect.top() + end; ++y)
            std::fill_n(out.row(y) + rect.left(), rect.width(), m_pixel);
    });
}

RandomNode::RandomNode()
    : Node(Extent::infinite())
{
}

float RandomNode::value(int x, int y, int channel)
{
    std::uint64_t z = ((std::uint64_t(std::uint32_t(x)) << 32) | std::uint32_t(y)) * 4 + std::uint64_t(channel);
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return float(z >> 40) / float(1 << 24);
}

void RandomNode::evaluate(Buffer &out, const std::vector<const Buffer *> &) const
{
    const QRect &rect = out.rect();
    forEachBand(rect.height(), [&](int begin, int end) {
        for (int y = rect.top() + begin; y < rect.top() + end; ++y) {
            Pixel *row = out.row(y);
            for (int x = rect.left(); x <= rect.right(); ++x)
                row[x] = {value(x, y, 0), value(x, y, 1), value(x, y, 2), value(x, y, 3)};
        }
    });
}

} // namespace platform::fx
