#include "support/InstrumentTestSupport.h"
#include "support/ParameterListeners.h"

#include <functional>
#include <map>
#include <sstream>

using namespace InstrumentTest;

namespace
{
enum class Mode { off, native, edit, randomizer };

const char* nameOf (Mode mode)
{
    const char* const names[] = { "Off", "Native", "Edit", "Randomizer" };
    return names[static_cast<int> (mode)];
}

constexpr std::uint32_t fixedSeed = 4242;
constexpr float threshold = 0.5f;

/** The randomizer's switches, key set, seed and undo depth in one line. */
std::string describe (const PatternRandomizer& r)
{
    std::ostringstream out;
    out << "switches " << r.getRandomizeGate() << r.getRandomizeAccent() << r.getRandomizeSlide() << r.getRandomNotes()
        << r.getKeyOctaveDown() << r.getKeyOctaveUp() << ", keys ";

    for (int k = 0; k < PatternRandomizer::numKeys; ++k)
        out << (r.isKeyOn (k) ? '1' : '0');

    out << ", seed " << r.getCurrentSeed() << ", undo points " << r.getNumUndoPoints();
    return out.str();
}

/** Everything an edit command can change, read from the instrument. */
struct EditState
{
    int currentPattern, editedStep, chainFirst, chainLast, chainBank, bankGroup;
    bool levelEdit;
    std::string randomizer;
    Pattern pattern;

    static EditState of (Tarvelin& plugin)
    {
        const int current = plugin.getCurrentPatternIndex();
        return { current, plugin.getEditedStep(), plugin.getChainFirst(), plugin.getChainLast(),
                 plugin.getChainBank(), plugin.getBankGroup(), plugin.isLevelEditActive(),
                 describe (plugin.getRandomizer()), plugin.getPattern (current) };
    }

    /** All but the current pattern's content, as one text to compare. */
    std::string summary() const
    {
        std::ostringstream out;
        out << "pattern " << currentPattern << ", step " << editedStep << ", chain " << chainFirst << " to " << chainLast
            << " in bank " << chainBank << ", bank group " << bankGroup << ", level edit " << levelEdit
            << "\nrandomizer " << randomizer;
        return out.str();
    }
};

/** The pattern every case edits: length 8, every step different, its own tempo and shuffle. */
Pattern makeEditedPattern()
{
    Pattern pattern;
    pattern.setName ("Edited");
    pattern.setLength (8);
    pattern.setTempo (133.3);
    pattern.setShuffle (40);

    for (int s = 0; s < Pattern::numSteps; ++s)
    {
        auto& step = pattern.getStep (s);
        step.setNote (s % 13);
        step.setOctaveUp (s % 3 == 0);
        step.setOctaveDown (s % 5 == 1);
        step.setGate (s % 2 == 0);
        step.setAccent (s % 3 == 1);
        step.setSlide (s % 4 == 2);
        step.setGateLevel (0.25 * (s % 4));
        step.setAccentLevel (s % 2 == 0 ? 0.3 : 0.7);
        step.setSlideLevel (s % 3 == 0 ? 0.7 : 0.2);
    }

    return pattern;
}

/** The instrument in a mode: chain [2, 2] in bank 0, so pattern 2 is current,
    holding the edited pattern with step 3 edited; the randomizer's keys 12 and
    13 are off (in every mode) and its generator has a fixed seed. */
struct EditModeFixture : public InstrumentFixture
{
    void enter (Mode mode)
    {
        clearAllPatterns();

        for (const auto id : { gateThreshold, accentThreshold, slideThreshold })
            setParameter (id, threshold);

        plugin.getPattern (2) = makeEditedPattern();
        plugin.getRandomizer().toggleVisibleKey (0);
        plugin.getRandomizer().toggleVisibleKey (1);
        plugin.performEvent (key (4));                  // E: chain [2, 2]
        plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);
        plugin.performEvent (selectStep (3));

        if (mode == Mode::native || mode == Mode::off)
            plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);

        if (mode == Mode::randomizer)
            plugin.performEvent (IntSeqPlugin::toggleRandomizerEvent);

        if (mode == Mode::off)
            plugin.performEvent (IntSeqPlugin::toggleInternalSequencerEvent);

        plugin.getRandomizer().getGenerator().seed (fixedSeed);
    }
};

//==============================================================================
// The edit commands: what each does in each mode, and nothing else.

using Effect = std::function<void (EditState&, Tarvelin&)>;

void nothing (EditState&, Tarvelin&) {}

Effect onPattern (std::function<void (Pattern&, int editedStep)> edit)
{
    return [edit] (EditState& s, Tarvelin&) { edit (s.pattern, s.editedStep); };
}

Effect onEditedStep (std::function<void (PatternStep&)> edit)
{
    return [edit] (EditState& s, Tarvelin&) { edit (s.pattern.getStep (s.editedStep)); };
}

