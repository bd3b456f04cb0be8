#include "RQS-Kit/Controls/QSGridViewController.h"

#include "RQS-Kit/Controls/QSTitledView.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/layers/Layer.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/FrameAnimation.h"
#include "platform/ui/TakenViews.h"
#include "platform/ui/ViewEffects.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <utility>

using platform::Transaction;

namespace {

const QString iconWidthKey = QStringLiteral("IconWidth");

bool positive(double value) { return std::isfinite(value) && value > 0; }

// The value, or the nearer end of the range with a warning.
double withinRange(double value, double minimum, double maximum, const QString &what)
{
    const double kept = std::clamp(value, minimum, maximum);
    if (kept != value)
        platform::logWarning(QStringLiteral("The grid's %1 %2 became %3").arg(what).arg(value).arg(kept));
    return kept;
}

// Holds a flag up while a layout runs.
class Raised
{
public:
    explicit Raised(bool &flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~Raised() { m_flag = false; }

private:
    bool &m_flag;
};

} // namespace

QSGridViewController::QSGridViewController(QObject *parent)
    : QSViewController(parent)
    , m_taken(new platform::TakenViews(this))
{
    m_layoutTimer.setSingleShot(true);
    m_layoutTimer.setInterval(500);
    connect(&m_layoutTimer, &QTimer::timeout, this, [this] { refreshLayout(2); });
    m_containerGlide.setEasingCurve(QEasingCurve::InOutCubic);
    connect(&m_containerGlide, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &height) { resizeContainer(height.toDouble()); });
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->registerDefaults({{iconWidthKey, 200.0}});
    if (!setIconWidth(defaults->doubleForKey(iconWidthKey)))
        setIconWidth(200);
}

QSGridViewController::~QSGridViewController()
{
    m_containerGlide.stop();
    // The view may outlive the controller in its parent, or go with the base's clean-up after the
    // sections are gone.
    for (const QList<QSGridItem *> &items : std::as_const(m_sections)) {
        for (QSGridItem *item : items) {
            item->setDelegate(nullptr);
            disconnect(item, &QObject::destroyed, this, &QSGridViewController::forgetItem);
        }
    }
    if (m_scrollView) {
        m_scrollView->removeEventFilter(this);
        disconnect(m_scrollView, nullptr, this, nullptr);
    }
    // A tile handed back must not go with the container, nor one dropped stay in it unseen.
    for (const auto &[item, handBack] : std::exchange(m_fading, {})) {
        if (item)
            finishFade(item, handBack);
    }
}

void QSGridViewController::loadView()
{
    QSViewController::loadView();
    refreshLayout(2);
}

bool QSGridViewController::loaded()
{
    view();
    return m_scrollView && m_container;
}

void QSGridViewController::setScrollView(platform::ScrollView *scrollView)
{
    if (m_scrollView) {
        m_scrollView->removeEventFilter(this);
        disconnect(m_scrollView, nullptr, this, nullptr);
    }
    m_scrollView = scrollView;
    if (!scrollView)
        return;
    scrollView->installEventFilter(this);
    connect(scrollView, &platform::ScrollView::boundsChanged, this, &QSGridViewController::viewDidScroll);
}

void QSGridViewController::setContainer(platform::View *container)
{
    m_container = container;
    if (container)
        container->setWantsLayer(true);
}

void QSGridViewController::setBackgroundView(QSImageView *view)
{
    m_backgroundView = view;
    if (view)
        view->setViewDelegate(this);
}

void QSGridViewController::setGridParentView(QWidget *parent)
{
    if (parent == m_gridParentView)
        return;
    m_gridParentView = parent;
    QWidget *own = view();
    if (!parent || !own)
        return;
    const QRectF bounds(QPointF(0, 0), QSizeF(parent->size()));
    if (auto *superview = qobject_cast<platform::View *>(parent))
        superview->addSubview(own);
    else
        own->setParent(parent);
    if (auto *ownView = qobject_cast<platform::View *>(own))
        ownView->setFrame(bounds);
    else
        own->setGeometry(bounds.toRect());
    own->show();
}

int QSGridViewController::addSection(unsigned settings, platform::View *background)
{
    if (m_sections.size() >= maximumSections) {
        platform::logError(QStringLiteral("more then %1 sections").arg(maximumSections));
        return maximumSections - 1;
    }
    m_settings.append(settings);
    m_sections.append(QList<QSGridItem *>());
    m_backgrounds.append(background);
    if (background) {
        background->setAutoresizingMask(platform::Autoresizing::None);
        if (loaded())
            m_container->addSubview(background);
    }
    return int(m_sections.size()) - 1;
}

