#include "RQS-Kit/Foundation/QSInterfaceTranslator.h"

#include "RQS-Kit/Foundation/QSMenuTranslationController.h"
#include "RQS-Kit/Foundation/QSTranslatingButton.h"
#include "RQS-Kit/Foundation/QSTranslatingSegmentedControl.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>

namespace {

const QString &controlsTable()
{
    static const QString table = QStringLiteral("Controls");
    return table;
}

QString translated(const QString &text)
{
    return text.isEmpty() ? text : rqs::localizedForTable(text, controlsTable());
}

QMenu *menuOfButton(QWidget *widget)
{
    if (auto *button = qobject_cast<QPushButton *>(widget))
        return button->menu();
    if (auto *button = qobject_cast<QToolButton *>(widget))
        return button->menu();
    return nullptr;
}

void translateWidget(QWidget *widget)
{
    if (widget->isWindow() && !widget->windowTitle().isEmpty()) {
        const QString title = widget->windowTitle();
        widget->setWindowTitle(platform::Bundle::mainBundle()->localizedStringForKey(title, title, controlsTable()));
    }
    widget->setToolTip(translated(widget->toolTip()));
    if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(translated(label->text()));
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(translated(button->text()));
    else if (auto *group = qobject_cast<QGroupBox *>(widget))
        group->setTitle(translated(group->title()));
    else if (auto *field = qobject_cast<QLineEdit *>(widget))
        field->setPlaceholderText(translated(field->placeholderText()));
    else if (auto *segments = qobject_cast<QTabBar *>(widget)) {
        for (int segment = 0; segment < segments->count(); ++segment)
            segments->setTabText(segment, translated(segments->tabText(segment)));
    } else if (auto *popUp = qobject_cast<QComboBox *>(widget))
        QSMenuTranslationController::translateMenu(popUp, controlsTable());
    else if (auto *menuBar = qobject_cast<QMenuBar *>(widget))
        QSMenuTranslationController::translateMenu(menuBar, QStringLiteral("Menu"));
    if (QMenu *menu = menuOfButton(widget))
        QSMenuTranslationController::translateMenu(menu, controlsTable());
}

bool translatesItself(const QWidget *widget)
{
    return qobject_cast<const QSTranslatingButton *>(widget) || qobject_cast<const QSTranslatingSegmentedControl *>(widget);
}

} // namespace

void QSInterfaceTranslator::translate(QWidget *root)
{
    if (!root)
        return;
    QList<QWidget *> widgets{root};
    widgets += root->findChildren<QWidget *>();
    for (QWidget *widget : std::as_const(widgets)) {
        // Menus are reached through the bar or button that holds them.
        if (qobject_cast<QMenu *>(widget) || translatesItself(widget))
            continue;
        translateWidget(widget);
    }
}
