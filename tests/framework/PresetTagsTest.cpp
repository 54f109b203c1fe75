#include "framework/PresetTags.h"

#include <gtest/gtest.h>

TEST (PresetTags, KeysKeepTheirValuesSplitAtTheFirstColonAndTheTextReadsBack)
{
    const juce::String text ("style:acid|techno;mood:;time:12:30");
    const PresetTags tags (text);

    ASSERT_EQ (tags.getNumKeys(), 3);
    EXPECT_EQ (tags.getKey (0), "style");
    EXPECT_EQ (tags.getValues (0), juce::StringArray ({ "acid", "techno" }));
    EXPECT_EQ (tags.getKey (1), "mood");
    EXPECT_TRUE (tags.getValues (1).isEmpty());
    EXPECT_EQ (tags.getValues (2), juce::StringArray ({ "12:30" }));
    EXPECT_EQ (tags.toString(), text);

    EXPECT_EQ (tags.getKey (-1), "");
    EXPECT_EQ (tags.getKey (3), "");
    EXPECT_TRUE (tags.getValues (5).isEmpty());
}

TEST (PresetTags, APieceWithoutColonOrAnEmptyPieceIsAnEntryUnderAnEmptyKey)
{
    EXPECT_TRUE (PresetTags ("").isEmpty());
    EXPECT_EQ (PresetTags ("x").toString(), ":x");

    // Between two separators and after a trailing one an empty entry remains.
    EXPECT_EQ (PresetTags ("a:1;;b:2|;").toString(), "a:1;:;b:2|;:");
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
}
