#include "RQS-Kit/Controls/QSListView.h"

#include "RQS-Kit/Controls/QSColorView.h"
#include "RQS-Kit/Controls/QSListEntryView.h"
#include "RQS-Kit/Foundation/QSColor.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/GuardedPointers.h"
#include "platform/foundation/Log.h"
#include "platform/ui/FrameAnimation.h"
#include "platform/ui/TakenViews.h"
#include "platform/ui/UndoManager.h"
#include "platform/ui/ViewEffects.h"
#include "platform/ui/ViewUndo.h"

#include <QGuiApplication>
#include <QHash>
#include <QResizeEvent>

namespace {

const platform::Shadow dragShadow{QColor::fromRgbF(0, 0, 0, 0.5), QSizeF(1.0, -1.0), 3.0};

bool shiftAlone() { return QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier; }

} // namespace

QSListView::QSListView(QWidget *parent)
    : platform::View(parent)
    , m_taken(new platform::TakenViews(this))
{
    m_lastLine = new QSColorView(this);
    m_lastLine->setFrame(QRectF(0, 0, bounds().width(), 1.0));
    m_lastLine->setColor(QColor::fromRgbF(205 / 255.0, 205 / 255.0, 205 / 255.0));
    m_updateTimer.setSingleShot(true);
    connect(&m_updateTimer, &QTimer::timeout, this, &QSListView::refreshLayout);
}

QSListView::~QSListView()
{
    m_updateTimer.stop();
    if (delegate())
        delegate()->listViewWillDealloc(this);
    // The rows go with the base, after the list.
    for (QSListEntryView *entry : std::as_const(m_entries))
        disconnect(entry, &QObject::destroyed, this, &QSListView::forgetEntry);
}

QList<QSListEntryView *> QSListView::entries() const { return m_entries; }

QSListEntryView *QSListView::entryAtIndex(qsizetype index) const
{
    if (index < 0 || index >= m_entries.size()) {
        platform::logWarning(QStringLiteral("No list entry at index %1 of %2").arg(index).arg(m_entries.size()));
        return nullptr;
    }
    return m_entries[index];
}

QSListEntryView *QSListView::entryForContext(const QObject *context) const
{
    for (QSListEntryView *entry : m_entries) {
        if (entry->context().get() == context)
            return entry;
    }
    return nullptr;
}

qsizetype QSListView::indexOf(const QSListEntryView *entry) const { return m_entries.indexOf(entry); }

void QSListView::registerUndo(std::function<void()> inverse, const QString &verb)
{
    platform::UndoManager *undo = platform::undoManagerForView(this);
    if (undo->registerUndo(this, std::move(inverse)))
        undo->setActionName(rqs::localized(verb + QLatin1Char(' ') + m_entryDenomination));
}

bool QSListView::insertListEntry(QSListEntryView *entry, qsizetype index)
{
    if (!entry || index < 0 || index > m_entries.size() || m_entries.contains(entry)) {
        platform::logWarning(QStringLiteral("Cannot insert a list entry at index %1 of %2").arg(index).arg(m_entries.size()));
        return false;
    }
    if (index == 0)
        m_lastLine->setAutoresizingMask(entry->autoresizingMask());
    // It starts just above the top edge and slides into place.
    entry->setFrame(QRectF(0, bounds().height(), bounds().width(), entry->preferredHeight()));
    entry->setDelegate(this);
    addSubview(entry);
    connect(entry, &QObject::destroyed, this, &QSListView::forgetEntry, Qt::UniqueConnection);
    entry->show();
    m_entries.insert(index, entry);
    // What the rows and the delegate are told may delete this list.
    const QPointer<QSListView> self(this);
    updateListLayout(NextTurn);
    if (!self)
        return true;
    registerUndo([this, index] { removeListEntryAtIndex(index); }, QStringLiteral("Insert"));
    if (delegate())
        delegate()->listViewDidInsertEntry(this, entry, index);
    return true;
}

bool QSListView::addListEntry(QSListEntryView *entry) { return insertListEntry(entry, m_entries.size()); }

