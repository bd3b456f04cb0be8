#pragma once

// Offers to move the application to where the system keeps applications, at start-up.
class VXApplicationMover
{
public:
    virtual ~VXApplicationMover() = default;

    virtual void moveToApplicationsFolderIfNecessary() = 0;
};
