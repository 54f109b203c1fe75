#include "support/InstrumentTestSupport.h"

using namespace InstrumentTest;

namespace
{
struct PatternPlayback : public InstrumentFixture
{
    void SetUp() override
    {
        InstrumentFixture::SetUp();
        clearAllPatterns();
    }

    /** Pattern 0 as long as the given steps, holding them. */
    void setSteps (const std::vector<PatternStep>& steps)
    {
        auto& pattern = plugin.getPattern (0);
        pattern.setLength (static_cast<int> (steps.size()));

        for (size_t s = 0; s < steps.size(); ++s)
            pattern.setStep (static_cast<int> (s), steps[s]);
    }
};

PatternStep withLevels (PatternStep step, double gate, double accent, double slide)
{
    step.setGateLevel (gate);
    step.setAccentLevel (accent);
    step.setSlideLevel (slide);
    return step;
}

/** A pattern played once through: its steps, shuffle and thresholds, and every note message it sends. */
struct PlaybackCase
{
    const char* name;
    std::vector<PatternStep> steps;
    std::vector<NoteEvent> expected;
    int shuffle = 0;
    float threshold = 1.0f;    // gate, accent and slide alike
};

void PrintTo (const PlaybackCase& c, std::ostream* out) { *out << c.name; }

const double shuffled = 50 / 100.0 * 0.6;

const PlaybackCase playbackCases[] = {
    { "steps play at their sample positions at 120 BPM",
      { makeStep (0, true), makeStep (3, true), makeStep (7, true), makeStep (12, true) },
      { on (stepStartSample (0), 36, 32), off (gateEndSample (0), 36), on (stepStartSample (1), 39, 32), off (gateEndSample (1), 39),
        on (stepStartSample (2), 43, 32), off (gateEndSample (2), 43), on (stepStartSample (3), 48, 32), off (gateEndSample (3), 48) } },

    { "shuffle delays every second step and shortens its gate",
      { makeStep (0, true), makeStep (2, true), makeStep (4, true), makeStep (5, true) },
      { on (0, 36, 32), off (gateEndSample (0, shuffled), 36), on (7167, 38, 32), off (gateEndSample (1, shuffled), 38),
        on (stepStartSample (2, shuffled), 40, 32), off (gateEndSample (2, shuffled), 40),
        on (stepStartSample (3, shuffled), 41, 32), off (gateEndSample (3, shuffled), 41) },
      50 },

    { "a step whose gate level equals the threshold plays; one whose level exceeds it is a rest",
      { withLevels (makeStep (0, true), 0.5, 0.0, 0.0), withLevels (makeStep (2, true), 0.6, 0.0, 0.0) },
      { on (stepStartSample (0), 36, 32), off (gateEndSample (0), 36) },
      0, 0.5f },

    { "accent and slide sound only where their thresholds reach the levels",
      { withLevels (makeStep (0, true, true, true), 0.0, 0.8, 0.8), makeStep (2, true) },
      { on (stepStartSample (0), 36, 32), off (gateEndSample (0), 36), on (stepStartSample (1), 38, 32), off (gateEndSample (1), 38) },
      0, 0.5f },

    { "accent and slide levels equal to their thresholds sound",
      { withLevels (makeStep (0, true, true, true), 0.0, 0.5, 0.5), makeStep (2, true) },
      { on (stepStartSample (0), 36, 64), on (stepStartSample (1), 38, 32), off (gateEndSample (1), 36), off (gateEndSample (1), 38) },
      0, 0.5f },

    { "a sliding step glides into the next pitch",
      { makeStep (0, true, false, true), makeStep (4, true) },
      { on (stepStartSample (0), 36, 32), on (stepStartSample (1), 40, 32), off (gateEndSample (1), 36), off (gateEndSample (1), 40) } },

    { "equal pitches after a slide without accent sound as one held note",
      { makeStep (0, true, false, true), makeStep (0, true) },
      { on (stepStartSample (0), 36, 32), off (gateEndSample (1), 36) } },

    { "an accent after an unaccented slide strikes the note again",
      { makeStep (0, true, false, true), makeStep (0, true, true) },
      { on (stepStartSample (0), 36, 32), on (stepStartSample (1), 36, 64), off (gateEndSample (1), 36), off (gateEndSample (1), 36) } },

    { "an accent after an accented slide of the same pitch is tied",
      { makeStep (0, true, true, true), makeStep (0, true, true) },
      { on (stepStartSample (0), 36, 64), off (gateEndSample (1), 36) } },

    { "a slide into a gate-off step of another pitch plays it at that step's velocity",
      { makeStep (0, true, false, true), makeStep (4, false, true), makeStep (7, false) },
      { on (stepStartSample (0), 36, 32), on (stepStartSample (1), 40, 64), off (gateEndSample (1), 36), off (gateEndSample (1), 40) } },

    { "a slide into a gate-off step of the same pitch holds the note",
      { makeStep (0, true, false, true), makeStep (0, false) },
      { on (stepStartSample (0), 36, 32), off (gateEndSample (1), 36) } },

    // A rest carries no note: its slide flag must not release the next step's
    // note of the same pitch before that step's own slide.
    { "a rest marked slide does not cut the next sliding note",
      { makeStep (0, false, false, true), makeStep (0, true, false, true), makeStep (4, true) },
      { on (stepStartSample (1), 36, 32), on (stepStartSample (2), 40, 32), off (gateEndSample (2), 36), off (gateEndSample (2), 40) } },
};

class PatternSteps : public PatternPlayback, public ::testing::WithParamInterface<PlaybackCase>
{
};
} // namespace

