#include "synth/PatternRandomizer.h"

#include <gtest/gtest.h>

namespace
{
Pattern makeHandMadePattern()
{
    Pattern pattern;

    for (int i = 0; i < Pattern::numSteps; ++i)
    {
        auto& step = pattern.getStep (i);
        step.setNote (i % 12);
        step.setGate (i % 2 == 0);
        step.setAccent (i % 4 == 0);
        step.setAccentLevel (0.25);
        step.setOctaveUp (i == 3);
    }

    return pattern;
}

std::vector<int> pitchesOf (const Pattern& pattern)
{
    std::vector<int> pitches;

    for (int i = 0; i < Pattern::numSteps; ++i)
        pitches.push_back (pattern.getStep (i).getAbsoluteNote());

    return pitches;
}
} // namespace

TEST (PatternRandomizer, AVariantIsReproducibleFromTheSameGeneratorState)
{
    Pattern first, second;
    PatternRandomizer a, b;
    a.resetPatternUndo (first);
    b.resetPatternUndo (second);

    a.selectNextRandomVariant (first);
    b.selectNextRandomVariant (second);

    EXPECT_NE (a.getCurrentSeed(), 0u);
    EXPECT_EQ (a.getCurrentSeed(), b.getCurrentSeed());
    EXPECT_EQ (first, second);
}

TEST (PatternRandomizer, SeedsLieBetweenOneAndAMillion)
{
    Pattern pattern;
    PatternRandomizer randomizer;
    randomizer.getGenerator().seed (987654u);
    randomizer.resetPatternUndo (pattern);

    for (int i = 0; i < 200; ++i)
    {
        randomizer.selectNextRandomVariant (pattern);
        EXPECT_GE (randomizer.getCurrentSeed(), 1u);
        EXPECT_LE (randomizer.getCurrentSeed(), 1000000u);
    }
}

TEST (PatternRandomizer, PrevWithoutEarlierSeedsChangesNothing)
{
    auto pattern = makeHandMadePattern();
    const auto before = pattern;
    PatternRandomizer randomizer;
    randomizer.resetPatternUndo (pattern);

    EXPECT_FALSE (randomizer.selectPreviousRandomVariant (pattern));
    EXPECT_EQ (pattern, before);
}

TEST (PatternRandomizer, NextNextPrevShowsTheFirstVariantAndNextThenFollowsTheGenerator)
{
    Pattern pattern;
    PatternRandomizer randomizer;
    randomizer.resetPatternUndo (pattern);

    randomizer.selectNextRandomVariant (pattern);
    const auto firstSeed = randomizer.getCurrentSeed();
    const auto firstVariant = pattern;

    randomizer.selectNextRandomVariant (pattern);
    const auto secondSeed = randomizer.getCurrentSeed();
    const auto secondVariant = pattern;
    ASSERT_NE (firstSeed, secondSeed);

    ASSERT_TRUE (randomizer.selectPreviousRandomVariant (pattern));
    EXPECT_EQ (randomizer.getCurrentSeed(), firstSeed);
    EXPECT_EQ (pattern, firstVariant);

    // The generator was reseeded with the first seed, so the next draw repeats
    // the second seed: the algorithm decides, not a wish for a fresh variant.
    randomizer.selectNextRandomVariant (pattern);
    EXPECT_EQ (randomizer.getCurrentSeed(), secondSeed);
    EXPECT_EQ (pattern, secondVariant);
}

TEST (PatternRandomizer, RandomNotesOffKeepsNotesAndOctaves)
{
    auto pattern = makeHandMadePattern();
    const auto pitches = pitchesOf (pattern);
    PatternRandomizer randomizer;
    randomizer.toggleRandomNotes();
    randomizer.resetPatternUndo (pattern);

    randomizer.selectNextRandomVariant (pattern);
    EXPECT_EQ (pitchesOf (pattern), pitches);
    EXPECT_TRUE (pattern.getStep (1).isGate());  // gate is still randomized
}

TEST (PatternRandomizer, NoEnabledKeysKeepsTheNotes)
{
    auto pattern = makeHandMadePattern();
    const auto pitches = pitchesOf (pattern);
    PatternRandomizer randomizer;
    randomizer.setAllKeys (false);
    randomizer.resetPatternUndo (pattern);

    randomizer.selectNextRandomVariant (pattern);
    EXPECT_EQ (pitchesOf (pattern), pitches);
}

