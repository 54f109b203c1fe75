#include "synth/Arpeggiator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <limits>
#include <ostream>
#include <vector>

namespace
{
struct NoteEvent
{
    int sample;
    bool on;
    int note;
    float velocity;

    bool operator== (const NoteEvent& other) const
    {
        return sample == other.sample && on == other.on && note == other.note && velocity == other.velocity;
    }
};

using Events = std::vector<NoteEvent>;

void PrintTo (const NoteEvent& e, std::ostream* os)
{
    *os << "@" << e.sample << (e.on ? " on " : " off ") << e.note;

    if (e.on)
        *os << " v" << e.velocity;
}

NoteEvent on (int sample, int note, float velocity = 1.0f)  { return { sample, true, note, velocity }; }
NoteEvent off (int sample, int note)                         { return { sample, false, note, 0.0f }; }

class RecordingOutput : public Arpeggiator::Output
{
public:
    void playNote (int note, float velocity) override    { events.push_back (on (now, note, velocity)); }
    void releaseNote (int note) override                 { events.push_back (off (now, note)); }

    int now = 0;
    Events events;
};

// The normalised parameter value that picks choice k of numChoices.
float choice (int k, int numChoices)
{
    return (float) k / (float) (numChoices - 1);
}

// At 130 beats per minute and 44100 Hz a step of a quarter beat is 5088.46
// samples, so no step boundary falls on a whole sample. With gate 0.5 the steps
// start at these samples and their gates end at 2545, 7633, 12722, 17810...
constexpr double testTempo = 130.0;
const std::vector<int> stepStarts { 0, 5089, 10177, 15266, 20354, 25443, 30531, 35620, 40708 };

constexpr int silent = -1;

struct ArpRig
{
    explicit ArpRig (int mode)
    {
        arp.setSampleRate (44100.0);
        arp.setTempo (testTempo);
        arp.setMode (choice (mode, Arpeggiator::numModes));
        arp.applyClockSettings (0.5);
    }

    // Octave switch k stands for octave k - 1.
    void setOctaves (const std::vector<int>& octaves)
    {
        for (auto o : octaves)
            arp.setOctaveSwitch (o + 1, 1.0f);
    }

    void hold (const std::vector<int>& notes)
    {
        for (auto note : notes)
            arp.noteOn (note, 1.0f);
    }

    // Runs the samples before 'sample'; what the test does next happens at 'sample'.
    void runUntil (int sample)
    {
        for (; output.now < sample; ++output.now)
            arp.processSample();
    }

    // The note that starts at each of the first numSteps step starts, or 'silent'.
    std::vector<int> notesPerStep (int numSteps)
    {
        runUntil (stepStarts[(size_t) numSteps - 1] + 1);
        std::vector<int> notes ((size_t) numSteps, silent);

        for (const auto& e : output.events)
            for (size_t k = 0; k < notes.size(); ++k)
                if (e.on && e.sample == stepStarts[k])
                    notes[k] = e.note;

        return notes;
    }

    Events noteOns() const
    {
        Events ons;

        for (const auto& e : output.events)
            if (e.on)
                ons.push_back (e);

        return ons;
    }

    RecordingOutput output;
    Arpeggiator arp { output };
};

// A scripted stand-in for rand().
struct ScriptedRandom
{
    std::vector<int> values;
    size_t next = 0;

    int operator()()    { return values[next++ % values.size()]; }
};
} // namespace

//==============================================================================
// Walks: which note each step plays, also after a change mid-walk

