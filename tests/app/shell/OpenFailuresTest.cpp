#include "app/booklet/Document.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/booklet/VXOpenFailures.h"
#include "app/shell/VXSingleInstance.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"

#include "support/Desktop.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"
#include "support/Screenshot.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <future>

namespace {

using Request = VXSingleInstance::Request;

// A name of a megabyte, and two thousand files that do not exist.
const QString Megabyte = QStringLiteral("/") + QString(1 << 20, 'm') + QStringLiteral(".pdf");

QStringList missingFiles(const QString &folder, int count)
{
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths << QStringLiteral("%1/missing-%2.pdf").arg(folder).arg(i, 4, 10, QLatin1Char('0'));
    return paths;
}

QList<QMessageBox *> shownMessageBoxes()
{
    QList<QMessageBox *> boxes;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
            boxes << box;
    }
    return boxes;
}

// Requests as a later launch sends them over the single-instance socket, to the application put
// together as main() does, with nobody answering for the user: its alerts are shown.
class OpenFailuresTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(running.listen());
        QObject::connect(&running, &VXSingleInstance::filesReceived, &delegate,
                         [this](Request request, const QStringList &paths) { delegate.openRequested(request, paths); });
    }
    void TearDown() override
    {
        for (QMessageBox *box : shownMessageBoxes())
            box->done(0);
        for (Document *document : documents.documents())
            documents.removeDocument(document);
    }

    // The alerts shown once the request was taken and answered.
    QList<QMessageBox *> alertsAfter(Request request, const QStringList &paths)
    {
        // Sent from a thread of its own, as from another process: a request this long waits for the
        // listener to read it.
        std::future<bool> sent = std::async(std::launch::async, [&] { return VXSingleInstance(VXSingleInstance::defaultServerName()).forward(request, paths); });
        (void)QTest::qWaitFor([] { return !shownMessageBoxes().isEmpty(); }, DesktopTimeout);
        EXPECT_TRUE(sent.get());
        // Whatever else it would open comes of the work already under way.
        EXPECT_TRUE(settle());
        return shownMessageBoxes();
    }

    // The box stands on the screen whole, its text readable.
    static void expectOnTheScreen(QMessageBox *box)
    {
        const QRect screen = box->screen()->availableGeometry();
        EXPECT_LE(box->frameGeometry().height(), screen.height());
        EXPECT_LE(box->frameGeometry().width(), screen.width());
    }

    QTemporaryDir folder;
    VXDocumentController documents;
    AppDelegate delegate{&documents};
    VXSingleInstance running{VXSingleInstance::defaultServerName()};
};

} // namespace

// Two thousand files make one alert that names four and counts the rest; a name of a megabyte is
// cut in the middle.
TEST(OpenFailures, ThousandsOfFilesAndHugeNamesMakeAShortText)
{
    VXOpenFailures many;
    const QString unreadable = rqs::localized("OpenFailedUnreadableText");
    for (const QString &path : missingFiles("/nowhere", 2000))
        many.add(path, unreadable);
    many.add("/nowhere/other.pdf", "Reason one.");
    many.add("/nowhere/third.pdf", "Reason two.");
    many.add("/nowhere/fourth.pdf", "Reason three.");
    EXPECT_EQ(many.title(), "2003 files could not be opened.");
    EXPECT_EQ(many.text(), QString::fromUtf8("“missing-0000.pdf”, “missing-0001.pdf”, “missing-0002.pdf”, “missing-0003.pdf” and 1996 more\n")
                               + unreadable + QString::fromUtf8("\n\n“other.pdf”\nReason one.\n\n“third.pdf”\nReason two.\n\n")
                               + "1 more could not be opened for other reasons; the log names each.");

    VXOpenFailures huge;
    huge.add(Megabyte, unreadable);
    EXPECT_EQ(huge.title(), QString::fromUtf8("The file “") + QString(30, 'm') + QChar(0x2026) + QString(26, 'm') + QString::fromUtf8(".pdf” could not be opened."));
    EXPECT_EQ(huge.text(), unreadable);

    // Never between the halves of a character of two.
    const QString flag = QString::fromUtf8("\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA");
    VXOpenFailures flags;
    flags.add("/" + QString(29, 'f') + flag.repeated(40) + QString(29, 'f'), unreadable);
    EXPECT_TRUE(QStringView(flags.title()).isValidUtf16()) << flags.title().toStdString();
}

// A file is named once however often it is added; a sentence more goes to the file it is given
// for, whichever was added last.
TEST(OpenFailures, AFileIsNamedOnceAndASentenceGoesToTheFileItExplains)
{
    VXOpenFailures failures;
    failures.add("/prints/job-1/Kept.pdf", "Damaged.");
    failures.add("/prints/job-1/Kept.pdf", "Damaged.");
    failures.add("/home/Other.pdf", "Damaged.");
    failures.explain("/prints/job-1/Kept.pdf", "Set aside.");
    failures.explain("/nowhere/Unknown.pdf", "Not told.");
    EXPECT_EQ(failures.title().toStdString(), "2 files could not be opened.");
    EXPECT_EQ(failures.text().toStdString(), "“Kept.pdf”\nDamaged. Set aside.\n\n“Other.pdf”\nDamaged.");
}