bool QSListView::removeListEntryAtIndex(qsizetype index)
{
    QSListEntryView *entry = entryAtIndex(index);
    if (!entry)
        return false;
    const QPointer<QSListView> self(this);
    const QPointer<QSListEntryView> removed(entry);
    if (entry == m_selectedEntry)
        setSelectedEntry(nullptr);
    if (!self || !removed)
        return true;
    m_entries.removeAll(entry);
    disconnect(entry, &QObject::destroyed, this, &QSListView::forgetEntry);
    updateListLayout(NextTurn);
    if (!self || !removed)
        return true;
    // The step that may insert the row again keeps it as long as it lives.
    registerUndo(
        [this, row = QPointer<QSListEntryView>(entry), index, kept = m_taken->keep(entry)] {
            if (row)
                insertListEntry(row, index);
        },
        QStringLiteral("Remove"));
    if (delegate())
        delegate()->listViewDidRemoveEntry(this, entry);
    return true;
}

void QSListView::removeAllListEntries()
{
    // The delegate hears of each row and may delete this list meanwhile.
    const QPointer<QSListView> self(this);
    for (qsizetype index = m_entries.size() - 1; index >= 0; --index) {
        if (!self)
            return;
        if (index < m_entries.size())
            removeListEntryAtIndex(index);
    }
}

bool QSListView::moveEntryFrom(qsizetype from, qsizetype to)
{
    if (from < 0 || from >= m_entries.size()) {
        platform::logWarning(QStringLiteral("Cannot move a list entry from index %1 of %2").arg(from).arg(m_entries.size()));
        return false;
    }
    if (from < qsizetype(m_fixed) || to < qsizetype(m_fixed) || to == from || to >= m_entries.size())
        return false;
    QSListEntryView *entry = m_entries.takeAt(from);
    m_entries.insert(to, entry);
    const QPointer<QSListView> self(this);
    updateListLayout(NextTurn);
    if (self && delegate())
        delegate()->listViewDidMoveEntry(this, entry, from, to);
    if (!self)
        return true;
    if (!m_draggedEntry)
        registerUndo([this, from, to] { moveEntryFrom(to, from); }, QStringLiteral("Reorder"));
    return true;
}

void QSListView::forgetEntry(QObject *entry)
{
    // Compared as an object only: the row is being destroyed.
    if (m_entries.removeIf([entry](const QObject *row) { return row == entry; }) > 0)
        updateListLayout(NextTurn);
}

double QSListView::neededHeight() const
{
    double height = 0;
    for (const QSListEntryView *entry : m_entries)
        height += entry->preferredHeight();
    return height;
}

QSListEntryView *QSListView::selectedEntry() const { return m_selectedEntry; }

void QSListView::setSelectedEntry(QSListEntryView *entry)
{
    if (entry == m_selectedEntry)
        return;
    // The rows tell this list, and it its delegate, which may delete it.
    const QPointer<QSListView> self(this);
    if (m_selectedEntry)
        m_selectedEntry->setSelected(false);
    if (!self)
        return;
    m_selectedEntry = entry;
    if (entry)
        entry->setSelected(true);
    if (!self)
        return;
    m_scrollToSelected = true;
    if (delegate())
        delegate()->listViewDidSelectEntry(this, entry);
    if (self)
        updateListLayout(m_defaultBehavior);
}

qsizetype QSListView::selectedIndex() const { return m_selectedEntry ? m_entries.indexOf(m_selectedEntry) : -1; }

void QSListView::setSelectedIndex(qsizetype index)
{
    if (index >= 0 && index < m_entries.size())
        setSelectedEntry(m_entries[index]);
}

QSListEntryView *QSListView::draggedEntry() const { return m_draggedEntry; }

void QSListView::updateListLayout(int behavior)
{
    // A row's change of state reaches the delegate, which may delete rows or this list.
    const QPointer<QSListView> self(this);
    for (const QPointer<QSListEntryView> &entry : platform::guardedPointers(m_entries)) {
        if (!self)
            return;
        if (entry && m_entries.contains(entry.data()))
            entry->layoutWillChange();
    }
    if (!self)
        return;
    if (behavior & (Immediate | ImmediateAnimated)) {
        m_updateBehavior = behavior;
        refreshLayout();
        return;
    }
    if (m_updateTimer.isActive() && unsigned(m_updateBehavior) <= unsigned(behavior))
        return;
    m_updateBehavior = behavior;
    m_updateTimer.start((m_updateBehavior & NextTurn) ? 0 : 500);
}

double QSListView::passDuration() const
{
    if (m_updateBehavior & ImmediateAnimated)
        return platform::FrameAnimation::defaultDuration();
    if (m_updateBehavior & Immediate)
        return 0;
    return shiftAlone() ? 20.0 : platform::FrameAnimation::defaultDuration();
}

