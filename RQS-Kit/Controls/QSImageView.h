#pragma once

#include "platform/fx/Image.h"
#include "platform/ui/View.h"

#include <QImage>
#include <QRectF>

// Shows a picture, or the whole extent of an image recipe, stretched over its bounds; it holds at
// most one of the two. The stretch rectangle, in the picture's points, is the part that stretches;
// the whole picture until a narrower one is set.
class QSImageView : public platform::View
{
    Q_OBJECT
public:
    explicit QSImageView(QWidget *parent = nullptr);

    QImage image() const;
    // A null image clears the view; the same picture again changes nothing. Drops the recipe.
    void setImage(const QImage &image);
    platform::fx::Image ciImage() const;
    // Drops the picture.
    void setCIImage(const platform::fx::Image &image);
    QRectF stretchRect() const;

    // The picture's size in points, else the recipe's extent size.
    QSizeF intrinsicContentSize() const;
    QSize sizeHint() const override;

    void drawRect(const QRectF &dirtyRect) override;

private:
    QImage m_image;
    platform::fx::Image m_ciImage;
    QRectF m_stretchRect;
};
