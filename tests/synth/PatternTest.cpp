#include "synth/Pattern.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <ostream>

// Readable failure messages.
void PrintTo (const PatternStep& step, std::ostream* os)
{
    *os << "note " << step.getNote() << (step.isOctaveUp() ? " up" : "") << (step.isOctaveDown() ? " down" : "")
        << (step.isGate() ? " gate" : "") << (step.isAccent() ? " accent" : "") << (step.isSlide() ? " slide" : "")
        << " levels " << step.getGateLevel() << "/" << step.getAccentLevel() << "/" << step.getSlideLevel();
}

namespace
{
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

PatternStep makeStep (int note, bool octaveUp, bool octaveDown)
{
    PatternStep step;
    step.setNote (note);
    step.setOctaveUp (octaveUp);
    step.setOctaveDown (octaveDown);
    return step;
}

// Steps told apart by their note.
Pattern makeNumberedPattern (int length)
{
    Pattern pattern;
    pattern.setLength (length);

    for (int i = 0; i < Pattern::numSteps; ++i)
        pattern.getStep (i).setNote (i);

    return pattern;
}

std::vector<int> notesOf (const Pattern& pattern)
{
    std::vector<int> notes;

    for (int i = 0; i < Pattern::numSteps; ++i)
        notes.push_back (pattern.getStep (i).getNote());

    return notes;
}

Pattern makeFullPattern()
{
    Pattern pattern;
    pattern.setName ("Acid <Line> & \"more\"");
    pattern.setLength (7);
    pattern.setShuffle (35);
    pattern.setTempo (121.5);

    for (int i = 0; i < Pattern::numSteps; ++i)
    {
        auto& step = pattern.getStep (i);
        step.setNote (i % 13);
        step.setOctaveUp (i % 2 == 0);
        step.setOctaveDown (i % 3 == 0);
        step.setGate (i % 4 != 0);
        step.setAccent (i % 5 == 0);
        step.setSlide (i % 6 == 1);
        step.setGateLevel (i / 16.0);
        step.setAccentLevel (0.125 * (i % 8));
        step.setSlideLevel (1.0 - i / 32.0);
    }

    return pattern;
}

std::unique_ptr<juce::XmlElement> parse (const char* text)
{
    return juce::parseXML (juce::String (text));
}

juce::String attributeNamesOf (const juce::XmlElement& xml)
{
    juce::StringArray names;

    for (int i = 0; i < xml.getNumAttributes(); ++i)
        names.add (xml.getAttributeName (i));

    return names.joinIntoString (" ");
}
} // namespace

//==============================================================================
// A pitch written into a step gives that note and octave row, and the step reads back the pitch it plays.
struct PitchCase { int written; int note; bool octaveUp, octaveDown; int played; };

class PatternStepPitch : public ::testing::TestWithParam<PitchCase> {};

TEST_P (PatternStepPitch, IsWrittenAsNoteAndOctaveRowAndReadBack)
{
    const auto c = GetParam();
    PatternStep step;
    step.setAbsoluteNote (c.written);

    EXPECT_EQ (step, makeStep (c.note, c.octaveUp, c.octaveDown));
    EXPECT_EQ (step.getAbsoluteNote(), c.played);
}

INSTANTIATE_TEST_SUITE_P (Table, PatternStepPitch, ::testing::Values (
    PitchCase { 24, 0, false, true, 24 }, PitchCase { 35, 11, false, true, 35 },
    PitchCase { 36, 0, false, false, 36 }, PitchCase { 50, 2, true, false, 50 },
    PitchCase { 60, 0, true, true, 60 }, PitchCase { 72, 12, true, true, 72 },
    PitchCase { 80, 12, true, true, 72 }));   // beyond the top: the upper C

//==============================================================================
struct TransposeCase { int note; bool octaveUp, octaveDown; int semitones; int newNote; bool newUp, newDown; };

class PatternStepTranspose : public ::testing::TestWithParam<TransposeCase> {};

TEST_P (PatternStepTranspose, MovesAndWrapsWithinTheRange)
{
    const auto c = GetParam();
    auto step = makeStep (c.note, c.octaveUp, c.octaveDown);
    step.transpose (c.semitones);

    EXPECT_EQ (step, makeStep (c.newNote, c.newUp, c.newDown));
}

