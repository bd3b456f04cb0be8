#include "RQS-Kit/Controls/QSPopupButton.h"

#include "RQS-Kit/Foundation/QSMenuTranslationController.h"
#include "platform/graphics/GraphicsContext.h"

#include <QEvent>
#include <QPainterPath>

#include <cmath>

QSPopupButton::QSPopupButton(QWidget *parent)
    : QSButton(parent)
{
}

QMenu *QSPopupButton::popupMenu() const { return m_popupMenu; }

void QSPopupButton::setPopupMenu(QMenu *menu)
{
    m_selectedItem = nullptr;
    if (m_popupMenu) {
        m_popupMenu->disconnect(this);
        m_popupMenu->removeEventFilter(this);
    }
    m_popupMenu = menu;
    if (!menu)
        return;
    if (!menu->parent())
        menu->setParent(this, menu->windowFlags());
    QSMenuTranslationController::translateMenu(menu, QStringLiteral("Controls"));
    connect(menu, &QMenu::hovered, this, &QSPopupButton::menuWillHighlightItem);
    connect(menu, &QMenu::aboutToHide, this, &QSPopupButton::menuDidClose);
    connect(menu, &QMenu::triggered, this, [this](QAction *item) {
        setSelectedItem(item);
        if (item->property("action").toString().isEmpty())
            itemSelected(item);
    });
    menu->installEventFilter(this);
    if (!m_keepTitle && selectedItem())
        setTitle(selectedItem()->text());
}

QAction *QSPopupButton::selectedItem() const
{
    if (m_selectedItem)
        return m_selectedItem;
    return m_popupMenu && !m_popupMenu->actions().isEmpty() ? m_popupMenu->actions().constFirst() : nullptr;
}

void QSPopupButton::setSelectedItem(QAction *item)
{
    m_selectedItem = item;
    if (!m_keepTitle && selectedItem())
        setTitle(selectedItem()->text());
}

int QSPopupButton::selectedIndex() const
{
    QAction *item = selectedItem();
    return item && m_popupMenu ? int(m_popupMenu->actions().indexOf(item)) : -1;
}

QAction *QSPopupButton::hoveredItem() const { return m_hoveredItem; }

bool QSPopupButton::keepTitle() const { return m_keepTitle; }

void QSPopupButton::setKeepTitle(bool keepTitle) { m_keepTitle = keepTitle; }

QAction *QSPopupButton::inserItemWithTitle(const QString &title, int index)
{
    if (!m_popupMenu)
        setPopupMenu(new QMenu(this));
    auto *item = new QAction(title, m_popupMenu);
    const QList<QAction *> items = m_popupMenu->actions();
    m_popupMenu->insertAction(index >= 0 && index < items.size() ? items.at(index) : nullptr, item);
    return item;
}

void QSPopupButton::itemSelected(QObject *) { Control::sendAction(action(), target(), this); }

void QSPopupButton::setAction(const QString &action)
{
    QSButton::setAction(action);
    m_hoverAction = action.isEmpty() ? QString() : action + QStringLiteral("hover");
}

QString QSPopupButton::hoverAction() const { return m_hoverAction; }

void QSPopupButton::menuWillHighlightItem(QAction *item)
{
    if (item == m_hoveredItem)
        return;
    m_hoveredItem = item;
    if (target() && respondsTo(target(), m_hoverAction))
        Control::sendAction(m_hoverAction, target(), this);
}

void QSPopupButton::menuDidClose()
{
    m_hoveredItem = nullptr;
    setButtonState(1);
}

bool QSPopupButton::eventFilter(QObject *watched, QEvent *event)
{
    // Qt reports highlights of items only; the pointer leaving them all is seen here.
    if ((event->type() == QEvent::MouseMove || event->type() == QEvent::Leave) && watched == m_popupMenu
        && !m_popupMenu->activeAction() && m_hoveredItem)
        menuWillHighlightItem(nullptr);
    return QSButton::eventFilter(watched, event);
}

void QSPopupButton::drawRect(const QRectF &dirtyRect)
{
    const QMarginsF padding = style().padding;
    style().padding.setRight(padding.right() + 6);
    QSButton::drawRect(dirtyRect);
    style().padding = padding;
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    context->setShadow(textShadow());
    context->setFill(drawnColor(textColor()));
    const double x0 = bounds().width() - 3 - padding.right();
    const double y0 = std::floor(bounds().height() * 0.5 - 5);
    QPainterPath arrows;
    arrows.addPolygon(QPolygonF({{x0, y0 + 4}, {x0 + 2.5, y0}, {x0 + 5, y0 + 4}, {x0, y0 + 4}}));
    arrows.addPolygon(QPolygonF({{x0, y0 + 7}, {x0 + 2.5, y0 + 11}, {x0 + 5, y0 + 7}, {x0, y0 + 7}}));
    context->fillPath(arrows);
    context->setShadow(std::nullopt);
}

void QSPopupButton::mouseDown(const platform::MouseEvent &event)
{
    if (!isEnabled())
        return;
    setButtonState(3);
    if (m_popupMenu && bounds().contains(event.location) && event.clickCount >= 1) {
        // The selected item under the pointer, 5 points in and 10 above the middle (y-up).
        const QPoint inButton(5, int(std::round(height() - (height() * 0.5 + 10))));
        m_popupMenu->popup(mapToGlobal(inButton), selectedItem());
    }
}

void QSPopupButton::mouseUp(const platform::MouseEvent &event)
{
    if (isEnabled())
        setButtonState(bounds().contains(event.location) && event.clickCount >= 1 ? 2 : 1);
}