/** What a reference randomizer, in the instrument's state before the command, does. */
Effect onRandomizer (std::function<void (PatternRandomizer&, Pattern&)> action)
{
    return [action] (EditState& s, Tarvelin&)
    {
        PatternRandomizer reference;
        reference.toggleVisibleKey (0);
        reference.toggleVisibleKey (1);
        reference.getGenerator().seed (fixedSeed);
        reference.resetPatternUndo (s.pattern);
        action (reference, s.pattern);
        s.randomizer = describe (reference);
    };
}

Effect editedStepBecomes (int step)
{
    return [step] (EditState& s, Tarvelin&) { s.editedStep = step; };
}

/** The chain [first, last] in bank 0, its first pattern current. */
Effect chainBecomes (int first, int last)
{
    return [first, last] (EditState& s, Tarvelin& plugin)
    {
        s.chainFirst = first;
        s.chainLast = last;
        s.currentPattern = first;
        s.pattern = plugin.getPattern (first);
    };
}

struct CommandCase
{
    int uid;
    Mode mode;
    Effect effect;
};

void PrintTo (const CommandCase& c, std::ostream* out)
{
    *out << "id " << c.uid << " in " << nameOf (c.mode) << " mode";
}

/** A row for each distinct effect; a command that does nothing in a mode has a row for each kind of command. */
std::vector<CommandCase> commandCases()
{
    using R = PatternRandomizer;
    constexpr int clear = IntSeqPlugin::clearEvent, clear2nd = IntSeqPlugin::clear2ndEvent;

    std::vector<CommandCase> cases {
        // Transpose: the key set in the randomizer, the pattern in edit mode.
        { transposeUp, Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.shiftKeysUp(); }) },
        { transposeDown, Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.shiftKeysDown(); }) },
        { transposeUp, Mode::edit, onPattern ([] (Pattern& p, int) { p.transpose (1); }) },
        { transposeDown, Mode::edit, onPattern ([] (Pattern& p, int) { p.transpose (-1); }) },

        // Step buttons choose a played step: the pattern is 8 steps long.
        { selectStep (0), Mode::randomizer, editedStepBecomes (0) },
        { selectStep (7), Mode::edit, editedStepBecomes (7) },
        { selectStep (8), Mode::edit, nothing },

        // Keys: a key of the set, the edited step's note, or a chain of one pattern at a white key.
        { key (0), Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.toggleVisibleKey (0); }) },
        { key (0), Mode::edit, onEditedStep ([] (PatternStep& step) { step.setNote (0); }) },
        { key (12), Mode::edit, onEditedStep ([] (PatternStep& step) { step.setNote (12); }) },
        { key (0), Mode::native, chainBecomes (0, 0) },
        { key (1), Mode::native, nothing },
        { key (12), Mode::native, chainBecomes (7, 7) },

        // Their second action: the edited step's note for every step, or the chain extended from its first.
        { keySecond (0), Mode::randomizer, onPattern ([] (Pattern& p, int s) { p.setAllNotes (s, 0); }) },
        { keySecond (12), Mode::edit, onPattern ([] (Pattern& p, int s) { p.setAllNotes (s, 12); }) },
        { keySecond (0), Mode::native, chainBecomes (0, 2) },
        { keySecond (12), Mode::native, chainBecomes (2, 7) },

        // Flag buttons: the randomizer's switches, the edited step's flags, or the bank group.
        { toggleGate, Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.toggleRandomizeGate(); }) },
        { toggleAccent, Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.toggleRandomizeAccent(); }) },
        { toggleSlide, Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.toggleRandomizeSlide(); }) },
        { toggleOctaveDown, Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.toggleKeyOctaveDown(); }) },
        { toggleOctaveUp, Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.toggleKeyOctaveUp(); }) },
        { toggleGate, Mode::edit, onEditedStep ([] (PatternStep& step) { step.setGate (! step.isGate()); }) },
        { toggleAccent, Mode::edit, onEditedStep ([] (PatternStep& step) { step.setAccent (! step.isAccent()); }) },
        { toggleSlide, Mode::edit, onEditedStep ([] (PatternStep& step) { step.setSlide (! step.isSlide()); }) },
        { toggleOctaveDown, Mode::edit,
          onEditedStep ([] (PatternStep& step) { step.setOctaveDown (! step.isOctaveDown()); }) },
        { toggleOctaveUp, Mode::edit, onEditedStep ([] (PatternStep& step) { step.setOctaveUp (! step.isOctaveUp()); }) },
        { toggleSlide, Mode::native, [] (EditState& s, Tarvelin&) { s.bankGroup = 2; } },

        // Their second action: every step gets the inverse of the edited step's flag
        // (flag numbers: 0 octave up, 1 octave down, 2 gate, 3 accent, 4 slide).
        { toggleGateSecond, Mode::edit, onPattern ([] (Pattern& p, int s) { p.toggleFlagForAll (s, 2); }) },
        { toggleOctaveUpSecond, Mode::edit, onPattern ([] (Pattern& p, int s) { p.toggleFlagForAll (s, 0); }) },
        { toggleSlideSecond, Mode::randomizer, onPattern ([] (Pattern& p, int s) { p.toggleFlagForAll (s, 4); }) },

        // Next and previous: a variant (there is no earlier one yet), or the edited step.
        { nextStep, Mode::randomizer, onRandomizer ([] (R& r, Pattern& p) { r.selectNextRandomVariant (p); }) },
        { prevStep, Mode::randomizer, nothing },
        { nextStep, Mode::edit, editedStepBecomes (4) },
        { prevStep, Mode::edit, editedStepBecomes (2) },

        { toggleRandomNotes, Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.toggleRandomNotes(); }) },
        { toggleLevelEdit, Mode::edit, [] (EditState& s, Tarvelin&) { s.levelEdit = true; } },
        { acceptAndFix, Mode::randomizer,
          onRandomizer ([] (R& r, Pattern& p) { r.acceptAndFix (p, threshold, threshold, threshold); }) },

        // Clear and "Clear 2nd" set the visible keys in the randomizer; elsewhere "Clear 2nd" is the sequencer's,
        // and clear keeps the pattern's name, length, tempo and shuffle.
        { clear, Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.setVisibleKeys (false); }) },
        { clear2nd, Mode::randomizer, onRandomizer ([] (R& r, Pattern&) { r.setVisibleKeys (true); }) },
        { clear, Mode::edit, onPattern ([] (Pattern& p, int) { p.clearSteps (false); }) }
    };

    // One command of each kind that does nothing in the mode.
    const auto nothingIn = [&cases] (Mode mode, std::initializer_list<int> uids)
    {
        for (const int uid : uids)
            cases.push_back ({ uid, mode, nothing });
    };

    nothingIn (Mode::off, { transposeUp, selectStep (0), key (0), keySecond (0), toggleGate, toggleOctaveUp,
                            toggleGateSecond, nextStep, toggleRandomNotes, toggleLevelEdit, acceptAndFix, clear, clear2nd });
    nothingIn (Mode::native, { transposeUp, selectStep (0), toggleOctaveUp, toggleGateSecond, nextStep,
                               toggleRandomNotes, toggleLevelEdit, acceptAndFix, clear, clear2nd });
    nothingIn (Mode::edit, { toggleRandomNotes, acceptAndFix, clear2nd });
    nothingIn (Mode::randomizer, { toggleLevelEdit });
    return cases;
}

