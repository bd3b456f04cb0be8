#include "RQS-Kit/Helper/QSSingleButtonPanel.h"

#include "RQS-Kit/Helper/QSChildSupportWindow.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ClearBackground.h"
#include "platform/ui/StillPointer.h"

#include <QEvent>
#include <QTimer>

#include <algorithm>

using platform::NotificationCenter;

QSSingleButtonPanel *QSSingleButtonPanel::sharedPanel()
{
    static QSSingleButtonPanel *shared = new QSSingleButtonPanel;
    return shared;
}

QSSingleButtonPanel::QSSingleButtonPanel() = default;

QSSingleButtonPanel::~QSSingleButtonPanel()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    // The window's children are hidden as it goes; they must not reach this half-destroyed panel.
    if (isViewLoaded())
        view()->removeEventFilter(this);
    m_window.reset();
}

void QSSingleButtonPanel::loadView()
{
    QSViewController::loadView();
    QWidget *loaded = view();
    if (!loaded || !m_label || !m_button || !m_background) {
        platform::logError(QStringLiteral("The single-button panel lacks its view, label, button or background"));
        return;
    }
    m_windowWidth = loaded->width();
    m_labelY = loaded->height() - (m_label->y() + m_label->height());
    m_buttonY = loaded->height() - (m_button->y() + m_button->height());
    m_window = std::make_unique<QSChildSupportWindow>();
    m_window->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    platform::ClearBackground::apply(m_window.get(), platform::ClearBackground::Fallback::Shape);
    m_window->setCentralWidget(loaded);
    NotificationCenter::defaultCenter()->addObserver(this, platform::Window::DidResignKeyNotification, m_window.get(),
                                                     [this](const platform::Notification &) { windowDidResignKey(); });
}

void QSSingleButtonPanel::showOver(platform::Window *parent, QPoint point, platform::Delegate<QSSingleButtonPanelDelegate> delegate,
                                   const QString &message, const QString &buttonTitle)
{
    if (!parent) {
        platform::logWarning(QStringLiteral("The single-button panel has no window to hang below"));
        return;
    }
    if (!view() || !m_window)
        return;
    m_button->setTitle(buttonTitle);
    fitButtonToTitle();
    QSSingleButtonPanelDelegate *previous = m_delegate.get();
    m_delegate.set(delegate);
    if (previous != delegate.interface()) {
        // The new delegate has heard nothing yet.
        m_hovered = false;
        // The previous delegate may delete this panel, or the window it was to hang below.
        const QPointer<QSSingleButtonPanel> self(this);
        const QPointer<platform::Window> below(parent);
        if (previous)
            previous->panelDidHide(this);
        if (!self || !below)
            return;
    }
    m_label->setText(message);
    const int labelHeight = message.isEmpty() ? 0 : m_label->heightForWidth(m_label->width() - 2);
    const int height = message.isEmpty() ? m_button->height() + 20 : labelHeight + m_labelY + 2 + 10;
    arrange(height, labelHeight);
    if (m_parent && m_parent != parent)
        m_parent->removeChildWindow(m_window.get());
    m_parent = parent;
    parent->addChildWindow(m_window.get());
    m_window->setGeometry(QRect(parent->mapToGlobal(point), QSize(m_windowWidth, height)));
    m_window->makeKeyAndOrderFront(this);
    view()->removeEventFilter(this);
    view()->installEventFilter(this);
    // The delegate hears at once whether the pointer, which may stay where it is, is over the panel
    // where it has just been placed.
    followPointer();
}

void QSSingleButtonPanel::followPointer()
{
    const QRect ground(m_window->geometry().topLeft() + m_background->mapTo(m_window.get(), QPoint()), m_background->size());
    setHovered(m_window->isVisible() && ground.contains(platform::StillPointer::position().toPoint()));
}

void QSSingleButtonPanel::setHovered(bool hovered)
{
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    if (QSSingleButtonPanelDelegate *delegate = m_delegate.get())
        delegate->panelChangedHovered(this, hovered);
}

void QSSingleButtonPanel::arrange(int height, int labelHeight)
{
    m_label->setVisible(labelHeight > 0);
    m_label->setGeometry(m_label->x(), height - m_labelY - labelHeight, m_label->width(), labelHeight);
    m_button->move(m_button->x(), height - m_buttonY - m_button->height());
    m_background->setGeometry(0, 0, m_windowWidth, height);
    m_window->setFixedSize(m_windowWidth, height);
}

void QSSingleButtonPanel::fitButtonToTitle()
{
    // A title too wide for the panel ends the button at the label's margin.
    const int right = m_button->geometry().right() + 1;
    const int width = std::min(m_button->sizeHint().width(), right - m_label->x());
    m_button->setGeometry(right - width, m_button->y(), width, m_button->height());
}

void QSSingleButtonPanel::close()
{
    if (isViewLoaded())
        view()->removeEventFilter(this);
    m_delegate.set(nullptr);
    m_hovered = false;
    if (!m_window)
        return;
    m_window->close();
    if (m_parent)
        m_parent->removeChildWindow(m_window.get());
}

void QSSingleButtonPanel::hideForDelegate(const QSSingleButtonPanelDelegate *object)
{
    if (object && object == m_delegate.get())
        close();
}

void QSSingleButtonPanel::buttonClicked()
{
    if (QSSingleButtonPanelDelegate *delegate = m_delegate.get())
        delegate->panelWasClicked(this);
}

QSSingleButtonPanelDelegate *QSSingleButtonPanel::delegate() const { return m_delegate.get(); }

void QSSingleButtonPanel::setDelegate(platform::Delegate<QSSingleButtonPanelDelegate> delegate) { m_delegate.set(delegate); }

QSChildSupportWindow *QSSingleButtonPanel::window() const { return m_window.get(); }

bool QSSingleButtonPanel::eventFilter(QObject *watched, QEvent *event)
{
    // The tracking area is the whole background, and the label and button lie on it: crossing them
    // is no exit. The window system reports crossings late when the panel moved under a pointer
    // that stayed, so where the pointer is decides, once the crossing's other half has been told.
    if (isViewLoaded() && watched == view() && (event->type() == QEvent::Enter || event->type() == QEvent::Leave))
        QTimer::singleShot(0, this, [this] {
            if (m_window)
                followPointer();
        });
    return false;
}

void QSSingleButtonPanel::windowDidResignKey()
{
    QSSingleButtonPanelDelegate *delegate = m_delegate.get();
    if (!delegate)
        return;
    close();
    delegate->panelDidHide(this);
}
