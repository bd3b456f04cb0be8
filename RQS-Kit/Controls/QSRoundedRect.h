#pragma once

#include "platform/ui/View.h"

#include <QColor>

// A translucent dark panel: a rounded rectangle filled with a gradient from its top colour to its
// bottom colour, inside a one-point outline that fades the same way. In a window that fell back from
// being clear (ClearBackground) the panel is opaque.
class QSRoundedRect : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QString topFillColorName READ topFillColorName WRITE setTopFillColorName)
    Q_PROPERTY(QString bottomFillColorName READ bottomFillColorName WRITE setBottomFillColorName)
    Q_PROPERTY(QString topStrokeColorName READ topStrokeColorName WRITE setTopStrokeColorName)
    Q_PROPERTY(QString bottomStrokeColorName READ bottomStrokeColorName WRITE setBottomStrokeColorName)
    Q_PROPERTY(double cornerRadius MEMBER m_cornerRadius)
public:
    explicit QSRoundedRect(QWidget *parent = nullptr);

    // Each takes effect at the next display.
    QColor topFillColor() const;
    void setTopFillColor(const QColor &color);
    QColor bottomFillColor() const;
    void setBottomFillColor(const QColor &color);
    QColor topStrokeColor() const;
    void setTopStrokeColor(const QColor &color);
    QColor bottomStrokeColor() const;
    void setBottomStrokeColor(const QColor &color);

    // Colour descriptions.
    QString topFillColorName() const;
    void setTopFillColorName(const QString &name);
    QString bottomFillColorName() const;
    void setBottomFillColorName(const QString &name);
    QString topStrokeColorName() const;
    void setTopStrokeColorName(const QString &name);
    QString bottomStrokeColorName() const;
    void setBottomStrokeColorName(const QString &name);

    void drawRect(const QRectF &dirtyRect) override;

private:
    static void setColor(QColor &stored, QString &name, const QColor &color);

    QColor m_topFillColor = QColor::fromRgbF(0, 0, 0, 0.4f);
    QColor m_bottomFillColor = QColor::fromRgbF(0, 0, 0, 0.2f);
    QColor m_topStrokeColor = QColor::fromRgbF(0, 0, 0, 0.5f);
    QColor m_bottomStrokeColor = QColor::fromRgbF(0, 0, 0, 0.0f);
    double m_cornerRadius = 10;
    QString m_topFillColorName, m_bottomFillColorName, m_topStrokeColorName, m_bottomStrokeColorName;
};
