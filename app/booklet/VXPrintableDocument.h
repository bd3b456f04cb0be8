#pragma once

#include <QString>

class QAbstractButton;

namespace platform {
class PrintInfo;
class Window;
} // namespace platform

// A booklet document as the print router sees it. An implementation is a QObject, so that the
// router notices when the document has gone while it was asking the user something.
class VXPrintableDocument
{
public:
    virtual ~VXPrintableDocument() = default;

    // One two-sided job turned on the short edge; an empty name prints on the current printer.
    virtual void printAutomaticDuplex(const QString &printerName) = 0;
    // The fronts, then the backs after the user has turned the stack; an empty name works with
    // the settings that belong to no printer.
    virtual void printManualDuplexWithPrinter(const QString &printerName) = 0;
    // The window to hang sheets on; null for a document without a window.
    virtual platform::Window *windowForSheet() const = 0;
    virtual platform::PrintInfo &printInfo() = 0;
    // The button whose press started the print; the printer menu opens on it. May be null.
    virtual QAbstractButton *printButton() const = 0;
};
