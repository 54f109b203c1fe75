#include "synth/PatternRandomizer.h"

#include <gtest/gtest.h>

namespace
{
constexpr std::uint32_t fixedSeed = 4242;

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

/** The first seed a generator draws: a value below 4294000000, mod 1000000, plus one. */
std::uint32_t firstSeedDrawnFrom (std::uint32_t generatorSeed)
{
    MersenneTwister generator (generatorSeed);
    std::uint32_t value = 0;

    do
        value = generator.next();
    while (value >= 4294000000u);

    return value % 1000000u + 1u;
}

/** The variant the algorithm draws from a seed over the given pitches, with every
    switch on: worked out here independently of the randomizer class. */
Pattern variantFromSeed (std::uint32_t seed, Pattern base, const std::vector<int>& candidates)
{
    MersenneTwister generator (seed);

    for (int s = 0; s < Pattern::numSteps; ++s)
    {
        std::uint32_t d = 0;

        do
            d = generator.next();
        while (d > 4294967256u);

        const auto level = [&generator] { return static_cast<float> (generator.next()) * (1.0f / 4294967296.0f); };
        const double a = level(), b = level(), c = level();
        auto& step = base.getStep (s);
        step.setAbsoluteNote (candidates[(d % 49u) % candidates.size()]);
        step.setGate (true);
        step.setGateLevel (a);
        step.setAccent (true);
        step.setAccentLevel (b);
        step.setSlide (true);
        step.setSlideLevel (c);
    }

    return base;
}

/** The pitches 24 to 72 whose pitch class is one of the given ones. */
std::vector<int> pitchesWithClasses (std::initializer_list<int> classes)
{
    std::vector<int> pitches;

    for (int p = 24; p <= 72; ++p)
        if (std::find (classes.begin(), classes.end(), p % 12) != classes.end())
            pitches.push_back (p);

    return pitches;
}

/** A randomizer with a fixed generator seed whose undo starts at a hand-made pattern. */
struct PatternRandomizerTest : public ::testing::Test
{
    void SetUp() override
    {
        randomizer.getGenerator().seed (fixedSeed);
        randomizer.resetPatternUndo (pattern);
    }

    void next()     { randomizer.selectNextRandomVariant (pattern); }

    Pattern pattern = makeHandMadePattern();
    PatternRandomizer randomizer;
};
} // namespace

TEST_F (PatternRandomizerTest, AVariantIsTheOneItsSeedDrawsOverTheKeySetOrAChordsKeys)
{
    next();

    EXPECT_EQ (randomizer.getCurrentSeed(), firstSeedDrawnFrom (fixedSeed));
    EXPECT_EQ (pattern, variantFromSeed (firstSeedDrawnFrom (fixedSeed), makeHandMadePattern(),
                                         pitchesWithClasses ({ 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 })));

    pattern = makeHandMadePattern();
    randomizer.resetPatternUndo (pattern);
    randomizer.getGenerator().seed (fixedSeed);
    randomizer.setChord (1, { 0, 7, 4 });   // major chord on C
    next();
    EXPECT_EQ (pattern, variantFromSeed (firstSeedDrawnFrom (fixedSeed), makeHandMadePattern(), pitchesWithClasses ({ 0, 4, 7 })));
}

TEST_F (PatternRandomizerTest, PrevNeedsAnEarlierSeedAndNextNextPrevShowsTheFirstVariantAndNextThenFollowsTheGenerator)
{
    EXPECT_FALSE (randomizer.selectPreviousRandomVariant (pattern));
    EXPECT_EQ (pattern, makeHandMadePattern());

    next();
    const auto firstSeed = randomizer.getCurrentSeed();
    const auto firstVariant = pattern;

    next();
    const auto secondSeed = randomizer.getCurrentSeed();
    const auto secondVariant = pattern;
    ASSERT_NE (firstSeed, secondSeed);

    ASSERT_TRUE (randomizer.selectPreviousRandomVariant (pattern));
    EXPECT_EQ (randomizer.getCurrentSeed(), firstSeed);
    EXPECT_EQ (pattern, firstVariant);

    // The generator was reseeded with the first seed, so the next draw repeats
    // the second seed: the algorithm decides, not a wish for a fresh variant.
    next();
    EXPECT_EQ (randomizer.getCurrentSeed(), secondSeed);
    EXPECT_EQ (pattern, secondVariant);
}