namespace
{
struct WalkCase
{
    const char* name;
    int mode;
    std::vector<int> octaves, held, expected;   // expected: one note a step
    int chord = 0;
    int repeater = 0;
    int changeAt = 0;                           // the sample of a change while the walk goes on
    std::function<void (Arpeggiator&)> change = {};
    std::vector<int> draws = {};                // what rand() gives, in turn
};

void PrintTo (const WalkCase& c, std::ostream* os) { *os << c.name; }

const WalkCase walkCases[] = {
    // Modes and octave switches (the instrument's own tests walk up, down and up-down over neighbouring switches).
    { "up-down turns at the outer switches and skips those off", Arpeggiator::upDown, { -1, 0, 2 }, { 60 },
      { 48, 60, 84, 60, 48, 60, 84, 60 } },
    { "random without octave switches stays in the key's octave", Arpeggiator::randomOctave, {}, { 60, 62 }, { 60, 62, 60, 62, 60 } },

    // 5 % 3 = 2: +2; 2 % 3 = 2: +2; 7 % 3 = 1: +1; 3 % 3 = 0: -1. One draw per pass.
    { "random picks the switches on by draw modulo their count, in switch order", Arpeggiator::randomOctave, { -1, 1, 2 }, { 60 },
      { 84, 84, 72, 48 }, 0, 0, 0, {}, { 5, 2, 7, 3 } },
    { "random keeps its octave for a whole pass", Arpeggiator::randomOctave, { 0, 1 }, { 60, 64 }, { 72, 76, 60, 64, 72, 76 },
      0, 0, 0, {}, { 1, 0 } },

    // A chord plays its intervals (root, fifth, third, seventh) on the last held note.
    { "7th: root, fifth, third and seventh", Arpeggiator::up, {}, { 60 }, { 60, 67, 64, 70, 60 }, 3 },
    { "Dim, the last chord: a diminished fifth and a minor third", Arpeggiator::up, {}, { 60 }, { 60, 66, 63, 60 }, 7 },

    { "repeats come before the chord position and the octave move", Arpeggiator::up, { 0, 1 }, { 48 },
      { 48, 48, 55, 55, 52, 52, 60, 60 }, 1, 1 },
    { "the last repeater choice plays each position six times", Arpeggiator::up, {}, { 60, 64 },
      { 60, 60, 60, 60, 60, 60, 64 }, 0, 4 },

    // Notes that leave 0..127 are not played; their steps stay silent.
    { "a note shifted above the MIDI range leaves its step silent", Arpeggiator::up, { 0, 2 }, { 110 }, { 110, silent, 110 } },
    { "a chord note above the MIDI range leaves its step silent", Arpeggiator::up, {}, { 121 }, { 121, silent, 125 }, 1 },
    { "the highest MIDI note is still played", Arpeggiator::up, {}, { 120 }, { 120, 127 }, 1 },

    // Changes while the walk goes on take effect at the next step.
    { "a chord change restarts at the root in the first octave", Arpeggiator::up, { 0, 1 }, { 60 }, { 60, 72, 60, 67, 64, 72, 79, 76 },
      0, 0, 8000, [] (Arpeggiator& arp) { arp.setChord (choice (1, Arpeggiator::numChords)); } },
    { "switching every octave off drops the offset at the next step", Arpeggiator::up, { 1 }, { 60 }, { 72, 60 },
      0, 0, 3000, [] (Arpeggiator& arp) { arp.setOctaveSwitch (2, 0.0f); } },
    { "a note pressed mid-walk joins at the end", Arpeggiator::up, {}, { 60, 64 }, { 60, 64, 67, 60, 64 },
      0, 0, 6000, [] (Arpeggiator& arp) { arp.noteOn (67, 1.0f); } },
    { "a note released mid-walk is left out", Arpeggiator::up, {}, { 60, 64, 67 }, { 60, 64, 60, 64, 60 },
      0, 0, 6000, [] (Arpeggiator& arp) { arp.noteOff (67); } },
    { "releasing keys while a position repeats wraps the walk to the first note", Arpeggiator::up, {}, { 60, 64, 67 },
      { 60, 60, 64, 64, 67, 60, 60 }, 0, 1, 21000, [] (Arpeggiator& arp) { arp.noteOff (64); arp.noteOff (67); } },
};

class ArpeggiatorWalks : public ::testing::TestWithParam<WalkCase>
{
};
} // namespace

TEST_P (ArpeggiatorWalks, PlayOneNoteAStep)
{
    const auto& c = GetParam();
    ArpRig rig (c.mode);
    rig.setOctaves (c.octaves);
    rig.arp.setChord (choice (c.chord, Arpeggiator::numChords));
    rig.arp.setRepeater (choice (c.repeater, 5));

    if (! c.draws.empty())
        rig.arp.setRandomSource (ScriptedRandom { c.draws });

    rig.hold (c.held);

    if (c.change)
    {
        rig.runUntil (c.changeAt);
        c.change (rig.arp);
    }

    EXPECT_EQ (rig.notesPerStep ((int) c.expected.size()), c.expected);

    // Every release is of the note that sounds: none for the notes never played.
    int sounding = silent;

    for (const auto& e : rig.output.events)
    {
        EXPECT_TRUE (e.on || e.note == sounding) << "a release of " << e.note << " at " << e.sample;
        sounding = e.on ? e.note : silent;
    }
}

