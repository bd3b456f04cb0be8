#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class QMenuBar;

namespace platform {

// The application's own menus, which Linux desktops show in no bar of their own: each window that
// has a menu bar shows them there, also a window made before the menus. A menu whose object name the window's
// bar also has ("fileMenu") lends its items to the top of that menu instead; the others follow
// the window's own menus. GUI thread.
class MainMenu : public QObject
{
    Q_OBJECT
public:
    // Takes the bar that holds the menus; the bar itself is never shown.
    explicit MainMenu(QMenuBar *menus, QObject *parent = nullptr);
    ~MainMenu() override;

    // Once per bar; later calls leave it as it is.
    void installInto(QMenuBar *bar) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<QMenuBar> m_menus;
};

} // namespace platform
