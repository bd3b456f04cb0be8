#pragma once

#include "platform/foundation/Bundle.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

// Translates the titles of a menu tree through one strings table. A menu is a QMenu, a QMenuBar (the
// main menu) or a QComboBox (the item list of a pop-up button). Menus are never translated against
// the English table: there the titles already are the English texts. Main thread only.
class QSMenuTranslationController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QWidget *menu READ menu WRITE setMenu)
    Q_PROPERTY(QString tableName READ tableName WRITE setTableName)
    Q_PROPERTY(bool releaseWhenDone READ releaseWhenDone WRITE setReleaseWhenDone)
public:
    // Works on the table "Menu".
    explicit QSMenuTranslationController(QObject *parent = nullptr);

    // One controller per table name, kept for the life of the process; null (and a warning) for an
    // empty name.
    static QSMenuTranslationController *sharedControllerForTable(const QString &tableName);
    static void translateMenu(QWidget *menu, const QString &tableName);

    void translate();
    void translateMenu(QWidget *menu);

    // For an interface file that holds the controller: translates its menu, then, with
    // releaseWhenDone, lets the controller go.
    Q_INVOKABLE void awakeFromNib();

    QWidget *menu() const;
    void setMenu(QWidget *menu);
    // The main bundle when none is set.
    platform::BundlePtr bundle() const;
    void setBundle(const platform::BundlePtr &bundle);
    // The table to translate with: the stored name when the bundle has that table for the current
    // language and it is not the English one; empty otherwise.
    QString tableName() const;
    void setTableName(const QString &tableName);
    bool releaseWhenDone() const;
    void setReleaseWhenDone(bool releaseWhenDone);

private:
    void translateItems(QWidget *menu, const QString &table) const;

    QPointer<QWidget> m_menu;
    platform::BundlePtr m_bundle;
    QString m_tableName;
    bool m_releaseWhenDone = false;
};
