#include "app/booklet/VXPrinterDefaults.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/UserDefaultsController.h"
#include "platform/printing/PrinterCache.h"

bool VXPrinterDefaults::isPrinterName(const QString &printerName)
{
    const QString trimmed = printerName.trimmed();
    return !trimmed.isEmpty() && trimmed != QLatin1String("(null)");
}

QString VXPrinterDefaults::keyForPrinter(const QString &printerName, const QString &key)
{
    return isPrinterName(printerName) ? QStringLiteral("%1.%2").arg(printerName, key) : key;
}

bool VXPrinterDefaults::boolForPrinter(const QString &printerName, const QString &key)
{
    return platform::UserDefaults::standardUserDefaults()->boolForKey(keyForPrinter(printerName, key));
}

qint64 VXPrinterDefaults::integerForPrinter(const QString &printerName, const QString &key)
{
    return platform::UserDefaults::standardUserDefaults()->integerForKey(keyForPrinter(printerName, key));
}

bool VXPrinterDefaults::isManualDuplexPrinter(const QString &printerName)
{
    return isPrinterName(printerName) && integerForPrinter(printerName, PrinterTypeKey) == ManualDuplexType;
}

bool VXPrinterDefaults::isUnclassifiedOneSidedPrinter(const QString &printerName)
{
    const platform::PrinterCache *printers = platform::PrinterCache::shared();
    return isPrinterName(printerName) && integerForPrinter(printerName, PrinterTypeKey) == 0
        && !printers->printerNamed(printerName).isEmpty() && !printers->printsBothSides(printerName);
}

bool VXPrinterDefaults::setValueForPrinter(const QVariant &value, const QString &printerName, const QString &key)
{
    if (!isPrinterName(printerName)) {
        platform::logWarning(QStringLiteral("Could not store \"%1\" for a printer, because no printer was named (\"%2\")")
                                 .arg(key, printerName));
        return false;
    }
    return platform::UserDefaultsController::sharedUserDefaultsController()->setValueForKeyPath(
        QStringLiteral("values.") + keyForPrinter(printerName, key), value);
}
