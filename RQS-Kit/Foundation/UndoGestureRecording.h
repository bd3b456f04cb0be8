#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QWindow;
namespace platform {
class UndoManager;
}

// The one recording of a pointer gesture that gesture-aware undo folds changes into: the object
// being changed, the keys already registered for it, and, while a drag is under way, a watch on
// the application's events that ends the recording at the next left-button press or release, or
// when the window the drag began in hides (closed while the button is held, its release never
// comes). Shared by every undo manager of the process. Main thread only.
class UndoGestureRecording : public QObject
{
    Q_OBJECT
public:
    static UndoGestureRecording &shared();

    QObject *recordedTarget() const;
    bool hasRecorded(const QObject *target, const QString &key) const;
    // A change of another target ends the recording and starts one for the new target.
    void record(QObject *target, const QString &key);

    void watchForGestureEnd();
    bool isWatching() const;

    // Undoing or redoing takes back the step the gesture was adding to, so it ends the recording.
    void follow(platform::UndoManager *manager);

public slots:
    void end();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QObject> m_target;
    QStringList m_keys;
    bool m_watching = false;
    // The window of the drag being watched.
    QPointer<QWindow> m_window;
};
