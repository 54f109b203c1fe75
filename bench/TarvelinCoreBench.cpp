#include "synth/TarvelinCore.h"
#include "synth/TarvelinIds.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace
{
constexpr double benchRates[] = { 44100.0, 48000.0, 88200.0, 96000.0, 192000.0 };
constexpr int blockSize = 512;

void setTypicalPatch (TarvelinCore& engine, bool square, bool effect)
{
    using namespace TarvelinIds;
    const std::pair<int, float> patch[] = {
        { tune, 0.5f }, { slideTime, 0.5f }, { cutoff, 0.4f }, { resonance, 0.8f }, { accentSweep, 0.5f },
        { envMod, 0.6f }, { attack, 0.0f }, { decay, 0.5f }, { accentDecay, 0.4f }, { accent, 0.7f },
        { accentAmp, 0.5f }, { gateLength, 0.5f }, { drive, 0.6f }, { bankFrequency, 0.5f },
        { bankSpread, 0.6f }, { distortionLevel, 0.7f }, { bankDamping, 0.4f }, { bankMix, 0.5f },
        { waveform, square ? 0.0f : 1.0f }, { accentAmpLink, 1.0f }, { accentSweepLink, 0.0f },
        { effectOn, effect ? 1.0f : 0.0f }, { bankOrder, 0.0f }, { volume, 0.5f }
    };

    for (const auto& [id, value] : patch)
        engine.setParameter (id, value);
}

// Renders a bass line of sixteenth notes at 120 BPM, every fourth one slid and
// every third one accented, so that glide, accent and release are all at work.
void BM_TarvelinCoreRender (benchmark::State& state)
{
    const bool square = state.range (0) != 0;
    const bool effect = state.range (1) != 0;
    const auto rate = benchRates[state.range (2)];

    TarvelinCore engine;
    engine.setSampleRate (static_cast<float> (rate));
    setTypicalPatch (engine, square, effect);

    const auto samplesPerStep = static_cast<int> (rate * 0.125);
    int untilNextStep = 0, step = 0, note = 36;
    double sum = 0.0;
    const auto start = std::chrono::steady_clock::now();

    for (auto _ : state)
    {
        for (int i = 0; i < blockSize; ++i)
        {
            if (--untilNextStep <= 0)
            {
                const auto next = 36 + (step * 7) % 24;
                const auto velocity = step % 3 == 0 ? 1.0f : 0.4f;

                if (step % 4 == 3)
                {
                    engine.noteOn (next, velocity);
                    engine.noteOff (note);
                }
                else
                {
                    engine.noteOff (note);
                    engine.noteOn (next, velocity);
                }

                note = next;
                ++step;
                untilNextStep = samplesPerStep;
            }

            double out = 0.0;
            engine.renderSample (out);
            sum += out;
        }

        benchmark::DoNotOptimize (sum);
    }

    // Measured here rather than through rate counters, so that both read as plain numbers.
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const auto samples = static_cast<double> (state.iterations()) * blockSize;
    state.counters["ns_per_sample"] = elapsed.count() * 1.0e9 / samples;
    state.counters["realtime_factor"] = samples / rate / elapsed.count();
    state.SetLabel (std::string (square ? "square" : "saw") + (effect ? ", effect on, " : ", effect off, ")
                    + std::to_string (static_cast<int> (rate)) + " Hz");
}
} // namespace

BENCHMARK (BM_TarvelinCoreRender)
    ->ArgNames ({ "square", "effect", "rateRow" })
    ->ArgsProduct ({ { 0, 1 }, { 0, 1 }, { 0, 1, 2, 3, 4 } });
