#include "widgets/OwnOrExternalMenu.h"

OwnOrExternalMenu::OwnOrExternalMenu (PopupMenuEx::Listener& menuListener)
    : listener (menuListener)
{
    ownMenu.addListener (&listener);
}

OwnOrExternalMenu::~OwnOrExternalMenu()
{
    if (auto* menu = externalMenu.get())
        menu->removeListener (&listener);
}

PopupMenuEx& OwnOrExternalMenu::get() noexcept
{
    auto* menu = externalMenu.get();
    return menu != nullptr ? *menu : ownMenu;
}

bool OwnOrExternalMenu::holds (const PopupMenuEx* menu) const noexcept
{
    return menu == &ownMenu || (menu != nullptr && menu == externalMenu.get());
}

bool OwnOrExternalMenu::setOwn (const PopupMenuEx& menu, bool onlyWhenNameDiffers)
{
    if (&menu == &ownMenu || (onlyWhenNameDiffers && menu.getName() == ownMenu.getName()))
        return false;

    ownMenu = menu;
    return true;
}

bool OwnOrExternalMenu::setExternal (PopupMenuEx* menu)
{
    if (menu == externalMenu.get() || menu == &ownMenu)
        return false;

    if (auto* old = externalMenu.get())
        old->removeListener (&listener);

    externalMenu = menu;

    if (menu != nullptr)
        menu->addListener (&listener);

    return true;
}

const PopupMenuEx::Item* OwnOrExternalMenu::tickSelected (int id)
{
    auto& menu = get();
    menu.setItemTicked (id, true, true);
    return menu.findItem (id);
}

juce::String OwnOrExternalMenu::getBoxText (const PopupMenuEx::Item* item)
{
    return item != nullptr ? item->getBoxText() : juce::String ("---");
}

void OwnOrExternalMenu::showUnder (juce::Component& control)
{
    get().show (&control, {}, juce::Justification::bottom);
}
