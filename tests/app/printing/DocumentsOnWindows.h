#pragma once

#include "app/booklet/Document.h"
#include "app/booklet/VXHelpDescription.h"
#include "app/printing/VXPrintHelper.h"
#include "app/window/VXDocumentWindowController.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Window.h"
#include "booklet/BookletExport.h"

#include "support/PdfFixture.h"
#include "support/ShownWindow.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QMessageBox>

// A document of eight numbered pages in a window of its own, from a file named uniquely so that
// its jobs are told apart by their title.
struct DocumentOnWindow
{
    DocumentOnWindow(const QString &folder, const QString &name)
        : title(QFileInfo(folder).fileName() + name)
    {
        doc.openURL(QUrl::fromLocalFile(PdfFixture::write(folder, title, PdfFixture::pages(BookletExport::portraitPages(8)))),
                    Document::PdfType);
        controller = VXDocumentWindowController::makeWindowController(&doc);
        doc.showWindows();
    }
    ~DocumentOnWindow() { doc.close(); }
    platform::Window *window() const { return controller ? controller->window() : nullptr; }

    QString title;
    Document doc;
    VXDocumentWindowController *controller = nullptr;
};

// No help opens by itself over the windows, and no binding advice comes before a two-sided print.
inline void quietHelpAndBindingAdvice()
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    for (const VXHelpDescription::Entry &entry : VXHelpDescription::entries())
        defaults->setBool(false, VXHelpDescription::autoShowKey(entry.name));
    defaults->setBool(false, VXPrintHelper::AutoShowUpsideDownPrintKey);
}

inline void forgetHelpAndBindingAdvice()
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    for (const VXHelpDescription::Entry &entry : VXHelpDescription::entries())
        defaults->removeObjectForKey(VXHelpDescription::autoShowKey(entry.name));
    defaults->removeObjectForKey(VXPrintHelper::AutoShowUpsideDownPrintKey);
}

// The alert of that message shown on the window, once it shows; null when none comes.
inline QMessageBox *alertOn(QWidget *window, const QString &message, int milliseconds = 20000)
{
    return shownWindow<QMessageBox>([&](QMessageBox *box) { return box->parentWidget() == window && box->text() == message; },
                                    milliseconds);
}

// The alert's button of that title; null when it has none.
inline QAbstractButton *buttonTitled(QMessageBox *box, const QString &title)
{
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == title)
            return button;
    }
    return nullptr;
}
