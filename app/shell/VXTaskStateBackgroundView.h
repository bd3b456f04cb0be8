#pragma once

#include "platform/ui/View.h"

#include <QGradientStops>

// The coloured tag behind a factory row's state text: waiting, success or failure.
class VXTaskStateBackgroundView : public platform::View
{
    Q_OBJECT

public:
    explicit VXTaskStateBackgroundView(QWidget *parent = nullptr);

    QGradientStops gradient() const;
    void setGradient(const QGradientStops &gradient);

    void drawRect(const QRectF &dirtyRect) override;

private:
    QGradientStops m_gradient;
};
