#pragma once

#include <QImage>
#include <QSizeF>

class QSImagePrintView;

// Supplies the picture that an image print view prints, once.
class QSImagePrintViewDelegate
{
public:
    virtual ~QSImagePrintViewDelegate() = default;

    // maxSize is the view's size, the largest that is of use; a null picture prints nothing.
    virtual QImage printImageForView(QSImagePrintView *view, const QSizeF &maxSize) = 0;
};
