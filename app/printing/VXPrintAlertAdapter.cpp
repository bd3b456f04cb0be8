#include "app/printing/VXPrintAlertAdapter.h"

#include "platform/ui/Alert.h"

void VXPrintAlertAdapter::beginSheet(const Request &request, platform::Window *window, Completion completion)
{
    platform::Alert alert;
    alert.setMessageText(request.messageText);
    alert.setInformativeText(request.informativeText);
    for (const QString &title : request.buttonTitles)
        alert.addButtonWithTitle(title);
    alert.setShowsSuppressionButton(request.showsSuppressionButton);
    alert.setSuppressionButtonTicked(request.suppressionButtonTicked);
    alert.setChoices(request.choices);
    alert.setSelectedChoice(request.selectedChoice);
    alert.beginSheetModalForWindow(window, platform::Alert::AnswerCompletion([completion](const platform::Alert::Answer &answer) {
                                       if (completion)
                                           completion({answer.returnCode, answer.suppressionButtonTicked, answer.selectedChoice});
                                   }));
}