QSGridItem *QSGridViewController::addImage(const QImage &image, const QString &title, const QVariant &context,
                                           const QVariant &sortTag, int section)
{
    if (!validSection(section))
        return nullptr;
    QSGridItem *item = QSGridItem::gridItem(image, title, context, m_settings[section]);
    item->setSortTag(sortTag);
    if (!addGridItem(item, section)) {
        delete item;
        return nullptr;
    }
    return item;
}

bool QSGridViewController::addGridItem(QSGridItem *item, int section, bool instant)
{
    if (!item || !validSection(section) || !loaded())
        return false;
    // A tile of this grid added again moves: it is in one section only.
    const bool moved = detach(item);
    item->setDelegate(this);
    item->setAutoresizingMask(platform::Autoresizing::None);
    bool replaced = false;
    if (!instant) {
        const Index index = indexForObjectWithContext(item->context());
        if (index.found()) {
            const QRectF frame = m_sections[index.section][index.item]->frame();
            takeOut(index, false, false);
            item->setFrame(frame);
            replaced = true;
        }
    }
    if (!moved && (instant || !replaced))
        centerGridItem(item);
    showAgain(item);
    platform::View::setLentSubview(item, false);
    m_container->addSubview(item);
    connect(item, &QObject::destroyed, this, &QSGridViewController::forgetItem, Qt::UniqueConnection);
    m_sections[section].append(item);
    if (!instant)
        sortItems(m_sections[section]);
    return true;
}

QSGridItem *QSGridViewController::removeItemAtIndex(Index index, bool animated)
{
    return takeOut(index, animated, true);
}

QSGridItem *QSGridViewController::takeOut(Index index, bool animated, bool handBack)
{
    if (!index.found() || !validSection(index.section) || index.item >= m_sections[index.section].size())
        return nullptr;
    QSGridItem *item = m_sections[index.section].takeAt(index.item);
    if (item == m_selectedItem)
        m_selectedItem = nullptr;
    // It reports to nobody until it is added somewhere.
    item->setDelegate(nullptr);
    disconnect(item, &QObject::destroyed, this, &QSGridViewController::forgetItem);
    if (animated) {
        m_fading.append({item, handBack});
        // Already the caller's: should the grid's view go while it fades, it must not take it along.
        platform::View::setLentSubview(item, handBack);
        Transaction::begin();
        Transaction::setAnimationDuration(animationDuration(platform::FrameAnimation::defaultDuration(), 2.0));
        Transaction::setCompletionBlock([self = QPointer<QSGridViewController>(this), tile = QPointer<QSGridItem>(item), handBack] {
            if (self && tile)
                self->finishFade(tile, handBack);
        });
        item->layer()->setOpacity(0);
        Transaction::commit();
    } else if (handBack) {
        m_taken->handBack(item);
    } else {
        m_taken->drop(item);
    }
    setNeedsLayout();
    return item;
}

void QSGridViewController::finishFade(QSGridItem *item, bool handBack)
{
    m_fading.removeIf([item](const QPair<QPointer<QSGridItem>, bool> &fading) { return fading.first == item; });
    // Added again while it faded, it stays.
    if (contains(item) || item->parent() != m_container)
        return;
    if (handBack)
        m_taken->handBack(item);
    else
        m_taken->drop(item);
    // As it was given, whoever takes it up next.
    showAgain(item);
}

void QSGridViewController::removeItemWithContext(const QVariant &context)
{
    takeOut(indexForObjectWithContext(context), true, false);
}

void QSGridViewController::removeItemsInSection(int section, bool animated)
{
    if (!validSection(section))
        return;
    for (int i = int(m_sections[section].size()) - 1; i >= 0; --i)
        takeOut({section, i}, animated, false);
}

