#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/DoubleValue.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/SettingsCodec.h"

#include <QFile>
#include <QStandardPaths>

#include <cmath>

namespace platform {

namespace {

// A number spelt as text; integers first so that large values keep every digit.
QVariant numberFromText(const QString &text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    const qlonglong integer = trimmed.toLongLong(&ok);
    if (ok)
        return integer;
    const double real = trimmed.toDouble(&ok);
    if (ok && std::isfinite(real))
        return real;
    return QVariant();
}

QVariant numberFrom(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    if (isNumber(value))
        return value;
    if (value.typeId() == QMetaType::QString)
        return numberFromText(value.toString());
    return QVariant();
}

} // namespace

// QSettings would name an INI file of the user scope "Foldwise.ini"; the file is "Foldwise.conf".
UserDefaults::UserDefaults(QObject *parent)
    : UserDefaults(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                       + QStringLiteral("/Foldwise/Foldwise.conf"),
                   parent)
{
}

UserDefaults::UserDefaults(const QString &filePath, QObject *parent)
    : QObject(parent), m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
}

UserDefaults::~UserDefaults() = default;

UserDefaults *UserDefaults::standardUserDefaults()
{
    static UserDefaults defaults;
    return &defaults;
}

void UserDefaults::registerDefaults(const QVariantMap &defaults)
{
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
        const QVariant before = objectForKey(it.key());
        m_registered.insert(it.key(), it.value());
        announceIfChanged(it.key(), before);
    }
}

QVariant UserDefaults::savedObject(const QString &key) const
{
    return SettingsCodec::decoded(m_settings->value(SettingsCodec::escapedKey(key)));
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    if (key.isEmpty())
        return QVariant();
    const QVariant saved = savedObject(key);
    if (saved.isValid())
        return saved;
    return m_registered.value(key);
}

bool UserDefaults::boolForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0)
            return true;
    }
    const QVariant number = numberFrom(value);
    return number.isValid() && number.toDouble() != 0.0;
}

qint64 UserDefaults::integerForKey(const QString &key) const
{
    const QVariant number = numberFrom(objectForKey(key));
    if (number.typeId() == QMetaType::Double || number.typeId() == QMetaType::Float) {
        const double real = number.toDouble();
        // Out of range or not a number has no integer; zero as for anything else unreadable.
        if (!std::isfinite(real) || std::fabs(real) >= 9.2e18)
            return 0;
        return qint64(real);
    }
    return number.isValid() ? number.toLongLong() : 0;
}

double UserDefaults::doubleForKey(const QString &key) const
{
    const QVariant number = numberFrom(objectForKey(key));
    return number.isValid() ? number.toDouble() : 0.0;
}

QString UserDefaults::stringForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QString || isNumber(value))
        return value.toString();
    return QString();
}

QByteArray UserDefaults::dataForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

QVariantMap UserDefaults::dictionaryForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}

QVariantList UserDefaults::arrayForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList)
        return value.toList();
    return QVariantList();
}

bool UserDefaults::setObject(const QVariant &value, const QString &key)
{
    if (key.isEmpty()) {
        logWarning(QStringLiteral("A user default without a key was not saved"));
        return false;
    }
    if (!value.isValid()) {
        removeObjectForKey(key);
        return true;
    }
    const QVariant stored = SettingsCodec::encoded(value);
    if (!stored.isValid()) {
        logWarning(QStringLiteral("User default \"%1\" was not saved: values of type %2 cannot be stored")
                       .arg(key, QString::fromLatin1(value.metaType().name())));
        return false;
    }
    const QVariant before = objectForKey(key);
    m_settings->setValue(SettingsCodec::escapedKey(key), stored);
    announceIfChanged(key, before);
    return true;
}

bool UserDefaults::setBool(bool value, const QString &key) { return setObject(value, key); }

bool UserDefaults::setInteger(qint64 value, const QString &key) { return setObject(value, key); }

bool UserDefaults::setDouble(double value, const QString &key) { return setObject(value, key); }

void UserDefaults::removeObjectForKey(const QString &key)
{
    if (key.isEmpty())
        return;
    const QVariant before = objectForKey(key);
    m_settings->remove(SettingsCodec::escapedKey(key));
    announceIfChanged(key, before);
}

QVariantMap UserDefaults::dictionaryRepresentation() const
{
    QVariantMap result = m_registered;
    const QStringList stored = m_settings->allKeys();
    for (const QString &storedKey : stored)
        result.insert(SettingsCodec::unescapedKey(storedKey), SettingsCodec::decoded(m_settings->value(storedKey)));
    return result;
}

namespace {

// QSettings tells no reason why it could not write; writing a file of a page beside it finds the
// system's (a folder that cannot be made or written, a full disk).
QString reasonNothingCanBeWrittenBeside(const QString &filePath)
{
    const QString probe = filePath + QStringLiteral(".probe");
    QString reason;
    if (AtomicFileWriter::write(probe, QByteArray(4096, '\0'), &reason)) {
        QFile::remove(probe);
        return QStringLiteral("the system gave no reason");
    }
    return reason;
}

} // namespace

bool UserDefaults::synchronize()
{
    m_settings->sync();
    switch (m_settings->status()) {
    case QSettings::NoError:
        return true;
    case QSettings::FormatError:
        logError(QStringLiteral("Could not save the user defaults to %1: the file there cannot be read as settings")
                     .arg(m_settings->fileName()));
        return false;
    case QSettings::AccessError:
        break;
    }
    logError(QStringLiteral("Could not save the user defaults to %1: %2")
                 .arg(m_settings->fileName(), reasonNothingCanBeWrittenBeside(m_settings->fileName())));
    return false;
}

QString UserDefaults::fileName() const { return m_settings->fileName(); }

void UserDefaults::announceIfChanged(const QString &key, const QVariant &before)
{
    const QVariant after = objectForKey(key);
    if (before == after && before.typeId() == after.typeId())
        return;
    emit valueChanged(key);
    NotificationCenter::defaultCenter()->post(DidChangeNotification, this, {{QStringLiteral("key"), key}});
}

} // namespace platform
