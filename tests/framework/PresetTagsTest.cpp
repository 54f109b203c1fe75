#include "framework/PresetTags.h"

#include <gtest/gtest.h>

TEST (PresetTags, ParsesKeysEachWithTheirValues)
{
    const PresetTags tags ("style:acid|techno;mood:dark");

    ASSERT_EQ (tags.getNumKeys(), 2);
    EXPECT_EQ (tags.getKey (0), "style");
    EXPECT_EQ (tags.getValues (0), juce::StringArray ({ "acid", "techno" }));
    EXPECT_EQ (tags.getKey (1), "mood");
    EXPECT_EQ (tags.getValues (1), juce::StringArray ({ "dark" }));
}

TEST (PresetTags, AKeyWithoutValuesKeepsItsEntry)
{
    const PresetTags tags ("a:1|2;b:");

    ASSERT_EQ (tags.getNumKeys(), 2);
    EXPECT_EQ (tags.getValues (0), juce::StringArray ({ "1", "2" }));
    EXPECT_EQ (tags.getKey (1), "b");
    EXPECT_TRUE (tags.getValues (1).isEmpty());
    EXPECT_EQ (tags.toString(), "a:1|2;b:");
}

TEST (PresetTags, APieceWithoutColonIsAValueUnderAnEmptyKey)
{
    const PresetTags tags ("x");

    ASSERT_EQ (tags.getNumKeys(), 1);
    EXPECT_EQ (tags.getKey (0), "");
    EXPECT_EQ (tags.getValues (0), juce::StringArray ({ "x" }));
    EXPECT_EQ (tags.toString(), ":x");
}

TEST (PresetTags, EmptyTextHasNoEntriesButEmptyPiecesCount)
{
    EXPECT_TRUE (PresetTags ("").isEmpty());
    EXPECT_EQ (PresetTags ("").toString(), "");

    // Between two separators and after a trailing one an empty entry remains.
    const PresetTags tags ("a:1;;b:2|;");
    ASSERT_EQ (tags.getNumKeys(), 4);
    EXPECT_EQ (tags.getValues (2), juce::StringArray ({ "2", "" }));
    EXPECT_EQ (tags.toString(), "a:1;:;b:2|;:");
}

TEST (PresetTags, OnlyTheFirstColonSeparatesTheKeyAndIndicesOutsideGiveNothing)
{
    const PresetTags tags ("time:12:30");

    EXPECT_EQ (tags.getKey (0), "time");
    EXPECT_EQ (tags.getValues (0), juce::StringArray ({ "12:30" }));

    // Indices outside the keys give empty results.
    EXPECT_EQ (tags.getKey (-1), "");
    EXPECT_EQ (tags.getKey (1), "");
    EXPECT_TRUE (tags.getValues (5).isEmpty());
}

TEST (PresetTags, CopiesAreIndependent)
{
    PresetTags original ("style:acid");
    PresetTags copy (original);
    PresetTags assigned;
    assigned = original;

    original.add ("mood", { "dark" });

    EXPECT_EQ (copy.toString(), "style:acid");
    EXPECT_EQ (assigned.toString(), "style:acid");
    EXPECT_EQ (original.toString(), "style:acid;mood:dark");
}
