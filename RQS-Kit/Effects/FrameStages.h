#pragma once

#include "RQS-Kit/Effects/QSTexturizeFilter.h"
#include "platform/fx/Image.h"

#include <QString>

class QSFilter;

namespace rqs {

// What a framing filter (textured frame, shaped border) keeps between renders: its mask, the
// textured frame and the inner shadow, and the texturizer that fills the mask. The framing filter's
// "inputTextureName" and "inputColor" are the texturizer's: handed on when set, and taken back
// whenever the texturizer takes others (a frame brings its texture and colour, a texture its
// colour), so that what the filter holds, shows and stores is what it draws. A texture name taken
// back posts "qsfilterSettings" from the framing filter, so that its panel follows.
class FrameStages
{
public:
    explicit FrameStages(QSFilter &owner);

    // Drops what a change of the owner's input makes stale; any input without a rule of its own
    // drops every stage.
    void inputChanged(const QString &key);
    void dropAll() { mask = frame = shadow = {}; }

    QSTexturizeFilter texturize;
    platform::fx::Image mask, frame, shadow;

private:
    QSFilter &m_owner;
    bool m_takingBack = false;
};

} // namespace rqs
