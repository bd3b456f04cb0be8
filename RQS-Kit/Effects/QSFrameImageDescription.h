#pragma once

#include "platform/fx/Image.h"

#include <QSizeF>
#include <QString>

// One image file of a frame (a mask or a shade) with the drawing options its file name carries:
// "TYPE#000#Name#width-corner-repeatX-repeatY". The image is read once, on first use.
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
    virtual ~QSFrameImageDescription() = default;

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

protected:
    Options m_options;
    mutable platform::fx::Image m_image;

private:
    QString m_path, m_name;
};
