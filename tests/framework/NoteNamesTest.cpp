#include "framework/NoteNames.h"

#include <gtest/gtest.h>

TEST (NoteNames, NamesHaveLetterAccidentalAndOctaveOnlyInsideTheMidiRangeAndReadBack)
{
    EXPECT_EQ (getNoteName (0), "C-0");
    EXPECT_EQ (getNoteName (1), "C#0");
    EXPECT_EQ (getNoteName (119), "B-9");
    EXPECT_EQ (getNoteName (120), "C-H");
    EXPECT_EQ (getNoteName (127), "G-H");
    EXPECT_EQ (getNoteName (128) + getNoteName (-1), "");

    const juce::String naturals ("101011010101");   // C C# D D# E F F# G G# A A# B

    for (int note = 0; note < 128; ++note)
    {
        EXPECT_EQ (getNoteNumberFromName (getNoteName (note)), note) << note;
        EXPECT_EQ (isNaturalNote (note), naturals[note % 12] == '1') << note;
        EXPECT_EQ (isSharpNote (note), naturals[note % 12] == '0') << note;
    }

    EXPECT_FALSE (isNaturalNote (-2) || isSharpNote (-1));
}

TEST (NoteNames, ParsingFollowsTheThreeCharacterRules)
{
    EXPECT_EQ (getNoteNumberFromName ("E#4"), 52);   // E sharp is E
    EXPECT_EQ (getNoteNumberFromName ("B#0"), 11);   // B sharp is B
    EXPECT_EQ (getNoteNumberFromName ("B-H"), 127);  // limited to 127

    EXPECT_EQ (getNoteNumberFromName ("c-5"), -1);   // lower case letter
    EXPECT_EQ (getNoteNumberFromName ("C 5"), -1);   // no accidental
    EXPECT_EQ (getNoteNumberFromName ("C-X"), -1);   // bad octave
    EXPECT_EQ (getNoteNumberFromName ("C-10"), -1);  // four characters
}

TEST (NoteNames, LettersOctavesAndIndices)
{
    EXPECT_EQ (getNoteLetter (61), "C");
    EXPECT_EQ (getNoteLetter (71), "B");
    EXPECT_EQ (getNoteLetter (-1), "");
    EXPECT_EQ (getNoteOctaveText (125), "H");
    EXPECT_EQ (getNoteOctaveText (132) + getNoteOctaveText (-12), "");
    EXPECT_EQ (getNoteLetterIndex (66), 3);  // F# takes F
    EXPECT_EQ (getNoteLetterIndex (71), 6);
    EXPECT_EQ (getNoteLetterIndex (-3), 0);
}
