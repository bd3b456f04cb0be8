#include "RQS-Kit/Effects/KitFilters.h"

#include "RQS-Kit/Effects/QSArtisticExtend.h"
#include "RQS-Kit/Effects/QSBlurCompositionFilter.h"
#include "RQS-Kit/Effects/QSImageOverlayFilter.h"
#include "RQS-Kit/Effects/QSInpaintingFilter.h"
#include "RQS-Kit/Effects/QSMaskImageFilter.h"
#include "RQS-Kit/Effects/QSPictureFrameFilter.h"
#include "RQS-Kit/Effects/QSPictureShadowFilter.h"
#include "RQS-Kit/Effects/QSSimpleShadowFilter.h"
#include "RQS-Kit/Effects/QSWatermarkFilter.h"

namespace rqs {

void registerKitFilters()
{
    QSSimpleShadowFilter::registerClass();
    QSMaskImageFilter::registerClass();
    QSPictureFrameFilter::registerClass();
    QSPictureShadowFilter::registerClass();
    QSImageOverlayFilter::registerClass();
    QSInpaintingFilter::registerClass();
    QSBlurCompositionFilter::registerClass();
    QSWatermarkFilter::registerClass();
    QSArtisticExtend::registerClass();
}

} // namespace rqs
