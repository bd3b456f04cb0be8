#pragma once

#include "RQS-Kit/Controls/QSGridItem.h"
#include "RQS-Kit/Controls/QSGridLayout.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QScrollArea;
class QSGridViewController;

// What the grid tells its client, in terms of the tiles' contexts; every message is optional.
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
// sorted by sort tag, laid out with a user-set icon width ("IconWidth").
class QSGridViewController : public QObject, public QSGridItemDelegate
{
    Q_OBJECT
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

    QScrollArea *scrollView() const { return m_scrollView; }
    platform::View *container() const { return m_container; }
    void setDelegate(QSGridViewDelegate *delegate) { m_delegate = delegate; }

    // -1 with an error when all sections are taken.
    int addSection(unsigned settings, QWidget *background = nullptr);
    QSGridItem *addImage(const QImage &image, const QString &title, const QVariant &context,
                         const QVariant &sortTag, int section);
    bool addGridItem(QSGridItem *item, int section, bool instant = false);
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

    double iconWidth() const { return m_layout.iconSize.width(); }
    // False with a warning for a width or ratio that is not positive and finite.
    bool setIconWidth(double width);
    bool setAspectRatio(double ratio);
    void setMarginWidth(double width);
    void setMarginHeight(double height);
    const QSGridLayout &layout() const { return m_layout; }

    // 0 = at once, 1 = after an autoresize (skipped while the column count stays), 2 = normal.
    void refreshLayout(int mode);
    void setNeedsLayout();
    // The scroll shadows' alphas for the visible part (y-up) of a container of height H.
    QPair<double, double> shadowAlphas(double visibleY, double visibleHeight, double containerHeight) const;

    void gridItemWasSelected(QSGridItem *item) override;
    void gridItemWasExecuted(QSGridItem *item) override;
    void gridItemShouldRemove(QSGridItem *item) override;
    void gridItemChangedPinState(QSGridItem *item, bool pinned) override;
    void gridItemChangedHoverState(QSGridItem *item, bool hovering) override;

private:
    bool validSection(int section) const;
    void sortItems(QList<QSGridItem *> &items);
    void centerGridItem(QSGridItem *item);
    QList<QSGridLayout::Section> sectionShapes() const;
    double animationDuration(double normal, double slow) const;

    QList<QList<QSGridItem *>> m_sections;
    QList<unsigned> m_settings;
    QList<QPointer<QWidget>> m_backgrounds;
    QSGridViewDelegate *m_delegate = nullptr;
    QScrollArea *m_scrollView;
    platform::View *m_container;
    QSGridLayout m_layout;
    double m_aspectRatio = 1;
    QPointer<QSGridItem> m_selectedItem;
    bool m_allowMultiSelection = false;
    QTimer m_layoutTimer;
    // The columns of this grid's last full layout.
    int m_lastColumns = 1;
};
