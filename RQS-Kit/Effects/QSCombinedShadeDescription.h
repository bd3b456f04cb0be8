#pragma once

#include "RQS-Kit/Effects/QSShadeDescription.h"

// Neighbouring shades that draw alike joined into one image, so that a frame blends fewer layers.
// The joined image lives in memory only, never in a file.
class QSCombinedShadeDescription : public QSShadeDescription
{
public:
    explicit QSCombinedShadeDescription(const QSShadeDescription &first);

    static bool canJoin(const QSShadeDescription &a, const QSShadeDescription &b);
    bool canAdd(const QSShadeDescription &shade) const;
    void add(const QSShadeDescription &shade);

    platform::fx::Image image() const override { return m_image; }

protected:
    // The joined image has no file to be read again from: it stays.
    void clearCachedImage() override {}

private:
    static bool drawAlike(const QSShadeDescription &a, const QSShadeDescription &b);
};
