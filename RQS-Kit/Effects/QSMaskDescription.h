#pragma once

#include "RQS-Kit/Effects/QSFrameImageDescription.h"

// A frame's mask: the internal mask joined to an optional external one. Its options are the
// internal mask's, widened by the external mask's.
class QSMaskDescription : public QSFrameImageDescription
{
public:
    QSMaskDescription(const QString &externalPath, const QString &internalPath);

    double scale() const { return m_scale; }
    platform::fx::Image image() const override;

private:
    QString m_externalPath;
    double m_scale = 1.0;
    double m_innerCornerWidth = 0.0;
};
