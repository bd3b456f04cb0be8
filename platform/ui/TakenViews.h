#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace platform {

// What a container does with a view it takes out, under the kit's one rule of ownership for views
// a caller hands over, which is Qt's rule for a widget's children: a container parents a view
// while it holds it and never deletes a view it was given or handed back; taking one out hides it
// and un-parents it, and the view is the caller's again, to add elsewhere, keep or delete. Those
// that nobody adopted (gave a parent) by the time the container goes are deleted with it, as its
// children are, so that a view dropped by everybody is not lost. A container answers to findChild
// with its TakenViews. GUI thread.
class TakenViews : public QObject
{
    Q_OBJECT
public:
    explicit TakenViews(QObject *container);
    ~TakenViews() override;

    // Hidden and without a parent on return; a View keeps its frame for its next superview.
    void take(QWidget *view);

private:
    QList<QPointer<QWidget>> m_taken;
};

} // namespace platform
