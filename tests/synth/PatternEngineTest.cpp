#include "support/InstrumentTestSupport.h"

#include <array>
#include <functional>
#include <map>
#include <sstream>

using namespace InstrumentTest;

namespace
{
enum class Mode { off, native, edit, randomizer };

const char* nameOf (Mode mode)
{
    switch (mode)
    {
        case Mode::off:        return "Off";
        case Mode::native:     return "Native";
        case Mode::edit:       return "Edit";
        case Mode::randomizer: return "Randomizer";
    }

    return "";
}

constexpr int whiteKeyPosition[13] = { 0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6, 7 };
constexpr std::uint32_t fixedSeed = 4242;
constexpr float threshold = 0.5f;

/** Everything an edit command can change, read from the instrument. */
struct EditState
{
    int currentPattern = 0, editedStep = 0;
    int chainFirst = 0, chainLast = 0, chainBank = 0, bankGroup = 0;
    Pattern pattern;
    bool randomizeGate = false, randomizeAccent = false, randomizeSlide = false, randomNotes = false;
    bool keyOctaveUp = false, keyOctaveDown = false;
    std::array<bool, PatternRandomizer::numKeys> keys {};
    bool levelEdit = false;
    std::uint32_t seed = 0;
    int undoPoints = 0;

    static EditState of (Tarvelin& plugin)
    {
        EditState s;
        auto& r = plugin.getRandomizer();
        s.currentPattern = plugin.getCurrentPatternIndex();
        s.editedStep = plugin.getEditedStep();
        s.chainFirst = plugin.getChainFirst();
        s.chainLast = plugin.getChainLast();
        s.chainBank = plugin.getChainBank();
        s.bankGroup = plugin.getBankGroup();
        s.pattern = plugin.getPattern (s.currentPattern);
        s.randomizeGate = r.getRandomizeGate();
        s.randomizeAccent = r.getRandomizeAccent();
        s.randomizeSlide = r.getRandomizeSlide();
        s.randomNotes = r.getRandomNotes();
        s.keyOctaveUp = r.getKeyOctaveUp();
        s.keyOctaveDown = r.getKeyOctaveDown();

        for (int k = 0; k < PatternRandomizer::numKeys; ++k)
            s.keys[static_cast<size_t> (k)] = r.isKeyOn (k);

        s.levelEdit = plugin.isLevelEditActive();
        s.seed = r.getCurrentSeed();
        s.undoPoints = r.getNumUndoPoints();
        return s;
    }

    int visibleBase() const
    {
        return keyOctaveUp && keyOctaveDown ? 36 : keyOctaveUp ? 24 : keyOctaveDown ? 0 : 12;
    }

