#pragma once

#include "RQS-Kit/Foundation/QSViewController.h"
#include "platform/ui/Control.h"
#include "platform/ui/Window.h"

#include <QLabel>
#include <QPoint>
#include <QPointer>

#include "platform/foundation/WeakDelegate.h"

#include <memory>

class QSChildSupportWindow;
class QSSingleButtonPanel;

// What the panel tells the object that showed it (a QObject); each has nothing to do unless
// overridden.
class QSSingleButtonPanelDelegate
{
public:
    virtual ~QSSingleButtonPanelDelegate() = default;

    virtual void panelWasClicked(QSSingleButtonPanel *) {}
    virtual void panelChangedHovered(QSSingleButtonPanel *, bool) {}
    virtual void panelDidHide(QSSingleButtonPanel *) {}
};

// A message and one button in a transparent child window that hangs below a point of another
// window (interface file "QSSingleButtonPanel": label, button, background). One shared panel
// serves the application; each showing re-targets it, telling the previous object that it was
// hidden. It closes when asked or when it loses the keyboard. GUI thread.
class QSSingleButtonPanel : public QSViewController
{
    Q_OBJECT
    Q_PROPERTY(QLabel *label MEMBER m_label)
    Q_PROPERTY(platform::Control *button MEMBER m_button)
    Q_PROPERTY(QWidget *background MEMBER m_background)

public:
    static QSSingleButtonPanel *sharedPanel();

    QSSingleButtonPanel();
    ~QSSingleButtonPanel() override;

    void loadView() override;
    // The point is in the parent's coordinates; nothing happens without a parent or a view.
    void showOver(platform::Window *parent, QPoint point, platform::Delegate<QSSingleButtonPanelDelegate> delegate,
                  const QString &message, const QString &buttonTitle);
    // The delegate is dropped without being told.
    void close();
    // Closes only for the current delegate.
    void hideForDelegate(const QSSingleButtonPanelDelegate *object);
    Q_INVOKABLE void buttonClicked();

    // A QObject (nothing else compiles), held weakly: forgotten when it is destroyed.
    QSSingleButtonPanelDelegate *delegate() const;
    void setDelegate(platform::Delegate<QSSingleButtonPanelDelegate> delegate);
    // Null until the view is loaded.
    QSChildSupportWindow *window() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void windowDidResignKey();
    // Tells the delegate of a change only.
    void setHovered(bool hovered);
    // Hovered while the pointer is over the background of the shown panel.
    void followPointer();
    // The button takes the width its title needs and keeps its right edge.
    void fitButtonToTitle();
    // Lays the view out for that height; the label above, the button at the bottom.
    void arrange(int height, int labelHeight);

    QLabel *m_label = nullptr;
    platform::Control *m_button = nullptr;
    QWidget *m_background = nullptr;
    std::unique_ptr<QSChildSupportWindow> m_window;
    QPointer<platform::Window> m_parent;
    platform::WeakDelegate<QSSingleButtonPanelDelegate, QSSingleButtonPanel> m_delegate;
    bool m_hovered = false;
    int m_windowWidth = 0;
    // Distances from the view's bottom when loaded.
    int m_labelY = 0;
    int m_buttonY = 0;
};
