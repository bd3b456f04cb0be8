#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QSizeF>
#include <QString>

namespace platform {

// What one print run asks of the printer, turned into the IPP options CUPS receives.
struct PrintJobOptions
{
    enum class Sides { OneSided, TwoSidedLongEdge, TwoSidedShortEdge };

    QString printerName;
    // Empty: the file's name.
    QString jobName;
    Sides sides = Sides::OneSided;
    // A PWG media name such as "iso_a4_210x297mm"; when empty, the paper size in points names the
    // media, and with neither the printer's default paper is used.
    QString mediaName;
    QSizeF paperSize;
    int copies = 1;
    // Further IPP options; they cannot override the ones above.
    QMap<QString, QString> extraOptions;

    // The PWG name of a sheet of this size in points, whichever way round: a standard name
    // within half a millimetre, else "custom_WxHmm"; empty for an empty size.
    static QString mediaNameForSize(const QSizeF &points);

    // The IPP keyword of the sides.
    QString sidesName() const;

    // In the order they are sent; sides, print-scaling, media and copies come after the extras.
    QList<QPair<QString, QString>> ippOptions() const;
};

} // namespace platform
