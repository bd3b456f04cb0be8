#include "app/booklet/VXFactory.h"

namespace {

QPointer<VXFactory> &shared()
{
    static QPointer<VXFactory> factory;
    return factory;
}

} // namespace

VXFactory *VXFactory::sharedFactory() { return shared(); }

void VXFactory::setSharedFactory(VXFactory *factory) { shared() = factory; }
