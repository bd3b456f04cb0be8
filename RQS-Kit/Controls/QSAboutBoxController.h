#pragma once

#include "RQS-Kit/Controls/QSFadeoutMaskLayer.h"
#include "RQS-Kit/Foundation/QSWindowController.h"

#include <QLabel>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

// The shared about box: credits, the version, the maker's pages and two feedback mails. Every
// address and text has a default made from the application's and the maker's names, which a
// client may replace before use. Main thread only.
class QSAboutBoxController : public QSWindowController
{
    Q_OBJECT
    Q_PROPERTY(QTextBrowser *textView READ textView WRITE setTextView)
    Q_PROPERTY(QWidget *textScrollView READ textScrollView WRITE setTextScrollView)
    Q_PROPERTY(QLabel *versionTF READ versionTF WRITE setVersionTF)
public:
    explicit QSAboutBoxController(QObject *parent = nullptr);
    static QSAboutBoxController *sharedAboutBox();

    // Credits from the main bundle's "AboutBoxText.html" (none is no error) and the version line;
    // the credits fade out over 30 points at the top and bottom edges of their scroll view.
    void windowDidLoad() override;
    // The fade follows the scroll view's size.
    void scrollFrameChanged();
    // Drops window and text, so that the next showing loads them again.
    void windowDidClose() override;

    Q_INVOKABLE void openRQSWebsite(QObject *sender);
    Q_INVOKABLE void openAppWebsite(QObject *sender);
    Q_INVOKABLE void openFacebook(QObject *sender);
    Q_INVOKABLE void openTwitter(QObject *sender);
    Q_INVOKABLE void sendBugreport(QObject *sender);
    Q_INVOKABLE void sendFeatureRequest(QObject *sender);
    // The mail that sendFeatureRequest opens.
    QUrl featureRequestUrl() const;

    QString appName() const;
    void setAppName(const QString &name);
    QString companyLink() const;
    void setCompanyLink(const QString &link);
    QString appLink() const;
    void setAppLink(const QString &link);
    QString facebookLink() const;
    void setFacebookLink(const QString &link);
    QString twitterLink() const;
    void setTwitterLink(const QString &link);
    QString bugMail() const;
    void setBugMail(const QString &mail);
    QString requestMail() const;
    void setRequestMail(const QString &mail);
    QString bugSubject() const;
    void setBugSubject(const QString &subject);
    QString bugBody() const;
    void setBugBody(const QString &body);
    QString requestSubject() const;
    void setRequestSubject(const QString &subject);
    QString requestBody() const;
    void setRequestBody(const QString &body);

    QTextBrowser *textView() const;
    void setTextView(QTextBrowser *view);
    // Carries the fade; the credits' view lies inside it.
    QWidget *textScrollView() const;
    void setTextScrollView(QWidget *view);
    QSFadeoutMaskLayer *fadeMask() const;
    QLabel *versionTF() const;
    void setVersionTF(QLabel *field);

private:
    static bool open(const QString &address);

    QPointer<QTextBrowser> m_textView;
    bool eventFilter(QObject *watched, QEvent *event) override;

    QPointer<QWidget> m_textScrollView;
    QPointer<QSFadeoutMaskLayer> m_fadeMask;
    QPointer<QLabel> m_versionTF;
    QString m_appName, m_companyLink, m_appLink, m_facebookLink, m_twitterLink;
    QString m_bugMail, m_requestMail, m_bugSubject, m_bugBody, m_requestSubject, m_requestBody;
};
