#include "platform/graphics/PngReader.h"

#include "platform/foundation/RegularFile.h"
#include "platform/foundation/SystemReason.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace platform {

// libpng reports errors by a jump to the setjmp of the call that failed, so every call into it is
// made from a function that holds no object with a destructor; the message is kept here.
struct PngReader::Decoder
{
    std::FILE *file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    char message[256] = {};
    int width = 0, height = 0, channels = 0, rows = 0;

    ~Decoder()
    {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (file)
            std::fclose(file);
    }
};

namespace {

void failed(png_structp png, png_const_charp message)
{
    auto *decoder = static_cast<PngReader::Decoder *>(png_get_error_ptr(png));
    std::strncpy(decoder->message, message ? message : "unknown damage", sizeof decoder->message - 1);
    png_longjmp(png, 1);
}

// Warnings (a bad checksum of an ancillary chunk, say) leave the picture readable, as with Qt.
void warned(png_structp, png_const_charp) {}

enum class Header { Read, Refused, Damaged };

Header readHeader(PngReader::Decoder &d)
{
    if (setjmp(png_jmpbuf(d.png)))
        return Header::Damaged;
    png_init_io(d.png, d.file);
    png_set_user_limits(d.png, 1 << 20, 1 << 20);
    png_read_info(d.png, d.info);
    const png_byte depth = png_get_bit_depth(d.png, d.info);
    const png_byte colour = png_get_color_type(d.png, d.info);
    if (depth > 8 || png_get_interlace_type(d.png, d.info) != PNG_INTERLACE_NONE)
        return Header::Refused;
    for (const png_uint_32 chunk : {PNG_INFO_iCCP, PNG_INFO_gAMA, PNG_INFO_cHRM, PNG_INFO_eXIf}) {
        if (png_get_valid(d.png, d.info, chunk))
            return Header::Refused;
    }
    if (colour == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(d.png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(d.png);
    if (png_get_valid(d.png, d.info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(d.png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(d.png);
    png_read_update_info(d.png, d.info);
    d.width = int(png_get_image_width(d.png, d.info));
    d.height = int(png_get_image_height(d.png, d.info));
    d.channels = png_get_channels(d.png, d.info);
    return d.channels == 3 || d.channels == 4 ? Header::Read : Header::Refused;
}

bool readOneRow(PngReader::Decoder &d, png_bytep row)
{
    if (setjmp(png_jmpbuf(d.png)))
        return false;
    png_read_row(d.png, row, nullptr);
    return true;
}

} // namespace

PngReader::PngReader(std::unique_ptr<Decoder> decoder)
    : m_decoder(std::move(decoder))
{
}

PngReader::~PngReader() = default;

std::unique_ptr<PngReader> PngReader::open(const QString &path, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return nullptr;
    };
    auto decoder = std::make_unique<Decoder>();
    QString refusal;
    const int descriptor = RegularFile::openDescriptor(path, &refusal);
    if (descriptor < 0)
        return fail(QStringLiteral("it cannot be opened: %1").arg(refusal));
    decoder->file = ::fdopen(descriptor, "rb");
    if (!decoder->file) {
        ::close(descriptor);
        return fail(QStringLiteral("it cannot be opened: %1").arg(systemReason(errno)));
    }
    unsigned char signature[8] = {};
    if (std::fread(signature, 1, sizeof signature, decoder->file) != sizeof signature || png_sig_cmp(signature, 0, sizeof signature) != 0)
        return fail(QStringLiteral("it is no PNG file"));
    decoder->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, decoder.get(), failed, warned);
    decoder->info = decoder->png ? png_create_info_struct(decoder->png) : nullptr;
    if (!decoder->info)
        return fail(QStringLiteral("there is not enough memory"));
    png_set_sig_bytes(decoder->png, sizeof signature);
    switch (readHeader(*decoder)) {
    case Header::Read:
        break;
    case Header::Refused:
        return fail(QString());
    case Header::Damaged:
        return fail(QStringLiteral("it is damaged (%1)").arg(QString::fromLatin1(decoder->message)));
    }
    if (error)
        error->clear();
    return std::unique_ptr<PngReader>(new PngReader(std::move(decoder)));
}

QSize PngReader::size() const { return QSize(m_decoder->width, m_decoder->height); }

bool PngReader::hasAlpha() const { return m_decoder->channels == 4; }

int PngReader::bytesPerRow() const { return m_decoder->width * m_decoder->channels; }

int PngReader::rowsRead() const { return m_decoder->rows; }

bool PngReader::readRow(unsigned char *row, QString *error)
{
    if (m_decoder->rows >= m_decoder->height) {
        if (error)
            *error = QStringLiteral("no row is left");
        return false;
    }
    if (!readOneRow(*m_decoder, row)) {
        if (error)
            *error = QStringLiteral("it is damaged at row %1 (%2)").arg(m_decoder->rows + 1).arg(QString::fromLatin1(m_decoder->message));
        return false;
    }
    ++m_decoder->rows;
    return true;
}

} // namespace platform
