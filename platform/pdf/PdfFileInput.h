#pragma once

#include <qpdf/BufferInputSource.hh>
#include <qpdf/InputSource.hh>

#include <string>
#include <vector>

namespace platform {

class Progress;

// What qpdf reads a PDF file through: positioned reads (pread) of an open file into one cached
// block. qpdf seeks and asks where it is several times for every object it parses; through a
// stdio stream each of those is a system call, which made opening a file of thousands of pages
// slow. The file is read where it is open, never opened again by name.
//
// qpdf cannot be stopped inside a parse, and repairing a damaged file reads all of it, however
// large; but it reads through here. While a progress is given, every block read counts towards
// it, and once it is cancelled the next block is not read: the read throws, and qpdf's parse ends
// with that failure, at most one block (64 KiB) later.
class PdfFileInput : public InputSource
{
public:
    // Reads through a duplicate of the descriptor, which the source closes when it goes.
    PdfFileInput(int descriptor, std::string name);
    ~PdfFileInput() override;
    PdfFileInput(const PdfFileInput &) = delete;
    PdfFileInput &operator=(const PdfFileInput &) = delete;

    qpdf_offset_t findAndSkipNextEOL() override;
    std::string const &getName() const override;
    qpdf_offset_t tell() override;
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override;
    size_t read(char *buffer, size_t length) override;
    void unreadCh(char ch) override;

    // Counts each block read on the progress, whose total stays unknown: qpdf reads blocks again
    // and again, and a repair reads the whole file and then more, so no count of bytes tells how
    // far a reading is. Null stops that. The progress must outlive the reading it is given for.
    void setProgress(Progress *progress);

    // Throws qpdf's exception for damage when a seek from an offset would pass the largest one.
    static void checkSeek(const std::string &name, qpdf_offset_t from, qpdf_offset_t offset);

private:
    // Fills the block holding the position; false at the end of the file.
    bool load(qpdf_offset_t position);

    int m_descriptor = -1;
    std::string m_name;
    qpdf_offset_t m_size = 0;
    qpdf_offset_t m_position = 0;
    std::vector<char> m_block;
    qpdf_offset_t m_blockStart = 0;
    qpdf_offset_t m_blockLength = 0;
    Progress *m_progress = nullptr;
};

// What qpdf reads a PDF held in memory through: its own reading of a buffer, with the seeks that
// would pass the largest offset refused as a file's reading refuses them. The bytes are not copied
// and must outlive the source.
class PdfMemoryInput : public BufferInputSource
{
public:
    PdfMemoryInput(const std::string &name, const char *bytes, std::size_t size);
    void seek(qpdf_offset_t offset, int whence) override;

private:
    std::string m_name;
    qpdf_offset_t m_size = 0;
};

} // namespace platform
