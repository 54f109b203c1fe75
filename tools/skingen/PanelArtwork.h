#pragma once

#include "PanelFonts.h"
#include "SkinImageList.h"

/*  The panel's background: brushed metal with the "Artwork" of skin.xml
    printed on it. The artwork's elements:
      "Brand"   left, top, width, height: the instrument's name plate;
      "Section" left, top, width, height, title: a framed, titled group;
      "Window"  for (a control), margin: the recessed bezel around a display;
      "Label"   text, and either for (a control) with side ("above", "below",
                "left", "right") and gap, or left, top, width, height;
                size (em pixels, 9.5) and align ("centred", "left", "right");
      "Rule"    left, top, width, height: an engraved line.
*/
class PanelArtwork
{
public:
    PanelArtwork (const SkinImageList& images, const PanelFonts& fonts);

    void paint (juce::Graphics& g, int width, int height) const;

    /** What would spoil the printed panel: lettering that runs into other
        lettering, into a control, off the panel or against a section's frame,
        labels too close to read apart, and controls that overlap without
        sharing one place exactly. Empty when the layout is clean. */
    juce::StringArray findLayoutProblems (int width, int height) const;

private:
    void paintBrand (juce::Graphics&, const juce::XmlElement&) const;
    void paintSection (juce::Graphics&, const juce::XmlElement&) const;
    void paintWindow (juce::Graphics&, const juce::XmlElement&) const;
    void paintLabel (juce::Graphics&, const juce::XmlElement&) const;
    void paintRule (juce::Graphics&, const juce::XmlElement&) const;

    struct Lettering
    {
        juce::String text;
        juce::Font font;
        juce::Rectangle<float> area;        // where the text is placed
        juce::Rectangle<float> inked;       // what the text covers
        juce::Justification justification = juce::Justification::centred;
    };

    Lettering layOutLabel (const juce::XmlElement&) const;
    juce::Font sectionTitleFont() const;
    juce::Rectangle<float> sectionTitleArea (const juce::XmlElement& section) const;
    static juce::Rectangle<float> readArea (const juce::XmlElement&);

    const SkinImageList& images;
    const PanelFonts& fonts;
};
