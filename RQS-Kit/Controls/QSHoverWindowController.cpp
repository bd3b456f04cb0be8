#include "RQS-Kit/Controls/QSHoverWindowController.h"

#include <QEvent>

QSHoverWindowController::QSHoverWindowController(QObject *parent)
    : QSWindowController(parent)
{
}

void QSHoverWindowController::windowDidLoad()
{
    platform::Window *hover = QSWindowController::window();
    hover->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    hover->setAttribute(Qt::WA_TranslucentBackground);
    hover->setAttribute(Qt::WA_ShowWithoutActivating);
    if (m_trackView)
        m_trackView->installEventFilter(this);
}

void QSHoverWindowController::showWindow(QObject *sender, QWidget *view)
{
    platform::Window *hover = QSWindowController::window();
    if (!hover || !view || !m_imageView)
        return;
    const QImage picture = view->grab().toImage();
    m_imageView->setImage(picture);
    m_imageView->setFixedSize(view->size());
    shrinkToFit();
    const bool visible = hover->isVisible();
    const QPoint inWindow = m_imageView->mapTo(hover, QPoint(0, 0));
    hover->move(view->mapToGlobal(QPoint(0, 0)) - inWindow);
    if (visible)
        return;
    if (auto *parent = qobject_cast<platform::Window *>(view->window()))
        parent->addChildWindow(hover);
    QSWindowController::showWindow(sender);
}

void QSHoverWindowController::close(QObject *sender)
{
    platform::Window *hover = isLoaded() ? QSWindowController::window() : nullptr;
    if (!hover)
        return;
    if (auto *parent = qobject_cast<platform::Window *>(hover->parentWidget()))
        parent->removeChildWindow(hover);
    QSWindowController::close(sender);
}

void QSHoverWindowController::shrinkToFit()
{
    platform::Window *hover = QSWindowController::window();
    if (!hover || !m_imageView || !m_descriptionTF)
        return;
    m_descriptionTF->setWordWrap(true);
    m_descriptionTF->setFixedWidth(200);
    const int height = m_descriptionTF->heightForWidth(200);
    hover->resize(hover->width(), m_imageView->height() + (height + 20 + 10) + 4);
}

QLabel *QSHoverWindowController::titleTF() { return QSWindowController::window() ? m_titleTF : nullptr; }

void QSHoverWindowController::setTitleTF(QLabel *titleTF) { m_titleTF = titleTF; }

QLabel *QSHoverWindowController::descriptionTF() { return QSWindowController::window() ? m_descriptionTF : nullptr; }

void QSHoverWindowController::setDescriptionTF(QLabel *descriptionTF) { m_descriptionTF = descriptionTF; }

bool QSHoverWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_trackView && event->type() == QEvent::Leave)
        close(this);
    return QSWindowController::eventFilter(watched, event);
}
