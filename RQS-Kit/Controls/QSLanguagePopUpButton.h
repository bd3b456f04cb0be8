#pragma once

#include <QComboBox>
#include <QList>
#include <QPointer>

class QMenu;

// A pop-up of the user's preferred languages (QSLanguageList), with "Unknown" first and an item
// that opens the desktop's region settings; further menus mirror it with a tick on the choice.
// Activating an entry sends the pop-up's action. Main thread only.
class QSLanguagePopUpButton : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString selectedID READ selectedID WRITE setSelectedID)
public:
    explicit QSLanguagePopUpButton(QWidget *parent = nullptr);
    ~QSLanguagePopUpButton() override;

    void addMenu(QMenu *menu);
    // Out of range (or the settings item) shows "Unknown" and answers false.
    bool selectItemWithTag(int tag);
    // An item of the pop-up by its place; out of range changes nothing.
    void selectItemAtIndex(int index);
    // The item of that title, else the first whose title holds it or lies within it, else "Unknown".
    void selectItemWithTitle(const QString &title);
    int selectedTag() const;
    // "" for "Unknown".
    QString selectedID() const;
    // The exact identifier, else one of the same language, else "Unknown".
    void setSelectedID(const QString &identifier);
    // Opens the region settings and keeps the language that was chosen.
    void moreLanguages();

protected:
    void changeEvent(QEvent *event) override;

private:
    void fill();
    void fillMenu(QMenu *menu);
    void entrySelected(int tag);

    QList<QPointer<QMenu>> m_menus;
    int m_selectedTag = 0;
    int m_lastTag = 0;
};
