#include "Probes.h"

#include <QHash>
#include <QWidget>

namespace kitdrive {

namespace {

QHash<QString, Probes::Probe> &registered()
{
    static QHash<QString, Probes::Probe> probes;
    return probes;
}

QString entry(const QString &className, const QString &key) { return className + QLatin1Char('.') + key; }

} // namespace

Probes::Registration::Registration(const char *className, const char *key, Probe probe)
{
    registered().insert(entry(QLatin1String(className), QLatin1String(key)), std::move(probe));
}

std::optional<QVariant> Probes::read(QWidget *widget, const QString &key)
{
    for (const QMetaObject *meta = widget->metaObject(); meta; meta = meta->superClass()) {
        const auto probe = registered().constFind(entry(QLatin1String(meta->className()), key));
        if (probe != registered().constEnd())
            return (*probe)(widget);
    }
    return std::nullopt;
}

} // namespace kitdrive
