#pragma once

#include "platform/ui/View.h"

#include <QImage>
#include <QRectF>

// Shows a picture stretched over its bounds. The stretch rectangle, in the picture's points, is
// the part that stretches; the whole picture until a narrower one is set.
class QSImageView : public platform::View
{
    Q_OBJECT
public:
    explicit QSImageView(QWidget *parent = nullptr);

    QImage image() const;
    // A null image clears the view; the same picture again changes nothing.
    void setImage(const QImage &image);
    QRectF stretchRect() const;

    // The picture's size in points.
    QSizeF intrinsicContentSize() const;
    QSize sizeHint() const override;

    void drawRect(const QRectF &dirtyRect) override;

private:
    QImage m_image;
    QRectF m_stretchRect;
};
