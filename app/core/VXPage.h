#pragma once

#include <QSizeF>

#include <memory>

class VXPage;
using VXPagePtr = std::shared_ptr<VXPage>;

// One input page of a booklet. Pages are shared between filters and rendered on background
// threads, so they are model objects held by shared pointer, never widgets.
class VXPage
{
public:
    VXPage();

    // The one blank filler page every filter pads with.
    static VXPagePtr emptyPage();

    bool isEmpty() const;
    void setIsEmpty(bool isEmpty);

    double ratio() const;

private:
    bool m_isEmpty = false;
};
