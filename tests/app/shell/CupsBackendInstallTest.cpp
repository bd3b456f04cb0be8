#include "app/shell/VXCupsBackendInstall.h"
#include "platform/foundation/Log.h"

#include "support/PdfFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The administrator's step run by pkexec: only Foldwise's backend, only where CUPS looks for it.
TEST(CupsBackendInstallTest, CopiesTheBackendPrivateToRootAndNowhereElse)
{
    QTemporaryDir folder;
    const QString backend = PdfFixture::write(folder.path(), "foldwise-cups-backend", "#!/bin/sh\nexit 0\n");
    ASSERT_TRUE(QDir().mkpath(folder.filePath("backend")) && QDir().mkpath(folder.filePath("bin")));
    const struct {
        QString source, destination;
        bool installs;
    } cases[] = {
        {backend, folder.filePath("backend/foldwise"), true},
        {backend, folder.filePath("bin/foldwise"), false},
        {backend, folder.filePath("backend/usb"), false},
        {folder.filePath("backend"), folder.filePath("backend/foldwise"), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.destination.toStdString());
        QFile::remove(c.destination);
        platform::LogCapture log;
        EXPECT_EQ(VXCupsBackendInstall::install(c.source, c.destination), c.installs);
        EXPECT_EQ(QFileInfo::exists(c.destination), c.installs);
        EXPECT_EQ(log.contains("Error: Will not install"), !c.installs);
        if (!c.installs)
            continue;
        EXPECT_EQ(PdfFixture::read(c.destination), PdfFixture::read(backend));
        const QFileDevice::Permissions mode = QFile::permissions(c.destination);
        EXPECT_TRUE(mode.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        EXPECT_FALSE(mode & (QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther))
            << "CUPS runs a backend only root may read as root";
    }
    EXPECT_EQ(VXCupsBackendInstall::shippedWith(folder.filePath("foldwise")), backend) << "beside the executable";
    EXPECT_EQ(VXCupsBackendInstall::shippedWith(folder.filePath("bin/foldwise")), QString());
    ASSERT_TRUE(QDir().mkpath(folder.filePath("libexec/foldwise")));
    ASSERT_TRUE(QFile::copy(backend, folder.filePath("libexec/foldwise/foldwise-cups-backend")));
    EXPECT_EQ(VXCupsBackendInstall::shippedWith(folder.filePath("bin/foldwise")), folder.filePath("libexec/foldwise/foldwise-cups-backend"))
        << "in an installed folder";
}

} // namespace
