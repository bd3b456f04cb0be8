#pragma once

#include <QByteArray>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

namespace platform {

// The user's settings: saved values in an INI file over a registration domain of defaults that is
// answered when nothing is saved and never written. Keys are taken as they are; points, slashes and
// blanks round-trip. bool, integers, double, QString, QByteArray, QVariantMap and QVariantList read
// back with their types, also from a fresh instance. GUI thread.
//
// Every change of a key's effective value emits valueChanged(key) and posts
// DidChangeNotification on the default NotificationCenter (object: this, userInfo: "key").
class UserDefaults : public QObject
{
    Q_OBJECT
public:
    static inline const QString DidChangeNotification = QStringLiteral("UserDefaultsDidChangeNotification");

    // The user's own file, $XDG_CONFIG_HOME/Foldwise/Foldwise.conf (INI).
    explicit UserDefaults(QObject *parent = nullptr);
    // A file of the caller's choosing; tests use a temporary one.
    explicit UserDefaults(const QString &filePath, QObject *parent = nullptr);
    ~UserDefaults() override;

    static UserDefaults *standardUserDefaults();

    // Merged into the registration domain: a key registered again takes the new value.
    void registerDefaults(const QVariantMap &defaults);

    // The saved value, else the registered one, else an invalid variant.
    QVariant objectForKey(const QString &key) const;
    // Zero values when nothing is found or the value does not convert. Text such as "true", "YES",
    // "12" or "0.5" (an INI file edited by hand) reads as the number or boolean it spells.
    bool boolForKey(const QString &key) const;
    qint64 integerForKey(const QString &key) const;
    double doubleForKey(const QString &key) const;
    QString stringForKey(const QString &key) const;
    QByteArray dataForKey(const QString &key) const;
    QVariantMap dictionaryForKey(const QString &key) const;
    QVariantList arrayForKey(const QString &key) const;

    // An invalid value removes the key. False (and a logged warning) for an empty key or a value
    // that cannot be stored.
    bool setObject(const QVariant &value, const QString &key);
    bool setBool(bool value, const QString &key);
    bool setInteger(qint64 value, const QString &key);
    bool setDouble(double value, const QString &key);
    void removeObjectForKey(const QString &key);

    // The registered values overlaid with the saved ones.
    QVariantMap dictionaryRepresentation() const;

    // Writes pending changes and reads changes made by others; false when the file cannot be
    // written or read.
    bool synchronize();

    QString fileName() const;

signals:
    void valueChanged(const QString &key);

private:
    QVariant savedObject(const QString &key) const;
    void announceIfChanged(const QString &key, const QVariant &before);

    std::unique_ptr<QSettings> m_settings;
    QVariantMap m_registered;
};

} // namespace platform
