#pragma once

class VXPageView;

// Told after the user moved, resized or zoomed the page of a page view; never after the view's
// centre or zoom was set from code, so the delegate may set them while it is told.
class VXPageViewDelegate
{
public:
    virtual ~VXPageViewDelegate() = default;

    virtual void pageViewDidChangeLayout(VXPageView *pageView) = 0;
};