class EditCommands : public EditModeFixture,
                     public ::testing::WithParamInterface<CommandCase>
{
};
} // namespace

TEST_P (EditCommands, ChangeExactlyWhatTheirModeSays)
{
    enter (GetParam().mode);
    auto expected = EditState::of (plugin);
    GetParam().effect (expected, plugin);

    plugin.performEvent (GetParam().uid);

    const auto actual = EditState::of (plugin);
    EXPECT_EQ (actual.summary(), expected.summary());
    EXPECT_TRUE (actual.pattern == expected.pattern) << "the current pattern's content differs";
}

INSTANTIATE_TEST_SUITE_P (PatternEngine, EditCommands, ::testing::ValuesIn (commandCases()),
                          [] (const ::testing::TestParamInfo<CommandCase>& test)
                          {
                              return "Id" + std::to_string (test.param.uid) + nameOf (test.param.mode);
                          });

TEST_F (EditModeFixture, ExtendingTheChainFromAnotherBankStartsANewChainThere)
{
    enter (Mode::native);
    plugin.performEvent (toggleSlide);          // bank group 2
    plugin.performEvent (keySecond (7));        // G: position 4

    EXPECT_EQ (plugin.getChainBank(), 2);
    EXPECT_EQ (plugin.getChainFirst(), 4);
    EXPECT_EQ (plugin.getChainLast(), 4);
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 20);
}

TEST_F (EditModeFixture, NextAndPreviousStepWrapAtThePatternsLength)
{
    enter (Mode::edit);                          // an 8-step pattern
    plugin.performEvent (selectStep (7));
    plugin.performEvent (nextStep);
    EXPECT_EQ (plugin.getEditedStep(), 0);

    plugin.performEvent (prevStep);
    EXPECT_EQ (plugin.getEditedStep(), 7);
}

//==============================================================================
// Lamps and displays

namespace
{
struct Lamps : public EditModeFixture
{
    /** Lamp ids 40..83 (but the four that are no lamps) and the step states, all dark but the given ones. */
    static std::map<int, float> dark (const std::map<int, float>& lit)
    {
        std::map<int, float> values;

        for (int id = selfResetState; id <= levelEditState; ++id)
            if (id != arpShuffleAmount && id != arpOnState && id != arpRepeaterView && id != randChord)
                values[id] = 0.0f;

        for (int i = 0; i < 16; ++i)
            values[IntSeqPlugin::firstStepStateId + i] = 0.0f;

        for (const auto& [id, value] : lit)
            values[id] = value;

        return values;
    }

