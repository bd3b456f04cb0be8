#pragma once

#include <QHash>
#include <QImage>
#include <QMutex>

#include <list>
#include <optional>

class VXPage;

// The high-resolution images of all pages under one byte budget. Each page keeps at most one
// image; when the budget is exceeded the least recently used images go, so that paging through
// a long document does not keep one large image per page for ever.
class VXPageImageCache
{
public:
    struct Entry
    {
        QImage image;
        int orientation = 0;
        double resolution = 0;
    };

    explicit VXPageImageCache(qint64 capacity);
    // Shared by every page of the process.
    static VXPageImageCache &shared();

    qint64 capacity() const;
    void setCapacity(qint64 bytes);
    qint64 totalBytes() const;

    // The page's entry, now the most recently used one.
    std::optional<Entry> find(const VXPage *page);
    // Replaces the page's entry. An image larger than the whole budget is not kept.
    void insert(const VXPage *page, const Entry &entry);
    void remove(const VXPage *page);

private:
    using Item = std::pair<const VXPage *, Entry>;

    void removeLocked(const VXPage *page);
    void trimLocked();

    mutable QMutex m_mutex;
    qint64 m_capacity;
    qint64 m_totalBytes = 0;
    std::list<Item> m_items; // most recently used first
    QHash<const VXPage *, std::list<Item>::iterator> m_index;
};
