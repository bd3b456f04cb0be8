#include "booklet/BookletExport.h"
#include "support/Desktop.h"
#include "support/HostilePdf.h"
#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/Xdotool.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

bool waitUntil(const std::function<bool()> &done) { return QTest::qWaitFor(done, DesktopTimeout); }

// As a fresh user: its own home, settings, data and runtime folders.
QProcessEnvironment freshUser(const QTemporaryDir &folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto &[variable, sub] : {std::pair{"HOME", "home"}, {"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "data"},
                                        {"XDG_RUNTIME_DIR", "runtime"}}) {
        QDir(folder.path()).mkpath(QString::fromLatin1(sub));
        environment.insert(variable, folder.filePath(sub));
    }
    QFile::setPermissions(folder.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return environment;
}

void startFoldwise(QProcess &foldwise, const QTemporaryDir &folder, const QString &display, const QStringList &arguments,
                   QProcess::ProcessChannelMode channels = QProcess::ForwardedChannels)
{
    QProcessEnvironment environment = freshUser(folder);
    environment.insert("DISPLAY", display);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    foldwise.setProcessEnvironment(environment);
    foldwise.setProcessChannelMode(channels);
    foldwise.start(QStringLiteral(FOLDWISE_BINARY), arguments);
}

QString visibleWindow(const QString &display, const QString &name) { return shownWindows(display, {"--name", name}).value(0); }

// The window once it shows; empty when it has not within DesktopTimeout.
QString windowWhenShown(const QString &display, const QString &name) { return windowWhenShown(display, QStringList{"--name", name}); }

// A window shown that is none of those.
QString otherThan(const QStringList &known, const QStringList &shown)
{
    for (const QString &window : shown) {
        if (!known.contains(window))
            return window;
    }
    return {};
}

// Foldwise started with a two-page PDF of its own, "Handout.pdf": the document's window once it
// shows, empty when it does not.
QString startWithHandout(QProcess &foldwise, const QTemporaryDir &folder, const QString &display)
{
    const QString source = PdfFixture::write(folder.path(), "Handout.pdf", PdfFixture::pages(BookletExport::portraitPages(2)));
    startFoldwise(foldwise, folder, display, {source});
    return foldwise.waitForStarted() ? windowWhenShown(display, "Handout.pdf") : QString();
}

} // namespace

