#pragma once

#include "RQS-Kit/Controls/QSNoteController.h"

#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>

// The note that asks the user to rate the application in its store. It counts the application's
// starts in the user defaults and comes on the fifth counted start and every later one, until the
// user rates or declines for good; holding Alt at a start clears both answers and asks at once.
// User defaults: "rate.neverAsk" (false), "rate.timesStarted" (0), "rate.ratedVersion" (the
// version rated; any non-empty value ends the prompts). Texts come from the strings table
// "RQS-Localizable" and the main bundle's "RateUs.html", whose first "our App" becomes the
// application's name. Main thread only.
class QSRateUsController : public QSNoteController
{
    Q_OBJECT
    // The store page as text, for interface files.
    Q_PROPERTY(QString appUrlString READ appUrlString WRITE setAppUrlString)
public:
    explicit QSRateUsController(QObject *parent = nullptr);

    // Made on first use; the application owns it.
    static QSRateUsController *sharedController();
    // The defaults above, registered once.
    static void registerDefaults();
    // Records the current version as rated.
    static void userDidRate();
    // Counts this start and shows the prompt on the key window when it is due.
    static void verifyRateUs(const QUrl &storeUrl);
    // Whether verifyRateUs has run in this process.
    static bool rateDecisionHasRun();
    // How long the prompt waits while there is no key window or it shows a sheet (2 s).
    static std::chrono::milliseconds retryInterval();
    static void setRetryInterval(std::chrono::milliseconds interval);

    // Made by an interface file: the shared prompt when there is none yet, and the decision with
    // its store page on a later turn, unless one has run in this process.
    Q_INVOKABLE void awakeFromNib();
    void windowDidLoad() override;
    // Shows the prompt at 0.7 of the key window's width, or tries again after the retry interval.
    // A window that does not load ends the tries with an error.
    void showDelayed();
    // "Never Ask" declines for good, "Rate Now" opens the store page, "Ask Later" starts the count
    // again; then the note closes.
    void buttonPressed(QObject *button) override;
    // Records the current version as rated and opens the store page.
    Q_INVOKABLE void openAppStore(QObject *sender);

    QUrl appURL() const;
    void setAppURL(const QUrl &url);
    QString appUrlString() const;
    void setAppUrlString(const QString &url);
    // The stored name, else the main bundle's "CFBundleName".
    QString appName() const;
    void setAppName(const QString &name);

private:
    QUrl m_appURL;
    QString m_appName;
    QTimer m_retry;
};