void QSListView::refreshLayout()
{
    m_updateTimer.stop();
    const double duration = passDuration();
    ++m_runningAnimations;
    const QRectF oldSelectedFrame = m_selectedEntry ? m_selectedEntry->frame() : QRectF();

    const double needed = neededHeight();
    double height = needed;
    double offset = 0;
    const QPointer<QSListView> self(this);
    if (delegate()) {
        const std::optional<double> asked = delegate()->listViewWillResize(this, needed);
        if (!self)
            return;
        if (asked) {
            height = *asked;
            offset = std::max(*asked - needed, 0.0);
        }
    }
    const QRectF own = frame();
    setFrame(QRectF(own.x(), own.y(), own.width(), height));
    const double width = bounds().width();
    m_lastLine->setFrame(QRectF(0, offset - 1.0, width, 1.0));

    QList<platform::FrameAnimation::Move> moves;
    double y = offset;
    for (QSListEntryView *entry : std::as_const(m_entries)) {
        const double rowHeight = entry->preferredHeight();
        if (entry != m_draggedEntry) {
            const QRectF target(0, y, width, rowHeight);
            moves.append({entry, target});
            if (entry == m_selectedEntry && delegate()) {
                // The delegate may change or delete this list as it scrolls: the pass ends here.
                const QList<QSListEntryView *> entries = m_entries;
                delegate()->listViewShouldShowFrame(this, target, oldSelectedFrame, m_scrollToSelected);
                if (!self)
                    return;
                m_scrollToSelected = false;
                if (m_entries != entries) {
                    --m_runningAnimations;
                    updateListLayout(NextTurn);
                    return;
                }
            }
        }
        y += rowHeight;
    }
    platform::FrameAnimation::run(moves, duration, [self, moves] {
        if (!self)
            return;
        self->m_runningAnimations = std::max<qint64>(0, self->m_runningAnimations - 1);
        if (self->m_runningAnimations > 0)
            return;
        // Overlapping passes end on the frames of the last one; a row told of it may delete the list.
        for (const platform::FrameAnimation::Move &move : moves) {
            if (!self)
                return;
            if (auto *entry = qobject_cast<QSListEntryView *>(move.first.data())) {
                entry->setFrame(move.second);
                entry->layoutDidChange();
            }
        }
    });
}

void QSListView::dragListEntry(QSListEntryView *entry, QSizeF by, bool end)
{
    if (entry != m_draggedEntry) {
        m_draggedEntry = entry;
        m_indexBeforeDrag = m_entries.indexOf(entry);
        entry->raise();
        platform::setViewShadow(entry, dragShadow);
    }
    const QRectF place = entry->frame();
    double y = std::min(place.y() + by.height(), bounds().height() - 0.5 * place.height());
    y = std::max(y, 10.0 - place.height());
    entry->setFrame(QRectF(place.x(), y, place.width(), place.height()));
    // A move is told to the delegate, which may delete the row or this list.
    const QPointer<QSListView> self(this);
    const QPointer<QSListEntryView> row(entry);
    updateOrderForDraggedEntry();
    if (!self)
        return;
    if (!row) {
        m_draggedEntry = nullptr;
        updateListLayout(NextTurn);
        return;
    }
    if (end) {
        const qsizetype index = m_entries.indexOf(entry);
        const qsizetype before = m_indexBeforeDrag;
        if (index != before)
            registerUndo([this, index, before] { moveEntryFrom(index, before); }, QStringLiteral("Reorder"));
        platform::setViewShadow(entry, std::nullopt);
        if (index + 1 < m_entries.size())
            entry->stackUnder(m_entries[index + 1]);
        m_draggedEntry = nullptr;
    }
    updateListLayout(NextTurn);
}

void QSListView::updateOrderForDraggedEntry()
{
    QSListEntryView *dragged = m_draggedEntry;
    const QRectF place = dragged->frame();
    const double top = place.y() + place.height();
    double c = bounds().height();
    const qsizetype from = m_entries.indexOf(dragged);
    const qsizetype n = m_entries.size();
    const qsizetype lim = m_fixed ? qsizetype(m_fixed) : 1;
    qsizetype target = n - 1;
    if (!(n - 1 < lim || c <= top)) {
        qsizetype k = n - 1;
        for (;;) {
            c -= m_entries[k]->frame().height();
            if (k - 1 < lim || c <= top)
                break;
            --k;
        }
        target = top > c ? k : k - 1;
        if (k - 1 >= from)
            target = k - 1;
    }
    moveEntryFrom(from, target);
}

