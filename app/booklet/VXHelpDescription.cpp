#include "app/booklet/VXHelpDescription.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"

#include <QVariantMap>

namespace {

QList<VXHelpDescription::Entry> readEntries()
{
    const QString path = platform::Bundle::mainBundle()->pathForResource(QStringLiteral("HelpDescription"), QStringLiteral("plist"));
    QString error;
    const QVariant list = platform::PropertyList::read(path, &error);
    if (list.typeId() != QMetaType::QVariantList) {
        platform::logWarning(QStringLiteral("No help entries, because \"HelpDescription\" is no list of entries %1").arg(error));
        return {};
    }
    QList<VXHelpDescription::Entry> entries;
    for (const QVariant &item : list.toList()) {
        const QVariantMap entry = item.toMap();
        entries.append({entry.value(QStringLiteral("Name")).toString(), entry.value(QStringLiteral("HasHelp")).toBool(),
                        entry.value(QStringLiteral("HasAutohelp")).toBool()});
    }
    return entries;
}

} // namespace

const QList<VXHelpDescription::Entry> &VXHelpDescription::entries()
{
    static const QList<Entry> list = readEntries();
    return list;
}

const VXHelpDescription::Entry *VXHelpDescription::entryAtIndex(int index)
{
    if (index < 0 || index >= entries().size()) {
        platform::logWarning(QStringLiteral("No help entry %1; the interface and \"HelpDescription\" disagree").arg(index));
        return nullptr;
    }
    return &entries()[index];
}

int VXHelpDescription::indexOfName(const QString &name)
{
    for (int index = 0; index < entries().size(); ++index) {
        if (entries()[index].name == name)
            return index;
    }
    return -1;
}

QString VXHelpDescription::autoShowKey(const QString &name) { return QStringLiteral("AutoShow-") + name; }

void VXHelpDescription::registerDefaults()
{
    QVariantMap defaults;
    for (const Entry &entry : entries())
        defaults.insert(autoShowKey(entry.name), true);
    platform::UserDefaults::standardUserDefaults()->registerDefaults(defaults);
}
