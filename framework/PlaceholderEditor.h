#pragma once

#include "framework/PersistentEditor.h"

/**
    The framework's own editor until a plug-in supplies its skinned one: a
    black panel with the plug-in's name. It needs no display to be created.
*/
class PlaceholderEditor : public PersistentEditor
{
public:
    explicit PlaceholderEditor (const juce::String& pluginName);

    void paint (juce::Graphics& g) override;

private:
    juce::String name;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PlaceholderEditor)
};
