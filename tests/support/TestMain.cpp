#include "platform/foundation/UserDefaults.h"
#include "platform/pdf/PdfDrawingLimit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

// Each case starts as in a process of its own: nothing saved in the user defaults and no window
// shown, so that the whole suite passes in one process as it does case by case. Windows released
// with deleteLater go at the event loop's next turn, and between two cases there is none; shared
// panels and controllers' windows outlive the case that opened them.
class FreshProcessState : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override
    {
        platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
        for (const QString &key : defaults->dictionaryRepresentation().keys())
            defaults->removeObjectForKey(key);
    }
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget *window : QApplication::topLevelWidgets())
            window->hide();
    }
};

QtMessageHandler qtHandler = nullptr;

// A painter's warning is a drawing that left the painter in a state it did not mean to: the case
// that caused it fails.
void failOnPainterWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QPainter::")))
        ADD_FAILURE() << message.toStdString();
    qtHandler(type, context, message);
}

} // namespace

// Every suite runs offscreen (but for the desktop cases) with its own home, config, data and temporary folders, so that no test
// reads or writes the real user's settings.
int main(int argc, char **argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    const QByteArray root = home.path().toUtf8();
    // A case that asks for the desktop runs on the private X display and its window manager, or is
    // skipped (see Desktop.h) when there is none.
    const QByteArray display = qgetenv("FOLDWISE_TEST_DISPLAY");
    const bool onDesktop = qgetenv("FOLDWISE_TEST_PLATFORM") == "xcb" && !display.isEmpty();
    qputenv("QT_QPA_PLATFORM", onDesktop ? "xcb" : "offscreen");
    if (onDesktop)
        qputenv("DISPLAY", display);
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("TMPDIR", root);
    qputenv("XDG_RUNTIME_DIR", root);
    if (qEnvironmentVariableIsEmpty("FOLDWISE_RESOURCES"))
        qputenv("FOLDWISE_RESOURCES", FOLDWISE_SOURCE_RESOURCES);
    if (qEnvironmentVariableIsEmpty("FOLDWISE_PLUGINS"))
        qputenv("FOLDWISE_PLUGINS", FOLDWISE_BUILT_PLUGINS);

    ::testing::InitGoogleTest(&argc, argv);
    qtHandler = qInstallMessageHandler(failOnPainterWarnings);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Foldwise"));
    QApplication::setOrganizationName(QStringLiteral("Foldwise"));
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProcessState);
    const int result = RUN_ALL_TESTS();
    // Written now, or the defaults' own exit would write them into a home folder already removed.
    platform::UserDefaults::standardUserDefaults()->synchronize();
    // A thread still drawing or letting go of what it drew with would have it torn down under it.
    if (!platform::PdfDrawingLimit::processMayTearDown())
        std::_Exit(result);
    return result;
}
