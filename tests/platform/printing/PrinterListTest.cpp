#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/printing/PrinterCache.h"
#include "platform/printing/PrinterList.h"
#include "platform/printing/PrinterWatcher.h"

#include "support/CupsServerTest.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using platform::Notification;
using platform::NotificationCenter;
using platform::PrinterCache;
using platform::PrinterList;
using platform::PrinterWatcher;

namespace {

// Collects "<notification> <printer>" of the watcher's notifications about the given queues.
class DeviceNotifications : public QObject
{
public:
    explicit DeviceNotifications(const QStringList &queues)
    {
        for (const QString &name : {PrinterWatcher::RegisteredNotification, PrinterWatcher::UnregisteredNotification}) {
            NotificationCenter::distributedCenter()->addObserver(this, name, nullptr, [=, this](const Notification &n) {
                const QString queue = n.userInfo.value(PrinterWatcher::PrinterNameKey).toString();
                if (queues.contains(queue))
                    seen << n.name + QLatin1Char(' ') + queue;
            });
        }
    }
    QStringList seen;
};

} // namespace

using PrinterListTest = CupsServerTest;

TEST_F(PrinterListTest, ListsTheQueuesAndTakesTheUsersLpoptionsDefaultElseTheServers)
{
    const std::optional<PrinterList::Queues> queues = PrinterList::queues();
    ASSERT_TRUE(queues);
    EXPECT_TRUE(queues->names.contains("Duplex_Printer"));
    EXPECT_EQ(queues->defaultName, "Simplex_Printer");

    // The test main points HOME at a temporary folder.
    const QString folder = QDir::homePath() + QStringLiteral("/.cups");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile options(folder + QStringLiteral("/lpoptions"));
    for (const auto &[line, expected] : {std::pair{"Default Duplex_Printer\n", "Duplex_Printer"},
                                         std::pair{"Default Gone_Printer\n", "Simplex_Printer"}}) {
        ASSERT_TRUE(options.open(QIODevice::WriteOnly | QIODevice::Truncate));
        options.write(line);
        options.close();
        EXPECT_EQ(PrinterList::defaultPrinterName(), QString::fromLatin1(expected)) << line;
    }
    ASSERT_TRUE(options.remove());
}

TEST_F(PrinterListTest, PrinterByNameKnowsTwoSidedShortEdgeAndTheReasonWhenThereIsNone)
{
    const auto duplex = PrinterList::printerNamed(QStringLiteral("Duplex_Printer"));
    const auto simplex = PrinterList::printerNamed(QStringLiteral("Simplex_Printer"));
    ASSERT_TRUE(duplex && simplex);
    EXPECT_EQ(duplex->name(), "Duplex_Printer");
    EXPECT_TRUE(duplex->supportsTwoSidedShortEdge());
    EXPECT_FALSE(simplex->supportsTwoSidedShortEdge());

    platform::LogCapture capture;
    EXPECT_FALSE(PrinterList::printerNamed("No_Such_Printer"));
    // An empty name must not fall back to the default printer.
    EXPECT_FALSE(PrinterList::printerNamed(QString()));
    EXPECT_EQ(capture.lines(),
              (QStringList{"Error: Printer \"No_Such_Printer\" was not found: The printer or class does not exist.",
                           "Error: No printer name was given"}));
}

using PrinterCacheTest = CupsServerTest;

