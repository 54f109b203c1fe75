#include "support/InstrumentTestSupport.h"

using namespace InstrumentTest;

namespace
{
struct Instrument : public InstrumentFixture
{
    /** The arpeggiator in a known state: one pass per octave, one play per
        position, no shuffle, only the octave switches given on. */
    void setArpeggiator (const char* mode, const char* chord, std::initializer_list<int> octaveSwitchesOn)
    {
        switchSequencerOff (plugin);
        setText (arpChord, chord);
        setText (arpMultiplier, "1");
        setText (arpRepeater, "1");
        setParameter (arpShuffle, 0.0f);

        for (int id = arpOctaveMinus1; id <= arpOctavePlus2; ++id)
            setText (id, "Off");

        for (const auto id : octaveSwitchesOn)
            setText (id, "On");

        setText (arpMode, mode);
        renderBlock();
    }

    /** Pattern 0 with 16 gated, unaccented steps C, C#, D, ... in the middle octave. */
    void writeChromaticPattern()
    {
        auto& pattern = plugin.getPattern (0);
        pattern.setLength (16);
        pattern.setShuffle (0);

        for (int i = 0; i < 16; ++i)
            pattern.setStep (i, makeStep (i % 12, true));
    }
};

std::vector<int> notesOf (const std::vector<NoteEvent>& events)
{
    std::vector<int> notes;
    for (const auto& e : events)
        notes.push_back (e.note);
    return notes;
}

std::vector<int> samplesOf (const std::vector<NoteEvent>& events)
{
    std::vector<int> samples;
    for (const auto& e : events)
        samples.push_back (e.sample);
    return samples;
}

/** Whether the output holds a message of the kind at the sample, on channel 1. */
bool sends (const Rendered& out, int sample, const std::function<bool (const juce::MidiMessage&)>& isOfKind)
{
    return std::any_of (out.midi.begin(), out.midi.end(), [&] (const MidiOut& e)
    {
        return e.sample == sample && isOfKind (e.message) && e.message.getChannel() == 1;
    });
}

bool isNoteOn (const juce::MidiMessage& m)      { return m.isNoteOn(); }
bool isNoteOff (const juce::MidiMessage& m)     { return m.isNoteOff(); }
bool isAllNotesOff (const juce::MidiMessage& m) { return m.isAllNotesOff(); }

/** Renders the same input in blocks of 512, 64 and 1 and expects the same audio and MIDI each time. */
void expectTheSameForBlockSizes1_64And512 (const std::function<Rendered (int blockSize)>& renderWith)
{
    const auto reference = renderWith (512);
    ASSERT_FALSE (reference.noteOns().empty());

    for (const int blockSize : { 1, 64 })
    {
        const auto out = renderWith (blockSize);
        EXPECT_EQ (out.channels, reference.channels) << blockSize;
        ASSERT_EQ (out.midi.size(), reference.midi.size()) << blockSize;

        for (size_t i = 0; i < out.midi.size(); ++i)
        {
            EXPECT_EQ (out.midi[i].sample, reference.midi[i].sample) << blockSize;
            EXPECT_EQ (out.midi[i].message.getDescription(), reference.midi[i].message.getDescription()) << blockSize;
        }
    }
}
} // namespace

//==============================================================================
// Block processing

TEST_F (Instrument, ANoteOnAtSample17LeavesTheSamplesBeforeItUnchangedSoundsOnEveryChannelAndGoesOutOnChannelOne)
{
    auto reference = createInstrument();
    switchSequencerOff (plugin);
    switchSequencerOff (*reference);

    const auto quiet = InstrumentTest::render (*reference, 4096);
    const auto played = play (4096, { { 17, juce::MidiMessage::noteOn (7, 45, static_cast<juce::uint8> (90)) },
                                      { 2000, juce::MidiMessage::noteOff (7, 45) } });

    const auto& a = played.channels[0];
    const auto& b = quiet.channels[0];
    EXPECT_TRUE (std::equal (a.begin(), a.begin() + 17, b.begin()));
    EXPECT_FALSE (std::equal (a.begin() + 17, a.begin() + 512, b.begin() + 17));
    EXPECT_EQ (played.channels[1], played.channels[0]);
    EXPECT_EQ (played.notes(), (std::vector<NoteEvent> { on (17, 45, 90), off (2000, 45) }));
    EXPECT_TRUE (sends (played, 17, isNoteOn) && sends (played, 2000, isNoteOff));
}

// A fresh note stays silent for over a hundred samples, which hides an event
// taking effect early; a second note changing a voice that already sounds
// does not. The block also holds an earlier note, which the reference gets too.
TEST_F (Instrument, ANoteAtSample300OfABlockChangesTheSoundFromThatSampleNotBefore)
{
    auto reference = createInstrument();
    switchSequencerOff (plugin);
    switchSequencerOff (*reference);

    // The shortest slide and an open filter: the new pitch is heard at once.
    for (auto* instrument : { &plugin, reference.get() })
    {
        instrument->getParameterManager().setNormalisedValue (slideTime, 0.0f);
        instrument->getParameterManager().setNormalisedValue (cutoff, 1.0f);
        InstrumentTest::render (*instrument, 8192, blockSize, { noteOn (0, 45) });
    }

    const auto alone = InstrumentTest::render (*reference, 512, 512, { noteOn (40, 50) });
    const auto both = play (512, { noteOn (40, 50), noteOn (300, 57) });

    const auto& a = both.channels[0];
    const auto& b = alone.channels[0];
    const auto firstDifference = std::mismatch (a.begin(), a.end(), b.begin()).first - a.begin();
    EXPECT_GT (std::abs (b[299]), 0.001f) << "the voice sounds";
    EXPECT_GE (firstDifference, 300);
    EXPECT_LT (firstDifference, 303);
}

