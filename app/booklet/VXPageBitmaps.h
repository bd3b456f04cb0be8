#pragma once

#include "app/booklet/VXPage.h"
#include "platform/graphics/JpegImage.h"

#include <QSize>
#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Pages drawn through bitmaps, as a rasterised print draws them: white like the paper, the page
// turned by its orientation and stretched to the bitmap, which is then encoded as JPEG. The print
// starts the workers, asks for the pictures it will need soon, which the workers draw and encode
// while it places earlier ones, then takes each in turn. A worker holds one bitmap at a time and
// lets it go once encoded, so the bitmaps in memory are never more than the workers.
class VXPageBitmaps
{
public:
    // Bitmaps of all workers together stay within this many bytes where one worker's allows.
    static constexpr qint64 BitmapBudget = 60 * 1024 * 1024;

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

    // Draws and encodes on this thread; safe from any thread. Throws std::bad_alloc when the
    // memory for the bitmap or its encoding runs out.
    static Bitmap draw(const VXPagePtr &page, const QSize &pixels, int orientation);

    // Starts the workers for bitmaps of at most this many pixels: one per core, at most eight, and
    // no more than BitmapBudget holds. Throws std::bad_alloc (logged) when not even one such bitmap
    // can be had; false (logged) when a worker cannot be started, which leaves none running.
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
};
