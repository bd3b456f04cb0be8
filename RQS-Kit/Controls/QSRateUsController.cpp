#include "RQS-Kit/Controls/QSRateUsController.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Helper/QSSystemInfo.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/UserDefaults.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QPointer>
#include <QTextCursor>

#include <algorithm>
#include <limits>

namespace {

const QString neverAskKey = QStringLiteral("rate.neverAsk");
const QString timesStartedKey = QStringLiteral("rate.timesStarted");
const QString ratedVersionKey = QStringLiteral("rate.ratedVersion");

std::chrono::milliseconds &retryIntervalValue()
{
    static std::chrono::milliseconds interval(2000);
    return interval;
}

const QString kitTable = QStringLiteral("RQS-Localizable");

// Each process decides at most once whether to ask.
bool rateDecisionRan = false;

QPointer<QSRateUsController> &sharedInstance()
{
    static QPointer<QSRateUsController> shared;
    return shared;
}

platform::UserDefaults *defaults() { return platform::UserDefaults::standardUserDefaults(); }

} // namespace

QSRateUsController::QSRateUsController(QObject *parent)
    : QSNoteController(parent)
{
    registerDefaults();
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &QSRateUsController::showDelayed);
}

QSRateUsController *QSRateUsController::sharedController()
{
    QPointer<QSRateUsController> &shared = sharedInstance();
    if (!shared)
        shared = new QSRateUsController(QCoreApplication::instance());
    return shared;
}

void QSRateUsController::awakeFromNib()
{
    if (!sharedInstance())
        sharedInstance() = this;
    const QPointer<QSRateUsController> self(this);
    platform::MainQueue::post([self] {
        if (self && !rateDecisionRan)
            verifyRateUs(self->appURL());
    });
}

void QSRateUsController::registerDefaults()
{
    static const bool registered = [] {
        defaults()->registerDefaults({{neverAskKey, false}, {timesStartedKey, 0}});
        return true;
    }();
    (void)registered;
}

void QSRateUsController::userDidRate() { defaults()->setObject(QSSystemInfo::appVersion(), ratedVersionKey); }

bool QSRateUsController::rateDecisionHasRun() { return rateDecisionRan; }

void QSRateUsController::verifyRateUs(const QUrl &storeUrl)
{
    rateDecisionRan = true;
    registerDefaults();
    QString ratedVersion = defaults()->stringForKey(ratedVersionKey);
    const bool askNow = QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier;
    if (askNow) {
        defaults()->setBool(false, neverAskKey);
        defaults()->setObject(QString(), ratedVersionKey);
        ratedVersion.clear();
    } else if (defaults()->boolForKey(neverAskKey)) {
        return;
    }
    if (!ratedVersion.isEmpty())
        return;
    // A count stored beyond all range neither wraps nor holds the prompt back for ever.
    const qint64 started = std::max<qint64>(defaults()->integerForKey(timesStartedKey), 0);
    defaults()->setInteger(started < std::numeric_limits<qint64>::max() ? started + 1 : started, timesStartedKey);
    if (started < 4 && !askNow)
        return;
    QSRateUsController *prompt = sharedController();
    prompt->setAppURL(storeUrl);
    prompt->showDelayed();
}

std::chrono::milliseconds QSRateUsController::retryInterval() { return retryIntervalValue(); }

void QSRateUsController::setRetryInterval(std::chrono::milliseconds interval) { retryIntervalValue() = interval; }

void QSRateUsController::windowDidLoad()
{
    QSNoteController::windowDidLoad();
    if (titleTF())
        titleTF()->setText(rqs::localizedForTable(QStringLiteral("Spread the word!"), kitTable));
    if (cancelButton())
        cancelButton()->setTitle(rqs::localizedForTable(QStringLiteral("Ask Later"), kitTable));
    if (otherButton())
        otherButton()->setTitle(rqs::localizedForTable(QStringLiteral("Never Ask"), kitTable));
    if (approveButton())
        approveButton()->setTitle(rqs::localizedForTable(QStringLiteral("Rate Now"), kitTable));
    if (textView()) {
        const QString path = platform::Bundle::mainBundle()->pathForResource(QStringLiteral("RateUs"), QStringLiteral("html"));
        QString reason;
        if (const std::optional<QByteArray> text = platform::RegularFile::read(path, platform::RegularFile::MaxWholeBytes, &reason))
            textView()->setHtml(QString::fromUtf8(*text));
        else
            platform::logWarning(QStringLiteral("The rate-us text RateUs.html could not be read: %1").arg(reason));
        QTextCursor placeholder = textView()->document()->find(rqs::localizedForTable(QStringLiteral("our App"), kitTable));
        if (!placeholder.isNull())
            placeholder.insertText(appName());
    }
    adjustWindowSize();
}

void QSRateUsController::showDelayed()
{
    m_retry.stop();
    platform::Window *key = platform::Window::keyWindow();
    if (key && key->sheets().isEmpty()) {
        if (!window()) {
            platform::logError(QStringLiteral("The rate-us prompt has no window to show"));
            return;
        }
        attachToWindow(key, 0.7);
        return;
    }
    m_retry.start(retryIntervalValue());
}

void QSRateUsController::buttonPressed(QObject *button)
{
    if (button && button == otherButton()) {
        defaults()->setBool(true, neverAskKey);
        defaults()->setObject(QSSystemInfo::appVersion(), ratedVersionKey);
    } else if (button && button == approveButton()) {
        openAppStore(button);
    } else if (button && button == cancelButton()) {
        defaults()->setInteger(0, timesStartedKey);
        defaults()->setBool(false, neverAskKey);
    }
    QSNoteController::buttonPressed(button);
}

void QSRateUsController::openAppStore(QObject *)
{
    defaults()->setObject(QSSystemInfo::appVersion(), ratedVersionKey);
    if (!QDesktopServices::openUrl(m_appURL))
        platform::logWarning(QStringLiteral("The store page %1 could not be opened").arg(m_appURL.toString()));
    defaults()->setBool(false, neverAskKey);
}

QUrl QSRateUsController::appURL() const { return m_appURL; }

void QSRateUsController::setAppURL(const QUrl &url) { m_appURL = url; }

QString QSRateUsController::appUrlString() const { return m_appURL.toString(); }

void QSRateUsController::setAppUrlString(const QString &url) { m_appURL = QUrl(url); }

QString QSRateUsController::appName() const
{
    if (!m_appName.isEmpty())
        return m_appName;
    return platform::Bundle::mainBundle()->objectForInfoDictionaryKey(QStringLiteral("CFBundleName")).toString();
}

void QSRateUsController::setAppName(const QString &name) { m_appName = name; }