INSTANTIATE_TEST_SUITE_P (Arpeggiator, ArpeggiatorWalks, ::testing::ValuesIn (walkCases));

TEST (ArpeggiatorModes, UpPlaysHeldNotesInPressedOrderWithTheirVelocitiesOnTheStepGrid)
{
    ArpRig rig (Arpeggiator::up);
    rig.arp.noteOn (64, 0.25f);
    rig.arp.noteOn (60, 0.5f);
    rig.arp.noteOn (67, 1.0f);
    rig.runUntil (20355);

    EXPECT_EQ (rig.output.events, (Events { on (0, 64, 0.25f), off (2545, 64),
                                            on (5089, 60, 0.5f), off (7633, 60),
                                            on (10177, 67, 1.0f), off (12722, 67),
                                            on (15266, 64, 0.25f), off (17810, 64),
                                            on (20354, 60, 0.5f) }));
}

TEST (ArpeggiatorModes, RandomDrawsFromTheCLibrarysRandWithAFixedSeed)
{
    const int switchOctaves[] = { -1, 1, 2 };
    std::srand (20150108);
    std::vector<int> expected;

    for (int i = 0; i < 9; ++i)
        expected.push_back (60 + 12 * switchOctaves[std::rand() % 3]);

    ArpRig rig (Arpeggiator::randomOctave);
    rig.setOctaves ({ -1, 1, 2 });
    std::srand (20150108);
    rig.arp.noteOn (60, 1.0f);

    EXPECT_EQ (rig.notesPerStep (9), expected);
}

TEST (ArpeggiatorChords, TheLastHeldNoteGivesRootAndVelocity)
{
    ArpRig rig (Arpeggiator::up);
    rig.arp.setChord (choice (1, Arpeggiator::numChords));
    rig.arp.noteOn (48, 0.3f);
    rig.arp.noteOn (55, 0.9f);
    rig.runUntil (stepStarts[2] + 1);

    EXPECT_EQ (rig.noteOns(), (Events { on (0, 55, 0.9f), on (5089, 62, 0.9f), on (10177, 59, 0.9f) }));
}

TEST (ArpeggiatorChords, NamesTablesAndModeNamesOutsideTheirRangeAreMarked)
{
    EXPECT_STREQ (Arpeggiator::getChordName (0), "Custom");
    EXPECT_STREQ (Arpeggiator::getChordName (8), "#######");
    EXPECT_STREQ (Arpeggiator::getChordName (-1), "#######");
    EXPECT_EQ (Arpeggiator::getChordTable (0), nullptr);
    EXPECT_EQ (Arpeggiator::getChordTable (8), nullptr);
    EXPECT_STREQ (Arpeggiator::getModeName (Arpeggiator::upDown), "Up-Down");
    EXPECT_STREQ (Arpeggiator::getModeName (5), "#######");
}

//==============================================================================
TEST (ArpeggiatorRates, MultiplierSetsTheStepsPerBeat)
{
    // The second step starts after 20353.85 samples per beat / steps per beat (4, 6 ... 24).
    for (const auto& [multiplier, secondStep] : { std::pair { 0, 5089 }, std::pair { 1, 3393 }, std::pair { 5, 849 } })
    {
        ArpRig rig (Arpeggiator::up);
        rig.arp.setMultiplier (choice (multiplier, 6));
        rig.arp.applyClockSettings (0.5);
        rig.hold ({ 60, 64 });
        rig.runUntil (6000);

        ASSERT_GE (rig.noteOns().size(), 2u);
        EXPECT_EQ (rig.noteOns()[1], on (secondStep, 64)) << "choice " << multiplier;
    }
}

