#pragma once

#include <QObject>
#include <QVariantMap>

// Performs the undos of gesture-aware undo by key-value setting, so that one shared object can
// stand behind every such undo step. Main thread only.
class QSUndoForwarder : public QObject
{
    Q_OBJECT
public:
    static QSUndoForwarder *sharedForwarder();

    // Sets "val" for the key "key" on the object "obj". When the object's setter registers undo
    // itself, that registration becomes the redo step.
    Q_INVOKABLE void performKeyValueUndo(const QVariantMap &record);
};
