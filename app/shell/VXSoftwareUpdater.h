#pragma once

// Finds and installs newer releases from the update feed named by the user default "SUFeedURL".
class VXSoftwareUpdater
{
public:
    virtual ~VXSoftwareUpdater() = default;

    // Quietly; the user hears of it only when there is something to install.
    virtual void checkForUpdatesInBackground() = 0;
    virtual void checkForUpdates() = 0;
};
