#include "platform/foundation/IconvDecoder.h"

#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <vector>

namespace platform {

namespace {

class Conversion
{
public:
    explicit Conversion(const char *charset)
        : m_handle(iconv_open("UTF-32LE", charset))
    {
    }
    ~Conversion()
    {
        if (isOpen())
            iconv_close(m_handle);
    }
    Conversion(const Conversion &) = delete;
    Conversion &operator=(const Conversion &) = delete;

    bool isOpen() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_handle; }

private:
    iconv_t m_handle;
};

std::optional<QString> fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

} // namespace

std::optional<QString> IconvDecoder::decode(const QByteArray &bytes, const char *charset, QString *error)
{
    return decodeReplacing(bytes, charset, {}, nullptr, error);
}

std::optional<QString> IconvDecoder::decodeReplacing(const QByteArray &bytes, const char *charset, QByteArrayView replaceable,
                                                     qsizetype *replaced, QString *error)
{
    const Conversion conversion(charset);
    if (!conversion.isOpen())
        return fail(error, QStringLiteral("iconv does not know the character set %1").arg(QLatin1String(charset)));
    // Room for two characters of four bytes per input byte: no set here gives more.
    std::vector<char> output((bytes.size() + 2) * 8);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = bytes.size();
    char *out = output.data();
    size_t outLeft = output.size();
    qsizetype replacements = 0;
    while (iconv(conversion.handle(), &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
        const qsizetype offset = bytes.size() - qsizetype(inLeft);
        // A lead byte of the set at the very end reports a cut-off character, not a wrong one.
        const bool lastByte = errno == EINVAL && inLeft == 1;
        if ((errno == EILSEQ || lastByte) && replaceable.contains(*in)) {
            qToLittleEndian<quint32>(QChar::ReplacementCharacter, out);
            out += 4;
            outLeft -= 4;
            ++in;
            --inLeft;
            ++replacements;
            continue;
        }
        if (errno == EINVAL)
            return fail(error, QStringLiteral("The text ends inside a %1 character").arg(QLatin1String(charset)));
        return fail(error, QStringLiteral("Byte %1 is no %2 character (%3)")
                               .arg(offset)
                               .arg(QLatin1String(charset), QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (iconv(conversion.handle(), nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1))
        return fail(error, QStringLiteral("The text ends inside a %1 shift sequence").arg(QLatin1String(charset)));
    if (replaced)
        *replaced = replacements;
    const size_t count = (output.size() - outLeft) / 4;
    std::vector<char32_t> characters(count);
    for (size_t i = 0; i < count; ++i)
        characters[i] = qFromLittleEndian<quint32>(output.data() + 4 * i);
    return QString::fromUcs4(characters.data(), qsizetype(count));
}

} // namespace platform
