#pragma once

#include "widgets/PopupMenuEx.h"

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The menu a drop-down control opens: its own copy of an item list, or a
    menu owned elsewhere shown in its place until that one is deleted. The
    control listens to both, and shows the selected item's box text.
*/
class OwnOrExternalMenu
{
public:
    explicit OwnOrExternalMenu (PopupMenuEx::Listener& menuListener);
    ~OwnOrExternalMenu();

    /** The menu that opens: the external one when set, else the own one. */
    PopupMenuEx& get() noexcept;

    /** True for the own menu and the current external one. */
    bool holds (const PopupMenuEx* menu) const noexcept;

    /** Copies the menu as the own item list; nothing for the own menu itself or,
        with onlyWhenNameDiffers, a menu of the same name. True when it changed. */
    bool setOwn (const PopupMenuEx& menu, bool onlyWhenNameDiffers);

    /** Shows a menu owned elsewhere in place of the own one (null: the own one
        again). True when it changed. */
    bool setExternal (PopupMenuEx* menu);

    /** Ticks the item with the id as the only one of its level and returns it;
        null when no item has the id. */
    const PopupMenuEx::Item* tickSelected (int id);

    /** What the control shows for an item: its box text, "---" for none. */
    static juce::String getBoxText (const PopupMenuEx::Item* item);

    /** Opens the menu under the control, inside the editor. */
    void showUnder (juce::Component& control);

private:
    PopupMenuEx::Listener& listener;
    PopupMenuEx ownMenu;
    juce::WeakReference<PopupMenuEx> externalMenu;

    JUCE_DECLARE_NON_COPYABLE (OwnOrExternalMenu)
};
