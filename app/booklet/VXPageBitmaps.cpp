#include "app/booklet/VXPageBitmaps.h"

#include "platform/foundation/Log.h"
#include "platform/pdf/PdfPage.h"

#include <QThread>

#include <sys/mman.h>

#include <algorithm>
#include <new>
#include <system_error>

namespace {

// Beyond this the bitmaps held ahead cost more memory than the extra cores save time.
constexpr int maximumWorkers = 8;

// Whether the system would hand out this many bytes now (the address space left, what it is
// willing to commit), asked without touching a page of them.
bool couldAllocate(qint64 bytes)
{
    void *trial = mmap(nullptr, std::size_t(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (trial == MAP_FAILED)
        return false;
    munmap(trial, std::size_t(bytes));
    return true;
}

} // namespace

VXPageBitmaps::VXPageBitmaps() = default;

VXPageBitmaps::~VXPageBitmaps() { clear(); }

VXPageBitmaps::Bitmap VXPageBitmaps::draw(platform::PdfPageRasterizer &rasterizer, const VXPagePtr &page, const QSize &pixels,
                                          int orientation)
{
    const std::optional<platform::PdfPage> pdfPage = page ? page->pdfPage() : std::nullopt;
    if (!pdfPage || pixels.isEmpty())
        return {};
    platform::JpegEncoder encoder(pixels);
    const bool drawn = rasterizer.draw(*pdfPage, pixels, orientation, bandRows(pixels),
                                       [&](const uchar *first, qsizetype bytesPerRow, int count) {
                                           return encoder.addRows(first, bytesPerRow, count);
                                       });
    const platform::JpegImage image = drawn ? encoder.finish() : platform::JpegImage();
    if (image.isNull()) {
        if (!encoder.error().isEmpty())
            platform::logError(QStringLiteral("Could not encode a page drawn through a bitmap: %1").arg(encoder.error()));
        return {};
    }
    return {image, true};
}

int VXPageBitmaps::bandRows(const QSize &pixels)
{
    const qint64 rowBytes = std::max<qint64>(1, qint64(pixels.width()) * 4);
    const int bands = int(std::max<qint64>(1, (rowBytes * pixels.height() + BandBytes - 1) / BandBytes));
    return std::max(1, (pixels.height() + bands - 1) / bands);
}

bool VXPageBitmaps::start(const QSize &largest)
{
    clear();
    if (largest.width() > platform::JpegImage::maximumSide || largest.height() > platform::JpegImage::maximumSide) {
        platform::logError(QStringLiteral("Could not draw pages through bitmaps of %1 x %2 pixels: a JPEG picture has at most %3 pixels a side")
                               .arg(largest.width())
                               .arg(largest.height())
                               .arg(platform::JpegImage::maximumSide));
        return false;
    }
    // Poppler draws three bytes a pixel and an alpha plane of one.
    const qint64 bytes = std::max<qint64>(1, qint64(largest.width()) * bandRows(largest) * 4);
    int workers = int(std::clamp<qint64>(BitmapBudget / bytes, 1, std::min(QThread::idealThreadCount(), maximumWorkers)));
    while (workers > 0 && !couldAllocate(bytes * workers))
        --workers;
    if (workers == 0) {
        platform::logError(QStringLiteral("Could not draw pages through bitmaps of %1 x %2 pixels: not enough memory")
                               .arg(largest.width())
                               .arg(largest.height()));
        throw std::bad_alloc();
    }
    try {
        for (int i = 0; i < workers; ++i)
            m_workers.emplace_back([this] { work(); });
    } catch (const std::system_error &e) {
        platform::logError(QStringLiteral("Could not start a worker to draw pages through bitmaps: %1").arg(QString::fromLocal8Bit(e.what())));
        clear();
        return false;
    }
    return true;
}

bool VXPageBitmaps::isStarted() const { return !m_workers.empty(); }

int VXPageBitmaps::capacity() const { return int(2 * m_workers.size()); }

bool VXPageBitmaps::prepare(const VXPagePtr &page, const QSize &pixels, int orientation)
{
    {
        std::lock_guard lock(m_mutex);
        for (const std::shared_ptr<Job> &job : m_ahead) {
            if (job->page == page && job->pixels == pixels && job->orientation == orientation)
                return true;
        }
        if (qsizetype(m_ahead.size()) >= capacity())
            return false;
        auto job = std::make_shared<Job>();
        job->page = page;
        job->pixels = pixels;
        job->orientation = orientation;
        m_ahead.push_back(std::move(job));
    }
    m_jobAdded.notify_one();
    return true;
}

VXPageBitmaps::Bitmap VXPageBitmaps::take(const VXPagePtr &page, const QSize &pixels, int orientation)
{
    std::unique_lock lock(m_mutex);
    const auto found = std::find_if(m_ahead.begin(), m_ahead.end(), [&](const std::shared_ptr<Job> &job) {
        return job->page == page && job->pixels == pixels && job->orientation == orientation;
    });
    if (found == m_ahead.end()) {
        lock.unlock();
        return draw(m_inTurn, page, pixels, orientation);
    }
    // It stays ahead until drawn, for a worker to find.
    const std::shared_ptr<Job> job = *found;
    m_jobDone.wait(lock, [&] { return job->done; });
    m_ahead.erase(std::find(m_ahead.begin(), m_ahead.end(), job));
    if (job->outOfMemory)
        throw std::bad_alloc();
    return job->bitmap;
}

void VXPageBitmaps::clear()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_ahead.clear();
    }
    m_jobAdded.notify_all();
    for (std::thread &worker : m_workers)
        worker.join();
    m_workers.clear();
    m_stopping = false;
}

void VXPageBitmaps::work()
{
    platform::PdfPageRasterizer rasterizer;
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(m_mutex);
            const auto waiting = [&] {
                return std::find_if(m_ahead.begin(), m_ahead.end(), [](const std::shared_ptr<Job> &ahead) { return !ahead->started; });
            };
            m_jobAdded.wait(lock, [&] { return m_stopping || waiting() != m_ahead.end(); });
            if (m_stopping)
                return;
            job = *waiting();
            job->started = true;
        }
        Bitmap bitmap;
        bool outOfMemory = false;
        try {
            bitmap = draw(rasterizer, job->page, job->pixels, job->orientation);
        } catch (const std::bad_alloc &) {
            outOfMemory = true;
        }
        {
            std::lock_guard lock(m_mutex);
            job->bitmap = std::move(bitmap);
            job->outOfMemory = outOfMemory;
            job->done = true;
        }
        m_jobDone.notify_all();
    }
}