TEST_P (PatternSteps, PlayOnceThroughAsTheirFlagsLevelsAndThresholdsSay)
{
    const auto& c = GetParam();
    setSteps (c.steps);
    plugin.getPattern (0).setShuffle (c.shuffle);
    for (const auto id : { gateThreshold, accentThreshold, slideThreshold })
        setParameter (id, c.threshold);
    const auto before = plugin.getPattern (0);

    startSequencer();
    EXPECT_EQ (render (stepStartSample (static_cast<int> (c.steps.size()))), c.expected);
    EXPECT_EQ (plugin.getPattern (0), before);    // thresholds act on playback only
}

INSTANTIATE_TEST_SUITE_P (PatternPlayback, PatternSteps, ::testing::ValuesIn (playbackCases));

TEST_F (PatternPlayback, AnEditTakesEffectAtTheStepsNextStart)
{
    setSteps ({ makeStep (0, true), makeStep (2, true) });
    startSequencer();
    const int editAt = stepStartSample (1) + 10;
    render (editAt);

    plugin.getPattern (0).getStep (1).setNote (9);
    const auto events = render (stepStartSample (4) - editAt);

    // Step 1 keeps the pitch it started with; its next start plays the new one.
    ASSERT_EQ (events.size(), 5u);
    EXPECT_EQ (events[0], off (gateEndSample (1) - editAt, 38));
    EXPECT_EQ (events[3], on (stepStartSample (3) - editAt, 45, 32));
}

TEST_F (PatternPlayback, ShorteningThePlayingPatternWrapsAtTheNewLength)
{
    for (int s = 0; s < 16; ++s)
        plugin.getPattern (0).setStep (s, makeStep (s % 12, true));

    startSequencer();
    const int shortenAt = stepStartSample (10) + 10;
    render (shortenAt);
    plugin.setPatternLength (0, 4);
    const auto events = render (stepStartSample (12) - shortenAt);

    ASSERT_EQ (events.size(), 3u);
    EXPECT_EQ (events[1], on (stepStartSample (11) - shortenAt, 36, 32));
}

class StepsAtRate : public PatternPlayback, public ::testing::WithParamInterface<double> {};

TEST_P (StepsAtRate, LandOnTheSamplesOfTheirTimeAndTheVoiceWaitsForTheFirstNote)
{
    const auto rate = GetParam();
    plugin.setRateAndBufferSizeDetails (rate, blockSize);
    plugin.prepareToPlay (rate, blockSize);
    setSteps ({ makeStep (0, false), makeStep (3, true), makeStep (7, true), makeStep (12, true) });

    startSequencer();
    const auto step = static_cast<int> (rate / 8.0);    // a sixteenth at 120 BPM
    const auto played = play (4 * step + 1);
    const std::vector<NoteEvent> expected { on (step, 39, 32), off (step + step / 2, 39),
                                            on (2 * step, 43, 32), off (2 * step + step / 2, 43),
                                            on (3 * step, 48, 32), off (3 * step + step / 2, 48) };

    // Here every time falls on a sample; the clock sums its position sample by sample,
    // and the sum's rounding may put a change one sample after it.
    const auto notes = played.notes();
    ASSERT_EQ (notes.size(), expected.size());

    for (size_t i = 0; i < notes.size(); ++i)
    {
        auto landed = notes[i];
        landed.sample = landed.sample == expected[i].sample + 1 ? expected[i].sample : landed.sample;
        EXPECT_EQ (landed, expected[i]) << "played " << notes[i];
    }

    // Silent through the first step's rest, sounding within 5 ms of the first note.
    const auto& left = played.channels[0];
    const auto firstSound = std::find_if (left.begin(), left.end(), [] (float sample) { return sample != 0.0f; });
    EXPECT_GE (firstSound - left.begin(), step);
    EXPECT_LT (firstSound - left.begin(), step + static_cast<int> (rate * 0.005));
}

