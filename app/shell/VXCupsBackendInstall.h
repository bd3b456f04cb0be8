#pragma once

#include <QString>
#include <QStringList>

// Puts Foldwise's CUPS backend where CUPS looks for backends, for a Foldwise folder that carries
// its own copy: CUPS adds no Foldwise printer while it has no "foldwise" backend. Writing there
// needs an administrator, asked through pkexec, which runs the system's own install(1): nothing
// the user can write ever runs as root.
class VXCupsBackendInstall
{
public:
    // CUPS's backend of the Foldwise printer: the configured backend folder joined with "foldwise".
    static QString destination();
    // The backend that comes with the executable, beside it or in ../libexec/foldwise; empty when
    // there is none.
    static QString shippedWith(const QString &foldwisePath);
    // Runs the copy as an administrator (pkexec); false (logged) when it was refused or failed.
    static bool installAsAdministrator(const QString &backend);
    // The administrator's step: install(1) copies backend to destination owned by root with mode
    // 0700, so that CUPS runs it as root. The first entry is the program.
    static QStringList installCommand(const QString &backend, const QString &destination);
    // The shell line an administrator can run instead.
    static QString administratorCommand(const QString &backend);
};
