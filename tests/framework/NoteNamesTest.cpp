#include "framework/NoteNames.h"

#include <gtest/gtest.h>

TEST (NoteNames, NamesHaveLetterAccidentalAndOctaveOnlyInsideTheMidiRange)
{
    EXPECT_EQ (getNoteName (0), "C-0");
    EXPECT_EQ (getNoteName (1), "C#0");
    EXPECT_EQ (getNoteName (119), "B-9");
    EXPECT_EQ (getNoteName (120), "C-H");
    EXPECT_EQ (getNoteName (127), "G-H");
    EXPECT_EQ (getNoteName (128), "");
    EXPECT_EQ (getNoteName (-1), "");
}

TEST (NoteNames, EveryNameReadsBackToItsNote)
{
    for (int note = 0; note < 128; ++note)
        EXPECT_EQ (getNoteNumberFromName (getNoteName (note)), note) << note;
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
    EXPECT_EQ (getNoteOctaveText (132), "");
    EXPECT_EQ (getNoteOctaveText (-12), "");
    EXPECT_EQ (getNoteLetterIndex (66), 3);  // F# takes F
    EXPECT_EQ (getNoteLetterIndex (71), 6);
    EXPECT_EQ (getNoteLetterIndex (-3), 0);
}

TEST (NoteNames, NaturalAndSharpNotesSplitTheOctave)
{
    const bool naturals[12] = { true, false, true, false, true, true, false, true, false, true, false, true };

    for (int i = 0; i < 12; ++i)
    {
        EXPECT_EQ (isNaturalNote (48 + i), naturals[i]) << i;
        EXPECT_EQ (isSharpNote (48 + i), ! naturals[i]) << i;
    }

    EXPECT_FALSE (isNaturalNote (-2));
    EXPECT_FALSE (isSharpNote (-1));
}
