#include "platform/foundation/UserDefaultsController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

namespace platform {

namespace {

const QString valuesPrefix = QStringLiteral("values.");

// The defaults key of a "values.KEY" path, or a null string after a warning.
QString defaultsKey(const QString &keyPath)
{
    if (keyPath.startsWith(valuesPrefix) && keyPath.size() > valuesPrefix.size())
        return keyPath.mid(valuesPrefix.size());
    logWarning(QStringLiteral("Key path \"%1\" does not name a user default").arg(keyPath));
    return QString();
}

} // namespace

UserDefaultsController::UserDefaultsController(UserDefaults *defaults, QObject *parent)
    : QObject(parent), m_defaults(defaults)
{
    if (defaults) {
        connect(defaults, &UserDefaults::valueChanged, this,
                [this](const QString &key) { emit keyValueChanged(valuesPrefix + key); });
    }
}

UserDefaultsController *UserDefaultsController::sharedUserDefaultsController()
{
    static UserDefaultsController controller(UserDefaults::standardUserDefaults());
    return &controller;
}

UserDefaults *UserDefaultsController::defaults() const { return m_defaults; }

QVariant UserDefaultsController::valueForKeyPath(const QString &keyPath) const
{
    const QString key = defaultsKey(keyPath);
    if (key.isNull() || !m_defaults)
        return QVariant();
    return m_defaults->objectForKey(key);
}

bool UserDefaultsController::setValueForKeyPath(const QString &keyPath, const QVariant &value)
{
    const QString key = defaultsKey(keyPath);
    if (key.isNull())
        return false;
    if (!m_defaults) {
        logWarning(QStringLiteral("User default \"%1\" was not set: the defaults are gone").arg(key));
        return false;
    }
    return m_defaults->setObject(value, key);
}

QVariant UserDefaultsController::valueForKey(const QString &keyPath) { return valueForKeyPath(keyPath); }

bool UserDefaultsController::setValueForKey(const QString &keyPath, const QVariant &value)
{
    return setValueForKeyPath(keyPath, value);
}

} // namespace platform
