#include "RQS-Kit/Effects/QSEffectChainEnd.h"

void QSEffectChainEnd::setInputImage(const platform::fx::Image &image)
{
    m_image = image;
}

void QSEffectChainEnd::removeImageInput()
{
    m_image = {};
}
