#include "support/Desktop.h"

#include <QAbstractAnimation>
#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

namespace {

template <class Reply>
std::unique_ptr<Reply, decltype(&std::free)> owned(Reply *reply)
{
    return {reply, &std::free};
}

// Qt's own connection, so that what is asked here is ordered with what Qt sent before.
xcb_connection_t *connection()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t *x) { return xcb_setup_roots_iterator(xcb_get_setup(x)).data->root; }

xcb_atom_t atom(xcb_connection_t *x, const char *name)
{
    auto reply = owned(xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, uint16_t(qstrlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::optional<QRect> geometryOf(xcb_connection_t *x, xcb_window_t window)
{
    auto geometry = owned(xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr));
    if (!geometry)
        return std::nullopt;
    const int border = geometry->border_width;
    return QRect(geometry->x, geometry->y, geometry->width + 2 * border, geometry->height + 2 * border);
}

// A window of the test's own, never mapped, that the window manager and Qt's event queue are asked
// about: their answers about it come after everything they had to handle before.
class Probe : public QAbstractNativeEventFilter
{
public:
    static Probe *instance()
    {
        static Probe *probe = connection() ? new Probe(connection()) : nullptr;
        return probe;
    }

    // The window manager has handled all that reached the X server before: it answers a request
    // for the frame a window would get by setting a property on it, in turn with the rest.
    bool windowManagerRoundTrip()
    {
        xcb_delete_property(m_x, m_window, m_frameExtents);
        xcb_client_message_event_t request{};
        request.response_type = XCB_CLIENT_MESSAGE;
        request.format = 32;
        request.window = m_window;
        request.type = m_requestFrameExtents;
        xcb_send_event(m_x, 0, rootWindow(m_x), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&request));
        xcb_flush(m_x);
        return QTest::qWaitFor([&] {
            auto extents = owned(xcb_get_property_reply(
                m_x, xcb_get_property(m_x, 0, m_window, m_frameExtents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
            return extents && extents->type != XCB_ATOM_NONE;
        }, DesktopTimeout);
    }

    // Qt has handled every event the X server sent before: a message to this window, which comes
    // to Qt's queue after them, has gone through it.
    bool eventsHandled()
    {
        xcb_client_message_event_t marker{};
        marker.response_type = XCB_CLIENT_MESSAGE;
        marker.format = 32;
        marker.window = m_window;
        marker.type = m_marker;
        marker.data.data32[0] = ++m_sent;
        xcb_send_event(m_x, 0, m_window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&marker));
        xcb_flush(m_x);
        return QTest::qWaitFor([&] { return m_handled == m_sent; }, DesktopTimeout);
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
            return false;
        const auto *client = static_cast<const xcb_client_message_event_t *>(message);
        if (client->window != m_window || client->type != m_marker)
            return false;
        m_handled = client->data.data32[0];
        return true;
    }

private:
    explicit Probe(xcb_connection_t *x)
        : m_x(x)
        , m_window(xcb_generate_id(x))
        , m_frameExtents(atom(x, "_NET_FRAME_EXTENTS"))
        , m_requestFrameExtents(atom(x, "_NET_REQUEST_FRAME_EXTENTS"))
        , m_marker(atom(x, "FOLDWISE_TEST_SETTLED"))
    {
        xcb_create_window(x, XCB_COPY_FROM_PARENT, m_window, rootWindow(x), -10, -10, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    xcb_connection_t *m_x;
    xcb_window_t m_window;
    xcb_atom_t m_frameExtents;
    xcb_atom_t m_requestFrameExtents;
    xcb_atom_t m_marker;
    quint32 m_sent = 0;
    quint32 m_handled = 0;
};

// Work posted by the events handled so far, and the work that posts in turn, until a turn of the
// event loop finds nothing ready; bounded for work that keeps posting more.
void runPostedWork()
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    for (int turn = 0; turn < 100 && dispatcher && dispatcher->processEvents(QEventLoop::AllEvents); ++turn) {
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool placedAsQtHasIt(const QWidget *window, const ServerWindowState &state)
{
    return state.viewable && (state.managed || state.overrideRedirect) && window->geometry() == state.inner;
}

// The frame, once the window is placed as Qt has it and stays so across a settling of the desktop.
std::optional<QRect> settledNow(const QWidget *window)
{
    const ServerWindowState before = serverWindowState(window);
    if (!placedAsQtHasIt(window, before) || !settle())
        return std::nullopt;
    const ServerWindowState after = serverWindowState(window);
    if (after != before || !placedAsQtHasIt(window, after))
        return std::nullopt;
    return after.frame;
}

// The window's own animations, and those the application owns (views sliding to new frames), that
// come to an end: a busy bar runs for as long as it is shown.
bool isAnimating(const QWidget *window)
{
    QList<QAbstractAnimation *> animations = window->findChildren<QAbstractAnimation *>();
    animations += QCoreApplication::instance()->findChildren<QAbstractAnimation *>(Qt::FindDirectChildrenOnly);
    return std::any_of(animations.cbegin(), animations.cend(), [](const QAbstractAnimation *animation) {
        return animation->state() == QAbstractAnimation::Running && animation->totalDuration() >= 0;
    });
}

} // namespace

ServerWindowState serverWindowState(const QWidget *window)
{
    ServerWindowState state;
    xcb_connection_t *x = connection();
    if (!x || !window || !window->windowHandle() || !window->windowHandle()->handle())
        return state;
    const auto id = static_cast<xcb_window_t>(window->windowHandle()->winId());
    auto attributes = owned(xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, id), nullptr));
    auto tree = owned(xcb_query_tree_reply(x, xcb_query_tree(x, id), nullptr));
    auto onRoot = owned(xcb_translate_coordinates_reply(x, xcb_translate_coordinates(x, id, rootWindow(x), 0, 0), nullptr));
    const std::optional<QRect> own = geometryOf(x, id);
    if (!attributes || !tree || !onRoot || !own)
        return state;
    // The window manager's frame is the ancestor that is a child of the root window.
    xcb_window_t top = id;
    for (xcb_window_t parent = tree->parent; parent != tree->root;) {
        top = parent;
        auto up = owned(xcb_query_tree_reply(x, xcb_query_tree(x, parent), nullptr));
        if (!up)
            return state;
        parent = up->parent;
    }
    const std::optional<QRect> frame = geometryOf(x, top);
    if (!frame)
        return state;
    state.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    state.managed = top != id;
    state.overrideRedirect = attributes->override_redirect;
    state.inner = QRect(QPoint(onRoot->dst_x, onRoot->dst_y), own->size());
    state.frame = *frame;
    return state;
}

bool settle()
{
    if (runsOnDesktop()) {
        Probe *probe = Probe::instance();
        if (!probe || !probe->windowManagerRoundTrip() || !probe->eventsHandled())
            return false;
    }
    runPostedWork();
    return true;
}

QRect settledFrame(QWidget *window)
{
    QRect frame;
    (void)QTest::qWaitFor([&] {
        const std::optional<QRect> settled = settledNow(window);
        frame = settled.value_or(QRect());
        return settled.has_value();
    }, DesktopTimeout);
    return frame;
}

double shareShownOnScreen(QWidget *window, const QImage &screen)
{
    const QImage drawn = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRegion shape = window->mask().isEmpty() ? QRegion(window->rect()) : window->mask();
    const QPoint origin = window->mapToGlobal(QPoint(0, 0));
    qint64 opaque = 0;
    qint64 same = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb own = drawn.pixel(x, y);
            const QPoint at = origin + QPoint(x, y);
            if (qAlpha(own) != 255 || !shape.contains(QPoint(x, y)) || !screen.rect().contains(at))
                continue;
            const QRgb shown = screen.pixel(at);
            ++opaque;
            same += std::abs(qRed(own) - qRed(shown)) + std::abs(qGreen(own) - qGreen(shown)) + std::abs(qBlue(own) - qBlue(shown)) <= 24;
        }
    }
    return opaque == 0 ? 1.0 : double(same) / double(opaque);
}

QImage paintedScreen(QWidget *window)
{
    QImage screen;
    const bool painted = QTest::qWaitFor([&] {
        if (isAnimating(window) || !settledNow(window))
            return false;
        screen = screenNow();
        return shareShownOnScreen(window, screen) >= 0.97;
    }, DesktopTimeout);
    return painted ? screen : screenNow();
}

QImage screenNow()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

namespace {

// Whether the process is stopped, as /proc tells its state.
bool processStopped(const QString &pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype nameEnd = line.lastIndexOf(')');
    return nameEnd >= 0 && line.mid(nameEnd + 2, 1) == "T";
}

// Polls without turning the event loop: the holder may be made inside an event filter.
bool waitForStopped(const QString &pid, bool stopped)
{
    QDeadlineTimer deadline(DesktopTimeout);
    while (processStopped(pid) != stopped) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

} // namespace

WindowManagerHeld::WindowManagerHeld()
    : m_windowManager(qEnvironmentVariable("FOLDWISE_TEST_WM_PID"))
{
    if (m_windowManager.isEmpty())
        return;
    // The holder lets go once the pipe it reads ends: closed here, or by the system when this
    // process ends, even killed with its children by a test runner's timeout, which the holder,
    // left by the shell that started it, is not among. It lets go after two minutes whatever.
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return;
    const QByteArray windowManager = m_windowManager.toLocal8Bit();
    const char *script = "exec 3<&0; (kill -STOP \"$0\"; timeout 120 cat <&3 >/dev/null; kill -CONT \"$0\") >/dev/null 2>&1 &";
    const pid_t shell = ::fork();
    if (shell == 0) {
        ::dup2(pipe[0], 0);
        ::execl("/bin/sh", "sh", "-c", script, windowManager.constData(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(pipe[0]);
    m_release = pipe[1];
    int status = 0;
    m_holds = shell > 0 && ::waitpid(shell, &status, 0) == shell && WIFEXITED(status) && WEXITSTATUS(status) == 0
        && waitForStopped(m_windowManager, true);
}

WindowManagerHeld::~WindowManagerHeld()
{
    if (m_release < 0)
        return;
    ::close(m_release);
    waitForStopped(m_windowManager, false);
}
