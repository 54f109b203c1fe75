#include "widgets/ToolbarDrawableButton.h"

#include "widgets/DefaultLookAndFeel.h"

ToolbarDrawableButton::ToolbarDrawableButton (const juce::String& name, int iconIndex)
    : juce::DrawableButton (name, juce::DrawableButton::ImageFitted)
{
    setEdgeIndent (1);
    setTooltip (name);
    setWantsKeyboardFocus (false);
    DefaultLookAndFeel::setButtonIcon (*this, iconIndex);
}

void ToolbarDrawableButton::updateFromParameter (Parameter* changed)
{
    if (changed == nullptr)
        return;

    const juce::ScopedValueSetter<bool> following (followingParameter, true);
    setToggleState (changed->getBoolValue(), juce::dontSendNotification);
}

void ToolbarDrawableButton::buttonStateChanged()
{
    juce::DrawableButton::buttonStateChanged();

    if (! followingParameter)
        setParameterBoolValue (getToggleState());
}

void ToolbarDrawableButton::lookAndFeelChanged()
{
    juce::DrawableButton::lookAndFeelChanged();

    // The icons are drawn in black; the look decides their colour.
    if (auto* image = getCurrentImage())
        image->replaceColour (juce::Colours::black, findColour (juce::DrawableButton::textColourId));
}

void ToolbarDrawableButton::paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown)
{
    const auto on = getToggleState();

    if (! (on || isMouseOverButton || isButtonDown))
        return;

    getLookAndFeel().drawButtonBackground (g, *this,
                                           findColour (on ? juce::TextButton::buttonOnColourId : juce::TextButton::buttonColourId),
                                           isMouseOverButton, isButtonDown);
}
