#include "RQS-Kit/Controls/QSAboutBoxController.h"

#include "RQS-Kit/Helper/QSSystemInfo.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RegularFile.h"
#include "platform/ui/ClearBackground.h"
#include "platform/ui/ViewEffects.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QTextDocument>
#include <QTextFrame>

namespace {

const QString maker = QStringLiteral("Marrowgate");
const double fadeLength = 30;

QString orDefault(const QString &value, const QString &fallback) { return value.isEmpty() ? fallback : value; }

} // namespace

QSAboutBoxController::QSAboutBoxController(QObject *parent)
    : QSWindowController(parent)
{
}

QSAboutBoxController *QSAboutBoxController::sharedAboutBox()
{
    static QSAboutBoxController *const shared = new QSAboutBoxController(QCoreApplication::instance());
    return shared;
}

void QSAboutBoxController::windowDidLoad()
{
    platform::ClearBackground::apply(window(), platform::ClearBackground::Fallback::Panel);
    if (m_textScrollView) {
        m_fadeMask = new QSFadeoutMaskLayer(m_textScrollView);
        m_fadeMask->setTopFadeout(fadeLength);
        m_fadeMask->setBottomFadeout(fadeLength);
        m_fadeMask->setAnchorPoint(QPointF(0, 0));
        scrollFrameChanged();
        m_textScrollView->installEventFilter(this);
        platform::setViewMask(m_textScrollView, m_fadeMask);
    }
    const platform::BundlePtr bundle = platform::Bundle::mainBundle();
    const QString creditsPath = bundle->pathForResource(QStringLiteral("AboutBoxText"), QStringLiteral("html"));
    QString reason;
    const std::optional<QByteArray> credits = platform::RegularFile::read(creditsPath, platform::RegularFile::MaxWholeBytes, &reason);
    if (!credits)
        platform::logWarning(QStringLiteral("The about box's credits %1 could not be read: %2").arg(creditsPath, reason));
    if (m_textView && credits) {
        m_textView->setHtml(QString::fromUtf8(*credits));
        // The first and last lines start clear of the fades; scrolled, the text passes through them.
        QTextFrame *root = m_textView->document()->rootFrame();
        QTextFrameFormat format = root->frameFormat();
        format.setTopMargin(fadeLength);
        format.setBottomMargin(fadeLength);
        root->setFrameFormat(format);
    }
    if (m_versionTF)
        m_versionTF->setText(QSSystemInfo::appVersion());
    window()->closeWithEscapeAndCtrlW();
}

void QSAboutBoxController::scrollFrameChanged()
{
    if (m_fadeMask && m_textScrollView)
        m_fadeMask->setFrame(QRectF(0, 0, m_textScrollView->width(), m_textScrollView->height()));
}

bool QSAboutBoxController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_textScrollView && event->type() == QEvent::Resize)
        scrollFrameChanged();
    return QSWindowController::eventFilter(watched, event);
}

void QSAboutBoxController::windowDidClose()
{
    QSWindowController::windowDidClose();
    setWindow(nullptr);
    m_textView = nullptr;
}

bool QSAboutBoxController::open(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (url.isValid() && QDesktopServices::openUrl(url))
        return true;
    platform::logWarning(QStringLiteral("Could not open %1").arg(address));
    return false;
}

void QSAboutBoxController::openRQSWebsite(QObject *) { open(companyLink()); }
void QSAboutBoxController::openAppWebsite(QObject *) { open(appLink()); }
void QSAboutBoxController::openFacebook(QObject *) { open(facebookLink()); }
void QSAboutBoxController::openTwitter(QObject *) { open(twitterLink()); }
void QSAboutBoxController::sendBugreport(QObject *) { QSSystemInfo::sendFeedbackTo(bugMail(), bugSubject(), bugBody()); }

// The feedback mail's encoding escapes "&", "=", "+" and "#", so a body holding them arrives whole.
QUrl QSAboutBoxController::featureRequestUrl() const { return QSSystemInfo::feedbackMailUrl(requestMail(), requestSubject(), requestBody()); }