void QSGridViewController::removeSection(int section)
{
    if (!validSection(section))
        return;
    removeItemsInSection(section, true);
    m_taken->drop(m_backgrounds.takeAt(section));
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
    if (!m_allowMultiSelection)
        clearSelection();
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
            if (m_sections[section][item]->hasContext(context))
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

void QSGridViewController::setShowShadows(bool show)
{
    m_showShadows = show;
    viewDidScroll();
}

bool QSGridViewController::setIconWidth(double width)
{
    if (!positive(width) || !positive(width / m_aspectRatio)) {
        platform::logWarning(QStringLiteral("Refused icon width %1").arg(width));
        return false;
    }
    width = withinRange(width, MinimumIconWidth, MaximumIconWidth, QStringLiteral("icon width"));
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
    ratio = withinRange(ratio, 1 / MaximumAspectRatio, MaximumAspectRatio, QStringLiteral("aspect ratio"));
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

void QSGridViewController::setGridSpacing(const QSizeF &spacing)
{
    m_layout.spacing = spacing;
    setNeedsLayout();
}

double QSGridViewController::scrollPosition() const
{
    if (!m_scrollView || !m_container)
        return 0;
    const QRectF visible = m_scrollView->documentVisibleRect();
    const double hidden = m_container->height() - visible.height();
    return hidden > 0 ? 1 - visible.y() / hidden : 0;
}

void QSGridViewController::setScrollPosition(double position)
{
    if (!m_scrollView || !m_container)
        return;
    const double hidden = m_container->height() - m_scrollView->documentVisibleRect().height();
    if (hidden > 0)
        m_scrollView->scrollToPoint(QPointF(0, (1 - position) * hidden));
}

void QSGridViewController::refreshLayout(int mode)
{
    // Resizing the container resizes the background picture, which would ask again.
    if (m_inLayout || !m_scrollView || !m_container)
        return;
    const Raised inLayout(m_inLayout);
    m_layout.scrollSize = QSizeF(m_scrollView->size());
    m_layout.scrollerWidth = scrollerWidth();
    const QList<QSGridLayout::Section> shapes = sectionShapes();
    const double seconds = mode == 0 ? 0 : animationDuration(platform::FrameAnimation::defaultDuration(), 2.5);
    glideContainer(m_layout.containerHeight(shapes), seconds);
    const int columns = m_layout.columns();
    if (mode == 1 && columns == m_lastColumns)
        return;
    m_lastColumns = columns;
    const QList<QRectF> backgrounds = m_layout.backgroundFrames(shapes);
    const QList<QList<QRectF>> cells = m_layout.cells(shapes);
    QList<platform::FrameAnimation::Move> backgroundMoves;
    for (int section = 0; section < m_sections.size(); ++section) {
        if (platform::View *background = m_backgrounds[section])
            backgroundMoves.append({background, backgrounds[section]});
        for (int i = 0; i < m_sections[section].size(); ++i)
            m_sections[section][i]->setupInRect(cells[section][i], mode != 0, seconds);
    }
    platform::FrameAnimation::run(backgroundMoves, seconds, {});
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

void QSGridViewController::viewDidScroll()
{
    if (!m_scrollView || !m_container)
        return;
    QPair<double, double> alphas{0, 0};
    if (m_showShadows) {
        const QRectF visible = m_scrollView->documentVisibleRect();
        alphas = shadowAlphas(visible.y(), visible.height(), m_container->height());
    }
    const double seconds = animationDuration(0, 2.5);
    if (m_topShadow)
        platform::fadeViewAlpha(m_topShadow, alphas.first, seconds);
    if (m_bottomShadow)
        platform::fadeViewAlpha(m_bottomShadow, alphas.second, seconds);
}

void QSGridViewController::viewWasClicked(QSImageView *)
{
    if (!m_allowMultiSelection)
        clearSelection();
}

void QSGridViewController::viewDidAutoresize(QSImageView *)
{
    // The container's own glides resize the picture too; only a new size of the scroll view counts.
    if (!m_scrollView || QSizeF(m_scrollView->size()) == m_layout.scrollSize)
        return;
    refreshLayout(1);
    setNeedsLayout();
}

void QSGridViewController::gridItemWasSelected(QSGridItem *item)
{
    if (item->isSelected()) {
        if (!m_allowMultiSelection && m_selectedItem && m_selectedItem != item) {
            QSGridItem *previous = m_selectedItem;
            m_selectedItem = nullptr;
            // Its deselection reaches the delegate, which may delete this grid or the tile.
            const QPointer<QSGridViewController> self(this);
            const QPointer<QSGridItem> selected(item);
            previous->setSelected(false);
            if (!self || !selected)
                return;
        }
        m_selectedItem = item;
    } else {
        m_selectedItem = nullptr;
    }
    if (QSGridViewDelegate *delegate = m_delegate.get())
        delegate->selectedItemWithContext(this, m_selectedItem ? m_selectedItem->context() : QVariant());
}

void QSGridViewController::gridItemWasExecuted(QSGridItem *item)
{
    if (QSGridViewDelegate *delegate = m_delegate.get())
        delegate->executeItemWithContext(this, item->context());
}

void QSGridViewController::gridItemShouldRemove(QSGridItem *item)
{
    const QPointer<QSGridItem> clicked(item);
    const QPointer<QSGridViewController> self(this);
    const QVariant context = item->context();
    if (QSGridViewDelegate *delegate = m_delegate.get())
        delegate->removeItemWithContext(this, context);
    // The tile clicked, which its context would not tell apart from others without one.
    if (self && clicked)
        takeOut(indexOf(clicked), true, false);
}

void QSGridViewController::gridItemChangedPinState(QSGridItem *item, bool pinned)
{
    if (QSGridViewDelegate *delegate = m_delegate.get())
        delegate->changedPin(this, pinned, item->context());
}

void QSGridViewController::gridItemChangedHoverState(QSGridItem *item, bool hovering)
{
    if (QSGridViewDelegate *delegate = m_delegate.get())
        delegate->hovering(this, hovering, item->context());
}

bool QSGridViewController::eventFilter(QObject *watched, QEvent *event)
{
    // The container spans the scroll view's width, as a clip view's document view does, so the
    // picture in it reports the change. The type first: a scroll view going before the grid sends
    // events from its base's destructor, where it is no scroll view any more.
    if (event->type() == QEvent::Resize && watched == m_scrollView && m_container)
        resizeContainer(m_container->height());
    return QSViewController::eventFilter(watched, event);
}

QSGridViewController::Index QSGridViewController::indexOf(const QSGridItem *item) const
{
    for (int section = 0; section < m_sections.size(); ++section) {
        if (const qsizetype i = m_sections[section].indexOf(item); i >= 0)
            return {section, int(i)};
    }
    return {};
}

bool QSGridViewController::contains(const QSGridItem *item) const
{
    return std::any_of(m_sections.cbegin(), m_sections.cend(),
                       [item](const QList<QSGridItem *> &items) { return items.contains(item); });
}

bool QSGridViewController::detach(const QObject *item)
{
    bool found = false;
    for (QList<QSGridItem *> &items : m_sections)
        found = items.removeIf([item](const QObject *tile) { return tile == item; }) > 0 || found;
    return found;
}

void QSGridViewController::showAgain(QSGridItem *item)
{
    // A tile removed with a fade and added back before the fade ended.
    Transaction::begin();
    Transaction::setDisableActions(true);
    item->layer()->setOpacity(1);
    Transaction::commit();
}

void QSGridViewController::forgetItem(QObject *item)
{
    // Compared as an object only: the tile is being destroyed.
    if (detach(item))
        setNeedsLayout();
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
    const QSizeF scrollSize(m_scrollView->size());
    if (m_scrollView->viewport()->height() > m_container->height()) {
        m_containerGlide.stop();
        resizeContainer(scrollSize.height());
    }
    const QPointF centre = m_scrollView->documentVisibleRect().center();
    const QSizeF icon = m_layout.iconSize;
    item->setupInRect(QRectF(centre - QPointF(icon.width() / 2, icon.height() / 2), icon), false);
}

void QSGridViewController::clearSelection()
{
    QSGridItem *selected = m_selectedItem;
    if (!selected)
        return;
    // The tile tells the delegate, through gridItemWasSelected, that nothing is selected.
    selected->setSelected(false);
    m_selectedItem = nullptr;
}

QList<QSGridLayout::Section> QSGridViewController::sectionShapes() const
{
    QList<QSGridLayout::Section> shapes;
    for (int section = 0; section < m_sections.size(); ++section) {
        const auto *titled = dynamic_cast<const QSTitledView *>(m_backgrounds[section].data());
        shapes.append({int(m_sections[section].size()), titled ? titled->titleSize().height() : 0.0,
                       !m_backgrounds[section].isNull()});
    }
    return shapes;
}

double QSGridViewController::scrollerWidth() const
{
    // Room is kept for the scroller whether or not it shows, so that its coming and going
    // changes no column.
    if (m_scrollView->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
        return 0;
    return m_scrollView->verticalScrollBar()->sizeHint().width();
}

void QSGridViewController::resizeContainer(double height)
{
    if (!m_container || !m_scrollView)
        return;
    m_container->resize(m_scrollView->width(), qRound(height));
    viewDidScroll();
}

void QSGridViewController::glideContainer(double height, double seconds)
{
    // No widget is taller; a longer grid scrolls no further.
    const double target = std::isnan(height) ? 0 : qRound(std::clamp(height, 0.0, double(QWIDGETSIZE_MAX)));
    if (m_containerGlide.state() == QAbstractAnimation::Running && m_containerGlide.endValue().toDouble() == target)
        return;
    m_containerGlide.stop();
    if (seconds <= 0 || m_container->height() == target) {
        resizeContainer(target);
        return;
    }
    m_containerGlide.setStartValue(double(m_container->height()));
    m_containerGlide.setEndValue(target);
    m_containerGlide.setDuration(int(seconds * 1000));
    m_containerGlide.start();
}

double QSGridViewController::animationDuration(double normal, double slow)
{
    return QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier ? slow : normal;
}
