#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Runs xdotool against the X display; its standard output, trimmed. It drives the display as a
// user would: keys and clicks go through the X server and the window manager.
QString xdotool(const QString &display, const QStringList &arguments);

// For another program's windows (the end-to-end cases), by xdotool's decimal window ids.
// The windows xdotool finds with those search arguments ("--name", a title) that are mapped and
// viewable, oldest first.
QStringList shownWindows(const QString &display, const QStringList &search);
// The first of them once there is one; empty when none comes within DesktopTimeout.
QString windowWhenShown(const QString &display, const QStringList &search);
// Presses the keys in the window, activated through the window manager first as a user's click
// would, until what they bring shows: found() names it, or is empty. A window can show before it
// takes keys, so they are pressed again while nothing came, after a good while each time: a modal
// window on its way blocks the window pressed in, and a key pressed again meanwhile is dropped.
// What came; empty when nothing did within DesktopTimeout.
QString pressUntilShown(const QString &display, const QString &window, const QString &keys, const std::function<QString()> &found);
// Waits until the program that shows the window has handled every event the X server had sent it:
// it answers a ping such as the window manager sends (_NET_WM_PING) in turn with them. False when
// it does not answer within DesktopTimeout.
bool programHandledEvents(const QString &display, const QString &window);
