#pragma once

#include "widgets/CheckBox_V2.h"
#include "widgets/PathComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A check box in front of a path field: unchecked means the factory default,
    checked means the user's file in the field. The field is enabled exactly
    while the box is checked.
*/
class DefaultResourceCheckBox : public juce::Component,
                                public PathComponent::Listener,
                                public juce::Button::Listener
{
public:
    /** Hears the box being clicked and files being chosen. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void defaultResourceCheckBoxChanged (DefaultResourceCheckBox* box) = 0;
    };

    explicit DefaultResourceCheckBox (const juce::String& checkBoxText = {});
    ~DefaultResourceCheckBox() override;

    /** Checks the box exactly when the path is not the empty file, and shows the path. */
    void setPath (const juce::File& path, bool notify);

    bool isChecked() const noexcept { return checkBox.isChecked(); }
    const juce::File& getPath() const noexcept { return pathComponent.getPath(); }

    CheckBox_V2& getCheckBox() noexcept { return checkBox; }
    PathComponent& getPathComponent() noexcept { return pathComponent; }

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    void pathChanged (PathComponent* component) override;
    void buttonClicked (juce::Button* button) override;
    void lookAndFeelChanged() override;
    void resized() override;

private:
    void sendChange();

    juce::ListenerList<Listener> listeners;
    PathComponent pathComponent;
    CheckBox_V2 checkBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DefaultResourceCheckBox)
};
