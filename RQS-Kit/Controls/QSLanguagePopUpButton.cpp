#include "RQS-Kit/Controls/QSLanguagePopUpButton.h"

#include "RQS-Kit/Controls/QSLanguageList.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

#include <QEvent>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString moreTitle = QStringLiteral("Add more languages ...");

} // namespace

QSLanguagePopUpButton::QSLanguagePopUpButton(QWidget *parent)
    : QComboBox(parent)
{
    fill();
    platform::NotificationCenter::defaultCenter()->addObserver(this, QStringLiteral("QSLanguagesHaveChanged"), nullptr,
                                                               [this](const platform::Notification &) {
                                                                   const QString chosen = selectedID();
                                                                   fill();
                                                                   for (QMenu *menu : std::as_const(m_menus))
                                                                       if (menu)
                                                                           fillMenu(menu);
                                                                   setSelectedID(chosen);
                                                               });
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (itemText(index) == moreTitle)
            moreLanguages();
        else
            selectItemWithTag(index);
    });
}

QSLanguagePopUpButton::~QSLanguagePopUpButton() { platform::NotificationCenter::defaultCenter()->removeObserver(this); }

void QSLanguagePopUpButton::fill()
{
    const QSignalBlocker quiet(this);
    clear();
    addItems(QSLanguageList::shared().names);
    insertSeparator(count());
    addItem(moreTitle);
}

void QSLanguagePopUpButton::fillMenu(QMenu *menu)
{
    menu->clear();
    const QStringList &names = QSLanguageList::shared().names;
    for (int tag = 0; tag < names.size(); ++tag) {
        QAction *item = menu->addAction(names[tag], this, [this, tag] { entrySelected(tag); });
        item->setCheckable(true);
        item->setChecked(tag == m_lastTag);
    }
    menu->addSeparator();
    menu->addAction(moreTitle, this, &QSLanguagePopUpButton::moreLanguages);
}

void QSLanguagePopUpButton::addMenu(QMenu *menu)
{
    m_menus << menu;
    fillMenu(menu);
}

void QSLanguagePopUpButton::entrySelected(int tag)
{
    selectItemWithTag(tag);
    emit activated(tag);
}

bool QSLanguagePopUpButton::selectItemWithTag(int tag)
{
    m_selectedTag = tag;
    if (tag < 0 || tag >= QSLanguageList::shared().identifiers.size()) {
        setCurrentIndex(0);
        return false;
    }
    setCurrentIndex(tag);
    for (QMenu *menu : std::as_const(m_menus)) {
        const QList<QAction *> items = menu ? menu->actions() : QList<QAction *>();
        if (m_lastTag < items.size())
            items[m_lastTag]->setChecked(false);
        if (tag < items.size())
            items[tag]->setChecked(true);
    }
    m_lastTag = tag;
    return true;
}

void QSLanguagePopUpButton::selectItemAtIndex(int index)
{
    if (index >= 0 && index < count())
        selectItemWithTag(index);
}

void QSLanguagePopUpButton::selectItemWithTitle(const QString &title)
{
    int found = findText(title, Qt::MatchExactly);
    for (int index = 0; found < 0 && !title.isEmpty() && index < count(); ++index) {
        const QString item = itemText(index);
        if (!item.isEmpty() && (item.contains(title) || title.contains(item)))
            found = index;
    }
    selectItemWithTag(found);
}

int QSLanguagePopUpButton::selectedTag() const { return currentIndex() >= 0 ? currentIndex() : m_selectedTag; }

QString QSLanguagePopUpButton::selectedID() const { return QSLanguageList::shared().identifiers.value(selectedTag()); }

void QSLanguagePopUpButton::setSelectedID(const QString &identifier) { selectItemWithTag(QSLanguageList::indexOf(identifier)); }

void QSLanguagePopUpButton::moreLanguages()
{
    const QList<QStringList> panes{{QStringLiteral("gnome-control-center"), QStringLiteral("region")},
                                   {QStringLiteral("systemsettings"), QStringLiteral("kcm_regionandlang")}};
    bool opened = false;
    for (const QStringList &pane : panes) {
        const QString program = QStandardPaths::findExecutable(pane.first());
        if (!program.isEmpty() && (opened = QProcess::startDetached(program, pane.mid(1))))
            break;
    }
    if (!opened)
        platform::logInfo(QStringLiteral("No region settings of the desktop were found; set the languages there by hand"));
    // The settings item must not stay chosen: the client's language is shown again.
    selectItemWithTag(m_lastTag);
}

void QSLanguagePopUpButton::changeEvent(QEvent *event)
{
    // Linux tells a running process of no language change but its own.
    if (event->type() == QEvent::LocaleChange)
        QSLanguageList::updateLanguages();
    QComboBox::changeEvent(event);
}
