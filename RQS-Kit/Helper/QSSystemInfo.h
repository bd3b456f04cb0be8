#pragma once

#include <QString>
#include <QUrl>

// The application's name and versions, the machine's model, and the feedback mail that carries them.
class QSSystemInfo
{
public:
    static QString appName();
    // The main bundle's "CFBundleShortVersionString".
    static QString appVersion();
    // The main bundle's "CFBundleVersion", the build number.
    static QString shortAppVersion();
    // "2.1 (77)": appVersion and, in parentheses, shortAppVersion.
    static QString fullAppVersion();
    // The machine's product name from the firmware tables, else the processor architecture.
    static QString modelIdentifier();

    // Name, version, OS version, device, processors and memory, one per line, ending in an empty line.
    static QString systemReport();
    // "mailto:" address "?SUBJECT=" subject "&BODY=" body, each part percent-encoded.
    static QUrl feedbackMailUrl(const QString &address, const QString &subject, const QString &body);

    // Opens a mail to address in the user's mail program, with the system report after the body.
    static bool sendFeedbackTo(const QString &address);
    static bool sendFeedbackTo(const QString &address, const QString &subject, const QString &body);

    QSSystemInfo() = delete;
};
