#pragma once

#include "framework/BasePluginOldStyle.h"
#include "synth/TarvelinIds.h"

/** The instrument: the most derived layer of the plug-in object. */
class Tarvelin : public BasePluginOldStyle
{
public:
    Tarvelin();
    ~Tarvelin() override;

    juce::String getPluginName() const override                 { return "Tarvelin"; }
    juce::String getPluginShortName() const override            { return "TQ"; }
    int getNumHostParameters() const override                   { return TarvelinIds::numHostParameters; }

    /** A selected preset always applies at once: there is no silent changing. */
    bool isPresetChangingModeSupported() const override         { return false; }

    juce::String getSoftwareDescription() const override;
    juce::String getSoftwareVersion() const override            { return "1.9.5"; }
    juce::String getSoftwareWebPage() const override;
    juce::String getSoftwareYear() const override               { return "2015"; }
    juce::String getBuildDate() const override                  { return "2015-01-08"; }
    juce::String getBuildCommitId() const override              { return "ECBF123"; }
    juce::String getBuildBranchName() const override            { return "master"; }
    juce::String getBuildNumber() const override                { return "0"; }
    juce::String getPluginFormatName() const override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Tarvelin)
};