TEST_F (Instrument, AnEventStampedBeyondTheBlockIsAppliedInTheNextOne)
{
    switchSequencerOff (plugin);

    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 50, static_cast<juce::uint8> (100)), 70);
    plugin.processBlock (buffer, midi);
    EXPECT_TRUE (midi.isEmpty());

    juce::MidiBuffer next;
    plugin.processBlock (buffer, next);
    ASSERT_EQ (next.getNumEvents(), 1);
    EXPECT_EQ ((*next.begin()).samplePosition, 6);
}

TEST (InstrumentBlocks, AudioAndMidiOfNotesThroughTheArpeggiatorAreTheSameForBlockSizes1_64And512)
{
    expectTheSameForBlockSizes1_64And512 ([] (int size)
    {
        auto instrument = createInstrument();
        switchSequencerOff (*instrument);
        instrument->getParameterManager().setValueFromText (arpMode, "Up");
        instrument->getParameterManager().setValueFromText (arpOctavePlus1, "On");
        render (*instrument, 64, 64);
        return render (*instrument, 20000, size, { noteOn (3, 36), noteOn (700, 43), noteOff (1300, 36),
                                                   noteOff (4000, 43), noteOn (9001, 48), noteOff (15000, 48) });
    });
}

TEST (InstrumentBlocks, AudioAndMidiOfThePlayingSequencerAreTheSameForBlockSizes1_64And512)
{
    expectTheSameForBlockSizes1_64And512 ([] (int size)
    {
        auto instrument = createInstrument();
        instrument->performEvent (IntSeqPlugin::startEvent);
        return render (*instrument, 30000, size);
    });
}

// The host's position, given every block, moves the clock by a hair each time: a step begun
// inside its time, or a start waiting for the next step, keeps its timing in any block size.
TEST (InstrumentBlocks, AStepBegunByAHostStartInsideItIsTheSameForBlockSizes1_64And512)
{
    for (const double start : { 2.4013, 2.4987 })
    {
        SCOPED_TRACE (start);
        expectTheSameForBlockSizes1_64And512 ([start] (int size)
        {
            auto instrument = createInstrument();
            TestPlayHead host;
            host.playing = true;
            host.position = start;
            return render (*instrument, 12000, size, {}, &host);
        });
    }
}

TEST_F (Instrument, NotesBeyondTheEnginesHeldNotesAreNeitherPlayedNorSentAndEveryNoteSentIsReleased)
{
    switchSequencerOff (plugin);
    std::vector<MidiOut> input;

    for (int i = 0; i < TarvelinCore::maxHeldNotes + 10; ++i)
    {
        input.push_back (noteOn (i, 40));
        input.push_back (noteOff (2000 + i, 40));
    }

    const auto notes = play (4096, input).notes();
    const auto ons = std::count_if (notes.begin(), notes.end(), [] (const NoteEvent& e) { return e.on; });

    EXPECT_EQ (ons, TarvelinCore::maxHeldNotes);
    EXPECT_EQ (static_cast<long> (notes.size()) - ons, TarvelinCore::maxHeldNotes);
}

TEST_F (Instrument, WithTheSequencerOnMidiNotesDoNotPlayTheVoice)
{
    ASSERT_TRUE (plugin.isInternalSequencerOn());
    const auto out = play (4096, { noteOn (0, 60), noteOn (100, 45), noteOff (3000, 60) });
    EXPECT_TRUE (out.isSilent());
    EXPECT_TRUE (out.midi.empty());
}

TEST_F (Instrument, AReleasedVoiceDecaysToExactSilence)
{
    switchSequencerOff (plugin);
    const auto out = play (3 * 44100, { noteOn (0, 45), noteOff (4410, 45) });
    const auto& tail = out.channels[0];
    EXPECT_EQ (std::vector<float> (tail.end() - 22050, tail.end()), std::vector<float> (22050, 0.0f));
}

TEST_F (Instrument, NotesEndedByAnotherPrepareLeaveInTheNextBlockAtItsFirstSample)
{
    // A host changing its rate or block size prepares again while a note sounds.
    const auto prepareAgain = [this]
    {
        plugin.releaseResources();
        plugin.prepareToPlay (sampleRate, blockSize);
    };

    writeChromaticPattern();
    startSequencer();
    ASSERT_EQ (render (1024), (std::vector<NoteEvent> { on (0, 36, 32) }));

    prepareAgain();
    EXPECT_EQ (render (blockSize), (std::vector<NoteEvent> { off (0, 36) }));
    EXPECT_FALSE (lamp (IntSeqPlugin::playStateId));
    EXPECT_TRUE (render (4 * blockSize).empty());

    // Stopped there, Start/Stop starts it again at the first press.
    plugin.performEvent (IntSeqPlugin::startStopEvent);
    EXPECT_EQ (render (blockSize), (std::vector<NoteEvent> { on (0, 36, 32) }));

    setArpeggiator ("Up", "Custom", { arpOctave0 });
    ASSERT_EQ (render (1024, { noteOn (0, 40) }), (std::vector<NoteEvent> { on (0, 40, 100) }));

    prepareAgain();
    EXPECT_EQ (render (blockSize), (std::vector<NoteEvent> { off (0, 40) }));
}

