#include "ActionRecorder.h"

#include "Transcript.h"

namespace kitdrive {

void ActionRecorder::forwardAction(const QString &operation, QObject *sender)
{
    const QString name = sender && !sender->objectName().isEmpty()
                             ? sender->objectName()
                             : QString::fromLatin1(sender ? sender->metaObject()->className() : "nil");
    say(QStringLiteral("action %1 %2").arg(name, operation));
}

} // namespace kitdrive
