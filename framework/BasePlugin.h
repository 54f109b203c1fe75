#pragma once

#include "framework/GuiEventsMap.h"
#include "framework/ParameterManager.h"

#include <juce_audio_processors/juce_audio_processors.h>

/** The lowest of the plug-in object's own layers, directly on juce::AudioProcessor. */
class BasePlugin : public juce::AudioProcessor
{
public:
    BasePlugin();
    ~BasePlugin() override;

    virtual juce::String getPluginName() const { return "BasePlugin"; }
    virtual juce::String getPluginShortName() const { return "XX"; }

    /** Runs the first-time set-up of a freshly constructed plug-in and hands it to the host. */
    static juce::AudioProcessor* createAndSetUp (std::unique_ptr<BasePlugin> plugin);

    //==========================================================================
    const juce::String getName() const override { return getPluginName(); }

    void prepareToPlay (double sampleRate, int maximumBlockSize) override;
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;

    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return true; }
    bool silenceInProducesSilenceOut() const override { return true; }

    bool hasEditor() const override { return true; }
    juce::AudioProcessorEditor* createEditor() override;

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock&) override;
    void setStateInformation (const void*, int) override;

    ParameterManager& getParameterManager() noexcept { return parameterManager; }
    GuiEventsMap& getEventsMap() noexcept { return eventsMap; }

protected:
    ParameterManager parameterManager;
    GuiEventsMap eventsMap;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasePlugin)
};
