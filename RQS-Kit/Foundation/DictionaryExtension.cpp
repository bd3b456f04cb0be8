#include "RQS-Kit/Foundation/DictionaryExtension.h"

namespace rqs {

QVariantMap dictionaryWidthKeys(const QVariantMap &dictionary, const QStringList &keys)
{
    QVariantMap subset;
    for (const QString &key : keys) {
        const auto found = dictionary.constFind(key);
        if (found != dictionary.cend())
            subset.insert(key, found.value());
    }
    return subset;
}

} // namespace rqs
