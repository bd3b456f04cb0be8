#pragma once

#include "platform/fx/Image.h"

#include <QSizeF>
#include <QString>

#include <memory>

class QTimer;

// One image file of a frame (a mask or a shade) with the drawing options its file name carries:
// "TYPE#000#Name#width-corner-repeatX-repeatY". The image is read on first use and dropped again
// when it has not been used for the cache time (timed on the GUI thread only).
class QSFrameImageDescription
{
public:
    struct Options
    {
        double width = 1.0;
        double corner = 0.0;
        unsigned repeatX = 0, repeatY = 0;
    };

    explicit QSFrameImageDescription(const QString &imagePath);
    // Everything but the running cache timer.
    QSFrameImageDescription(const QSFrameImageDescription &other);
    QSFrameImageDescription &operator=(const QSFrameImageDescription &) = delete;
    virtual ~QSFrameImageDescription();

    // Widths divide later, so one not above 0 becomes 1.0; repeats below 0 become 0 (stretched).
    static Options optionsFromString(const QString &options);

    void setImagePath(const QString &path);
    const QString &imagePath() const { return m_path; }
    // The identifier name: type, index and name, without the options.
    const QString &name() const { return m_name; }
    double width() const { return m_options.width; }
    double corner() const { return m_options.corner; }
    unsigned repeatX() const { return m_options.repeatX; }
    unsigned repeatY() const { return m_options.repeatY; }
    QSizeF cornerSize() const;
    // Null (logged) when the file cannot be read.
    virtual platform::fx::Image image() const;
    bool hasCachedImage() const { return !m_image.isNull(); }

    // Seconds a loaded image stays after its last use (300 at first); not above 0 keeps it.
    double cacheTime() const { return m_cacheTime; }
    void setCacheTime(double seconds);
    // The largest corner the frame filter has drawn the image with; 0 until then. A record of use,
    // like the cached image, so kept on shared read-only descriptions too.
    double maxCorner() const { return m_maxCorner; }
    void setMaxCorner(double corner) const { m_maxCorner = corner; }

protected:
    // The cache time starts anew; off the GUI thread nothing happens.
    void restartCacheTimer() const;
    virtual void clearCachedImage();
    // The image now lives at path; name and options stay those already read, the cached image stays.
    void moveImageTo(const QString &path) { m_path = path; }

    Options m_options;
    mutable platform::fx::Image m_image;

private:
    QString m_path, m_name;
    double m_cacheTime = 300.0;
    mutable double m_maxCorner = 0;
    mutable std::unique_ptr<QTimer> m_cacheTimer;
};
