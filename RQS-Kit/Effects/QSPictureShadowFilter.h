#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

#include <QSizeF>

// Lays a named shadow picture ("inputShadowName") behind the picture.
class QSPictureShadowFilter : public QSFilter
{
    Q_OBJECT

public:
    QSPictureShadowFilter();
    static void registerClass();

    // Where the picture's lower-left corner lies inside the shadow picture.
    QSizeF shadowMargin() const { return m_shadowMargin; }
    platform::fx::Image shadowImage() const { return m_shadowImage; }

    platform::fx::Image outputImage() const override;

private:
    void loadShadow();

    QSizeF m_shadowMargin;
    platform::fx::Image m_shadowImage;
    bool m_loading = false;
};
