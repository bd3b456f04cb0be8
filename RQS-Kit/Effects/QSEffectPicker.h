#pragma once

#include "RQS-Kit/Effects/QSEffect.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class QAction;
class QMenu;
class QSEffectPicker;
class QSEffectsCatalog;
class QWidget;

// Told what the user looks at and picks in the effect picker; each effect is a new one.
class QSEffectPickerDelegate
{
public:
    virtual ~QSEffectPickerDelegate() = default;
    virtual void effectPickerPreviewing(QSEffectPicker &picker, std::unique_ptr<QSEffect> effect) = 0;
    // Exactly once per showing: null when the menu closed without a choice.
    virtual void effectPickerDidSelectEffect(QSEffectPicker &picker, std::unique_ptr<QSEffect> effect) = 0;
};

// The catalog's effects as a menu at a view, previewing each effect the pointer or the keyboard
// highlights, and nothing (a null effect) when none is highlighted any more. Main thread only.
class QSEffectPicker : public QObject
{
    Q_OBJECT

public:
    static QSEffectPicker &shared();
    explicit QSEffectPicker(const QSEffectsCatalog &catalog);
    ~QSEffectPicker() override;

    // The delegate is kept until it has been told the outcome.
    void showPickerOver(QWidget *view, std::shared_ptr<QSEffectPickerDelegate> delegate);
    // Made on first use: one item per display name, in case-sensitive order.
    QMenu *listMenu();

private:
    void highlighted(QAction *item);
    void itemSelected(QAction *item);
    void menuClosed();

    const QSEffectsCatalog &m_catalog;
    QStringList m_effectDisplayNames;
    std::shared_ptr<QSEffectPickerDelegate> m_delegate;
    bool m_didSelectEffect = false;
    std::unique_ptr<QMenu> m_listMenu;
};
