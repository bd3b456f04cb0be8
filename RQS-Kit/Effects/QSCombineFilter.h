#pragma once

#include "RQS-Kit/Effects/QSFilter.h"

// Two images, each weighted by its intensity (its premultiplied pixel scaled), the image composited
// over the background by one of the combinable modes of BlendFormulas.h, over the background's
// extent. No defaults: the user sets all five inputs.
class QSCombineFilter : public QSFilter
{
    Q_OBJECT

public:
    QSCombineFilter();

    // "sourceOver", "multiply" and "negativeMultiply", exact letter case.
    static bool isCombinableBlendMode(const QString &name);

    // Without a background, null; without an image, the background as it is; each with a
    // "Warning: " line. Null for a mode that is not combinable.
    platform::fx::Image outputImage() const override;

private:
    static void initializeClass();
};
