#pragma once

#include "widgets/PathComponent.h"
#include "widgets/RadioButtons_V2.h"

/**
    A radio group whose last option ("User defined") enables a path field on
    its line. Choosing a file there tells the group's listeners as a selection
    change does.
*/
class DefaultResourcesRadioButtons : public RadioButtons_V2,
                                     public PathComponent::Listener
{
public:
    DefaultResourcesRadioButtons (const juce::String& caption, const juce::StringArray& optionTexts);
    ~DefaultResourcesRadioButtons() override;

    PathComponent& getPathComponent() noexcept { return pathComponent; }

    void selectionChanged() override;
    void pathChanged (PathComponent* component) override;
    void lookAndFeelChanged() override;
    void childBoundsChanged (juce::Component* child) override;
    void resized() override;

private:
    PathComponent pathComponent;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DefaultResourcesRadioButtons)
};
