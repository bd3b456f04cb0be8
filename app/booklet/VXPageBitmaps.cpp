#include "app/booklet/VXPageBitmaps.h"

#include "platform/foundation/Log.h"
#include "platform/pdf/PdfPage.h"

#include <QThread>

#include <sys/mman.h>

#include <algorithm>
#include <new>

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

VXPageBitmaps::VXPageBitmaps(std::chrono::milliseconds budget)
    : m_budget(budget)
{
}

VXPageBitmaps::~VXPageBitmaps() { clear(); }

VXPageBitmaps::Bitmap VXPageBitmaps::draw(platform::PdfPageRasterizer &rasterizer, const VXPagePtr &page, const QSize &pixels,
                                          int orientation, const platform::PdfDrawingLimit &limit)
{
    const std::optional<platform::PdfPage> pdfPage = page ? page->pdfPage() : std::nullopt;
    if (!pdfPage || pixels.isEmpty())
        return {};
    platform::JpegEncoder encoder(pixels);
    const platform::PdfDrawingOutcome drawn = rasterizer.draw(*pdfPage, pixels, orientation, bandRows(pixels),
                                                              [&](const uchar *first, qsizetype bytesPerRow, int count) {
                                                                  return encoder.addRows(first, bytesPerRow, count);
                                                              },
                                                              limit);
    const platform::JpegImage image = drawn.isWhole() ? encoder.finish() : platform::JpegImage();
    if (encoder.error().isEmpty() && image.isNull())
        return {{}, false, drawn.reason};
    if (image.isNull()) {
        const QString failure = QStringLiteral("Could not encode %1 drawn through a bitmap: %2").arg(pdfPage->description(), encoder.error());
        platform::logError(failure);
        return {{}, false, failure};
    }
    return {image, true, {}};
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
    for (int i = 0; i < workers; ++i) {
        if (!startWorker()) {
            clear();
            return false;
        }
        ++m_workerCount;
    }
    return true;
}

bool VXPageBitmaps::startWorker()
{
    QString refusal;
    std::optional<platform::WorkerThread> worker = platform::WorkerThread::start(
        [shared = m_shared, index = m_workers.size(), budget = m_budget] { work(shared, index, budget); }, &refusal);
    if (!worker) {
        platform::logError(QStringLiteral("Could not start a worker to draw pages through bitmaps: %1").arg(refusal));
        return false;
    }
    m_workers.push_back(std::move(worker));
    return true;
}

bool VXPageBitmaps::isStarted() const { return m_workerCount > 0; }

int VXPageBitmaps::capacity() const { return 2 * m_workerCount; }

std::shared_ptr<VXPageBitmaps::Job> VXPageBitmaps::addJob(const VXPagePtr &page, const QSize &pixels, int orientation)
{
    auto job = std::make_shared<Job>();
    job->page = page;
    job->pixels = pixels;
    job->orientation = orientation;
    m_shared->ahead.push_back(job);
    return job;
}

bool VXPageBitmaps::prepare(const VXPagePtr &page, const QSize &pixels, int orientation)
{
    {
        const std::lock_guard lock(m_shared->mutex);
        for (const std::shared_ptr<Job> &job : m_shared->ahead) {
            if (job->page == page && job->pixels == pixels && job->orientation == orientation)
                return true;
        }
        if (qsizetype(m_shared->ahead.size()) >= capacity())
            return false;
        addJob(page, pixels, orientation);
    }
    m_shared->jobAdded.notify_one();
    return true;
}

VXPageBitmaps::Bitmap VXPageBitmaps::take(const VXPagePtr &page, const QSize &pixels, int orientation)
{
    std::unique_lock lock(m_shared->mutex);
    std::deque<std::shared_ptr<Job>> &ahead = m_shared->ahead;
    const auto found = std::find_if(ahead.begin(), ahead.end(), [&](const std::shared_ptr<Job> &job) {
        return job->page == page && job->pixels == pixels && job->orientation == orientation;
    });
    if (found == ahead.end() && !isStarted()) {
        lock.unlock();
        return draw(m_inTurn, page, pixels, orientation, platform::PdfDrawingLimit(m_budget));
    }
    // It stays ahead until drawn, for a worker to find.
    const std::shared_ptr<Job> job = found == ahead.end() ? addJob(page, pixels, orientation) : *found;
    m_shared->jobAdded.notify_one();
    bool givenUp = false;
    while (!job->done) {
        givenUp = job->started && std::chrono::steady_clock::now() >= job->startedAt + m_budget + GraceAfterBudget;
        if (givenUp)
            break;
        m_shared->jobDone.wait_for(lock, std::chrono::milliseconds(100));
    }
    ahead.erase(std::find(ahead.begin(), ahead.end(), job));
    if (givenUp) {
        job->givenUp = true;
        lock.unlock();
        // Its worker ends by itself once poppler lets go of it.
        m_workers[job->worker].reset();
        if (!startWorker())
            --m_workerCount;
        const std::optional<platform::PdfPage> pdfPage = page->pdfPage();
        return {{}, false, platform::PdfDrawingLimit(m_budget).outOfTimeReason(pdfPage ? pdfPage->description() : QStringLiteral("a page"))};
    }
    if (job->outOfMemory)
        throw std::bad_alloc();
    return job->bitmap;
}

void VXPageBitmaps::clear()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->stopping = true;
        m_shared->ahead.clear();
    }
    m_shared->jobAdded.notify_all();
    const auto deadline = std::chrono::steady_clock::now() + GraceAfterBudget;
    for (std::optional<platform::WorkerThread> &worker : m_workers) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (worker)
            worker->waitUntilEnded(std::max(left, std::chrono::milliseconds(0)));
    }
    m_workers.clear();
    m_shared = std::make_shared<Shared>();
    m_workerCount = 0;
}

void VXPageBitmaps::work(std::shared_ptr<Shared> shared, std::size_t worker, std::chrono::milliseconds budget)
{
    platform::PdfPageRasterizer rasterizer;
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(shared->mutex);
            const auto waiting = [&] {
                return std::find_if(shared->ahead.begin(), shared->ahead.end(), [](const std::shared_ptr<Job> &ahead) { return !ahead->started; });
            };
            shared->jobAdded.wait(lock, [&] { return shared->stopping || waiting() != shared->ahead.end(); });
            if (shared->stopping)
                break;
            job = *waiting();
            job->started = true;
            job->worker = worker;
            job->startedAt = std::chrono::steady_clock::now();
        }
        const platform::PdfDrawingLimit limit(budget, [&] { return shared->stopping || job->givenUp; });
        Bitmap bitmap;
        bool outOfMemory = false;
        try {
            bitmap = draw(rasterizer, job->page, job->pixels, job->orientation, limit);
        } catch (const std::bad_alloc &) {
            outOfMemory = true;
        }
        {
            const std::lock_guard lock(shared->mutex);
            job->bitmap = std::move(bitmap);
            job->outOfMemory = outOfMemory;
            job->done = true;
            // Another worker has taken its place.
            if (job->givenUp)
                return;
        }
        shared->jobDone.notify_all();
    }
}
