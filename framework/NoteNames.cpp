#include "framework/NoteNames.h"

namespace
{
// Remainder of truncating division, so negative notes give negative remainders.
int noteInOctave (int note) { return note % 12; }
} // namespace

juce::String getNoteName (int note)
{
    if (note < 0 || note > 127)
        return {};

    return getNoteLetter (note) + (isSharpNote (note) ? "#" : "-") + getNoteOctaveText (note);
}

juce::String getNoteLetter (int note)
{
    static const char* const letters[] = { "C", "C", "D", "D", "E", "F", "F", "G", "G", "A", "A", "B" };
    const auto index = noteInOctave (note);
    return index < 0 ? juce::String() : juce::String (letters[index]);
}

bool isNaturalNote (int note)
{
    const auto index = noteInOctave (note);
    return index >= 0 && ((0xAB5 >> index) & 1) != 0;
}

bool isSharpNote (int note)
{
    const auto index = noteInOctave (note) - 1;
    return index >= 0 && ((0x2A5 >> index) & 1) != 0;
}

int getNoteOctave (int note)
{
    return note / 12;
}

juce::String getNoteOctaveText (int note)
{
    const auto octave = getNoteOctave (note);

    if (octave >= 0 && octave <= 9)
        return juce::String (octave);

    return octave == 10 ? "H" : "";
}

int getNoteLetterIndex (int note)
{
    static const int indices[] = { 0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6 };
    const auto index = noteInOctave (note);
    return index < 0 ? 0 : indices[index];
}

int getNoteNumberFromName (const juce::String& text)
{
    if (text.length() != 3)
        return -1;

    const auto accidental = text[1];

    if (accidental != '-' && accidental != '#')
        return -1;

    const bool sharp = accidental == '#';
    int semitone = 0;

    switch (text[0])
    {
        case 'C': semitone = sharp ? 1 : 0; break;
        case 'D': semitone = sharp ? 3 : 2; break;
        case 'E': semitone = 4; break;
        case 'F': semitone = sharp ? 6 : 5; break;
        case 'G': semitone = sharp ? 8 : 7; break;
        case 'A': semitone = sharp ? 10 : 9; break;
        case 'B': semitone = 11; break;
        default: return -1;
    }

    const auto octaveCharacter = text[2];
    int octave = 0;

    if (octaveCharacter >= '0' && octaveCharacter <= '9')
        octave = static_cast<int> (octaveCharacter - '0');
    else if (octaveCharacter == 'H')
        octave = 10;
    else
        return -1;

    return juce::jmin (127, octave * 12 + semitone);
}
