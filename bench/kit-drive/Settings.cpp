#include "Settings.h"

#include <QHash>
#include <QWidget>

namespace kitdrive {

namespace {

QHash<QString, Settings::Setting> &registered()
{
    static QHash<QString, Settings::Setting> settings;
    return settings;
}

QString entry(const QString &className, const QString &key) { return className + QLatin1Char('.') + key; }

} // namespace

Settings::Registration::Registration(const char *className, const char *key, Setting setting)
{
    registered().insert(entry(QLatin1String(className), QLatin1String(key)), std::move(setting));
}

std::optional<bool> Settings::apply(QWidget *widget, const QString &key, const QString &value)
{
    for (const QMetaObject *meta = widget->metaObject(); meta; meta = meta->superClass()) {
        const auto setting = registered().constFind(entry(QLatin1String(meta->className()), key));
        if (setting != registered().constEnd())
            return (*setting)(widget, value);
    }
    return std::nullopt;
}

} // namespace kitdrive