TEST_F (PatternRandomizerTest, WithRandomNotesOffOrNoKeyOnTheNotesAndOctavesStay)
{
    randomizer.toggleRandomNotes();
    next();
    EXPECT_EQ (pitchesOf (pattern), pitchesOf (makeHandMadePattern()));
    EXPECT_TRUE (pattern.getStep (1).isGate());  // gate is still randomized

    randomizer.toggleRandomNotes();
    randomizer.setAllKeys (false);
    next();
    EXPECT_EQ (pitchesOf (pattern), pitchesOf (makeHandMadePattern()));
}

TEST_F (PatternRandomizerTest, OnlyKeyZeroGivesPitch24Everywhere)
{
    randomizer.setAllKeys (false);
    randomizer.toggleKeyOctaveDown();
    randomizer.toggleVisibleKey (0);   // visible base 0: key 0
    ASSERT_TRUE (randomizer.isKeyOn (0));

    next();

    EXPECT_EQ (pitchesOf (pattern), std::vector<int> (16, 24));
    EXPECT_EQ (pattern.getStep (5).getNote(), 0);
    EXPECT_TRUE (pattern.getStep (5).isOctaveDown());
}

TEST_F (PatternRandomizerTest, SwitchedOffKindsKeepTheirFlagsAndLevels)
{
    randomizer.toggleRandomizeAccent();

    next();

    for (int i = 0; i < Pattern::numSteps; ++i)
    {
        EXPECT_EQ (pattern.getStep (i).isAccent(), i % 4 == 0);
        EXPECT_DOUBLE_EQ (pattern.getStep (i).getAccentLevel(), 0.25);
        EXPECT_TRUE (pattern.getStep (i).isGate());
        EXPECT_TRUE (pattern.getStep (i).isSlide());
    }
}

TEST_F (PatternRandomizerTest, UndoRestoresThePatternAsItWasThenWaitsForAccept)
{
    next();
    ASSERT_NE (pattern, makeHandMadePattern());

    randomizer.rejectRandomVariant (pattern);
    EXPECT_EQ (pattern, makeHandMadePattern());

    next();
    const auto variant = pattern;
    randomizer.rejectRandomVariant (pattern);
    EXPECT_EQ (pattern, variant);   // nothing left to undo

    randomizer.acceptRandomVariant (pattern);
    next();
    randomizer.rejectRandomVariant (pattern);
    EXPECT_EQ (pattern, variant);
}

TEST_F (PatternRandomizerTest, AVariantCommandOnAnotherPatternMovesTheBase)
{
    auto second = makeHandMadePattern();

    randomizer.selectNextRandomVariant (second);

    EXPECT_EQ (randomizer.getBasePattern(), &second);
    EXPECT_EQ (pattern, makeHandMadePattern());
    EXPECT_EQ (randomizer.getNumUndoPoints(), 1);
}

TEST_F (PatternRandomizerTest, AcceptAndFixTurnsLevelsIntoFlagsByThreshold)
{
    next();
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

//==============================================================================
// The 49-key set

TEST_F (PatternRandomizerTest, VisibleOctaveFollowsTheTwoSwitches)
{
    EXPECT_EQ (randomizer.getVisibleBase(), 12);
    randomizer.toggleKeyOctaveUp();
    EXPECT_EQ (randomizer.getVisibleBase(), 24);
    randomizer.toggleKeyOctaveDown();
    EXPECT_EQ (randomizer.getVisibleBase(), 36);
    randomizer.toggleKeyOctaveUp();
    EXPECT_EQ (randomizer.getVisibleBase(), 0);
}

TEST_F (PatternRandomizerTest, AllVisibleKeysCoverThirteenKeysOnlyInTheTopOctave)
{
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

TEST_F (PatternRandomizerTest, ShiftingKeysUpMovesTheTopKeyToKeyOneAndClearsKeyZero)
{
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

TEST_F (PatternRandomizerTest, ChordsRebuildTheKeySetAndCustomEditsAreRemembered)
{
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
