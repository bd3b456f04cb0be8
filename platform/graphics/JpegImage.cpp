#include "platform/graphics/JpegImage.h"

#include <array>
#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

static_assert(platform::JpegImage::maximumSide == JPEG_MAX_DIMENSION, "libjpeg's largest side");

namespace platform {

namespace {

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf escape;
    QString message;
    bool outOfMemory = false;
};

[[noreturn]] void stopAtError(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    manager->outOfMemory = info->err->msg_code == JERR_OUT_OF_MEMORY;
    manager->message = QString::fromLocal8Bit(text);
    std::longjmp(manager->escape, 1);
}

// Collects the encoded bytes in a QByteArray, a block at a time.
struct Destination
{
    jpeg_destination_mgr base;
    QByteArray *bytes = nullptr;
    std::array<JOCTET, 64 * 1024> block;
};

void startBlock(j_compress_ptr info)
{
    auto *destination = reinterpret_cast<Destination *>(info->dest);
    destination->base.next_output_byte = destination->block.data();
    destination->base.free_in_buffer = destination->block.size();
}

bool keep(j_compress_ptr info, std::size_t length)
{
    auto *destination = reinterpret_cast<Destination *>(info->dest);
    try {
        destination->bytes->append(reinterpret_cast<const char *>(destination->block.data()), qsizetype(length));
        return true;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

boolean keepBlock(j_compress_ptr info)
{
    auto *destination = reinterpret_cast<Destination *>(info->dest);
    if (!keep(info, destination->block.size()))
        ERREXIT(info, JERR_OUT_OF_MEMORY);
    startBlock(info);
    return TRUE;
}

void keepRest(j_compress_ptr info)
{
    auto *destination = reinterpret_cast<Destination *>(info->dest);
    if (!keep(info, destination->block.size() - destination->base.free_in_buffer))
        ERREXIT(info, JERR_OUT_OF_MEMORY);
}

} // namespace

JpegImage::JpegImage(QByteArray bytes, const QSize &size)
    : m_bytes(std::move(bytes))
    , m_size(size)
{
}

// libjpeg's state between bands. An error jumps back to the setjmp of the call that met it, so no
// call into libjpeg is made with an object that has a destructor on the stack in between.
struct JpegEncoder::State
{
    ~State()
    {
        if (created)
            jpeg_destroy_compress(&info);
    }

    jpeg_compress_struct info;
    ErrorManager errors;
    Destination destination;
    QByteArray bytes;
    QSize size;
    bool failed = false;
    bool created = false;
};

namespace {

// Makes the calls into libjpeg, whose errors jump back here: false when one failed, std::bad_alloc
// when libjpeg ran out of memory. The calls capture only references, so the jump skips no
// destructor.
template <typename Calls>
bool compressing(JpegEncoder::State &s, Calls calls)
{
    if (setjmp(s.errors.escape) != 0) {
        if (s.errors.outOfMemory)
            throw std::bad_alloc();
        return false;
    }
    calls();
    return true;
}

} // namespace

JpegEncoder::JpegEncoder(const QSize &size, int quality)
    : m_state(std::make_unique<State>())
{
    State &s = *m_state;
    s.size = size;
    s.destination.bytes = &s.bytes;
    s.destination.base.init_destination = startBlock;
    s.destination.base.empty_output_buffer = keepBlock;
    s.destination.base.term_destination = keepRest;
    s.info.err = jpeg_std_error(&s.errors.base);
    s.errors.base.error_exit = stopAtError;
    jpeg_create_compress(&s.info);
    s.created = true;
    if (size.isEmpty()) {
        s.failed = true;
        s.errors.message = QStringLiteral("there is no picture");
        return;
    }
    s.failed = !compressing(s, [&] {
        s.info.dest = &s.destination.base;
        s.info.image_width = JDIMENSION(s.size.width());
        s.info.image_height = JDIMENSION(s.size.height());
        s.info.input_components = 3;
        s.info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&s.info);
        jpeg_set_quality(&s.info, quality, TRUE);
        jpeg_start_compress(&s.info, TRUE);
    });
}

JpegEncoder::~JpegEncoder() = default;

bool JpegEncoder::addRows(const uchar *first, qsizetype bytesPerRow, int count)
{
    State &s = *m_state;
    if (s.failed)
        return false;
    if (count < 0 || qint64(s.info.next_scanline) + count > s.size.height()) {
        s.failed = true;
        s.errors.message = QStringLiteral("more rows came than the picture has");
        return false;
    }
    s.failed = !compressing(s, [&] {
        for (int i = 0; i < count; ++i) {
            JSAMPROW row = const_cast<JSAMPROW>(first + bytesPerRow * i);
            jpeg_write_scanlines(&s.info, &row, 1);
        }
    });
    return !s.failed;
}

JpegImage JpegEncoder::finish()
{
    State &s = *m_state;
    if (s.failed)
        return {};
    if (int(s.info.next_scanline) != s.size.height()) {
        s.failed = true;
        s.errors.message = QStringLiteral("rows are missing");
        return {};
    }
    s.failed = !compressing(s, [&] { jpeg_finish_compress(&s.info); });
    if (s.failed)
        return {};
    return JpegImage(std::move(s.bytes), s.size);
}

QString JpegEncoder::error() const { return m_state->errors.message; }

bool JpegImage::isNull() const { return m_bytes.isEmpty(); }

QSize JpegImage::size() const { return m_size; }

const QByteArray &JpegImage::bytes() const { return m_bytes; }

QImage JpegImage::decoded() const { return QImage::fromData(m_bytes, "JPEG"); }

} // namespace platform