    /** Every lamp, with its value. */
    std::map<int, float> readLamps() const
    {
        auto values = dark ({});

        for (auto& [id, value] : values)
            value = parameters.getValue (id);

        return values;
    }
};
} // namespace

TEST_F (Lamps, NativeModeShowsTheChainInItsOwnBankTheShownPositionAndTheBank)
{
    enter (Mode::native);
    plugin.performEvent (keySecond (7));    // chain [2, 4]

    EXPECT_EQ (readLamps(), dark ({ { selfResetState, 1.0f }, { thresholdsEnabled, 1.0f },
                                    { keyLamp (4), 1.0f }, { keyLamp (5), 1.0f }, { keyLamp (7), 1.0f },  // E, F, G
                                    { keyBlinking (4), 1.0f },          // stopped: the chain's first
                                    { gateLamp, 1.0f }, { gateBlinking, 1.0f } }));     // bank group 0

    // Key lamps show the chain only in its own bank.
    plugin.performEvent (toggleAccent);     // bank group 1, the chain stays in bank 0
    EXPECT_FALSE (lamp (keyLamp (4)));
    EXPECT_TRUE (lamp (accentLamp));
    EXPECT_TRUE (lamp (accentBlinking));
    EXPECT_FALSE (lamp (gateLamp));
}

TEST_F (Lamps, EditModeShowsTheEditedStep)
{
    enter (Mode::edit);
    plugin.performEvent (selectStep (4));   // note 4, gate and accent
    plugin.performEvent (toggleOctaveDown);

    EXPECT_EQ (readLamps(), dark ({ { selfResetState, 1.0f }, { thresholdsEnabled, 1.0f }, { keyLamp (4), 1.0f },
                                    { gateLamp, 1.0f }, { accentLamp, 1.0f }, { octaveDownLamp, 1.0f },
                                    { IntSeqPlugin::firstStepStateId + 4, 1.0f } }));
}

TEST_F (Lamps, LevelEditingShowsTheEditedStepsLevelsInsteadOfTheThresholdsUntilEditModeEnds)
{
    enter (Mode::edit);
    plugin.performEvent (toggleLevelEdit);
    const auto& step = plugin.getPattern (2).getStep (3);

    EXPECT_FLOAT_EQ (normalised (gateLevel), static_cast<float> (step.getGateLevel()));
    EXPECT_FLOAT_EQ (normalised (accentLevel), static_cast<float> (step.getAccentLevel()));
    EXPECT_FLOAT_EQ (normalised (slideLevel), static_cast<float> (step.getSlideLevel()));
    EXPECT_FALSE (lamp (thresholdsEnabled));
    EXPECT_TRUE (lamp (levelEditState));

    // Leaving edit mode hides them.
    plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);
    EXPECT_FLOAT_EQ (normalised (accentLevel), 0.0f);
    EXPECT_FALSE (lamp (levelEditState));
    EXPECT_TRUE (lamp (thresholdsEnabled));
}

TEST_F (Lamps, LevelKnobsWriteTheEditedStepOnlyWhileLevelEditingShows)
{
    enter (Mode::edit);
    setParameter (gateLevel, 0.9f);
    EXPECT_DOUBLE_EQ (plugin.getPattern (2).getStep (3).getGateLevel(), 0.75);

    plugin.performEvent (toggleLevelEdit);
    setParameter (gateLevel, 0.125f);
    EXPECT_DOUBLE_EQ (plugin.getPattern (2).getStep (3).getGateLevel(), 0.125);

    // Moving to another step shows its levels without writing them back anywhere.
    plugin.performEvent (selectStep (1));
    EXPECT_EQ (plugin.getPattern (2).getStep (1), makeEditedPattern().getStep (1));
    EXPECT_DOUBLE_EQ (plugin.getPattern (2).getStep (3).getGateLevel(), 0.125);
    EXPECT_FLOAT_EQ (normalised (gateLevel), 0.25f);
}

TEST_F (Lamps, RandomizerModeBlinksItsSetAndShowsTheKeySet)
{
    enter (Mode::randomizer);

    std::map<int, float> lit { { selfResetState, 1.0f }, { thresholdsEnabled, 1.0f },
                               { IntSeqPlugin::firstStepStateId + 3, 1.0f },
                               { gateLamp, 1.0f }, { accentLamp, 1.0f }, { slideLamp, 1.0f }, { randNotesLamp, 1.0f },
                               { gateBlinking, 1.0f }, { accentBlinking, 1.0f }, { slideBlinking, 1.0f },
                               { octaveDownBlinking, 1.0f }, { octaveUpBlinking, 1.0f }, { randNotesBlinking, 1.0f } };

    for (int k = 0; k < 13; ++k)
    {
        lit[keyBlinking (k)] = 1.0f;
        lit[keyLamp (k)] = k >= 2 ? 1.0f : 0.0f;   // keys 12 and 13 are off
    }

    EXPECT_EQ (readLamps(), dark (lit));
}

