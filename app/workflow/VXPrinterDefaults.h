#pragma once

#include <QString>
#include <QVariant>

// The user defaults kept per printer, under the printer's name and the key joined by a point.
// Values are written through the shared user-defaults controller, so that bound controls follow.
// There is no printer without a name: nothing is ever stored under an empty name or "(null)",
// and reads without a name read the key alone.
class VXPrinterDefaults
{
public:
    // 0 not chosen, 1 automatic duplex, 2 manual duplex.
    static inline const QString PrinterTypeKey = QStringLiteral("printerType");
    static inline const QString ManualDuplexDidSetupKey = QStringLiteral("manualDuplexDidSetup");
    static inline const QString ManualDuplexTurnSheetsKey = QStringLiteral("manualDuplexTurnSheets");
    static inline const QString ManualDuplexRotateBacksidesKey = QStringLiteral("manualDuplexRotateBacksides");
    static inline const QString ManualDuplexRevertBacksidesKey = QStringLiteral("manualDuplexRevertBacksides");

    // False for an empty name and for "(null)".
    static bool isPrinterName(const QString &printerName);
    // "printer.key"; the key alone without a printer name.
    static QString defaultsKey(const QString &printerName, const QString &key);

    static qint64 integerForPrinter(const QString &printerName, const QString &key);
    static bool boolForPrinter(const QString &printerName, const QString &key);
    // False, with a logged warning, without a printer name.
    static bool setValueForPrinter(const QString &printerName, const QString &key, const QVariant &value);

    VXPrinterDefaults() = delete;
};
