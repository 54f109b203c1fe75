#pragma once

#include <juce_graphics/juce_graphics.h>

/*  Drawing pieces shared by the strips and the panel: metal, knob bodies,
    LEDs with their glow, button caps that sink when pressed, lettering.
    Angles are in radians, clockwise from twelve o'clock, as JUCE's paths take them.
*/
class PanelDrawing
{
public:
    PanelDrawing() = delete;

    /** Dark brushed metal, the same streaks for the same seed. */
    static void fillBrushedMetal (juce::Graphics& g, juce::Rectangle<int> area, juce::Colour base, juce::int64 seed);

    /** A knob with a knurled skirt and a cap, its pointer at `angle`. */
    static void drawKnobBody (juce::Graphics& g, juce::Point<float> centre, float radius, float angle,
                              juce::Colour capLight, juce::Colour capDark);

    /** The printed scale around a knob: `ticks` marks from -135 to +135 degrees. */
    static void drawKnobScale (juce::Graphics& g, juce::Point<float> centre, float innerRadius, float outerRadius,
                               int ticks, juce::Colour colour);

    /** A round LED in a dark bezel; `lit` from 0 (dark) to 1 (fully on, with its glow). */
    static void drawRoundLed (juce::Graphics& g, juce::Point<float> centre, float radius,
                              juce::Colour litColour, juce::Colour offColour, float lit);

    /** A rectangular LED window, as set into a button cap. */
    static void drawBarLed (juce::Graphics& g, juce::Rectangle<float> area,
                            juce::Colour litColour, juce::Colour offColour, bool lit);

    /** A soft light around a shape. */
    static void drawGlow (juce::Graphics& g, const juce::Path& shape, juce::Colour colour, int radius);

    /** A button cap standing in `area`, or pushed down into it; returns its face. */
    static juce::Rectangle<float> drawCap (juce::Graphics& g, juce::Rectangle<float> area, float cornerSize,
                                           juce::Colour faceLight, juce::Colour faceDark, bool pressed);

    /** A filled triangle pointing "left", "right", "up" or "down". */
    static void drawArrow (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& direction, juce::Colour colour);

    /** Text in one line, shrunk sideways rather than cut when it is too long. */
    static void drawText (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area,
                          const juce::Font& font, juce::Colour colour, juce::Justification justification);

    /** A lit or dark lamp colour by its hint name ("red" or "amber"). */
    static juce::Colour lampColour (const juce::String& name, bool lit);
};