INSTANTIATE_TEST_SUITE_P (PatternPlayback, StepsAtRate, ::testing::Values (48000.0, 96000.0));

TEST_F (PatternPlayback, StoppingReleasesTheSoundingNote)
{
    setSteps ({ makeStep (0, true, false, true) });
    startSequencer();
    render (stepStartSample (1));

    plugin.performEvent (IntSeqPlugin::stopEvent);

    EXPECT_EQ (render (blockSize), std::vector<NoteEvent> { off (0, 36) });
}

//==============================================================================
// Chains and banks

namespace
{
/** Pattern keys: "28+ 16-" presses note 28 and releases note 16, one sample apart from the given one. */
std::vector<MidiOut> keys (const juce::String& script, int firstSample = 0)
{
    std::vector<MidiOut> events;

    for (const auto& key : juce::StringArray::fromTokens (script, false))
    {
        const auto note = key.getIntValue();
        events.push_back (key.endsWithChar ('+') ? noteOn (firstSample++, note) : noteOff (firstSample++, note));
    }

    return events;
}

std::vector<int> pitchesOf (const std::vector<NoteEvent>& events)
{
    std::vector<int> pitches;

    for (const auto& e : events)
        if (e.on)
            pitches.push_back (e.note);

    return pitches;
}

struct ChainPlayback : public PatternPlayback
{
    void SetUp() override
    {
        PatternPlayback::SetUp();

        // Pattern i plays one step of pitch 36 + i % 13.
        for (int i = 0; i < Tarvelin::numPatterns; ++i)
            fillPattern (i, i % 13, 1);
    }
};

/** Keys pressed with the sequencer on, and the chain they leave: the bank notes are
    26, 28 and 29, the white keys from 12 to 24 the chain positions 0 to 7. */
struct ChainCase
{
    const char* name;
    const char* keys;
    int bank, first, last;
};

void PrintTo (const ChainCase& c, std::ostream* out) { *out << c.name; }

const ChainCase chainCases[] = {
    { "a held key and a second one span the chain in bank one", "28+ 16+ 21+ 21- 16-", 1, 2, 5 },
    { "a second key below the held one spans the chain the other way", "24+ 17+", 0, 3, 7 },
    { "the bank note 26 chooses bank zero for the next key", "28+ 26+ 19+ 19-", 0, 4, 4 },
    { "the bank note 29 chooses bank two for the next key", "29+ 19+ 19-", 2, 4, 4 },
    { "a key held in another bank is no anchor", "14+ 28+ 23+", 1, 6, 6 },
    { "black keys and notes outside the pattern keys choose nothing", "17+ 17- 13+ 22+ 25+ 40+", 0, 3, 3 },
};

class ChainKeys : public ChainPlayback, public ::testing::WithParamInterface<ChainCase>
{
};
} // namespace

TEST_P (ChainKeys, ChooseTheChainAndItsBankWithoutPlayingTheVoice)
{
    const auto& c = GetParam();

    const auto events = render (blockSize, keys (c.keys));

    EXPECT_EQ (plugin.getBankGroup(), c.bank);
    EXPECT_EQ (plugin.getChainBank(), c.bank);
    EXPECT_EQ (plugin.getChainFirst(), c.first);
    EXPECT_EQ (plugin.getChainLast(), c.last);
    EXPECT_EQ (plugin.getCurrentPatternIndex(), c.bank * 8 + c.first);
    EXPECT_EQ (plugin.getPlayingPatternIndex(), c.bank * 8 + c.first);
    EXPECT_TRUE (events.empty());   // with the sequencer on, notes never reach the voice
}

INSTANTIATE_TEST_SUITE_P (ChainPlayback, ChainKeys, ::testing::ValuesIn (chainCases));