INSTANTIATE_TEST_SUITE_P (Table, PatternStepTranspose, ::testing::Values (
    TransposeCase { 11, true,  true,  +1, 12, true,  true  },  // 71 -> 72, the top, as an upper C
    TransposeCase { 12, true,  true,  +1, 1,  false, true  },  // 72 -> 25, wrapped
    TransposeCase { 12, false, false, -1, 11, false, false },  // 48 -> 47
    TransposeCase { 0,  false, true,  -1, 11, true,  true  },  // 24 -> 71, wrapped
    TransposeCase { 1,  false, false, -1, 0,  false, false },  // 37 -> 36, a lower C going down
    TransposeCase { 12, true,  true,  0,  12, true,  true  }   // 72 stays 72
));

//==============================================================================
TEST (PatternStep, EditCommandsAddressFlagsZeroToFourAndLevelsFiveToSevenAndNothingElseAndNoNumberThatIsNotFinite)
{
    PatternStep step;

    for (int i = -1; i <= 5; ++i)
        step.toggleFlag (i);

    step.setLevel (5, 0.25f);
    step.setLevel (6, 0.5f);
    step.setLevel (7, 0.75f);
    step.setLevel (4, 1.0f);
    step.setLevel (8, 1.0f);
    step.setLevel (5, std::numeric_limits<float>::infinity());
    step.setSlideLevel (notANumber);

    EXPECT_TRUE (step.isOctaveUp() && step.isOctaveDown() && step.isGate() && step.isAccent() && step.isSlide());
    EXPECT_EQ (step.getGateLevel(), 0.25);
    EXPECT_EQ (step.getAccentLevel(), 0.5);
    EXPECT_EQ (step.getSlideLevel(), 0.75);
}

TEST (PatternStep, XmlHasItsAttributesInOrderWithLevelsRoundedToTheNearestMillionthTiesToEven)
{
    auto step = makeStep (5, true, false);
    step.setGateLevel (0.1234565);    // a tie in double: 123456.5 millionths
    step.setAccentLevel (0.0000035);  // 3.5 millionths
    step.setSlideLevel (1.0 / 3.0);

    const auto xml = step.createXml();

    EXPECT_EQ (xml->getTagName(), "Step");
    EXPECT_EQ (attributeNamesOf (*xml), "note octaveUp octaveDown gate accent slide gateLevel accentLevel slideLevel");
    EXPECT_EQ (xml->getStringAttribute ("octaveUp") + xml->getStringAttribute ("octaveDown"), "10");
    EXPECT_EQ (xml->getDoubleAttribute ("gateLevel"), 0.123456);
    EXPECT_EQ (xml->getDoubleAttribute ("accentLevel"), 0.000004);
    EXPECT_EQ (xml->getDoubleAttribute ("slideLevel"), 0.333333);
}

TEST (PatternStep, ValuesReadFromXmlAreLimitedToTheirRangeAndBooleansTrueOnlyWhenBeginningWithOneTOrY)
{
    PatternStep step;
    step.loadFromXml (*parse ("<Step note=\"40\" gateLevel=\"1.7\" accentLevel=\"-0.5\" slideLevel=\"nan\""
                              " gate=\"true\" accent=\" yes\" slide=\"2\" octaveUp=\"Y\" octaveDown=\"no\"/>"));

    EXPECT_TRUE (step.isGate() && step.isAccent() && step.isOctaveUp());
    EXPECT_FALSE (step.isSlide() || step.isOctaveDown());

    EXPECT_EQ (step.getNote(), 12);
    EXPECT_EQ (step.getGateLevel(), 1.0);
    EXPECT_EQ (step.getAccentLevel(), 0.0);
    EXPECT_EQ (step.getSlideLevel(), 0.0);

    // A negative or huge note reads as the nearer end.
    step.loadFromXml (*parse ("<Step note=\"-3\"/>"));
    EXPECT_EQ (step.getNote(), 0);
    step.loadFromXml (*parse ("<Step note=\"4294967297\"/>"));
    EXPECT_EQ (step.getNote(), 12);
}

