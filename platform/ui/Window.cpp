#include "platform/ui/Window.h"

#include "platform/foundation/GuardedPointers.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/KeyWindowRecovery.h"
#include "platform/ui/WindowFrame.h"
#include "platform/ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDialog>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

namespace platform {

namespace {

QPointer<Window> currentMainWindow;

// Accepts the window's close event before anyone else is asked, then lets the window announce it.
class CloseAcceptor : public QObject
{
public:
    explicit CloseAcceptor(std::function<void()> accepted)
        : m_accepted(std::move(accepted))
    {
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        event->accept();
        m_accepted();
        return true;
    }

private:
    std::function<void()> m_accepted;
};

// Placed windows, the latest last: windows opened together cascade from each other before any of
// them becomes key.
QList<QPointer<Window>> placedWindows;

bool sameKind(const QObject *controller, const QObject *other)
{
    return controller && other && qstrcmp(controller->metaObject()->className(), other->metaObject()->className()) == 0;
}

// Keeps a sheet centred over its window while it takes its size as it first shows: a message box
// sizes itself to its text only in its own show event, after any move made before showing it.
class SheetCentring : public QObject
{
public:
    SheetCentring(QWidget *sheet, const Window *window)
        : m_sheet(sheet)
        , m_window(window)
    {
        sheet->installEventFilter(this);
    }
    ~SheetCentring() override
    {
        if (m_sheet)
            m_sheet->removeEventFilter(this);
    }
    SheetCentring(const SheetCentring &) = delete;
    SheetCentring &operator=(const SheetCentring &) = delete;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_sheet && (event->type() == QEvent::Show || event->type() == QEvent::Resize))
            centre();
        return false;
    }

private:
    void centre()
    {
        QScreen *screen = m_window->screen();
        const QMargins frame = WindowFrame::margins(m_sheet, m_window);
        const QRect placed = WindowPlacement::place(m_sheet->geometry().marginsAdded(frame), WindowFrame::geometry(m_window), false,
                                                    screen ? screen->availableGeometry() : QRect());
        WindowFrame::moveTo(m_sheet, placed.topLeft(), frame);
    }

    QPointer<QWidget> m_sheet;
    const Window *m_window;
};

Window *latestShownOfKind(const Window *window)
{
    for (auto it = placedWindows.crbegin(); it != placedWindows.crend(); ++it) {
        Window *shown = *it;
        if (shown && shown != window && shown->isVisible() && sameKind(shown->windowController(), window->windowController()))
            return shown;
    }
    return nullptr;
}
} // namespace

Window::Window(QWidget *parent)
    : QMainWindow(parent)
{
    KeyWindowRecovery::install();
    m_frameWatch.setInterval(50);
    connect(&m_frameWatch, &QTimer::timeout, this, [this] {
        // A slow window manager frames the window only when it shows it: the looks count from then.
        const bool shown = windowHandle() && windowHandle()->isExposed();
        if (keepFrameInside() || !isVisible() || (shown && --m_frameLooksLeft <= 0))
            m_frameWatch.stop();
    });
}

Window::~Window()
{
    const QList<QWidget *> children = childWindows();
    if (isVisible() || std::any_of(children.cbegin(), children.cend(), [](const QWidget *child) { return child->isVisible(); }))
        closing();
}

bool Window::isKeyWindow() const { return QApplication::activeWindow() == this; }

bool Window::isMainWindow() const { return currentMainWindow == this; }

bool Window::canBecomeMainWindow() const { return true; }

Window *Window::keyWindow()
{
    QWidget *key = QApplication::activeWindow();
    // A window that holds the active one among its child windows and counts as key answers for it.
    for (Window *holder = parentWindowOf(key); holder && holder->isKeyWindow(); holder = parentWindowOf(key))
        key = holder;
    return qobject_cast<Window *>(key);
}

Window *Window::mainWindow() { return currentMainWindow; }

void Window::makeKeyAndOrderFront(QObject *)
{
    show();
    raise();
    activateWindow();
}