//==============================================================================
// Host transport

namespace
{
/** The chromatic pattern, and a host whose transport plays. */
struct HostTransport : public Instrument
{
    void SetUp() override
    {
        Instrument::SetUp();
        writeChromaticPattern();
        host.playing = true;
    }

    TestPlayHead host;
};
} // namespace

TEST_F (HostTransport, AHostStartStartsTheSequencerAndItsTempoReachesTheClock)
{
    host.tempo = 130.0;

    const auto ons = play (12000, {}, &host).noteOns();

    EXPECT_TRUE (plugin.isSequencerRunning());
    EXPECT_DOUBLE_EQ (plugin.getSequencerClock().getTempo(), 130.0);
    EXPECT_TRUE (lamp (IntSeqPlugin::playStateId));

    // A step lasts 44100 * 60 / 130 / 4 = 5088.46 samples.
    EXPECT_EQ (samplesOf (ons), (std::vector<int> { 0, 5089, 10177 }));
    EXPECT_EQ (notesOf (ons), (std::vector<int> { 36, 37, 38 }));
}

TEST_F (HostTransport, AHostStopStopsTheSequencerAndReleasesItsNote)
{
    setParameter (gateLength, 1.0f);
    play (1024, {}, &host);
    ASSERT_TRUE (plugin.isSequencerRunning());

    host.playing = false;
    const auto out = play (512, {}, &host);

    EXPECT_FALSE (plugin.isSequencerRunning());
    EXPECT_FALSE (lamp (IntSeqPlugin::playStateId));
    ASSERT_EQ (out.midi.size(), 1u);
    EXPECT_TRUE (sends (out, 0, isNoteOff));
}

TEST_F (HostTransport, TheSequencerFollowsTheHostPosition)
{
    host.position = 2.25;    // a quarter into the third beat: step 9 of the pattern

    const auto out = play (512, {}, &host);

    EXPECT_NEAR (plugin.getSequencerClock().getPosition(), 2.25 + 512.0 / 22050.0, 1.0e-9);
    EXPECT_FALSE (out.noteOns().empty());
}

TEST_F (HostTransport, AHostPositionThatJumpsRelocatesTheClock)
{
    host.positionStandsStill = true;
    play (2048, {}, &host);

    host.position = 2.25;    // a step's start: the next step begins at once
    const auto ons = play (512, {}, &host).noteOns();

    EXPECT_NEAR (plugin.getSequencerClock().getPosition(), 2.25 + 512.0 / 22050.0, 1.0e-9);
    ASSERT_EQ (ons.size(), 1u);    // without the jump the next step would be 3400 samples away
    EXPECT_LE (ons[0].sample, 1);
}

TEST_F (HostTransport, WithoutAMovingHostPositionTheClockRunsOnAtTheLastTempoTheHostGave)
{
    // No musical position at all (jalv, Ardour), or one that stands still.
    for (const bool reportsPosition : { false, true })
    {
        host.playing = true;
        host.tempo = 130.0;
        host.reportsTempo = true;
        host.reportsPosition = reportsPosition;
        host.positionStandsStill = true;
        play (512, {}, &host);
        host.reportsTempo = false;

        const auto ons = play (12000, {}, &host).noteOns();

        EXPECT_DOUBLE_EQ (plugin.getSequencerClock().getTempo(), 130.0) << reportsPosition;
        EXPECT_EQ (samplesOf (ons), (std::vector<int> { 5089 - 512, 10177 - 512 })) << reportsPosition;
        EXPECT_EQ (notesOf (ons), (std::vector<int> { 37, 38 })) << reportsPosition;

        host.playing = false;
        play (512, {}, &host);
    }
}

TEST_F (HostTransport, AUserStopWhileTheHostPlaysIsUndoneAtTheNextBlock)
{
    play (512, {}, &host);

    plugin.performEvent (IntSeqPlugin::stopEvent);
    play (512, {}, &host);

    EXPECT_TRUE (plugin.isSequencerRunning());
}

namespace
{
/** The note messages, each at its sample give or take one (a host's position is summed block by block). */
void expectNotesNear (const std::vector<NoteEvent>& actual, const std::vector<NoteEvent>& expected)
{
    ASSERT_EQ (actual.size(), expected.size()) << ::testing::PrintToString (actual);

    for (size_t i = 0; i < actual.size(); ++i)
    {
        EXPECT_EQ (actual[i].on, expected[i].on) << i;
        EXPECT_EQ (actual[i].note, expected[i].note) << i;
        EXPECT_NEAR (actual[i].sample, expected[i].sample, 1) << i << ": " << actual[i];
    }
}

/** The chromatic pattern's first three steps as a host start at 2.3 beats plays them: step 1
    at once with a whole gate (0.125 beats, 2756.25 samples), step 2 on the grid at 2.5 beats. */
const std::vector<NoteEvent> startAt2_3 { on (0, 36, 32), off (2757, 36), on (4410, 37, 32), off (7167, 37), on (9923, 38, 32) };

/** The same from a start on the grid: at 2.25 beats, or anywhere for a host that gives no
    musical position (the grid then counts from the start). */
const std::vector<NoteEvent> startOnTheGrid { on (0, 36, 32), off (2757, 36), on (5513, 37, 32), off (8269, 37), on (11025, 38, 32) };
} // namespace

