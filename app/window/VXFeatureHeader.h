#pragma once

#include "platform/ui/View.h"

#include <QColor>

// The header bar of a settings section, drawn with the drawing kit's feature bar; an overlay
// colour tints it, keeping the bar's light and shade.
class VXFeatureHeader : public platform::View
{
    Q_OBJECT

public:
    explicit VXFeatureHeader(QWidget *parent = nullptr);

    // An invalid colour means no tint.
    QColor overlayColor() const;
    void setOverlayColor(const QColor &overlayColor);

    void drawRect(const QRectF &dirtyRect) override;

private:
    QColor m_overlayColor;
};
