#pragma once

#include "platform/graphics/Gradient.h"
#include "platform/ui/View.h"

#include <QBrush>
#include <QImage>

// A background: a rounded rectangle filled with a colour (or a pattern fixed to a point of the
// view) and a linear or radial gradient, with a border. Interface files give the colours and the
// gradient by style-kit name. Main thread.
class QSColorView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QString colorName READ colorName WRITE setColorName)
    Q_PROPERTY(QString gradientName READ gradientName WRITE setGradientName)
    Q_PROPERTY(QString borderColorName READ borderColorName WRITE setBorderColorName)
    Q_PROPERTY(QString styleKitName READ styleKitName WRITE setStyleKitName)
    Q_PROPERTY(QString patternName READ patternName WRITE setPatternName)
    Q_PROPERTY(double borderWidth MEMBER m_borderWidth)
    Q_PROPERTY(double cornerRadius MEMBER m_cornerRadius)
    Q_PROPERTY(double angle MEMBER m_angle)
    Q_PROPERTY(QPointF center MEMBER m_center)
    Q_PROPERTY(bool radialGradient MEMBER m_radialGradient)
    Q_PROPERTY(bool gradientBelow MEMBER m_gradientBelow)
    Q_PROPERTY(bool blockInput MEMBER m_blockInput)
    Q_PROPERTY(bool dragsWindow MEMBER m_dragsWindow)
    Q_PROPERTY(QPointF patternFixPoint MEMBER m_patternFixPoint)
public:
    // Made in code, a gradient runs from the top down (angle 270).
    explicit QSColorView(QWidget *parent = nullptr);
    // Made from an interface file, from left to right (angle 0) unless the file gives an angle.
    static QSColorView *fromInterfaceFile(QWidget *parent);

    QBrush color() const;
    void setColor(const QBrush &color);
    platform::Gradient gradient() const;
    void setGradient(const platform::Gradient &gradient);
    QBrush borderColor() const;
    void setBorderColor(const QBrush &color);
    // The colour becomes a pattern of the image.
    void setPattern(const QImage &pattern);

    QString colorName() const;
    void setColorName(const QString &name);
    QString gradientName() const;
    void setGradientName(const QString &name);
    QString borderColorName() const;
    void setBorderColorName(const QString &name);
    QString patternName() const;
    void setPatternName(const QString &name);
    QString styleKitName() const;
    // Names set before resolve again against the kit.
    void setStyleKitName(const QString &name);

    void drawRect(const QRectF &dirtyRect) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;

private:
    void drawGradientIn(const QPainterPath &path) const;

    QBrush m_color = Qt::NoBrush;
    QBrush m_borderColor = Qt::NoBrush;
    platform::Gradient m_gradient;
    QString m_colorName, m_gradientName, m_borderColorName, m_patternName, m_styleKitName;
    double m_borderWidth = 0;
    double m_cornerRadius = 0;
    double m_angle = 270;
    QPointF m_center;
    bool m_radialGradient = false;
    bool m_gradientBelow = false;
    bool m_blockInput = false;
    bool m_dragsWindow = false;
    QPointF m_patternFixPoint;
};