TEST (PatternStep, MissingAttributesReadAsDefaultsAndAnotherElementChangesNothing)
{
    auto step = makeStep (9, true, false);
    step.loadFromXml (*parse ("<Note note=\"3\" gate=\"1\"/>"));
    EXPECT_EQ (step, makeStep (9, true, false));

    step.setGateLevel (0.5);
    step.loadFromXml (*parse ("<Step/>"));
    EXPECT_EQ (step, PatternStep (false));
}

//==============================================================================
struct TempoCase { double given, stored; };

class PatternTempo : public ::testing::TestWithParam<TempoCase> {};

TEST_P (PatternTempo, IsLimitedThenRoundedToATenth)
{
    Pattern pattern;
    pattern.setTempo (GetParam().given);
    EXPECT_DOUBLE_EQ (pattern.getTempo(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P (Table, PatternTempo, ::testing::Values (
    TempoCase { 29.96, 30.0 }, TempoCase { 123.456, 123.5 }, TempoCase { 121.25, 121.3 },
    TempoCase { 1000.0, 300.0 }, TempoCase { infinity, 300.0 },
    TempoCase { notANumber, 120.0 }));   // refused

TEST (Pattern, LengthAndShuffleAreLimited)
{
    Pattern low, high;
    low.setLength (0);
    low.setShuffle (-5);
    high.setLength (40);
    high.setShuffle (101);

    EXPECT_EQ (std::make_pair (low.getLength(), low.getShuffle()), std::make_pair (1, 0));
    EXPECT_EQ (std::make_pair (high.getLength(), high.getShuffle()), std::make_pair (16, 100));
}

TEST (Pattern, RotationMovesOnlyThePlayedStepsAndWrapsAround)
{
    const std::vector<int> leftByOne { 1, 2, 3, 0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 };
    const std::vector<int> rightByOne { 3, 0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 };
    const std::pair<std::function<void (Pattern&)>, std::vector<int>> table[] = {
        { [] (Pattern& p) { p.rotateLeft (1); }, leftByOne },
        { [] (Pattern& p) { p.rotateLeft (5); }, leftByOne },
        { [] (Pattern& p) { p.rotateRight (1); }, rightByOne },
        { [] (Pattern& p) { p.rotateLeft (-1); }, rightByOne },
    };

    for (const auto& [rotate, expected] : table)
    {
        auto pattern = makeNumberedPattern (4);
        rotate (pattern);
        EXPECT_EQ (notesOf (pattern), expected);
    }
}

TEST (Pattern, ClearStepsKeepsNameLengthShuffleAndTempo)
{
    auto pattern = makeFullPattern();
    pattern.clearSteps (true);

    EXPECT_EQ (pattern.getName(), makeFullPattern().getName());
    EXPECT_EQ (pattern.getLength(), 7);
    EXPECT_EQ (pattern.getShuffle(), 35);
    EXPECT_EQ (pattern.getTempo(), 121.5);

    for (int i = 0; i < Pattern::numSteps; ++i)
        EXPECT_EQ (pattern.getStep (i), PatternStep (true));
}

TEST (Pattern, TransposeSetAllNotesAndToggleFlagForAllReachAllSixteenSteps)
{
    auto transposed = makeNumberedPattern (2);
    transposed.transpose (1);

    auto sameNote = makeFullPattern();
    sameNote.getStep (3).setOctaveUp (true);
    sameNote.getStep (3).setOctaveDown (false);
    sameNote.setAllNotes (3, 5);    // note and octaves of step 3, the other fields stay

    auto toggled = makeFullPattern();
    ASSERT_TRUE (toggled.getStep (0).isAccent());
    toggled.toggleFlagForAll (0, 3);

    for (int i = 0; i < Pattern::numSteps; ++i)
    {
        EXPECT_EQ (transposed.getStep (i).getAbsoluteNote(), 37 + i) << i;
        EXPECT_EQ (sameNote.getStep (i).getAbsoluteNote(), 53) << i;
        EXPECT_EQ (sameNote.getStep (i).isAccent(), makeFullPattern().getStep (i).isAccent()) << i;
        EXPECT_FALSE (toggled.getStep (i).isAccent()) << i;
    }
}

TEST (Pattern, StepIndexOutsideTheSixteenChangesNothing)
{
    auto pattern = makeFullPattern();
    pattern.setStep (16, PatternStep (true));
    pattern.setStep (-1, PatternStep (true));
    pattern.setAllNotes (20, 3);
    pattern.toggleFlagForAll (-4, 2);

    EXPECT_EQ (pattern, makeFullPattern());
}

//==============================================================================
TEST (PatternXml, AttributesInOrderAndOneStepPerPlayedStepRoundTripThroughText)
{
    const auto original = makeFullPattern();
    juce::XmlElement xml ("Pattern");
    original.saveToXml (xml);

    EXPECT_EQ (attributeNamesOf (xml), "name length shuffle tempo");
    EXPECT_EQ (xml.getNumChildElements(), 7);

    const auto reread = juce::parseXML (xml.toString());
    ASSERT_NE (reread, nullptr);
    Pattern loaded;
    loaded.loadFromXml (*reread);

    auto expected = original;
    for (int i = original.getLength(); i < Pattern::numSteps; ++i)
        expected.getStep (i).clear(); // steps beyond the length are not saved

    EXPECT_EQ (loaded, expected);   // numbers compared, not their text
}

TEST (PatternXml, ReadingReplacesEverythingAndTakesOnlyAsManyStepChildrenAsTheLength)
{
    auto pattern = makeFullPattern();
    pattern.loadFromXml (*parse ("<Pattern length=\"3\">"
                                 "<Step note=\"1\" gate=\"1\"/><Step note=\"2\" gate=\"1\"/><Step note=\"3\" gate=\"1\"/>"
                                 "<Step note=\"4\" gate=\"1\"/><Step note=\"5\" gate=\"1\"/></Pattern>"));

    EXPECT_EQ (pattern.getName(), "");
    EXPECT_EQ (notesOf (pattern), (std::vector<int> { 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }));

    for (int i = 3; i < Pattern::numSteps; ++i)
        EXPECT_EQ (pattern.getStep (i), PatternStep (false)) << i;

    // Other children are skipped without using a step; the tag is read ignoring case.
    pattern.loadFromXml (*parse ("<Pattern length=\"2\"><Comment/><step note=\"7\"/><Note note=\"9\"/><STEP note=\"8\"/></Pattern>"));
    EXPECT_EQ (pattern.getStep (0).getNote(), 7);
    EXPECT_EQ (pattern.getStep (1).getNote(), 8);
}

struct DamagedPatternCase { const char* text; int length, shuffle; double tempo; };

class PatternXmlDamaged : public ::testing::TestWithParam<DamagedPatternCase> {};

TEST_P (PatternXmlDamaged, ValuesAreLimitedOrTakenAsMissing)
{
    auto pattern = makeFullPattern();
    pattern.loadFromXml (*parse (GetParam().text));

    EXPECT_EQ (pattern.getLength(), GetParam().length);
    EXPECT_EQ (pattern.getShuffle(), GetParam().shuffle);
    EXPECT_DOUBLE_EQ (pattern.getTempo(), GetParam().tempo);
}

INSTANTIATE_TEST_SUITE_P (Table, PatternXmlDamaged, ::testing::Values (
    DamagedPatternCase { "<Pattern length=\"99\" shuffle=\"500\" tempo=\"1000\"/>", 16, 100, 300.0 },
    DamagedPatternCase { "<Pattern length=\"-4\" shuffle=\"-1\" tempo=\"3\"/>", 1, 0, 30.0 },
    DamagedPatternCase { "<Pattern length=\"abc\" tempo=\"nan\"/>", 1, 0, 120.0 },
    DamagedPatternCase { "<Pattern length=\"99999999999\" tempo=\"inf\"/>", 16, 0, 120.0 },
    DamagedPatternCase { "<Pattern tempo=\"77.77\"/>", 16, 0, 77.8 },
    DamagedPatternCase { "<Pattern/>", 16, 0, 120.0 }));
