#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>

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
    return RUN_ALL_TESTS();
}
