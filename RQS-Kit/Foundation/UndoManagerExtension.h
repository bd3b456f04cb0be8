#pragma once

#include "platform/ui/UndoManager.h"

#include <QObject>
#include <QString>
#include <QVariant>

// Undo registrations of the kit: by operation name, and gesture-aware ones that make one undo step
// of a stream of changes during one pointer gesture. Main thread only.
namespace rqs {

// Registers an undo that invokes the target's one-argument operation of that name with object
// (converted to the argument's type) and names the step after the operation, localized. False and
// nothing registered without a manager, and, with a logged warning, for an operation the target
// does not have or an object that does not convert.
bool registerUndoWithTarget(platform::UndoManager *manager, QObject *target, const QString &selector,
                            const QVariant &object);

// Registers an undo that sets value back for key on target, unless this target and key were
// registered already in the current gesture; true when a step was registered. A gesture lasts
// while the left button is held (until its next press or release anywhere in the application),
// or, with gesture set and no button down, until gestureEndedFor that target or a change of
// another target. Without a button and without gesture every call is its own step. An unnamed
// step is named after the key, localized. Changes made while the manager undoes or redoes are
// always registered and start no gesture, and undoing or redoing ends the current one, so the
// redo step and later changes are never lost to a gesture. False without a manager or while its
// registration is disabled.
bool registerMouseAwareUndoWithTarget(platform::UndoManager *manager, QObject *target, const QVariant &value,
                                      const QString &key, bool gesture);

// Ends the gesture when target is the one being recorded; the manager may be any.
void gestureEndedFor(platform::UndoManager *manager, QObject *target);

// True while a drag's gesture waits for its ending mouse event.
bool recordingInProgress();

} // namespace rqs
