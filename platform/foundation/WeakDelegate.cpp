#include "platform/foundation/WeakDelegate.h"

namespace platform {

namespace {

// Filled while the program starts, before any other thread runs.
QStringList &holders()
{
    static QStringList names;
    return names;
}

} // namespace

QStringList weakDelegateHolders()
{
    QStringList names = holders();
    names.removeDuplicates();
    names.sort();
    return names;
}

void registerWeakDelegateHolder(const char *className) { holders() << QString::fromLatin1(className); }

} // namespace platform
