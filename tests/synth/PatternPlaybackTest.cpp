#include "InstrumentFixture.h"

using namespace InstrumentTesting;

namespace
{
struct PatternPlayback : public InstrumentFixture
{
    void SetUp() override
    {
        InstrumentFixture::SetUp();
        clearAllPatterns();
    }

    /** Pattern 0 with the given steps from step 0, the rest rests. */
    void setSteps (std::initializer_list<PatternStep> steps, int length = 16)
    {
        auto& pattern = plugin.getPattern (0);
        pattern.setLength (length);
        int s = 0;

        for (const auto& step : steps)
            pattern.setStep (s++, step);
    }

    /** Starts the sequencer and renders n steps of 120 BPM. */
    std::vector<NoteEvent> playSteps (int numSteps)
    {
        startSequencer();
        return render (stepStartSample (numSteps));
    }
};
} // namespace

TEST_F (PatternPlayback, StepsPlayAtTheirSamplePositionsAt120Bpm)
{
    setSteps ({ makeStep (0, true), makeStep (3, true), makeStep (7, true), makeStep (12, true) }, 4);

    const auto events = playSteps (4);

    const std::vector<NoteEvent> expected {
        on (stepStartSample (0), 36, 32), off (gateEndSample (0), 36),
        on (stepStartSample (1), 39, 32), off (gateEndSample (1), 39),
        on (stepStartSample (2), 43, 32), off (gateEndSample (2), 43),
        on (stepStartSample (3), 48, 32), off (gateEndSample (3), 48)
    };
    EXPECT_EQ (events, expected);
}

TEST_F (PatternPlayback, ShuffleDelaysEverySecondStepAndShortensItsGate)
{
    setSteps ({ makeStep (0, true), makeStep (2, true), makeStep (4, true), makeStep (5, true) }, 4);
    plugin.getPattern (0).setShuffle (50);
    const double factor = 50 / 100.0 * 0.6;

    const auto events = playSteps (4);

    const std::vector<NoteEvent> expected {
        on (stepStartSample (0, factor), 36, 32), off (gateEndSample (0, factor), 36),
        on (stepStartSample (1, factor), 38, 32), off (gateEndSample (1, factor), 38),
        on (stepStartSample (2, factor), 40, 32), off (gateEndSample (2, factor), 40),
        on (stepStartSample (3, factor), 41, 32), off (gateEndSample (3, factor), 41)
    };
    EXPECT_EQ (events, expected);
    EXPECT_EQ (stepStartSample (1, factor), 7167);
}

TEST_F (PatternPlayback, OctaveFlagsChooseTheStepsPitch)
{
    setSteps ({ makeStep (0, true, false, false, false, true), makeStep (12, true, false, false, true, true),
                makeStep (5, true, false, false, true, false) }, 3);

    const auto events = playSteps (3);

    ASSERT_EQ (events.size(), 6u);
    EXPECT_EQ (events[0].note, 24);
    EXPECT_EQ (events[2].note, 72);
    EXPECT_EQ (events[4].note, 53);
}

TEST_F (PatternPlayback, AStepWhoseGateLevelExceedsTheThresholdIsARest)
{
    auto loud = makeStep (0, true);
    loud.setGateLevel (0.4);
    auto quiet = makeStep (2, true);
    quiet.setGateLevel (0.6);
    setSteps ({ loud, quiet }, 2);
    setParameter (gateThreshold, 0.5f);

    const auto events = playSteps (2);

    const std::vector<NoteEvent> expected { on (stepStartSample (0), 36, 32), off (gateEndSample (0), 36) };
    EXPECT_EQ (events, expected);
}

TEST_F (PatternPlayback, AccentAndSlideSoundOnlyWhereTheirThresholdsReachTheLevels)
{
    auto step0 = makeStep (0, true, true, true);
    step0.setAccentLevel (0.8);   // above the accent threshold: not accented
    step0.setSlideLevel (0.8);    // above the slide threshold: no slide
    setSteps ({ step0, makeStep (2, true) }, 2);
    setParameter (accentThreshold, 0.5f);
    setParameter (slideThreshold, 0.5f);

    const auto events = playSteps (2);

    ASSERT_EQ (events.size(), 4u);
    EXPECT_EQ (events[0], on (stepStartSample (0), 36, 32));
    EXPECT_EQ (events[1], off (gateEndSample (0), 36));
}