TEST (PatternRandomizer, OnlyKeyZeroGivesPitch24Everywhere)
{
    Pattern pattern;
    PatternRandomizer randomizer;
    randomizer.setAllKeys (false);
    randomizer.toggleKeyOctaveDown();
    randomizer.toggleVisibleKey (0);   // visible base 0: key 0
    ASSERT_TRUE (randomizer.isKeyOn (0));
    randomizer.resetPatternUndo (pattern);

    randomizer.selectNextRandomVariant (pattern);
    EXPECT_EQ (pitchesOf (pattern), std::vector<int> (16, 24));
    EXPECT_EQ (pattern.getStep (5).getNote(), 0);
    EXPECT_TRUE (pattern.getStep (5).isOctaveDown());
}

TEST (PatternRandomizer, NotesAreDrawnFromTheEnabledKeysOnly)
{
    Pattern pattern;
    PatternRandomizer randomizer;
    randomizer.setChord (1, { 0, 7, 4 });   // major chord on C
    randomizer.resetPatternUndo (pattern);

    for (int variant = 0; variant < 20; ++variant)
    {
        randomizer.selectNextRandomVariant (pattern);

        for (const auto pitch : pitchesOf (pattern))
        {
            const auto pitchClass = pitch % 12;
            EXPECT_TRUE (pitchClass == 0 || pitchClass == 4 || pitchClass == 7) << pitch;
        }
    }
}

TEST (PatternRandomizer, SwitchedOffKindsKeepTheirFlagsAndLevels)
{
    auto pattern = makeHandMadePattern();
    PatternRandomizer randomizer;
    randomizer.toggleRandomizeAccent();
    randomizer.resetPatternUndo (pattern);

    randomizer.selectNextRandomVariant (pattern);

    for (int i = 0; i < Pattern::numSteps; ++i)
    {
        EXPECT_EQ (pattern.getStep (i).isAccent(), i % 4 == 0);
        EXPECT_DOUBLE_EQ (pattern.getStep (i).getAccentLevel(), 0.25);
        EXPECT_TRUE (pattern.getStep (i).isGate());
        EXPECT_TRUE (pattern.getStep (i).isSlide());
    }
}

TEST (PatternRandomizer, LevelsLieInTheUnitRange)
{
    Pattern pattern;
    PatternRandomizer randomizer;
    randomizer.resetPatternUndo (pattern);
    randomizer.selectNextRandomVariant (pattern);

    for (int i = 0; i < Pattern::numSteps; ++i)
        for (int level = 5; level <= 7; ++level)
        {
            EXPECT_GE (pattern.getStep (i).getLevel (level), 0.0);
            EXPECT_LE (pattern.getStep (i).getLevel (level), 1.0);
        }
}

TEST (PatternRandomizer, UndoRestoresThePatternAsItWasThenWaitsForAccept)
{
    auto pattern = makeHandMadePattern();
    const auto original = pattern;
    PatternRandomizer randomizer;
    randomizer.resetPatternUndo (pattern);
    randomizer.selectNextRandomVariant (pattern);
    ASSERT_NE (pattern, original);

    randomizer.rejectRandomVariant (pattern);
    EXPECT_EQ (pattern, original);

    randomizer.selectNextRandomVariant (pattern);
    const auto variant = pattern;
    randomizer.rejectRandomVariant (pattern);
    EXPECT_EQ (pattern, variant);   // nothing left to undo

    randomizer.acceptRandomVariant (pattern);
    randomizer.selectNextRandomVariant (pattern);
    randomizer.rejectRandomVariant (pattern);
    EXPECT_EQ (pattern, variant);
}

TEST (PatternRandomizer, AVariantCommandOnAnotherPatternMovesTheBase)
{
    Pattern first = makeHandMadePattern(), second = makeHandMadePattern();
    const auto untouched = first;
    PatternRandomizer randomizer;
    randomizer.resetPatternUndo (first);

    randomizer.selectNextRandomVariant (second);
    EXPECT_EQ (randomizer.getBasePattern(), &second);
    EXPECT_EQ (first, untouched);
    EXPECT_EQ (randomizer.getNumUndoPoints(), 1);
}