// Without files the program shows its welcome window; its Open button (which has the keyboard)
// asks for a file, and the chosen PDF opens in a document window.
TEST(ApplicationEndToEnd, TheWelcomeWindowOpensAPdf)
{
    const QString display = qEnvironmentVariable("FOLDWISE_TEST_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "FOLDWISE_TEST_DISPLAY is not set: no X display for the real window";

    QTemporaryDir folder;
    const QString source = PdfFixture::write(folder.path(), "Handout.pdf", PdfFixture::pages(BookletExport::portraitPages(2)));
    QProcess foldwise;
    startFoldwise(foldwise, folder, display, {});
    ASSERT_TRUE(foldwise.waitForStarted());

    const QString welcome = windowWhenShown(display, "Welcome to Foldwise");
    ASSERT_FALSE(welcome.isEmpty()) << "no welcome window";
    const QString panel = pressUntilShown(display, welcome, "space", [&] { return otherThan({welcome}, shownWindows(display, {"--name", "."})); });
    EXPECT_FALSE(panel.isEmpty()) << "Open showed no panel";
    if (!panel.isEmpty()) {
        xdotool(display, {"windowactivate", "--sync", panel, "key", "--clearmodifiers", "ctrl+a"});
        xdotool(display, {"type", "--delay", "5", source});
        xdotool(display, {"key", "Return"});
        EXPECT_TRUE(waitUntil([&] { return !visibleWindow(display, "Handout.pdf").isEmpty(); })) << "no document window";
    }
    EXPECT_EQ(foldwise.state(), QProcess::Running);

    foldwise.terminate();
    if (!foldwise.waitForFinished(5000))
        foldwise.kill();
}

// The real program in a real window on the private X display that scripts/test starts: open a
// PDF, choose A3 in Page Setup, export the booklet through the window's Export command and its save
// dialog, read it back.
TEST(ApplicationEndToEnd, OpensAPdfInAWindowAndExportsItsBooklet)
{
    const QString display = qEnvironmentVariable("FOLDWISE_TEST_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "FOLDWISE_TEST_DISPLAY is not set: no X display for the real window";

    QTemporaryDir folder;
    const QString source = PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(BookletExport::portraitPages(6)));
    const QString exported = folder.filePath("Exported.pdf");
    QProcess foldwise;
    startFoldwise(foldwise, folder, display, {source});
    ASSERT_TRUE(foldwise.waitForStarted());

    const QString window = windowWhenShown(display, "Leaflet.pdf");
    EXPECT_FALSE(window.isEmpty()) << "no window titled with the document's name";

    // The help popover that opens by itself on these small pages must not hold the keyboard.
    const auto openDialog = [&](const QString &keys) {
        const QString dialog = pressUntilShown(display, window, keys, [&] {
            for (const QString &candidate : shownWindows(display, {"--name", "."})) {
                if (candidate != window && !xdotool(display, {"getwindowname", candidate}).contains("Leaflet.pdf"))
                    return candidate;
            }
            return QString();
        });
        if (!dialog.isEmpty())
            xdotool(display, {"windowactivate", "--sync", dialog});
        return dialog;
    };
    const auto dialogGone = [&](const QString &dialog) {
        return waitUntil([&] { return !shownWindows(display, {"--name", "."}).contains(dialog); });
    };

    if (!window.isEmpty()) {
        // Page Setup opens on its paper sizes: A3 by typing from the top of the list (from A4 on,
        // "A3" would find A3 Extra first), kept landscape.
        const QString pageSetup = openDialog("ctrl+shift+p");
        EXPECT_FALSE(pageSetup.isEmpty()) << "the Page Setup command showed no dialog";
        if (!pageSetup.isEmpty()) {
            xdotool(display, {"key", "Home"});
            xdotool(display, {"type", "--delay", "50", "A3"});
            xdotool(display, {"key", "Return"});
            EXPECT_TRUE(dialogGone(pageSetup)) << "the page setup dialog stayed";
        }
        const QString dialog = openDialog("ctrl+e");
        EXPECT_FALSE(dialog.isEmpty()) << "the Export command showed no save dialog";
        if (!dialog.isEmpty()) {
            xdotool(display, {"key", "--clearmodifiers", "ctrl+a"});
            xdotool(display, {"type", "--delay", "5", exported});
            xdotool(display, {"key", "Return"});
            EXPECT_TRUE(waitUntil([&] { return QFileInfo(exported).size() > 0; })) << "nothing was exported";
        }
    }

    foldwise.terminate();
    if (!foldwise.waitForFinished(5000))
        foldwise.kill();

    QFile file(exported);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_EQ(BookletExport::halves(pdf), "(-|1) (2|-) (6|3) (4|5)");
    const std::unique_ptr<Poppler::Document> read = Poppler::Document::loadFromData(pdf);
    ASSERT_TRUE(read && read->numPages() > 0);
    EXPECT_EQ(read->page(0)->pageSizeF().toSize(), QSize(1191, 842)) << "A3 landscape";
}

// Three files on the command line go to the batch factory when the user says so, and its Export
// All writes a booklet for each into the folder chosen in its dialog.
TEST(ApplicationEndToEnd, SeveralFilesGoToTheBatchFactoryWhichExportsThemAll)
{
    const QString display = qEnvironmentVariable("FOLDWISE_TEST_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "FOLDWISE_TEST_DISPLAY is not set: no X display for the real window";
    QTemporaryDir folder;
    QStringList files;
    for (const char *name : {"a.pdf", "b.pdf", "c.pdf"})
        files << PdfFixture::write(folder.path(), name, PdfFixture::pages(BookletExport::portraitPages(6)));
    QDir(folder.path()).mkpath("out");
    QProcess foldwise;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    for (const auto &[variable, sub] : {std::pair{"HOME", "home"}, {"XDG_CONFIG_HOME", "config"}, {"XDG_RUNTIME_DIR", "runtime"}}) {
        QDir(folder.path()).mkpath(QString::fromLatin1(sub));
        environment.insert(variable, folder.filePath(sub));
    }
    QFile::setPermissions(folder.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    foldwise.setProcessEnvironment(environment);
    foldwise.setProcessChannelMode(QProcess::MergedChannels);
    foldwise.start(QStringLiteral(FOLDWISE_BINARY), files);
    ASSERT_TRUE(foldwise.waitForStarted());
    QByteArray output;
    // The windows shown, the newest last.
    const auto visible = [&](const QString &name) {
        foldwise.waitForReadyRead(10);
        output += foldwise.readAll();
        return shownWindows(display, {name.isEmpty() ? "--class" : "--name", name.isEmpty() ? "foldwise" : name});
    };
    // The question about several files: its first button puts them in the factory.
    EXPECT_TRUE(waitUntil([&] { return !visible({}).isEmpty(); }));
    const QString factory = pressUntilShown(display, visible({}).value(visible({}).size() - 1), "Return",
                                            [&] { return visible("Batch Factory").value(0); });
    ASSERT_FALSE(factory.isEmpty()) << "no factory window";
    for (const char *name : {"a", "b", "c"})
        EXPECT_TRUE(waitUntil([&] {
            visible({});
            return output.contains(QByteArray("Info: Added \"") + name + "\" to the batch factory");
        })) << "a row for " << name;

    const QStringList before = visible({});
    const QString dialog = pressUntilShown(display, factory, "ctrl+e", [&] { return otherThan(before, visible({})); });
    ASSERT_FALSE(dialog.isEmpty()) << "Export All showed no folder dialog";
    xdotool(display, {"windowactivate", "--sync", dialog, "key", "--clearmodifiers", "ctrl+a"});
    xdotool(display, {"type", "--delay", "5", folder.filePath("out")});
    xdotool(display, {"key", "Return"});
    for (const char *name : {"a", "b", "c"}) {
        const QString booklet = folder.filePath(QStringLiteral("out/%1 - Booklet.pdf").arg(name));
        EXPECT_TRUE(waitUntil([&] { return QFileInfo(booklet).size() > 0; })) << name;
        EXPECT_EQ(BookletExport::halves(PdfFixture::read(booklet)), "(-|1) (2|-) (6|3) (4|5)") << name;
    }
    foldwise.terminate();
    if (!foldwise.waitForFinished(5000))
        foldwise.kill();
}

// The program's standard error is its log: given a picture of more pixels than Qt decodes, with
// every debug message of Qt's asked for, each line it writes begins with its level word, Qt's own
// too, and the picture is named in one error line.
TEST(ApplicationEndToEnd, EveryLineOnStandardErrorIsALogLineWithItsLevelWord)
{
    QTemporaryDir folder;
    const QString poster = folder.filePath("Poster.png");
    QFile picture(poster);
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly) && picture.write(PictureFixture::plainPng({12000, 12000}, Qt::white)) > 0);
    picture.close();
    QProcess foldwise;
    QProcessEnvironment environment = freshUser(folder);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("QT_LOGGING_RULES", "qt.*=true");
    foldwise.setProcessEnvironment(environment);
    foldwise.start(QStringLiteral(FOLDWISE_BINARY), {poster});
    QByteArray written;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (written += foldwise.readAllStandardError()).contains(poster.toUtf8()); }, DesktopTimeout));
    foldwise.kill();
    foldwise.waitForFinished(5000);
    written += foldwise.readAllStandardError();
    const QStringList lines = QString::fromUtf8(written).split('\n', Qt::SkipEmptyParts);
    EXPECT_FALSE(lines.isEmpty());
    for (const QString &line : lines)
        EXPECT_TRUE(line.startsWith("Info: ") || line.startsWith("Warning: ") || line.startsWith("Error: ")) << line.toStdString();
    const QStringList named = lines.filter(poster);
    ASSERT_EQ(named.size(), 1) << written.toStdString();
    EXPECT_TRUE(named.first().startsWith("Error: ")) << named.first().toStdString();
}

