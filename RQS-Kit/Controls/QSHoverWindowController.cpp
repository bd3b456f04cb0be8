#include "RQS-Kit/Controls/QSHoverWindowController.h"

#include "platform/ui/ClearBackground.h"
#include "platform/ui/FrameAnimation.h"

#include <QEvent>
#include <QPropertyAnimation>

QSHoverWindowController::QSHoverWindowController(QObject *parent)
    : QSWindowController(parent)
{
}

void QSHoverWindowController::windowDidLoad()
{
    platform::Window *hover = QSWindowController::window();
    hover->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    platform::ClearBackground::apply(hover, platform::ClearBackground::Fallback::Panel);
    hover->setAttribute(Qt::WA_ShowWithoutActivating);
    if (m_trackView)
        m_trackView->installEventFilter(this);
}

void QSHoverWindowController::showWindow(QObject *, QWidget *view)
{
    platform::Window *hover = QSWindowController::window();
    if (!hover || !view || !m_imageView)
        return;
    const QImage picture = view->grab().toImage();
    m_imageView->setImage(picture);
    m_imageView->setFixedSize(view->size());
    shrinkToFit();
    const QPoint place = view->mapToGlobal(QPoint(0, 0)) - m_imageView->mapTo(hover, QPoint(0, 0));
    // An open window glides to the view's new place; a new one appears there at once.
    const QString glideName = QStringLiteral("glide");
    delete hover->findChild<QPropertyAnimation *>(glideName, Qt::FindDirectChildrenOnly);
    const double seconds = platform::FrameAnimation::defaultDuration();
    if (hover->isVisible() && seconds > 0) {
        auto *glide = new QPropertyAnimation(hover, "pos", hover);
        glide->setObjectName(glideName);
        glide->setEndValue(place);
        glide->setDuration(int(seconds * 1000));
        glide->start(QAbstractAnimation::DeleteWhenStopped);
        return;
    }
    hover->move(place);
    if (hover->isVisible())
        return;
    m_parentWindow = qobject_cast<platform::Window *>(view->window());
    if (m_parentWindow)
        m_parentWindow->addChildWindow(hover);
    // Not made key: the keyboard stays with the button's window, and a window that lost it would
    // see the pointer leave and close the hover again.
    hover->show();
    hover->raise();
}

void QSHoverWindowController::close(QObject *sender)
{
    platform::Window *hover = isLoaded() ? QSWindowController::window() : nullptr;
    if (!hover)
        return;
    if (m_parentWindow)
        m_parentWindow->removeChildWindow(hover);
    m_parentWindow.clear();
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
