#include "platform/pdf/PdfRectangles.h"

#include "platform/pdf/PdfOperators.h"

namespace platform {

QPDFObjectHandle PdfRectangles::of(const QRectF &box)
{
    const std::array<double, 4> key{box.left(), box.top(), box.right(), box.bottom()};
    const auto found = m_arrays.find(key);
    if (found != m_arrays.end())
        return found->second;
    return m_arrays.emplace(key, PdfOperators::rectangle(box)).first->second;
}

} // namespace platform
