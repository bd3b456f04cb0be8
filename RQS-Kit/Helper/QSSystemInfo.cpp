#include "RQS-Kit/Helper/QSSystemInfo.h"

#include "RQS-Kit/Foundation/ProcessInfoExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"

#include <QDesktopServices>
#include <QFile>
#include <QSysInfo>
#include <QThread>

#include <sys/utsname.h>
#include <unistd.h>

namespace {

QString infoValue(const QString &key)
{
    return platform::Bundle::mainBundle()->objectForInfoDictionaryKey(key).toString();
}

QString firmwareValue(const QString &name)
{
    QFile file(QStringLiteral("/sys/class/dmi/id/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

QString operatingSystemVersion()
{
    return QStringLiteral("%1 (%2 %3)").arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion());
}

quint64 physicalMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && pageSize > 0 ? quint64(pages) * quint64(pageSize) : 0;
}

// "&", "=", "?", "#" and "+" are encoded too: left as they are, they would split or end the query.
QString percentEncoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, QByteArrayLiteral("!$'()*,;:@/")));
}

} // namespace

QString QSSystemInfo::appName() { return rqs::appName(); }

QString QSSystemInfo::appVersion() { return infoValue(QStringLiteral("CFBundleShortVersionString")); }

QString QSSystemInfo::shortAppVersion() { return infoValue(QStringLiteral("CFBundleVersion")); }

QString QSSystemInfo::fullAppVersion() { return QStringLiteral("%1 (%2)").arg(appVersion(), shortAppVersion()); }

QString QSSystemInfo::modelIdentifier()
{
    for (const QString &name : {QStringLiteral("product_name"), QStringLiteral("board_name")}) {
        const QString value = firmwareValue(name);
        if (!value.isEmpty())
            return value;
    }
    utsname system{};
    if (uname(&system) != 0)
        return {};
    return QString::fromUtf8(system.machine);
}

QString QSSystemInfo::systemReport()
{
    // Numbers through QString::number: whole, without separators, whatever the locale.
    return QStringLiteral("%1 %2\nOS Version: %3\nDevice: %4\nProcessors: %5\nTotal RAM: %6\n%7\n")
        .arg(appName(), appVersion(), operatingSystemVersion(), modelIdentifier(),
             QString::number(QThread::idealThreadCount()), QString::number(physicalMemory()), QString());
}

QUrl QSSystemInfo::feedbackMailUrl(const QString &address, const QString &subject, const QString &body)
{
    return QUrl(QStringLiteral("mailto:%1?SUBJECT=%2&BODY=%3")
                    .arg(percentEncoded(address), percentEncoded(subject), percentEncoded(body)),
                QUrl::StrictMode);
}

bool QSSystemInfo::sendFeedbackTo(const QString &address)
{
    return sendFeedbackTo(address, QStringLiteral("%1 %2 Feedback").arg(appName(), fullAppVersion()),
                          QStringLiteral("We are constantly improving our products. Your feedback is precious. Help us improve."));
}

bool QSSystemInfo::sendFeedbackTo(const QString &address, const QString &subject, const QString &body)
{
    const QUrl url = feedbackMailUrl(address, subject, QStringLiteral("%1\n\n%2").arg(body, systemReport()));
    if (QDesktopServices::openUrl(url))
        return true;
    platform::logWarning(QStringLiteral("Could not open the feedback mail to %1").arg(address));
    return false;
}
