#pragma once

// What the tools that draw resource pictures share: the output folder from the command line and
// files written into it, each failure told on one "Error: " line.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
    const QString path = dir + QLatin1Char('/') + folder + QLatin1Char('/') + name;
    if (picture.save(path, nullptr, quality))
        return true;
    std::fprintf(stderr, "Error: Could not write %s\n", qPrintable(path));
    return false;
}

inline bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size())
        return true;
    std::fprintf(stderr, "Error: Could not write %s\n", qPrintable(path));
    return false;
}

} // namespace resourcefiles
