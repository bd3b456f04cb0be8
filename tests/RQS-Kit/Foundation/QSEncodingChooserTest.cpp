#include "RQS-Kit/Foundation/QSEncoding.h"
#include "RQS-Kit/Foundation/QSEncodingChooser.h"
#include "RQS-Kit/Foundation/QSEncodingPopupButton.h"
#include "RQS-Kit/Foundation/QSEncodingTester.h"
#include "RQS-Kit/Foundation/QSStringDecoder.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <iconv.h>

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

namespace {

// Text written in a set by the C library, as another program would write the file.
QByteArray writtenIn(const QString &text, const char *charset)
{
    const iconv_t conversion = iconv_open(charset, "UTF-8");
    EXPECT_NE(conversion, reinterpret_cast<iconv_t>(-1)) << charset;
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 4 + 16, '\0');
    char *inData = in.data();
    char *outData = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    EXPECT_NE(iconv(conversion, &inData, &inLeft, &outData, &outLeft), size_t(-1)) << charset;
    iconv_close(conversion);
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

struct HeldOut
{
    const char *charset;
    quint64 encoding;
    const char *text;
};

// None of these sentences is among the texts the shipped profiles were made from.
const HeldOut HeldOutTexts[] = {
    {"UTF-8", QSStringDecoder::UTF8,
     "O médico disse que ela precisava descansar durante três semanas. Não é fácil ficar parada, mas a saúde está em "
     "primeiro lugar, e a família ajuda com as tarefas da casa."},
    {"UTF-8", QSStringDecoder::UTF8, "今朝は寒かったので、暖かいコートを着て会社に行きました。"},
    {"UTF-8", QSStringDecoder::UTF8, "Plain ASCII text with nothing special in it."},
    {"UTF-16", QSStringDecoder::UTF16,
     "Когда мы вернулись домой, на улице уже стемнело. Мама накрыла на стол, и мы ужинали все вместе, рассказывая "
     "друг другу о прошедшем дне."},
    {"ISO-8859-1", QSStringDecoder::ISOLatin1,
     "Nous sommes arrivés à la gare très en retard, et le dernier train était déjà parti. Heureusement, un hôtel près "
     "de la place accepta de nous héberger pour la nuit ; le propriétaire nous prépara même une soupe chaude."},
    {"CP1252", QSStringDecoder::WindowsLatin1,
     "“¿Cuánto cuesta?”, preguntó la señora. El vendedor respondió que el precio era de 25 € – una ganga, según él – "
     "y que no había otro igual en todo el mercado."},
    {"MACINTOSH", QSStringDecoder::MacRoman,
     "Gestern haben wir im Garten Äpfel gepflückt und daraus einen Kuchen gebacken. Die Kinder durften den Teig "
     "rühren, und am Abend saßen wir alle gemütlich zusammen und hörten Musik."},
    {"KOI8-R", QSStringDecoder::CyrillicKOI8R,
     "Поезд отправляется с третьего пути ровно в восемь часов утра. Пассажиров просят заранее занять свои места и "
     "не оставлять багаж без присмотра."},
    {"CP1251", QSStringDecoder::CyrillicWindows,
     "Наша библиотека получила в подарок несколько сотен новых книг. Теперь читатели смогут найти здесь не только "
     "классическую литературу, но и современные романы."},
    {"SHIFT_JIS", QSStringDecoder::JapaneseDOS, "今朝は寒かったので、暖かいコートを着て会社に行きました。電車の中はとても混んでいて、座ることができませんでした。"},
    {"EUC-JP", QSStringDecoder::JapaneseEUC, "週末に家族で海へ行きました。子どもたちは砂浜で遊んだり、貝を拾ったりして、とても喜んでいました。"},
    {"GB2312", QSStringDecoder::ChineseSimplifiedDOS, "我们学校的图书馆新买了很多书，同学们可以在课后去借阅。老师鼓励大家多读书，多思考。"},
    {"BIG5", QSStringDecoder::ChineseTraditionalDOS, "我們學校的圖書館新買了很多書，同學們可以在課後去借閱。老師鼓勵大家多讀書，多思考。"},
    {"EUC-KR", QSStringDecoder::KoreanEUC,
     "우리 학교 도서관에 새 책이 많이 들어와서 학생들은 수업이 끝난 후에 책을 빌릴 수 있습니다. 선생님께서는 책을 많이 "
     "읽으라고 말씀하셨습니다."},
};

} // namespace

TEST(QSEncodingChooser, ShippedProfilesTellTheSetOfTextsTheyWereNotMadeFrom)
{
    QSEncodingChooser *chooser = QSEncodingChooser::sharedEncodingChooser();
    ASSERT_EQ(chooser->encodingTesters().size(), 12);
    QTemporaryDir folder;
    for (const HeldOut &sample : HeldOutTexts) {
        const QString text = QString::fromUtf8(sample.text);
        const QString path = writeFile(folder, QStringLiteral("held-out.txt"), writtenIn(text, sample.charset));
        const std::shared_ptr<QSEncodingTester> chosen = chooser->chooseEncodingFor(path);
        ASSERT_TRUE(chosen) << sample.charset;
        EXPECT_EQ(chosen->stringEncoding(), sample.encoding) << sample.charset << " taken for " << chosen->name().toStdString();
        QString error;
        EXPECT_EQ(chooser->contentOfFile(path, 0.01, &error), text) << sample.charset << " " << error.toStdString();
    }
}
