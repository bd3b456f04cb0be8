#pragma once

#include <QString>
#include <QStringList>

// Runs xdotool against the X display; its standard output, trimmed. It drives the display as a
// user would: keys and clicks go through the X server and the window manager.
QString xdotool(const QString &display, const QStringList &arguments);
