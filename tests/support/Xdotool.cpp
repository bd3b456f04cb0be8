#include "support/Xdotool.h"

#include "support/Desktop.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

QString xdotool(const QString &display, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DISPLAY"), display);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("/usr/bin/xdotool"), arguments);
    process.waitForFinished(DesktopTimeout);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QStringList shownWindows(const QString &display, const QStringList &search)
{
    return xdotool(display, QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible")} + search).split('\n', Qt::SkipEmptyParts);
}

QString windowWhenShown(const QString &display, const QStringList &search)
{
    QString window;
    (void)QTest::qWaitFor([&] { return !(window = shownWindows(display, search).value(0)).isEmpty(); }, DesktopTimeout);
    return window;
}

QString pressUntilShown(const QString &display, const QString &window, const QString &keys, const std::function<QString()> &found)
{
    // Long enough for what a key brings to show on a busy machine, short enough for a few tries.
    constexpr int again = DesktopTimeout / 6;
    const QDeadlineTimer deadline(DesktopTimeout);
    QString shown;
    while (shown.isEmpty() && !deadline.hasExpired()) {
        xdotool(display, {"windowactivate", "--sync", window, "key", "--clearmodifiers", keys});
        (void)QTest::qWaitFor([&] { return !(shown = found()).isEmpty(); }, int(std::min<qint64>(again, deadline.remainingTime())));
    }
    return shown;
}

bool programHandledEvents(const QString &display, const QString &window)
{
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> x(xcb_connect(display.toLocal8Bit().constData(), nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(x.get()))
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data->root;
    const auto atom = [&](const char *name) {
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(x.get(), xcb_intern_atom(x.get(), 0, uint16_t(qstrlen(name)), name), nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    };
    const xcb_atom_t protocols = atom("WM_PROTOCOLS");
    const xcb_atom_t ping = atom("_NET_WM_PING");
    // The answer goes to the root window, for those who listen to it there (Qt sends it to the
    // listeners to the root's own structure, the protocol names those to its children's).
    const uint32_t listen = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x.get(), root, XCB_CW_EVENT_MASK, &listen);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window.toUInt();
    message.type = protocols;
    message.data.data32[0] = ping;
    message.data.data32[1] = XCB_CURRENT_TIME;
    message.data.data32[2] = message.window;
    xcb_send_event(x.get(), 0, message.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&message));
    xcb_flush(x.get());
    return QTest::qWaitFor([&] {
        bool answered = false;
        while (xcb_generic_event_t *event = xcb_poll_for_event(x.get())) {
            const auto *reply = reinterpret_cast<const xcb_client_message_event_t *>(event);
            answered |= (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && reply->type == protocols && reply->data.data32[0] == ping
                && reply->data.data32[2] == message.window;
            std::free(event);
        }
        return answered;
    }, DesktopTimeout);
}
