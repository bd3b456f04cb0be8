#pragma once

#include "app/booklet/VXPage.h"

#include <QFuture>
#include <QImage>
#include <QList>
#include <QSize>
#include <QThreadPool>

// Pages drawn through bitmaps, as a rasterised print draws them: white like the paper, the page
// turned by its orientation and stretched to the bitmap. The print asks for the bitmaps it will
// need soon, which worker threads draw while it places earlier ones, then takes each in turn.
class VXPageBitmaps
{
public:
    // A bitmap and whether the page was drawn into it; a page that could not be drawn leaves a
    // null image.
    struct Bitmap
    {
        QImage image;
        bool drawn = false;
    };

    VXPageBitmaps();

    // Draws on this thread; safe from any thread.
    static Bitmap draw(const VXPagePtr &page, const QSize &pixels, int orientation);

    // At most this many bitmaps wait or are drawn ahead, one per worker; further asks are refused
    // until some are taken, which bounds the memory they hold (a page at 300 dpi is about 17 MB).
    int capacity() const;
    // Starts drawing one ahead; false when as many as the capacity are already ahead (asking for
    // one that is ahead already answers true).
    bool prepare(const VXPagePtr &page, const QSize &pixels, int orientation);
    // The bitmap drawn ahead, waiting for it to finish, or drawn now when none was asked for.
    Bitmap take(const VXPagePtr &page, const QSize &pixels, int orientation);
    // Drops the bitmaps ahead; those being drawn finish on their own.
    void clear();

private:
    struct Ahead
    {
        VXPagePtr page;
        QSize pixels;
        int orientation = 0;
        QFuture<Bitmap> bitmap;
    };

    QList<Ahead> m_ahead;
    QThreadPool m_pool;
};