TEST_F(PrinterCacheTest, StartsEmptyThenAnnouncesOnTheGuiThreadEachQueueThatComesAndGoes)
{
    // Other tests share the server; a name of this process's own keeps their queues apart.
    const QString queue = QStringLiteral("Watched_%1").arg(QCoreApplication::applicationPid());
    DeviceNotifications notifications({queue, "Duplex_Printer"});
    PrinterCache cache(std::chrono::milliseconds(20));
    const PrinterWatcher watcher(&cache);
    QList<QThread *> announcedOn;
    QObject::connect(&cache, &PrinterCache::printersChanged, [&] { announcedOn << QThread::currentThread(); });
    bool ranLoaded = false;
    cache.whenLoaded(&cache, [&] { ranLoaded = cache.isLoaded(); });
    EXPECT_FALSE(cache.isLoaded());
    EXPECT_EQ(cache.printerNames(), QStringList());

    ASSERT_TRUE(QTest::qWaitFor([&] { return cache.isLoaded(); }, 20000));
    EXPECT_TRUE(ranLoaded);
    EXPECT_TRUE(cache.printerNames().contains("Duplex_Printer"));
    EXPECT_EQ(cache.defaultPrinterName(), "Simplex_Printer");
    ASSERT_TRUE(lpadmin({"-p", queue, "-E", "-v", "foldwise-test:/"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !notifications.seen.isEmpty(); }, 20000));
    EXPECT_EQ(cache.printerNamed(queue.toLower()), queue);
    ASSERT_TRUE(lpadmin({"-x", queue}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return notifications.seen.size() >= 2; }, 20000));
    EXPECT_EQ(notifications.seen, (QStringList{QStringLiteral("CMDeviceRegisteredNotification ") + queue,
                                               QStringLiteral("CMDeviceUnregisteredNotification ") + queue}));
    EXPECT_EQ(cache.printerNamed(queue), QString());
    EXPECT_GE(announcedOn.size(), 3);
    EXPECT_EQ(announcedOn.count(QCoreApplication::instance()->thread()), announcedOn.size());
}

TEST_F(PrinterCacheTest, AnUnreachableServerIsReportedOnceAndRemovesNoPrinter)
{
    DeviceNotifications notifications({"Duplex_Printer", "Simplex_Printer"});
    PrinterCache cache(std::chrono::milliseconds(5));
    const PrinterWatcher watcher(&cache);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cache.isLoaded(); }, 20000));
    platform::LogCapture capture;
    QTemporaryDir dir;
    cache.setServer(dir.filePath("none.sock"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !capture.lines().isEmpty(); }, 20000));
    QTest::qWait(100);
    EXPECT_TRUE(cache.printerNames().contains("Duplex_Printer"));
    cache.setServer(QString());
    QTest::qWait(100);

    EXPECT_EQ(notifications.seen, QStringList());
    ASSERT_EQ(capture.lines().size(), 1);
    EXPECT_TRUE(capture.lines().first().startsWith("Warning: The printers could not be listed: "))
        << capture.lines().first().toStdString();
}

// The application's own queue hands what is printed back to it: never a printer to offer.
TEST_F(PrinterCacheTest, LeavesOutTheQueuesOfTheApplicationsOwnDevice)
{
    const QString own = QStringLiteral("Own_%1").arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(lpadmin({"-p", own, "-E", "-v", "foldwise-test:/own"}));
    PrinterCache cache(std::chrono::milliseconds(20));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cache.printerNames().contains(own); }, 20000));

    // Every queue of the private server has the recorder's device, so every one is left out.
    cache.leaveOutDeviceScheme(QStringLiteral("foldwise-test"));
    EXPECT_FALSE(cache.printerNames().contains(own));
    EXPECT_FALSE(cache.printerNames().contains("Duplex_Printer"));
    EXPECT_EQ(cache.printerNamed(own), QString());
    EXPECT_EQ(cache.defaultPrinterName(), QString()) << "the default queue is one of them";
    cache.leaveOutDeviceScheme(QStringLiteral("foldwise"));
    EXPECT_EQ(cache.printerNamed(own.toUpper()), own) << "a scheme is matched whole";
    EXPECT_EQ(cache.defaultPrinterName(), "Simplex_Printer");
    EXPECT_TRUE(lpadmin({"-x", own}));
}

// Whether a queue prints both sides by itself comes with the list, as its driver's duplex option.
TEST_F(PrinterCacheTest, KnowsWhichQueuesPrintBothSidesByThemselves)
{
    PrinterCache cache(std::chrono::milliseconds(20));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cache.isLoaded(); }, 20000));
    const std::pair<const char *, bool> queues[] = {
        {"Duplex_Printer", true}, {"duplex_printer", true}, {"Simplex_Printer", false}, {"No_Such_Printer", false}};
    for (const auto &[name, twoSided] : queues)
        EXPECT_EQ(cache.printsBothSides(name), twoSided) << name;
}
