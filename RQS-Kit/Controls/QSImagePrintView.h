#pragma once

#include "RQS-Kit/Controls/QSImagePrintViewDelegate.h"
#include "platform/foundation/WeakDelegate.h"
#include "platform/ui/View.h"

#include <QImage>

// Prints one picture as large as its bounds allow, keeping its aspect; a landscape picture on a
// portrait page (and the other way round) is turned a quarter turn, counter-clockwise. Without a
// picture it asks its delegate for one. One printed page: its bounds.
class QSImagePrintView : public platform::View
{
    Q_OBJECT
public:
    explicit QSImagePrintView(QWidget *parent = nullptr);

    QImage image() const;
    void setImage(const QImage &image);
    QSImagePrintViewDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSImagePrintViewDelegate> delegate);

    bool knowsPageRange(int &first, int &count) override;
    void drawRect(const QRectF &dirtyRect) override;

private:
    QImage m_image;
    platform::WeakDelegate<QSImagePrintViewDelegate, QSImagePrintView> m_delegate;
};
