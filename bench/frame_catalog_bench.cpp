// Opening a user frame catalog of 1,000 to 10,000 frames (each with a texture, a mask and a shade
// of the shipped frame bundle): the median time of three openings per size, and the time per
// frame, which stays flat when opening grows linearly. A plain tool, run as
//   build/bench/frame_catalog_bench [--sizes 1000,2500,5000,10000]

#include "BenchSession.h"

#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "platform/foundation/PropertyList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QVariantMap catalogOf(int frames)
{
    QVariantMap catalog;
    for (int i = 1; i <= frames; ++i) {
        const QVariantMap shade{{"Shade", "FRM-S#001#External-Bevel"}, {"BlendMode", "multiply"}, {"Intensity", 0.8}};
        catalog.insert(QStringLiteral("FRM-U#%1#").arg(i, 3, 10, QLatin1Char('0')),
                       QVariantMap{{"Name", QStringLiteral("Frame %1").arg(i)},
                                   {"Texture", "RQS-T#003#Leather-Brown"},
                                   {"Texture.Color", "0.6 0.3 0.1 1"},
                                   {"TextureFillMode", 0},
                                   {"InternalMask", "FRM-I#001#Square"},
                                   {"Inset", 0.0},
                                   {"Shades", QVariantList{shade}}});
    }
    return catalog;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments = bench::toolArguments(argc, argv);
    int programNameOnly = 1;
    QApplication app(programNameOnly, argv);
    const qsizetype at = arguments.indexOf(QStringLiteral("--sizes"));
    const QStringList sizes = (at >= 0 ? arguments.value(at + 1) : QStringLiteral("1000,2500,5000,10000")).split(',');
    QTemporaryDir dir;
    for (const QString &size : sizes) {
        const int frames = size.toInt();
        const QString file = dir.filePath(QStringLiteral("UserFrames-%1.plist").arg(frames));
        if (frames <= 0 || !platform::PropertyList::write(catalogOf(frames), file)) {
            std::fprintf(stderr, "Error: Could not write a catalog of %s frames\n", qPrintable(size));
            return 1;
        }
        std::vector<double> seconds;
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer clock;
            clock.start();
            const QSFrameCatalog catalog(QSFrameCatalog::framesBundlePath(), file);
            seconds.push_back(double(clock.nsecsElapsed()) / 1e9);
            if (catalog.frameIDs().size() != frames) {
                std::fprintf(stderr, "Error: %lld of %d frames opened\n", qlonglong(catalog.frameIDs().size()), frames);
                return 1;
            }
        }
        std::sort(seconds.begin(), seconds.end());
        std::printf("%6d frames: %.3f s, %.1f us per frame\n", frames, seconds[1], seconds[1] / frames * 1e6);
    }
    return 0;
}
