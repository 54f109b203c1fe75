#pragma once

#include "framework/Parameter.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    A text button with an icon at one side, separated from the text by a thin
    line. The icon has a second picture for the toggled-on state. Bound to a
    parameter it follows the parameter's bool value as its toggle state.
*/
class TextButtonWithIcon : public juce::TextButton,
                           public ParameterController
{
public:
    /** The name is also the tooltip. */
    explicit TextButtonWithIcon (const juce::String& name);
    ~TextButtonWithIcon() override;

    /** Copies the pictures; without an on picture the normal one serves both states. */
    void setIcons (const juce::Drawable* normal, const juce::Drawable* on);

    void setText (const juce::String& newText, bool fit);

    /** Width from the icon square, the padding and the text; a height below 0 keeps the current one. */
    void fitToText (int height);

    void setIconPadding (const juce::BorderSize<int>& padding);
    void setIconOnRight (bool onRight);

    const juce::BorderSize<int>& getIconPadding() const noexcept { return iconPadding; }
    bool isIconOnRight() const noexcept { return iconOnRight; }
    juce::Drawable* getNormalIcon() const noexcept { return normalIcon.get(); }
    juce::Drawable* getOnIcon() const noexcept { return onIcon.get(); }

    /** The square the icon is fitted into. */
    juce::Rectangle<int> getIconArea() const noexcept;

    void updateFromParameter (Parameter* changed) override;
    void buttonStateChanged() override;
    void enablementChanged() override;
    void resized() override;
    void paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown) override;

private:
    int getIconSide() const noexcept;

    bool iconOnRight = false;
    juce::BorderSize<int> iconPadding { 1 };
    std::unique_ptr<juce::Drawable> normalIcon, onIcon;
    // Set while the control shows its parameter's value: it writes nothing
    // back then, or it could overwrite a newer value set on another thread.
    bool followingParameter = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextButtonWithIcon)
};
