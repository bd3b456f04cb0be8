#pragma once

#include "app/booklet/VXPrinterDefaults.h"
#include "platform/foundation/UserDefaults.h"

// Forgets what the user told about the private server's printers, so that each case starts as a
// user who never set one up.
inline void forgetPrinterAnswers()
{
    for (const QString &printer : {QStringLiteral("Simplex_Printer"), QStringLiteral("Duplex_Printer")})
        for (const QString &key : {VXPrinterDefaults::PrinterTypeKey, VXPrinterDefaults::DidSetupKey, VXPrinterDefaults::TurnSheetsKey,
                                   VXPrinterDefaults::RotateBacksidesKey, VXPrinterDefaults::RevertBacksidesKey})
            platform::UserDefaults::standardUserDefaults()->removeObjectForKey(VXPrinterDefaults::keyForPrinter(printer, key));
}
