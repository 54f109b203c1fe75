#pragma once

#include "SkinImageList.h"

/*  The display strips: "sevenSegment" digits (frame 0 blank, then 0 to 9; the
    hint point="yes" lights the decimal point) and signs, the amber "lcd" glyph strip
    (every glyph, then every glyph under the caret) and the red "ledMatrix"
    cells of the pattern number, whose frames follow the digit they stand for.
    Unlit segments and dots stay faintly visible, as on real glass.
*/
class DisplayGlyphs
{
public:
    DisplayGlyphs() = delete;

    static bool canPaint (const juce::String& look);
    static void paint (juce::Graphics& g, juce::Rectangle<float> area, int frame, const SkinImageList::Strip& strip);

private:
    static void paintSegmentDigit (juce::Graphics&, juce::Rectangle<float>, int litSegments, bool point);
    static void paintLcdGlyph (juce::Graphics&, juce::Rectangle<float>, int code, bool caret);
    static void paintLedCell (juce::Graphics&, juce::Rectangle<float>, juce::juce_wchar character, bool point);

    /** The character a pattern-number digit shows in a frame, and whether its point is lit. */
    static juce::juce_wchar patternDigitCharacter (const juce::String& role, int frame, bool& point);
};
