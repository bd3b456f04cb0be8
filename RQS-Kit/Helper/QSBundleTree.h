#pragma once

#include <QString>

// A self-contained Foldwise folder: "bin/foldwise" with its resources in
// "share/foldwise/resources", movable as a whole. Copies and removals here act on such folders only,
// through file-system calls, never through a shell.
class QSBundleTree
{
public:
    // The Foldwise folder that holds this executable; empty when it lies elsewhere (a build tree).
    static QString bundlePathForExecutable(const QString &executable);
    // A real folder (no link) laid out as above.
    static bool isBundle(const QString &path);
    static QString executableIn(const QString &bundle);

    // Copies the folder with its links and permissions; to must not exist. A partial copy is
    // removed again. False with *error on failure.
    static bool copy(const QString &from, const QString &to, QString *error = nullptr);
    // Removes a Foldwise folder; refuses anything else. Links inside are removed, not followed.
    static bool remove(const QString &bundle, QString *error = nullptr);

    QSBundleTree() = delete;
};
