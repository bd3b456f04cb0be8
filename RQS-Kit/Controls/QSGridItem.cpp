#include "RQS-Kit/Controls/QSGridItem.h"

#include "RQS-Kit/Controls/QSVignetteLayer.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/layers/TextLayer.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/TakenViews.h"
#include "platform/ui/ViewEffects.h"

#include <QDrag>
#include <QMimeData>
#include <QUrl>

#include <cmath>

using platform::Layer;
using platform::Transaction;

namespace {

QImage named(const QString &name) { return platform::Bundle::mainBundle()->imageNamed(name); }

void inTransaction(bool animated, const std::function<void()> &change)
{
    Transaction::begin();
    Transaction::setDisableActions(!animated);
    change();
    Transaction::commit();
}

} // namespace

QSGridItem::QSGridItem(QWidget *parent)
    : QSGridItem(0, parent)
{
}

QSGridItem::QSGridItem(unsigned settings, QWidget *parent)
    : QSImageView(parent)
    , m_settings(settings)
    , m_taken(new platform::TakenViews(this))
    , m_selectable(settings & Selectable)
    , m_executable(settings & Executable)
    , m_titleAlways(settings & TitleAlways)
{
    setFrame(QRectF(0, 0, 100, 100));
    setWantsLayer(true);
    if (settings & HasRemove) {
        m_removeLayer = new Layer(this);
        m_removeLayer->setContentsGravity(Layer::Gravity::Center);
        m_removeLayer->setContents(named(QStringLiteral("GridItemRemove.png")));
        m_removeLayer->setOpacity(0);
    }
    if (settings & HasPin) {
        m_pinLayer = new Layer(this);
        m_pinLayer->setContentsGravity(Layer::Gravity::Center);
        m_pinLayer->setContents(named(QStringLiteral("GridItemPin.png")));
        m_pinLayer->setOpacity(0);
    }
    if (settings & HasTitle) {
        m_titleLayer = new platform::TextLayer(this);
        m_titleLayer->setBackgroundColor(QColor::fromRgbF(0, 0, 0, 0.6f));
        platform::TextAttributes attributes;
        attributes.font = QFont(QStringLiteral("Lucida Grande"));
        attributes.font.setPointSizeF(10);
        attributes.color = QColor::fromRgbF(0.777f, 0.777f, 0.777f);
        attributes.alignment = Qt::AlignCenter;
        m_titleLayer->setAttributes(attributes);
        m_titleLayer->setOpacity(m_titleAlways ? 1 : 0);
    }
    setupVisuals();
    placeLayers();
    // Stays at the top left as the grid grows.
    setAutoresizingMask(platform::Autoresizing::FlexibleRightMargin | platform::Autoresizing::FlexibleBottomMargin);
}

QSGridItem *QSGridItem::gridItem(const QImage &image, const QString &title, const QVariant &context, unsigned settings)
{
    auto *item = new QSGridItem(settings, nullptr);
    item->setImage(image);
    item->setTitle(title);
    item->setContext(context);
    return item;
}

void QSGridItem::setImage(const QImage &image)
{
    if (!image.isNull() && image.height() <= 0)
        return;
    QSImageView::setImage(image);
    if (!image.isNull()) {
        m_aspectRatio = double(image.width()) / image.height();
        setupVisuals();
    }
}

QRectF QSGridItem::frameInRect(const QRectF &rect) const
{
    if (image().isNull())
        return {};
    QSizeF size;
    if (rect.width() / rect.height() > m_aspectRatio)
        size = QSizeF(rect.height() * m_aspectRatio, rect.height());
    else
        size = QSizeF(rect.width(), rect.width() / m_aspectRatio);
    return QRectF(rect.topLeft() + QPointF(rect.width() - size.width(), rect.height() - size.height()) * 0.5, size);
}

void QSGridItem::setupInRect(const QRectF &rect, bool animated, double seconds)
{
    if (image().isNull())
        return;
    const QRectF frame = frameInRect(rect);
    if (!animated) {
        setFrame(frame);
        return;
    }
    setupVisuals();
    platform::FrameAnimation::run({{this, frame}}, seconds, {});
}

void QSGridItem::setSortTag(const QVariant &tag)
{
    if (tag.isValid() && QVariant::compare(tag, tag) != QPartialOrdering::Equivalent)
        platform::logWarning(
            QStringLiteral("SortTag does not respond to selector 'compare:' (Object: %1)").arg(tag.toString()));
    m_sortTag = tag;
}

bool QSGridItem::hasContext(const QVariant &context) const
{
    return !m_context.isNull() && m_context == context;
}

int QSGridItem::compareSortTags(const QVariant &a, const QVariant &b)
{
    const QPartialOrdering order = QVariant::compare(a, b);
    return order == QPartialOrdering::Less ? -1 : order == QPartialOrdering::Greater ? 1 : 0;
}

