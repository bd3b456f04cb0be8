#include "RQS-Kit/Helper/QSWindowDrawer.h"

#include "RQS-Kit/Helper/QSChildSupportWindow.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ClearBackground.h"
#include "platform/ui/TakenViews.h"

using platform::NotificationCenter;
using platform::Window;

QSWindowDrawer::QSWindowDrawer(QObject *parent)
    : QSWindowController(parent)
    , m_taken(new platform::TakenViews(this))
{
    auto *window = new QSChildSupportWindow;
    window->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    platform::ClearBackground::apply(window, platform::ClearBackground::Fallback::Panel);
    window->setIsChildWindow(true);
    window->setCentralWidget(new QWidget);
    window->setGeometry(0, 0, 100, 100);
    setOwnWindow(window);
    NotificationCenter::defaultCenter()->addObserver(this, Window::DidResignKeyNotification, window,
                                                     [this](const platform::Notification &) {
                                                         if (m_autohide)
                                                             hideDrawer(this);
                                                     });
    m_closeTimer.setSingleShot(true);
    connect(&m_closeTimer, &QTimer::timeout, this, &QSWindowDrawer::finishedCloseAnimation);
}

QSWindowDrawer::~QSWindowDrawer() { NotificationCenter::defaultCenter()->removeObserver(this); }

QWidget *QSWindowDrawer::contentView() const { return m_contentView; }

QWidget *QSWindowDrawer::setContentView(QWidget *contentView)
{
    QSChildSupportWindow *window = drawerWindow();
    QWidget *old = nullptr;
    if (m_contentView && m_contentView != contentView && window && m_contentView->parent() == window->centralWidget())
        old = m_taken->handBack(m_contentView.data());
    m_contentView = contentView;
    // Held from now on, shown or not.
    if (contentView && window && contentView->parent() != window->centralWidget())
        contentView->setParent(window->centralWidget());
    return old;
}

QWidget *QSWindowDrawer::focusView() const { return m_focusView; }

void QSWindowDrawer::setFocusView(QWidget *view)
{
    if (view && m_parent && view->window() != m_parent) {
        platform::logWarning(QStringLiteral("The drawer cannot follow a view outside the window it is out over"));
        return;
    }
    m_focusView = view;
}

bool QSWindowDrawer::autohide() const { return m_autohide; }

void QSWindowDrawer::setAutohide(bool autohide) { m_autohide = autohide; }

QSWindowDrawerDelegate *QSWindowDrawer::delegate() const { return m_delegate.get(); }

void QSWindowDrawer::setDelegate(platform::Delegate<QSWindowDrawerDelegate> delegate) { m_delegate.set(delegate); }

QSChildSupportWindow *QSWindowDrawer::drawerWindow() const
{
    return isLoaded() ? qobject_cast<QSChildSupportWindow *>(const_cast<QSWindowDrawer *>(this)->window()) : nullptr;
}

void QSWindowDrawer::showOverView(QWidget *view)
{
    auto *parent = view ? qobject_cast<Window *>(view->window()) : nullptr;
    QSChildSupportWindow *window = drawerWindow();
    if (!parent || !window) {
        platform::logWarning(QStringLiteral("The drawer cannot slide out over a view that is in no window"));
        return;
    }
    m_closeTimer.stop();
    stopObservingParent();
    // Out over another window, the drawer is that window's child alone.
    if (m_parent && m_parent != parent)
        m_parent->removeChildWindow(window);
    m_focusView = view;
    m_parent = parent;
    const QRect area(view->mapToGlobal(QPoint(0, 0)), view->size());
    const int width = m_contentView ? m_contentView->width() : window->width();
    if (m_contentView) {
        m_contentView->setParent(window->centralWidget());
        m_contentView->setGeometry(0, 0, width, area.height());
        m_contentView->show();
    }
    window->setGeometry(area.right(), area.top(), 1, area.height());
    parent->addChildWindow(window);
    window->makeKeyAndOrderFront(this);
    animateTo(QRect(area.right() + 1 - width, area.top(), width, area.height()));
    NotificationCenter *center = NotificationCenter::defaultCenter();
    center->addObserver(this, Window::WillCloseNotification, parent, [this](const platform::Notification &) { parentWindowWillClose(); });
    center->addObserver(this, Window::DidResizeNotification, parent, [this](const platform::Notification &) { parentWindowDidResize(); });
}

void QSWindowDrawer::hideDrawer(QObject *)
{
    if (QSChildSupportWindow *window = drawerWindow()) {
        const QRect frame = window->geometry();
        m_closeTimer.start(AnimationTime);
        animateTo(QRect(frame.right(), frame.top(), 1, frame.height()));
    }
    stopObservingParent();
    if (QSWindowDrawerDelegate *delegate = m_delegate.get())
        delegate->windowDrawerDidHide(this);
}

void QSWindowDrawer::finishedCloseAnimation()
{
    m_closeTimer.stop();
    QSChildSupportWindow *window = drawerWindow();
    if (!window)
        return;
    // The parent may be gone by the time the slide ends.
    if (m_parent) {
        if (window->isKeyWindow())
            m_parent->makeKeyAndOrderFront(this);
        m_parent->removeChildWindow(window);
    }
    window->close();
}

void QSWindowDrawer::parentWindowDidResize()
{
    QSChildSupportWindow *window = drawerWindow();
    if (!window || !m_focusView)
        return;
    const QRect area(m_focusView->mapToGlobal(QPoint(0, 0)), m_focusView->size());
    const int width = window->width();
    window->setGeometry(area.right() + 1 - width, area.top(), width, area.height());
    if (m_contentView)
        m_contentView->resize(m_contentView->width(), area.height());
}

void QSWindowDrawer::parentWindowWillClose()
{
    // The delegate may delete this drawer as it hears that it hides.
    const QPointer<QSWindowDrawer> self(this);
    hideDrawer(nullptr);
    if (!self)
        return;
    m_closeTimer.stop();
    // A window that closes, or goes, is not made key again.
    if (QSChildSupportWindow *window = drawerWindow(); window && m_parent)
        m_parent->removeChildWindow(window);
    m_parent = nullptr;
    finishedCloseAnimation();
}

void QSWindowDrawer::stopObservingParent()
{
    NotificationCenter *center = NotificationCenter::defaultCenter();
    center->removeObserver(this, Window::WillCloseNotification);
    center->removeObserver(this, Window::DidResizeNotification);
}

void QSWindowDrawer::animateTo(const QRect &frame)
{
    // A slide still running would fight the new one.
    if (m_slide)
        m_slide->stop();
    QSChildSupportWindow *window = drawerWindow();
    m_slide = new QPropertyAnimation(window, "geometry", window);
    m_slide->setDuration(AnimationTime);
    m_slide->setEndValue(frame);
    m_slide->start(QAbstractAnimation::DeleteWhenStopped);
}
