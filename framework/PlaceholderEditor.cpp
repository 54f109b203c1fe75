#include "framework/PlaceholderEditor.h"

PlaceholderEditor::PlaceholderEditor (const juce::String& pluginName) : name (pluginName)
{
    setSize (800, 600);
}

void PlaceholderEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (80.0f, juce::Font::bold));
    g.drawText (name, getLocalBounds(), juce::Justification::centred, false);
}
