#include "platform/ui/WindowShadow.h"

#include "platform/graphics/AlphaBlur.h"
#include "platform/ui/ClearBackground.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>

#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

constexpr double deviation = 5;
constexpr int downwards = 4;
constexpr double darkness = 0.45;
// How far beyond the owner the shadow reaches on each side, before its offset downwards.
const int reach = int(std::ceil(3 * deviation));

// An ordered (Bayer) dither: a pixel of the shadow is drawn when its darkness passes the threshold
// of its place, so that a darkness of 0.5 covers every second pixel.
bool dithered(int x, int y, int alpha)
{
    static constexpr int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return alpha * 16 > (bayer[y % 4][x % 4] * 2 + 1) * 255 / 2;
}

} // namespace

WindowShadow *WindowShadow::cast(QWidget *owner)
{
    if (!owner || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    return new WindowShadow(owner);
}

bool WindowShadow::compositing()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    static const char name[] = "_NET_WM_CM_S0";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    const bool managed = owner && owner->owner != XCB_NONE;
    std::free(owner);
    std::free(atom);
    return managed;
}

WindowShadow::WindowShadow(QWidget *owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus
                         | Qt::NoDropShadowWindowHint)
    , m_owner(owner)
    , m_soft(compositing())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground, m_soft);
    owner->installEventFilter(this);
    follow();
    if (owner->isVisible())
        show();
}

bool WindowShadow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_owner) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            follow();
            break;
        case QEvent::Show:
            follow();
            show();
            break;
        case QEvent::Hide:
            hide();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WindowShadow::follow()
{
    const QRect owner = m_owner->geometry();
    const int edge = reach;
    const QRect place = owner.adjusted(-edge, -edge + downwards, edge, edge + downwards);
    const bool resized = place.size() != size() || m_picture.isNull();
    setGeometry(place);
    if (resized)
        shape();
}

// The owner's rectangle moved down and blurred, less the owner's own place.
void WindowShadow::shape()
{
    const int edge = reach;
    const QSize owner = m_owner->size();
    QImage alpha(size(), QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter painter(&alpha);
        painter.fillRect(QRect(QPoint(edge, edge), owner), QColor(0, 0, 0, int(255 * darkness)));
    }
    AlphaBlur::blur(alpha, deviation);
    const QRect hole(QPoint(edge, edge - downwards), owner);
    m_picture = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    m_picture.fill(Qt::transparent);
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar *line = alpha.constScanLine(y);
        auto *out = reinterpret_cast<QRgb *>(m_picture.scanLine(y));
        for (int x = 0; x < alpha.width(); ++x) {
            if (hole.contains(x, y))
                continue;
            if (m_soft)
                out[x] = qRgba(0, 0, 0, line[x]);
            else if (dithered(x, y, line[x]))
                out[x] = qRgba(0, 0, 0, 255);
        }
    }
    if (!m_soft)
        setMask(ClearBackground::coveredRegion(m_picture));
    update();
}

void WindowShadow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, m_picture);
}

} // namespace platform
