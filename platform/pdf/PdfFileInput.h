#pragma once

#include <qpdf/InputSource.hh>

#include <string>
#include <vector>

namespace platform {

// What qpdf reads a PDF file through: positioned reads (pread) of an open file into one cached
// block. qpdf seeks and asks where it is several times for every object it parses; through a
// stdio stream each of those is a system call, which made opening a file of thousands of pages
// slow. The file is read where it is open, never opened again by name.
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
};

} // namespace platform
