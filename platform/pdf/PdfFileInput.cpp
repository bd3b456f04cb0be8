#include "platform/pdf/PdfFileInput.h"

#include "platform/foundation/Progress.h"

#include <qpdf/QPDFExc.hh>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace platform {

namespace {

constexpr qpdf_offset_t blockBytes = 64 * 1024;

[[noreturn]] void systemFailure(const std::string &name, const std::string &what)
{
    throw QPDFExc(qpdf_e_system, name, "", 0, what + ": " + std::strerror(errno));
}

} // namespace

PdfFileInput::PdfFileInput(int descriptor, std::string name)
    : m_descriptor(::dup(descriptor))
    , m_name(std::move(name))
    , m_block(std::size_t(blockBytes))
{
    struct stat status = {};
    if (m_descriptor < 0 || ::fstat(m_descriptor, &status) != 0) {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        systemFailure(m_name, "open");
    }
    m_size = status.st_size;
}

PdfFileInput::~PdfFileInput() { ::close(m_descriptor); }

std::string const &PdfFileInput::getName() const { return m_name; }

qpdf_offset_t PdfFileInput::tell() { return m_position; }

void PdfFileInput::checkSeek(const std::string &name, qpdf_offset_t from, qpdf_offset_t offset)
{
    // A stream's stated length is added to where it starts: a huge one is damage that qpdf
    // mends by looking for the stream's end, which it does for its own exceptions only.
    if (from > 0 && offset > std::numeric_limits<qpdf_offset_t>::max() - from)
        throw QPDFExc(qpdf_e_damaged_pdf, name, "", from,
                      "seek " + std::to_string(offset) + " bytes on, past the largest offset a file can have");
}

void PdfFileInput::seek(qpdf_offset_t offset, int whence)
{
    const qpdf_offset_t from = whence == SEEK_CUR ? m_position : whence == SEEK_END ? m_size : 0;
    checkSeek(m_name, from, offset);
    const qpdf_offset_t target = from + offset;
    if (target < 0)
        throw std::runtime_error(m_name + ": seek before the start of the file");
    m_position = target;
}

PdfMemoryInput::PdfMemoryInput(const std::string &name, const char *bytes, std::size_t size)
    : BufferInputSource(name, new Buffer(reinterpret_cast<unsigned char *>(const_cast<char *>(bytes)), size), true)
    , m_name(name)
    , m_size(qpdf_offset_t(size))
{
}

void PdfMemoryInput::seek(qpdf_offset_t offset, int whence)
{
    PdfFileInput::checkSeek(m_name, whence == SEEK_CUR ? tell() : whence == SEEK_END ? m_size : 0, offset);
    BufferInputSource::seek(offset, whence);
}

void PdfFileInput::rewind() { m_position = 0; }

void PdfFileInput::setProgress(Progress *progress) { m_progress = progress; }

void PdfFileInput::unreadCh(char) { seek(-1, SEEK_CUR); }

bool PdfFileInput::load(qpdf_offset_t position)
{
    if (position >= m_blockStart && position < m_blockStart + m_blockLength)
        return true;
    if (position >= m_size)
        return false;
    if (m_progress && m_progress->isCancelled())
        throw std::runtime_error(m_name + ": the reading was cancelled");
    const qpdf_offset_t start = position - position % blockBytes;
    ssize_t got;
    do {
        got = ::pread(m_descriptor, m_block.data(), std::size_t(blockBytes), start);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        systemFailure(m_name, "read");
    m_blockStart = start;
    m_blockLength = got;
    if (m_progress)
        m_progress->addCompletedUnits(got);
    return position < m_blockStart + m_blockLength;
}

size_t PdfFileInput::read(char *buffer, size_t length)
{
    last_offset = m_position;
    size_t done = 0;
    while (done < length && load(m_position)) {
        const qpdf_offset_t from = m_position - m_blockStart;
        const std::size_t count = std::min<std::size_t>(length - done, std::size_t(m_blockLength - from));
        std::memcpy(buffer + done, m_block.data() + from, count);
        done += count;
        m_position += qpdf_offset_t(count);
    }
    // Reading nothing at or past the end leaves the position at the end, as a stdio stream does.
    if (done == 0 && length > 0) {
        m_position = m_size;
        last_offset = m_position;
    }
    return done;
}

qpdf_offset_t PdfFileInput::findAndSkipNextEOL()
{
    // As qpdf's own file reading does it, down to where its reads leave the last offset, but
    // looking in the cached block itself: qpdf reads a cross-reference table a line at a time,
    // and copying out a buffer of 10 KiB for each line of 20 bytes took most of opening a file.
    const auto isEOL = [](char c) { return c == '\r' || c == '\n'; };
    const auto atEnd = [this] {
        m_position = m_size;
        last_offset = m_position;
        return m_position;
    };
    for (;;) {
        last_offset = m_position;
        if (!load(m_position))
            return atEnd();
        const char *const begin = m_block.data();
        const char *const end = begin + m_blockLength;
        const char *eol = std::find_if(begin + (m_position - m_blockStart), end, isEOL);
        if (eol == end) {
            m_position = m_blockStart + m_blockLength;
            continue;
        }
        const qpdf_offset_t result = m_blockStart + (eol - begin);
        for (m_position = result + 1;; ++m_position) {
            last_offset = m_position;
            if (!load(m_position)) {
                atEnd();
                break;
            }
            if (!isEOL(m_block[std::size_t(m_position - m_blockStart)]))
                break;
        }
        return result;
    }
}

} // namespace platform
