#include "RQS-Kit/Controls/QSGridViewController.h"

#include "RQS-Kit/Controls/QSBoxView.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/layers/Layer.h"
#include "platform/layers/Transaction.h"

#include <QGuiApplication>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

using platform::Transaction;

namespace {

const QString iconWidthKey = QStringLiteral("IconWidth");

bool positive(double value) { return std::isfinite(value) && value > 0; }

} // namespace

QSGridViewController::QSGridViewController(QObject *parent)
    : QObject(parent)
    , m_scrollView(new QScrollArea)
    , m_container(new platform::View)
{
    m_scrollView->setWidget(m_container);
    m_scrollView->setWidgetResizable(false);
    // The grid fits its columns to the width and scrolls only up and down.
    m_scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_container->setWantsLayer(true);
    m_layoutTimer.setSingleShot(true);
    m_layoutTimer.setInterval(500);
    connect(&m_layoutTimer, &QTimer::timeout, this, [this] { refreshLayout(2); });
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->registerDefaults({{iconWidthKey, 200.0}});
    if (!setIconWidth(defaults->doubleForKey(iconWidthKey)))
        setIconWidth(200);
}

QSGridViewController::~QSGridViewController() { delete m_scrollView; }

int QSGridViewController::addSection(unsigned settings, QWidget *background)
{
    if (m_sections.size() >= maximumSections) {
        platform::logError(QStringLiteral("more then %1 sections").arg(maximumSections));
        return -1;
    }
    m_settings.append(settings);
    m_sections.append(QList<QSGridItem *>());
    m_backgrounds.append(background);
    if (background)
        background->setParent(m_container);
    return int(m_sections.size()) - 1;
}

QSGridItem *QSGridViewController::addImage(const QImage &image, const QString &title, const QVariant &context,
                                           const QVariant &sortTag, int section)
{
    if (!validSection(section))
        return nullptr;
    QSGridItem *item = QSGridItem::gridItem(image, title, context, m_settings[section]);
    item->setSortTag(sortTag);
    addGridItem(item, section);
    return item;
}

bool QSGridViewController::addGridItem(QSGridItem *item, int section, bool instant)
{
    if (!item || !validSection(section))
        return false;
    item->setDelegate(this);
    bool replaced = false;
    if (!instant) {
        if (QSGridItem *old = gridItemForContext(item->context())) {
            const QRectF frame = old->frame();
            removeItemAtIndex(indexForObjectWithContext(item->context()), false);
            item->setFrame(frame);
            replaced = true;
        }
    }
    if (instant || !replaced)
        centerGridItem(item);
    m_container->addSubview(item);
    item->show();
    m_sections[section].append(item);
    if (!instant)
        sortItems(m_sections[section]);
    return true;
}

QSGridItem *QSGridViewController::removeItemAtIndex(Index index, bool animated)
{
    if (!index.found() || !validSection(index.section) || index.item >= m_sections[index.section].size())
        return nullptr;
    QSGridItem *item = m_sections[index.section].takeAt(index.item);
    if (item == m_selectedItem) {
        m_selectedItem = nullptr;
        if (m_delegate)
            m_delegate->selectedItemWithContext(this, QVariant());
    }
    if (animated) {
        Transaction::begin();
        Transaction::setAnimationDuration(animationDuration(0.25, 2.0));
        Transaction::setCompletionBlock([tile = QPointer<QSGridItem>(item)] { delete tile; });
        item->layer()->setOpacity(0);
        Transaction::commit();
    } else {
        item->deleteLater();
        item->hide();
    }
    setNeedsLayout();
    return item;
}

void QSGridViewController::removeItemWithContext(const QVariant &context)
{
    removeItemAtIndex(indexForObjectWithContext(context), true);
}

void QSGridViewController::removeItemsInSection(int section, bool animated)
{
    if (!validSection(section))
        return;
    for (int i = int(m_sections[section].size()) - 1; i >= 0; --i)
        removeItemAtIndex({section, i}, animated);
}

void QSGridViewController::removeSection(int section)
{
    if (!validSection(section))
        return;
    removeItemsInSection(section, true);
    delete m_backgrounds.takeAt(section);
    m_sections.removeAt(section);
    m_settings.removeAt(section);
}

void QSGridViewController::removeAllSections()
{
    for (int section = int(m_sections.size()) - 1; section >= 0; --section)
        removeSection(section);
}

void QSGridViewController::deselectAllItems()
{
    for (const QList<QSGridItem *> &items : std::as_const(m_sections)) {
        for (QSGridItem *item : items)
            item->setSelected(false);
    }
}

QList<QSGridItem *> QSGridViewController::gridItemsInSection(int section) const
{
    return validSection(section) ? m_sections[section] : QList<QSGridItem *>();
}

void QSGridViewController::instantReplaceGridItems(const QList<QSGridItem *> &items, int section)
{
    if (!validSection(section))
        return;
    if (m_selectedItem && !m_allowMultiSelection) {
        QSGridItem *selected = m_selectedItem;
        m_selectedItem = nullptr;
        selected->setSelected(false);
    }
    Transaction::begin();
    Transaction::setDisableActions(true);
    removeItemsInSection(section, false);
    for (QSGridItem *item : items)
        addGridItem(item, section, true);
    sortItems(m_sections[section]);
    refreshLayout(0);
    Transaction::commit();
}

QSGridViewController::Index QSGridViewController::indexForObjectWithContext(const QVariant &context) const
{
    for (int section = 0; section < m_sections.size(); ++section) {
        for (int item = 0; item < m_sections[section].size(); ++item) {
            if (m_sections[section][item]->context() == context)
                return {section, item};
        }
    }
    return {};
}

