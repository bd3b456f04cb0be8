#include "RQS-Kit/Foundation/QSEncoding.h"
#include "RQS-Kit/Foundation/QSEncodingChooser.h"
#include "RQS-Kit/Foundation/QSEncodingPopupButton.h"
#include "RQS-Kit/Foundation/QSEncodingTester.h"
#include "RQS-Kit/Foundation/QSStringDecoder.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

QString writeFile(const QTemporaryDir &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

std::shared_ptr<QSEncodingTester> profile(const QTemporaryDir &folder, const QByteArray &text)
{
    return QSEncodingTester::encodingTesterFor(writeFile(folder, QStringLiteral("p.encoding"), text));
}

} // namespace

TEST(QSEncodingTester, ProfileSectionsKeysAndWholeCharacters)
{
    QTemporaryDir folder;
    platform::LogCapture log;
    const auto tester = profile(folder, "Name: Test\nnsstring: 2\ngood:\ne\t2.5\n\xF0\x9F\x98\x80\t3\tnote\n"
                                        "badfactor: 2\nx\t1\nbad:\ne\t1\n\n");
    ASSERT_TRUE(tester);
    EXPECT_EQ(tester->name(), "Test");
    EXPECT_EQ(tester->stringEncoding(), QSStringDecoder::UTF8);
    EXPECT_EQ(tester->badFactor(), 2.0);
    EXPECT_EQ(tester->good(), (QSEncodingTester::Weights{{U'e', 2.5}, {U'😀', 3.0}}));
    EXPECT_EQ(tester->bad(), (QSEncodingTester::Weights{{U'e', 1.0}}));
    EXPECT_TRUE(log.contains("Warning: Unparsable line (neither in 'good' or 'bad' status): 'x\t1'"));
    EXPECT_TRUE(log.contains("Warning: Good Unicode is also bad: e"));
    // A non-BMP character scores once, and bad characters make one counted line.
    EXPECT_EQ(tester->scoreText(QString::fromUtf8("😀 eee")), 3.0 + 3 * 2.5 - 3 * 2.0);
    EXPECT_EQ(log.lines().filter("speak against").size(), 1);
    EXPECT_FALSE(profile(folder, "name: \xC3\x28"));
}

TEST(QSEncodingChooser, ReadsOnlyAGuessThatScoresEnoughPerCharacter)
{
    QTemporaryDir folder;
    const auto latin = profile(folder, "nsstring: 10\ngood:\n\xC5\x82\t2\n");
    const auto utf8 = profile(folder, "nsstring: 2\ngood:\n\xC5\x82\t1\n");
    const QString path = writeFile(folder, "t.txt", QString::fromUtf8("łłabcdefgh").toUtf8());
    QSEncodingChooser chooser;
    QString error;
    EXPECT_FALSE(chooser.contentOfFile(path, 0.1, &error)) << "no profile at all";
    EXPECT_FALSE(error.isEmpty());
    chooser.addEncodingTester(latin);
    chooser.addEncodingTester(utf8);
    EXPECT_EQ(chooser.chooseEncodingFor(path), utf8) << "the UTF-8 bytes are no ISO Latin 2 text with ł";
    EXPECT_EQ(chooser.contentOfFile(path, 0.19), QString::fromUtf8("łłabcdefgh"));
    error.clear();
    EXPECT_FALSE(chooser.contentOfFile(path, 0.2, &error));
    EXPECT_TRUE(error.contains("UTF-8")) << error.toStdString();
}

TEST(QSEncodingPopupButton, ShowsTheTableAndKeepsTheChosenOfTwinEntries)
{
    QSEncodingPopupButton popUp;
    ASSERT_EQ(popUp.count(), 48);
    EXPECT_EQ(popUp.itemText(22), "Non Lossy ASCII");
    EXPECT_TRUE(popUp.itemText(23).isEmpty());
    EXPECT_EQ(popUp.itemText(24), "Chinese GB 18030");
    popUp.setCurrentIndex(popUp.findText("Windows CP1250"));
    EXPECT_TRUE(popUp.selectItemWithEncoding(popUp.selectedEncoding()));
    EXPECT_EQ(popUp.currentText(), "Windows CP1250");
    EXPECT_EQ(QSEncoding::nameForEncoding(popUp.selectedEncoding()), "Window Latin 2");
    EXPECT_EQ(QSEncoding::nameForEncoding(0), "Automatic");
    EXPECT_EQ(QSEncoding::nameForEncoding(4711), "unknown encoding");
}
