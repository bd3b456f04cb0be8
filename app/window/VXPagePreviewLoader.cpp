#include "app/window/VXPagePreviewLoader.h"

#include <QPointer>

namespace {

constexpr int maxRunning = 4;
// Rows asked for longer ago than this have scrolled out of sight; they ask again when they return.
constexpr int maxWaiting = 64;

} // namespace

VXPagePreviewLoader::VXPagePreviewLoader(int keptCount, QObject *parent)
    : QObject(parent), m_keptCount(std::max(1, keptCount))
{
}

int VXPagePreviewLoader::keptCount() const { return m_keptCount; }

QImage VXPagePreviewLoader::previewForPage(const VXPagePtr &page)
{
    if (!page)
        return QImage();
    const QImage preview = page->preview();
    if (!preview.isNull()) {
        touch(page);
        return preview;
    }
    if (page->isCalculatingPreview() || !page->pdfPage())
        return QImage();
    m_waiting.removeIf([&page](const Weak &waiting) { return waiting.lock() == page; });
    m_waiting.append(page);
    if (m_waiting.size() > maxWaiting)
        m_waiting.removeFirst();
    startWaiting();
    return QImage();
}

void VXPagePreviewLoader::touch(const VXPagePtr &page)
{
    const auto found = m_keptIndex.constFind(page.get());
    if (found != m_keptIndex.constEnd())
        m_kept.erase(*found);
    m_kept.emplace_front(page.get(), page);
    m_keptIndex.insert(page.get(), m_kept.begin());
    while (int(m_kept.size()) > m_keptCount) {
        const auto [address, weak] = m_kept.back();
        m_kept.pop_back();
        m_keptIndex.remove(address);
        if (const VXPagePtr dropped = weak.lock()) {
            dropped->setPreview(QImage());
            dropped->setIsCalculatingPreview(false);
        }
    }
}

void VXPagePreviewLoader::startWaiting()
{
    while (m_running < maxRunning && !m_waiting.isEmpty()) {
        const VXPagePtr page = m_waiting.takeLast().lock();
        if (!page || !page->preview().isNull() || page->isCalculatingPreview())
            continue;
        ++m_running;
        const QPointer<VXPagePreviewLoader> self(this);
        const Weak weak = page;
        page->calcPreviewInBackground([self, weak] {
            if (self)
                self->drawn(weak);
        });
    }
}

void VXPagePreviewLoader::drawn(const Weak &weak)
{
    --m_running;
    if (const VXPagePtr page = weak.lock()) {
        touch(page);
        emit previewReady(page.get());
    }
    startWaiting();
}
