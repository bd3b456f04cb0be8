#include "RQS-Kit/Controls/QSNewsletterFeed.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"

#include <QVariantMap>

#include <algorithm>
#include <optional>

namespace {

// IDs are unsigned 64-bit: the property list gives those above the signed range as unsigned
// numbers, and a negative one is no ID.
std::optional<quint64> identifierOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toULongLong();
    case QMetaType::Int:
    case QMetaType::LongLong:
        if (value.toLongLong() >= 0)
            return quint64(value.toLongLong());
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<QSNewsletterEntry> entryFrom(const QVariant &element, qsizetype position, const QUrl &feedAddress)
{
    const auto skip = [position](const QString &reason) {
        platform::logWarning(QStringLiteral("Newsletter entry %1 skipped, because %2").arg(position).arg(reason));
        return std::nullopt;
    };
    if (element.typeId() != QMetaType::QVariantMap)
        return skip(QStringLiteral("it is no dictionary"));
    const QVariantMap fields = element.toMap();
    const std::optional<quint64> identifier = identifierOf(fields.value(QStringLiteral("ID")));
    if (!identifier)
        return skip(QStringLiteral("its ID is no non-negative integer"));
    const QVariant validUntil = fields.value(QStringLiteral("validUntil"));
    if (validUntil.typeId() != QMetaType::QDateTime || !validUntil.toDateTime().isValid())
        return skip(QStringLiteral("its validUntil is no date"));
    const QVariant address = fields.value(QStringLiteral("url"));
    const QUrl url(address.toString(), QUrl::StrictMode);
    if (address.typeId() != QMetaType::QString || !QSNewsletterFeed::isFeedPage(url, feedAddress))
        return skip(QStringLiteral("its url \"%1\" is no page of %2").arg(address.toString(), feedAddress.host()));
    return QSNewsletterEntry{*identifier, validUntil.toDateTime(), url};
}

} // namespace

QList<QSNewsletterEntry> QSNewsletterFeed::read(const QString &path, const QUrl &feedAddress)
{
    QString error;
    const QVariant list = platform::PropertyList::read(path, &error);
    if (list.typeId() != QMetaType::QVariantList) {
        platform::logWarning(QStringLiteral("The newsletter feed from %1 is no list of entries%2")
                                 .arg(feedAddress.toString(), error.isEmpty() ? QString() : QStringLiteral(", because ") + error));
        return {};
    }
    const QVariantList elements = list.toList();
    QList<QSNewsletterEntry> feed;
    for (qsizetype position = 0; position < elements.size(); ++position) {
        if (std::optional<QSNewsletterEntry> entry = entryFrom(elements.at(position), position, feedAddress))
            feed.append(*entry);
    }
    std::stable_sort(feed.begin(), feed.end(), [](const QSNewsletterEntry &a, const QSNewsletterEntry &b) {
        return a.validUntil < b.validUntil;
    });
    return feed;
}

qsizetype QSNewsletterFeed::chosenIndex(const QList<QSNewsletterEntry> &feed, const QList<quint64> &seenIds,
                                        const QDateTime &now)
{
    for (qsizetype index = 0; index < feed.size(); ++index) {
        if (now < feed.at(index).validUntil && !seenIds.contains(feed.at(index).identifier))
            return index;
    }
    return -1;
}

bool QSNewsletterFeed::isFeedPage(const QUrl &url, const QUrl &feedAddress)
{
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty()
        && url.host() == feedAddress.host();
}
