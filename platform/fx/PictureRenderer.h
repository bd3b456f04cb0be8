#pragma once

#include "platform/fx/Image.h"

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QThreadPool>

#include <cstdint>
#include <stop_token>

namespace platform::fx {

// Makes pictures of images away from the calling thread, one at a time, so that the thread's
// windows keep answering while a long render runs. A new request stops the one under way, as does
// cancel(). Every request ends with exactly one of finished, failed, refused or cancelled, sent on
// the thread that made the renderer; a request overtaken by a newer one ends with none.
class PictureRenderer : public QObject
{
    Q_OBJECT

public:
    explicit PictureRenderer(QObject *parent = nullptr);
    // Stops the render under way and waits for it.
    ~PictureRenderer() override;

    // The pixels of the rectangle (rounded outwards), as Context::createImage makes them. A picture
    // beyond the render budgets is refused before any work starts.
    void render(const Image &image, const QRectF &from);
    void cancel();
    // Stops the request under way without a word: nobody waits for its picture any more.
    void forget();
    bool isRendering() const { return m_rendering; }

signals:
    // The share of the render done, now and then.
    void progressed(double share);
    void finished(const QImage &picture);
    // Why the render made no picture: the first "Error: " line it logged, without its level word;
    // empty when it logged none.
    void failed(const QString &reason);
    // Why the render was not started.
    void refused(const QString &reason);
    void cancelled();

private:
    void deliver(std::uint64_t request, const QImage &picture, bool stopped, const QString &failure);

    QThreadPool m_pool;
    std::stop_source m_stop;
    std::uint64_t m_request = 0;
    bool m_rendering = false;
};

} // namespace platform::fx
