#pragma once

#include "app/booklet/VXDoublePageFilter.h"

// Staple marks on the fold of the two sheet sides where staples show: the covers and the centre
// spread. The marks are spread evenly over the height, each in the middle of its own band.
class VXStaplesFilter : public VXDoublePageFilter
{
    Q_OBJECT
    Q_PROPERTY(quint64 numberOfStaples READ numberOfStaples WRITE setNumberOfStaples NOTIFY numberOfStaplesChanged)

public:
    // What a long-arm stapler can hold; a larger count is clamped with a warning.
    static constexpr quint64 MaximumNumberOfStaples = 36;

    explicit VXStaplesFilter(QObject *parent = nullptr);

    quint64 numberOfStaples() const;
    void setNumberOfStaples(quint64 numberOfStaples);

    // The frame of staple mark k (from 1) on a side in the rectangle, at the scale.
    QRectF markFrame(quint64 k, const QRectF &rect, double fraction) const;

    void renderPage(int pageType, const QRectF &rect, double fraction) override;

signals:
    void numberOfStaplesChanged(quint64 numberOfStaples);

private:
    quint64 m_numberOfStaples = 0;
};
