#pragma once

// The preferences window, where the per-printer print settings are edited.
class VXPreferencesWindow
{
public:
    virtual ~VXPreferencesWindow() = default;

    virtual void showWindow() = 0;
};
