#include "framework/PresetTags.h"

#include <gtest/gtest.h>

TEST (PresetTags, KeysKeepTheirValuesSplitAtTheFirstColonAndTheTextAndCopiesReadBack)
{
    const juce::String text ("style:acid|techno;mood:;time:12:30");
    PresetTags tags (text);

    ASSERT_EQ (tags.getNumKeys(), 3);
    EXPECT_EQ (tags.getKey (0), "style");
    EXPECT_EQ (tags.getValues (0), juce::StringArray ({ "acid", "techno" }));
    EXPECT_EQ (tags.getKey (1), "mood");
    EXPECT_TRUE (tags.getValues (1).isEmpty());
    EXPECT_EQ (tags.getValues (2), juce::StringArray ({ "12:30" }));
    EXPECT_EQ (tags.getKey (-1) + tags.getKey (3), "");
    EXPECT_TRUE (tags.getValues (5).isEmpty());

    const PresetTags copy (tags);
    PresetTags assigned;
    assigned = tags;
    tags.add ("mood", { "dark" });
    EXPECT_EQ (copy.toString(), text);
    EXPECT_EQ (assigned.toString(), text);
}

TEST (PresetTags, APieceWithoutColonOrAnEmptyPieceIsAnEntryUnderAnEmptyKey)
{
    EXPECT_TRUE (PresetTags ("").isEmpty());
    EXPECT_EQ (PresetTags ("x").toString(), ":x");

    // Between two separators and after a trailing one an empty entry remains.
    EXPECT_EQ (PresetTags ("a:1;;b:2|;").toString(), "a:1;:;b:2|;:");
}

TEST (PresetTags, RunsOfSeparatorsGiveOneEmptyPieceBetweenEveryTwo)
{
    const PresetTags entries (juce::String::repeatedString (";", 3000));
    ASSERT_EQ (entries.getNumKeys(), 3001);
    EXPECT_EQ (entries.getKey (3000), "");
    EXPECT_TRUE (entries.getValues (1500).isEmpty());
    EXPECT_EQ (entries.toString(), ":" + juce::String::repeatedString (";:", 3000));

    const PresetTags values ("k:" + juce::String::repeatedString ("|", 3000) + "z;m:|");
    ASSERT_EQ (values.getNumKeys(), 2);
    ASSERT_EQ (values.getValues (0).size(), 3001);
    EXPECT_EQ (values.getValues (0)[3000], "z");
    EXPECT_EQ (values.getValues (0)[2999], "");
    EXPECT_EQ (values.getValues (1), juce::StringArray ({ "", "" }));
}