QString QSListView::entryDenomination() const { return m_entryDenomination; }
void QSListView::setEntryDenomination(const QString &denomination) { m_entryDenomination = denomination; }
int QSListView::defaultBehavior() const { return m_defaultBehavior; }
void QSListView::setDefaultBehavior(int behavior) { m_defaultBehavior = behavior; }
qulonglong QSListView::fixed() const { return m_fixed; }
void QSListView::setFixed(qulonglong fixed) { m_fixed = fixed; }
qint64 QSListView::runningAnimations() const { return m_runningAnimations; }
void QSListView::setRunningAnimations(qint64 count) { m_runningAnimations = std::max<qint64>(0, count); }
QSColorView *QSListView::lastLine() const { return m_lastLine; }

QString QSListView::lastLineColorName() const { return QSColor::descriptionForNSColor(m_lastLine->borderColor()); }

void QSListView::setLastLineColorName(const QString &description)
{
    // The line keeps its fill; the described colour draws its border.
    m_lastLine->setBorderColor(QSColor::colorFromDescription(description));
    m_lastLine->setProperty("borderWidth", 1.0);
    m_lastLine->update();
}

QSListViewDelegate *QSListView::delegate() const { return m_delegate.get(); }
void QSListView::setDelegate(platform::Delegate<QSListViewDelegate> delegate) { m_delegate.set(delegate); }

void QSListView::listEntryWasClicked(QSListEntryView *entry)
{
    const QPointer<QSListView> self(this);
    const QPointer<QSListEntryView> row(entry);
    if (delegate() && !delegate()->listViewCanOpenEntry(this, entry))
        return;
    if (self && row)
        setSelectedEntry(entry == m_selectedEntry ? nullptr : entry);
}

void QSListView::listEntryEnableDidChange(QSListEntryView *entry, bool enabled)
{
    if (delegate())
        delegate()->listViewEntryEnableDidChange(this, entry, enabled);
}

void QSListView::listEntryNeedUpdate(QSListEntryView *, bool instantly) { updateListLayout(instantly ? ImmediateAnimated : NextTurn); }

void QSListView::removeListEntry(QSListEntryView *entry)
{
    const qsizetype index = m_entries.indexOf(entry);
    if (index >= 0)
        removeListEntryAtIndex(index);
}

void QSListView::entryWillOpen(QSListEntryView *entry)
{
    if (delegate())
        delegate()->listViewWillOpenEntry(this, entry);
}

void QSListView::entryDidOpen(QSListEntryView *entry)
{
    if (delegate())
        delegate()->listViewDidOpenEntry(this, entry);
}

void QSListView::entryWillClose(QSListEntryView *entry)
{
    if (delegate())
        delegate()->listViewWillCloseEntry(this, entry);
}

void QSListView::entryDidClose(QSListEntryView *entry)
{
    if (delegate())
        delegate()->listViewDidCloseEntry(this, entry);
}

void QSListView::copyListEntry(QSListEntryView *entry)
{
    if (delegate())
        delegate()->copyListEntry(entry);
}

void QSListView::pasteListEntry(QSListEntryView *entry)
{
    if (delegate())
        delegate()->pasteListEntry(entry);
}

bool QSListView::acceptPasteForListEntry(QSListEntryView *entry) { return !delegate() || delegate()->acceptPasteForListEntry(entry); }

bool QSListView::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange) {
        if (parentWidget())
            updateListLayout(Immediate);
        else
            m_updateTimer.stop();
    }
    return platform::View::event(event);
}

void QSListView::resizeWithOldSuperviewSize(const QSizeF &oldSize)
{
    // A delegate may size the list by its superview, so a taller superview asks for a pass too.
    if (QSizeF(superview()->size()) == oldSize)
        return;
    platform::View::resizeWithOldSuperviewSize(oldSize);
    updateListLayout(m_defaultBehavior);
}

void QSListView::resizeSubviewsWithOldSize(const QSizeF &) {}

void QSListView::resizeEvent(QResizeEvent *event)
{
    platform::View::resizeEvent(event);
    // Only a new width asks for a pass; the height is the list's own answer to its rows.
    if (event->oldSize().width() != event->size().width())
        updateListLayout(m_defaultBehavior);
}
