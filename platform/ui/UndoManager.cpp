#include "platform/ui/UndoManager.h"

#include "platform/foundation/Log.h"

#include <QTimer>

#include <algorithm>

namespace platform {

namespace {

template <class Entry>
bool isLive(const Entry &entry)
{
    return !entry.hasTarget || entry.target;
}

template <class Step>
bool hasLiveEntry(const Step &step)
{
    return std::any_of(step.entries.cbegin(), step.entries.cend(), [](const auto &e) { return isLive(e); });
}

// Steps whose every target is gone would undo nothing; they are dropped rather than offered.
template <class Step>
void dropDeadSteps(QList<Step> &steps)
{
    steps.removeIf([](const Step &step) { return !hasLiveEntry(step); });
}

} // namespace

UndoManager::UndoManager(QObject *parent)
    : QObject(parent)
{
}

UndoManager::~UndoManager() = default;

bool UndoManager::registerUndo(QObject *target, Action inverse)
{
    if (!inverse) {
        logWarning(QStringLiteral("An empty undo action was not registered"));
        return false;
    }
    if (m_disabled > 0)
        return false;
    Entry entry{target, target != nullptr, std::move(inverse)};
    if (m_mode == Mode::Normal) {
        if (m_cleanIndex > m_undoSteps.size())
            m_cleanIndex = -1;
        m_redoSteps.clear();
        if (m_level == 0 && !m_groupsByEvent) {
            m_undoSteps.append(Step{QString(), {entry}});
            announceClean();
            return true;
        }
        if (m_level == 0) {
            beginUndoGrouping();
            m_eventGroupOpen = true;
            scheduleEventGroupEnd();
        }
    }
    m_open.entries.append(std::move(entry));
    announceClean();
    return true;
}

void UndoManager::scheduleEventGroupEnd()
{
    QTimer::singleShot(0, this, [this] {
        if (!m_eventGroupOpen)
            return;
        // An explicit group still open inside the event's group: wait for the next turn.
        if (m_level == 1)
            endUndoGrouping();
        else
            scheduleEventGroupEnd();
    });
}

void UndoManager::beginUndoGrouping()
{
    if (m_level == 0)
        m_open = Step();
    ++m_level;
}

bool UndoManager::endUndoGrouping()
{
    // While replaying, the outermost group belongs to the replay itself.
    const int floor = m_mode == Mode::Normal ? 0 : 1;
    if (m_level <= floor) {
        logWarning(QStringLiteral("Undo group ended without being begun"));
        return false;
    }
    if (--m_level == 0) {
        if (!m_open.entries.isEmpty())
            m_undoSteps.append(m_open);
        m_open = Step();
        m_eventGroupOpen = false;
    }
    return true;
}

int UndoManager::groupingLevel() const { return m_level; }

bool UndoManager::groupsByEvent() const { return m_groupsByEvent; }

void UndoManager::setGroupsByEvent(bool groupsByEvent) { m_groupsByEvent = groupsByEvent; }

bool UndoManager::closeEventGroup(const char *operation)
{
    if (m_mode != Mode::Normal) {
        logWarning(QStringLiteral("%1 asked for while undoing or redoing").arg(QLatin1String(operation)));
        return false;
    }
    if (m_level == 0)
        return true;
    if (m_level == 1 && m_eventGroupOpen)
        return endUndoGrouping();
    logWarning(QStringLiteral("%1 asked for while an undo group is open").arg(QLatin1String(operation)));
    return false;
}

bool UndoManager::undo()
{
    if (!closeEventGroup("Undo"))
        return false;
    dropDeadSteps(m_undoSteps);
    if (m_undoSteps.isEmpty())
        return false;
    emit willUndoChange();
    replay(m_undoSteps, m_redoSteps, Mode::Undoing);
    announceClean();
    emit didUndoChange();
    return true;
}

bool UndoManager::redo()
{
    if (!closeEventGroup("Redo"))
        return false;
    dropDeadSteps(m_redoSteps);
    if (m_redoSteps.isEmpty())
        return false;
    emit willRedoChange();
    replay(m_redoSteps, m_undoSteps, Mode::Redoing);
    announceClean();
    emit didRedoChange();
    return true;
}

void UndoManager::replay(QList<Step> &from, QList<Step> &to, Mode mode)
{
    const Step step = from.takeLast();
    m_mode = mode;
    m_open = Step{step.name, {}};
    m_level = 1;
    for (auto entry = step.entries.crbegin(); entry != step.entries.crend(); ++entry) {
        if (isLive(*entry))
            entry->action();
    }
    if (m_level != 1)
        logWarning(QStringLiteral("An undo action left %1 undo groups open").arg(m_level - 1));
    m_level = 0;
    m_mode = Mode::Normal;
    if (!m_open.entries.isEmpty())
        to.append(m_open);
    m_open = Step();
}

bool UndoManager::canUndo() const
{
    if (m_mode != Mode::Normal || (m_level > 0 && !(m_level == 1 && m_eventGroupOpen)))
        return false;
    if (m_level > 0 && hasLiveEntry(m_open))
        return true;
    return std::any_of(m_undoSteps.cbegin(), m_undoSteps.cend(), [](const Step &s) { return hasLiveEntry(s); });
}

bool UndoManager::canRedo() const
{
    if (m_mode != Mode::Normal || (m_level > 0 && !(m_level == 1 && m_eventGroupOpen)))
        return false;
    return std::any_of(m_redoSteps.cbegin(), m_redoSteps.cend(), [](const Step &s) { return hasLiveEntry(s); });
}

bool UndoManager::isUndoing() const { return m_mode == Mode::Undoing; }

bool UndoManager::isRedoing() const { return m_mode == Mode::Redoing; }

void UndoManager::setActionName(const QString &name)
{
    if (m_level > 0)
        m_open.name = name;
    else if (!m_undoSteps.isEmpty())
        m_undoSteps.last().name = name;
}

QString UndoManager::undoActionName() const
{
    if (m_mode == Mode::Redoing || (m_mode == Mode::Normal && m_level > 0 && !m_open.entries.isEmpty()))
        return m_open.name;
    return m_undoSteps.isEmpty() ? QString() : m_undoSteps.last().name;
}

QString UndoManager::redoActionName() const
{
    if (m_mode == Mode::Undoing)
        return m_open.name;
    return m_redoSteps.isEmpty() ? QString() : m_redoSteps.last().name;
}

void UndoManager::disableUndoRegistration() { ++m_disabled; }

void UndoManager::enableUndoRegistration()
{
    if (m_disabled == 0) {
        logWarning(QStringLiteral("Undo registration enabled more often than disabled"));
        return;
    }
    --m_disabled;
}

bool UndoManager::isUndoRegistrationEnabled() const { return m_disabled == 0; }

void UndoManager::removeAllActions()
{
    m_cleanIndex = computeClean() ? 0 : -1;
    m_undoSteps.clear();
    m_redoSteps.clear();
    m_open.entries.clear();
    announceClean();
}

void UndoManager::removeAllActions(const QObject *target)
{
    const bool clean = computeClean();
    removeTarget(m_undoSteps, target);
    removeTarget(m_redoSteps, target);
    m_open.entries.removeIf([target](const Entry &e) { return e.hasTarget && e.target == target; });
    // Which of the remaining steps the clean state lay between is no longer known.
    m_cleanIndex = clean ? m_undoSteps.size() : -1;
    announceClean();
}

void UndoManager::setClean()
{
    m_cleanIndex = stepsTaken();
    announceClean();
}

bool UndoManager::isClean() const { return m_clean; }

// An open group with actions is a step on its way.
qsizetype UndoManager::stepsTaken() const
{
    return m_undoSteps.size() + (m_level > 0 && !m_open.entries.isEmpty() ? 1 : 0);
}

bool UndoManager::computeClean() const { return m_cleanIndex == stepsTaken(); }

// Undo and redo replay several actions; they are told once the step has been replayed.
void UndoManager::announceClean()
{
    if (m_mode != Mode::Normal)
        return;
    const bool clean = computeClean();
    if (clean == m_clean)
        return;
    m_clean = clean;
    emit cleanChanged(clean);
}

void UndoManager::removeTarget(QList<Step> &steps, const QObject *target)
{
    for (Step &step : steps)
        step.entries.removeIf([target](const Entry &e) { return e.hasTarget && e.target == target; });
    steps.removeIf([](const Step &step) { return step.entries.isEmpty(); });
}

} // namespace platform
