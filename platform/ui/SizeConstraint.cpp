#include "platform/ui/SizeConstraint.h"

#include "platform/foundation/Log.h"

namespace platform {

SizeConstraint::SizeConstraint(Dimension dimension, double constant)
    : m_dimension(dimension), m_constant(constant)
{
}

SizeConstraint SizeConstraint::copy() const { return SizeConstraint(m_dimension, m_constant); }

SizeConstraint::Dimension SizeConstraint::dimension() const { return m_dimension; }

double SizeConstraint::constant() const { return m_constant; }

void SizeConstraint::setConstant(double constant)
{
    m_constant = constant;
    if (m_view)
        applyConstant();
}

double SizeConstraint::priority() const { return m_priority; }

void SizeConstraint::setPriority(double priority)
{
    m_priority = priority;
    if (m_view)
        applyConstant();
}

QWidget *SizeConstraint::view() const { return m_view; }

bool SizeConstraint::install(QWidget *view)
{
    if (!view) {
        logWarning(QStringLiteral("A size constraint needs a view to hold"));
        return false;
    }
    if (m_view && m_view != view) {
        logWarning(QStringLiteral("A size constraint is installed on \"%1\" already; \"%2\" stays free.")
                       .arg(m_view->objectName(), view->objectName()));
        return false;
    }
    m_view = view;
    applyConstant();
    return true;
}

void SizeConstraint::uninstall()
{
    if (m_view)
        apply(0, QWIDGETSIZE_MAX);
    m_view = nullptr;
}

void SizeConstraint::applyConstant()
{
    if (m_priority < Required / 2)
        apply(0, QWIDGETSIZE_MAX);
    else
        apply(qRound(m_constant), qRound(m_constant));
}

void SizeConstraint::apply(int minimum, int maximum)
{
    if (m_dimension == Dimension::Width) {
        m_view->setMinimumWidth(minimum);
        m_view->setMaximumWidth(maximum);
    } else {
        m_view->setMinimumHeight(minimum);
        m_view->setMaximumHeight(maximum);
    }
}

} // namespace platform
