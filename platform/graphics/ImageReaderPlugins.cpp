#include "platform/graphics/ImageReaderPlugins.h"

#include <QBuffer>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>

namespace platform {

QFuture<void> ImageReaderPlugins::loadInBackground()
{
    // The global pool is waited for as the application object goes; the probe touches nothing of
    // the GUI, so it may end after the GUI has gone.
    static const QFuture<void> loading = QtConcurrent::run([] {
        QByteArray nothing;
        QBuffer empty(&nothing);
        empty.open(QIODevice::ReadOnly);
        // Asking for a format that no plugin claims loads them all, as the first PNG icon does.
        // Qt moves each plugin it loads to the main thread, so nothing stays tied to this worker.
        QImageReader(&empty, "png").canRead();
    });
    return loading;
}

} // namespace platform
