#include "RQS-Kit/Effects/KitFilters.h"

#include "RQS-Kit/Effects/QSAdjustableBlendFilter.h"
#include "RQS-Kit/Effects/QSBlendWithMaskFilter.h"
#include "RQS-Kit/Effects/QSCombineFilter.h"
#include "RQS-Kit/Effects/QSCombineMaskFilter.h"

#include <mutex>

namespace rqs {

void registerKitFilters()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QSFilter::registerFilterClass<QSAdjustableBlendFilter>();
        QSFilter::registerFilterClass<QSBlendWithMaskFilter>();
        QSFilter::registerFilterClass<QSCombineFilter>();
        QSFilter::registerFilterClass<QSCombineMaskFilter>();
    });
}

} // namespace rqs
