#pragma once

#include "app/printing/VXPrintAlert.h"

// Asks the print router's questions with the platform's alerts.
class VXPrintAlertAdapter : public VXPrintAlert
{
public:
    void beginSheet(const Request &request, platform::Window *window, Completion completion) override;
};