bool Window::beginSheet(QWidget *sheet, SheetCompletion completion)
{
    if (!sheet || sheet == this) {
        logWarning(QStringLiteral("No sheet to begin on window \"%1\"").arg(windowTitle()));
        return false;
    }
    if (sheets().contains(sheet)) {
        logWarning(QStringLiteral("Sheet %1 is already attached to window \"%2\"")
                       .arg(sheet->objectName(), windowTitle()));
        return false;
    }
    sheet->setParent(this, (sheet->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    sheet->setWindowModality(Qt::WindowModal);
    Sheet entry{sheet, std::move(completion), {}};
    if (auto *dialog = qobject_cast<QDialog *>(sheet)) {
        entry.finished = connect(dialog, &QDialog::finished, this,
                                 [this, dialog](int result) { endSheet(dialog, result); });
    }
    m_sheets.append(std::move(entry));
    if (m_sheets.size() == 1)
        present(sheet);
    return true;
}

bool Window::endSheet(QWidget *sheet, int returnCode)
{
    const auto found = std::find_if(m_sheets.begin(), m_sheets.end(),
                                    [sheet](const Sheet &s) { return s.widget == sheet; });
    if (!sheet || found == m_sheets.end()) {
        logWarning(QStringLiteral("Sheet ended that is not attached to window \"%1\"").arg(windowTitle()));
        return false;
    }
    const bool wasShown = found == m_sheets.begin();
    const Sheet ended = *found;
    m_sheets.erase(found);
    disconnect(ended.finished);
    sheet->hide();
    // A modal window asks for the keyboard when the window system first maps it, and a sheet that
    // ends before then would be given it hidden, keeping it from its window. Without its native
    // window that request goes too; the next showing makes a new one.
    if (QWindow *handle = sheet->windowHandle())
        handle->destroy();
    if (ended.completion) {
        MainQueue::post([completion = ended.completion, returnCode] { completion(returnCode); });
    }
    if (wasShown && !m_sheets.isEmpty())
        present(m_sheets.first().widget);
    return true;
}

void Window::present(QWidget *sheet)
{
    if (!sheet)
        return;
    {
        const SheetCentring centring(sheet, this);
        sheet->show();
    }
    sheet->raise();
    sheet->activateWindow();
}

QWidget *Window::attachedSheet() const { return m_sheets.isEmpty() ? nullptr : m_sheets.first().widget.data(); }

QList<QWidget *> Window::sheets() const
{
    QList<QWidget *> widgets;
    for (const Sheet &sheet : m_sheets) {
        if (sheet.widget)
            widgets.append(sheet.widget);
    }
    return widgets;
}

bool Window::isAnyStandaloneWindowVisible()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [](const QWidget *window) { return window->isVisible() && !window->parentWidget(); });
}

void Window::addChildWindow(QWidget *child)
{
    if (!child || child == this || m_childWindows.contains(child))
        return;
    m_childWindows.append(child);
    m_childAnchor = geometry().topLeft();
    if (isVisible())
        child->raise();
}

void Window::removeChildWindow(QWidget *child) { m_childWindows.removeAll(child); }

QList<QWidget *> Window::childWindows() const { return livePointers(m_childWindows); }

Window *Window::parentWindowOf(const QWidget *child)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *holder = qobject_cast<Window *>(widget);
        if (holder && holder != child && holder->childWindows().contains(child))
            return holder;
    }
    return nullptr;
}

void Window::disableCursorRects() { m_cursorRectsEnabled = false; }

void Window::enableCursorRects() { m_cursorRectsEnabled = true; }

bool Window::areCursorRectsEnabled() const { return m_cursorRectsEnabled; }

void Window::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !m_placed)
        placeOnFirstShow();
    QMainWindow::showEvent(event);
}

