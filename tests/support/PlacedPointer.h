#pragma once

#include <QPoint>

// The pointer is process state: offscreen as on a display, Qt and the kit's hover ask the
// platform's pointer where it is (QCursor::pos), and every synthetic move leaves it where it went.
// A hover case puts it where it wants it before its windows show, so that nothing is hovered by
// where an earlier case left it.

// Moves the platform's pointer there and delivers what the move enters or leaves.
void placePointer(const QPoint &global);
// Beyond the top left corner of every screen, where no case puts a window.
void placePointerAway();
