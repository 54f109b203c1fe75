#include "widgets/DefaultResourceCheckBox.h"

DefaultResourceCheckBox::DefaultResourceCheckBox (const juce::String& checkBoxText)
    : checkBox (checkBoxText)
{
    pathComponent.addListener (this);
    pathComponent.setEnabled (false);
    addAndMakeVisible (pathComponent);

    checkBox.addListener (this);
    addAndMakeVisible (checkBox);
}

DefaultResourceCheckBox::~DefaultResourceCheckBox() = default;

void DefaultResourceCheckBox::setPath (const juce::File& path, bool notify)
{
    const auto checked = path != juce::File();
    checkBox.setChecked (checked, juce::dontSendNotification);
    pathComponent.setPath (path, false);
    pathComponent.setEnabled (checked);

    if (notify)
        sendChange();
}

void DefaultResourceCheckBox::sendChange()
{
    Component::BailOutChecker checker (this);
    listeners.callChecked (checker, [this] (Listener& l) { l.defaultResourceCheckBoxChanged (this); });
}

void DefaultResourceCheckBox::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.add (listener);
}

void DefaultResourceCheckBox::removeListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.remove (listener);
}

void DefaultResourceCheckBox::pathChanged (PathComponent*)
{
    sendChange();
}

void DefaultResourceCheckBox::buttonClicked (juce::Button* button)
{
    if (button != &checkBox)
        return;

    pathComponent.setEnabled (checkBox.isChecked());
    sendChange();
}

void DefaultResourceCheckBox::lookAndFeelChanged()
{
    resized();
}

void DefaultResourceCheckBox::resized()
{
    checkBox.fitToText (getHeight());
    checkBox.setTopLeftPosition (0, 0);

    const auto fieldWidth = juce::jmax (0, getWidth() - 6 - checkBox.getWidth());
    pathComponent.setBounds (getWidth() - fieldWidth, 0, fieldWidth, getHeight());
}
