#pragma once

#include <QObject>
#include <QString>

namespace kitdrive {

// The target of every control's action: whatever operation a control sends, by the interface
// connector or by a target/action pair, lands here and is printed as "action SENDER OPERATION".
class ActionRecorder : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    Q_INVOKABLE void forwardAction(const QString &operation, QObject *sender);
};

} // namespace kitdrive
