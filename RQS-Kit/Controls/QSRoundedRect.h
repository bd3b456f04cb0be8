#pragma once

#include "platform/ui/View.h"

#include <QColor>

// A translucent dark panel: a rounded rectangle filled with a gradient from its top colour to its
// bottom colour, inside a one-point outline that fades the same way.
class QSRoundedRect : public platform::View
{
    Q_OBJECT
public:
    explicit QSRoundedRect(QWidget *parent = nullptr);

    void drawRect(const QRectF &dirtyRect) override;

private:
    QColor m_topFillColor = QColor::fromRgbF(0, 0, 0, 0.4f);
    QColor m_bottomFillColor = QColor::fromRgbF(0, 0, 0, 0.2f);
    QColor m_topStrokeColor = QColor::fromRgbF(0, 0, 0, 0.5f);
    QColor m_bottomStrokeColor = QColor::fromRgbF(0, 0, 0, 0.0f);
    double m_cornerRadius = 10;
};
