#pragma once

#include "platform/ui/View.h"

#include <QColor>

// A rounded tab with a coloured glow. The edges named in position run out of the view, so the tab
// looks attached there: 1 top, 2 bottom, 4 left, 8 right. Main thread.
class QSTabView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QColor tabColor READ tabColor WRITE setTabColor)
    Q_PROPERTY(QColor shadowColor READ shadowColor WRITE setShadowColor)
    Q_PROPERTY(uint position READ position WRITE setPosition)
public:
    enum Edge : uint { Top = 1, Bottom = 2, Left = 4, Right = 8 };

    explicit QSTabView(QWidget *parent = nullptr);

    QColor tabColor() const;
    void setTabColor(const QColor &color);
    QColor shadowColor() const;
    void setShadowColor(const QColor &color);
    uint position() const;
    void setPosition(uint position);

    // The tab's rectangle: 3 inside each edge, or 3 beyond it when the edge runs out.
    QRectF tabRect() const;
    void drawRect(const QRectF &dirtyRect) override;

private:
    QColor m_tabColor = Qt::white;
    QColor m_shadowColor = QColor(94, 171, 237);
    uint m_position = Top;
};