// A later launch naming a path of a megabyte: one alert, quickly laid out, no taller than the screen.
TEST_F(OpenFailuresTest, ARequestNamingAHugePathGetsOneAlertThatFitsTheScreen)
{
    const QList<QMessageBox *> alerts = alertsAfter(Request::OpenFiles, {Megabyte});
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first()->text().contains(QChar(0x2026)));
    EXPECT_LT(alerts.first()->text().size(), 200);
    expectOnTheScreen(alerts.first());
}

// Two thousand files that do not exist, handed over as prints or opened as documents: the
// failures of one request are told in one alert that fits the screen.
TEST_F(OpenFailuresTest, ARequestNamingThousandsOfMissingFilesGetsOneAlertThatFitsTheScreen)
{
    const QStringList missing = missingFiles(folder.path(), 2000);
    QList<QMessageBox *> alerts = alertsAfter(Request::Service, missing);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first()->text(), "2000 files could not be opened.");
    expectOnTheScreen(alerts.first());
    alerts.first()->done(0);

    // Several files make a question first; the user opens them as documents.
    alerts = alertsAfter(Request::OpenFiles, missing);
    ASSERT_EQ(alerts.size(), 1);
    ASSERT_EQ(alerts.first()->text(), rqs::localized("OpenMultipleTitle"));
    QPushButton *asDocuments = nullptr;
    for (QAbstractButton *button : alerts.first()->buttons())
        asDocuments = button->text() == rqs::localized("AsDocuments") ? qobject_cast<QPushButton *>(button) : asDocuments;
    ASSERT_NE(asDocuments, nullptr);
    QTest::mouseClick(asDocuments, Qt::LeftButton, {}, asDocuments->rect().center());
    (void)QTest::qWaitFor([] { return shownMessageBoxes().size() == 1 && shownMessageBoxes().first()->text() != rqs::localized("OpenMultipleTitle"); }, 20000);
    QTest::qWait(200);
    alerts = shownMessageBoxes();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first()->text(), "2000 files could not be opened.");
    expectOnTheScreen(alerts.first());
}

// A valid picture file of 445 kB whose 12000 × 12000 pixels are more than Qt decodes, given at a
// later launch: its alert says that it is too large and names the limit; the log names the file in
// one line.
TEST_F(OpenFailuresTest, APictureOfMorePixelsThanQtDecodesIsToldAsTooLargeNamingTheLimit)
{
    const QString poster = folder.filePath("Poster.png");
    QFile file(poster);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(PictureFixture::plainPng({12000, 12000}, Qt::white)) > 0);
    file.close();
    ASSERT_LT(file.size(), 500'000);
    platform::LogCapture log;
    const QList<QMessageBox *> alerts = alertsAfter(Request::OpenFiles, {poster});
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first()->text().toStdString(), "The file “Poster.png” could not be opened.");
    EXPECT_EQ(alerts.first()->informativeText().toStdString(),
              "The picture is too large: its 12000 × 12000 pixels take 549 MB once decoded, and Foldwise decodes pictures of less than 128 MB.");
    const QStringList told = log.lines().filter(poster);
    ASSERT_EQ(told.size(), 1) << log.lines().join("\n").toStdString();
    EXPECT_TRUE(told.first().startsWith("Error: Could not make a page of the picture \"" + poster + "\"")) << told.first().toStdString();
}

using OpenFailuresOnDesktop = OpenFailuresTest;

// On the desktop, under its window manager: the alert of a request of a path of a megabyte and two
// thousand missing prints stands whole on the screen, and OK closes it.
TEST_F(OpenFailuresOnDesktop, TheAlertOfAHugeRequestStandsWholeOnTheScreenAndOKClosesIt)
{
    FOLDWISE_REQUIRE_DESKTOP();
    const QList<QMessageBox *> alerts = alertsAfter(Request::Service, QStringList{Megabyte} + missingFiles(folder.path(), 2000));
    ASSERT_EQ(alerts.size(), 1);
    QMessageBox *box = alerts.first();
    const QImage painted = paintedScreen(box);
    const QRect shown = settledFrame(box);
    EXPECT_TRUE(box->screen()->availableGeometry().contains(shown)) << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
    // What the screen shows there: the box's own background at its lower left corner.
    const QImage screen = painted.copy(shown);
    const QPoint corner = box->geometry().bottomLeft() - shown.topLeft() + QPoint(8, -8);
    EXPECT_TRUE(PixelProbe::isNear(screen, corner, box->palette().window().color(), 24)) << PixelProbe::describe(screen, corner).toStdString();
    EXPECT_TRUE(saveScreenshot(screen, "open-failures-alert"));
    QAbstractButton *ok = box->buttons().value(0);
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
    EXPECT_TRUE(QTest::qWaitFor([] { return shownMessageBoxes().isEmpty(); }, DesktopTimeout));
}
