#include "RQS-Kit/Effects/FrameStages.h"

#include "platform/foundation/NotificationCenter.h"

namespace rqs {

namespace {

const QString TextureName = QStringLiteral("inputTextureName");
const QString Color = QStringLiteral("inputColor");

} // namespace

FrameStages::FrameStages(QSFilter &owner)
    : m_owner(owner)
{
    texturize.setValueForKey(QStringLiteral("imageIsMask"), true);
    QObject::connect(&texturize, &platform::fx::Filter::keyValueChanged, &owner, [this](const QString &key) {
        if (key != TextureName && key != Color)
            return;
        m_takingBack = true;
        m_owner.setValueForKey(key, texturize.givenValue(key));
        m_takingBack = false;
        frame = {};
        if (key == TextureName)
            platform::NotificationCenter::defaultCenter()->post(QStringLiteral("qsfilterSettings"), &m_owner);
    });
}

void FrameStages::inputChanged(const QString &key)
{
    if (key == TextureName || key == Color) {
        if (!m_takingBack)
            texturize.setValueForKey(key, m_owner.value(key));
        frame = {};
    } else if (key == QLatin1String("inputTextureScale")) {
        frame = {};
    } else if (key == QLatin1String("inputShadowWidth")) {
        shadow = {};
    } else {
        dropAll();
    }
}

} // namespace rqs