TEST_F (HostTransport, AStartInsideAStepPlaysTheFirstStepAtOnceForAWholeGateThenFollowsTheGrid)
{
    struct Case
    {
        const char* host;
        double position;
        bool reportsTempo, reportsPosition;
        const std::vector<NoteEvent>& expected;
    };

    // JUCE's own host gives tempo and musical position; Ardour a tempo but no musical
    // position (JUCE's LV2 wrapper reads none from its bar and bar-beat); jalv neither.
    const Case cases[] = {
        { "tempo and position, off the grid", 2.3, true, true, startAt2_3 },
        { "tempo and position, on the grid", 2.25, true, true, startOnTheGrid },
        { "tempo only", 2.3, true, false, startOnTheGrid },
        { "frame and speed only", 2.3, false, false, startOnTheGrid },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.host);
        host.playing = false;
        play (512, {}, &host);

        host.position = c.position;
        host.reportsTempo = c.reportsTempo;
        host.reportsPosition = c.reportsPosition;
        host.playing = true;
        expectNotesNear (play (11264, {}, &host).notes(), c.expected);
    }
}

TEST_F (HostTransport, AStartWhereTheStoppedHostStoodPlaysAsAFreshStartThere)
{
    for (const double stood : { 2.3, 2.25 })
    {
        SCOPED_TRACE (stood);
        host.playing = false;
        host.position = stood;
        play (2048, {}, &host);

        host.playing = true;
        expectNotesNear (play (11264, {}, &host).notes(), stood == 2.3 ? startAt2_3 : startOnTheGrid);
    }
}

TEST_F (HostTransport, PlayOnThePanelWhileTheHostStandsKeepsPlaying)
{
    host.playing = false;
    host.position = 7.0;
    play (2048, {}, &host);

    startSequencer();
    const auto ons = play (40 * blockSize, {}, &host).noteOns();

    EXPECT_TRUE (plugin.isSequencerRunning());
    EXPECT_TRUE (lamp (IntSeqPlugin::playStateId));
    EXPECT_EQ (notesOf (ons), (std::vector<int> { 36, 37, 38, 39 }));
}

TEST_F (HostTransport, ALowestCStartPlaysTheFirstStepFromTheNoteForAWholeGateThenTheHostsGrid)
{
    struct Case
    {
        const char* host;
        int noteAt;
        bool reportsTempo, reportsPosition;
        std::vector<NoteEvent> expected;
    };

    // The host plays from 2.3 beats and its lowest C comes inside a block. The first step
    // sounds from the note for a whole gate (2756.25 samples). With a musical position the
    // clock follows the host: the next steps come on its grid at 2.5 and 2.75 beats; without
    // one the grid counts from the note (5512.5 samples a step).
    const Case cases[] = {
        { "tempo and position, C at sample 100", 100, true, true,
          { on (100, 36, 32), off (2857, 36), on (4410, 37, 32), off (7167, 37), on (9923, 38, 32) } },
        { "tempo and position, C at the block's last sample", 511, true, true,
          { on (511, 36, 32), off (3268, 36), on (4410, 37, 32), off (7167, 37), on (9923, 38, 32) } },
        { "tempo only", 100, true, false,
          { on (100, 36, 32), off (2857, 36), on (5613, 37, 32), off (8369, 37), on (11125, 38, 32) } },
        { "frame and speed only", 511, false, false,
          { on (511, 36, 32), off (3268, 36), on (6024, 37, 32), off (8780, 37), on (11536, 38, 32) } },
    };

    plugin.setHostPlayDetection (IntSeqPlugin::byLowestCNoteOn);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.host);
        host.playing = false;
        play (512, {}, &host);

        host.position = 2.3;
        host.reportsTempo = c.reportsTempo;
        host.reportsPosition = c.reportsPosition;
        host.playing = true;
        expectNotesNear (play (11776, { noteOn (c.noteAt, 0) }, &host).notes(), c.expected);
    }
}

TEST_F (HostTransport, AHostStartAfterALiveLowestCJustBeforeAStepWaitsForThatStep)
{
    plugin.setHostPlayDetection (IntSeqPlugin::byLowestCNoteOn);
    host.playing = false;
    host.position = 2.49;
    play (1024, { noteOn (0, 0) }, &host);

    // The host starts where it stood, 5 ms before the step at 2.5 beats, and the clock moves
    // there: the sounding step ends, and the second, too near for a note of its own there,
    // begins on the host's grid at 2.5 beats (220.5 samples on), the third at 2.75.
    host.playing = true;
    expectNotesNear (play (6144, {}, &host).notes(), { off (0, 36), on (221, 37, 32), off (2977, 37), on (5733, 38, 32) });
}

