#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/*  The interface font. Every font of the interface asks for "Tahoma", which
    Linux does not have; JUCE resolves typeface names through the process's
    default look and feel and caches the answer. This look and feel does
    nothing but that resolution: it maps "Tahoma" and the default sans-serif
    name onto the embedded DejaVu Sans regular and bold faces, and makes itself
    the default while it exists.

    Hold it through juce::SharedResourcePointer<InterfaceTypefaces> (the
    editor's look and feel does, and so does the test runner) before any font
    is measured. It stops being the default before it dies; a component that
    set it as its own look and feel must reset that first.
*/
class InterfaceTypefaces : public juce::LookAndFeel_V4
{
public:
    InterfaceTypefaces();
    ~InterfaceTypefaces() override;

    /** The embedded face for "Tahoma" and the default sans-serif name (bold for
        a bold font; an italic font keeps the upright face), else JUCE's own. */
    juce::Typeface::Ptr getTypefaceForFont (const juce::Font& font) override;

    /** True when both embedded faces could be read. */
    bool hasEmbeddedFaces() const noexcept;

    /** Every interface font: the interface family at the height, with JUCE's
        style flags. Fonts stay name-based, so isBold() and isItalic() keep
        their meaning. */
    static juce::Font font (float height = 13.0f, int styleFlags = juce::Font::plain);

    /** The family name the interface asks for. */
    static const char* const familyName;

private:
    juce::Typeface::Ptr regular, bold;

    JUCE_DECLARE_NON_COPYABLE (InterfaceTypefaces)
};