void QSGridItem::setTitle(const QString &title)
{
    m_title = title;
    if (m_titleLayer)
        m_titleLayer->setString(title);
}

void QSGridItem::setStyle(int style)
{
    m_style = style;
    setupVisuals();
}

void QSGridItem::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    if (selected) {
        m_selectionLayer = new QSVignetteLayer(Qt::black, 0.95, 3.0, this);
        m_selectionLayer->setAnchorPoint(QPointF(0, 0));
        m_selectionLayer->setBounds(layer()->bounds());
        m_selectionLayer->setAutoresizingMask(Layer::WidthSizable | Layer::HeightSizable);
        layer()->insertSublayer(m_selectionLayer, 0);
        layer()->setShadowColor(Qt::white);
        layer()->setBorderWidth(3);
    } else {
        delete m_selectionLayer;
        layer()->setShadowColor(m_style == 1 ? QColor(Qt::transparent) : QColor(Qt::black));
        layer()->setBorderWidth(m_style == 1 ? 0 : 1);
    }
    if (QSGridItemDelegate *delegate = m_delegate.get())
        delegate->gridItemWasSelected(this);
}

platform::View *QSGridItem::setBadge(platform::View *badge)
{
    if (badge == m_badge)
        return nullptr;
    // Handed back as it was given, with its offset as its frame, unless it went elsewhere since.
    platform::View *old = m_badge && m_badge->parent() == this ? m_taken->handBack(m_badge.data()) : nullptr;
    if (old)
        old->setFrame(m_badgeOffset);
    m_badge = badge;
    if (!badge)
        return old;
    const QRectF offset = badge->frame();
    m_badgeOffset = offset;
    badge->setParent(this);
    badge->setFrame(QRectF(bounds().width() - offset.width() + offset.x(), bounds().height() - offset.height() + offset.y(),
                           offset.width(), offset.height()));
    badge->setAutoresizingMask(platform::Autoresizing::FlexibleLeftMargin | platform::Autoresizing::FlexibleBottomMargin);
    badge->show();
    // The badge may overhang the tile.
    layer()->setMasksToBounds(false);
    return old;
}

void QSGridItem::setDelegate(platform::Delegate<QSGridItemDelegate> delegate)
{
    if (delegate.interface() == m_delegate.get())
        return;
    m_delegate.set(delegate);
    updateTrackingAreas();
}

void QSGridItem::setupVisuals()
{
    const bool hasAlpha = !image().isNull() && image().hasAlphaChannel();
    const bool bordered = m_style != 1 && !(m_style == 0 && hasAlpha);
    layer()->setBorderWidth(m_selected ? 3 : bordered ? 1 : 0);
    layer()->setBorderColor(QColor(94, 94, 94));
    if (m_style == 0 && m_titleLayer)
        m_titleLayer->setHidden(hasAlpha);
    if (m_style == 1) {
        platform::setViewShadow(this, std::nullopt);
        layer()->setShadowColor(Qt::transparent);
    }
    for (Layer *sublayer : {static_cast<Layer *>(m_titleLayer), m_removeLayer, m_pinLayer}) {
        if (sublayer && sublayer->superlayer() != layer())
            layer()->addSublayer(sublayer);
    }
}

void QSGridItem::placeLayers()
{
    const double w = bounds().width();
    const double h = bounds().height();
    inTransaction(false, [&] {
        if (m_removeLayer)
            m_removeLayer->setFrame(QRectF(5, h - 25, 20, 20));
        if (m_pinLayer)
            m_pinLayer->setFrame(QRectF(w - 34, h - 25, 29, 20));
        if (m_titleLayer)
            m_titleLayer->setFrame(QRectF(0, 0, w, 25));
    });
}

void QSGridItem::resizeEvent(QResizeEvent *event)
{
    QSImageView::resizeEvent(event);
    placeLayers();
}

void QSGridItem::updateTrackingAreas()
{
    QSImageView::updateTrackingAreas();
    if (m_trackingArea)
        removeTrackingArea(m_trackingArea);
    m_trackingArea = 0;
    if (!m_delegate.get())
        return;
    // The new area starts where the pointer is, and the hover follows at once.
    bool inside = false;
    m_trackingArea = addTrackingAreaAtPointer({{}, platform::TrackingArea::MouseEnteredAndExited | platform::TrackingArea::MouseMoved
                                                       | platform::TrackingArea::InVisibleRect, 0},
                                              &inside);
    if (inside != m_hovered)
        setHovered(inside);
}

