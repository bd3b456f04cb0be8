#pragma once

#include <QRectF>

#include <array>
#include <map>

#include <qpdf/QPDFObjectHandle.hh>

namespace platform {

// Rectangle arrays of one output, one per distinct box, shared by every dictionary that names it:
// the thousands of forms and sides of a booklet mostly have one box, and each array of four
// numbers costs qpdf about 450 bytes. They are written in place wherever they are named.
class PdfRectangles
{
public:
    // The array of the box as PdfOperators::rectangle writes it; never to be changed in place.
    QPDFObjectHandle of(const QRectF &box);

private:
    std::map<std::array<double, 4>, QPDFObjectHandle> m_arrays;
};

} // namespace platform
