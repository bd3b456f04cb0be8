#include "RQS-Kit/Effects/KitFilters.h"

#include "RQS-Kit/Effects/QSAdjustableBlendFilter.h"
#include "RQS-Kit/Effects/QSAffineTransformFilter.h"
#include "RQS-Kit/Effects/QSArtisticExtend.h"
#include "RQS-Kit/Effects/QSBlendWithMaskFilter.h"
#include "RQS-Kit/Effects/QSBlurCompositionFilter.h"
#include "RQS-Kit/Effects/QSColorMultiplyFilter.h"
#include "RQS-Kit/Effects/QSCombineFilter.h"
#include "RQS-Kit/Effects/QSCombineMaskFilter.h"
#include "RQS-Kit/Effects/QSDimmedBWFilter.h"
#include "RQS-Kit/Effects/QSGaussianBlurFilter.h"
#include "RQS-Kit/Effects/QSGradientMapFilter.h"
#include "RQS-Kit/Effects/QSGradientMultiplyFilter.h"
#include "RQS-Kit/Effects/QSImageOverlayFilter.h"
#include "RQS-Kit/Effects/QSInpaintingFilter.h"
#include "RQS-Kit/Effects/QSKeepColorFilter.h"
#include "RQS-Kit/Effects/QSMaskImageFilter.h"
#include "RQS-Kit/Effects/QSPictureFrameFilter.h"
#include "RQS-Kit/Effects/QSPictureShadowFilter.h"
#include "RQS-Kit/Effects/QSReflectionFilter.h"
#include "RQS-Kit/Effects/QSReplaceColorFilter.h"
#include "RQS-Kit/Effects/QSRotateColorFilter.h"
#include "RQS-Kit/Effects/QSSRGBConversionFilter.h"
#include "RQS-Kit/Effects/QSShapedBorderFilter.h"
#include "RQS-Kit/Effects/QSSimpleShadowFilter.h"
#include "RQS-Kit/Effects/QSTexturedFrameFilter.h"
#include "RQS-Kit/Effects/QSTexturizeFilter.h"
#include "RQS-Kit/Effects/QSWatermarkFilter.h"

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
        QSSimpleShadowFilter::registerClass();
        QSMaskImageFilter::registerClass();
        QSPictureFrameFilter::registerClass();
        QSPictureShadowFilter::registerClass();
        QSImageOverlayFilter::registerClass();
        QSInpaintingFilter::registerClass();
        QSBlurCompositionFilter::registerClass();
        QSWatermarkFilter::registerClass();
        QSArtisticExtend::registerClass();
        QSTexturizeFilter::registerClass();
        QSTexturedFrameFilter::registerClass();
        QSShapedBorderFilter::registerClass();
        QSFilter::registerFilterClass<QSAdjustableBlendFilter>();
        QSFilter::registerFilterClass<QSBlendWithMaskFilter>();
        QSFilter::registerFilterClass<QSCombineFilter>();
        QSFilter::registerFilterClass<QSCombineMaskFilter>();
    });
}

} // namespace rqs
