#pragma once

#include "framework/Parameter.h"
#include "widgets/ComponentRow.h"
#include "widgets/PanelComponent.h"
#include "widgets/RadioButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A captioned group of options of which at most one is selected. Bound to a
    parameter it follows the parameter's integer value as the selected index
    and writes the index back when the user picks an option.
*/
class RadioButtons_V2 : public juce::Component,
                        public juce::Button::Listener,
                        public ParameterController
{
public:
    /** Hears selections made with notification. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void radioButtonsChanged (RadioButtons_V2* group) = 0;
    };

    RadioButtons_V2 (const juce::String& caption, const juce::StringArray& optionTexts);
    ~RadioButtons_V2() override;

    /** Selects the option (an index out of range selects none); with notify the
        listeners hear it and a bound parameter takes the index. */
    void setSelectedIndex (int index, bool notify);
    int getSelectedIndex() const noexcept { return selectedIndex; }

    int getNumOptions() const noexcept { return buttons.size(); }
    RadioButton* getButton (int index) const noexcept { return buttons[index]; }

    /** Sizes the panel (and the group) to the given size; -1 takes it from the
        options, and a width below 0 first fits every option to its text. */
    void setSizeToFit (int width, int height);

    /** Fits the last option to its text and returns its bounds in the option
        column; empty without options. */
    juce::Rectangle<int> getLastButtonBounds();

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    /** Called last by every setSelectedIndex. */
    virtual void selectionChanged();

    void updateFromParameter (Parameter* changed) override;
    void buttonClicked (juce::Button* button) override;
    void resized() override;

protected:
    PanelComponent& getPanel() noexcept { return panel; }

    /** Tells the listeners, last added first. */
    void sendSelectionChange();

private:
    PanelComponent panel;
    ComponentRow row;
    juce::OwnedArray<RadioButton> buttons;
    int selectedIndex = -1;
    juce::ListenerList<Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RadioButtons_V2)
};
