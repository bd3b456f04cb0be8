#pragma once

#include "platform/ui/View.h"

#include <QBrush>
#include <QImage>

// A background tiled with an image from the top-left corner, turned about the view's origin, with
// a tint over it. Main thread.
class QSPatternView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName)
    Q_PROPERTY(QString colorName READ colorName WRITE setColorName)
    Q_PROPERTY(double rotation READ rotation WRITE setRotation)
public:
    explicit QSPatternView(QWidget *parent = nullptr);

    QImage image() const;
    // Tiles are the image's size in points.
    void setImage(const QImage &image);
    QBrush color() const;
    void setColor(const QBrush &color);
    // Degrees, counter-clockwise; drawn at the next display.
    double rotation() const;
    void setRotation(double degrees);

    QString imageName() const;
    void setImageName(const QString &name);
    QString colorName() const;
    // A colour description.
    void setColorName(const QString &name);

    void drawRect(const QRectF &dirtyRect) override;

private:
    QImage m_image;
    QBrush m_color = Qt::NoBrush;
    double m_rotation = 0;
    QString m_imageName, m_colorName;
};