void QSAboutBoxController::sendFeatureRequest(QObject *)
{
    if (!QDesktopServices::openUrl(featureRequestUrl()))
        platform::logWarning(QStringLiteral("Could not open the feature request mail to %1").arg(requestMail()));
}

QString QSAboutBoxController::appName() const
{
    return orDefault(m_appName, platform::Bundle::mainBundle()->objectForInfoDictionaryKey(QStringLiteral("CFBundleName"))
                                    .toString()
                                    .remove(QLatin1Char(' ')));
}

void QSAboutBoxController::setAppName(const QString &name) { m_appName = name; }
QString QSAboutBoxController::companyLink() const { return orDefault(m_companyLink, QStringLiteral("https://www.%1.com").arg(maker.toLower())); }
void QSAboutBoxController::setCompanyLink(const QString &link) { m_companyLink = link; }
QString QSAboutBoxController::appLink() const { return orDefault(m_appLink, companyLink() + QLatin1Char('/') + appName()); }
void QSAboutBoxController::setAppLink(const QString &link) { m_appLink = link; }
QString QSAboutBoxController::facebookLink() const { return orDefault(m_facebookLink, QStringLiteral("https://www.facebook.com/%1/").arg(maker)); }
void QSAboutBoxController::setFacebookLink(const QString &link) { m_facebookLink = link; }
QString QSAboutBoxController::twitterLink() const { return orDefault(m_twitterLink, QStringLiteral("https://twitter.com/%1").arg(maker.toLower())); }
void QSAboutBoxController::setTwitterLink(const QString &link) { m_twitterLink = link; }
QString QSAboutBoxController::bugMail() const { return orDefault(m_bugMail, QStringLiteral("bugs@%1.com").arg(maker.toLower())); }
void QSAboutBoxController::setBugMail(const QString &mail) { m_bugMail = mail; }
QString QSAboutBoxController::requestMail() const { return orDefault(m_requestMail, QStringLiteral("wishes@%1.com").arg(maker.toLower())); }
void QSAboutBoxController::setRequestMail(const QString &mail) { m_requestMail = mail; }
QString QSAboutBoxController::bugSubject() const { return orDefault(m_bugSubject, QStringLiteral("%1 had a hick up").arg(appName())); }
void QSAboutBoxController::setBugSubject(const QString &subject) { m_bugSubject = subject; }

QString QSAboutBoxController::bugBody() const
{
    return orDefault(m_bugBody, QStringLiteral("We are constantly improving our products, please help us make this app even better:\n\n"
                                               "Steps to reach the bug:\n\nReaction the app shows:\n\nReaction I expected:\n"));
}

void QSAboutBoxController::setBugBody(const QString &body) { m_bugBody = body; }
QString QSAboutBoxController::requestSubject() const { return orDefault(m_requestSubject, QStringLiteral("%1: Feature Request").arg(appName())); }
void QSAboutBoxController::setRequestSubject(const QString &subject) { m_requestSubject = subject; }
QString QSAboutBoxController::requestBody() const { return orDefault(m_requestBody, QStringLiteral("I wish %1 could:\n\n").arg(appName())); }
void QSAboutBoxController::setRequestBody(const QString &body) { m_requestBody = body; }
QTextBrowser *QSAboutBoxController::textView() const { return m_textView; }
void QSAboutBoxController::setTextView(QTextBrowser *view) { m_textView = view; }
QWidget *QSAboutBoxController::textScrollView() const { return m_textScrollView; }
void QSAboutBoxController::setTextScrollView(QWidget *view) { m_textScrollView = view; }
QSFadeoutMaskLayer *QSAboutBoxController::fadeMask() const { return m_fadeMask; }
QLabel *QSAboutBoxController::versionTF() const { return m_versionTF; }
void QSAboutBoxController::setVersionTF(QLabel *field) { m_versionTF = field; }
