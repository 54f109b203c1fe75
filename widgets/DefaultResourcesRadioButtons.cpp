#include "widgets/DefaultResourcesRadioButtons.h"

DefaultResourcesRadioButtons::DefaultResourcesRadioButtons (const juce::String& caption,
                                                            const juce::StringArray& optionTexts)
    : RadioButtons_V2 (caption, optionTexts)
{
    pathComponent.addListener (this);
    addAndMakeVisible (pathComponent);
    selectionChanged();
}

DefaultResourcesRadioButtons::~DefaultResourcesRadioButtons() = default;

void DefaultResourcesRadioButtons::selectionChanged()
{
    pathComponent.setEnabled (getNumOptions() > 0 && getSelectedIndex() == getNumOptions() - 1);
}

void DefaultResourcesRadioButtons::pathChanged (PathComponent*)
{
    sendSelectionChange();
}

void DefaultResourcesRadioButtons::lookAndFeelChanged()
{
    resized();
}

void DefaultResourcesRadioButtons::childBoundsChanged (juce::Component* child)
{
    if (child == &pathComponent)
        resized();
}

void DefaultResourcesRadioButtons::resized()
{
    RadioButtons_V2::resized();

    const auto area = getPanel().getContentArea();
    const auto last = getLastButtonBounds();

    pathComponent.setBounds (area.getX() + last.getRight() + 6, area.getY() + last.getY(),
                             juce::jmax (0, area.getWidth() - last.getWidth() - 6), 20);
}
