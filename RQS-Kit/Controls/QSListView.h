#pragma once

#include "RQS-Kit/Controls/QSListDelegates.h"
#include "platform/foundation/WeakDelegate.h"
#include "platform/ui/View.h"

#include <QList>
#include <QPointer>
#include <QTimer>

class QSColorView;
class QSListEntryView;
namespace platform {
class TakenViews;
}

// An inspector-style list: rows stacked from index 0 at the bottom upwards, a thin closing line
// under the lowest, laid out by the list itself with animation. Inserts, removals and moves are
// undoable with named actions; rows can be selected, dragged into a new order (all but the first
// fixed ones), removed, switched and copied through their buttons. Relayout requests of one turn
// of the event loop are gathered into one pass. Main thread.
class QSListView : public platform::View, public QSListEntryViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(QString entryDenomination READ entryDenomination WRITE setEntryDenomination)
    Q_PROPERTY(int defaultBehavior READ defaultBehavior WRITE setDefaultBehavior)
    Q_PROPERTY(qulonglong fixed READ fixed WRITE setFixed)
    Q_PROPERTY(qlonglong selectedIndex READ selectedIndex WRITE setSelectedIndex)
    Q_PROPERTY(QString lastLineColorName READ lastLineColorName WRITE setLastLineColorName)
    Q_PROPERTY(qlonglong runningAnimations READ runningAnimations WRITE setRunningAnimations)

public:
    // Bits of a relayout request.
    enum Behavior {
        Deferred = 0,       // after 0.5 s
        Immediate = 1,      // now, without animation
        ImmediateAnimated = 2,
        NextTurn = 4,       // deferred only to the next turn of the event loop
    };

    explicit QSListView(QWidget *parent = nullptr);
    ~QSListView() override;

    QList<QSListEntryView *> entries() const;
    // Null, with a warning, for an index outside the list.
    QSListEntryView *entryAtIndex(qsizetype index) const;
    QSListEntryView *entryForContext(const QObject *context) const;
    qsizetype indexOf(const QSListEntryView *entry) const;

    // Each refuses, with a warning and a false answer, an index outside the list. The list parents
    // its rows and hands none back: a removed row is kept by the undo step that may insert it again
    // and dropped when that step goes (see platform::TakenViews), unless it is in a list again by
    // then or the caller gave it a parent of its own. A row the caller deletes leaves the list.
    bool insertListEntry(QSListEntryView *entry, qsizetype index);
    bool addListEntry(QSListEntryView *entry);
    bool removeListEntryAtIndex(qsizetype index);
    void removeAllListEntries();
    // Ignored unless both indexes lie beyond the fixed rows and differ, and to lies in the list.
    bool moveEntryFrom(qsizetype from, qsizetype to);

    double neededHeight() const;
    QSListEntryView *selectedEntry() const;
    void setSelectedEntry(QSListEntryView *entry);
    // -1 without a selection.
    qsizetype selectedIndex() const;
    void setSelectedIndex(qsizetype index);
    QSListEntryView *draggedEntry() const;

    void updateListLayout(int behavior);
    // The layout pass; normally run by updateListLayout.
    void refreshLayout();

    QString entryDenomination() const;
    void setEntryDenomination(const QString &denomination);
    int defaultBehavior() const;
    void setDefaultBehavior(int behavior);
    qulonglong fixed() const;
    void setFixed(qulonglong fixed);
    // Layout passes whose animations are still running; the last to end sets the final frames.
    qint64 runningAnimations() const;
    // A negative count is kept as 0.
    void setRunningAnimations(qint64 count);
    QSColorView *lastLine() const;
    // The description of the last line's border colour.
    QString lastLineColorName() const;
    void setLastLineColorName(const QString &description);
    QSListViewDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSListViewDelegate> delegate);

    // What the rows tell their list.
    void listEntryWasClicked(QSListEntryView *entry) override;
    void listEntryEnableDidChange(QSListEntryView *entry, bool enabled) override;
    void listEntryNeedUpdate(QSListEntryView *entry, bool instantly) override;
    void removeListEntry(QSListEntryView *entry) override;
    void dragListEntry(QSListEntryView *entry, QSizeF by, bool end) override;
    void entryWillOpen(QSListEntryView *entry) override;
    void entryDidOpen(QSListEntryView *entry) override;
    void entryWillClose(QSListEntryView *entry) override;
    void entryDidClose(QSListEntryView *entry) override;
    void copyListEntry(QSListEntryView *entry) override;
    void pasteListEntry(QSListEntryView *entry) override;
    bool acceptPasteForListEntry(QSListEntryView *entry) override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void resizeWithOldSuperviewSize(const QSizeF &oldSize) override;
    // Rows are placed by the list's layout passes alone, never by their autoresizing.
    void resizeSubviewsWithOldSize(const QSizeF &oldSize) override;

private:
    void registerUndo(std::function<void()> inverse, const QString &verb);
    void updateOrderForDraggedEntry();
    void forgetEntry(QObject *entry);
    double passDuration() const;

    QList<QSListEntryView *> m_entries;
    platform::TakenViews *m_taken;
    QSColorView *m_lastLine = nullptr;
    QString m_entryDenomination = QStringLiteral("entry");
    QPointer<QSListEntryView> m_selectedEntry;
    QPointer<QSListEntryView> m_draggedEntry;
    QTimer m_updateTimer;
    qulonglong m_fixed = 0;
    qsizetype m_indexBeforeDrag = 0;
    platform::WeakDelegate<QSListViewDelegate, QSListView> m_delegate;
    bool m_scrollToSelected = false;
    int m_updateBehavior = 0;
    int m_defaultBehavior = NextTurn;
    qint64 m_runningAnimations = 0;
};
