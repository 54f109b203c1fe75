#pragma once

#include <juce_core/juce_core.h>

/*  MIDI note names as the instrument shows them: three characters, the letter,
    "-" for a natural or "#" for a sharp, and the octave ("0" to "9", then "H"
    for octave 10). Note 0 is "C-0", 60 is "C-5" and 127 is "G-H".
*/

/** The three-character name of a note 0..127; empty for any other number. */
juce::String getNoteName (int note);

/** "C" to "B"; a sharp takes the letter of the natural below it. Empty for a negative note. */
juce::String getNoteLetter (int note);

bool isNaturalNote (int note);
bool isSharpNote (int note);

/** note / 12, truncating. */
int getNoteOctave (int note);

/** "0" to "9" for octaves 0 to 9, "H" for octave 10, otherwise empty. */
juce::String getNoteOctaveText (int note);

/** Position 0..6 of the note's letter in C D E F G A B. */
int getNoteLetterIndex (int note);

/** The reverse of getNoteName, or -1 for any text it does not accept. */
int getNoteNumberFromName (const juce::String& text);
