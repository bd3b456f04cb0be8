#pragma once

#include "app/booklet/VXPage.h"
#include "platform/ui/View.h"

#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QPointer>

class VXPageViewDelegate;

// One half of the sheet side or spread that the document window shows: a page fitted into the
// view, magnified by the zoom and moved by the centre plus the offset. In adjust mode the user
// drags the page to move it and its edges to resize it, with guide lines and snapping; zooming
// (Ctrl+wheel about the pointer, a pinch where the platform delivers one) and the smart toggle
// (double click, or the platform's smart zoom) work in both modes.
//
// The page is drawn from whatever image it has at hand (a high-resolution image, its preview or
// the placeholder) while a high-resolution one is drawn on the render queue; nothing is rendered
// on the GUI thread.
class VXPageView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(int orientationForLandscape READ orientationForLandscape WRITE setOrientationForLandscape)

public:
    // The parts of the page under the pointer, a bit set.
    enum MouseArea {
        Outside = 0,
        TopEdge = 1,
        LeftEdge = 2,
        BottomEdge = 4,
        RightEdge = 8,
        Inside = 16,
    };

    explicit VXPageView(QWidget *parent = nullptr);
    ~VXPageView() override;

    VXPagePtr page() const;
    void setPage(const VXPagePtr &page);
    bool allowAdjusting() const;
    // Leaving adjust mode also forgets the part under the pointer, so that no drag can start.
    void setAllowAdjusting(bool allowAdjusting);
    int mouseArea() const;
    void setMouseArea(int mouseArea);
    // Quarter turns given to landscape pages (VXPage::isLandscape); odd values swap width and height.
    int orientationForLandscape() const;
    void setOrientationForLandscape(int orientationForLandscape);
    // Not owned; a delegate that is also a QObject is dropped when it is destroyed.
    VXPageViewDelegate *delegate() const;
    void setDelegate(VXPageViewDelegate *delegate);

    // 1.0 fits the page into the view.
    double zoom() const;
    void setZoom(double zoom);
    // Displacement of the page's centre from the view's, in fractions of the view's width and
    // height, y up; (0, 0) is centred.
    QPointF center() const;
    void setCenter(const QPointF &center);
    // A further displacement in the same units (the creep offset).
    QPointF offset() const;
    void setOffset(const QPointF &offset);
    // Width over height of the page as shown.
    double ratio() const;

    // Where the page lies, in the view's y-up coordinates; empty for a view without area.
    QRectF pageFrame() const;

    void updateTrackingAreas() override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseMoved(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void scrollWheel(const platform::MouseEvent &event) override;
    // Adds the magnification to the zoom, centre kept.
    void magnifyWithEvent(double magnification);
    // Toggles between fitting (1.0) and the view's proportion as zoom, centre kept.
    void smartMagnifyWithEvent();
    void drawRect(const QRectF &dirtyRect) override;
    // Whether the sharp image of the page at the size shown has been drawn (a view without a page
    // counts).
    bool showsSharpImage() const;

signals:
    // The sharp image asked for has been drawn for the first time.
    void sharpImageShown();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    void updatePage();
    // The long side in device pixels of the image the page is shown at, in steps, at most the
    // largest any view asks; 0 before the view has a size.
    double shownResolution() const;
    void layoutPageLayer();
    // A user change: stored, drawn and told to the delegate.
    void updateCenter(const QPointF &center, double zoom);
    void updateMouseArea(const QPointF &point);
    QSizeF fittedSize() const;
    QPointF offsetForDiff(const QPointF &diff) const;
    double magifyForDiff(const QPointF &diff) const;
    void moveTo(const QPointF &point);
    void resizeTo(QPointF point);
    void settleUnderPointer(const QPointF &point);
    void updateSnap();
    void removeSnap();
    void zoomAbout(const QPointF &point, double magnification);
    void tellDelegate();
    bool mouseButtonPressed() const;
    QVariant cursorKey() const;

    VXPagePtr m_page;
    QImage m_image;
    // m_image is the sharp image asked for; it has been drawn.
    bool m_sharp = false;
    bool m_sharpDrawn = false;
    std::shared_ptr<const void> m_wantedRender;
    // The quarter turns m_image was asked with; a late image of other turns is dropped.
    int m_imageOrientation = 0;
    double m_askedResolution = 0;
    // Counts image requests, so that a late image for an earlier page or orientation is dropped.
    quint64 m_imageRequest = 0;
    double m_ratio = 1.0;
    QPainterPath m_snapPath;
    int m_hoverArea = 0;
    QPointF m_mouseDownPos;
    QPointF m_orgCenter;
    double m_orgZoom = 1.0;
    bool m_mouseDown = false;
    // A double click toggled the zoom; its release settles the pointer's part of the page.
    bool m_magnifiedByClick = false;
    bool m_allowAdjusting = false;
    int m_mouseArea = Outside;
    int m_orientationForLandscape = 0;
    VXPageViewDelegate *m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
    bool m_delegateIsObject = false;
    double m_zoom = 1.0;
    QPointF m_center;
    QPointF m_offset;
};
