#pragma once

#include <QPointer>
#include <QRectF>
#include <QScrollArea>

class QScrollBar;

namespace platform {

class TakenViews;

// A scroll area whose geometry speaks in the document view's own coordinates: y-up unless the
// document view is a flipped View. With overlay scrollers the content fills the whole area and
// a slim vertical scroller floats over its right edge. GUI thread.
class ScrollView : public QScrollArea
{
    Q_OBJECT
public:
    enum KnobStyle { DefaultKnob = 0, DarkKnob = 1, LightKnob = 2 };

    explicit ScrollView(QWidget *parent = nullptr);

    // The area parents the view; it keeps the size it has. Answers the view it replaced, handed
    // back (see TakenViews), where Qt's setWidget would delete it; nullptr when there was none or
    // it is the same.
    QWidget *setDocumentView(QWidget *view);
    QWidget *documentView() const;
    // The part of the document view in sight, in its coordinates.
    QRectF documentVisibleRect() const;
    // Brings the visible rectangle's origin as near the point as the scrollers allow.
    void scrollToPoint(const QPointF &origin);

    bool overlayScrollers() const;
    void setOverlayScrollers(bool overlay);
    // Null without overlay scrollers.
    QScrollBar *overlayScroller() const;
    int scrollerKnobStyle() const;
    void setScrollerKnobStyle(int style);

signals:
    // The visible rectangle moved or changed size.
    void boundsChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    bool documentIsFlipped() const;
    void placeOverlay();
    void styleOverlay();

    TakenViews *m_taken;
    QPointer<QScrollBar> m_overlay;
    int m_knobStyle = DefaultKnob;
};

} // namespace platform
