#include "support/Xdotool.h"

#include <QProcess>
#include <QProcessEnvironment>

QString xdotool(const QString &display, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DISPLAY"), display);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("/usr/bin/xdotool"), arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}
