#include "platform/pdf/PdfScalars.h"

#include <stdexcept>

namespace platform {

bool PdfScalars::shareable(QPDFObjectHandle value)
{
    return value.isInitialized() && !value.isIndirect() && (value.isName() || value.isNumber() || value.isBool());
}

QPDFObjectHandle PdfScalars::of(QPDFObjectHandle value)
{
    if (!shareable(value))
        throw std::logic_error("only direct names, numbers and booleans are shared");
    if (value.isName())
        return shared(::ot_name, value.getName());
    if (value.isInteger())
        return shared(::ot_integer, std::to_string(value.getIntValue()));
    if (value.isReal())
        return shared(::ot_real, value.getRealValue());
    return shared(::ot_boolean, value.getBoolValue() ? "true" : "false");
}

QPDFObjectHandle PdfScalars::name(const std::string &name) { return shared(::ot_name, name); }

QPDFObjectHandle PdfScalars::integer(long long value) { return shared(::ot_integer, std::to_string(value)); }

QPDFObjectHandle PdfScalars::shared(qpdf_object_type_e type, const std::string &text)
{
    const auto key = std::make_pair(type, text);
    const auto found = m_objects.find(key);
    if (found != m_objects.end())
        return found->second;
    QPDFObjectHandle object;
    switch (type) {
    case ::ot_name:
        object = QPDFObjectHandle::newName(text);
        break;
    case ::ot_integer:
        object = QPDFObjectHandle::newInteger(std::stoll(text));
        break;
    case ::ot_real:
        object = QPDFObjectHandle::newReal(text);
        break;
    default:
        object = QPDFObjectHandle::newBool(text == "true");
        break;
    }
    return m_objects.emplace(key, object).first->second;
}

} // namespace platform