TEST_F (PatternPlayback, ThresholdsNeverChangeThePatternItself)
{
    auto step = makeStep (0, true, true, true);
    step.setGateLevel (0.9);
    setSteps ({ step }, 1);
    setParameter (gateThreshold, 0.1f);

    playSteps (2);

    EXPECT_EQ (plugin.getPattern (0).getStep (0), step);
}

TEST_F (PatternPlayback, ASlidingStepGlidesIntoTheNextPitch)
{
    setSteps ({ makeStep (0, true, false, true), makeStep (4, true) }, 2);

    const auto events = playSteps (2);

    // The new note starts before the slid one is released, so the voice glides.
    const std::vector<NoteEvent> expected {
        on (stepStartSample (0), 36, 32),
        on (stepStartSample (1), 40, 32), off (gateEndSample (1), 36), off (gateEndSample (1), 40)
    };
    EXPECT_EQ (events, expected);
}

TEST_F (PatternPlayback, EqualPitchesAfterASlideWithoutAccentSoundAsOneHeldNote)
{
    setSteps ({ makeStep (0, true, false, true), makeStep (0, true) }, 2);

    const auto events = playSteps (2);

    const std::vector<NoteEvent> expected { on (stepStartSample (0), 36, 32), off (gateEndSample (1), 36) };
    EXPECT_EQ (events, expected);
}

TEST_F (PatternPlayback, AnAccentAfterAnUnaccentedSlideStrikesTheNoteAgain)
{
    setSteps ({ makeStep (0, true, false, true), makeStep (0, true, true) }, 2);

    const auto events = playSteps (2);

    ASSERT_GE (events.size(), 2u);
    EXPECT_EQ (events[1], on (stepStartSample (1), 36, 64));
}

TEST_F (PatternPlayback, AnAccentAfterAnAccentedSlideOfTheSamePitchIsTied)
{
    setSteps ({ makeStep (0, true, true, true), makeStep (0, true, true) }, 2);

    const auto events = playSteps (2);

    const std::vector<NoteEvent> expected { on (stepStartSample (0), 36, 64), off (gateEndSample (1), 36) };
    EXPECT_EQ (events, expected);
}

TEST_F (PatternPlayback, ASlideIntoAGateOffStepOfAnotherPitchPlaysItAtThatStepsVelocity)
{
    setSteps ({ makeStep (0, true, false, true), makeStep (4, false, true), makeStep (7, false) }, 3);

    const auto events = playSteps (3);

    const std::vector<NoteEvent> expected {
        on (stepStartSample (0), 36, 32),
        on (stepStartSample (1), 40, 64), off (gateEndSample (1), 36), off (gateEndSample (1), 40)
    };
    EXPECT_EQ (events, expected);
}

TEST_F (PatternPlayback, ASlideIntoAGateOffStepOfTheSamePitchHoldsTheNote)
{
    setSteps ({ makeStep (0, true, false, true), makeStep (0, false) }, 2);

    const auto events = playSteps (2);

    const std::vector<NoteEvent> expected { on (stepStartSample (0), 36, 32), off (gateEndSample (1), 36) };
    EXPECT_EQ (events, expected);
}

TEST_F (PatternPlayback, ARestMarkedSlideDoesNotCutTheNextSlidingNote)
{
    // A rest carries no note: its slide flag must not release the next step's
    // note of the same pitch before that step's own slide.
    setSteps ({ makeStep (0, false, false, true), makeStep (0, true, false, true), makeStep (4, true) }, 3);

    const auto events = playSteps (3);

    const std::vector<NoteEvent> expected {
        on (stepStartSample (1), 36, 32),
        on (stepStartSample (2), 40, 32), off (gateEndSample (2), 36), off (gateEndSample (2), 40)
    };
    EXPECT_EQ (events, expected);
}

