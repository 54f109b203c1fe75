#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class Parameter;

/*  The plain drawings that skinned controls fall back on when their skin gives
    them no image strip.
*/
namespace SkinDrawing
{
/** Grey levels of the fallback drawings. */
const juce::Colour grey90 { 0xFFE6E6E6 };
const juce::Colour grey80 { 0xFFCCCCCC };
const juce::Colour grey70 { 0xFFB3B3B3 };
const juce::Colour grey50 { 0xFF7F7F7F };
const juce::Colour grey40 { 0xFF666666 };

/** A slider-like control without strip: a grey frame, the slider's own look,
    the value text at the top and the parameter's name at the bottom (both the
    bound parameter's when there is one). */
void paintSliderFallback (juce::Graphics& g, juce::Slider& slider, const Parameter* parameter,
                          const juce::String& unboundValueText, const juce::Font& font);

/** The 16 x 16 lamp square of the lamp-like controls, centred in the bounds,
    with a black dot of the given diameter in its middle. */
void paintLamp (juce::Graphics& g, juce::Rectangle<int> bounds, juce::Colour fill, float dotDiameter);
} // namespace SkinDrawing
