#pragma once

class VXPagesController;

// Told after a drop changed the page list: rows moved within it, or pages dropped into it, so that
// the booklet takes the pages in their new order.
class VXPagesControllerDelegate
{
public:
    virtual ~VXPagesControllerDelegate() = default;

    virtual void pagesControllerChangedOrder(VXPagesController *controller) = 0;
};
