#pragma once

#include "framework/BasePlugin.h"

/** The instrument: the most derived layer of the plug-in object. */
class Tarvelin : public BasePlugin
{
public:
    Tarvelin();
    ~Tarvelin() override;

    juce::String getPluginName() const override { return "Tarvelin"; }
    juce::String getPluginShortName() const override { return "TQ"; }

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Tarvelin)
};
