#pragma once

#include <QObject>
#include <QString>

class QKeyEvent;
class QWidget;

namespace platform {

// Steps the number a field is bound to ("bind:value") through the field editor's commands that
// the arrow keys send: Up and Down (moveUp:, moveDown:) by one unit, with Shift ten units, with
// Alt a tenth of a unit (moveToBeginningOfParagraph:, moveToEndOfParagraph:). The unit is
// 1 / the field's "multiplier" property where it has one (a field showing 0.5 as 50 % steps by
// one shown percent); else a spin box's single step, since Qt's fields have no formatter to say
// what one shown unit is; else 1. A spin box keeps the result in its range and rounds it to its
// decimals. Any field with a value binding steps, spin box or not. GUI thread.
class NumberFieldStepper : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The command the field editor runs for the key; empty for a key that types or is no command.
    static QString commandForKey(const QKeyEvent &key);
    // Steps the field for one of the stepping commands and answers true (consumed); false, the
    // command left to the field, for any other command or a field without a value binding.
    static bool doCommandBySelector(QWidget *field, const QString &command);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace platform
