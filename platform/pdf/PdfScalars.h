#pragma once

#include <map>
#include <string>
#include <utility>

#include <qpdf/QPDFObjectHandle.hh>

namespace platform {

// Names, numbers and booleans of one output, one direct object per distinct value, shared by every
// dictionary and array that holds it: the copied pages of a booklet repeat the same few values
// (/XObject, /DCTDecode, 8) thousands of times, and qpdf spends about 170 bytes on each object.
// They are written in place wherever they are held, so the output's bytes are those of copies.
class PdfScalars
{
public:
    // Whether the value is a direct name, number or boolean, which of() shares.
    static bool shareable(QPDFObjectHandle value);
    // The shared object of a shareable value (of any document); never to be changed in place.
    QPDFObjectHandle of(QPDFObjectHandle value);
    QPDFObjectHandle name(const std::string &name);
    QPDFObjectHandle integer(long long value);

private:
    QPDFObjectHandle shared(qpdf_object_type_e type, const std::string &text);

    std::map<std::pair<qpdf_object_type_e, std::string>, QPDFObjectHandle> m_objects;
};

} // namespace platform