namespace
{
/** Where step 1 begins, and the notes that follow, counted from there, with the step's note
    first (1 for the one after it) and the samples of 120 BPM (5512.5 samples a step). */
struct BegunStep
{
    const char* where;
    double position;
    float gateLength;     // 0.5 is a gate of 0.5; 1.0 the longest, 0.96
    int shuffle;          // percent; 100 puts the second step of a pair 0.6 of a step late
    std::vector<NoteEvent> expected;
};

const BegunStep begunSteps[] = {
    // A whole gate from the start (2756.25 samples), then the grid at 2.5 beats.
    { "2.30, gate 0.5", 2.30, 0.5f, 0,
      { on (0, 0, 32), off (2757, 0), on (4410, 1, 32), off (7167, 1), on (9923, 2, 32) } },
    // A whole gate would run to 2.525: it ends at the sample before the step at 2.5.
    { "2.40, gate 0.5", 2.40, 0.5f, 0,
      { on (0, 0, 32), off (2204, 0), on (2205, 1, 32), off (4962, 1), on (7718, 2, 32), off (10474, 2) } },
    { "2.27, gate 0.96", 2.27, 1.0f, 0,
      { on (0, 0, 32), off (5071, 0), on (5072, 1, 32), off (10364, 1), on (10584, 2, 32) } },
    // 1 ms (0.002 beats) before 2.5: the first step plays there, on the grid.
    { "1 ms before 2.50", 2.498, 0.5f, 0,
      { on (45, 0, 32), off (2801, 0), on (5557, 1, 32), off (8313, 1), on (11070, 2, 32) } },
    // Shuffled, the pair 2.0..2.5 has its second step at 2.4 and a first gate of 0.2 beats.
    { "2.35, gate 0.5, shuffled", 2.35, 0.5f, 100,
      { on (0, 0, 32), off (1102, 0), on (1103, 1, 32), off (2205, 1), on (3308, 2, 32), off (7718, 2) } },
};

std::vector<NoteEvent> shifted (const std::vector<NoteEvent>& events, int samples, int notes)
{
    auto result = events;

    for (auto& e : result)
    {
        e.sample += samples;
        e.note += notes;
    }

    return result;
}
} // namespace

// A host's start, a lowest C and a host's jump inside a step all begin that step there: it
// sounds for a whole gate but ends before the next step on the host's grid, which starts on
// it, and every later step a sixteenth after; too near that step, the start is that step's.
TEST_F (HostTransport, AStepBegunInsideItsTimeEndsBeforeTheNextStepOnTheHostsGrid)
{
    for (const auto& c : begunSteps)
    {
        SCOPED_TRACE (c.where);
        setParameter (gateLength, c.gateLength);
        plugin.getPattern (0).setShuffle (c.shuffle);

        // The host starts its transport there.
        plugin.setHostPlayDetection (IntSeqPlugin::byTransportChange);
        host.playing = false;
        play (512, {}, &host);
        host.position = c.position;
        host.playing = true;
        expectNotesNear (play (11264, {}, &host).notes(), shifted (c.expected, 0, 36));

        // The host plays from 100 samples earlier and its lowest C comes there.
        plugin.setHostPlayDetection (IntSeqPlugin::byLowestCNoteOn);
        host.playing = false;
        play (512, {}, &host);
        host.position = c.position - 100.0 / 22050.0;
        host.playing = true;
        expectNotesNear (play (11264, { noteOn (100, 0) }, &host).notes(), shifted (c.expected, 100, 36));

        // The host jumps there while step 1 sounds: it ends at the jump, and the next step
        // begins at the sample after. A jump into a pair's first step waits for its second
        // step, so only the steps begun inside a pair's second step apply.
        if (c.shuffle != 0)
            continue;

        plugin.setHostPlayDetection (IntSeqPlugin::byTransportChange);
        host.playing = false;
        play (512, {}, &host);
        host.position = 0.0;
        host.playing = true;
        ASSERT_EQ (play (2048, {}, &host).notes(), (std::vector<NoteEvent> { on (0, 36, 32) }));
        host.position = c.position;
        auto afterTheJump = shifted (c.expected, 0, 37);
        afterTheJump.front().sample = std::max (1, afterTheJump.front().sample);
        afterTheJump.insert (afterTheJump.begin(), off (0, 36));
        expectNotesNear (play (11264, {}, &host).notes(), afterTheJump);
    }
}

TEST_F (Instrument, AStopBySwitchingTheSequencerOffOrByAnAllNotesOffControllerPutsOutThePlayLampAndStartStopStartsAgain)
{
    writeChromaticPattern();

    const auto startAndPlay = [this]
    {
        plugin.performEvent (IntSeqPlugin::startStopEvent);
        EXPECT_EQ (render (blockSize), (std::vector<NoteEvent> { on (0, 36, 32) }));
        EXPECT_TRUE (lamp (IntSeqPlugin::playStateId));
    };

    startAndPlay();

    // The sequencer switched off while it plays, then on again.
    plugin.performEvent (IntSeqPlugin::toggleInternalSequencerEvent);
    render (blockSize);
    EXPECT_FALSE (plugin.getSequencerClock().isRunning());
    EXPECT_FALSE (lamp (IntSeqPlugin::playStateId));

    plugin.performEvent (IntSeqPlugin::toggleInternalSequencerEvent);
    render (blockSize);
    EXPECT_FALSE (lamp (IntSeqPlugin::playStateId));
    startAndPlay();

    // A controller ends every note.
    render (blockSize, { { 0, juce::MidiMessage::allNotesOff (1) } });
    EXPECT_FALSE (plugin.isSequencerRunning());
    EXPECT_FALSE (lamp (IntSeqPlugin::playStateId));
    startAndPlay();
}

