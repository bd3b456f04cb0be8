#pragma once

#include <QString>

namespace platform {

// One print queue of the CUPS server, as it was when PrinterList looked it up.
class Printer
{
public:
    Printer(const QString &name, bool supportsTwoSidedShortEdge);

    QString name() const;
    // Whether the queue offers sides=two-sided-short-edge, the binding a booklet needs for
    // automatic duplex.
    bool supportsTwoSidedShortEdge() const;

private:
    QString m_name;
    bool m_supportsTwoSidedShortEdge = false;
};

} // namespace platform
