#pragma once

// The files the user gave the application lasting access to.
class VXBookmarks
{
public:
    virtual ~VXBookmarks() = default;

    // Starts access to every stored file at launch, or ends it at termination.
    virtual void activateBookmarks(bool start) = 0;
};
