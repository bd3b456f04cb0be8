#pragma once

#include <QString>
#include <QUrl>

// The pictures users choose for effect inputs. Settings keep their names across sessions, so the
// copies live in the application's data folder rather than in the temporary folder emptied at exit.
class QSEffectResourceStore
{
public:
    // "<app data>/EffectResources"; made on demand.
    static QString folder();
    // Copies the file as "EffectResource-<10 random letters and digits>.<extension>" and answers
    // that name; empty, with an "Error: " line, when the copy failed.
    static QString storeCopyOf(const QUrl &source);
    // The copy's path; empty, with a "Warning: " line, when it is gone (the input then has no image).
    static QString pathForResource(const QString &name);
    // Stored names come from settings files: only a plain file name (no folder, not "." or "..")
    // may name a copy, so that no name reaches outside the folder.
    static bool isPlainFileName(const QString &name);
};
