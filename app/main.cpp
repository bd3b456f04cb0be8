#include "RQS-Kit/Controls/KitClasses.h"
#include "RQS-Kit/Foundation/ValueTransformers.h"
#include "app/workflow/VXPrintHelper.h"
#include "platform/Log.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Foldwise"));
    QApplication::setOrganizationName(QStringLiteral("Foldwise"));
    QApplication::setApplicationVersion(QStringLiteral(FOLDWISE_VERSION));
    rqs::registerValueTransformers();
    rqs::registerKitClasses();
    VXPrintHelper::installDefaultAlert();

    // No document window exists yet: start, report, and leave cleanly.
    platform::logInfo(QStringLiteral("Foldwise %1 started; the document window is not built yet")
                          .arg(QApplication::applicationVersion()));
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
