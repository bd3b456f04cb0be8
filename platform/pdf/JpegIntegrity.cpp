#include "platform/pdf/JpegIntegrity.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace platform {

namespace {

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf escape;
    QString message;
};

void keepFirstMessage(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    if (!manager->message.isEmpty())
        return;
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    manager->message = QString::fromLocal8Bit(text);
}

[[noreturn]] void stopAtError(j_common_ptr info)
{
    keepFirstMessage(info);
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->escape, 1);
}

// Level -1 is a warning: corrupt or missing data that libjpeg decodes past.
void keepWarning(j_common_ptr info, int level)
{
    if (level < 0)
        keepFirstMessage(info);
}

} // namespace

QString JpegIntegrity::damage(const QByteArray &bytes)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = stopAtError;
    errors.base.emit_message = keepWarning;
    jpeg_create_decompress(&info);
    // Nothing with a destructor lives between here and the decoding's end: an error jumps back.
    if (setjmp(errors.escape) == 0) {
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&info, TRUE);
        // An eighth of the size still reads every coefficient of the stream, with little memory.
        info.scale_num = 1;
        info.scale_denom = 8;
        info.dct_method = JDCT_IFAST;
        info.do_fancy_upsampling = FALSE;
        jpeg_start_decompress(&info);
        JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                   info.output_width * JDIMENSION(info.output_components), 1);
        while (info.output_scanline < info.output_height)
            jpeg_read_scanlines(&info, row, 1);
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    return errors.message;
}

} // namespace platform
