#pragma once

#include <QList>
#include <QMainWindow>
#include <QMetaObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

namespace platform {

// A top-level window with the services the kit expects of one: key and main status, sheets,
// child windows that travel with it, and notifications on the default NotificationCenter (object:
// the window, no user info):
//   WillCloseNotification      a close was accepted; the window is still visible
//   DidResizeNotification      its size changed
//   DidBecomeKeyNotification   it became the active window
//   DidResignKeyNotification   it stopped being the active window, and still was not at the next
//                              turn of the event loop
// GUI thread.
class Window : public QMainWindow
{
    Q_OBJECT
public:
    static inline const QString WillCloseNotification = QStringLiteral("WindowWillCloseNotification");
    static inline const QString DidResizeNotification = QStringLiteral("WindowDidResizeNotification");
    static inline const QString DidBecomeKeyNotification = QStringLiteral("WindowDidBecomeKeyNotification");
    static inline const QString DidResignKeyNotification = QStringLiteral("WindowDidResignKeyNotification");

    using SheetCompletion = std::function<void(int returnCode)>;

    explicit Window(QWidget *parent = nullptr);
    // A window that goes while it or one of its child windows shows takes them down as its close
    // does: it announces that it closes and its child windows hide.
    ~Window() override;

    // Key: the window that gets the keyboard (Qt's active window). Main: the latest key window
    // that can become main, which stays main while a panel or a sheet is key. A subclass may
    // count as key through its child windows; keyWindow() then answers that window.
    virtual bool isKeyWindow() const;
    bool isMainWindow() const;
    virtual bool canBecomeMainWindow() const;
    static Window *keyWindow();
    static Window *mainWindow();
    void makeKeyAndOrderFront(QObject *sender);

    // The sheet becomes a window-modal dialog child of this window, which then owns it, and shows
    // centred over it (WindowPlacement), at the size it takes for its content. Sheets begun while
    // another is shown wait their turn. A QDialog sheet ends by itself when it
    // finishes, with its result as the code. The completion runs on a later turn of the main
    // queue. False, with a logged warning, for no sheet or one that is already attached.
    bool beginSheet(QWidget *sheet, SheetCompletion completion);
    // Hides the sheet; false with a logged warning when it is not a sheet of this window.
    bool endSheet(QWidget *sheet, int returnCode);
    QWidget *attachedSheet() const;
    QList<QWidget *> sheets() const;

    // A window shown on its own: visible and belonging to no other window. Panels, popovers and
    // sheets belong to the window they were made for and close with it.
    static bool isAnyStandaloneWindowVisible();

    // Child windows keep their offset from this window's top-left corner when it moves or is
    // resized, are raised with it and hidden when it closes. The caller keeps owning them.
    void addChildWindow(QWidget *child);
    void removeChildWindow(QWidget *child);
    QList<QWidget *> childWindows() const;
    // The window that holds this one among its child windows; nullptr when none does.
    static Window *parentWindowOf(const QWidget *child);

    // Closes without asking: the window announces that it closes and goes, even one whose close
    // event is refused. close() stays the polite close.
    void closeUnconditionally();
    // The close command, as the user gives it from a menu or a close button: the polite close,
    // unless the window hands it on to another.
    virtual void performClose();
    // As the desktop's utility windows: Escape and Ctrl+W close the window, politely. An Escape
    // meant for an open drop-down list or menu closes only that.
    void closeWithEscapeAndCtrlW();

    // The object that controls the window: the last stop of an action sent along the chain.
    QObject *windowController() const;
    void setWindowController(QObject *controller);

    // While disabled, cursor rectangles of the window's views leave the cursor alone.
    void disableCursorRects();
    void enableCursorRects();
    bool areCursorRectsEnabled() const;

protected:
    // A controller's window of its own first shows where WindowPlacement puts it.
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Sheet
    {
        QPointer<QWidget> widget;
        SheetCompletion completion;
        QMetaObject::Connection finished;
    };

    void present(QWidget *sheet);
    // What follows an accepted close: the notification, and the child and owned windows hidden.
    void closing();
    void followParent();
    // Posts the key notification of a change, once Qt's activation says the window gained or lost
    // the keyboard.
    void followKeyState();
    void placeOnFirstShow();
    // The desktop adds its frame after the window first shows, and the window hears of it by no
    // event of its own: it looks now and then, until two seconds after the window manager has shown
    // it, and once the frame is there keeps it inside the screen. True once the frame was known.
    bool keepFrameInside();

    QList<Sheet> m_sheets;
    QList<QPointer<QWidget>> m_childWindows;
    QPoint m_childAnchor;
    bool m_wasKey = false;
    bool m_placed = false;
    QTimer m_frameWatch;
    int m_frameLooksLeft = 0;
    bool m_cursorRectsEnabled = true;
    bool m_closesWithEscape = false;
    QPointer<QObject> m_windowController;
};

} // namespace platform
