#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

// Windows and views released with deleteLater go at the event loop's next turn; between two cases
// there is none, so without this a window a case closed stays on screen under the next one's.
class DeferredDeletesBetweenCases : public ::testing::EmptyTestEventListener
{
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace

// Every suite runs offscreen with its own home, config, data and temporary folders, so that no test
// reads or writes the real user's settings.
int main(int argc, char **argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    const QByteArray root = home.path().toUtf8();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("TMPDIR", root);
    qputenv("XDG_RUNTIME_DIR", root);
    if (qEnvironmentVariableIsEmpty("FOLDWISE_RESOURCES"))
        qputenv("FOLDWISE_RESOURCES", FOLDWISE_SOURCE_RESOURCES);

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Foldwise"));
    QApplication::setOrganizationName(QStringLiteral("Foldwise"));
    ::testing::UnitTest::GetInstance()->listeners().Append(new DeferredDeletesBetweenCases);
    return RUN_ALL_TESTS();
}