TEST_F (Instrument, AccentVelocityLevelsSetTheStepVelocities)
{
    writeChromaticPattern();
    plugin.getPattern (0).getStep (1).setAccent (true);

    for (const auto& [level, accented, plain] : { std::tuple { 0, 32, 16 }, std::tuple { 1, 64, 32 }, std::tuple { 2, 96, 48 } })
    {
        plugin.setAccentVelocityLevel (level);
        startSequencer();
        const auto ons = play (6000).noteOns();
        plugin.performEvent (IntSeqPlugin::stopEvent);
        renderBlock();

        ASSERT_EQ (ons.size(), 2u);
        EXPECT_EQ (ons[0].velocity, plain) << level;
        EXPECT_EQ (ons[1].velocity, accented) << level;
    }
}

//==============================================================================
// Controllers (program changes and learnt controllers are checked through the hosted plug-in)

TEST_F (Instrument, AllNotesOffControllerStopsTheSequencerAndTellsTheMidiOutput)
{
    writeChromaticPattern();
    startSequencer();
    render (1024);
    ASSERT_TRUE (plugin.isSequencerRunning());

    const auto out = play (1024, { { 100, juce::MidiMessage::allNotesOff (1) } });

    EXPECT_FALSE (plugin.isSequencerRunning());
    EXPECT_TRUE (sends (out, 100, isAllNotesOff));
}

//==============================================================================
// Arpeggiator through the instrument

namespace
{
/** Notes held from the first sample, and the notes the arpeggiator then plays,
    one a step at 120 BPM. */
struct ArpCase
{
    const char* mode;
    const char* chord;
    std::initializer_list<int> octaveSwitches;
    std::vector<MidiOut> held;
    std::vector<int> expected;
};

void PrintTo (const ArpCase& c, std::ostream* out) { *out << c.mode << " " << c.chord; }

// The arpeggiator's own tests walk the other cases; these rows alone hold the
// Major chord, Up wrapping across the switches, Down and steps at 120 BPM.
const ArpCase arpCases[] = {
    { "Up", "Major", { arpOctave0, arpOctavePlus1 }, { noteOn (0, 48) }, { 48, 55, 52, 60, 67, 64, 48 } },
    { "Up", "Custom", { arpOctave0, arpOctavePlus1 }, { noteOn (0, 40), noteOn (0, 43) }, { 40, 43, 52, 55, 40, 43 } },
    { "Down", "Custom", { arpOctave0, arpOctavePlus1 }, { noteOn (0, 40), noteOn (0, 43) }, { 52, 55, 40, 43, 52, 55 } },
    { "Up-Down", "Custom", { arpOctaveMinus1, arpOctave0, arpOctavePlus1 }, { noteOn (0, 40) }, { 28, 40, 52, 40, 28, 40 } },
    // Notes pushed out of the MIDI range are neither played nor sent.
    { "Up", "Custom", { arpOctaveMinus1 }, { noteOn (0, 5) }, {} },
};

class ArpeggiatorModes : public Instrument, public ::testing::WithParamInterface<ArpCase>
{
};
} // namespace

TEST_P (ArpeggiatorModes, PlayTheHeldNotesOneAStep)
{
    const auto& c = GetParam();
    setArpeggiator (c.mode, c.chord, c.octaveSwitches);
    EXPECT_TRUE (lamp (arpOnState));

    const auto stepsToPlay = juce::jmax (4, static_cast<int> (c.expected.size()));
    const auto ons = play (stepStartSample (stepsToPlay) - 1, c.held).noteOns();

    std::vector<int> stepStarts;
    for (size_t k = 0; k < c.expected.size(); ++k)
        stepStarts.push_back (stepStartSample (static_cast<int> (k)));

    EXPECT_EQ (notesOf (ons), c.expected);
    EXPECT_EQ (samplesOf (ons), stepStarts);
}

INSTANTIATE_TEST_SUITE_P (Instrument, ArpeggiatorModes, ::testing::ValuesIn (arpCases));

class ArpeggiatorAtRate : public Instrument, public ::testing::WithParamInterface<double> {};

TEST_P (ArpeggiatorAtRate, StepsLandOnTheSamplesOfTheirTime)
{
    // Prepare-to-play must hand the rate to the arpeggiator's clock, or it runs at
    // the rate it was made with (9 % fast at 48 kHz).
    const auto rate = GetParam();
    plugin.setRateAndBufferSizeDetails (rate, blockSize);
    plugin.prepareToPlay (rate, blockSize);
    setArpeggiator ("Up", "Custom", { arpOctave0 });

    const auto step = static_cast<int> (rate / 8.0);    // a sixteenth at 120 BPM
    const auto ons = play (3 * step + 1, { noteOn (0, 40), noteOn (0, 43) }).noteOns();

    // The clock sums its position sample by sample; the sum's rounding may put a step one sample late.
    ASSERT_EQ (ons.size(), 4u);

    for (size_t k = 0; k < ons.size(); ++k)
    {
        EXPECT_EQ (ons[k].note, k % 2 == 0 ? 40 : 43);
        EXPECT_GE (ons[k].sample, static_cast<int> (k) * step);
        EXPECT_LE (ons[k].sample, static_cast<int> (k) * step + 1);
    }
}

INSTANTIATE_TEST_SUITE_P (Instrument, ArpeggiatorAtRate, ::testing::Values (48000.0, 96000.0));

