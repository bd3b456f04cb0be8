#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// Reports once that a window closes: a close that the window accepted, or its destruction. Qt sends
// no will-close notice; a close event is followed by hiding only when the window accepted it, so
// that pair is what counts. Hiding or minimising alone is no close.
//
// A receiver that deletes the watcher from windowWillClose must use deleteLater: the signal is sent
// from inside the watcher's event handling.
class QSWindowCloseWatcher : public QObject
{
    Q_OBJECT
public:
    QSWindowCloseWatcher(QWidget *window, QObject *parent = nullptr);
    ~QSWindowCloseWatcher() override;

    // Null once the window is gone.
    QWidget *window() const;

signals:
    void windowWillClose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stopWatching();
    void report();

    QPointer<QWidget> m_window;
    QMetaObject::Connection m_destroyed;
    bool m_closing = false;
    bool m_reported = false;
};
