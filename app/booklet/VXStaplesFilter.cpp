#include "app/booklet/VXStaplesFilter.h"

#include "app/booklet/VXOutputFilter.h"
#include "app/booklet/VXStyleKit.h"
#include "platform/foundation/Log.h"

VXStaplesFilter::VXStaplesFilter(QObject *parent)
    : VXDoublePageFilter(parent)
{
}

quint64 VXStaplesFilter::numberOfStaples() const { return m_numberOfStaples; }

void VXStaplesFilter::setNumberOfStaples(quint64 numberOfStaples)
{
    if (numberOfStaples > MaximumNumberOfStaples) {
        platform::logWarning(QStringLiteral("%1 staples are more than a stapler holds; %2 are shown")
                                 .arg(numberOfStaples)
                                 .arg(MaximumNumberOfStaples));
        numberOfStaples = MaximumNumberOfStaples;
    }
    m_numberOfStaples = numberOfStaples;
    emit numberOfStaplesChanged(numberOfStaples);
    tellDelegate();
}

QRectF VXStaplesFilter::markFrame(quint64 k, const QRectF &rect, double fraction) const
{
    const double centreY = rect.y() + (double(k) - 0.5) * rect.height() / double(m_numberOfStaples);
    return QRectF(rect.x() + rect.width() / 2 - 20 * fraction, centreY - 34 * fraction, 40 * fraction, 68 * fraction);
}

void VXStaplesFilter::renderPage(int pageType, const QRectF &rect, double fraction)
{
    if (pageType == VXOutputFilter::OtherSide)
        return;
    for (quint64 k = 1; k <= m_numberOfStaples; ++k)
        VXStyleKit::drawStapleMarkWithFrame(markFrame(k, rect, fraction));
}
