#include "RQS-Kit/Foundation/QSLocalizeHelper.h"

#include "RQS-Kit/Foundation/StringExtension.h"

#include <QHash>

namespace {

QHash<QString, QString> &overrides()
{
    static QHash<QString, QString> table;
    return table;
}

} // namespace

void QSLocalizeHelper::setLocalizedString(const QString &text, const QString &key)
{
    if (key.isEmpty())
        return;
    if (text.isEmpty())
        overrides().remove(key);
    else
        overrides().insert(key, text);
}

QString QSLocalizeHelper::localizedString(const QString &key)
{
    return rqs::localized(overrides().value(key, key));
}
