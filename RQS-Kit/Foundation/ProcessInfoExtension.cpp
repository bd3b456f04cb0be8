#include "RQS-Kit/Foundation/ProcessInfoExtension.h"

#include <QCoreApplication>

namespace rqs {

QString appName() { return QCoreApplication::applicationName(); }

} // namespace rqs