TEST_F (Lamps, RandomizerKeyLampsFollowTheVisibleOctaveAndRandomNotesAndGoWithTheRandomizer)
{
    enter (Mode::randomizer);
    plugin.performEvent (toggleOctaveDown);     // keys 0..12

    EXPECT_TRUE (lamp (keyLamp (0)));
    EXPECT_TRUE (lamp (octaveDownLamp));

    plugin.performEvent (toggleRandomNotes);
    EXPECT_FALSE (lamp (keyLamp (0)));
    EXPECT_FALSE (lamp (randNotesLamp));

    // Leaving the randomizer clears its blinking set and shows the edited step (note 3, octave up) again.
    plugin.performEvent (IntSeqPlugin::toggleRandomizerEvent);
    EXPECT_EQ (readLamps(), dark ({ { selfResetState, 1.0f }, { keyLamp (3), 1.0f }, { octaveUpLamp, 1.0f },
                                    { thresholdsEnabled, 1.0f }, { IntSeqPlugin::firstStepStateId + 3, 1.0f } }));
}

TEST_F (Lamps, WithTheSequencerOffEveryLampIsDarkAndSelfResetFollowsBothSwitches)
{
    enter (Mode::native);
    ASSERT_TRUE (lamp (selfResetState));

    plugin.performEvent (IntSeqPlugin::toggleInternalSequencerEvent);
    EXPECT_EQ (readLamps(), dark ({}));

    plugin.performEvent (IntSeqPlugin::toggleInternalSequencerEvent);
    EXPECT_TRUE (lamp (selfResetState));

    plugin.setSelfReset (false);
    EXPECT_FALSE (lamp (selfResetState));
}

TEST_F (Lamps, ThePositionLampFollowsThePlayingPatternInsideTheChain)
{
    enter (Mode::native);

    for (int i = 0; i < Tarvelin::numPatterns; ++i)
        fillPattern (i, 0, 1);

    plugin.performEvent (toggleAccent);     // bank 1
    plugin.performEvent (key (4));          // E: position 2
    plugin.performEvent (keySecond (9));    // A: position 5, chain [2, 5]
    startSequencer();
    render (stepStartSample (2) + 10);      // pattern 12 plays

    ASSERT_EQ (plugin.getPlayingPatternIndex(), 12);
    EXPECT_TRUE (lamp (keyBlinking (7)));   // G: position 4

    // A chain that no longer holds the playing pattern shows where play goes next.
    plugin.performEvent (key (0));
    plugin.performEvent (keySecond (2));    // chain [0, 1]
    EXPECT_TRUE (lamp (keyBlinking (0)));
    EXPECT_FALSE (lamp (keyBlinking (7)));
}

//==============================================================================
// Write mode, pattern selection, clipboard and undo

namespace
{
struct Editing : public InstrumentFixture
{
    void SetUp() override
    {
        InstrumentFixture::SetUp();
        clearAllPatterns();
    }

    void writeModeOn()       { plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent); }
    void hostModeOn()
    {
        plugin.performEvent (IntSeqPlugin::toggleHostModeEvent);
        renderBlock();
    }
};
} // namespace

TEST_F (Editing, WriteModeEditsTheChainsFirstPatternWhileStopped)
{
    plugin.performEvent (toggleAccent);     // bank 1
    plugin.performEvent (key (5));          // F: position 3
    plugin.performEvent (keySecond (9));    // chain [3, 5]
    plugin.setCurrentPattern (0);

    writeModeOn();

    EXPECT_EQ (plugin.getCurrentPatternIndex(), 11);
}

TEST_F (Editing, TheCurrentPatternFollowsThePlayingOneOutsideWriteModeAndWriteModeEditsThePlayingOne)
{
    for (int i = 0; i < Tarvelin::numPatterns; ++i)
        fillPattern (i, 0, 1);

    plugin.performEvent (key (0));
    plugin.performEvent (keySecond (4));    // chain [0, 2]
    startSequencer();
    render (stepStartSample (2) + 10);      // pattern 2 plays

    EXPECT_EQ (plugin.getCurrentPatternIndex(), 2);
    EXPECT_EQ (parameters.getValue (IntSeqPlugin::patternNumberId), 3.0f);

    plugin.setCurrentPattern (5);
    writeModeOn();
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 2);
}

