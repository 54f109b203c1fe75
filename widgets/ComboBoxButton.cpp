#include "widgets/ComboBoxButton.h"

#include "widgets/DefaultLookAndFeel.h"

ComboBoxButton::ComboBoxButton (const juce::String& boxName)
    : juce::Component (boxName)
{
    const auto arrow = DefaultLookAndFeel::getIcon (DefaultLookAndFeel::moveDownIcon);
    button.setIcons (arrow.get(), nullptr);
    button.setIconOnRight (true);
    button.setIconPadding (juce::BorderSize<int> (3, 1, 5, 1));
    button.setTriggeredOnMouseDown (true);
    button.addListener (this);
    addAndMakeVisible (button);
    updateText();
}

ComboBoxButton::~ComboBoxButton() = default;

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
    if (menus.setOwn (menu, onlyWhenNameDiffers))
        updateText();
}

void ComboBoxButton::setExternalMenu (PopupMenuEx* menu)
{
    if (menus.setExternal (menu))
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
    button.setText (OwnOrExternalMenu::getBoxText (menus.tickSelected (chosenId)), false);
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
    if (menu == nullptr || menu->getParentName() != getName() || ! menus.holds (menu))
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
    menus.showUnder (*this);
}

void ComboBoxButton::resized()
{
    button.setBounds (getLocalBounds());
}