TEST_F (Instrument, ArpeggiatorModeChangesResetItAtTheNextBlock)
{
    setArpeggiator ("Up", "Custom", { arpOctave0 });
    render (2048, { noteOn (0, 40) });

    setText (arpMode, "Off");
    const auto out = play (512);

    EXPECT_FALSE (lamp (arpOnState));
    EXPECT_TRUE (sends (out, 0, isNoteOff) || sends (out, 0, isAllNotesOff));
}

//==============================================================================
// Parameters

TEST_F (Instrument, TheShuffleKnobAndTheArpeggiatorShuffleFollowEachOther)
{
    setParameter (arpShuffleAmount, 0.3f);
    EXPECT_FLOAT_EQ (normalised (arpShuffle), 0.3f);

    setParameter (arpShuffle, 0.57f);
    EXPECT_FLOAT_EQ (parameters.getValue (arpShuffleAmount), 57.0f);
}

TEST_F (Instrument, GateLengthSetsTheGateOfTheSequencerClock)
{
    setParameter (gateLength, 1.0f);
    renderBlock();
    EXPECT_DOUBLE_EQ (plugin.getSequencerClock().getGate(), 0.96);

    setParameter (gateLength, 0.0f);
    renderBlock();
    EXPECT_NEAR (plugin.getSequencerClock().getGate(), 0.04, 1.0e-9);
}

namespace
{
struct DisplayCase
{
    int id;
    float value;
    const char* text;
};

class DisplayTexts : public Instrument, public ::testing::WithParamInterface<DisplayCase>
{
};
} // namespace

TEST_P (DisplayTexts, ShowTheValueInItsUnit)
{
    const auto [id, value, text] = GetParam();
    setParameter (id, value);
    EXPECT_EQ (plugin.getParameterDisplayText (id), text) << "id " << id << " at " << value;
}

// One row for each way of showing a value: the ends where the text changes form.
INSTANTIATE_TEST_SUITE_P (EveryInstrumentParameter, DisplayTexts, ::testing::Values (
    DisplayCase { tune, 0.75f, "12.00 halftones" }, DisplayCase { tune, 0.25f, "-12.00 halftones" },
    DisplayCase { slideTime, 0.0f, "1 ms" }, DisplayCase { slideTime, 0.5f, "47 ms" }, DisplayCase { slideTime, 1.0f, "1700 ms" },
    DisplayCase { resonance, 0.123f, "12.3" }, DisplayCase { accentSweep, 0.5f, "18.0 ms" },
    DisplayCase { attack, 0.5f, "73.9 ms" }, DisplayCase { attack, 1.0f, "5.30 s" },
    DisplayCase { decay, 0.5f, "514.0 ms" }, DisplayCase { accentDecay, 1.0f, "2.31 s" },
    DisplayCase { bankDamping, 0.999f, "99%" }, DisplayCase { drive, 0.0f, "0.0dB" },
    DisplayCase { drive, 0.5f, "15.4dB" }, DisplayCase { drive, 1.0f, "32.0dB" }, DisplayCase { distortionLevel, 0.0f, "-60.0dB" },
    DisplayCase { bankFrequency, 0.25f, "-0.50" }, DisplayCase { waveform, 0.0f, "Square" },
    DisplayCase { accentSweepLink, 0.0f, "Free" }, DisplayCase { effectOn, 1.0f, "On" },
    DisplayCase { bankOrder, 0.0f, "Post" }, DisplayCase { volume, 1.0f, "+12.0dB" },
    DisplayCase { volume, 0.5f, "0.0dB" }, DisplayCase { volume, 0.0f, "-inf." },
    DisplayCase { arpChord, 1.0f / 7.0f, "Major" }, DisplayCase { randChord, 3.0f / 7.0f, "7th" },
    DisplayCase { arpMode, 0.5f, "Up" }, DisplayCase { arpShuffle, 0.25f, "25%" },
    DisplayCase { arpOctavePlus2, 1.0f, "On" }, DisplayCase { arpMultiplier, 0.2f, "1.5" },
    DisplayCase { arpRepeater, 1.0f, "6" }, DisplayCase { gateThreshold, 0.5f, "64" },
    DisplayCase { selfResetState, 1.0f, "" }));   // beyond the host's parameters: no text

TEST_F (Instrument, MidiNoteNamesNamePatternsOnlyInHostMode)
{
    plugin.getPattern (3).setName ("Third");
    EXPECT_EQ (plugin.getMidiNoteName (15), "");

    plugin.performEvent (IntSeqPlugin::toggleHostModeEvent);
    EXPECT_EQ (plugin.getMidiNoteName (15), "Third");
    EXPECT_EQ (plugin.getMidiNoteName (11), "---");
    EXPECT_EQ (plugin.getMidiNoteName (108), "---");
}

//==============================================================================
// Synthesis settings and the state

