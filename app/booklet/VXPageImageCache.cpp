#include "app/booklet/VXPageImageCache.h"

namespace {
// About forty page images at the page views' resolution of 1000 on the long side.
constexpr qint64 defaultCapacity = 128LL * 1024 * 1024;
} // namespace

VXPageImageCache::VXPageImageCache(qint64 capacity)
    : m_capacity(capacity)
{
}

VXPageImageCache &VXPageImageCache::shared()
{
    // Never destroyed: pages held by process-wide objects are released after static destructors.
    static auto *cache = new VXPageImageCache(defaultCapacity);
    return *cache;
}

qint64 VXPageImageCache::capacity() const
{
    QMutexLocker locker(&m_mutex);
    return m_capacity;
}

void VXPageImageCache::setCapacity(qint64 bytes)
{
    QMutexLocker locker(&m_mutex);
    m_capacity = bytes;
    trimLocked();
}

qint64 VXPageImageCache::totalBytes() const
{
    QMutexLocker locker(&m_mutex);
    return m_totalBytes;
}

std::optional<VXPageImageCache::Entry> VXPageImageCache::find(const VXPage *page)
{
    QMutexLocker locker(&m_mutex);
    const auto found = m_index.constFind(page);
    if (found == m_index.constEnd())
        return std::nullopt;
    m_items.splice(m_items.begin(), m_items, *found);
    return m_items.front().second;
}

void VXPageImageCache::insert(const VXPage *page, const Entry &entry)
{
    QMutexLocker locker(&m_mutex);
    removeLocked(page);
    const qint64 bytes = entry.image.sizeInBytes();
    if (bytes > m_capacity)
        return;
    m_items.emplace_front(page, entry);
    m_index.insert(page, m_items.begin());
    m_totalBytes += bytes;
    trimLocked();
}

void VXPageImageCache::remove(const VXPage *page)
{
    QMutexLocker locker(&m_mutex);
    removeLocked(page);
}

void VXPageImageCache::removeLocked(const VXPage *page)
{
    const auto found = m_index.find(page);
    if (found == m_index.end())
        return;
    m_totalBytes -= (*found)->second.image.sizeInBytes();
    m_items.erase(*found);
    m_index.erase(found);
}

void VXPageImageCache::trimLocked()
{
    while (m_totalBytes > m_capacity && !m_items.empty())
        removeLocked(m_items.back().first);
}