TEST_F (Editing, InHostModeOnlyAutoFollowEditsThePlayingPattern)
{
    hostModeOn();
    render (blockSize, { noteOn (0, 12 + 60) });
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 60);

    plugin.performEvent (IntSeqPlugin::toggleAutoFollowModeEvent);
    plugin.setCurrentPattern (40);
    render (blockSize, { noteOn (0, 12 + 61) });
    plugin.updateWriteModeState();
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 40);
}

TEST_F (Editing, PrevAndNextStopAtTheFirstAndLastPatternOfTheMode)
{
    hostModeOn();
    plugin.performEvent (IntSeqPlugin::toggleAutoFollowModeEvent);
    plugin.setCurrentPattern (94);
    plugin.performEvent (IntSeqPlugin::nextEvent);
    plugin.performEvent (IntSeqPlugin::nextEvent);
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 95);

    // Leaving host mode brings a pattern beyond the banks back to the first.
    plugin.performEvent (IntSeqPlugin::toggleHostModeEvent);
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 0);

    writeModeOn();
    plugin.setCurrentPattern (22);
    plugin.performEvent (IntSeqPlugin::nextEvent);
    plugin.performEvent (IntSeqPlugin::nextEvent);
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 23);

    plugin.setCurrentPattern (1);
    plugin.performEvent (IntSeqPlugin::prevEvent);
    plugin.performEvent (IntSeqPlugin::prevEvent);
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 0);
}

TEST_F (Editing, SelectingOrShorteningAPatternBringsTheEditedStepInside)
{
    writeModeOn();
    plugin.performEvent (IntSeqPlugin::toggleAutoFollowModeEvent);
    plugin.performEvent (selectStep (12));
    plugin.getPattern (1).setLength (5);

    plugin.performEvent (IntSeqPlugin::nextEvent);
    EXPECT_EQ (plugin.getEditedStep(), 4);
    EXPECT_TRUE (lamp (IntSeqPlugin::firstStepStateId + 4));

    plugin.performEvent (IntSeqPlugin::toggleLengthModeEvent);
    plugin.performEvent (IntSeqPlugin::setPatternLengthTo01Event + 2);
    EXPECT_EQ (plugin.getPattern (1).getLength(), 3);
    EXPECT_EQ (plugin.getEditedStep(), 2);
}

TEST_F (Editing, PasteNamesTheCopyAfterTheOriginal)
{
    writeModeOn();
    plugin.performEvent (IntSeqPlugin::toggleAutoFollowModeEvent);
    plugin.getPattern (0) = makeEditedPattern();
    plugin.getPattern (0).setName ("Pattern 3");
    plugin.performEvent (IntSeqPlugin::copyEvent);
    plugin.performEvent (IntSeqPlugin::nextEvent);

    plugin.performEvent (IntSeqPlugin::pasteEvent);

    auto expected = plugin.getPattern (0);
    expected.setName ("Pattern 3 copy");
    EXPECT_EQ (plugin.getPattern (1), expected);
    EXPECT_FALSE (plugin.isClipboardFull());
}

TEST_F (Editing, UndoRestoresAClearedPatternOnlyOnItAndOnlyOnce)
{
    writeModeOn();
    plugin.performEvent (IntSeqPlugin::toggleAutoFollowModeEvent);
    plugin.setCurrentPattern (4);
    plugin.getPattern (4) = makeEditedPattern();
    plugin.performEvent (IntSeqPlugin::clearEvent);

    plugin.performEvent (IntSeqPlugin::nextEvent);
    const auto untouched = plugin.getPattern (5);
    plugin.getPattern (5).setName ("Pattern 6");
    plugin.performEvent (IntSeqPlugin::undoEvent);
    EXPECT_EQ (plugin.getPattern (5).getName(), "Pattern 6");
    EXPECT_EQ (plugin.getPattern (5).getStep (0), untouched.getStep (0));
    EXPECT_NE (plugin.getPattern (4), makeEditedPattern());

    plugin.performEvent (IntSeqPlugin::prevEvent);
    plugin.performEvent (IntSeqPlugin::undoEvent);
    EXPECT_EQ (plugin.getPattern (4), makeEditedPattern());

    plugin.getPattern (4).setName ("Renamed");
    plugin.performEvent (IntSeqPlugin::undoEvent);
    EXPECT_EQ (plugin.getPattern (4).getName(), "Renamed");
}

TEST_F (Editing, ShiftRotatesThePlayedStepsOfTheCurrentPattern)
{
    writeModeOn();
    plugin.getPattern (0) = makeEditedPattern();

    plugin.performEvent (IntSeqPlugin::shiftLeftEvent);
    auto expected = makeEditedPattern();
    expected.rotateLeft (1);
    EXPECT_EQ (plugin.getPattern (0), expected);

    plugin.performEvent (IntSeqPlugin::shiftRightEvent);
    plugin.performEvent (IntSeqPlugin::shiftRightEvent);
    expected.rotateRight (2);
    EXPECT_EQ (plugin.getPattern (0), expected);
}

