#include "BlockTimes.h"

#include "synth/Tarvelin.h"
#include "synth/TarvelinCore.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

/*  The whole instrument as a host drives it, against the bare voice engine
    doing the same work: the engine plays exactly the notes the instrument
    sent to its MIDI output, at the same samples and with the same patch, a
    block each in turn. What is left is the cost of the instrument around the
    voice: MIDI, both step clocks, the runs, the lock and the output channels.
    Each figure is the median over the blocks.
*/
namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;

using Clock = std::chrono::steady_clock;

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

/** A bare engine set up as the instrument's own. */
std::unique_ptr<TarvelinCore> createEngineLike (Tarvelin& instrument)
{
    auto engine = std::make_unique<TarvelinCore>();
    engine->setSampleRate (static_cast<float> (sampleRate));
    engine->setTuning (instrument.getOscillatorTuning());
    engine->setAccentThreshold (static_cast<float> (32 * (instrument.getAccentVelocityLevel() + 1)) / 127.0f);

    for (int id = 0; id < TarvelinCore::numParameters; ++id)
        engine->setParameter (id, instrument.getParameterManager().getNormalisedValue (id));

    return engine;
}

/** The engine plays a block's notes where the instrument played them. */
void renderLike (TarvelinCore& engine, const juce::MidiBuffer& notes, double* output)
{
    int rendered = 0;

    for (const auto metadata : notes)
    {
        engine.renderBlock (output + rendered, metadata.samplePosition - rendered);
        rendered = metadata.samplePosition;
        const auto message = metadata.getMessage();

        if (message.isNoteOn())
            engine.noteOn (message.getNoteNumber(), message.getFloatVelocity());
        else if (message.isNoteOff())
            engine.noteOff (message.getNoteNumber());
        else if (message.isAllNotesOff())
            engine.allNotesOff();
    }

    engine.renderBlock (output + rendered, blockSize - rendered);
}

void BM_TarvelinPluginBlock (benchmark::State& state)
{
    const bool effect = state.range (0) != 0;
    auto instrument = createPlayingInstrument (effect);
    auto engine = createEngineLike (*instrument);

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    std::vector<double> bare (blockSize);
    BlockTimes times (blockSize);

    for (auto _ : state)
    {
        midi.clear();
        const auto start = Clock::now();
        instrument->processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0)[blockSize - 1]);
        const auto between = Clock::now();
        renderLike (*engine, midi, bare.data());
        benchmark::DoNotOptimize (bare.data());
        times.add (between - start, Clock::now() - between);
    }

    state.counters["ns_per_sample"] = times.medianNanosecondsPerSample (0);
    state.counters["bare_ns_per_sample"] = times.medianNanosecondsPerSample (1);
    state.counters["ratio_to_bare"] = times.medianRatio();
    state.SetLabel (effect ? "sequencer playing, effect on" : "sequencer playing, effect off");
}
} // namespace

BENCHMARK (BM_TarvelinPluginBlock)->Arg (0)->Arg (1);
