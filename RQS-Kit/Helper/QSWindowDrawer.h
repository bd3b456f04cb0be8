#pragma once

#include "RQS-Kit/Foundation/QSWindowController.h"
#include "platform/foundation/WeakDelegate.h"

#include <QPointer>
#include <QPropertyAnimation>
#include <QTimer>

class QSChildSupportWindow;
class QSWindowDrawer;
namespace platform {
class TakenViews;
}

// Told by the drawer; the object that is told must be a QObject as well (see setDelegate).
class QSWindowDrawerDelegate
{
public:
    virtual ~QSWindowDrawerDelegate() = default;

    virtual void windowDrawerDidHide(QSWindowDrawer *drawer) = 0;
};

// A borderless child window that slides out leftwards from the right edge of a view of another
// window, follows that window's resizing, and slides back when hidden, when its window closes or,
// with autohide, when it loses the keyboard. The content view keeps its width. GUI thread.
class QSWindowDrawer : public QSWindowController
{
    Q_OBJECT
public:
    static constexpr int AnimationTime = 200; // milliseconds

    explicit QSWindowDrawer(QObject *parent = nullptr);
    ~QSWindowDrawer() override;

    QWidget *contentView() const;
    // The drawer's window parents it at once; it shows from the next slide out on. Answers the
    // view it replaced, handed back (see platform::TakenViews); nullptr when there was none, it
    // is the same, or it went elsewhere.
    QWidget *setContentView(QWidget *contentView);
    QWidget *focusView() const;
    // The view the drawer follows when its window is resized; one outside that window is refused
    // with a warning while the drawer is out.
    void setFocusView(QWidget *view);
    bool autohide() const;
    void setAutohide(bool autohide);
    // A QObject (nothing else compiles), held weakly: from its end on the drawer tells nobody.
    QSWindowDrawerDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSWindowDrawerDelegate> delegate);

    // Also catches a closing drawer and opens it again. Nothing for a view outside a window.
    void showOverView(QWidget *view);
    Q_INVOKABLE void hideDrawer(QObject *sender = nullptr);
    // The end of the closing slide: the drawer leaves its parent and closes.
    void finishedCloseAnimation();

private:
    QSChildSupportWindow *drawerWindow() const;
    void parentWindowDidResize();
    void parentWindowWillClose();
    void stopObservingParent();
    void animateTo(const QRect &frame);

    platform::TakenViews *m_taken;
    QPointer<QWidget> m_contentView;
    QPointer<QWidget> m_focusView;
    QPointer<platform::Window> m_parent;
    platform::WeakDelegate<QSWindowDrawerDelegate, QSWindowDrawer> m_delegate;
    QPointer<QPropertyAnimation> m_slide;
    QTimer m_closeTimer;
    bool m_autohide = false;
};
