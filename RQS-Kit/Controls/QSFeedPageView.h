#pragma once

#include "RQS-Kit/Controls/QSLimitedFetch.h"

#include <QByteArray>
#include <QHash>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVariant>

#include <functional>

// Shows web pages as far as a text browser can: HTML without scripts, fetched over http(s), or
// read from a local file. Every navigation, the owner's own loads and clicked links alike, is
// first put to the navigation policy, which alone decides whether the view loads it; without a
// policy nothing loads. A page from the network shows the pictures and style sheets that the
// resource policy allows, fetched over http(s) with size limits; without that policy it shows
// none. Main thread only.
class QSFeedPageView : public QTextBrowser
{
    Q_OBJECT
public:
    // True: show the address in this view, or use the resource in the page.
    using Policy = std::function<bool(const QUrl &url)>;

    explicit QSFeedPageView(QWidget *parent = nullptr);

    void setNavigationPolicy(Policy policy);
    void setResourcePolicy(Policy policy);
    // False when the policy refused or the scheme is neither http(s) nor file; a failed fetch
    // is logged when it ends and leaves the shown page.
    bool navigate(const QUrl &url);
    QUrl pageUrl() const;

    // What the page's pictures and style sheets have been fetched, or nothing: a page must not pull
    // local files or other servers' content into the view. A resource not yet fetched starts its
    // fetch; the page is shown again once all of them have ended.
    QVariant loadResource(int type, const QUrl &name) override;

private:
    void pageFetched(const QUrl &url, const QByteArray &html);
    void resourceFetched(int type, const QUrl &url, const QByteArray &data);
    void resourceEnded();
    void show(const QUrl &url, const QByteArray &html);

    Policy m_policy;
    Policy m_resourcePolicy;
    QNetworkAccessManager m_network;
    QPointer<QSLimitedFetch> m_pageFetch;
    QUrl m_pageUrl;
    QString m_html;
    // Per page: what was asked for (fetched, failed or pending) and what arrived.
    QHash<QUrl, QVariant> m_resources;
    QList<QPointer<QSLimitedFetch>> m_resourceFetches;
    int m_pendingResources = 0;
};