// The export tool's options are its own, also those that Qt would take for itself (-reverse).
TEST(ApplicationEndToEnd, TheExportToolReversesThePagesWhenAsked)
{
    QTemporaryDir folder;
    const QString source = PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(BookletExport::portraitPages(6)));
    const QString exported = folder.filePath("Exported.pdf");
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedChannels);
    tool.start(QStringLiteral(FOLDWISE_BOOKLET_EXPORT), {source, exported, "--reverse"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0);
    // Six pages reversed and padded: E E 6 5 4 3 2 1 (unreversed: "(-|1) (2|-) (6|3) (4|5)").
    EXPECT_EQ(BookletExport::halves(PdfFixture::read(exported)).toStdString(), "(1|-) (-|2) (3|6) (5|4)");
}

// The frame builder from the menu's shortcut: a new frame, named as it is made, is in the user
// frame file once the builder closes.
TEST(ApplicationEndToEnd, TheFrameBuilderSavesANewFrame)
{
    const QString display = qEnvironmentVariable("FOLDWISE_TEST_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "FOLDWISE_TEST_DISPLAY is not set: no X display for the real window";

    QTemporaryDir folder;
    const QString source = PdfFixture::write(folder.path(), "Album.pdf", PdfFixture::pages(BookletExport::portraitPages(2)));
    QProcess foldwise;
    startFoldwise(foldwise, folder, display, {source});
    ASSERT_TRUE(foldwise.waitForStarted());
    const QString window = windowWhenShown(display, "Album.pdf");
    ASSERT_FALSE(window.isEmpty());

    const QString builder = pressUntilShown(display, window, "ctrl+shift+b", [&] { return visibleWindow(display, "Frame Builder"); });
    ASSERT_FALSE(builder.isEmpty()) << "no frame builder";
    const QString frames = folder.filePath("data/Foldwise/Foldwise/UserFrames.plist");
    // The key is the New button's shortcut, which shows the button pressed for 100 ms before it
    // clicks it (Qt's animated click) and the new frame's name opens for editing: the program has
    // taken the key, that moment has passed, and the program has been through its events since.
    xdotool(display, {"windowactivate", "--sync", builder, "key", "--clearmodifiers", "ctrl+shift+n"});
    ASSERT_TRUE(programHandledEvents(display, builder));
    QTest::qWait(100);
    ASSERT_TRUE(programHandledEvents(display, builder));
    xdotool(display, {"type", "--delay", "5", "Holiday"});
    xdotool(display, {"key", "Return"});
    xdotool(display, {"key", "--clearmodifiers", "ctrl+w"});
    EXPECT_TRUE(waitUntil([&] { return QFileInfo(frames).size() > 0 && QFile(frames).open(QIODevice::ReadOnly); }));
    QFile file(frames);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << frames.toStdString();
    EXPECT_TRUE(file.readAll().contains("<string>Holiday</string>"));

    foldwise.terminate();
    if (!foldwise.waitForFinished(5000))
        foldwise.kill();
}

// The top-level windows of the display, frontmost first, as xdotool's decimal ids. Under a window
// manager the children of the root are its frames, so its own list of client windows is read.
QStringList stackingOrder(const QString &display)
{
    const auto run = [&](const QString &program, const QStringList &arguments) {
        QProcess process;
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DISPLAY"), display);
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        process.waitForFinished(DesktopTimeout);
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    QStringList ids;
    const QString managed = run(QStringLiteral("/usr/bin/xprop"), {"-root", "_NET_CLIENT_LIST_STACKING"});
    if (managed.contains('#')) {
        for (const QString &id : managed.section('#', 1).split(',', Qt::SkipEmptyParts))
            ids.prepend(QString::number(id.trimmed().toULongLong(nullptr, 16)));
        return ids;
    }
    for (const QString &line : run(QStringLiteral("/usr/bin/xwininfo"), {"-root", "-children"}).split('\n')) {
        const QString id = line.trimmed().section(' ', 0, 0);
        if (id.startsWith("0x"))
            ids << QString::number(id.toULongLong(nullptr, 16));
    }
    return ids;
}

// Starting Foldwise again without files, while another program's window is in front, brings the
// running Foldwise's window to the front; the second start ends at once.
TEST(ApplicationEndToEnd, StartingItAgainBringsTheRunningOneToTheFront)
{
    const QString display = qEnvironmentVariable("FOLDWISE_TEST_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "FOLDWISE_TEST_DISPLAY is not set: no X display for the real window";

    QTemporaryDir folder;
    QProcess foldwise;
    const QString document = startWithHandout(foldwise, folder, display);
    ASSERT_FALSE(document.isEmpty()) << "no document window";

    QProcess other;
    QProcessEnvironment environment;
    environment.insert("DISPLAY", display);
    other.setProcessEnvironment(environment);
    other.start("/usr/bin/xmessage", {"-name", "Elsewhere", "Another program"});
    const QString elsewhere = windowWhenShown(display, "Elsewhere");
    ASSERT_FALSE(elsewhere.isEmpty());
    // A window manager raises what it activates; a bare display only raises.
    xdotool(display, {"windowactivate", elsewhere});
    xdotool(display, {"windowraise", elsewhere});
    const auto inFront = [&](const QString &window, const QString &behind) {
        const QStringList order = stackingOrder(display);
        return order.contains(window) && order.indexOf(window) < order.indexOf(behind);
    };
    ASSERT_TRUE(waitUntil([&] { return inFront(elsewhere, document); }));

    QProcess again;
    startFoldwise(again, folder, display, {});
    EXPECT_TRUE(again.waitForFinished(DesktopTimeout));
    EXPECT_EQ(again.exitCode(), 0);
    EXPECT_TRUE(waitUntil([&] { return inFront(document, elsewhere); })) << "the document window is in front again";
    EXPECT_EQ(foldwise.state(), QProcess::Running);

    other.kill();
    other.waitForFinished(5000);
    foldwise.terminate();
    if (!foldwise.waitForFinished(5000))
        foldwise.kill();
}

// Adding the Foldwise printer from the command line while Foldwise runs asks the running Foldwise,
// on its own window; the second start ends at once and shows no window of its own.
TEST(ApplicationEndToEnd, AddingThePrinterWhileFoldwiseRunsAsksTheRunningOne)
{
    const QString display = qEnvironmentVariable("FOLDWISE_TEST_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "FOLDWISE_TEST_DISPLAY is not set: no X display for the real window";

    QTemporaryDir folder;
    QProcess foldwise;
    const QString document = startWithHandout(foldwise, folder, display);
    ASSERT_FALSE(document.isEmpty()) << "no document window";
    // Alerts have no title to find them by: the windows each Foldwise shows.
    const auto shownBy = [&](qint64 pid) { return shownWindows(display, {"--pid", QString::number(pid)}); };
    const QStringList before = shownBy(foldwise.processId());

    QProcess again;
    startFoldwise(again, folder, display, {"--add-pdf-service"});
    ASSERT_TRUE(again.waitForStarted());
    const qint64 second = again.processId();
    QStringList secondShows;
    const bool ended = waitUntil([&] { return !(secondShows = shownBy(second)).isEmpty() || again.waitForFinished(100); })
        && secondShows.isEmpty();
    EXPECT_EQ(secondShows, QStringList()) << "the second start shows windows of its own";
    EXPECT_TRUE(ended) << "the second start stays";
    EXPECT_EQ(again.exitCode(), 0);
    EXPECT_TRUE(waitUntil([&] { return shownBy(foldwise.processId()).size() > before.size(); })) << "the running Foldwise asks nothing";
    EXPECT_EQ(visibleWindow(display, "Welcome to Foldwise"), QString()) << "no welcome window";

    if (again.state() != QProcess::NotRunning)
        again.kill();
    again.waitForFinished(5000);
    foldwise.terminate();
    if (!foldwise.waitForFinished(5000))
        foldwise.kill();
}

// A page that holds poppler inside one drawing operation for seconds, where no abort check
// reaches, is being drawn when the user quits with Ctrl+Q: the window goes and the process ends
// within a few seconds rather than waiting for the page, and says that it did not wait.
TEST(ApplicationEndToEnd, QuittingWhileAPageIsBeingDrawnEndsTheProcess)
{
    const QString display = qEnvironmentVariable("FOLDWISE_TEST_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "FOLDWISE_TEST_DISPLAY is not set: no X display for the real window";
    QTemporaryDir folder;
    const QString source = PdfFixture::write(folder.path(), "Stuck.pdf", HostilePdf::unstoppable());
    QProcess foldwise;
    startFoldwise(foldwise, folder, display, {source}, QProcess::MergedChannels);
    ASSERT_TRUE(foldwise.waitForStarted());
    const QString window = windowWhenShown(display, "Stuck.pdf");
    ASSERT_FALSE(window.isEmpty()) << "no document window";

    xdotool(display, {"windowactivate", "--sync", window, "key", "--clearmodifiers", "ctrl+q"});
    EXPECT_TRUE(waitUntil([&] { return visibleWindow(display, "Stuck.pdf").isEmpty(); })) << "the window stayed";
    const bool ended = foldwise.waitForFinished(5000);
    const QString output = QString::fromUtf8(foldwise.readAll());
    if (!ended) {
        foldwise.kill();
        foldwise.waitForFinished();
    }
    EXPECT_TRUE(ended) << "the process was still running five seconds after its window went";
    EXPECT_EQ(foldwise.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(foldwise.exitCode(), 0);
    EXPECT_TRUE(output.contains("Warning: A page was still being drawn 1.5 seconds after Foldwise was asked to quit; "
                                "Foldwise ends without waiting for it"))
        << output.toStdString();
}
