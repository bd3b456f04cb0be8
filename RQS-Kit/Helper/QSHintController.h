#pragma once

#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <memory>

// Keyed hint texts shown in one text field of a window (any widget with a "text" property: a label
// or a line edit). The most recent hint is shown; removing it brings back the one before. Views
// send hints to their window; a child window without a controller of its own uses its parent
// window's. A registration ends with its window's destruction. Main thread only.
class QSHintController
{
public:
    // A controller for the field, registered for the window in place of an earlier one; a null window
    // leaves it unregistered.
    static std::shared_ptr<QSHintController> addHintConrollerForWindow(QWidget *window, QWidget *textField);
    // The registration of the window, else of its parent window, its parent's, and so on; -1 for none.
    static qsizetype indexOfWindow(const QWidget *window);
    static qsizetype indexOfController(const QSHintController *controller);
    static void removeControllerForWindow(const QWidget *window);
    // Hints for a window without a controller are dropped.
    static void sendHint(const QString &text, const QVariant &key, const QWidget *window);
    static void removeHintForKey(const QVariant &key, const QWidget *window);

    explicit QSHintController(QWidget *textField);

    void removeHintController();
    // The text is shown localised; an equal key sent before is replaced.
    void sendHint(const QString &text, const QVariant &key);
    // The field shows the new top hint when the top one went, "" when none is left.
    void removeHintForKey(const QVariant &key);

    QWidget *hintTF() const;
    QStringList hints() const;
    QVariantList keys() const;

private:
    void show(const QString &text);

    QPointer<QWidget> m_hintTF;
    QStringList m_hints;
    QVariantList m_keys;
};
