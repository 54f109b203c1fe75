#include "synth/Tarvelin.h"
#include "synth/TarvelinCore.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;

std::unique_ptr<Tarvelin> createPlayingInstrument (bool effect)
{
    std::unique_ptr<Tarvelin> instrument (dynamic_cast<Tarvelin*> (createPluginFilter()));
    instrument->setRateAndBufferSizeDetails (sampleRate, blockSize);
    instrument->prepareToPlay (sampleRate, blockSize);

    auto& parameters = instrument->getParameterManager();
    parameters.setValueFromText (TarvelinIds::effectOn, effect ? "On" : "Off");
    parameters.setNormalisedValue (TarvelinIds::drive, 0.6f);
    parameters.setNormalisedValue (TarvelinIds::bankMix, 0.5f);

    instrument->setInternalSequencer (true);
    instrument->performEvent (IntSeqPlugin::startEvent);
    return instrument;
}

void reportPerSample (benchmark::State& state, std::chrono::steady_clock::time_point start)
{
    const auto seconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
    const auto samples = static_cast<double> (state.iterations()) * blockSize;
    state.counters["ns_per_sample"] = seconds * 1.0e9 / samples;
    state.counters["realtime_factor"] = samples / sampleRate / seconds;
}

// The whole instrument, as a host drives it: the factory patterns playing on the
// internal sequencer, MIDI handling, both step clocks and the voice under its lock.
void BM_TarvelinPluginBlock (benchmark::State& state)
{
    const bool effect = state.range (0) != 0;
    auto instrument = createPlayingInstrument (effect);
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    const auto start = std::chrono::steady_clock::now();

    for (auto _ : state)
    {
        midi.clear();
        instrument->processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0)[blockSize - 1]);
    }

    reportPerSample (state, start);
    state.SetLabel (effect ? "sequencer playing, effect on" : "sequencer playing, effect off");
}

// The bare voice engine on the same kind of bass line, for comparison.
void BM_TarvelinCoreBlock (benchmark::State& state)
{
    TarvelinCore engine;
    engine.setSampleRate (static_cast<float> (sampleRate));
    engine.setParameter (TarvelinIds::effectOn, state.range (0) != 0 ? 1.0f : 0.0f);
    engine.setParameter (TarvelinIds::drive, 0.6f);
    engine.setParameter (TarvelinIds::volume, 0.5f);

    const int samplesPerStep = static_cast<int> (sampleRate * 0.125);
    int untilNextStep = 0, step = 0;
    const auto start = std::chrono::steady_clock::now();

    for (auto _ : state)
    {
        for (int i = 0; i < blockSize; ++i)
        {
            if (--untilNextStep <= 0)
            {
                engine.noteOff (36 + (step * 7) % 24);
                ++step;
                engine.noteOn (36 + (step * 7) % 24, step % 3 == 0 ? 1.0f : 0.4f);
                untilNextStep = samplesPerStep;
            }

            double sample = 0.0;
            engine.renderSample (sample);
            benchmark::DoNotOptimize (sample);
        }
    }

    reportPerSample (state, start);
    state.SetLabel (state.range (0) != 0 ? "bare voice, effect on" : "bare voice, effect off");
}
} // namespace

BENCHMARK (BM_TarvelinPluginBlock)->Arg (1)->Arg (0);
BENCHMARK (BM_TarvelinCoreBlock)->Arg (1)->Arg (0);
