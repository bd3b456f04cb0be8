#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

struct QSNewsletterEntry
{
    quint64 identifier = 0;
    QDateTime validUntil;
    QUrl url;
};

// The newsletter feed as read from its property-list file. The feed comes from the network, so
// every entry is checked and a malformed one is skipped with a warning: an "ID" that is no
// non-negative integer, a "validUntil" that is no date, a "url" that is no http(s) page of the
// feed's own host.
class QSNewsletterFeed
{
public:
    // Sorted by "validUntil", earliest first; empty (and a warning) when the file is no array.
    static QList<QSNewsletterEntry> read(const QString &path, const QUrl &feedAddress);
    // The first entry, in feed order, that is current at now and not seen; -1 when none is.
    static qsizetype chosenIndex(const QList<QSNewsletterEntry> &feed, const QList<quint64> &seenIds,
                                 const QDateTime &now);
    // Whether the address is a page the newsletter window may show, or a picture or style sheet its
    // pages may use: http or https on the feed's host.
    static bool isFeedPage(const QUrl &url, const QUrl &feedAddress);
};
