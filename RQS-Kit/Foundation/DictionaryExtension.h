#pragma once

#include <QStringList>
#include <QVariantMap>

namespace rqs {

// The entries of the keys the dictionary has a value for; other keys are left out.
QVariantMap dictionaryWidthKeys(const QVariantMap &dictionary, const QStringList &keys);

} // namespace rqs