//==============================================================================
// Randomizer through the instrument: its own cases are in PatternRandomizerTest.

namespace
{
struct Randomizing : public Editing
{
    void SetUp() override
    {
        Editing::SetUp();
        plugin.getPattern (0) = makeEditedPattern();
        writeModeOn();
        plugin.performEvent (IntSeqPlugin::toggleRandomizerEvent);
    }
};
} // namespace

TEST_F (Randomizing, TheRandomizerChordChoosesTheKeySetAndTheArpeggiatorsChordDoesNot)
{
    setParameter (arpChord, 3.0f / 7.0f);
    for (int k = 0; k < PatternRandomizer::numKeys; ++k)
        EXPECT_TRUE (plugin.getRandomizer().isKeyOn (k)) << k;

    setParameter (randChord, 1.0f / 7.0f);  // Major: 0, 4, 7 in every octave, and the top C

    for (int k = 0; k < PatternRandomizer::numKeys; ++k)
        EXPECT_EQ (plugin.getRandomizer().isKeyOn (k), k % 12 == 0 || k % 12 == 4 || k % 12 == 7) << k;

    EXPECT_FALSE (lamp (keyLamp (1)));
    EXPECT_TRUE (lamp (keyLamp (4)));
}

TEST_F (Randomizing, LeavingTheRandomizerKeepsTheShownVariant)
{
    plugin.performEvent (IntSeqPlugin::nextEvent);
    const auto variant = plugin.getPattern (0);
    ASSERT_NE (variant, makeEditedPattern());

    plugin.performEvent (IntSeqPlugin::toggleRandomizerEvent);

    EXPECT_EQ (plugin.getPattern (0), variant);
    EXPECT_EQ (plugin.getRandomizer().getNumUndoPoints(), 0);
}

//==============================================================================
// Plug-in state

namespace
{
std::unique_ptr<juce::XmlElement> sequencerStateOf (Tarvelin& plugin)
{
    auto state = plugin.createStateXml();
    auto* sequencer = state->getChildByName ("InternalSequencer");
    return sequencer != nullptr ? std::make_unique<juce::XmlElement> (*sequencer) : nullptr;
}
} // namespace

TEST_F (Editing, TheStateAddsSelfResetAfterNoteOffAndEditionStateLastAndRestoresThem)
{
    plugin.setSelfReset (false);
    plugin.performEvent (toggleSlide);      // bank 2
    plugin.performEvent (key (2));          // D: position 1
    plugin.performEvent (keySecond (7));    // chain [1, 4]
    writeModeOn();
    plugin.performEvent (selectStep (6));

    const auto sequencer = sequencerStateOf (plugin);

    ASSERT_NE (sequencer, nullptr);
    EXPECT_EQ (sequencer->getChildElement (3)->getTagName(), "NoteOff");
    EXPECT_EQ (sequencer->getChildElement (4)->getTagName(), "SelfReset");
    EXPECT_EQ (sequencer->getChildElement (4)->getStringAttribute ("state"), "off");

    const auto* edition = sequencer->getChildElement (sequencer->getNumChildElements() - 1);
    EXPECT_EQ (edition->getTagName(), "EditionState");
    EXPECT_EQ (edition->getChildByName ("EditedPattern")->getIntAttribute ("value"), 17);
    EXPECT_EQ (edition->getChildByName ("EditedStep")->getIntAttribute ("value"), 6);
    EXPECT_EQ (edition->getChildByName ("ChainPatterns")->getIntAttribute ("first"), 1);
    EXPECT_EQ (edition->getChildByName ("ChainPatterns")->getIntAttribute ("last"), 4);
    EXPECT_EQ (edition->getChildByName ("ChainPatterns")->getIntAttribute ("bank"), 2);

    juce::MemoryBlock state;
    plugin.getStateInformation (state);
    const auto other = InstrumentTest::createInstrument();
    other->setStateInformation (state.getData(), static_cast<int> (state.getSize()));

    EXPECT_FALSE (other->isSelfResetOn());
    EXPECT_FALSE (other->getParameterManager().getParameter (selfResetState)->getBoolValue());
    EXPECT_EQ (other->getChainFirst(), 1);
    EXPECT_EQ (other->getChainLast(), 4);
    EXPECT_EQ (other->getChainBank(), 2);
    EXPECT_EQ (other->getBankGroup(), 2);
    EXPECT_EQ (other->getCurrentPatternIndex(), 17);
    EXPECT_EQ (other->getEditedStep(), 6);
}

