#pragma once

#include <QByteArray>
#include <QFile>

// The files this process has mapped (its /proc/self/maps): which libraries and plugins it loaded.
inline QByteArray mappedFiles()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
}
