#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {
class Window;
} // namespace platform

// How the printing code asks the user: one alert, shown as a sheet on a window or
// application-modal without one. Its buttons answer 1000, 1001, … in the order given; it may carry
// a check box ("do not show again" or "remember") and a pop-up of choices. It maps onto the
// platform's alert with a suppression button and an accessory pop-up. The completion runs once,
// after the alert has gone.
class VXPrintAlert
{
public:
    static constexpr int FirstButtonReturn = 1000;

    struct Request
    {
        QString messageText;
        QString informativeText;
        QStringList buttonTitles;
        bool showsSuppressionButton = false;
        bool suppressionButtonTicked = false;
        // A pop-up of these, with selectedChoice chosen, when not empty.
        QStringList choices;
        QString selectedChoice;
    };

    struct Response
    {
        int returnCode = FirstButtonReturn;
        bool suppressionButtonTicked = false;
        // The pop-up's chosen entry.
        QString choice;
    };

    using Completion = std::function<void(const Response &response)>;

    virtual ~VXPrintAlert() = default;

    virtual void beginSheet(const Request &request, platform::Window *window, Completion completion) = 0;
};
