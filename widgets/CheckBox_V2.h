#pragma once

#include "framework/Parameter.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    A check box drawn as a glass box with a tick, followed by its text. Bound to
    a parameter it follows the parameter's bool value and writes its state back.
*/
class CheckBox_V2 : public juce::TextButton,
                    public ParameterController
{
public:
    explicit CheckBox_V2 (const juce::String& labelText = {});
    ~CheckBox_V2() override;

    bool isChecked() const noexcept { return getToggleState(); }
    void setChecked (bool shouldBeChecked, juce::NotificationType notification);

    /** Width = text width + int (1.2 x height); a height below 0 keeps the current one. */
    void fitToText (int height);

    /** The tick shown while checked (null when its picture could not be read). */
    juce::Drawable* getTick() const noexcept { return tick.get(); }

    void updateFromParameter (Parameter* changed) override;
    void buttonStateChanged() override;
    void enablementChanged() override;
    void resized() override;
    void paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown) override;

private:
    void updateTick();

    std::unique_ptr<juce::Drawable> tick;
    // Set while the control shows its parameter's value: it writes nothing
    // back then, or it could overwrite a newer value set on another thread.
    bool followingParameter = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CheckBox_V2)
};
