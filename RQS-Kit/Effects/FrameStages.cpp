#include "RQS-Kit/Effects/FrameStages.h"

#include "RQS-Kit/Effects/QSTexturizeFilter.h"

namespace rqs {

void dropStaleFrameStages(const QString &key, const QVariant &value, QSTexturizeFilter &texturize,
                          platform::fx::Image &mask, platform::fx::Image &frame, platform::fx::Image &shadow)
{
    if (key == QLatin1String("inputTextureName") || key == QLatin1String("inputColor")) {
        texturize.setValueForKey(key, value);
        frame = {};
    } else if (key == QLatin1String("inputTextureScale")) {
        frame = {};
    } else if (key == QLatin1String("inputShadowWidth")) {
        shadow = {};
    } else {
        mask = frame = shadow = {};
    }
}

} // namespace rqs
