#pragma once

#include <QStringList>

#include <qpdf/QPDFObjectHandle.hh>

#include <optional>
#include <vector>

class QPDF;

namespace platform {

// A file's pages as its page tree's counts say, found without reading the pages themselves: a
// node whose count equals its number of kids is taken to hold pages only, and only the other
// nodes' kids are read. A file whose tree is laid out this way (flat, or nodes of pages under
// nodes of nodes, as PDF writers make it) opens reading a few nodes instead of every page; what
// the counts say is checked against the whole tree once it is read (qpdf's page list).
class PdfPageTree
{
public:
    // Nullopt when the counts do not add up, the tree is deeper than a real one or more of it
    // than a few thousand nodes would have to be read: the whole tree must be read then. Throws
    // what qpdf throws.
    static std::optional<std::vector<QPDFObjectHandle>> pagesFromCounts(QPDF &pdf);

    // Deeper than the page tree of any real file. qpdf walks the tree recursively, so a hostile
    // file nested thousands of levels deep would overflow the stack.
    static constexpr int maxDepth = 256;
    // Whether the tree is nested deeper than that, found without recursion.
    static bool tooDeep(QPDF &pdf);
    // The page numbers, from 1, of the pages that would come out blank: their content streams
    // are gone or do not decode.
    static QStringList unreadablePages(QPDF &pdf);

    PdfPageTree() = delete;
};

} // namespace platform
