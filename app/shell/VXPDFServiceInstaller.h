#pragma once

// Puts the application into the PDF menu of other programs' print dialogs.
class VXPDFServiceInstaller
{
public:
    virtual ~VXPDFServiceInstaller() = default;

    // Shows the user a service an older release installed for every user, so that it can be
    // removed; false when there is none.
    virtual bool revealOldServiceWorkflow() = 0;
    // Asks, then installs the service for this user.
    virtual void addPDFService() = 0;
    // From the first question to the last answer: the application keeps running meanwhile.
    virtual bool isInstalling() const = 0;
};
