#pragma once

#include "platform/ui/View.h"

#include <QList>
#include <QPointer>

// A row of the page list: each page preview added to it is centred, 20 points in from the sides
// and 10 from top and bottom, and shown as a white page with a drop shadow; a selected row rings
// each page with a dark frame.
class VXTableRowView : public platform::View
{
    Q_OBJECT

public:
    explicit VXTableRowView(QWidget *parent = nullptr);

    void addSubview(QWidget *view) override;
    // Keeps the subview centred from now on; nothing for nullptr.
    void centerSubview(QWidget *view);

    bool isSelected() const;
    void setSelected(bool selected);

    void drawRect(const QRectF &dirtyRect) override;
    void drawSelectionInRect(const QRectF &dirtyRect);

    // Where a row of that size puts its page (the same y-up and y-down).
    static QRect pageFrameInRow(const QSize &rowSize);
    // The row's look in the current graphics context for pages at these y-up frames, so that a
    // list that paints its rows itself looks the same.
    static void drawPages(const QList<QRectF> &frames);
    // A page whose preview is still loading: its outline, so that it does not vanish into the list.
    static void drawPlaceholderOutline(const QRectF &frame);
    static void drawSelection(const QList<QRectF> &frames);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void place(QWidget *view);
    QList<QRectF> subviewFrames() const;

    QList<QPointer<QWidget>> m_centered;
    bool m_selected = false;
};
