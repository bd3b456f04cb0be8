#pragma once

#include "platform/ui/View.h"

// The shadow of the fold between the two pages of the preview, deeper on the side where more of
// the booklet lies. It lets every click through to the pages below.
class VXCenterShadow : public platform::View
{
    Q_OBJECT

public:
    explicit VXCenterShadow(QWidget *parent = nullptr);

    // Widths of the shadow either side of the fold, in points; 0 while sheet sides are shown.
    double leftWidth() const;
    void setLeftWidth(double leftWidth);
    double rightWidth() const;
    void setRightWidth(double rightWidth);

    QWidget *hitTest(const QPointF &point) override;
    void drawRect(const QRectF &dirtyRect) override;

private:
    double m_leftWidth = 0;
    double m_rightWidth = 0;
};
