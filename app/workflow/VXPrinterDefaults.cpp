#include "app/workflow/VXPrinterDefaults.h"

#include "platform/Log.h"
#include "platform/UserDefaults.h"
#include "platform/UserDefaultsController.h"

bool VXPrinterDefaults::isPrinterName(const QString &printerName)
{
    return !printerName.isEmpty() && printerName != QLatin1String("(null)");
}

QString VXPrinterDefaults::defaultsKey(const QString &printerName, const QString &key)
{
    return isPrinterName(printerName) ? QStringLiteral("%1.%2").arg(printerName, key) : key;
}

qint64 VXPrinterDefaults::integerForPrinter(const QString &printerName, const QString &key)
{
    return platform::UserDefaults::standardUserDefaults()->integerForKey(defaultsKey(printerName, key));
}

bool VXPrinterDefaults::boolForPrinter(const QString &printerName, const QString &key)
{
    return platform::UserDefaults::standardUserDefaults()->boolForKey(defaultsKey(printerName, key));
}

bool VXPrinterDefaults::setValueForPrinter(const QString &printerName, const QString &key, const QVariant &value)
{
    if (!isPrinterName(printerName)) {
        platform::logWarning(QStringLiteral("\"%1\" was not stored: there is no printer name to store it under").arg(key));
        return false;
    }
    return platform::UserDefaultsController::sharedUserDefaultsController()->setValueForKeyPath(
        QStringLiteral("values.") + defaultsKey(printerName, key), value);
}