    /** The fields that differ, one a line; empty when none. */
    std::string differencesFrom (const EditState& o) const
    {
        std::ostringstream out;
        auto field = [&out] (const char* name, auto a, auto b)
        {
            if (a != b)
                out << name << ": expected " << a << ", got " << b << "\n";
        };

        field ("current pattern", currentPattern, o.currentPattern);
        field ("edited step", editedStep, o.editedStep);
        field ("chain first", chainFirst, o.chainFirst);
        field ("chain last", chainLast, o.chainLast);
        field ("chain bank", chainBank, o.chainBank);
        field ("bank group", bankGroup, o.bankGroup);
        field ("randomize gate", randomizeGate, o.randomizeGate);
        field ("randomize accent", randomizeAccent, o.randomizeAccent);
        field ("randomize slide", randomizeSlide, o.randomizeSlide);
        field ("random notes", randomNotes, o.randomNotes);
        field ("key octave up", keyOctaveUp, o.keyOctaveUp);
        field ("key octave down", keyOctaveDown, o.keyOctaveDown);
        field ("level edit", levelEdit, o.levelEdit);
        field ("seed", seed, o.seed);
        field ("undo points", undoPoints, o.undoPoints);

        for (int k = 0; k < PatternRandomizer::numKeys; ++k)
            if (keys[static_cast<size_t> (k)] != o.keys[static_cast<size_t> (k)])
                out << "key " << k << " differs\n";

        if (pattern != o.pattern)
            out << "the current pattern's content differs\n";

        return out.str();
    }
};

/** The pattern every case edits: length 8, every step different. */
Pattern makeEditedPattern()
{
    Pattern pattern;
    pattern.setName ("Edited");
    pattern.setLength (8);

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
    holding the edited pattern with step 3 edited; in randomizer mode keys 12
    and 13 are off; the generator is seeded with a fixed seed. */
struct EditModeFixture : public InstrumentFixture
{
    void enter (Mode mode)
    {
        clearAllPatterns();
        setParameter (gateThreshold, threshold);
        setParameter (accentThreshold, threshold);
        setParameter (slideThreshold, threshold);

        plugin.getPattern (2) = makeEditedPattern();
        plugin.performEvent (key (4));                  // E: chain [2, 2]
        plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);
        plugin.performEvent (selectStep (3));

        if (mode != Mode::edit && mode != Mode::randomizer)
            plugin.performEvent (IntSeqPlugin::togglePatternWriteModeEvent);

        if (mode == Mode::randomizer)
        {
            plugin.performEvent (IntSeqPlugin::toggleRandomizerEvent);
            plugin.performEvent (key (0));
            plugin.performEvent (key (1));
        }

        if (mode == Mode::off)
            plugin.performEvent (IntSeqPlugin::toggleInternalSequencerEvent);

        plugin.getRandomizer().getGenerator().seed (fixedSeed);
    }
};

//==============================================================================
// The edit command table: what each id does in each mode.

using Effect = std::function<void (int uid, EditState&, Tarvelin&)>;

void nothing (int, EditState&, Tarvelin&) {}

void makeCurrent (EditState& s, Tarvelin& plugin, int index)
{
    s.currentPattern = index;
    s.pattern = plugin.getPattern (index);

    if (s.editedStep >= s.pattern.getLength())
        s.editedStep = s.pattern.getLength() - 1;
}

/** A reference randomizer in the same state as the instrument's before the command. */
PatternRandomizer referenceRandomizer (Pattern& base)
{
    PatternRandomizer reference;
    reference.toggleVisibleKey (0);
    reference.toggleVisibleKey (1);
    reference.getGenerator().seed (fixedSeed);
    reference.resetPatternUndo (base);
    return reference;
}

const Effect transposeBy[2] = {
    [] (int, EditState& s, Tarvelin&) { s.pattern.transpose (1); },
    [] (int, EditState& s, Tarvelin&) { s.pattern.transpose (-1); }
};

void shiftKeysUp (int, EditState& s, Tarvelin&)
{
    const auto old = s.keys;
    s.keys[0] = false;
    s.keys[1] = old[48];

    for (size_t i = 2; i < old.size(); ++i)
        s.keys[i] = old[i - 1];
}

void shiftKeysDown (int, EditState& s, Tarvelin&)
{
    const auto old = s.keys;

    for (size_t i = 0; i <= 46; ++i)
        s.keys[i] = old[i + 1];

    s.keys[47] = old[0];
    s.keys[48] = false;
}

void selectStepIfPlayed (int uid, EditState& s, Tarvelin&)
{
    if (uid - 2 < s.pattern.getLength())
        s.editedStep = uid - 2;
}

void toggleVisibleKey (int uid, EditState& s, Tarvelin&)
{
    auto& key = s.keys[static_cast<size_t> (s.visibleBase() + uid - 18)];
    key = ! key;
}

void setEditedNote (int uid, EditState& s, Tarvelin&)
{
    s.pattern.getStep (s.editedStep).setNote (uid - 18);
}

void chainAtKey (int uid, EditState& s, Tarvelin& plugin)
{
    const int position = whiteKeyPosition[uid - 18];

    if (position < 0)
        return;

    s.chainFirst = s.chainLast = position;
    s.chainBank = s.bankGroup;
    makeCurrent (s, plugin, s.chainBank * 8 + position);
}

void setAllNotes (int uid, EditState& s, Tarvelin&)
{
    s.pattern.setAllNotes (s.editedStep, uid - 31);
}

void extendChainToKey (int uid, EditState& s, Tarvelin& plugin)
{
    const int position = whiteKeyPosition[uid - 31];

    if (position < 0)
        return;

    if (s.chainBank == s.bankGroup)
    {
        const int anchor = s.chainFirst;
        s.chainFirst = juce::jmin (anchor, position);
        s.chainLast = juce::jmax (anchor, position);
    }
    else
    {
        s.chainFirst = s.chainLast = position;
        s.chainBank = s.bankGroup;
    }

    makeCurrent (s, plugin, s.chainBank * 8 + s.chainFirst);
}

void toggleRandomizeSwitch (int uid, EditState& s, Tarvelin&)
{
    bool* switches[] = { &s.randomizeGate, &s.randomizeAccent, &s.randomizeSlide };
    *switches[uid - 44] = ! *switches[uid - 44];
}

void toggleEditedFlag (int uid, EditState& s, Tarvelin&)
{
    auto& step = s.pattern.getStep (s.editedStep);

    switch (uid)
    {
        case 44: step.setGate (! step.isGate()); break;
        case 45: step.setAccent (! step.isAccent()); break;
        case 46: step.setSlide (! step.isSlide()); break;
        case 47: step.setOctaveDown (! step.isOctaveDown()); break;
        case 48: step.setOctaveUp (! step.isOctaveUp()); break;
        default: break;
    }
}

void chooseBank (int uid, EditState& s, Tarvelin&)          { s.bankGroup = uid - 44; }
void toggleKeyOctaveDown (int, EditState& s, Tarvelin&)     { s.keyOctaveDown = ! s.keyOctaveDown; }
void toggleKeyOctaveUp (int, EditState& s, Tarvelin&)       { s.keyOctaveUp = ! s.keyOctaveUp; }
void flipRandomNotes (int, EditState& s, Tarvelin&)         { s.randomNotes = ! s.randomNotes; }
void flipLevelEdit (int, EditState& s, Tarvelin&)           { s.levelEdit = ! s.levelEdit; }

void toggleFlagForAll (int uid, EditState& s, Tarvelin&)
{
    // 49 gate, 50 accent, 51 slide, 52 octaveDown, 53 octaveUp; the step's flag numbers.
    constexpr int flags[] = { 2, 3, 4, 1, 0 };
    s.pattern.toggleFlagForAll (s.editedStep, flags[uid - 49]);
}

void nextEditedStep (int, EditState& s, Tarvelin&)
{
    s.editedStep = (s.editedStep + 1) % s.pattern.getLength();
}

void previousEditedStep (int, EditState& s, Tarvelin&)
{
    s.editedStep = s.editedStep == 0 ? s.pattern.getLength() - 1 : s.editedStep - 1;
}

void nextVariant (int, EditState& s, Tarvelin&)
{
    auto reference = referenceRandomizer (s.pattern);
    reference.selectNextRandomVariant (s.pattern);
    s.seed = reference.getCurrentSeed();
}

void acceptAndFixVariant (int, EditState& s, Tarvelin&)
{
    auto reference = referenceRandomizer (s.pattern);
    reference.acceptAndFix (s.pattern, threshold, threshold, threshold);
    s.undoPoints += 1;
}

void clearThePattern (int, EditState& s, Tarvelin&)  { s.pattern.clearSteps (false); }

void setVisibleKeys (EditState& s, bool on)
{
    const int base = s.visibleBase();

    for (int key = base; key <= base + (base == 36 ? 12 : 11); ++key)
        s.keys[static_cast<size_t> (key)] = on;
}

void visibleKeysOff (int, EditState& s, Tarvelin&)  { setVisibleKeys (s, false); }
void visibleKeysOn (int, EditState& s, Tarvelin&)   { setVisibleKeys (s, true); }

struct CommandRow
{
    int firstUid, lastUid;
    Effect randomizer, edit, native;
};

const std::vector<CommandRow>& commandTable()
{
    static const std::vector<CommandRow> rows {
        { 0, 0, shiftKeysUp, transposeBy[0], nothing },
        { 1, 1, shiftKeysDown, transposeBy[1], nothing },
        { 2, 17, selectStepIfPlayed, selectStepIfPlayed, nothing },
        { 18, 30, toggleVisibleKey, setEditedNote, chainAtKey },
        { 31, 43, setAllNotes, setAllNotes, extendChainToKey },
        { 44, 46, toggleRandomizeSwitch, toggleEditedFlag, chooseBank },
        { 47, 47, toggleKeyOctaveDown, toggleEditedFlag, nothing },
        { 48, 48, toggleKeyOctaveUp, toggleEditedFlag, nothing },
        { 49, 53, toggleFlagForAll, toggleFlagForAll, nothing },
        { 54, 54, nextVariant, nextEditedStep, nothing },
        { 55, 55, nothing, previousEditedStep, nothing },    // no earlier variant yet
        { 56, 56, flipRandomNotes, nothing, nothing },
        { 57, 57, nothing, flipLevelEdit, nothing },
        { 58, 58, acceptAndFixVariant, nothing, nothing },
        { IntSeqPlugin::clearEvent, IntSeqPlugin::clearEvent, visibleKeysOff, clearThePattern, nothing },
        { IntSeqPlugin::clear2ndEvent, IntSeqPlugin::clear2ndEvent, visibleKeysOn, nothing, nothing }
    };

    return rows;
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

std::vector<CommandCase> everyCommandInEveryMode()
{
    std::vector<CommandCase> cases;

    for (const auto& row : commandTable())
        for (int uid = row.firstUid; uid <= row.lastUid; ++uid)
        {
            cases.push_back ({ uid, Mode::randomizer, row.randomizer });
            cases.push_back ({ uid, Mode::edit, row.edit });
            cases.push_back ({ uid, Mode::native, row.native });
            cases.push_back ({ uid, Mode::off, nothing });
        }

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
    const auto before = EditState::of (plugin);
    auto expected = before;
    GetParam().effect (GetParam().uid, expected, plugin);

    plugin.performEvent (GetParam().uid);

    EXPECT_EQ (expected.differencesFrom (EditState::of (plugin)), "");
}

INSTANTIATE_TEST_SUITE_P (PatternEngine, EditCommands, ::testing::ValuesIn (everyCommandInEveryMode()),
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

TEST_F (EditModeFixture, AStepBeyondTheLengthCannotBeEdited)
{
    enter (Mode::edit);
    plugin.performEvent (selectStep (8));

    EXPECT_EQ (plugin.getEditedStep(), 3);
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

    const auto expected = dark ({
        { selfResetState, 1.0f },
        { keyLamp (4), 1.0f }, { keyLamp (5), 1.0f }, { keyLamp (7), 1.0f },    // E, F, G
        { keyBlinking (4), 1.0f },                                              // stopped: the chain's first
        { gateLamp, 1.0f }, { gateBlinking, 1.0f },                             // bank group 0
        { thresholdsEnabled, 1.0f }
    });
    EXPECT_EQ (readLamps(), expected);

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

    const auto expected = dark ({
        { selfResetState, 1.0f },
        { keyLamp (4), 1.0f },
        { gateLamp, 1.0f },
        { accentLamp, 1.0f },
        { octaveDownLamp, 1.0f },
        { thresholdsEnabled, 1.0f },
        { IntSeqPlugin::firstStepStateId + 4, 1.0f }
    });
    EXPECT_EQ (readLamps(), expected);
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

    // Moving to another step shows its levels without writing them anywhere.
    plugin.performEvent (selectStep (1));
    EXPECT_DOUBLE_EQ (plugin.getPattern (2).getStep (1).getGateLevel(), 0.25);
    EXPECT_DOUBLE_EQ (plugin.getPattern (2).getStep (3).getGateLevel(), 0.125);
    EXPECT_FLOAT_EQ (normalised (gateLevel), 0.25f);
}

TEST_F (Lamps, RandomizerModeBlinksItsSetAndShowsTheKeySet)
{
    enter (Mode::randomizer);

    std::map<int, float> lit {
        { selfResetState, 1.0f },
        { gateLamp, 1.0f }, { accentLamp, 1.0f }, { slideLamp, 1.0f },
        { gateBlinking, 1.0f }, { accentBlinking, 1.0f }, { slideBlinking, 1.0f },
        { octaveDownBlinking, 1.0f }, { octaveUpBlinking, 1.0f },
        { randNotesLamp, 1.0f }, { randNotesBlinking, 1.0f },
        { thresholdsEnabled, 1.0f },
        { IntSeqPlugin::firstStepStateId + 3, 1.0f }
    };

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

    // Leaving the randomizer clears its blinking set.
    plugin.performEvent (IntSeqPlugin::toggleRandomizerEvent);

    for (int k = 0; k < 13; ++k)
        EXPECT_FALSE (lamp (keyBlinking (k))) << k;

    for (int id : { gateBlinking, accentBlinking, slideBlinking, octaveDownBlinking, octaveUpBlinking, randNotesBlinking })
        EXPECT_FALSE (lamp (id)) << id;

    EXPECT_TRUE (lamp (keyLamp (3)));     // back to the edited step
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
    clearAllPatterns();

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

TEST_F (Editing, WriteModeEditsThePlayingPatternWhileRunning)
{
    for (int i = 0; i < Tarvelin::numPatterns; ++i)
        fillPattern (i, 0, 1);

    plugin.performEvent (key (0));
    plugin.performEvent (keySecond (4));    // chain [0, 2]
    startSequencer();
    render (stepStartSample (1) + 10);      // pattern 1 plays
    plugin.setCurrentPattern (5);

    writeModeOn();

    EXPECT_EQ (plugin.getCurrentPatternIndex(), 1);
}

TEST_F (Editing, TheCurrentPatternFollowsThePlayingOneOutsideWriteMode)
{
    for (int i = 0; i < Tarvelin::numPatterns; ++i)
        fillPattern (i, 0, 1);

    plugin.performEvent (key (0));
    plugin.performEvent (keySecond (4));    // chain [0, 2]
    startSequencer();
    render (stepStartSample (2) + 10);

    EXPECT_EQ (plugin.getCurrentPatternIndex(), 2);
    EXPECT_EQ (plugin.getParameterManager().getValue (IntSeqPlugin::patternNumberId), 3.0f);
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

TEST_F (Editing, SelectingAShorterPatternBringsTheEditedStepInside)
{
    writeModeOn();
    plugin.performEvent (IntSeqPlugin::toggleAutoFollowModeEvent);
    plugin.performEvent (selectStep (12));
    plugin.getPattern (1).setLength (5);

    plugin.performEvent (IntSeqPlugin::nextEvent);

    EXPECT_EQ (plugin.getEditedStep(), 4);
    EXPECT_TRUE (lamp (IntSeqPlugin::firstStepStateId + 4));
}

TEST_F (Editing, ShorteningTheCurrentPatternMovesTheEditedStep)
{
    writeModeOn();
    plugin.performEvent (selectStep (10));
    plugin.performEvent (IntSeqPlugin::toggleLengthModeEvent);

    plugin.performEvent (IntSeqPlugin::setPatternLengthTo01Event + 3);

    EXPECT_EQ (plugin.getPattern (0).getLength(), 4);
    EXPECT_EQ (plugin.getEditedStep(), 3);
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

TEST_F (Editing, ClearKeepsNameLengthTempoAndShuffle)
{
    writeModeOn();
    plugin.getPattern (0) = makeEditedPattern();
    plugin.getPattern (0).setTempo (133.3);
    plugin.getPattern (0).setShuffle (40);

    plugin.performEvent (IntSeqPlugin::clearEvent);

    Pattern expected = makeEditedPattern();
    expected.clearSteps (false);
    expected.setTempo (133.3);
    expected.setShuffle (40);
    EXPECT_EQ (plugin.getPattern (0), expected);
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
    EXPECT_LT (plugin.getEditedStep(), plugin.getPattern (16).getLength());

    // And the chain plays without reading beyond the patterns.
    startSequencer();
    render (stepStartSample (40));
    EXPECT_GE (plugin.getPlayingPatternIndex(), 16);
    EXPECT_LE (plugin.getPlayingPatternIndex(), 23);
}

TEST_F (Editing, TheEditedStepFromAStateStaysInsideThePatternsLength)
{
    plugin.getPattern (0).setLength (4);
    auto sequencer = sequencerStateOf (plugin);
    sequencer->getChildByName ("EditionState")->getChildByName ("EditedStep")->setAttribute ("value", 12);

    plugin.loadInternalSequencerStateFromXml (*sequencer);

    EXPECT_EQ (plugin.getEditedStep(), 3);
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
