#include "platform/ui/Autoresizing.h"

namespace platform {

namespace {

struct Span
{
    double origin;
    double length;
};

Span resized(Span span, double oldExtent, double newExtent, bool flexibleMin, bool sizable, bool flexibleMax)
{
    const double flexible = (sizable ? span.length : 0) + (flexibleMin ? span.origin : 0)
                            + (flexibleMax ? oldExtent - span.origin - span.length : 0);
    if (flexible <= 0)
        return span;
    const double delta = newExtent - oldExtent;
    return {flexibleMin ? span.origin + span.origin / flexible * delta : span.origin,
            sizable ? span.length + span.length / flexible * delta : span.length};
}

} // namespace

QRectF autoresizedFrame(const QRectF &frame, unsigned mask, const QSizeF &oldSuperviewSize,
                        const QSizeF &newSuperviewSize)
{
    const Span x = resized({frame.x(), frame.width()}, oldSuperviewSize.width(), newSuperviewSize.width(),
                           mask & Autoresizing::FlexibleLeftMargin, mask & Autoresizing::WidthSizable,
                           mask & Autoresizing::FlexibleRightMargin);
    const Span y = resized({frame.y(), frame.height()}, oldSuperviewSize.height(), newSuperviewSize.height(),
                           mask & Autoresizing::FlexibleBottomMargin, mask & Autoresizing::HeightSizable,
                           mask & Autoresizing::FlexibleTopMargin);
    return QRectF(x.origin, y.origin, x.length, y.length);
}

} // namespace platform
