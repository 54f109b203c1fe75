#include "widgets/RadioButtons_V2.h"

RadioButtons_V2::RadioButtons_V2 (const juce::String& caption, const juce::StringArray& optionTexts)
    : panel (caption), row (ComponentRow::topToBottom, ComponentRow::alignStart)
{
    row.setSpacing (2);
    panel.setContentComponent (&row, false);
    addAndMakeVisible (panel);

    for (const auto& text : optionTexts)
    {
        auto* button = buttons.add (new RadioButton (text));
        button->fitToText (18);
        button->setClickingTogglesState (true);
        button->setTriggeredOnMouseDown (true);
        button->setWantsKeyboardFocus (false);
        button->addListener (this);
        row.addAndMakeVisible (button);
    }
}

RadioButtons_V2::~RadioButtons_V2()
{
    // Spares the row one relayout per deleted button.
    row.removeAllChildren();
}

void RadioButtons_V2::setSelectedIndex (int index, bool notify)
{
    selectedIndex = juce::isPositiveAndBelow (index, buttons.size()) ? index : -1;

    for (int i = 0; i < buttons.size(); ++i)
        buttons.getUnchecked (i)->setToggleState (i == selectedIndex, juce::dontSendNotification);

    if (notify)
    {
        Component::BailOutChecker checker (this);
        sendSelectionChange();

        if (checker.shouldBailOut())
            return;

        setParameterIntValue (selectedIndex);
    }

    selectionChanged();
}

void RadioButtons_V2::selectionChanged() {}

void RadioButtons_V2::sendSelectionChange()
{
    Component::BailOutChecker checker (this);
    listeners.callChecked (checker, [this] (Listener& l) { l.radioButtonsChanged (this); });
}

void RadioButtons_V2::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.add (listener);
}

void RadioButtons_V2::removeListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.remove (listener);
}

void RadioButtons_V2::updateFromParameter (Parameter* changed)
{
    if (changed != nullptr)
        setSelectedIndex (changed->getIntValue(), false);
}

void RadioButtons_V2::buttonClicked (juce::Button* button)
{
    setSelectedIndex (buttons.indexOf (dynamic_cast<RadioButton*> (button)), true);
}

void RadioButtons_V2::setSizeToFit (int width, int height)
{
    if (width < 0)
        for (auto* button : buttons)
            button->fitToText (-1);

    panel.fitSize (width, height);
    setSize (panel.getWidth(), panel.getHeight());
    resized();
}

juce::Rectangle<int> RadioButtons_V2::getLastButtonBounds()
{
    auto* last = buttons.getLast();

    if (last == nullptr)
        return {};

    last->fitToText (-1);
    return last->getBounds();
}

void RadioButtons_V2::resized()
{
    panel.fitSize (getWidth(), getHeight());

    // The options were placed while the panel had no size (and maybe another
    // caption font): put them at the top of the content area again.
    panel.layoutContent();

    const auto contentWidth = panel.getContentArea().getWidth();

    for (auto* button : buttons)
        button->setSize (contentWidth, button->getHeight());
}
