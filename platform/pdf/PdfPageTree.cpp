#include "platform/pdf/PdfPageTree.h"

#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <exception>
#include <set>

namespace platform {

namespace {

// Nodes read to find the pages; a tree of pages under nodes of nodes reads one in ten or fewer.
constexpr int maxNodesRead = 4096;

class CountedWalk
{
public:
    bool add(QPDFObjectHandle node, int depth)
    {
        if (depth > PdfPageTree::maxDepth || !node.isDictionary())
            return false;
        if (node.isIndirect() && !m_seen.insert(node.getObjGen()).second)
            return false;
        QPDFObjectHandle kids = node.getKey("/Kids");
        QPDFObjectHandle count = node.getKey("/Count");
        if (!kids.isArray() || !count.isInteger())
            return false;
        const long long expected = count.getIntValue();
        const int kidCount = kids.getArrayNItems();
        if (expected == kidCount) {
            for (int i = 0; i < kidCount; ++i) {
                QPDFObjectHandle kid = kids.getArrayItem(i);
                // A page is an object of its own; anything else in the list needs the whole tree read.
                if (!kid.isIndirect())
                    return false;
                m_pages.push_back(kid);
            }
            return true;
        }
        const std::size_t before = m_pages.size();
        for (int i = 0; i < kidCount; ++i) {
            if (++m_read > maxNodesRead)
                return false;
            QPDFObjectHandle kid = kids.getArrayItem(i);
            if (!kid.isIndirect() || !kid.isDictionary())
                return false;
            if (kid.hasKey("/Kids")) {
                if (!add(kid, depth + 1))
                    return false;
            } else {
                m_pages.push_back(kid);
            }
        }
        return expected >= 0 && std::size_t(expected) == m_pages.size() - before;
    }

    std::vector<QPDFObjectHandle> m_pages;

private:
    std::set<QPDFObjGen> m_seen;
    int m_read = 0;
};

// A page whose content streams are gone or do not decode draws blank. Decoding reports trouble as
// a warning or an exception, depending on how bad it is.
bool contentsUnreadable(QPDF &pdf, QPDFObjectHandle page)
{
    QPDFObjectHandle contents = page.getKey("/Contents");
    if (contents.isNull())
        return page.hasKey("/Contents");
    const size_t before = pdf.numWarnings();
    try {
        Pl_Discard discard;
        QPDFPageObjectHelper(page).pipeContents(&discard);
    } catch (const std::exception &) {
        return true;
    }
    return pdf.numWarnings() != before;
}

} // namespace

std::optional<std::vector<QPDFObjectHandle>> PdfPageTree::pagesFromCounts(QPDF &pdf)
{
    CountedWalk walk;
    if (!walk.add(pdf.getRoot().getKey("/Pages"), 1))
        return std::nullopt;
    // The same page twice makes qpdf copy it into an object of its own when the tree is read.
    std::set<QPDFObjGen> pages;
    for (const QPDFObjectHandle &page : walk.m_pages) {
        if (!pages.insert(page.getObjGen()).second)
            return std::nullopt;
    }
    return std::move(walk.m_pages);
}

// Walks the tree level by level from the catalog's /Pages. Each node with kids is visited once,
// so a cycle ends the walk and a wide tree costs one look per kid.
bool PdfPageTree::tooDeep(QPDF &pdf)
{
    QPDFObjectHandle top = pdf.getRoot().getKey("/Pages");
    std::set<QPDFObjGen> seen{top.getObjGen()};
    std::vector<QPDFObjectHandle> level{top};
    for (int depth = 1; !level.empty(); ++depth) {
        if (depth > maxDepth)
            return true;
        std::vector<QPDFObjectHandle> next;
        for (QPDFObjectHandle &node : level) {
            QPDFObjectHandle kids = node.getKey("/Kids");
            if (!kids.isArray())
                continue;
            for (QPDFObjectHandle kid : kids.aitems()) {
                if (kid.isDictionary() && kid.hasKey("/Kids")
                    && (!kid.isIndirect() || seen.insert(kid.getObjGen()).second))
                    next.push_back(kid);
            }
        }
        level = std::move(next);
    }
    return false;
}

QStringList PdfPageTree::unreadablePages(QPDF &pdf)
{
    QStringList numbers;
    const std::vector<QPDFObjectHandle> &pages = pdf.getAllPages();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (contentsUnreadable(pdf, pages[i]))
            numbers << QString::number(i + 1);
    }
    return numbers;
}

} // namespace platform
