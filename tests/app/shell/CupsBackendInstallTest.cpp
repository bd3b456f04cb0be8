#include "app/shell/VXCupsBackendInstall.h"

#include "support/PdfFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// The administrator's step run by pkexec is the system's install(1), never a file the user can
// write; what it leaves is a backend CUPS runs as root.
TEST(CupsBackendInstallTest, InstallsTheBackendPrivateToRootWithTheSystemsOwnProgram)
{
    QTemporaryDir folder;
    const QString backend = PdfFixture::write(folder.path(), "foldwise-cups-backend", "#!/bin/sh\nexit 0\n");
    ASSERT_TRUE(QDir().mkpath(folder.filePath("backend")));
    const QString destination = folder.filePath("backend/foldwise");
    const QStringList command = VXCupsBackendInstall::installCommand(backend, destination);
    ASSERT_FALSE(command.isEmpty());
    const QFileInfo program(command.first());
    EXPECT_TRUE(program.isAbsolute() && program.ownerId() == 0 && !(program.permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther)))
        << command.first().toStdString() << " must be a program only root can change";
    EXPECT_NE(command.first(), QFileInfo(backend).absoluteFilePath());
    if (geteuid() != 0)
        GTEST_SKIP() << "install(1) sets the owner root only when run as root";
    QProcess install;
    install.start(command.first(), command.mid(1));
    ASSERT_TRUE(install.waitForFinished(10000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    EXPECT_EQ(PdfFixture::read(destination), PdfFixture::read(backend));
    const QFileInfo installed(destination);
    EXPECT_EQ(installed.ownerId(), 0u);
    const QFileDevice::Permissions mode = installed.permissions();
    EXPECT_TRUE(mode.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    EXPECT_FALSE(mode & (QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther))
        << "CUPS runs a backend only root may read as root";
}

TEST(CupsBackendInstallTest, FindsTheBackendShippedBesideTheProgramOrInItsFolder)
{
    QTemporaryDir folder;
    const QString backend = PdfFixture::write(folder.path(), "foldwise-cups-backend", "#!/bin/sh\nexit 0\n");
    EXPECT_EQ(VXCupsBackendInstall::shippedWith(folder.filePath("foldwise")), backend) << "beside the executable";
    EXPECT_EQ(VXCupsBackendInstall::shippedWith(folder.filePath("bin/foldwise")), QString());
    ASSERT_TRUE(QDir().mkpath(folder.filePath("bin")) && QDir().mkpath(folder.filePath("libexec/foldwise")));
    ASSERT_TRUE(QFile::copy(backend, folder.filePath("libexec/foldwise/foldwise-cups-backend")));
    EXPECT_EQ(VXCupsBackendInstall::shippedWith(folder.filePath("bin/foldwise")), folder.filePath("libexec/foldwise/foldwise-cups-backend"))
        << "in an installed folder";
}

} // namespace
