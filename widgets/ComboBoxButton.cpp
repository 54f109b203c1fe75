#include "widgets/ComboBoxButton.h"

#include "widgets/DefaultLookAndFeel.h"

ComboBoxButton::ComboBoxButton (const juce::String& boxName)
    : juce::Component (boxName)
{
    ownMenu.addListener (this);

    const auto arrow = DefaultLookAndFeel::getIcon (DefaultLookAndFeel::moveDownIcon);
    button.setIcons (arrow.get(), nullptr);
    button.setIconOnRight (true);
    button.setIconPadding (juce::BorderSize<int> (3, 1, 5, 1));
    button.setTriggeredOnMouseDown (true);
    button.addListener (this);
    addAndMakeVisible (button);
    updateText();
}

ComboBoxButton::~ComboBoxButton()
{
    if (auto* menu = externalMenu.get())
        menu->removeListener (this);
}

PopupMenuEx& ComboBoxButton::getMenu() noexcept
{
    auto* menu = externalMenu.get();
    return menu != nullptr ? *menu : ownMenu;
}

bool ComboBoxButton::isOwnOrExternal (const PopupMenuEx* menu) const noexcept
{
    return menu == &ownMenu || (menu != nullptr && menu == externalMenu.get());
}

void ComboBoxButton::setSelectedId (int id, bool notify)
{
    if (id == chosenId)
        return;

    chosenId = id;
    updateText();

    if (! notify)
        return;

    Component::BailOutChecker checker (this);
    listeners.callChecked (checker, [this] (Listener& l) { l.comboBoxButtonChanged (this); });

    if (! checker.shouldBailOut())
        setParameterIntValue (chosenId);
}

void ComboBoxButton::setMenu (const PopupMenuEx& menu, bool onlyWhenNameDiffers)
{
    if (&menu == &ownMenu || (onlyWhenNameDiffers && menu.getName() == ownMenu.getName()))
        return;

    ownMenu = menu;
    updateText();
}

void ComboBoxButton::setExternalMenu (PopupMenuEx* menu)
{
    if (menu == externalMenu.get() || menu == &ownMenu)
        return;

    if (auto* old = externalMenu.get())
        old->removeListener (this);

    externalMenu = menu;

    if (menu != nullptr)
        menu->addListener (this);

    updateText();
}

void ComboBoxButton::attachToParameter (EnumParameter* enumParameter)
{
    if (enumParameter == nullptr)
        return;

    PopupMenuEx menu;
    const auto& names = enumParameter->getNames();

    for (int i = 0; i < names.size(); ++i)
        menu.addItem (i, names[i], false, true);

    setMenu (menu, false);
    setParameter (enumParameter);
}

void ComboBoxButton::updateText()
{
    auto& menu = getMenu();
    const auto* item = menu.findItem (chosenId);
    button.setText (item != nullptr ? item->getBoxText() : juce::String ("---"), false);
    menu.setItemTicked (chosenId, true, true);
}

void ComboBoxButton::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.add (listener);
}

void ComboBoxButton::removeListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.remove (listener);
}

void ComboBoxButton::updateFromParameter (Parameter* changed)
{
    if (changed == nullptr || changed->getIntValue() == chosenId)
        return;

    chosenId = changed->getIntValue();
    updateText();
}

void ComboBoxButton::menuItemChosen (PopupMenuEx* menu, int itemId, bool)
{
    if (menu == nullptr || menu->getParentName() != getName() || ! isOwnOrExternal (menu))
        return;

    Component::BailOutChecker checker (this);
    setSelectedId (itemId, true);

    if (! checker.shouldBailOut())
        button.setToggleState (false, juce::dontSendNotification);
}

void ComboBoxButton::menuDismissed (PopupMenuEx* menu)
{
    if (menu == nullptr || menu->getParentName() != getName())
        return;

    button.setToggleState (false, juce::dontSendNotification);
}

void ComboBoxButton::buttonClicked (juce::Button* clicked)
{
    if (clicked != &button)
        return;

    button.setToggleState (true, juce::dontSendNotification);
    getMenu().show (this, {}, juce::Justification::bottom);
}

void ComboBoxButton::resized()
{
    button.setBounds (getLocalBounds());
}
