#pragma once

#include <QPointer>
#include <QVariant>
#include <QWidget>

// A view's animation proxy: a property set through it eases from the view's current value to the
// new one over the platform's animation time. Asked for without animation it stands for the view
// itself and sets the value at once. GUI thread.
class QSViewAnimator
{
public:
    static constexpr int AnimationTime = 250; // milliseconds

    QSViewAnimator(QWidget *view, bool animated);

    QWidget *view() const;
    bool isAnimated() const;
    // False, logged, for a gone view or a property it does not have.
    bool setValue(const char *property, const QVariant &value) const;

private:
    QPointer<QWidget> m_view;
    bool m_animated;
};
