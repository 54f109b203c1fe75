#include "synth/Tarvelin.h"

#include <benchmark/benchmark.h>

#include <memory>

/*  What one instance costs to make and to delete, with the editor that every
    instance builds at set-up: hosts make many at once when a project opens,
    and every test that needs an instrument pays it too.
*/
namespace
{
void BM_TarvelinInstanceCreateAndDelete (benchmark::State& state)
{
    for (auto _ : state)
    {
        std::unique_ptr<juce::AudioProcessor> instance (createPluginFilter());
        benchmark::DoNotOptimize (instance.get());
    }
}
} // namespace

BENCHMARK (BM_TarvelinInstanceCreateAndDelete)->Unit (benchmark::kMillisecond);
