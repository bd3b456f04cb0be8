#pragma once

#include <QString>

// Puts Foldwise's CUPS backend where CUPS looks for backends, for a Foldwise folder that carries
// its own copy: CUPS adds no Foldwise printer while it has no "foldwise" backend. Writing there
// needs an administrator, asked through pkexec, which runs this Foldwise's --install-cups-backend.
class VXCupsBackendInstall
{
public:
    // CUPS's backend of the Foldwise printer: the configured backend folder joined with "foldwise".
    static QString destination();
    // The backend that comes with the executable, beside it or in ../libexec/foldwise; empty when
    // there is none.
    static QString shippedWith(const QString &foldwisePath);
    // Runs the copy as an administrator (pkexec); false (logged) when it was refused or failed.
    static bool installAsAdministrator(const QString &foldwisePath, const QString &backend);
    // The administrator's step: copies backend to destination with mode 0700, so that CUPS runs it
    // as root. Only a regular file, and only to a file named "foldwise" in a folder "backend".
    static bool install(const QString &backend, const QString &destination);
    // The shell line an administrator can run instead.
    static QString administratorCommand(const QString &backend);
};
