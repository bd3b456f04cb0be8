#include "platform/graphics/ImageReaderPlugins.h"

#include <QBuffer>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>

namespace platform {

QFuture<void> ImageReaderPlugins::loadInBackground()
{
    // The global pool is waited for before the application object goes.
    static const QFuture<void> loading = QtConcurrent::run([] {
        QByteArray nothing;
        QBuffer empty(&nothing);
        empty.open(QIODevice::ReadOnly);
        // Asking whether any plugin reads this format loads them all, as the first picture does.
        // Qt moves each plugin it loads to the main thread, so nothing stays tied to this worker.
        QImageReader(&empty, "png").canRead();
    });
    return loading;
}

} // namespace platform
