#pragma once

#include "framework/Parameter.h"
#include "widgets/OwnOrExternalMenu.h"
#include "widgets/PopupMenuEx.h"
#include "widgets/TextButtonWithIcon.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A drop-down button: a text button with a down arrow that opens a
    PopupMenuEx inside the editor and shows the chosen item. Bound to a
    parameter (usually an EnumParameter through attachToParameter) it follows
    the parameter's integer value and writes the user's choice back.
*/
class ComboBoxButton : public juce::Component,
                       public PopupMenuEx::Listener,
                       public ParameterController,
                       public juce::Button::Listener
{
public:
    /** Hears choices made with notification. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void comboBoxButtonChanged (ComboBoxButton* button) = 0;
    };

    explicit ComboBoxButton (const juce::String& boxName = {});
    ~ComboBoxButton() override;

    /** Chooses the item with the id; only with notify are the listeners told
        and the id written to a bound parameter. */
    void setSelectedId (int id, bool notify);
    int getSelectedId() const noexcept { return chosenId; }

    /** Takes a copy of the menu as its own item list; with onlyWhenNameDiffers a
        menu of the same name is taken as unchanged. */
    void setMenu (const PopupMenuEx& menu, bool onlyWhenNameDiffers);

    /** Shows a menu owned elsewhere in place of the own one; null, or the
        external menu's deletion, goes back to the own menu. */
    void setExternalMenu (PopupMenuEx* menu);
    PopupMenuEx& getMenu() noexcept            { return menus.get(); }

    /** Offers the parameter's value names (ids from 0) and binds the control to it. */
    void attachToParameter (EnumParameter* enumParameter);

    /** Shows the chosen item's box text ("---" without one) and ticks it. */
    void updateText();

    TextButtonWithIcon& getButton() noexcept { return button; }

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    void updateFromParameter (Parameter* changed) override;
    void menuItemChosen (PopupMenuEx* menu, int itemId, bool itemWasTicked) override;
    void menuDismissed (PopupMenuEx* menu) override;
    void buttonClicked (juce::Button* clicked) override;
    void resized() override;

private:
    int chosenId = -1;
    OwnOrExternalMenu menus { *this };
    juce::ListenerList<Listener> listeners;
    TextButtonWithIcon button { {} };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ComboBoxButton)
};
