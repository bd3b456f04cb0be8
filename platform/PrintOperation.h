#pragma once

#include "platform/PrintInfo.h"

class QIODevice;

namespace platform {

class Printable;

// Prints a printable as its print info says. Every printed page becomes a page of one PDF of the
// paper size, drawn through the PDF graphics context with the page's rectangle's lower-left
// corner at the paper's; a save job then writes that PDF to its saving URL.
class PrintOperation
{
public:
    PrintOperation(Printable &printable, const PrintInfo &printInfo);

    const PrintInfo &printInfo() const;

    // Draws all printed pages into one PDF written to the device. False (logged) when the
    // printable has no pages or drawing or writing fails.
    bool writePdf(QIODevice &device);
    // Runs the job. A save job writes the PDF to the local file of its saving URL through a
    // temporary file renamed into place, so that a failure leaves no partial file and an
    // existing file is only ever replaced by a complete one. Jobs for printers are not handed to
    // CUPS here: they fail (logged). True when the job was done.
    bool run();

private:
    bool save();

    Printable &m_printable;
    PrintInfo m_printInfo;
};

} // namespace platform
