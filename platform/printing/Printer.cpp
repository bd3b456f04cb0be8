#include "platform/printing/Printer.h"

namespace platform {

Printer::Printer(const QString &name, bool supportsTwoSidedShortEdge)
    : m_name(name), m_supportsTwoSidedShortEdge(supportsTwoSidedShortEdge)
{
}

QString Printer::name() const { return m_name; }

bool Printer::supportsTwoSidedShortEdge() const { return m_supportsTwoSidedShortEdge; }

} // namespace platform
