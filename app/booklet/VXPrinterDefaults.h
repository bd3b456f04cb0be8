#pragma once

#include <QString>
#include <QVariant>

// What the user told the application about each printer, kept in the user defaults under the
// printer's name, a point and the key ("Office Laser.manualDuplexTurnSheets"). A run without a
// printer name reads the key alone; nothing is ever written for an empty name or the "(null)"
// that a missing name used to turn into, so one printer's answers never leak to another.
class VXPrinterDefaults
{
public:
    VXPrinterDefaults() = delete;

    static inline const QString PrinterTypeKey = QStringLiteral("printerType");
    static inline const QString DidSetupKey = QStringLiteral("manualDuplexDidSetup");
    static inline const QString TurnSheetsKey = QStringLiteral("manualDuplexTurnSheets");
    static inline const QString RotateBacksidesKey = QStringLiteral("manualDuplexRotateBacksides");
    static inline const QString RevertBacksidesKey = QStringLiteral("manualDuplexRevertBacksides");
    // The "printerType" of a printer that prints one side at a time.
    static constexpr int ManualDuplexType = 2;

    // Neither empty (blanks only count as empty) nor "(null)".
    static bool isPrinterName(const QString &printerName);
    // "%1.%2" with the name, or the key alone for no printer name.
    static QString keyForPrinter(const QString &printerName, const QString &key);

    static bool boolForPrinter(const QString &printerName, const QString &key);
    static qint64 integerForPrinter(const QString &printerName, const QString &key);
    // The user said the printer prints one side at a time; false without a printer name.
    static bool isManualDuplexPrinter(const QString &printerName);
    // Nobody said yet what kind of printer it is, and the print server knows it as one whose
    // driver offers no two-sided printing: a two-sided job would waste the booklet there.
    static bool isUnclassifiedOneSidedPrinter(const QString &printerName);
    // Through the shared user-defaults controller, so that bound controls see the change. False
    // (logged) without a printer name.
    static bool setValueForPrinter(const QVariant &value, const QString &printerName, const QString &key);
};
