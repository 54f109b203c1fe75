#pragma once

#include "PanelFonts.h"
#include "SkinImageList.h"

/*  Draws one image strip of the skin, every frame in its band, by the strip's
    "look": "knob", "selector", "lever", "button", "lampButton", "key",
    "stepButton", "ledButton", "led", the display looks of DisplayGlyphs, and
    "panel" for the background.
*/
class StripRenderer
{
public:
    StripRenderer (const SkinImageList& images, const PanelFonts& fonts);

    /** The drawn strip, or a null image with a message for an unknown look. */
    juce::Image render (const SkinImageList::Strip& strip, juce::String& error) const;

private:
    using Frame = juce::Rectangle<float>;

    void paintKnob (juce::Graphics&, Frame, int frame, const SkinImageList::Strip&) const;
    void paintSelector (juce::Graphics&, Frame, int frame, const SkinImageList::Strip&) const;
    void paintLever (juce::Graphics&, Frame, int frame, const SkinImageList::Strip&) const;
    void paintButton (juce::Graphics&, Frame, int frame, const SkinImageList::Strip&) const;
    void paintLed (juce::Graphics&, Frame, int frame, const SkinImageList::Strip&) const;

    const SkinImageList& images;
    const PanelFonts& fonts;
};
