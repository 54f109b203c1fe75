#pragma once

#include <juce_core/juce_core.h>
#include <juce_graphics/juce_graphics.h>

#include <memory>
#include <vector>

/*  Every image that a skin.xml names, with the geometry its element gives it.

    The frame size and the frame count follow the rules by which the panel's
    controls cut their strips, so a strip drawn to this geometry is exactly what
    the control expects: the control's "size" for image-strip controls, "size"
    width split among the digits of a numeric display, a quarter of it for each
    pattern-number digit, and "glyphWidth" by "fontHeight" per glyph of a text
    display. How a strip looks comes from hints on its "gfx" element, which the
    panel loader never reads.
*/
class SkinImageList
{
public:
    /** One image file and how to draw it. */
    struct Strip
    {
        juce::String name;
        int frameWidth = 0;
        int frameHeight = 0;
        int frames = 1;
        int states = 1;                 // lamp states shown by the strip
        bool pressedFrames = false;     // every state has an up and a pressed frame
        juce::String look;              // the "look" hint
        juce::String role;              // "firstDigit" to "fourthDigit" of a pattern number, "sign" or "glyphs"
        int firstCode = 32;             // first character of a glyph strip
        const juce::XmlElement* hints = nullptr;   // the element carrying the look hints
        juce::String controlName;       // the first control that names it

        int getImageHeight() const noexcept    { return frameHeight * frames; }
    };

    /** Reads a skin document. False with a message when an image's geometry
        cannot be derived or two elements disagree about one image. */
    bool read (const juce::String& xmlText, juce::String& error);

    const std::vector<Strip>& getStrips() const noexcept    { return strips; }
    const Strip* findStrip (const juce::String& name) const;

    /** The main panel's element, and the generator's artwork element (may be null). */
    const juce::XmlElement* getMainPanel() const noexcept   { return mainPanel; }
    const juce::XmlElement* getArtwork() const noexcept     { return artwork; }

    /** The main panel's "size". */
    juce::Rectangle<int> getPanelBounds() const noexcept    { return panelBounds; }

    /** A control's rectangle in the main panel, from its "pos" and "size"
        (and the enclosing "controls" offsets); empty when there is no such control. */
    juce::Rectangle<int> getControlBounds (const juce::String& controlName) const;

    /** Every control of the main panel with its rectangle, in document order. */
    const std::vector<std::pair<juce::String, juce::Rectangle<int>>>& getControls() const noexcept  { return controlBounds; }

    /** The name of every image, in document order. */
    juce::StringArray getImageNames() const;

private:
    bool readPanel (const juce::XmlElement& panel, juce::Point<int> origin, juce::String& error);
    bool readControl (const juce::XmlElement& control, juce::Point<int> offset, juce::String& error);
    bool addStrip (Strip strip, juce::String& error);

    std::unique_ptr<juce::XmlElement> document;
    const juce::XmlElement* mainPanel = nullptr;
    const juce::XmlElement* artwork = nullptr;
    juce::Rectangle<int> panelBounds;
    std::vector<Strip> strips;
    std::vector<std::pair<juce::String, juce::Rectangle<int>>> controlBounds;
};
