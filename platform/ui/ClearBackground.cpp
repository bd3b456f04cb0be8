#include "platform/ui/ClearBackground.h"

#include "platform/ui/WindowShadow.h"

#include <QBitmap>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace platform {

void ClearBackground::apply(QWidget *window, Fallback fallback)
{
    if (!window || fellBack(window))
        return;
    const bool clear = QGuiApplication::platformName() != QLatin1String("xcb") || WindowShadow::compositing();
    if (clear) {
        window->setAttribute(Qt::WA_TranslucentBackground);
        return;
    }
    window->setAttribute(Qt::WA_TranslucentBackground, false);
    window->setAttribute(Qt::WA_NoSystemBackground, false);
    new ClearBackground(window, fallback);
}

bool ClearBackground::fellBack(const QWidget *window)
{
    return window && window->findChild<ClearBackground *>(QString(), Qt::FindDirectChildrenOnly);
}

QRegion ClearBackground::coveredRegion(const QImage &picture)
{
    // The threshold dither keeps a pixel whose alpha is at least half.
    return QRegion(QBitmap::fromImage(picture.createAlphaMask(Qt::ThresholdAlphaDither)));
}

ClearBackground::ClearBackground(QWidget *window, Fallback fallback)
    : QObject(window)
    , m_window(window)
    , m_fallback(fallback)
{
    window->installEventFilter(this);
}

bool ClearBackground::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::Paint:
        if (m_fallback == Fallback::Panel && m_window->windowFlags().testFlag(Qt::FramelessWindowHint))
            paintPanel();
        break;
    case QEvent::Show:
        if (m_fallback == Fallback::Shape)
            reshape();
        break;
    case QEvent::Resize:
    case QEvent::LayoutRequest:
        // The window's layout moves its children only after this event: shape on the next turn.
        if (m_fallback == Fallback::Shape && !m_reshapePosted) {
            m_reshapePosted = true;
            QTimer::singleShot(0, this, [this] {
                m_reshapePosted = false;
                reshape();
            });
        }
        break;
    default:
        break;
    }
    return false;
}

// Qt has filled the window with its palette colour by now; a frameless panel also needs an edge
// to stand apart from a window of the same colour beneath it.
void ClearBackground::paintPanel()
{
    QPainter painter(m_window);
    painter.setPen(m_window->palette().color(QPalette::Mid));
    painter.drawRect(m_window->rect().adjusted(0, 0, -1, -1));
}

void ClearBackground::reshape()
{
    if (m_window->size().isEmpty())
        return;
    QImage picture(m_window->size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    m_window->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren | QWidget::IgnoreMask);
    m_window->setMask(coveredRegion(picture));
}

} // namespace platform
