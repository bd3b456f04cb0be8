#pragma once

#include "platform/ui/View.h"

// A translucent green marker for laying out interfaces. Main thread.
class QSTestView : public platform::View
{
    Q_OBJECT
public:
    explicit QSTestView(QWidget *parent = nullptr);

    void drawRect(const QRectF &dirtyRect) override;
};