TEST (ArpeggiatorRates, ShuffleDelaysEverySecondStepAndShortensItsGate)
{
    // Shuffle 100 % delays the second step by 0.6 of a step; the pair still ends on the grid.
    const std::pair<float, Events> table[] = {
        { 1.0f, { on (0, 60), off (4071, 60), on (8142, 64), off (9160, 64), on (10177, 60) } },
        { 0.25f, { on (0, 60), off (2926, 60), on (5852, 64), off (8015, 64), on (10177, 60) } },  // 5088.46 * 1.15
    };

    for (const auto& [shuffle, expected] : table)
    {
        ArpRig rig (Arpeggiator::up);
        rig.arp.setShuffle (shuffle);
        rig.arp.applyClockSettings (0.5);
        rig.hold ({ 60, 64 });
        rig.runUntil (10178);

        EXPECT_EQ (rig.output.events, expected) << shuffle;
    }

    // The percent is divided in single precision.
    ArpRig rig (Arpeggiator::up);
    rig.arp.setShuffle (0.33f);
    rig.arp.applyClockSettings (0.5);
    EXPECT_EQ (rig.arp.getClock().getShuffle(), (double) 0.33f * 0.6);
}

TEST (ArpeggiatorRates, TheSharedGateSetsTheNoteLength)
{
    ArpRig rig (Arpeggiator::up);
    rig.arp.applyClockSettings (0.96);
    rig.arp.noteOn (60, 1.0f);
    rig.runUntil (5000);

    // 0.96 * 5088.46 = 4884.92 samples.
    EXPECT_EQ (rig.output.events, (Events { on (0, 60), off (4885, 60) }));
}

TEST (ArpeggiatorRates, ATempoThatIsNotAFinitePositiveNumberNeverReachesTheClock)
{
    ArpRig rig (Arpeggiator::up);

    for (auto tempo : { 0.0, -120.0, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN() })
        rig.arp.setTempo (tempo);

    rig.arp.noteOn (60, 1.0f);
    rig.runUntil (5090);

    EXPECT_EQ (rig.arp.getClock().getTempo(), testTempo);
    EXPECT_EQ (rig.noteOns(), (Events { on (0, 60), on (5089, 60) }));
}

//==============================================================================
// Keys pressed and released, resets, and the notes that come of them

namespace
{
/** At a sample: a key pressed (note > 0), released (note < 0), or a reset. */
struct Action
{
    int sample;
    int note;
};

constexpr int reset = 1000, releaseSounding = 1001;

struct ScriptCase
{
    const char* name;
    std::vector<int> octaves;
    std::vector<Action> script;
    int until;
    Events expected;
    bool clockRunsAtTheEnd;
};

void PrintTo (const ScriptCase& c, std::ostream* os) { *os << c.name; }

const ScriptCase scriptCases[] = {
    { "releasing all keys lets the note finish its gate", {}, { { 0, 60 }, { 1000, -60 } }, 2546,
      { on (0, 60), off (2545, 60) }, false },
    { "keys released after the gate leave the clock running until the next release", {}, { { 0, 60 }, { 3000, -60 } }, 7633,
      { on (0, 60), off (2545, 60) }, true },
    { "keys released after the gate stop the clock at the next release", {}, { { 0, 60 }, { 3000, -60 } }, 30000,
      { on (0, 60), off (2545, 60) }, false },
    { "a first note after idle starts the step grid at its own sample", {}, { { 0, 60 }, { 1000, -60 }, { 12000, 64 } }, 12000 + 5090,
      { on (0, 60), off (2545, 60), on (12000, 64), off (12000 + 2545, 64), on (12000 + 5089, 64) }, true },
    { "a first note during the last gate releases it and starts at once", {}, { { 0, 60 }, { 1000, -60 }, { 2000, 64 } }, 2001,
      { on (0, 60), off (2000, 60), on (2000, 64) }, true },
    { "a reset releases the sounding note, forgets the keys and stops the clock", {}, { { 0, 60 }, { 0, 64 }, { 1000, reset } }, 30000,
      { on (0, 60), off (1000, 60) }, false },
    { "after a reset the next key starts a fresh walk", { 0, 1 }, { { 0, 60 }, { 6000, reset }, { 7000, 62 } }, 7000 + 5090,
      { on (0, 60), off (2545, 60), on (5089, 72), off (6000, 72), on (7000, 62), off (7000 + 2545, 62), on (7000 + 5089, 74) }, true },
    { "releasing the sounding note keeps the walk going", {}, { { 0, 60 }, { 1000, releaseSounding } }, 5090,
      { on (0, 60), off (1000, 60), on (5089, 60) }, true },
};

class ArpeggiatorScripts : public ::testing::TestWithParam<ScriptCase>
{
};
} // namespace

