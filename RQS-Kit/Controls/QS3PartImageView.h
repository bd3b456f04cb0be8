#pragma once

#include "platform/ui/View.h"

#include <QImage>

// A horizontal strip: the left and right pictures at their own size at the ends, the middle one
// stretched between them. Nothing stretches vertically.
class QS3PartImageView : public platform::View
{
    Q_OBJECT
public:
    explicit QS3PartImageView(QWidget *parent = nullptr);

    QImage leftImg() const;
    void setLeftImg(const QImage &image);
    QImage midImg() const;
    void setMidImg(const QImage &image);
    QImage rightImg() const;
    void setRightImg(const QImage &image);

    void drawRect(const QRectF &dirtyRect) override;

private:
    void replace(QImage &held, const QImage &image);

    QImage m_left, m_mid, m_right;
};
