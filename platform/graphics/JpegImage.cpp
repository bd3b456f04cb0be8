#include "platform/graphics/JpegImage.h"

#include <array>
#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

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

JpegImage JpegImage::encode(const QImage &picture, int quality, QString *error)
{
    const auto failed = [error](const QString &reason) {
        if (error)
            *error = reason;
        return JpegImage();
    };
    if (picture.isNull())
        return failed(QStringLiteral("there is no picture"));
    // Rows of blue, green, red and a fourth byte, which libjpeg reads as they are.
    const QImage rows = picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    if (rows.isNull())
        throw std::bad_alloc();

    QByteArray bytes;
    jpeg_compress_struct info;
    ErrorManager errors;
    Destination destination;
    destination.bytes = &bytes;
    destination.base.init_destination = startBlock;
    destination.base.empty_output_buffer = keepBlock;
    destination.base.term_destination = keepRest;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = stopAtError;
    jpeg_create_compress(&info);
    // Nothing with a destructor is made between here and the end of compressing: an error jumps back.
    bool done = false;
    if (setjmp(errors.escape) == 0) {
        info.dest = &destination.base;
        info.image_width = JDIMENSION(rows.width());
        info.image_height = JDIMENSION(rows.height());
        info.input_components = 4;
        info.in_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, quality, TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(rows.constScanLine(int(info.next_scanline)));
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        done = true;
    }
    jpeg_destroy_compress(&info);
    if (errors.outOfMemory)
        throw std::bad_alloc();
    if (!done)
        return failed(errors.message);
    return JpegImage(std::move(bytes), rows.size());
}

bool JpegImage::isNull() const { return m_bytes.isEmpty(); }

QSize JpegImage::size() const { return m_size; }

const QByteArray &JpegImage::bytes() const { return m_bytes; }

QImage JpegImage::decoded() const { return QImage::fromData(m_bytes, "JPEG"); }

} // namespace platform
