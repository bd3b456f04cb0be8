#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

namespace platform {

class UserDefaults;

// What bound controls talk to: the key path "values.KEY" is the user default KEY. Everything after
// "values." is the key, points included, so "values.HP.LaserJet.printerType" and the key
// "HP.LaserJet.printerType" are the same stored value. Changes of a default, however they are
// made, are announced as keyValueChanged("values.KEY"), so KeyValue::observe and KeyValue::bind
// work on these paths.
class UserDefaultsController : public QObject
{
    Q_OBJECT
public:
    explicit UserDefaultsController(UserDefaults *defaults, QObject *parent = nullptr);

    // Over UserDefaults::standardUserDefaults().
    static UserDefaultsController *sharedUserDefaultsController();

    UserDefaults *defaults() const;

    // An invalid value (with a logged warning) for a path that does not begin with "values.".
    QVariant valueForKeyPath(const QString &keyPath) const;
    // An invalid value removes the default.
    bool setValueForKeyPath(const QString &keyPath, const QVariant &value);

    // The KeyValue hooks.
    Q_INVOKABLE QVariant valueForKey(const QString &keyPath);
    Q_INVOKABLE bool setValueForKey(const QString &keyPath, const QVariant &value);

signals:
    void keyValueChanged(const QString &keyPath);

private:
    QPointer<UserDefaults> m_defaults;
};

} // namespace platform
