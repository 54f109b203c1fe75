#pragma once

#include "PanelFonts.h"
#include "SkinImageList.h"

/*  Draws one image strip of the skin, every frame in its band, by the strip's
    "look" and the hints beside it on its "gfx" element:
      "knob"        a knob over its printed scale; legend (text under it), cap="amber";
      "selector"    a rotary switch; title, legends (one per position, "|" between);
      "lever"       a bat-handle toggle, down for the first frame, up for the last;
      "button"      a push button; icon ("left", "right", "up", "down");
      "lampButton", "stepButton", "key" (keyColour "white" or "black"), "ledButton":
                    buttons with a lamp, lit in the last state and sunk when pressed;
                    lamp ("red" or "amber");
      "led"         a round lamp, dark in the first frame and lit in the last;
    the display looks of DisplayGlyphs, and "panel" for the background.
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
