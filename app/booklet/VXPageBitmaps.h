#pragma once

#include "app/booklet/VXPage.h"
#include "platform/foundation/WorkerThread.h"
#include "platform/graphics/JpegImage.h"
#include "platform/pdf/PdfPageRasterizer.h"

#include <QSize>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// Pages drawn through bitmaps, as a rasterised print draws them: white like the paper, the page
// turned by its orientation and stretched to the bitmap, which is encoded as JPEG. A page is drawn
// and encoded a band of rows at a time, so that no bitmap holds more than a band; each worker
// keeps its raster device, and the fonts it made, for the next page of the file. The print starts
// the workers, asks for the pictures it will need soon, which the workers draw and encode while
// it places earlier ones, then takes each in turn.
//
// Each page is drawn within a budget. A page still being drawn GraceAfterBudget after its budget
// ran out is held by one drawing operation that poppler cannot stop: it is given up as not drawn,
// its worker is left to end by itself (a new one takes its place), and nothing waits for it.
class VXPageBitmaps
{
public:
    // A band of a bitmap holds at most this many bytes (poppler's three a pixel and its alpha): a
    // page at 300 dpi is drawn whole, as every band draws the whole page again.
    static constexpr qint64 BandBytes = 20 * 1024 * 1024;
    // The bands of all workers together stay within this many bytes where one worker's allows:
    // two workers for pages at 300 dpi.
    static constexpr qint64 BitmapBudget = 40 * 1024 * 1024;

    static constexpr std::chrono::milliseconds GraceAfterBudget{2000};

    // The encoded picture; a page that could not be drawn leaves it null, and says why (naming the
    // file and page) when the file is the reason.
    struct Bitmap
    {
        platform::JpegImage image;
        bool drawn = false;
        QString failure;
    };

    explicit VXPageBitmaps(std::chrono::milliseconds budget = platform::PdfDrawingLimit::DefaultBudget);
    ~VXPageBitmaps();
    VXPageBitmaps(const VXPageBitmaps &) = delete;
    VXPageBitmaps &operator=(const VXPageBitmaps &) = delete;

    // Draws and encodes on this thread, through the thread's own rasterizer, within the limit.
    // Throws std::bad_alloc when the memory for a band or the encoding runs out.
    static Bitmap draw(platform::PdfPageRasterizer &rasterizer, const VXPagePtr &page, const QSize &pixels, int orientation,
                       const platform::PdfDrawingLimit &limit = platform::PdfDrawingLimit());
    // The rows of a band of a bitmap of this size.
    static int bandRows(const QSize &pixels);

    // Starts the workers for bitmaps of at most this many pixels: one per core, at most eight, and
    // no more than BitmapBudget holds of their bands. Throws std::bad_alloc (logged) when not even
    // one band can be had; false (logged) when a worker cannot be started or the bitmaps would be
    // larger than a JPEG picture can be, which leaves none running.
    bool start(const QSize &largest);
    bool isStarted() const;
    // How many pictures may wait or be drawn ahead: two for each worker, none before start.
    int capacity() const;
    // Starts drawing one ahead; false when as many as the capacity are already ahead (asking for
    // one that is ahead already answers true).
    bool prepare(const VXPagePtr &page, const QSize &pixels, int orientation);
    // The picture drawn ahead, waiting for it to finish or to be given up; with the workers
    // started, one not asked for is asked for now, and without them it is drawn on this thread.
    // Throws std::bad_alloc when its worker ran out of memory.
    Bitmap take(const VXPagePtr &page, const QSize &pixels, int orientation);
    // Drops the pictures ahead and stops the workers: each stops drawing at poppler's next check
    // and has let go of all it drew with when this returns; one that has not stopped
    // GraceAfterBudget later is left to end by itself.
    void clear();

private:
    struct Job
    {
        VXPagePtr page;
        QSize pixels;
        int orientation = 0;
        bool started = false;
        // The index of the worker drawing it, once started.
        std::size_t worker = 0;
        std::chrono::steady_clock::time_point startedAt;
        bool done = false;
        bool outOfMemory = false;
        std::atomic_bool givenUp = false;
        Bitmap bitmap;
    };
    // What the workers share with this object, which they outlive when they are left to end.
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable jobAdded;
        std::condition_variable jobDone;
        std::deque<std::shared_ptr<Job>> ahead;
        std::atomic_bool stopping = false;
    };

    static void work(std::shared_ptr<Shared> shared, std::size_t worker, std::chrono::milliseconds budget);
    // Starts one more worker; false (logged) when the system refuses a thread.
    bool startWorker();
    std::shared_ptr<Job> addJob(const VXPagePtr &page, const QSize &pixels, int orientation);

    std::chrono::milliseconds m_budget;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
    // The workers by index; a worker whose page was given up is left, its place empty.
    std::vector<std::optional<platform::WorkerThread>> m_workers;
    int m_workerCount = 0;
    // Draws, on the thread that takes them, the pictures asked for before the workers start.
    platform::PdfPageRasterizer m_inTurn;
};
