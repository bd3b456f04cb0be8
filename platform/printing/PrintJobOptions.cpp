#include "platform/printing/PrintJobOptions.h"

#include <cups/cups.h>
// pwg.h relies on cups.h being included first.
#include <cups/pwg.h>

#include <algorithm>

namespace platform {

namespace {

// PWG sizes are in hundredths of a millimetre.
int pwgUnits(qreal points) { return qRound(points * 2540.0 / 72.0); }

} // namespace

QString PrintJobOptions::mediaNameForSize(const QSizeF &points)
{
    if (points.isEmpty())
        return {};
    // Media are named portrait; a landscape sheet is the same paper.
    const int shorter = pwgUnits(std::min(points.width(), points.height()));
    const int longer = pwgUnits(std::max(points.width(), points.height()));
    const pwg_media_t *media = pwgMediaForSize(shorter, longer);
    return media ? QString::fromUtf8(media->pwg) : QString();
}

QString PrintJobOptions::sidesName() const
{
    switch (sides) {
    case Sides::TwoSidedLongEdge:
        return QStringLiteral("two-sided-long-edge");
    case Sides::TwoSidedShortEdge:
        return QStringLiteral("two-sided-short-edge");
    case Sides::OneSided:
        break;
    }
    return QStringLiteral("one-sided");
}

QList<QPair<QString, QString>> PrintJobOptions::ippOptions() const
{
    QList<QPair<QString, QString>> options;
    for (auto it = extraOptions.cbegin(); it != extraOptions.cend(); ++it)
        options.append({it.key(), it.value()});
    options.append({QStringLiteral("sides"), sidesName()});
    // The composed sheets already have the paper's size; the printer must not fit them again.
    options.append({QStringLiteral("print-scaling"), QStringLiteral("none")});
    const QString media = mediaName.isEmpty() ? mediaNameForSize(paperSize) : mediaName;
    if (!media.isEmpty())
        options.append({QStringLiteral("media"), media});
    options.append({QStringLiteral("copies"), QString::number(copies)});
    return options;
}

} // namespace platform
