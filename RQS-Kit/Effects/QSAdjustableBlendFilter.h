#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// An image over a background by one of the fifteen blend modes of BlendFormulas.h at an
// intensity; optionally swapped, both stretched onto the output rectangle, which is the image's
// extent ("inputUseExtent" 0), the background's (1) or their union (any other value).
class QSAdjustableBlendFilter : public QSFilter
{
    Q_OBJECT

public:
    QSAdjustableBlendFilter();

    // The fifteen blend names, in the kit's order.
    static QStringList blendModeNames();
    // The name when the class has a kernel of that name (exact letter case), else "sourceOver".
    static QString verifiedBlendMode(const QString &name);

    // Without both images, the image as it is (null when it is null).
    platform::fx::Image outputImage() const override;

private:
    static void initializeClass();
};