TEST_F (ChainPlayback, AChainChangedWhilePlayingTakesOverWhenThePlayingPatternEnds)
{
    render (blockSize, keys ("28+ 16+ 21+ 21- 16-"));    // bank 1, positions 2 to 5
    startSequencer();

    // While pattern 12 (the third step) plays, the chain becomes positions 0 to 1.
    const auto events = render (stepStartSample (6), keys ("12+ 14+", stepStartSample (2) + 100));

    // Patterns 10, 11, 12 finish; then 8, 9, 8; their pitches are 36 + i % 13.
    EXPECT_EQ (pitchesOf (events), (std::vector<int> { 46, 47, 48, 44, 45, 44 }));
    EXPECT_EQ (plugin.getChainFirst(), 0);
    EXPECT_EQ (plugin.getChainLast(), 1);
}

TEST_F (ChainPlayback, AChainLoopsFromItsFirstToItsLastPattern)
{
    render (blockSize, keys ("28+ 16+ 21+ 21- 16-"));
    startSequencer();

    EXPECT_EQ (pitchesOf (render (stepStartSample (6))), (std::vector<int> { 46, 47, 48, 36, 46, 47 }));
}

TEST_F (ChainPlayback, TheLowestCStartsTheSequencerOnlyWhenPlayIsDetectedThatWay)
{
    render (blockSize, keys ("0+", 100));
    EXPECT_FALSE (plugin.getSequencerClock().isRunning());

    plugin.setHostPlayDetection (IntSeqPlugin::byLowestCNoteOn);
    const auto events = render (blockSize, keys ("0+", 100));

    EXPECT_TRUE (plugin.getSequencerClock().isRunning());
    ASSERT_FALSE (events.empty());
    EXPECT_EQ (events[0], on (100, 36, 32));
}

//==============================================================================
// Host mode

namespace
{
struct HostModePlayback : public ChainPlayback
{
    void SetUp() override
    {
        ChainPlayback::SetUp();
        plugin.performEvent (IntSeqPlugin::toggleHostModeEvent);
        renderBlock();   // takes the stop and note requests of the mode change
    }
};
} // namespace

TEST_F (HostModePlayback, ANoteChoosesAndStartsItsPatternUpToTheLast)
{
    const auto events = render (blockSize, keys ("52+", 10));

    EXPECT_EQ (plugin.getPlayingPatternIndex(), 40);
    ASSERT_FALSE (events.empty());
    EXPECT_EQ (events[0], on (10, 36 + 40 % 13, 32));

    render (blockSize, keys ("107+", 10));
    EXPECT_EQ (plugin.getPlayingPatternIndex(), 95);
}

TEST_F (HostModePlayback, ReleasingThePatternsNoteStopsItInNoteOffMode)
{
    ASSERT_TRUE (plugin.isNoteOffModeOn());
    render (blockSize, { noteOn (10, 20), noteOn (20, 20), noteOff (300, 20) });
    EXPECT_TRUE (plugin.getSequencerClock().isRunning());

    render (blockSize, { noteOff (10, 20) });

    EXPECT_FALSE (plugin.getSequencerClock().isRunning());
}

TEST_F (HostModePlayback, WithSelfResetTheSamePatternsNoteRestartsIt)
{
    plugin.setSelfReset (true);
    fillPattern (5, 0, 4);
    plugin.getPattern (5).setStep (1, makeStep (7, true));

    const auto events = render (stepStartSample (3), { noteOn (0, 17), noteOn (stepStartSample (1) + 50, 17) });

    // Step 1 (pitch 43) starts, then the second note restarts from step 0 (pitch 36).
    ASSERT_GE (events.size(), 5u);
    EXPECT_EQ (pitchesOf (events)[1], 43);
    EXPECT_EQ (events[3], off (stepStartSample (1) + 50, 43));
    EXPECT_EQ (events[4], on (stepStartSample (1) + 50, 36, 32));
}

TEST_F (HostModePlayback, WithoutSelfResetTheSamePatternsNoteLetsItPlayOn)
{
    plugin.setSelfReset (false);
    fillPattern (5, 0, 4);
    plugin.getPattern (5).setStep (1, makeStep (7, true));
    plugin.getPattern (5).setStep (2, makeStep (9, true));

    const auto events = render (stepStartSample (3), { noteOn (0, 17), noteOn (stepStartSample (1) + 50, 17) });

    EXPECT_EQ (pitchesOf (events), (std::vector<int> { 36, 43, 45 }));
}
