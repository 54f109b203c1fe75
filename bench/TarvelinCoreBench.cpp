#include "BlockTimes.h"

#include "synth/TarvelinCore.h"
#include "synth/TarvelinIds.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

/*  The voice engine, fast against exact. Both engines play the same bass line
    side by side, a block each in turn, so that both meet the same machine:
    the ratio between them holds even where the machine is shared and its
    absolute timings are not. Each figure is the median over the blocks, so a
    block that another process interrupted does not count.
*/
namespace
{
constexpr double benchRates[] = { 44100.0, 48000.0, 88200.0, 96000.0, 192000.0 };
constexpr int blockSize = 512;

using Clock = std::chrono::steady_clock;

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

/** A bass line of sixteenth notes at 120 BPM, every fourth one slid and every third
    accented, so that glide, accent and release are all at work; the engine renders
    the runs between the notes, as the instrument has it do.
*/
class BassLine
{
public:
    BassLine (TarvelinCore::Math math, double rate, bool square, bool effect)
        : engine (math), samplesPerStep (static_cast<int> (rate * 0.125))
    {
        engine.setSampleRate (static_cast<float> (rate));
        setTypicalPatch (engine, square, effect);
    }

    void renderBlock (double* output, int numSamples)
    {
        for (int done = 0; done < numSamples;)
        {
            if (untilNextStep == 0)
                playNextStep();

            const auto run = std::min (untilNextStep, numSamples - done);
            engine.renderBlock (output + done, run);
            done += run;
            untilNextStep -= run;
        }
    }

    TarvelinCore engine;

private:
    void playNextStep()
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

    const int samplesPerStep;
    int untilNextStep = 0, step = 0, note = 36;
};


void BM_TarvelinCoreRender (benchmark::State& state)
{
    const bool square = state.range (0) != 0;
    const bool effect = state.range (1) != 0;
    const auto rate = benchRates[state.range (2)];

    BassLine fast (TarvelinCore::Math::fast, rate, square, effect);
    BassLine exact (TarvelinCore::Math::exact, rate, square, effect);
    std::vector<double> out (blockSize);
    BlockTimes times (blockSize);

    for (auto _ : state)
    {
        const auto start = Clock::now();
        fast.renderBlock (out.data(), blockSize);
        benchmark::DoNotOptimize (out.data());
        const auto between = Clock::now();
        exact.renderBlock (out.data(), blockSize);
        benchmark::DoNotOptimize (out.data());
        times.add (between - start, Clock::now() - between);
    }

    state.counters["ns_per_sample"] = times.medianNanosecondsPerSample (0);
    state.counters["exact_ns_per_sample"] = times.medianNanosecondsPerSample (1);
    state.counters["ratio_to_exact"] = times.medianRatio();
    state.SetLabel (std::string (square ? "square" : "saw") + (effect ? ", effect on, " : ", effect off, ")
                    + std::to_string (static_cast<int> (rate)) + " Hz");
}
} // namespace

BENCHMARK (BM_TarvelinCoreRender)
    ->ArgNames ({ "square", "effect", "rateRow" })
    ->ArgsProduct ({ { 0, 1 }, { 0, 1 }, { 0, 1, 2, 3, 4 } });
