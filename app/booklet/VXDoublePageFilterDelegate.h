#pragma once

class VXDoublePageFilter;

// Told whenever a decoration filter changes what it draws, so that whatever shows it redraws.
class VXDoublePageFilterDelegate
{
public:
    virtual ~VXDoublePageFilterDelegate() = default;

    virtual void filterDidChange(VXDoublePageFilter *filter) = 0;
};
