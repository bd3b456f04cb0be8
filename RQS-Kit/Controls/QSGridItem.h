#pragma once

#include "RQS-Kit/Controls/QSImageView.h"
#include "platform/ui/FrameAnimation.h"

#include <QPointer>
#include <QVariant>

namespace platform {
class Layer;
class TakenViews;
class TextLayer;
}
class QSGridItem;

// What a tile tells its grid, a QObject held weakly; every message is optional.
class QSGridItemDelegate
{
public:
    virtual ~QSGridItemDelegate() = default;
    virtual void gridItemWasSelected(QSGridItem *) {}
    virtual void gridItemWasExecuted(QSGridItem *) {}
    virtual void gridItemShouldRemove(QSGridItem *) {}
    virtual void gridItemChangedPinState(QSGridItem *, bool) {}
    virtual void gridItemChangedHoverState(QSGridItem *, bool) {}
};

// One tile of the icon grid: a picture with an optional title strip, pin and remove buttons drawn
// as layers, a vignette as selection look, and a file context that can be dragged out.
class QSGridItem : public QSImageView
{
    Q_OBJECT
public:
    enum Setting : unsigned {
        HasPin = 0x01, HasRemove = 0x02, Selectable = 0x04, Executable = 0x08, HasTitle = 0x10, TitleAlways = 0x40
    };

    explicit QSGridItem(QWidget *parent = nullptr);
    QSGridItem(unsigned settings, QWidget *parent);
    static QSGridItem *gridItem(const QImage &image, const QString &title, const QVariant &context, unsigned settings);

    // Ignores a picture without height, which has no aspect.
    void setImage(const QImage &image);
    double aspectRatio() const { return m_aspectRatio; }
    // The largest rectangle of the picture's aspect centred in the rectangle; empty without a picture.
    QRectF frameInRect(const QRectF &rect) const;
    // Moves the tile there, gliding over the seconds when animated; nothing without a picture.
    void setupInRect(const QRectF &rect, bool animated, double seconds = platform::FrameAnimation::defaultDuration());

    // Null or invalid when the tile has none.
    QVariant context() const { return m_context; }
    void setContext(const QVariant &context) { m_context = context; }
    // Whether the tile's context equals the given one; a missing context equals none, not even
    // another missing one, so tiles without a context are told apart only as objects.
    bool hasContext(const QVariant &context) const;
    QVariant sortTag() const { return m_sortTag; }
    // A tag with no order is kept with a warning and sorts as equal to every other.
    void setSortTag(const QVariant &tag);
    // Below zero, equal or above by the sort tags.
    static int compareSortTags(const QVariant &a, const QVariant &b);
    // Kept with the tile also when it has no title strip to show it in.
    QString title() const { return m_title; }
    void setTitle(const QString &title);

    int style() const { return m_style; }
    // 0 frames opaque pictures, 1 shows no frame and no shadow, any other always a thin frame.
    void setStyle(int style);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    bool isPinned() const { return m_pinned; }
    void setPinned(bool pinned) { m_pinned = pinned; }
    bool isHovered() const { return m_hovered; }
    bool isSelectable() const { return m_selectable; }
    bool isExecutable() const { return m_executable; }

    QSGridItemDelegate *delegate() const { return m_delegate.get(); }
    void setDelegate(platform::Delegate<QSGridItemDelegate> delegate);

    // The badge keeps its size; its frame origin is read as an offset from the tile's top right
    // corner, where it stays. A new one replaces the old, which is handed back (see
    // platform::TakenViews) with its offset as its frame: nullptr when there was none or it is
    // the same.
    platform::View *badge() const { return m_badge; }
    platform::View *setBadge(platform::View *badge);

    platform::Layer *removeLayer() const { return m_removeLayer; }
    platform::Layer *pinLayer() const { return m_pinLayer; }

    void mouseDown(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseEntered(const platform::MouseEvent &event) override;
    void mouseExited(const platform::MouseEvent &event) override;
    void mouseMoved(const platform::MouseEvent &event) override;
    void updateTrackingAreas() override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void setupVisuals();
    void placeLayers();
    void setHovered(bool hovered);
    void showButtonImages(const QPointF &point);
    void startDrag();

    unsigned m_settings;
    platform::TakenViews *m_taken;
    int m_style = 0;
    bool m_selectable;
    bool m_executable;
    bool m_titleAlways;
    bool m_selected = false;
    bool m_pinned = false;
    bool m_hovered = false;
    bool m_mouseDown = false;
    bool m_dragging = false;
    QPointF m_mouseDownPoint;
    double m_aspectRatio = 1;
    QString m_title;
    QVariant m_context;
    QVariant m_sortTag;
    platform::WeakDelegate<QSGridItemDelegate, QSGridItem> m_delegate;
    platform::TextLayer *m_titleLayer = nullptr;
    platform::Layer *m_removeLayer = nullptr;
    platform::Layer *m_pinLayer = nullptr;
    QPointer<platform::Layer> m_selectionLayer;
    QPointer<platform::View> m_badge;
    QRectF m_badgeOffset;
    int m_trackingArea = 0;
};
