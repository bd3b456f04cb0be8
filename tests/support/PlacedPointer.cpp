#include "support/PlacedPointer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

void placePointer(const QPoint &global)
{
    QCursor::setPos(global);
    QCoreApplication::processEvents();
}

void placePointerAway()
{
    QRect screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens |= screen->geometry();
    placePointer(screens.topLeft() - QPoint(200, 200));
}
