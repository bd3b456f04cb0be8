#include "platform/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

TEST(TempFolder, IsOnePrivateFolderUnderTheTemporaryDirectory)
{
    const QString path = platform::TempFolder::path();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(path, platform::TempFolder::path());
    const QFileInfo info(path);
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.absolutePath(), QDir(QDir::tempPath()).absolutePath());
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                                    | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());
}
