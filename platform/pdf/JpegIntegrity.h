#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Whether a JPEG stream is whole: decoded to its end by libjpeg, which reports a stream cut short,
// data left over beyond what the frame header asks for, or damaged picture data only as warnings
// that image readers pass over, filling the gaps with grey.
class JpegIntegrity
{
public:
    // libjpeg's first complaint about the stream; empty when it decodes without one.
    static QString damage(const QByteArray &bytes);
};

} // namespace platform
