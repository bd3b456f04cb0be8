#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace platform {

// Undo and redo as stacks of steps; a step is a group of inverse actions that run in reverse order
// of registration. While a step is undone, the actions it registers form the redo step, and the
// other way round, so an inverse that registers its own inverse gets redo for free. GUI thread.
//
// With groupsByEvent on (the default), registrations made outside any explicit group are gathered
// into one step that closes on the next turn of the event loop. An action whose target object has
// been destroyed is skipped.
class UndoManager : public QObject
{
    Q_OBJECT
public:
    using Action = std::function<void()>;

    explicit UndoManager(QObject *parent = nullptr);
    ~UndoManager() override;

    // False (nothing registered) while registration is disabled or for an empty action.
    bool registerUndo(QObject *target, Action inverse);

    void beginUndoGrouping();
    // False with a logged warning when no group is open.
    bool endUndoGrouping();
    int groupingLevel() const;
    bool groupsByEvent() const;
    void setGroupsByEvent(bool groupsByEvent);

    // Both close a group opened by event grouping first; false when there is nothing to do, or
    // (with a logged warning) while an explicit group is open or a step is being undone or redone.
    bool undo();
    bool redo();
    bool canUndo() const;
    bool canRedo() const;
    bool isUndoing() const;
    bool isRedoing() const;

    // Names the step being recorded: the redo step while undoing, else the open step, else the
    // latest undo step.
    void setActionName(const QString &name);
    // The step that undo (redo) would take back; while undoing, redoActionName is the name of the
    // redo step being recorded.
    QString undoActionName() const;
    QString redoActionName() const;

    // Counted: registration is on again after as many enables as disables.
    void disableUndoRegistration();
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const;

    void removeAllActions();
    // Only the actions registered with that target; steps left empty disappear.
    void removeAllActions(const QObject *target);

    // Marks the present state as the saved one. It is clean again whenever undo or redo returns
    // to it; a new step taken after undoing past it makes it unreachable.
    void setClean();
    bool isClean() const;

signals:
    void cleanChanged(bool clean);
    void willUndoChange();
    void didUndoChange();
    void willRedoChange();
    void didRedoChange();

private:
    struct Entry
    {
        QPointer<QObject> target;
        bool hasTarget = false;
        Action action;
    };
    struct Step
    {
        QString name;
        QList<Entry> entries;
    };
    enum class Mode { Normal, Undoing, Redoing };

    bool closeEventGroup(const char *operation);
    void scheduleEventGroupEnd();
    void replay(QList<Step> &from, QList<Step> &to, Mode mode);
    static void removeTarget(QList<Step> &steps, const QObject *target);
    qsizetype stepsTaken() const;
    bool computeClean() const;
    void announceClean();

    QList<Step> m_undoSteps;
    QList<Step> m_redoSteps;
    Step m_open;
    int m_level = 0;
    bool m_eventGroupOpen = false;
    bool m_groupsByEvent = true;
    int m_disabled = 0;
    Mode m_mode = Mode::Normal;
    // The number of undo steps at the clean state; -1 when no undo or redo leads back to it.
    qsizetype m_cleanIndex = 0;
    bool m_clean = true;
};

} // namespace platform
