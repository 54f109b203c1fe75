#include "widgets/CreditsText.h"

#include "widgets/InterfaceTypefaces.h"

CreditsText::CreditsText (const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
    label.setColour (juce::Label::backgroundColourId, juce::Colours::black);
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setFont (InterfaceTypefaces::font (13.0f));
    label.setJustificationType (juce::Justification::centredTop);
    label.setInterceptsMouseClicks (false, false);
    lineCount = juce::StringArray::fromLines (text).size();
    addAndMakeVisible (label);
}

void CreditsText::addListener (Listener* listener)
{
    // JUCE's list asserts on a null listener in a debug build.
    if (listener != nullptr)
        listeners.add (listener);
}

void CreditsText::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

void CreditsText::startScrolling()
{
    still = false;
    startTimer (scrollIntervalMs);
    label.setTopLeftPosition (0, getHeight() + 5);
}

void CreditsText::stopScrolling()
{
    stopTimer();
}

void CreditsText::showStill()
{
    stopTimer();
    still = true;
    label.setTopLeftPosition (0, 0);
}

void CreditsText::timerCallback()
{
    label.setTopLeftPosition (0, label.getY() - 1);

    if (label.getBottom() < 0)
        label.setTopLeftPosition (0, getHeight() + 5);
}

void CreditsText::resized()
{
    label.setBounds (0, still ? 0 : getHeight() + 5, getWidth(), (int) ((float) lineCount * label.getFont().getHeight()));
}

void CreditsText::mouseDown (const juce::MouseEvent&)
{
    const juce::Component::BailOutChecker checker (this);
    listeners.callChecked (checker, [this] (Listener& l) { l.creditsClicked (this); });
}
