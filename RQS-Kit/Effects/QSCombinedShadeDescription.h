#pragma once

#include "RQS-Kit/Effects/QSShadeDescription.h"

// Neighbouring shades that draw alike joined into one image, so that a frame blends fewer layers.
// It starts as a PNG copy of the first shade's file in the private temporary folder; the joined
// image stays in memory and is written back to that copy when the cache time ends.
class QSCombinedShadeDescription : public QSShadeDescription
{
public:
    // The options are the shade file's. When the copy fails (logged) the shade file itself stays
    // the image path, and is never written to.
    QSCombinedShadeDescription(const QString &shadePath, const QString &blendMode, double intensity);
    QSCombinedShadeDescription(const QSCombinedShadeDescription &) = delete;
    ~QSCombinedShadeDescription() override;

    static bool canJoin(const QSShadeDescription &a, const QSShadeDescription &b);
    bool canAdd(const QSShadeDescription &shade) const;
    // The joined image is a recipe of both until fixImages renders it.
    void add(const QSShadeDescription &shade);
    void fixImages();

    // The joined image differs from its file.
    bool hasChanges() const { return m_hasChanges; }
    // The joined image is still an unrendered recipe.
    bool needsFixing() const { return m_needsFixing; }

protected:
    // Writes a changed joined image to the copy and keeps it loaded: it is never read back.
    void clearCachedImage() override;

private:
    static bool drawAlike(const QSShadeDescription &a, const QSShadeDescription &b);

    QString m_copyPath;
    bool m_hasChanges = false;
    bool m_needsFixing = false;
};