TEST_P (ArpeggiatorScripts, PlayWhatTheKeysAndResetsSay)
{
    const auto& c = GetParam();
    ArpRig rig (Arpeggiator::up);
    rig.setOctaves (c.octaves);

    for (const auto& action : c.script)
    {
        rig.runUntil (action.sample);

        if (action.note == reset)
            rig.arp.resetArpeggiator();
        else if (action.note == releaseSounding)
            rig.arp.releaseSoundingNote();
        else if (action.note > 0)
            rig.arp.noteOn (action.note, 1.0f);
        else
            rig.arp.noteOff (-action.note);
    }

    rig.runUntil (c.until);

    EXPECT_EQ (rig.output.events, c.expected);
    EXPECT_EQ (rig.arp.getClock().isRunning(), c.clockRunsAtTheEnd);
}

INSTANTIATE_TEST_SUITE_P (Arpeggiator, ArpeggiatorScripts, ::testing::ValuesIn (scriptCases));

TEST (ArpeggiatorHeldNotes, NoteOffDropsTheEarliestEntryOfThatNote)
{
    ArpRig rig (Arpeggiator::up);
    rig.arp.noteOn (60, 0.2f);
    rig.arp.noteOn (64, 0.5f);
    rig.arp.noteOn (60, 0.8f);
    rig.arp.noteOff (60);
    rig.runUntil (stepStarts[2] + 1);

    EXPECT_EQ (rig.noteOns(), (Events { on (0, 64, 0.5f), on (5089, 60, 0.8f), on (10177, 64, 0.5f) }));
}

TEST (ArpeggiatorHeldNotes, HeldNotesBeyondTheReservedListAreIgnored)
{
    ArpRig rig (Arpeggiator::up);

    for (int i = 0; i < Arpeggiator::maxHeldNotes + 1; ++i)
        rig.arp.noteOn (i % 128, 1.0f);

    EXPECT_EQ (rig.arp.getNumHeldNotes(), Arpeggiator::maxHeldNotes);
}

//==============================================================================
// Settings from normalised parameter values

TEST (ArpeggiatorSettings, NormalisedValuesAreRoundedToTheirChoicesAndLimitedAndNotANumberChangesNothing)
{
    RecordingOutput output;
    Arpeggiator arp (output);
    const auto mode = [&] (float v) { arp.setMode (v); return (int) arp.getMode(); };
    const auto chord = [&] (float v) { arp.setChord (v); return arp.getChord(); };
    const auto shuffle = [&] (float v) { arp.setShuffle (v); return arp.getShuffle(); };

    EXPECT_EQ (mode (0.12f), 0);
    EXPECT_EQ (mode (0.13f), 1);
    EXPECT_EQ (mode (0.625f), 3);   // half way rounds up
    EXPECT_EQ (mode (1.0f), 4);
    EXPECT_EQ (chord (0.5f / 7.0f - 0.001f), 0);
    EXPECT_EQ (chord (1.0f), 7);
    EXPECT_EQ (shuffle (0.126f), 13);
    EXPECT_EQ (shuffle (1.5f), 100);
    EXPECT_EQ (shuffle (-0.2f), 0);
    EXPECT_EQ (shuffle (0.33f), 33);

    // Only a change from or to off is reported.
    EXPECT_TRUE (arp.setMode (0.0f));
    EXPECT_FALSE (arp.setMode (0.0f));
    EXPECT_TRUE (arp.setMode (choice (Arpeggiator::up, 5)));
    EXPECT_FALSE (arp.setMode (choice (Arpeggiator::down, 5)));

    arp.setChord (choice (3, 8));
    arp.setMultiplier (choice (2, 6));
    arp.setRepeater (choice (3, 5));
    arp.setOctaveSwitch (1, 0.5f);   // on from half way
    arp.setOctaveSwitch (2, 0.49f);

    const auto nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE (arp.setMode (nan));
    arp.setMultiplier (nan);
    arp.setRepeater (nan);
    arp.setShuffle (nan);
    arp.setChord (nan);
    arp.setOctaveSwitch (1, nan);

    EXPECT_EQ (arp.getMode(), Arpeggiator::down);
    EXPECT_EQ (arp.getStepsPerBeat(), 8.0);
    EXPECT_EQ (arp.getRepeatCount(), 4.0);
    EXPECT_EQ (arp.getShuffle(), 33);
    EXPECT_EQ (arp.getChord(), 3);
    EXPECT_TRUE (arp.isOctaveSwitchOn (1));
    EXPECT_FALSE (arp.isOctaveSwitchOn (2));
}
