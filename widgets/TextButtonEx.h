#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A plain text button of the framework's look, unbound: an orange-lit box
    around its text. Its size always follows its text, the margins and the
    height that the look and feel's state-button pictures give.
*/
class TextButtonEx : public juce::Button
{
public:
    static constexpr int numImages = 7;

    /** The text is the name; style picks the look and feel's set-up. */
    TextButtonEx (const juce::String& name, int style);

    /** Takes the state pictures: the first gives the left margin and the
        height, the third the right margin. Fewer than three pictures, or
        invalid ones, leave the margins as they are. */
    void setImages (const juce::Array<juce::Image>& newImages);
    const juce::Array<juce::Image>& getImages() const noexcept { return images; }

    /** Measures the text again and resizes the button when its width changed. */
    void updateTextWidth();

    int getStyle() const noexcept { return style; }
    int getTextWidth() const noexcept { return textWidth; }
    int getLeftMargin() const noexcept { return leftMargin; }
    int getRightMargin() const noexcept { return rightMargin; }
    const juce::Font& getFont() const noexcept { return font; }

    void lookAndFeelChanged() override;
    void paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown) override;

private:
    void updateSize();

    juce::Array<juce::Image> images;
    int textWidth = 0;
    int leftMargin = 10;
    int rightMargin = 10;
    int height = 20;
    juce::Font font;
    int style;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextButtonEx)
};
