#pragma once

#include "platform/fx/Image.h"

#include <QString>
#include <QVariant>

class QSTexturizeFilter;

namespace rqs {

// The cached stages of a framing filter (its mask, the textured frame and the inner shadow): drops
// what a change of the input makes stale, and hands texture and colour on to the texturizer.
void dropStaleFrameStages(const QString &key, const QVariant &value, QSTexturizeFilter &texturize,
                          platform::fx::Image &mask, platform::fx::Image &frame, platform::fx::Image &shadow);

} // namespace rqs
