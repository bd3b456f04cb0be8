// Joining a frame's shades (optimizedShades) for stacks of 1,000 to 8,000 neighbouring shades that
// draw alike, as a user file may hold: the median wall and processor time of three joins per size,
// and the processor time per shade, which stays flat when joining grows linearly. A plain tool, run as
//   build/bench/frame_shades_bench [--sizes 1000,2000,4000,8000]

#include "BenchSession.h"

#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSFrameCatalog.h"
#include "RQS-Kit/Effects/QSFrameDescription.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

QVariantMap frameOf(int shades)
{
    const QVariantMap shade{{"Shade", "FRM-S#001#External-Bevel"}, {"BlendMode", "multiply"}, {"Intensity", 0.8}};
    return QVariantMap{{"Name", "Many Shades"}, {"Shades", QVariantList(shades, shade)}};
}

} // namespace

int main(int argc, char **argv)
{
    const bench::Session session;
    QStringList arguments = bench::toolArguments(argc, argv);
    int programNameOnly = 1;
    QApplication app(programNameOnly, argv);
    rqs::registerKitFilters();
    const qsizetype at = arguments.indexOf(QStringLiteral("--sizes"));
    const QStringList sizes = (at >= 0 ? arguments.value(at + 1) : QStringLiteral("1000,2000,4000,8000")).split(',');
    for (const QString &size : sizes) {
        const int shades = size.toInt();
        if (shades <= 0) {
            std::fprintf(stderr, "Error: %s is no number of shades\n", qPrintable(size));
            return 1;
        }
        std::vector<double> seconds, processor;
        for (int run = 0; run < 3; ++run) {
            const QSFrameDescription frame(frameOf(shades), QSFrameCatalog::framesBundlePath(), true);
            QElapsedTimer clock;
            clock.start();
            const std::clock_t started = std::clock();
            const qsizetype joined = frame.optimizedShades().size();
            processor.push_back(double(std::clock() - started) / CLOCKS_PER_SEC);
            seconds.push_back(double(clock.nsecsElapsed()) / 1e9);
            if (frame.shades().size() != shades || joined != 1) {
                std::fprintf(stderr, "Error: %lld shades read, joined into %lld\n", qlonglong(frame.shades().size()),
                             qlonglong(joined));
                return 1;
            }
        }
        std::sort(seconds.begin(), seconds.end());
        std::sort(processor.begin(), processor.end());
        std::printf("%6d shades: %.3f s, processor %.3f s, %.0f us per shade\n", shades, seconds[1], processor[1],
                    processor[1] / shades * 1e6);
    }
    return 0;
}
