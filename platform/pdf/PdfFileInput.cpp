#include "platform/pdf/PdfFileInput.h"

#include "platform/foundation/Progress.h"

#include <qpdf/QPDFExc.hh>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

void PdfFileInput::seek(qpdf_offset_t offset, int whence)
{
    qpdf_offset_t target = offset;
    if (whence == SEEK_CUR)
        target += m_position;
    else if (whence == SEEK_END)
        target += m_size;
    if (target < 0)
        throw std::runtime_error(m_name + ": seek before the start of the file");
    m_position = target;
}

void PdfFileInput::rewind() { m_position = 0; }

void PdfFileInput::setProgress(Progress *progress)
{
    m_progress = progress;
    if (progress)
        progress->setTotalUnitCount(m_size);
}

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
