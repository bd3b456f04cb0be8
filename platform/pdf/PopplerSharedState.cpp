#include "platform/pdf/PopplerSharedState.h"

#include <GfxState.h>
#include <Page.h>

#include <mutex>

namespace platform {

void makePopplerSharedState()
{
    static std::once_flag made;
    std::call_once(made, [] {
        const PDFRectangle page(0, 0, 1, 1);
        const GfxState state(72, 72, &page, 0, true);
    });
}

} // namespace platform
