#pragma once

#include <juce_core/juce_core.h>

/**
    The product's designation, as the About window and the option pages show
    it. The plug-in object answers it; the instrument supplies the texts that
    the framework cannot know.
*/
class SoftwareDesignation
{
public:
    virtual ~SoftwareDesignation() = default;

    virtual juce::String getSoftwareName() const = 0;
    virtual juce::String getSoftwareDescription() const = 0;
    virtual juce::String getSoftwareVersion() const = 0;
    virtual juce::String getSoftwareWebPage() const = 0;
    virtual juce::String getSoftwareYear() const = 0;
    virtual juce::String getPluginFilePath() const = 0;
    virtual juce::String getBuildDate() const = 0;
    virtual juce::String getBuildCommitId() const = 0;
    virtual juce::String getPluginFormatName() const = 0;
    virtual juce::String getArchitectureName() const = 0;
    virtual juce::String getBuildBranchName() const = 0;
    virtual juce::String getBuildReleaseName() const = 0;
    virtual juce::String getBuildNumber() const = 0;
};
