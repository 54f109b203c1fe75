#pragma once

#include "framework/Parameter.h"
#include "widgets/OwnOrExternalMenu.h"
#include "widgets/PopupMenuEx.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A drop-down box that shows the chosen item of a PopupMenuEx and opens the
    menu inside the editor. Bound to a parameter it follows the parameter's
    integer value and writes the chosen item's id back.
*/
class ComboBoxEx : public juce::Component,
                   public PopupMenuEx::Listener,
                   public ParameterController
{
public:
    /** Hears changes of the selected id made with notification. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void comboBoxExChanged (ComboBoxEx* box) = 0;
    };

    explicit ComboBoxEx (const juce::String& boxName = {});
    ~ComboBoxEx() override;

    /** Selects the item with the id (-1: none). Writes the id to a bound
        parameter whether or not the listeners are told. */
    void setSelectedId (int id, bool notify);
    int getSelectedId() const noexcept { return selectedId; }

    /** Takes a copy of the menu as its own item list; with onlyWhenNameDiffers a
        menu of the same name is taken as unchanged. */
    void setMenu (const PopupMenuEx& menu, bool onlyWhenNameDiffers);

    /** Shows a menu owned elsewhere in place of the own one; null, or the
        external menu's deletion, goes back to the own menu. */
    void setExternalMenu (PopupMenuEx* menu);

    /** The menu that opens: the external one when set, else the own one. */
    PopupMenuEx& getMenu() noexcept            { return menus.get(); }

    /** Refreshes the shown text and ticks the selected item. */
    void updateText();

    const juce::String& getShownText() const noexcept { return shownText; }
    const juce::Font& getFont() const noexcept { return font; }
    bool isMenuOpen() const noexcept { return menuOpen; }

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    void updateFromParameter (Parameter* changed) override;
    void menuItemChosen (PopupMenuEx* menu, int itemId, bool itemWasTicked) override;
    void menuDismissed (PopupMenuEx* menu) override;

    void mouseDown (const juce::MouseEvent& event) override;
    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    int selectedId = -1;
    bool menuOpen = false;
    juce::String shownText;
    juce::Font font;
    juce::Path arrow;
    OwnOrExternalMenu menus { *this };
    juce::ListenerList<Listener> listeners;
    // Set while the control shows its parameter's value: it writes nothing
    // back then, or it could overwrite a newer value set on another thread.
    bool followingParameter = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ComboBoxEx)
};
