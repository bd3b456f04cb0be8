#include "RQS-Kit/Helper/QSFontLoader.h"

#include "platform/foundation/Log.h"
#include "support/PdfFixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

TEST(QSFontLoader, OneBadFileDoesNotStopTheOthers)
{
    const QString dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    ASSERT_TRUE(QFile::exists(dejaVu));
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(dejaVu, folder.filePath("Bundled.ttf")));
    ASSERT_FALSE(PdfFixture::write(folder.path(), "Broken.ttf", "no font").isEmpty());
    const platform::Bundle bundle(folder.path());

    platform::LogCapture log;
    const QString problems = QSFontLoader::loadLocalFonts(
        {"Bundled.ttf", "Broken.ttf", dejaVu, "Gone.ttf"}, bundle);
    EXPECT_EQ(problems, "File loading problem: Broken.ttf\nFile missing: Gone.ttf\n");
    EXPECT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(QSFontLoader::loadLocalFonts({dejaVu}, bundle).isEmpty());
}
