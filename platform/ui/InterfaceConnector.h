#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

namespace platform {

// Connects the objects of a loaded interface to their owner (resources/README.md has the rules):
//   outlets   an object named like a writable QObject-pointer property of the owner, or like a
//             one-argument setter ("okButton" -> setOkButton), is handed to it
//   actions   the dynamic property "action" names an operation of the owner (or of the object
//             that "target" names) that a button, menu action, slider, combo box or line edit
//             invokes with itself as the argument; a target without that operation that has
//             forwardAction(QString operation, QObject *sender) gets the action there
//   bindings  a dynamic property "bind:<key>" = "owner.<keyPath>" or "values.<KEY>" makes the
//             object's key follow the owner's key path or the user default; edits of a key that
//             announces its changes are written back
// Every problem is one logged warning; everything else still connects. GUI thread.
class InterfaceConnector
{
public:
    static void connect(QObject *owner, QWidget *root);

    InterfaceConnector() = delete;

private:
    static void connectOutlet(QObject *owner, QObject *object);
    static void connectAction(QObject *owner, QObject *object, const QList<QObject *> &objects);
    static void connectBinding(QObject *owner, QObject *object, const QString &key, const QString &path);
};

} // namespace platform