TEST (PatternRandomizer, AcceptAndFixTurnsLevelsIntoFlagsByThreshold)
{
    Pattern pattern;
    PatternRandomizer randomizer;
    randomizer.resetPatternUndo (pattern);
    randomizer.selectNextRandomVariant (pattern);
    const auto variant = pattern;

    randomizer.acceptAndFix (pattern, 0.5, 0.0, 1.0);

    for (int i = 0; i < Pattern::numSteps; ++i)
    {
        const auto& before = variant.getStep (i);
        const auto& after = pattern.getStep (i);
        EXPECT_EQ (after.isGate(), 0.5 >= before.getGateLevel()) << i;
        EXPECT_EQ (after.isAccent(), 0.0 >= before.getAccentLevel()) << i;
        EXPECT_TRUE (after.isSlide());
        EXPECT_EQ (after.getGateLevel(), 0.0);
        EXPECT_EQ (after.getSlideLevel(), 0.0);
    }

    // The undo point is the variant before fixing.
    randomizer.rejectRandomVariant (pattern);
    EXPECT_EQ (pattern, variant);
}

TEST (PatternRandomizer, VisibleOctaveFollowsTheTwoSwitches)
{
    PatternRandomizer randomizer;
    EXPECT_EQ (randomizer.getVisibleBase(), 12);
    randomizer.toggleKeyOctaveUp();
    EXPECT_EQ (randomizer.getVisibleBase(), 24);
    randomizer.toggleKeyOctaveDown();
    EXPECT_EQ (randomizer.getVisibleBase(), 36);
    randomizer.toggleKeyOctaveUp();
    EXPECT_EQ (randomizer.getVisibleBase(), 0);
}

TEST (PatternRandomizer, AllVisibleKeysCoverThirteenKeysOnlyInTheTopOctave)
{
    PatternRandomizer randomizer;
    randomizer.setVisibleKeys (false);
    EXPECT_FALSE (randomizer.isKeyOn (12));
    EXPECT_FALSE (randomizer.isKeyOn (23));
    EXPECT_TRUE (randomizer.isKeyOn (24));

    randomizer.toggleKeyOctaveUp();
    randomizer.toggleKeyOctaveDown();
    randomizer.setVisibleKeys (false);
    EXPECT_FALSE (randomizer.isKeyOn (36));
    EXPECT_FALSE (randomizer.isKeyOn (48));
}

TEST (PatternRandomizer, ShiftingKeysUpMovesTheTopKeyToKeyOneAndClearsKeyZero)
{
    PatternRandomizer randomizer;
    randomizer.setAllKeys (false);
    randomizer.toggleKeyOctaveUp();
    randomizer.toggleKeyOctaveDown();
    randomizer.toggleVisibleKey (12);        // key 48
    randomizer.toggleKeyOctaveUp();
    randomizer.toggleVisibleKey (0);         // key 0
    randomizer.toggleVisibleKey (5);         // key 5

    randomizer.shiftKeysUp();
    EXPECT_FALSE (randomizer.isKeyOn (0));
    EXPECT_TRUE (randomizer.isKeyOn (1));
    EXPECT_TRUE (randomizer.isKeyOn (6));
    EXPECT_FALSE (randomizer.isKeyOn (48));

    randomizer.shiftKeysDown();
    EXPECT_TRUE (randomizer.isKeyOn (0));
    EXPECT_TRUE (randomizer.isKeyOn (5));
    EXPECT_FALSE (randomizer.isKeyOn (48));
}

TEST (PatternRandomizer, ChordsRebuildTheKeySetAndCustomEditsAreRemembered)
{
    PatternRandomizer randomizer;
    randomizer.toggleVisibleKey (1);          // key 13 off in the custom chord
    EXPECT_FALSE (randomizer.isCustomChordKeyOn (13));

    randomizer.setChord (2, { 0, 7, 3 });     // minor
    for (int key = 0; key < PatternRandomizer::numKeys; ++key)
    {
        const auto pitchClass = key % 12;
        const bool expected = key == 48 || pitchClass == 0 || pitchClass == 7 || pitchClass == 3;
        EXPECT_EQ (randomizer.isKeyOn (key), expected) << key;
    }

    randomizer.toggleVisibleKey (1);          // edits under a chord leave the custom chord alone
    EXPECT_FALSE (randomizer.isCustomChordKeyOn (13));

    randomizer.setChord (0, {});
    EXPECT_FALSE (randomizer.isKeyOn (13));
    EXPECT_TRUE (randomizer.isKeyOn (14));
}
