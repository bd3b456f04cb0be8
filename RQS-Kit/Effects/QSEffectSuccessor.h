#pragma once

#include "platform/fx/Image.h"

#include <QStringList>
#include <QVariantMap>

// What an effect hands its results to: the next effect of a chain, or whatever shows or keeps the
// chain's last image.
class QSEffectSuccessor
{
public:
    virtual ~QSEffectSuccessor() = default;

    virtual void setInputImage(const platform::fx::Image &image) = 0;
    virtual void setGlobalSettings(const QVariantMap &settings) = 0;
    virtual void removeImageInput() = 0;
    virtual void addResourcesToArray(QStringList &resources) const = 0;
};