TEST_F (Instrument, SynthesisSettingsShowOnTheirDisplaysComeFirstInTheStateAndRestoreButNotFromTextsInTheWrongCase)
{
    plugin.setAccentVelocityLevel (2);
    plugin.setOscillatorTuning (2);
    EXPECT_FLOAT_EQ (parameters.getValue (accentVelocityLevel), 1.0f);   // shown on their display parameters
    EXPECT_FLOAT_EQ (parameters.getValue (oscillatorTuning), 1.0f);

    const auto state = plugin.createStateXml();

    std::vector<juce::String> tags;
    for (auto* child : state->getChildIterator())
        tags.push_back (child->getTagName());

    EXPECT_EQ (tags, (std::vector<juce::String> { "InternalSettings", "InternalSequencer", "ParametersState",
                                                  "PresetsState", "MidiControlMap" }));
    const auto* settings = state->getChildElement (0);
    EXPECT_EQ (settings->getChildByName ("AccentVelocityLevel")->getStringAttribute ("value"), "high");
    EXPECT_EQ (settings->getChildByName ("OscillatorTuning")->getStringAttribute ("value"), "battery low");

    auto restored = createInstrument();
    restored->setStateFromXml (*state);
    EXPECT_EQ (restored->getAccentVelocityLevel(), 2);
    EXPECT_EQ (restored->getOscillatorTuning(), 2);

    // A text in the wrong case changes nothing.
    restored->setStateFromXml (*juce::parseXML ("<PluginState application=\"Tarvelin\"><InternalSettings>"
                                                "<OscillatorTuning value=\"Vintage\"/><AccentVelocityLevel value=\"loud\"/>"
                                                "</InternalSettings></PluginState>"));
    EXPECT_EQ (restored->getOscillatorTuning(), 2);
    EXPECT_EQ (restored->getAccentVelocityLevel(), 2);
}

TEST (InstrumentSettings, DefaultsSurviveARestartAndApplyToTheNextInstance)
{
    {
        auto instrument = createInstrument();
        instrument->setDefaultOscillatorTuning (2);
        instrument->setDefaultAccentVelocityLevel (0);
        instrument->setDefaultSelfReset (false);
    }

    const auto next = reopenInstrument();
    EXPECT_EQ (next->getDefaultOscillatorTuning(), 2);
    EXPECT_EQ (next->getOscillatorTuning(), 2);
    EXPECT_EQ (next->getAccentVelocityLevel(), 0);
    EXPECT_FALSE (next->isSelfResetOn());
    EXPECT_FLOAT_EQ (next->getParameterManager().getValue (oscillatorTuning), 1.0f);

    const auto settings = next->createUserSettingsXml();
    ASSERT_NE (settings, nullptr);
    EXPECT_EQ (settings->getChildElement (settings->getNumChildElements() - 1)->getTagName(), "InternalSettings");
}

//==============================================================================
// Effect section

namespace
{
/** The level of one frequency in a stretch of the output, under a Hann window. */
double levelAt (const std::vector<float>& signal, size_t from, size_t length, double frequency)
{
    const auto twoPi = juce::MathConstants<double>::twoPi;
    const auto w = twoPi * frequency / sampleRate;
    double re = 0.0, im = 0.0;

    for (size_t i = 0; i < length; ++i)
    {
        const auto window = 0.5 - 0.5 * std::cos (twoPi * static_cast<double> (i) / static_cast<double> (length - 1));
        re += signal[from + i] * window * std::cos (w * static_cast<double> (i));
        im -= signal[from + i] * window * std::sin (w * static_cast<double> (i));
    }

    return std::sqrt (re * re + im * im);
}
} // namespace

// The bank's first section is a low-pass at its frequency plus the spread, the
// third a high-pass at its frequency minus the spread. Fully spread, the band
// between them passes both and is raised; spread the other way, the low-pass
// sits at the bottom and the high-pass at the top, and that band is cut.
TEST_F (Instrument, TheFilterBanksSpreadRaisesOrCutsTheBandBetweenItsLowAndHighPass)
{
    switchSequencerOff (plugin);

    // A steady sawtooth at 110 Hz through an open filter, no distortion to speak of.
    for (const auto& [id, value] : { std::pair { cutoff, 1.0f }, { resonance, 0.0f }, { envMod, 0.0f }, { decay, 1.0f },
                                     { accent, 0.0f }, { drive, 0.0f }, { distortionLevel, 1.0f },
                                     { bankFrequency, 0.5f }, { bankDamping, 0.5f }, { waveform, 1.0f },
                                     { volume, 0.5f }, { effectOn, 1.0f } })
        setParameter (id, value);

    // Harmonics 1 and 27 (2970 Hz) of note 45, both between the sections fully spread.
    const auto gainsAt = [this] (float order, float spread)
    {
        const auto measure = [&] (float mix)
        {
            setParameter (bankOrder, order);
            setParameter (bankSpread, spread);
            setParameter (bankMix, mix);
            play (8192);
            const auto out = play (16384, { noteOn (0, 45) });
            play (16384, { noteOff (0, 45) });
            return std::pair { levelAt (out.channels[0], 8192, 8192, 110.0), levelAt (out.channels[0], 8192, 8192, 2970.0) };
        };

        const auto dry = measure (0.0f), wet = measure (1.0f);
        return std::pair { 20.0 * std::log10 (wet.first / dry.first), 20.0 * std::log10 (wet.second / dry.second) };
    };

    for (const float order : { 0.0f, 1.0f })    // "Post" and "Pre"
    {
        SCOPED_TRACE (order);
        const auto [lowSpread, highSpread] = gainsAt (order, 1.0f);
        EXPECT_GT (lowSpread, 4.0);
        EXPECT_GT (highSpread, 4.0);

        const auto [lowNarrow, highNarrow] = gainsAt (order, 0.0f);
        EXPECT_LT (lowNarrow, -2.0);
        EXPECT_LT (highNarrow, -2.0);
    }
}
