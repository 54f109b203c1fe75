#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  The glassy look that the radio buttons, check boxes and icon text buttons
    share: a base colour taken from the button colour and its state, and a mark
    (circle or box) filled with a vertical gradient under a light and a dark rim.
*/
namespace GlassButtonDrawing
{
/** The button colour (0x1000100) adjusted for focus, enablement, press and hover. */
juce::Colour baseColour (const juce::Button& button, bool isMouseOver, bool isButtonDown);

/** The mark of a radio button (round) or a check box (corner 4) for a button of the given height. */
juce::Path markShape (int buttonHeight, bool round);

/** Fills and rims the mark in the base colour. */
void drawMark (juce::Graphics& g, const juce::Path& mark, juce::Colour base);

/** Draws the label of a radio button or check box right of its mark, in the label text colour (0x1000281). */
void drawLabel (juce::Graphics& g, const juce::Button& button, const juce::Font& font);

/** The left edge of the label: int (1.2 x height). */
int labelIndent (int buttonHeight) noexcept;
} // namespace GlassButtonDrawing