TEST_F (Editing, OutOfRangeEditionValuesAreBroughtIntoRange)
{
    plugin.getPattern (16).setLength (4);
    auto sequencer = sequencerStateOf (plugin);
    auto* edition = sequencer->getChildByName ("EditionState");
    edition->getChildByName ("EditedPattern")->setAttribute ("value", 500);
    edition->getChildByName ("EditedStep")->setAttribute ("value", 99);
    edition->getChildByName ("ChainPatterns")->setAttribute ("first", 40);
    edition->getChildByName ("ChainPatterns")->setAttribute ("last", -3);
    edition->getChildByName ("ChainPatterns")->setAttribute ("bank", 9);

    plugin.loadInternalSequencerStateFromXml (*sequencer);

    EXPECT_EQ (plugin.getChainFirst(), 0);
    EXPECT_EQ (plugin.getChainLast(), 7);
    EXPECT_EQ (plugin.getChainBank(), 2);
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 16);
    EXPECT_EQ (plugin.getEditedStep(), 3);     // inside the pattern's length

    // And the chain plays without reading beyond the patterns.
    startSequencer();
    render (stepStartSample (40));
    EXPECT_GE (plugin.getPlayingPatternIndex(), 16);
    EXPECT_LE (plugin.getPlayingPatternIndex(), 23);
}

// A state may repeat an element any number of times. Each kind is applied
// once, as its last copy says: the switches, lamps and settings change once,
// not at every copy (each copy republished the sequencer's displays).
TEST (InstrumentState, ARepeatedElementIsAppliedOnceAsItsLastCopySays)
{
    // Declared first: a parameter keeps its listeners for its whole life.
    RecordingListener sequencerSwitch, hostModeSwitch, selfResetLamp, firstKeyLamp, accentLevel;
    const auto instrument = InstrumentTest::createInstrument();
    auto& parameters = instrument->getParameterManager();
    parameters.getParameter (IntSeqPlugin::internalSequencerStateId)->addListener (&sequencerSwitch);
    parameters.getParameter (IntSeqPlugin::hostModeStateId)->addListener (&hostModeSwitch);
    parameters.getParameter (selfResetState)->addListener (&selfResetLamp);
    parameters.getParameter (keyLamp (0))->addListener (&firstKeyLamp);
    parameters.getParameter (accentVelocityLevel)->addListener (&accentLevel);
    ASSERT_TRUE (instrument->isInternalSequencerOn() && instrument->isSelfResetOn());
    ASSERT_EQ (instrument->getAccentVelocityLevel(), 1);
    ASSERT_TRUE (parameters.getParameter (keyLamp (0))->getBoolValue());   // the chain [0, 0]

    juce::String switches, items, settings;

    for (int i = 0; i < 40; ++i)
    {
        const auto odd = i % 2 != 0;
        switches << "<IntSeq state=\"" << (odd ? "on" : "off") << "\"/><HostMode state=\"" << (odd ? "off" : "on")
                 << "\"/><SelfReset state=\"" << (odd ? "off" : "on") << "\"/>";
        items << "<ChainPatterns first=\"" << (odd ? 2 : 0) << "\" last=\"" << (odd ? 4 : 0) << "\" bank=\"0\"/>"
              << "<EditedStep value=\"" << i % 8 << "\"/>";
        settings << "<AccentVelocityLevel value=\"" << (odd ? "high" : "low") << "\"/>";
    }

    instrument->setStateFromXml (*juce::parseXML ("<PluginState application=\"Tarvelin\"><InternalSettings>" + settings
                                                  + "</InternalSettings><InternalSequencer>" + switches + "<EditionState>"
                                                  + items + "</EditionState></InternalSequencer></PluginState>"));

    EXPECT_TRUE (instrument->isInternalSequencerOn());
    EXPECT_FALSE (instrument->isHostModeOn());
    EXPECT_FALSE (instrument->isSelfResetOn());
    EXPECT_EQ (instrument->getChainFirst(), 2);
    EXPECT_EQ (instrument->getChainLast(), 4);
    EXPECT_EQ (instrument->getEditedStep(), 7);
    EXPECT_EQ (instrument->getAccentVelocityLevel(), 2);

    EXPECT_EQ (sequencerSwitch.numChanges(), 0);
    EXPECT_EQ (hostModeSwitch.numChanges(), 0);
    EXPECT_EQ (selfResetLamp.numChanges(), 1);
    EXPECT_EQ (firstKeyLamp.numChanges(), 1);
    EXPECT_EQ (accentLevel.numChanges(), 1);
}

TEST_F (Editing, TheSelfResetDefaultIsWrittenBeforeHostPlayDetection)
{
    plugin.setDefaultSelfReset (false);

    const auto defaults = plugin.createInternalSequencerDefaultsXml();

    EXPECT_EQ (defaults->getChildElement (4)->getTagName(), "SelfReset");
    EXPECT_EQ (defaults->getChildElement (4)->getStringAttribute ("state"), "off");
    EXPECT_EQ (defaults->getChildElement (5)->getTagName(), "HostPlayDetection");

    plugin.setDefaultSelfReset (true);
    plugin.loadInternalSequencerDefaultsFromXml (*defaults);
    EXPECT_FALSE (plugin.getDefaultSelfReset());
}
