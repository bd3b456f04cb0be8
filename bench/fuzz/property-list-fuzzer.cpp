// libFuzzer target: the bytes are a property list (XML or binary) as the bookmarks file, the print
// settings in the user defaults or the frame catalog hold one. A value read is written back as XML
// and read again; a refused input is an ordinary outcome. Anything the sanitizers or libFuzzer
// catch (a crash, an abort inside libplist, an overflow, a hang past -timeout) is a finding, and so
// is a written value that reads back as something else.

#include "platform/foundation/PropertyList.h"

#include <QtGlobal>

#include <cstdint>

namespace {

// Refused inputs log their reason; thousands of runs would log thousands of lines.
void quietQt(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        qFatal("%s", qPrintable(message));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(quietQt);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using platform::PropertyList;
    const QVariant value = PropertyList::fromData(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!value.isValid())
        return 0;
    const QByteArray xml = PropertyList::toXml(value);
    if (xml.isEmpty())
        return 0;
    const QVariant again = PropertyList::fromData(xml);
    if (PropertyList::toXml(again) != xml)
        qFatal("a written property list reads back as another value");
    return 0;
}
