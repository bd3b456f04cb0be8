#include "RQS-Kit/Effects/KitFilters.h"

#include "RQS-Kit/Effects/QSAffineTransformFilter.h"
#include "RQS-Kit/Effects/QSColorMultiplyFilter.h"
#include "RQS-Kit/Effects/QSDimmedBWFilter.h"
#include "RQS-Kit/Effects/QSGaussianBlurFilter.h"
#include "RQS-Kit/Effects/QSGradientMapFilter.h"
#include "RQS-Kit/Effects/QSGradientMultiplyFilter.h"
#include "RQS-Kit/Effects/QSKeepColorFilter.h"
#include "RQS-Kit/Effects/QSReflectionFilter.h"
#include "RQS-Kit/Effects/QSReplaceColorFilter.h"
#include "RQS-Kit/Effects/QSRotateColorFilter.h"
#include "RQS-Kit/Effects/QSSRGBConversionFilter.h"

#include <mutex>

namespace rqs {

void registerKitFilters()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QSAffineTransformFilter::registerClass();
        QSGaussianBlurFilter::registerClass();
        QSReflectionFilter::registerClass();
        QSDimmedBWFilter::registerClass();
        QSKeepColorFilter::registerClass();
        QSReplaceColorFilter::registerClass();
        QSRotateColorFilter::registerClass();
        QSSRGBConversionFilter::registerClass();
        QSColorMultiplyFilter::registerClass();
        QSGradientMapFilter::registerClass();
        QSGradientMultiplyFilter::registerClass();
    });
}

} // namespace rqs