QSGridItem *QSGridViewController::gridItemForContext(const QVariant &context) const
{
    const Index index = indexForObjectWithContext(context);
    return index.found() ? m_sections[index.section][index.item] : nullptr;
}

bool QSGridViewController::setIconWidth(double width)
{
    if (!positive(width) || !positive(width / m_aspectRatio)) {
        platform::logWarning(QStringLiteral("Refused icon width %1").arg(width));
        return false;
    }
    m_layout.iconSize = QSizeF(width, width / m_aspectRatio);
    platform::UserDefaults::standardUserDefaults()->setDouble(width, iconWidthKey);
    refreshLayout(2);
    return true;
}

bool QSGridViewController::setAspectRatio(double ratio)
{
    if (!positive(ratio)) {
        platform::logWarning(QStringLiteral("Refused aspect ratio %1").arg(ratio));
        return false;
    }
    m_aspectRatio = ratio;
    m_layout.iconSize.setHeight(m_layout.iconSize.width() / ratio);
    refreshLayout(2);
    return true;
}

void QSGridViewController::setMarginWidth(double width)
{
    m_layout.margin.setWidth(width);
    setNeedsLayout();
}

void QSGridViewController::setMarginHeight(double height)
{
    m_layout.margin.setHeight(height);
    setNeedsLayout();
}

void QSGridViewController::refreshLayout(int mode)
{
    m_layout.scrollSize = QSizeF(m_scrollView->size());
    const QScrollBar *scroller = m_scrollView->verticalScrollBar();
    m_layout.scrollerWidth = scroller && scroller->isVisible() ? scroller->width() : 0;
    const QList<QSGridLayout::Section> shapes = sectionShapes();
    m_container->setFrame(QRectF(0, 0, m_layout.scrollSize.width(), m_layout.containerHeight(shapes)));
    const int columns = m_layout.columns();
    if (mode == 1 && columns == m_lastColumns)
        return;
    m_lastColumns = columns;
    const QList<QRectF> backgrounds = m_layout.backgroundFrames(shapes);
    const QList<QList<QRectF>> cells = m_layout.cells(shapes);
    for (int section = 0; section < m_sections.size(); ++section) {
        if (QWidget *background = m_backgrounds[section]) {
            if (auto *view = qobject_cast<platform::View *>(background))
                view->setFrame(backgrounds[section]);
        }
        for (int i = 0; i < m_sections[section].size(); ++i)
            m_sections[section][i]->setupInRect(cells[section][i], mode != 0);
    }
}

void QSGridViewController::setNeedsLayout()
{
    if (!m_layoutTimer.isActive())
        m_layoutTimer.start();
}

QPair<double, double> QSGridViewController::shadowAlphas(double visibleY, double visibleHeight,
                                                         double containerHeight) const
{
    const double band = m_layout.margin.height();
    if (band <= 0)
        return {0, 0};
    return {std::clamp((containerHeight - (visibleY + visibleHeight)) / band * 0.5, 0.0, 1.0),
            std::clamp(visibleY / band * 0.5, 0.0, 1.0)};
}

void QSGridViewController::gridItemWasSelected(QSGridItem *item)
{
    if (item->isSelected()) {
        if (!m_allowMultiSelection && m_selectedItem && m_selectedItem != item) {
            QSGridItem *previous = m_selectedItem;
            m_selectedItem = nullptr;
            previous->setSelected(false);
        }
        m_selectedItem = item;
    } else {
        m_selectedItem = nullptr;
    }
    if (m_delegate)
        m_delegate->selectedItemWithContext(this, m_selectedItem ? m_selectedItem->context() : QVariant());
}

void QSGridViewController::gridItemWasExecuted(QSGridItem *item)
{
    if (m_delegate)
        m_delegate->executeItemWithContext(this, item->context());
}

void QSGridViewController::gridItemShouldRemove(QSGridItem *item)
{
    const QVariant context = item->context();
    if (m_delegate)
        m_delegate->removeItemWithContext(this, context);
    removeItemWithContext(context);
}

void QSGridViewController::gridItemChangedPinState(QSGridItem *item, bool pinned)
{
    if (m_delegate)
        m_delegate->changedPin(this, pinned, item->context());
}

void QSGridViewController::gridItemChangedHoverState(QSGridItem *item, bool hovering)
{
    if (m_delegate)
        m_delegate->hovering(this, hovering, item->context());
}

bool QSGridViewController::validSection(int section) const
{
    if (section >= 0 && section < m_sections.size())
        return true;
    platform::logWarning(QStringLiteral("No grid section %1").arg(section));
    return false;
}

void QSGridViewController::sortItems(QList<QSGridItem *> &items)
{
    std::stable_sort(items.begin(), items.end(), [](QSGridItem *a, QSGridItem *b) {
        return QSGridItem::compareSortTags(a->sortTag(), b->sortTag()) < 0;
    });
    setNeedsLayout();
}

void QSGridViewController::centerGridItem(QSGridItem *item)
{
    const QRect visible = m_scrollView->viewport()->rect();
    const QSizeF icon = m_layout.iconSize;
    item->setupInRect(QRectF(QPointF(visible.center()) - QPointF(icon.width() / 2, icon.height() / 2), icon), false);
}

QList<QSGridLayout::Section> QSGridViewController::sectionShapes() const
{
    QList<QSGridLayout::Section> shapes;
    for (int section = 0; section < m_sections.size(); ++section) {
        const auto *box = qobject_cast<const QSBoxView *>(m_backgrounds[section].data());
        shapes.append({int(m_sections[section].size()), box ? box->titleSize().height() : 0.0,
                       !m_backgrounds[section].isNull()});
    }
    return shapes;
}

double QSGridViewController::animationDuration(double normal, double slow) const
{
    return QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier ? slow : normal;
}
