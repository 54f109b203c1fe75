#pragma once

#include <juce_graphics/juce_graphics.h>

/*  The panel's lettering: DejaVu Sans, read from its font files rather than
    looked up among the installed fonts, so that the strips come out the same
    on every machine, with or without a font configuration or a display. It is
    the typeface the plug-in's own widgets embed.
*/
class PanelFonts
{
public:
    /** Loads "DejaVuSans.ttf" and "DejaVuSans-Bold.ttf" from the folder; false when either is missing. */
    bool load (const juce::File& folder, juce::String& error);

    /** A font whose em is `pixels` high. */
    juce::Font plain (float pixels) const;
    juce::Font bold (float pixels) const;

private:
    static juce::Font atEmSize (const juce::Typeface::Ptr& typeface, float pixels);

    juce::Typeface::Ptr regular, heavy;
};
