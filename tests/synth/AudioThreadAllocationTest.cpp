// The audio thread allocates nothing: every allocation of this executable goes
// through the C library's malloc, calloc and realloc (operator new and the
// toolkit's heap blocks alike), which are counted here while a block is
// processed. The sanitizer builds bring their own allocator; there the count is
// not taken.

#include "support/InstrumentTestSupport.h"

#include <atomic>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
 #define TARVELIN_OWN_ALLOCATOR 1
#elif defined(__has_feature)
 #if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
  #define TARVELIN_OWN_ALLOCATOR 1
 #endif
#endif

namespace
{
thread_local bool countingHere = false;
std::atomic<int> allocationsCounted { 0 };
} // namespace

#if ! defined(TARVELIN_OWN_ALLOCATOR) && defined(__GLIBC__)

namespace
{
void countAllocation() noexcept
{
    if (countingHere)
        allocationsCounted.fetch_add (1, std::memory_order_relaxed);
}
} // namespace

// glibc's own entry points, behind the public names taken here.
extern "C" void* __libc_malloc (std::size_t size) noexcept;
extern "C" void* __libc_calloc (std::size_t count, std::size_t size) noexcept;
extern "C" void* __libc_realloc (void* memory, std::size_t size) noexcept;

extern "C" void* malloc (std::size_t size) noexcept
{
    countAllocation();
    return __libc_malloc (size);
}

extern "C" void* calloc (std::size_t count, std::size_t size) noexcept
{
    countAllocation();
    return __libc_calloc (count, size);
}

extern "C" void* realloc (void* memory, std::size_t size) noexcept
{
    countAllocation();
    return __libc_realloc (memory, size);
}

#else
 #define TARVELIN_ALLOCATIONS_UNCOUNTED 1
#endif

namespace
{
using namespace InstrumentTest;

/** A host's side of the audio callback: buffers made once, reused every block. */
struct AudioThread
{
    explicit AudioThread (Tarvelin& instrumentToRun) : instrument (instrumentToRun)
    {
        midi.ensureSize (8192);
    }

    /** Processes blocks for the given time, the events given at the sample of the first block,
        and gives the allocations they made. */
    int run (double seconds, const std::vector<juce::MidiMessage>& events = {})
    {
        for (const auto& event : events)
            midi.addEvent (event, 17);

        const int before = allocationsCounted.load();

        for (int done = 0; done < static_cast<int> (seconds * sampleRate); done += blockSize)
        {
            countingHere = true;
            instrument.processBlock (buffer, midi);
            countingHere = false;

            // What the instrument played is the host's to take; its own input comes in the same buffer.
            midi.clear();
        }

        return allocationsCounted.load() - before;
    }

    Tarvelin& instrument;
    juce::AudioBuffer<float> buffer { 2, blockSize };
    juce::MidiBuffer midi;
};

struct AudioThreadAllocation : public InstrumentFixture
{
    void SetUp() override
    {
#if defined(TARVELIN_ALLOCATIONS_UNCOUNTED)
        GTEST_SKIP() << "allocations are counted only over glibc's own allocator";
#endif
        InstrumentFixture::SetUp();
        setText (effectOn, "On");
    }

    AudioThread audio { plugin };
};
} // namespace

TEST_F (AudioThreadAllocation, NoneWhileTheSequencerPlaysWithAccentsSlidesAndControllers)
{
    auto& pattern = plugin.getPattern (0);

    for (int s = 0; s < Pattern::numSteps; ++s)
        pattern.setStep (s, makeStep (s % 12, s % 5 != 4, s % 3 == 0, s % 4 == 3));

    // A learnt controller moves the cutoff from the audio thread.
    plugin.getMidiControl().assign (74, parameters.getParameter (cutoff), false);
    startSequencer();
    audio.run (0.1);

    EXPECT_EQ (audio.run (2.0), 0);
    EXPECT_EQ (audio.run (0.1, { juce::MidiMessage::controllerEvent (1, 74, 90), juce::MidiMessage::pitchWheel (1, 9000) }), 0);
    EXPECT_NEAR (normalised (cutoff), 90.0f / 127.0f, 1.0e-6f);
    EXPECT_EQ (audio.run (0.1, { juce::MidiMessage::allNotesOff (1) }), 0);
}

TEST_F (AudioThreadAllocation, NoneWhileNotesPlayTheVoiceAndTheArpeggiator)
{
    switchSequencerOff (plugin);
    audio.run (0.1);

    // More notes held at once than the engine keeps: each struck three times.
    std::vector<juce::MidiMessage> chord, release;

    for (int note = 0; note < 128; ++note)
        for (int strike = 0; strike < 3; ++strike)
        {
            chord.push_back (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (40 + note % 80)));
            release.push_back (juce::MidiMessage::noteOff (1, note));
        }

    EXPECT_EQ (audio.run (0.5, chord), 0);
    EXPECT_EQ (audio.run (0.5, release), 0);

    setText (arpMode, "Up");
    setText (arpOctavePlus1, "On");
    audio.run (0.1);

    EXPECT_EQ (audio.run (1.0, chord), 0);
    EXPECT_EQ (audio.run (0.5, release), 0);
}

TEST_F (AudioThreadAllocation, NoneWhenTheBlockAfterAnotherPrepareSendsTheNoteOffsItQueued)
{
    startSequencer();
    audio.run (0.05);    // a step's note sounds

    plugin.releaseResources();
    plugin.prepareToPlay (sampleRate, blockSize);

    EXPECT_EQ (audio.run (0.05), 0);
}
