#pragma once

#include <QImage>
#include <QList>
#include <QString>

// The state images of the kit's buttons: a set holds exactly four images, in the order disabled,
// normal, hover, down (the visual state is the index), or none at all (an empty list). Images are
// read from TIFF files of a description folder or found by name in the main bundle; their size in
// points is their pixel size over their device pixel ratio. Main thread only.
class QSButtonImages
{
public:
    using ImageSet = QList<QImage>;

    // For a path prefix such as "<folder>/Mid-Off-": "<prefix>Normal<extension>.tiff", else
    // "<prefix>Normal.tiff"; no set without a normal image. Missing disabled and down images are
    // the normal one, a missing hover image is derived.
    static ImageSet imagesForPath(const QString &prefix, const QString &appearanceExtension);
    // The first prefix that yields a set.
    static ImageSet imagesForPaths(const QStringList &prefixes, const QString &appearanceExtension);
    // Named images B (else B + "Normal"), B + "Disabled", B + "Hover", B + "Down", each tried with
    // the extension first.
    static ImageSet imagesForName(const QString &name, const QString &appearanceExtension);
    // The normal image with the down image over it at half strength: half-way to pressed.
    static QImage hoverImageForImage(const QImage &normal, const QImage &down);
    // What an "on" button shows: pressed when idle and idle when pressed.
    static ImageSet swappedForOn(const ImageSet &off);
    // Whether the set is, image by image, the one that swappedForOn makes of the off set.
    static bool isSwappedFrom(const ImageSet &on, const ImageSet &off);
    // Whether the two sets hold the very same images (by cache key, not by pixels).
    static bool isSameSet(const ImageSet &a, const ImageSet &b);

    static QSizeF pointSize(const QImage &image);

    QSButtonImages() = delete;
};
