#pragma once

// What the tools that draw resource pictures share: the output folder from the command line and
// files written into it, each failure told on one "Error: " line.
#include "WrittenFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <cstdio>
#include <optional>

namespace resourcefiles {

// The one argument DIR; nothing, after the usage line, otherwise.
inline std::optional<QString> outputFolder(const char *tool)
{
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "Error: usage: %s DIR\n", tool);
        return std::nullopt;
    }
    return arguments.at(1);
}

inline bool save(const QImage &picture, const QString &dir, const QString &folder, const QString &name, int quality = -1)
{
    if (!QDir(dir).mkpath(folder))
        return false;
    return bench::writePicture(picture, dir + QLatin1Char('/') + folder + QLatin1Char('/') + name, nullptr, quality);
}

inline bool writeText(const QString &path, const QByteArray &text) { return bench::writeFile(path, text); }

} // namespace resourcefiles
