#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QUrl>

#include <functional>

class QWidget;

// The web engine behind QSFeedPageView lives in a plugin of its own ("foldwise-webview", see
// QSWebEngineLoader), so that a program maps Qt WebEngine only once it shows a web page. The plugin
// holds no policy: its pages ask their client about every navigation and request and have the
// client fetch what they load under the served schemes.

// What a page asks of its owner. Main thread only.
class QSWebPageClient
{
public:
    // A main-frame navigation (a load, a clicked link, a link meant for a new window) or a frame's;
    // false leaves the page as it is.
    virtual bool acceptsNavigation(const QUrl &url, bool mainFrame) = 0;
    // Any request the page makes, as the engine sees it; false blocks it.
    virtual bool acceptsRequest(const QUrl &url) = 0;
    // A request under one of the served schemes, to be answered by exactly one of reply and fail
    // (refused, or failed to fetch); neither may be called once `request` is destroyed.
    virtual void serve(const QUrl &url, QObject *request,
                       std::function<void(const QByteArray &type, const QByteArray &body)> reply,
                       std::function<void(bool refused)> fail) = 0;
    // The page has loaded (or failed to, showing the engine's error page), with its text.
    virtual void pageLoaded(const QString &plainText) = 0;

protected:
    ~QSWebPageClient() = default;
};

// A page shown by the engine; it lives as long as its widget, which the caller's parent owns.
class QSWebPage
{
public:
    virtual QWidget *widget() = 0;
    // The engine's own view (a QWebEngineView).
    virtual QWidget *engineView() = 0;
    virtual void load(const QUrl &url) = 0;

protected:
    ~QSWebPage() = default;
};

class QSWebEngine
{
public:
    virtual ~QSWebEngine() = default;
    // A page inside parent, private to itself (nothing kept on disk), whose requests under
    // servedSchemes go to the client. The schemes are the same for every page of a process.
    virtual QSWebPage *createPage(QSWebPageClient &client, const QList<QByteArray> &servedSchemes, QWidget *parent) = 0;
};

#define QSWebEngine_iid "org.foldwise.QSWebEngine/1.0"
Q_DECLARE_INTERFACE(QSWebEngine, QSWebEngine_iid)
