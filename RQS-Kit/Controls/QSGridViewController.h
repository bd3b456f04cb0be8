#pragma once

#include "RQS-Kit/Controls/QSGridItem.h"
#include "RQS-Kit/Controls/QSGridLayout.h"
#include "RQS-Kit/Controls/QSImageView.h"
#include "RQS-Kit/Controls/QSViewDelegate.h"
#include "RQS-Kit/Foundation/QSViewController.h"
#include "platform/ui/ScrollView.h"

#include <QPointer>
#include <QTimer>
#include <QVariantAnimation>

class QSGridViewController;
namespace platform {
class TakenViews;
}

// What the grid tells its client (a QObject held weakly), in terms of the tiles' contexts; every
// message is optional.
class QSGridViewDelegate
{
public:
    virtual ~QSGridViewDelegate() = default;
    // An invalid context when the selection is cleared.
    virtual void selectedItemWithContext(QSGridViewController *, const QVariant &) {}
    virtual void executeItemWithContext(QSGridViewController *, const QVariant &) {}
    virtual void removeItemWithContext(QSGridViewController *, const QVariant &) {}
    virtual void changedPin(QSGridViewController *, bool, const QVariant &) {}
    virtual void hovering(QSGridViewController *, bool, const QVariant &) {}
};

// Tiles in up to 100 sections stacked top to bottom in a scrolling container, each section
// sorted by sort tag, laid out with a user-set icon width ("IconWidth"). The view comes from the
// interface file: a scroll view whose document view is the container, a picture filling the
// container behind the tiles that reports background clicks and size changes, and two shadow
// bands over the top and bottom edges that show how much lies beyond them. The outlets are
// nullptr until the view is loaded; the grid's operations load it. Main thread.
class QSGridViewController : public QSViewController, public QSGridItemDelegate, public QSViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(platform::ScrollView *scrollView READ scrollView WRITE setScrollView)
    Q_PROPERTY(platform::View *container READ container WRITE setContainer)
    Q_PROPERTY(QSImageView *backgroundView READ backgroundView WRITE setBackgroundView)
    Q_PROPERTY(QWidget *topShadow READ topShadow WRITE setTopShadow)
    Q_PROPERTY(QWidget *bottomShadow READ bottomShadow WRITE setBottomShadow)
