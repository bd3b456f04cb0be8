#pragma once

#include "RQS-Kit/Controls/QSButton.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

// A button that pops a menu up under the pointer, shows the chosen item's title and draws a small
// up/down double arrow at its right edge. Choosing an item selects it; an item that has no action
// of its own (no "action" property) sends the button's action. While the menu is open, each change
// of the highlighted item, the pointer leaving all items included, sends the hover action (the
// action's name followed by "hover") when the target has it. Closing the menu without choosing
// selects nothing.
class QSPopupButton : public QSButton
{
    Q_OBJECT
    Q_PROPERTY(bool keepTitle READ keepTitle WRITE setKeepTitle)
    Q_PROPERTY(int selectedIndex READ selectedIndex)
    Q_PROPERTY(QString hoverAction READ hoverAction)

public:
    explicit QSPopupButton(QWidget *parent = nullptr);

    QMenu *popupMenu() const;
    // The button keeps the menu; its titles are translated through the table "Controls".
    void setPopupMenu(QMenu *menu);
    // The chosen item, else the menu's first; none for no menu or an empty one.
    QAction *selectedItem() const;
    void setSelectedItem(QAction *item);
    // Where selectedItem stands in the menu; -1 for none.
    int selectedIndex() const;
    QAction *hoveredItem() const;
    // Keeps the button's own title whatever is chosen.
    bool keepTitle() const;
    void setKeepTitle(bool keepTitle);
    QAction *inserItemWithTitle(const QString &title, int index);
    Q_INVOKABLE void itemSelected(QObject *item);
    void setAction(const QString &action) override;
    QString hoverAction() const;

    void drawRect(const QRectF &dirtyRect) override;
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void menuWillHighlightItem(QAction *item);
    void menuDidClose();

    QPointer<QMenu> m_popupMenu;
    QPointer<QAction> m_selectedItem;
    QPointer<QAction> m_hoveredItem;
    QString m_hoverAction;
    bool m_keepTitle = false;
};