TEST_F (PatternPlayback, AnEditTakesEffectAtTheStepsNextStart)
{
    setSteps ({ makeStep (0, true), makeStep (2, true) }, 2);
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

TEST_F (PatternPlayback, StoppingReleasesTheSoundingNote)
{
    setSteps ({ makeStep (0, true, false, true) }, 1);
    startSequencer();
    render (stepStartSample (1));

    plugin.performEvent (IntSeqPlugin::stopEvent);
    const auto events = render (blockSize);

    const std::vector<NoteEvent> expected { off (0, 36) };
    EXPECT_EQ (events, expected);
}

//==============================================================================
// Chains and banks

namespace
{
struct ChainPlayback : public PatternPlayback
{
    void SetUp() override
    {
        PatternPlayback::SetUp();

        // Pattern i plays one step of pitch 36 + i % 13.
        for (int i = 0; i < Tarvelin::numPatterns; ++i)
            fillPattern (i, i % 13, 1);
    }

    static void addNote (juce::MidiBuffer& midi, int sample, int note, bool isOn)
    {
        midi.addEvent (isOn ? juce::MidiMessage::noteOn (1, note, 0.8f) : juce::MidiMessage::noteOff (1, note), sample);
    }

    static std::vector<int> playedPitches (const std::vector<NoteEvent>& events)
    {
        std::vector<int> pitches;

        for (const auto& e : events)
            if (e.on)
                pitches.push_back (e.note);

        return pitches;
    }
};
} // namespace

TEST_F (ChainPlayback, AChainInBankOneLoopsFromItsFirstToItsLastPattern)
{
    juce::MidiBuffer keys;
    addNote (keys, 0, 28, true);    // bank 1
    addNote (keys, 1, 16, true);    // E: position 2, held
    addNote (keys, 2, 21, true);    // A: position 5
    addNote (keys, 3, 21, false);
    addNote (keys, 4, 16, false);
    render (blockSize, keys);

    EXPECT_EQ (plugin.getChainBank(), 1);
    EXPECT_EQ (plugin.getChainFirst(), 2);
    EXPECT_EQ (plugin.getChainLast(), 5);

    startSequencer();
    const auto events = render (stepStartSample (6));

    // Patterns 10, 11, 12, 13, 10, 11 have pitches 36 + i % 13.
    const std::vector<int> expected { 46, 47, 48, 36, 46, 47 };
    EXPECT_EQ (playedPitches (events), expected);
}

TEST_F (ChainPlayback, AChainChangedWhilePlayingTakesOverWhenThePlayingPatternEnds)
{
    juce::MidiBuffer keys;
    addNote (keys, 0, 28, true);
    addNote (keys, 1, 16, true);
    addNote (keys, 2, 21, true);
    addNote (keys, 3, 21, false);
    addNote (keys, 4, 16, false);
    render (blockSize, keys);
    startSequencer();

    // While pattern 12 (the third step) plays, the chain becomes positions 0..1.
    juce::MidiBuffer change;
    addNote (change, stepStartSample (2) + 100, 12, true);
    addNote (change, stepStartSample (2) + 101, 14, true);
    const auto events = render (stepStartSample (6), change);

    // 10, 11, 12 finish; then 8, 9, 8.
    const std::vector<int> expected { 46, 47, 48, 44, 45, 44 };
    EXPECT_EQ (playedPitches (events), expected);
    EXPECT_EQ (plugin.getChainFirst(), 0);
    EXPECT_EQ (plugin.getChainLast(), 1);
}

TEST_F (ChainPlayback, BankNotesChooseTheBankOfTheNextKey)
{
    const std::pair<int, int> banks[] = { { 26, 0 }, { 28, 1 }, { 29, 2 } };

    for (const auto& [bankNote, bank] : banks)
    {
        juce::MidiBuffer keys;
        addNote (keys, 0, bankNote, true);
        addNote (keys, 1, 19, true);    // G: position 4
        addNote (keys, 2, 19, false);
        render (blockSize, keys);

        EXPECT_EQ (plugin.getBankGroup(), bank);
        EXPECT_EQ (plugin.getChainBank(), bank);
        EXPECT_EQ (plugin.getCurrentPatternIndex(), bank * 8 + 4);
        EXPECT_EQ (plugin.getPlayingPatternIndex(), bank * 8 + 4);
    }
}

TEST_F (ChainPlayback, AKeyHeldInAnotherBankIsNoAnchor)
{
    juce::MidiBuffer keys;
    addNote (keys, 0, 14, true);    // D held in bank 0
    addNote (keys, 1, 28, true);    // bank 1
    addNote (keys, 2, 23, true);    // B: position 6
    render (blockSize, keys);

    EXPECT_EQ (plugin.getChainBank(), 1);
    EXPECT_EQ (plugin.getChainFirst(), 6);
    EXPECT_EQ (plugin.getChainLast(), 6);
}

TEST_F (ChainPlayback, ASecondKeyWhileOneIsHeldSpansTheChainEitherWay)
{
    juce::MidiBuffer keys;
    addNote (keys, 0, 24, true);    // upper C: position 7, held
    addNote (keys, 1, 17, true);    // F: position 3
    render (blockSize, keys);

    EXPECT_EQ (plugin.getChainFirst(), 3);
    EXPECT_EQ (plugin.getChainLast(), 7);
}

TEST_F (ChainPlayback, BlackKeysAndNotesOutsideThePatternKeysChooseNothing)
{
    juce::MidiBuffer keys;
    addNote (keys, 0, 17, true);    // F: position 3
    addNote (keys, 1, 17, false);
    addNote (keys, 2, 13, true);    // C#
    addNote (keys, 3, 22, true);    // A#
    addNote (keys, 4, 25, true);
    addNote (keys, 5, 40, true);
    const auto events = render (blockSize, keys);

    EXPECT_EQ (plugin.getChainFirst(), 3);
    EXPECT_EQ (plugin.getChainLast(), 3);
    EXPECT_EQ (plugin.getBankGroup(), 0);
    EXPECT_TRUE (events.empty());   // with the sequencer on, notes never reach the voice
}

TEST_F (ChainPlayback, TheLowestCStartsTheSequencerWhenPlayIsDetectedThatWay)
{
    plugin.setHostPlayDetection (IntSeqPlugin::byLowestCNoteOn);
    juce::MidiBuffer keys;
    addNote (keys, 100, 0, true);

    const auto events = render (blockSize, keys);

    EXPECT_TRUE (plugin.getSequencerClock().isRunning());
    ASSERT_FALSE (events.empty());
    EXPECT_EQ (events[0], on (100, 36, 32));
}

TEST_F (ChainPlayback, TheLowestCStartsNothingWhenPlayIsDetectedByTheTransport)
{
    juce::MidiBuffer keys;
    addNote (keys, 100, 0, true);

    render (blockSize, keys);

    EXPECT_FALSE (plugin.getSequencerClock().isRunning());
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

TEST_F (HostModePlayback, ANoteChoosesAndStartsItsPattern)
{
    juce::MidiBuffer keys;
    addNote (keys, 10, 12 + 40, true);

    const auto events = render (blockSize, keys);

    EXPECT_EQ (plugin.getPlayingPatternIndex(), 40);
    ASSERT_FALSE (events.empty());
    EXPECT_EQ (events[0], on (10, 36 + 40 % 13, 32));
}

TEST_F (HostModePlayback, NotesReachAllNinetySixPatterns)
{
    juce::MidiBuffer keys;
    addNote (keys, 10, 107, true);

    render (blockSize, keys);

    EXPECT_EQ (plugin.getPlayingPatternIndex(), 95);
}

TEST_F (HostModePlayback, ReleasingThePatternsNoteStopsItInNoteOffMode)
{
    ASSERT_TRUE (plugin.isNoteOffModeOn());
    juce::MidiBuffer keys;
    addNote (keys, 10, 20, true);
    addNote (keys, 20, 20, true);
    addNote (keys, 300, 20, false);
    render (blockSize, keys);
    EXPECT_TRUE (plugin.getSequencerClock().isRunning());

    juce::MidiBuffer release;
    addNote (release, 10, 20, false);
    render (blockSize, release);

    EXPECT_FALSE (plugin.getSequencerClock().isRunning());
}

TEST_F (HostModePlayback, WithSelfResetTheSamePatternsNoteRestartsIt)
{
    plugin.setSelfReset (true);
    fillPattern (5, 0, 4);
    plugin.getPattern (5).setStep (1, makeStep (7, true));

    juce::MidiBuffer keys;
    addNote (keys, 0, 17, true);
    addNote (keys, stepStartSample (1) + 50, 17, true);
    const auto events = render (stepStartSample (3), keys);

    // Step 1 (pitch 43) starts, then the second note restarts from step 0 (pitch 36).
    const auto pitches = playedPitches (events);
    ASSERT_GE (pitches.size(), 3u);
    EXPECT_EQ (pitches[1], 43);
    EXPECT_EQ (pitches[2], 36);
    EXPECT_EQ (events[3], off (stepStartSample (1) + 50, 43));
    EXPECT_EQ (events[4], on (stepStartSample (1) + 50, 36, 32));
}

TEST_F (HostModePlayback, WithoutSelfResetTheSamePatternsNoteLetsItPlayOn)
{
    plugin.setSelfReset (false);
    fillPattern (5, 0, 4);
    plugin.getPattern (5).setStep (1, makeStep (7, true));
    plugin.getPattern (5).setStep (2, makeStep (9, true));

    juce::MidiBuffer keys;
    addNote (keys, 0, 17, true);
    addNote (keys, stepStartSample (1) + 50, 17, true);
    const auto events = render (stepStartSample (3), keys);

    const std::vector<int> expected { 36, 43, 45 };
    EXPECT_EQ (playedPitches (events), expected);
}
