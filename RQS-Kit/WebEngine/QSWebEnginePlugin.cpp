#include "RQS-Kit/WebEngine/QSWebEnginePlugin.h"

#include <QBuffer>
#include <QOpenGLContext>
#include <QGuiApplication>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

QT_BEGIN_NAMESPACE
// Qt's setter of the OpenGL context that all others share, exported but in no public header; Qt
// WebEngine declares and uses it the same way.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE

namespace {

// Before the engine's first profile, once per process.
void prepareEngine(const QList<QByteArray> &names)
{
    static const bool prepared = [&names] {
        // Linked into a program, the engine has Qt make the OpenGL context that it shares as the
        // application starts; loaded later it finds none, and Qt WebEngine 6.4 then crashes as it
        // starts. It gets the same context here (unusable where there is no OpenGL, as when linked).
        if (!QOpenGLContext::globalShareContext()) {
            auto *shared = new QOpenGLContext(qApp);
            shared->setFormat(QSurfaceFormat::defaultFormat());
            shared->create();
            qt_gl_set_global_share_context(shared);
        }
        for (const QByteArray &name : names) {
            QWebEngineUrlScheme scheme(name);
            scheme.setSyntax(QWebEngineUrlScheme::Syntax::HostAndPort);
            scheme.setDefaultPort(name.endsWith("https") ? 443 : 80);
            scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
            QWebEngineUrlScheme::registerScheme(scheme);
        }
        return true;
    }();
    (void)prepared;
}

class RequestGate : public QWebEngineUrlRequestInterceptor
{
public:
    RequestGate(QSWebPageClient &client, QObject *parent)
        : QWebEngineUrlRequestInterceptor(parent)
        , m_client(client)
    {
    }
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (!m_client.acceptsRequest(info.requestUrl()))
            info.block(true);
    }

private:
    QSWebPageClient &m_client;
};

class SchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    SchemeHandler(QSWebPageClient &client, QObject *parent)
        : QWebEngineUrlSchemeHandler(parent)
        , m_client(client)
    {
    }
    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        // The client calls neither once the job is gone.
        m_client.serve(
            job->requestUrl(), job,
            [job](const QByteArray &type, const QByteArray &body) {
                auto *device = new QBuffer(job);
                device->setData(body);
                job->reply(type, device);
            },
            [job](bool refused) {
                job->fail(refused ? QWebEngineUrlRequestJob::RequestDenied : QWebEngineUrlRequestJob::RequestFailed);
            });
    }

private:
    QSWebPageClient &m_client;
};

// Puts every navigation to the client, a link meant for a new window as well (which then opens no
// window). A page's script shows no dialogs: nothing in a web page may stop the application with a
// modal alert.
class PolicyPage : public QWebEnginePage
{
public:
    PolicyPage(QWebEngineProfile *profile, QSWebPageClient &client, QObject *parent)
        : QWebEnginePage(profile, parent)
        , m_client(client)
    {
        connect(this, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest &request) { m_client.acceptsNavigation(request.requestedUrl(), true); });
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        return m_client.acceptsNavigation(url, isMainFrame);
    }
    void javaScriptAlert(const QUrl &, const QString &) override {}
    bool javaScriptConfirm(const QUrl &, const QString &) override { return false; }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override { return false; }

private:
    QSWebPageClient &m_client;
};

// A private profile (nothing on disk) with the client's gate and schemes, and a view of its page.
class EnginePage : public QWidget, public QSWebPage
{
public:
    EnginePage(QSWebPageClient &client, const QList<QByteArray> &servedSchemes, QWidget *parent)
        : QWidget(parent)
        , m_profile(new QWebEngineProfile(this))
        , m_view(new QWebEngineView(this))
    {
        auto *handler = new SchemeHandler(client, this);
        for (const QByteArray &scheme : servedSchemes)
            m_profile->installUrlSchemeHandler(scheme, handler);
        m_profile->setUrlRequestInterceptor(new RequestGate(client, this));
        auto *page = new PolicyPage(m_profile, client, m_view);
        m_view->setPage(page);
        connect(page, &QWebEnginePage::loadFinished, this, [this, &client] {
            const QPointer<EnginePage> self(this);
            m_view->page()->toPlainText([self, &client](const QString &text) {
                if (self)
                    client.pageLoaded(text);
            });
        });
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_view);
    }
    // The page goes before the profile it uses.
    ~EnginePage() override { delete m_view; }

    QWidget *widget() override { return this; }
    QWidget *engineView() override { return m_view; }
    void load(const QUrl &url) override { m_view->load(url); }

private:
    QWebEngineProfile *m_profile;
    QWebEngineView *m_view;
};

} // namespace

QSWebPage *QSWebEnginePlugin::createPage(QSWebPageClient &client, const QList<QByteArray> &servedSchemes, QWidget *parent)
{
    prepareEngine(servedSchemes);
    return new EnginePage(client, servedSchemes, parent);
}
