#pragma once

#include <QFuture>

namespace platform {

// Qt loads every picture-reading plugin it has, each with the libraries it needs, the first time a
// picture of a format that no plugin claims (a PNG, say) is read: a menu bar reads its own icon as
// it is made, so the first window of the process waited for all of them. Loading them on a worker
// at launch takes that off its way.
class ImageReaderPlugins
{
public:
    // Starts the loading once per process, after the application object is made, and returns at
    // once; the future ends when the plugins are loaded.
    static QFuture<void> loadInBackground();
};

} // namespace platform
