// Reading an XML property list whose one string holds N references ("&amp;"): what a text full of
// ampersands or angle brackets costs. Run as
//   build/bench/property_list_bench

#include "platform/foundation/PropertyList.h"

#include <benchmark/benchmark.h>

#include <QByteArray>

namespace {

void StringOfReferences(benchmark::State &state)
{
    const int references = int(state.range(0));
    const QByteArray document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<string>"
                              + QByteArray("&amp;").repeated(references) + "</string>\n</plist>\n";
    for (auto _ : state) {
        const QVariant read = platform::PropertyList::fromData(document);
        if (read.toString().size() != references)
            state.SkipWithError("the string was not read whole");
        benchmark::DoNotOptimize(read);
    }
    state.SetBytesProcessed(state.iterations() * document.size());
}

BENCHMARK(StringOfReferences)->RangeMultiplier(4)->Range(10000, 640000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
