#pragma once

#include "platform/ui/View.h"

#include <QImage>
#include <QSize>

// One picture drawn from the lower-left corner at the scale that fits its width to the bounds'
// width, the same scale on both axes. There are no layers on this platform: it is a view that
// stands where a layer would.
class QSCIImageLayer : public platform::View
{
    Q_OBJECT
public:
    explicit QSCIImageLayer(QWidget *parent = nullptr);

    // Null when there is none.
    QImage image() const;
    // Records the picture's pixel size as the image size and redraws; a null image clears both.
    void setImage(const QImage &image);
    QSize imageSize() const;

    void drawRect(const QRectF &dirtyRect) override;

private:
    QImage m_image;
    QSize m_imageSize;
};
