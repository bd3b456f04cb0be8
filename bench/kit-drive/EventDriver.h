#pragma once

#include <QPoint>
#include <QString>

class QWidget;

namespace kitdrive {

// Sends one user action to a shown root widget through QTest, as the pointer and keyboard would:
//   move X,Y | press X,Y | drag X,Y | release X,Y | click X,Y[,N] | rpress X,Y
//   key NAME[+Shift|+Ctrl] | hold-shift | wait MS
// Coordinates are y-up in the root and rounded to whole pixels. Keys go to the focus widget.
class EventDriver
{
public:
    explicit EventDriver(QWidget *root);

    // False with an "Error: " line for an action it does not know.
    bool perform(const QString &action);

private:
    bool pointAt(const QString &text, QPoint &point, int *count) const;

    QWidget *m_root;
    Qt::KeyboardModifiers m_held = Qt::NoModifier;
};

} // namespace kitdrive
