#include "editor/OptionsWindow.h"

OptionsWindow::OptionsWindow (const juce::String& windowTitle)
{
    setTitle (windowTitle);
    addAndMakeVisible (tabs);
}

OptionsWindow::~OptionsWindow() = default;

void OptionsWindow::addPage (const juce::String& name, juce::Component* page, int index)
{
    tabs.addTab (name, juce::Colour (tabColour), page, false, index);

    // The toolkit keeps the old tab current when one is inserted before it.
    if (index == 0)
    {
        tabs.setCurrentTabIndex (-1);
        tabs.setCurrentTabIndex (0);
    }
}

void OptionsWindow::setLayoutMode (int mode)
{
    if (mode == layoutMode)
        return;

    layoutMode = mode;
    setTitleBarVisible (mode != 1);
    setFrameVisible (mode != 1);
    resized();
}

void OptionsWindow::resized()
{
    WindowComponent::resized();
    tabs.setBounds (getContentArea());
}
