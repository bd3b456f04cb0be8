#pragma once

#include "platform/ui/View.h"

// Dims the shown image outside a crop rectangle that keeps a fixed width-to-height ratio and stays
// inside the image; the user moves the crop by dragging anywhere on the image. Main thread.
class QSCropView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(double activeAreaRatio READ activeAreaRatio WRITE setActiveAreaRatio)
    Q_PROPERTY(double cropRatio READ cropRatio WRITE setCropRatio)
    Q_PROPERTY(QRectF cropRect READ cropRect WRITE setCropRect)
    Q_PROPERTY(QRectF activeArea READ activeArea)
    Q_PROPERTY(bool flexibleSize READ flexibleSize WRITE setFlexibleSize)
public:
    explicit QSCropView(QWidget *parent = nullptr);
    ~QSCropView() override;

    // The shown image's width / height; until it is positive and finite there is no active area
    // and the crop is left alone.
    double activeAreaRatio() const;
    void setActiveAreaRatio(double ratio);
    // The crop's width / height in view points; ignored unless positive and finite.
    double cropRatio() const;
    void setCropRatio(double ratio);
    // Fractions of the active area.
    QRectF cropRect() const;
    void setCropRect(const QRectF &rect);
    // Where the image is shown: the largest rectangle of activeAreaRatio centred in the bounds.
    QRectF activeArea() const;
    QRectF cropRectInView() const;
    bool flexibleSize() const;
    void setFlexibleSize(bool flexible);

    // Fits the crop to the ratio around the unit centre, pushed back inside the image.
    void updateCropRectForCenter(const QPointF &centre);

    void drawRect(const QRectF &dirtyRect) override;
    void updateTrackingAreas() override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateActiveArea();
    bool hasGeometry() const;

    QRectF m_cropRect{0, 0, 1, 1};
    double m_cropRatio = 1.0;
    double m_activeAreaRatio = 0;
    QRectF m_activeArea;
    bool m_flexibleSize = false;
    bool m_isDragging = false;
    QPointF m_dragLocation;
    QPointF m_dragCenter;
    int m_trackingArea = 0;
};