public:
    static constexpr int maximumSections = 100;
    struct Index
    {
        int section = -1;
        int item = -1;
        bool found() const { return section >= 0; }
    };

    explicit QSGridViewController(QObject *parent = nullptr);
    ~QSGridViewController() override;

    void loadView() override;

    platform::ScrollView *scrollView() const { return m_scrollView; }
    // The shadows follow the new scroll view's visible rectangle, and the container its width.
    void setScrollView(platform::ScrollView *scrollView);
    platform::View *container() const { return m_container; }
    void setContainer(platform::View *container);
    QSImageView *backgroundView() const { return m_backgroundView; }
    void setBackgroundView(QSImageView *view);
    QWidget *topShadow() const { return m_topShadow; }
    void setTopShadow(QWidget *shadow) { m_topShadow = shadow; }
    QWidget *bottomShadow() const { return m_bottomShadow; }
    void setBottomShadow(QWidget *shadow) { m_bottomShadow = shadow; }
    // The view fills the parent's bounds and follows its size.
    QWidget *gridParentView() const { return m_gridParentView; }
    void setGridParentView(QWidget *parent);

    void setDelegate(platform::Delegate<QSGridViewDelegate> delegate) { m_delegate.set(delegate); }

    // The last section's index, with an error, when all sections are taken.
    int addSection(unsigned settings, platform::View *background = nullptr);
    QSGridItem *addImage(const QImage &image, const QString &title, const QVariant &context,
                         const QVariant &sortTag, int section);
    bool addGridItem(QSGridItem *item, int section, bool instant = false);
    // The grid parents its tiles and backgrounds. removeItemAtIndex hands the tile back (see
    // platform::TakenViews): it is the caller's, and the grid never deletes it, also when the grid
    // goes first. Every other removal drops what it removes: the other calls that take tiles out,
    // a tile replaced by one of an equal context, a section's background. A dropped view is
    // deleted soon unless the caller adds it again within the same turn of the event loop (as
    // when it refreshes a section with tiles it already shows) or gives it a parent of its own.
    // A tile the caller deletes leaves the grid; a tile added again moves, within its section or to
    // another. A selected tile leaves the selection without a word to the delegate; a fading tile
    // leaves the container when the fade ends, unless it was added again meanwhile. Contexts
    // match as QSGridItem::hasContext says: a tile without one matches no context.
    QSGridItem *removeItemAtIndex(Index index, bool animated);
    void removeItemWithContext(const QVariant &context);
    void removeItemsInSection(int section, bool animated);
    void removeSection(int section);
    void removeAllSections();
    void deselectAllItems();
    QList<QSGridItem *> gridItemsInSection(int section) const;
    void instantReplaceGridItems(const QList<QSGridItem *> &items, int section);
    Index indexForObjectWithContext(const QVariant &context) const;
    QSGridItem *gridItemForContext(const QVariant &context) const;
    QSGridItem *selectedItem() const { return m_selectedItem; }
    int sectionCount() const { return int(m_sections.size()); }

    bool allowMultiSelection() const { return m_allowMultiSelection; }
    void setAllowMultiSelection(bool allow) { m_allowMultiSelection = allow; }
    bool showShadows() const { return m_showShadows; }
    void setShowShadows(bool show);
    double iconWidth() const { return m_layout.iconSize.width(); }
    // Tiles from 16 to 4,096 points wide, at most 16 times as wide as high or as high as wide: a
    // width or ratio beyond becomes the nearer end, with a warning. False with a warning for one
    // that is not positive and finite. The stored "IconWidth" is read the same way.
    static constexpr double MinimumIconWidth = 16;
    static constexpr double MaximumIconWidth = 4096;
    static constexpr double MaximumAspectRatio = 16;
    bool setIconWidth(double width);
    bool setAspectRatio(double ratio);
    void setMarginWidth(double width);
    void setMarginHeight(double height);
    void setGridSpacing(const QSizeF &spacing);
    const QSGridLayout &layout() const { return m_layout; }

    // 0 at the top, 1 at the bottom; 0 while everything is in sight.
    double scrollPosition() const;
    void setScrollPosition(double position);

    // 0 = at once, 1 = after an autoresize (skipped while the column count stays), 2 = normal.
    // Tiles, section backgrounds and the container glide, for 2.5 s while Shift alone is held.
    void refreshLayout(int mode);
    void setNeedsLayout();
    // True while a deferred layout is waiting.
    bool needsLayout() const { return m_layoutTimer.isActive(); }
    // The scroll shadows' alphas for the visible part (y-up) of a container of height H.
    QPair<double, double> shadowAlphas(double visibleY, double visibleHeight, double containerHeight) const;
    void viewDidScroll();

    bool takesClicks() const override { return true; }
    // A click on the background clears a single selection.
    void viewWasClicked(QSImageView *view) override;
    void viewDidAutoresize(QSImageView *view) override;

    void gridItemWasSelected(QSGridItem *item) override;
    void gridItemWasExecuted(QSGridItem *item) override;
    void gridItemShouldRemove(QSGridItem *item) override;
    void gridItemChangedPinState(QSGridItem *item, bool pinned) override;
    void gridItemChangedHoverState(QSGridItem *item, bool hovering) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool loaded();
    bool validSection(int section) const;
    bool contains(const QSGridItem *item) const;
    // Out of every section's list, still in the container; true when it was in one.
    bool detach(const QObject *item);
    // Out of its section; handed back or dropped once it left the container, after its fade.
    QSGridItem *takeOut(Index index, bool animated, bool handBack);
    // A tile whose fade ended, or is cut short, leaves the container unless added again.
    void finishFade(QSGridItem *item, bool handBack);
    Index indexOf(const QSGridItem *item) const;
    void showAgain(QSGridItem *item);
    void forgetItem(QObject *item);
    void sortItems(QList<QSGridItem *> &items);
    void centerGridItem(QSGridItem *item);
    void clearSelection();
    QList<QSGridLayout::Section> sectionShapes() const;
    double scrollerWidth() const;
    void resizeContainer(double height);
    void glideContainer(double height, double seconds);
    static double animationDuration(double normal, double slow);

    QList<QList<QSGridItem *>> m_sections;
    QList<unsigned> m_settings;
    QList<QPointer<platform::View>> m_backgrounds;
    platform::TakenViews *m_taken;
    platform::WeakDelegate<QSGridViewDelegate, QSGridViewController> m_delegate;
    QPointer<platform::ScrollView> m_scrollView;
    QPointer<platform::View> m_container;
    QPointer<QSImageView> m_backgroundView;
    QPointer<QWidget> m_topShadow;
    QPointer<QWidget> m_bottomShadow;
    QPointer<QWidget> m_gridParentView;
    QSGridLayout m_layout;
    double m_aspectRatio = 1;
    QPointer<QSGridItem> m_selectedItem;
    bool m_allowMultiSelection = false;
    bool m_showShadows = true;
    bool m_inLayout = false;
    QTimer m_layoutTimer;
    // Glides the container's height; its width follows the scroll view at once.
    QVariantAnimation m_containerGlide;
    // The columns of this grid's last full layout.
    int m_lastColumns = 1;
    // Tiles fading out, and whether each goes back to the caller.
    QList<QPair<QPointer<QSGridItem>, bool>> m_fading;
};
