#pragma once

#include <QCursor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QWidget>

class QSWindowCloseWatcher;

// A stack of cursors per window, each pushed under a key of its caller (callers use themselves),
// so that views sharing a window need not know of each other; the top one is the window's cursor.
// Keys are compared by equality.
//
// The current cursor is the window's own cursor, which every widget in it shows unless it has a
// cursor of its own. A stack lives from the first push for its window until the window closes or is
// destroyed; then the window gets back the cursor it had before. A push disables the cursor
// rectangles of a platform::Window; they stay disabled after pops and come back with the stack's
// removal. Main thread only.
class QSCursorStack : public QObject
{
    Q_OBJECT
public:
    // Nothing for a null window.
    static void pushCursor(const QCursor &cursor, const QVariant &key, QWidget *window);
    // Nothing for a window without a stack.
    static void replaceCursor(const QCursor &cursor, const QVariant &key, QWidget *window);
    static void popCursorForKey(const QVariant &key, QWidget *window);
    static QSCursorStack *cursorStackForWindow(const QWidget *window);
    static void removeCursorStackForWindow(const QWidget *window);

    explicit QSCursorStack(QWidget *window);
    ~QSCursorStack() override;

    // A null key is refused with a warning. An equal key already on the stack moves to the top.
    void pushCursor(const QCursor &cursor, const QVariant &key);
    // In place; the window's cursor changes only when the key is the top one.
    void replaceCursor(const QCursor &cursor, const QVariant &key);
    // Removing the top one makes the next one current, or the arrow cursor when none is left.
    void popCursorForKey(const QVariant &key);

    QList<QCursor> cursors() const;
    QVariantList keys() const;
    QString description() const;

private:
    static void removeRegistration(qsizetype index);
    void windowWillClose();
    void restoreWindow();
    void setCurrent(const QCursor &cursor);

    QPointer<QWidget> m_window;
    QSWindowCloseWatcher *m_closeWatcher;
    bool m_windowHadCursor;
    QCursor m_windowCursor;
    QList<QCursor> m_cursors;
    QVariantList m_keys;
};