void Window::placeOnFirstShow()
{
    m_placed = true;
    // Tool windows, panels and frameless windows are placed by whoever shows them, and a window
    // that no controller shows is a helper's own.
    if (!windowController() || parentWidget() || windowType() != Qt::Window || windowFlags().testFlag(Qt::FramelessWindowHint))
        return;
    placedWindows.removeAll(nullptr);
    Window *from = latestShownOfKind(this);
    const bool cascade = from != nullptr;
    if (!from)
        from = mainWindow() && mainWindow() != this && mainWindow()->isVisible() ? mainWindow() : keyWindow();
    if (from == this || (from && !from->isVisible()))
        from = nullptr;
    placedWindows.append(this);
    QScreen *onScreen = from ? from->screen() : screen();
    const QRect available = onScreen ? onScreen->availableGeometry() : QRect();
    const QMargins frame = WindowFrame::margins(this, from);
    const QRect framed = geometry().marginsAdded(frame);
    const QRect placed = WindowPlacement::place(framed, from ? std::optional<QRect>(WindowFrame::geometry(from)) : std::nullopt, cascade, available);
    if (placed.size() != framed.size())
        resize(placed.marginsRemoved(frame).size());
    WindowFrame::moveTo(this, placed.topLeft(), frame);
    if (!WindowFrame::isFramed(this)) {
        m_frameLooksLeft = 40;
        m_frameWatch.start();
    }
}

bool Window::keepFrameInside()
{
    const QMargins margins = WindowFrame::margins(this);
    if (margins.isNull() || !screen())
        return false;
    const QRect frame = geometry().marginsAdded(margins);
    const QRect inside = WindowPlacement::keptInside(frame, screen()->availableGeometry());
    if (inside != frame)
        setGeometry(inside.marginsRemoved(margins));
    return true;
}

void Window::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        closing();
}

void Window::closeUnconditionally()
{
    // Installed last, the acceptor sees the close first: neither this window's handler nor another
    // watcher can refuse it, and Qt closes the window as any accepted close (last-window signal,
    // deletion on close).
    CloseAcceptor acceptor([this] { closing(); });
    installEventFilter(&acceptor);
    close();
}

void Window::performClose() { close(); }

void Window::closeWithEscapeAndCtrlW()
{
    m_closesWithEscape = true;
    auto *closeItem = new QAction(this);
    closeItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(closeItem, &QAction::triggered, this, &QWidget::close);
    addAction(closeItem);
}

// Escape as a key the controls leave alone rather than a shortcut: a shortcut would still fire
// after an open drop-down list had closed itself on it.
void Window::keyPressEvent(QKeyEvent *event)
{
    if (m_closesWithEscape && event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Window::closing()
{
    NotificationCenter::defaultCenter()->post(WillCloseNotification, this);
    for (QWidget *child : childWindows())
        child->hide();
    // Left open, a panel would keep a process alive that shows no document.
    for (QWidget *owned : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (owned->isWindow())
            owned->hide();
    }
    if (currentMainWindow == this)
        currentMainWindow = nullptr;
}

void Window::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    followParent();
}

void Window::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    followParent();
    NotificationCenter::defaultCenter()->post(DidResizeNotification, this);
}

void Window::followParent()
{
    // By the inner rectangle: pos() would count a frame that came since as a move.
    const QPoint offset = geometry().topLeft() - m_childAnchor;
    m_childAnchor = geometry().topLeft();
    if (offset.isNull())
        return;
    for (QWidget *child : childWindows())
        child->move(child->pos() + offset);
}

void Window::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    // On X11 Qt waits a moment for the keyboard to arrive at another window once it left this one,
    // and when the wait runs out before Qt reads the window system's report of the arrival (a busy
    // turn), it says for an instant that no window is active, then that this one is again. A
    // window that has the keyboard back by the next turn never lost it.
    if (isKeyWindow())
        followKeyState();
    else
        QTimer::singleShot(0, this, &Window::followKeyState);
}

void Window::followKeyState()
{
    const bool isKey = isKeyWindow();
    if (isKey == m_wasKey)
        return;
    m_wasKey = isKey;
    if (isKey) {
        if (canBecomeMainWindow())
            currentMainWindow = this;
        for (QWidget *child : childWindows())
            child->raise();
    }
    NotificationCenter::defaultCenter()->post(isKey ? DidBecomeKeyNotification : DidResignKeyNotification, this);
}

QObject *Window::windowController() const { return m_windowController; }

void Window::setWindowController(QObject *controller) { m_windowController = controller; }

} // namespace platform
