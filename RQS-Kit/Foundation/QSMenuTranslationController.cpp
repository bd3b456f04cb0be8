#include "RQS-Kit/Foundation/QSMenuTranslationController.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>

#include <map>
#include <memory>

QSMenuTranslationController::QSMenuTranslationController(QObject *parent)
    : QObject(parent)
    , m_tableName(QStringLiteral("Menu"))
{
}

QSMenuTranslationController *QSMenuTranslationController::sharedControllerForTable(const QString &tableName)
{
    if (tableName.isEmpty()) {
        platform::logWarning(QStringLiteral("A menu translator needs a table name"));
        return nullptr;
    }
    static std::map<QString, std::unique_ptr<QSMenuTranslationController>> controllers;
    std::unique_ptr<QSMenuTranslationController> &controller = controllers[tableName];
    if (!controller) {
        controller = std::make_unique<QSMenuTranslationController>();
        controller->setTableName(tableName);
    }
    return controller.get();
}

void QSMenuTranslationController::translateMenu(QWidget *menu, const QString &tableName)
{
    if (QSMenuTranslationController *controller = sharedControllerForTable(tableName))
        controller->translateMenu(menu);
}

void QSMenuTranslationController::translate() { translateMenu(m_menu); }

void QSMenuTranslationController::translateMenu(QWidget *menu)
{
    if (!menu)
        return;
    const QString table = tableName();
    if (table.isEmpty())
        return;
    if (auto *popUp = qobject_cast<QMenu *>(menu)) {
        const QString title = popUp->title();
        if (!title.isEmpty())
            popUp->setTitle(bundle()->localizedStringForKey(title, title, table));
    } else if (!qobject_cast<QMenuBar *>(menu) && !qobject_cast<QComboBox *>(menu)) {
        platform::logWarning(QStringLiteral("%1 is no menu to translate").arg(QString::fromLatin1(menu->metaObject()->className())));
        return;
    }
    translateItems(menu, table);
}

// A submenu's title is the text of its item in the parent menu, so each is translated once, as an item.
void QSMenuTranslationController::translateItems(QWidget *menu, const QString &table) const
{
    if (auto *popUp = qobject_cast<QComboBox *>(menu)) {
        for (int index = 0; index < popUp->count(); ++index) {
            const QString text = popUp->itemText(index);
            if (!text.isEmpty())
                popUp->setItemText(index, rqs::localizedForBundle(text, bundle(), table));
        }
        return;
    }
    const QList<QAction *> items = menu->actions();
    for (QAction *item : items) {
        if (!item->text().isEmpty())
            item->setText(rqs::localizedForBundle(item->text(), bundle(), table));
        if (QMenu *submenu = item->menu())
            translateItems(submenu, table);
    }
}

void QSMenuTranslationController::awakeFromNib()
{
    translate();
    if (m_releaseWhenDone)
        deleteLater();
}

QWidget *QSMenuTranslationController::menu() const { return m_menu; }

void QSMenuTranslationController::setMenu(QWidget *menu) { m_menu = menu; }

platform::BundlePtr QSMenuTranslationController::bundle() const
{
    return m_bundle ? m_bundle : platform::Bundle::mainBundle();
}

void QSMenuTranslationController::setBundle(const platform::BundlePtr &bundle) { m_bundle = bundle; }

QString QSMenuTranslationController::tableName() const
{
    const QString path = bundle()->pathForResource(m_tableName, QStringLiteral("strings"));
    if (path.isEmpty() || path.contains(QStringLiteral("en.lproj")))
        return {};
    return m_tableName;
}

void QSMenuTranslationController::setTableName(const QString &tableName) { m_tableName = tableName; }

bool QSMenuTranslationController::releaseWhenDone() const { return m_releaseWhenDone; }

void QSMenuTranslationController::setReleaseWhenDone(bool releaseWhenDone) { m_releaseWhenDone = releaseWhenDone; }
