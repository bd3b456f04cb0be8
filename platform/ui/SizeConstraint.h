#pragma once

#include <QPointer>
#include <QWidget>

namespace platform {

// Holds a view's width or height at a constant while installed on it, so that Qt layouts around
// and inside the view see that size. Installed on one view at a time. A constraint whose priority
// is below half of Required yields: the view keeps its own size while it is installed. GUI thread.
class SizeConstraint
{
public:
    enum class Dimension { Width, Height };
    static constexpr double Required = 1000;

    SizeConstraint(Dimension dimension, double constant);

    // A new constraint of the same dimension and constant, installed nowhere, at Required: the
    // caller sets its priority and installs it.
    SizeConstraint copy() const;

    Dimension dimension() const;
    double constant() const;
    // Takes effect at once on the view it is installed on.
    void setConstant(double constant);
    double priority() const;
    // Takes effect at once on the view it is installed on.
    void setPriority(double priority);

    QWidget *view() const;
    // Answers false, with a logged warning, for no view or while installed on another view.
    bool install(QWidget *view);
    // Leaves the view free in that dimension again.
    void uninstall();

private:
    // The constant, or no hold at all for a yielding constraint.
    void applyConstant();
    void apply(int minimum, int maximum);

    Dimension m_dimension;
    double m_constant;
    double m_priority = Required;
    QPointer<QWidget> m_view;
};

} // namespace platform