void QSGridItem::setHovered(bool hovered)
{
    m_hovered = hovered;
    inTransaction(true, [&] {
        if (m_titleLayer && !m_titleAlways)
            m_titleLayer->setOpacity(hovered ? 1 : 0);
        for (Layer *button : {m_removeLayer, m_pinLayer}) {
            if (button)
                button->setOpacity(hovered ? 1 : 0);
        }
    });
    if (QSGridItemDelegate *delegate = m_delegate.get())
        delegate->gridItemChangedHoverState(this, hovered);
}

void QSGridItem::mouseEntered(const platform::MouseEvent &) { setHovered(true); }

void QSGridItem::mouseExited(const platform::MouseEvent &) { setHovered(false); }

void QSGridItem::mouseMoved(const platform::MouseEvent &event) { showButtonImages(event.location); }

void QSGridItem::showButtonImages(const QPointF &point)
{
    // Pictures by state: away, under the pointer, pressed.
    static const QString removeImages[] = {QStringLiteral("GridItemRemove.png"), QStringLiteral("GridItemRemoveHover.png"),
                                           QStringLiteral("GridItemRemoveDown.png")};
    static const QString pinImages[] = {QStringLiteral("GridItemPin.png"), QStringLiteral("GridItemPinHover.png"),
                                        QStringLiteral("GridItemPinDown.png")};
    static const QString pinSetImages[] = {QStringLiteral("GridItemPinSet.png"), QStringLiteral("GridItemPinSetHover.png"),
                                           QStringLiteral("GridItemPinSetDown.png")};
    const auto state = [this, &point](const Layer *button) { return !button->frame().contains(point) ? 0 : m_mouseDown ? 2 : 1; };
    if (m_removeLayer)
        m_removeLayer->setContents(named(removeImages[state(m_removeLayer)]));
    if (m_pinLayer)
        m_pinLayer->setContents(named((m_pinned ? pinSetImages : pinImages)[state(m_pinLayer)]));
}

void QSGridItem::mouseDown(const platform::MouseEvent &event)
{
    if (!m_delegate.get()) {
        QSImageView::mouseDown(event);
        return;
    }
    m_mouseDown = true;
    m_dragging = false;
    m_mouseDownPoint = event.location;
    showButtonImages(event.location);
}

void QSGridItem::mouseDragged(const platform::MouseEvent &event)
{
    const bool onButton = (m_removeLayer && m_removeLayer->frame().contains(m_mouseDownPoint))
        || (m_pinLayer && m_pinLayer->frame().contains(m_mouseDownPoint));
    const QPointF moved = event.location - m_mouseDownPoint;
    if (m_delegate.get() && !onButton && !m_dragging && std::hypot(moved.x(), moved.y()) > 5.0) {
        m_dragging = true;
        startDrag();
    } else if (m_delegate.get()) {
        showButtonImages(event.location);
    }
}

void QSGridItem::mouseUp(const platform::MouseEvent &event)
{
    QSGridItemDelegate *delegate = m_delegate.get();
    if (!delegate) {
        QSImageView::mouseUp(event);
        return;
    }
    const QPointF point = event.location;
    // The delegate may delete this tile, or its window, as it hears of the click.
    const QPointer<QSGridItem> self(this);
    if (m_removeLayer && m_removeLayer->frame().contains(point)) {
        delegate->gridItemShouldRemove(this);
    } else if (m_pinLayer && m_pinLayer->frame().contains(point)) {
        m_pinned = !m_pinned;
        delegate->gridItemChangedPinState(this, m_pinned);
        if (self)
            showButtonImages(point);
    } else if (event.clickCount == 1 && m_selectable) {
        setSelected(!m_selected);
    } else if (event.clickCount >= 1 && m_executable) {
        delegate->gridItemWasExecuted(this);
    }
    if (self)
        m_mouseDown = false;
}

void QSGridItem::startDrag()
{
    if (m_context.typeId() != QMetaType::QString) {
        platform::logWarning(QStringLiteral("Image catalog does not support context types other than String"));
        return;
    }
    const QString path = m_context.toString();
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    if (path.contains(platform::Bundle::mainBundle()->bundlePath()))
        data->setData(QStringLiteral("com.marrowgate.GridLocalImage"), path.toUtf8());
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    // The picture covers the tile, centred on it, and is held where the press began, so that it
    // lies over the tile as the drag starts.
    const QPixmap picture = QPixmap::fromImage(image().scaled(size(), Qt::KeepAspectRatioByExpanding));
    const QPointF pictureOrigin((width() - picture.width()) / 2.0, (height() - picture.height()) / 2.0);
    const QPointF pressed(m_mouseDownPoint.x(), height() - m_mouseDownPoint.y());
    drag->setPixmap(picture);
    drag->setHotSpot((pressed - pictureOrigin).toPoint());
    drag->exec(Qt::CopyAction);
}
