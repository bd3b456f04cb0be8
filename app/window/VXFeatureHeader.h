#pragma once

#include "platform/ui/View.h"

#include <QColor>

#include <memory>

namespace platform {
class SizeConstraint;
}

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

    // The constraint on the height of the section the header heads; the header keeps it, and the
    // copies that toggling puts in its place.
    std::shared_ptr<platform::SizeConstraint> heightConstraint() const;
    void setHeightConstraint(std::shared_ptr<platform::SizeConstraint> heightConstraint);
    // Toggles the section for a click: its height constraint is replaced by a copy that is required
    // when it was nearly ignored, and nearly ignored (the section takes its own height) otherwise.
    void mouseUpForLater(int clickCount);

    void drawRect(const QRectF &dirtyRect) override;

private:
    QColor m_overlayColor;
    std::shared_ptr<platform::SizeConstraint> m_heightConstraint;
};
