#pragma once

#include <QPointer>
#include <QWidget>

namespace platform {

// Holds a view's width or height at a constant while installed on it, so that Qt layouts around
// and inside the view see that size. Installed on one view at a time. GUI thread.
class SizeConstraint
{
public:
    enum class Dimension { Width, Height };

    SizeConstraint(Dimension dimension, double constant);

    double constant() const;
    // Takes effect at once on the view it is installed on.
    void setConstant(double constant);

    QWidget *view() const;
    // Answers false, with a logged warning, for no view or while installed on another view.
    bool install(QWidget *view);
    // Leaves the view free in that dimension again.
    void uninstall();

private:
    void apply(int minimum, int maximum);

    Dimension m_dimension;
    double m_constant;
    QPointer<QWidget> m_view;
};

} // namespace platform
