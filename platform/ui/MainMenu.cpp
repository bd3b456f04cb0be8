#include "platform/ui/MainMenu.h"

#include "platform/ui/Window.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace platform {

namespace {

const char *const installedProperty = "mainMenuInstalled";

} // namespace

MainMenu::MainMenu(QMenuBar *menus, QObject *parent)
    : QObject(parent)
    , m_menus(menus)
{
    qApp->installEventFilter(this);
    // Windows that opened before the menus were there (files opened at start) get them now.
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<Window *>(widget))
            installInto(qobject_cast<QMenuBar *>(window->menuWidget()));
    }
}

MainMenu::~MainMenu() = default;

void MainMenu::installInto(QMenuBar *bar) const
{
    if (!m_menus || !bar || bar == m_menus.get() || bar->property(installedProperty).toBool())
        return;
    bar->setProperty(installedProperty, true);
    for (QAction *item : m_menus->actions()) {
        QMenu *menu = item->menu();
        if (!menu)
            continue;
        QMenu *own = menu->objectName().isEmpty() ? nullptr : bar->findChild<QMenu *>(menu->objectName());
        if (!own) {
            bar->addAction(item);
            continue;
        }
        QAction *first = own->actions().value(0);
        own->insertActions(first, menu->actions());
        if (first)
            own->insertSeparator(first);
    }
}

bool MainMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        if (auto *window = qobject_cast<Window *>(watched))
            installInto(qobject_cast<QMenuBar *>(window->menuWidget()));
    }
    return false;
}

} // namespace platform
