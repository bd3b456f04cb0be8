#pragma once

#include "app/booklet/VXPage.h"
#include "platform/graphics/JpegImage.h"
#include "platform/pdf/PdfPageRasterizer.h"

#include <QSize>
#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Pages drawn through bitmaps, as a rasterised print draws them: white like the paper, the page
// turned by its orientation and stretched to the bitmap, which is encoded as JPEG. A page is drawn
// and encoded a band of rows at a time, so that no bitmap holds more than a band; each worker
// keeps its raster device, and the fonts it made, for the next page of the file. The print starts
// the workers, asks for the pictures it will need soon, which the workers draw and encode while
// it places earlier ones, then takes each in turn.
class VXPageBitmaps
{
public:
    // A band of a bitmap holds at most this many bytes (poppler's three a pixel and its alpha): a
    // page at 300 dpi is drawn whole, as every band draws the whole page again.
    static constexpr qint64 BandBytes = 20 * 1024 * 1024;
    // The bands of all workers together stay within this many bytes where one worker's allows:
    // two workers for pages at 300 dpi.
    static constexpr qint64 BitmapBudget = 40 * 1024 * 1024;

    // The encoded picture; a page that could not be drawn leaves it null.
    struct Bitmap
    {
        platform::JpegImage image;
        bool drawn = false;
    };

    VXPageBitmaps();
    ~VXPageBitmaps();
    VXPageBitmaps(const VXPageBitmaps &) = delete;
    VXPageBitmaps &operator=(const VXPageBitmaps &) = delete;

    // Draws and encodes on this thread, through the thread's own rasterizer. Throws
    // std::bad_alloc when the memory for a band or the encoding runs out.
    static Bitmap draw(platform::PdfPageRasterizer &rasterizer, const VXPagePtr &page, const QSize &pixels, int orientation);
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
    // The picture drawn ahead, waiting for it to finish, or drawn now when none was asked for.
    // Throws std::bad_alloc when its worker ran out of memory.
    Bitmap take(const VXPagePtr &page, const QSize &pixels, int orientation);
    // Drops the pictures ahead and stops the workers, once each has finished what it draws.
    void clear();

private:
    struct Job
    {
        VXPagePtr page;
        QSize pixels;
        int orientation = 0;
        bool started = false;
        bool done = false;
        bool outOfMemory = false;
        Bitmap bitmap;
    };

    void work();

    std::mutex m_mutex;
    std::condition_variable m_jobAdded;
    std::condition_variable m_jobDone;
    std::deque<std::shared_ptr<Job>> m_ahead;
    std::vector<std::thread> m_workers;
    bool m_stopping = false;
    // Draws, on the thread that takes them, the pictures that were not asked for ahead.
    platform::PdfPageRasterizer m_inTurn;
};
