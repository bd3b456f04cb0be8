#pragma once

#include "RQS-Kit/Controls/ImagePlacement.h"
#include "RQS-Kit/Controls/QSViewDelegate.h"
#include "platform/foundation/WeakDelegate.h"
#include "platform/fx/Image.h"
#include "platform/ui/View.h"

#include <QBrush>
#include <QImage>
#include <QRectF>
#include <QTimer>

namespace platform {
class GraphicsContext;
}

// Shows a picture, or the whole extent of an image recipe; it holds at most one of the two. Where
// it goes follows the gravity (rqs::ImageGravity flags) and aspect settings; a picture is drawn as
// nine slices around its stretch rectangle (in the picture's points), which is the whole picture
// until a narrower one is set. Opacity applies to pictures only. The background fills what is
// redrawn; the border goes around the bounds, or around the drawn picture when bordered.
class QSImageView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QImage image READ image WRITE setImage)
    Q_PROPERTY(int gravity READ gravity WRITE setGravity)
    Q_PROPERTY(bool aspectFit READ aspectFit WRITE setAspectFit)
    Q_PROPERTY(bool upscaleIfNeeded READ upscaleIfNeeded WRITE setUpscaleIfNeeded)
    Q_PROPERTY(bool hideImage READ hideImage WRITE setHideImage)
    Q_PROPERTY(double opacity READ opacity WRITE setOpacity)
    Q_PROPERTY(QString opacityString READ opacityString WRITE setOpacityString)
    Q_PROPERTY(double borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(QBrush borderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(QString borderColorName READ borderColorName WRITE setBorderColorName)
    Q_PROPERTY(bool borderedImage READ borderedImage WRITE setBorderedImage)
    Q_PROPERTY(QBrush backgroundColor READ backgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(QString backgroundColorName READ backgroundColorName WRITE setBackgroundColorName)
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName)
    Q_PROPERTY(QRectF stretchRect READ stretchRect WRITE setStretchRect)
    Q_PROPERTY(bool noHitTesting READ noHitTesting WRITE setNoHitTesting)
    Q_PROPERTY(bool dragsWindow READ dragsWindow WRITE setDragsWindow)
    Q_PROPERTY(bool keepFront READ keepFront WRITE setKeepFront)
    Q_PROPERTY(bool protectTransform READ protectTransform WRITE setProtectTransform)
public:
    explicit QSImageView(QWidget *parent = nullptr);

    QImage image() const;
    // A null image clears the view; the same picture again changes nothing. Drops the recipe and
    // resets the stretch rectangle to the whole picture.
    void setImage(const QImage &image);
    platform::fx::Image ciImage() const;
    // Drops the picture.
    void setCIImage(const platform::fx::Image &image);
    // The picture of that name in the main bundle. A resource identifier's options "x-y-w-h"
    // (as many as given) then set the stretch rectangle's origin and size.
    QString imageName() const;
    void setImageName(const QString &name);
    // The other view as it shows now becomes the picture.
    void captureView(QWidget *view);

    QRectF stretchRect() const;
    void setStretchRect(const QRectF &rect);
    int gravity() const;
    void setGravity(int gravity);
    bool aspectFit() const;
    void setAspectFit(bool aspectFit);
    bool upscaleIfNeeded() const;
    void setUpscaleIfNeeded(bool upscale);
    // A hidden image takes its border with it; the background stays.
    bool hideImage() const;
    void setHideImage(bool hide);
    double opacity() const;
    void setOpacity(double opacity);
    // For interface files: the text's number, shown with the next redraw.
    QString opacityString() const;
    void setOpacityString(const QString &opacity);
    double borderWidth() const;
    void setBorderWidth(double width);
    // No border while the brush has no style.
    QBrush borderColor() const;
    void setBorderColor(const QBrush &color);
    QString borderColorName() const;
    void setBorderColorName(const QString &description);
    bool borderedImage() const;
    void setBorderedImage(bool bordered);
    // Takes effect with the next redraw.
    QBrush backgroundColor() const;
    void setBackgroundColor(const QBrush &color);
    QString backgroundColorName() const;
    void setBackgroundColorName(const QString &description);
    // Presses then go to whatever lies beneath.
    bool noHitTesting() const;
    void setNoHitTesting(bool noHitTesting);
    // An unclaimed press moves the window, where the window system lets it.
    bool dragsWindow() const;
    void setDragsWindow(bool drags);
    // Checked every second: the view goes back on top of its siblings.
    bool keepFront() const;
    void setKeepFront(bool keepFront);
    // Once, on the next turn of the event loop.
    void verifyKeepFrontHint();
    // On (the default), a new frame keeps the layer's transform and neither glides nor resizes the
    // layer with an animation.
    bool protectTransform() const;
    void setProtectTransform(bool protect);
    void setFrame(const QRectF &frame) override;

    QSViewDelegate *viewDelegate() const;
    void setViewDelegate(platform::Delegate<QSViewDelegate> delegate);

    // Where the image is drawn; empty when nothing is.
    QRectF drawnRect() const;

    // The image size; a fixed width or height (equal minimum and maximum) alone scales it to that
    // width or height. Zero without an image.
    QSizeF intrinsicContentSize() const;
    QSize sizeHint() const override;

    QWidget *hitTest(const QPointF &point) override;
    void drawRect(const QRectF &dirtyRect) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;

protected:
    bool event(QEvent *event) override;
    // Tells the delegate; frames set by code do not.
    void resizeWithOldSuperviewSize(const QSizeF &oldSize) override;

private:
    QSizeF imageSize() const;
    void drawBorder(platform::GraphicsContext &context) const;
    void restartKeepFrontTimer();
    void bringToFront();

    QImage m_image;
    platform::fx::Image m_ciImage;
    QString m_imageName;
    QRectF m_stretchRect;
    rqs::ImagePlacement m_placement;
    bool m_hideImage = false;
    double m_opacity = 1;
    double m_borderWidth = 0;
    QBrush m_borderColor = Qt::NoBrush;
    QString m_borderColorName;
    bool m_borderedImage = false;
    QBrush m_backgroundColor = Qt::NoBrush;
    QString m_backgroundColorName;
    bool m_noHitTesting = false;
    bool m_dragsWindow = false;
    bool m_keepFront = false;
    bool m_protectTransform = true;
    QTimer m_keepFrontTimer;
    platform::WeakDelegate<QSViewDelegate, QSImageView> m_delegate;
};
