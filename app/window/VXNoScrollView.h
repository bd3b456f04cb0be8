#pragma once

#include "platform/ui/View.h"

// A container over other views that takes no wheel scrolling and lets clicks on its own surface
// through to what lies beneath; its subviews are hit as usual.
class VXNoScrollView : public platform::View
{
    Q_OBJECT

public:
    explicit VXNoScrollView(QWidget *parent = nullptr);

    QWidget *hitTest(const QPointF &point) override;
    // Swallowed: neither scrolls nor goes on to the superview.
    void scrollWheel(const platform::MouseEvent &event) override;
};
