#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <utility>
#include <QString>


namespace kitdrive {

// Sends one user action to a shown root widget through QTest, as the pointer and keyboard would:
//   move X,Y | press X,Y | drag X,Y | release X,Y | click X,Y[,N] | rpress X,Y
//   key NAME[+Shift|+Ctrl] | hold-shift | wait MS
// Coordinates are y-up in the root and rounded to whole pixels. The pointer's events go where a
// real pointer's would: to the deepest widget at the point, and while a button is held to the
// widget pressed. Keys go to the focus widget.
class EventDriver
{
public:
    explicit EventDriver(QWidget *root);

    // False with an "Error: " line for an action it does not know.
    bool perform(const QString &action);

private:
    bool pointAt(const QString &text, QPoint &point, int *count) const;
    // The widget to send a pointer event at a point of the root, and the point in it.
    std::pair<QWidget *, QPoint> receiver(const QPoint &at) const;

    QWidget *m_root;
    Qt::KeyboardModifiers m_held = Qt::NoModifier;
    QPointer<QWidget> m_pressed;
};

} // namespace kitdrive
