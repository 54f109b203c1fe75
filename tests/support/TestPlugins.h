#pragma once

#include "framework/BasePluginOldStyle.h"

#include <memory>
#include <vector>

/*  Plug-ins of the framework's own for its tests: a BasePlugin that records its
    set-up, an old-style one with the instrument's name and resources, and the
    pieces they share with the sequencer layer's test plug-in.
*/

/** Answers the identity questions a host asks with nothing: no test reads them. */
template <typename Base>
class WithoutIdentity : public Base
{
public:
    using Base::Base;

    juce::String getSoftwareDescription() const override    { return {}; }
    juce::String getSoftwareVersion() const override        { return {}; }
    juce::String getSoftwareWebPage() const override        { return {}; }
    juce::String getSoftwareYear() const override           { return {}; }
    juce::String getBuildDate() const override              { return {}; }
    juce::String getPluginFormatName() const override       { return {}; }
};

/** Sets a plug-in up the way the format wrappers do, keeping its own type. */
template <typename Plugin>
std::unique_ptr<Plugin> setUp (std::unique_ptr<Plugin> plugin)
{
    auto created = BasePlugin::createAndSetUp (std::move (plugin));
    return std::unique_ptr<Plugin> (static_cast<Plugin*> (created.release()));
}

//==============================================================================
/** Remembers every step of the set-up it is told of, in order. */
using CallLog = std::vector<juce::String>;

/** An editor that records its set-up and keeps one attribute in its state and settings. */
class TestEditor : public PersistentEditor
{
public:
    explicit TestEditor (CallLog& callLog) : log (callLog) { setSize (640, 480); }

    void initialiseEditor() override       { log.push_back ("initialiseEditor"); }
    void handleEditorCreated() override    { log.push_back ("handleEditorCreated"); }

    std::unique_ptr<juce::XmlElement> createStateXml() override
    {
        auto state = PersistentEditor::createStateXml();
        state->setAttribute ("skin", skin);
        return state;
    }

    void restoreStateXml (const juce::XmlElement& state) override
    {
        skin = state.getStringAttribute ("skin");
        restoredWithSiblings = state.getNextElement() != nullptr;
    }

    std::unique_ptr<juce::XmlElement> createSettingsXml() override
    {
        auto settings = PersistentEditor::createSettingsXml();
        settings->setAttribute ("defaultSkin", defaultSkin);
        return settings;
    }

    juce::String skin, defaultSkin;

    /** The element restored last was still in its state (no copy of the part alone). */
    bool restoredWithSiblings = false;

private:
    CallLog& log;
};

/** What a TestPlugin answers; set before it is created. */
struct TestPluginOptions
{
    juce::String name { "TestPlugin" };
    int numHostParameters = BasePlugin::numHostSlots;
    bool useInitialise = false;
    bool stateDump = false;
    bool withEditor = true;
    int realtimeQualityId = -1, offlineQualityId = -1;
    int defaultRealtimeQualityId = -1, defaultOfflineQualityId = -1;
};

/** A BasePlugin that records the set-up steps it hears; its answers (name,
    visible slots, quality ids, set-up style) are set by the test before creation. */
class TestPlugin : public WithoutIdentity<BasePlugin>
{
public:
    using Options = TestPluginOptions;

    explicit TestPlugin (Options pluginOptions = {}) : options (std::move (pluginOptions))
    {
        useInitialise = options.useInitialise;
    }

    ~TestPlugin() override
    {
        // A derived test plug-in may have closed already, while its editor still existed.
        if (! settingsSaved)
            saveSettingsOnClose();

        deleteEditor();
    }

    static std::unique_ptr<TestPlugin> create (Options options = {})  { return setUp (std::make_unique<TestPlugin> (std::move (options))); }

    juce::String getPluginName() const override             { return options.name; }
    juce::String getPluginShortName() const override        { return "TP"; }
    int getNumHostParameters() const override               { return options.numHostParameters; }
    bool isStateDumpEnabled() const override                { return options.stateDump; }

    int getRealtimeQualityParameterId() const override          { return options.realtimeQualityId; }
    int getOfflineQualityParameterId() const override           { return options.offlineQualityId; }
    int getDefaultRealtimeQualityParameterId() const override   { return options.defaultRealtimeQualityId; }
    int getDefaultOfflineQualityParameterId() const override    { return options.defaultOfflineQualityId; }

    void initialise() override
    {
        log.push_back ("initialise");
        BasePlugin::initialise();
    }

    void userSettingsLoaded() override                      { log.push_back ("userSettingsLoaded"); }
    void postInitialise() override                          { log.push_back ("postInitialise"); }
    void nonRealtimeStateChanged (bool isOffline) override  { log.push_back (isOffline ? "offline" : "realtime"); }

    std::unique_ptr<PersistentEditor> createPluginEditor() override
    {
        log.push_back ("createPluginEditor");
        return options.withEditor ? std::make_unique<TestEditor> (log) : nullptr;
    }

    void parameterChanged (Parameter* parameter) override
    {
        log.push_back ("parameterChanged " + juce::String (parameter->getId()));
        BasePlugin::parameterChanged (parameter);
    }

    std::unique_ptr<juce::XmlElement> createUserSettingsXml() override
    {
        return layeredSettings != nullptr ? std::make_unique<juce::XmlElement> (*layeredSettings) : nullptr;
    }

    TestEditor* getTestEditor() const { return dynamic_cast<TestEditor*> (getPersistentEditor()); }

    /** Set-up steps and value announcements, in the order they happened. */
    CallLog log;

    /** What createUserSettingsXml answers for a plug-in that uses the initialise chain. */
    std::unique_ptr<juce::XmlElement> layeredSettings;

    using BasePlugin::useInitialise;

private:
    Options options;
};

/** Deletes both settings folders of a plug-in name, so a test starts with no settings. */
inline void removeSettingsOf (const juce::String& pluginName)
{
    TestPlugin probe ({ pluginName });
    probe.getUserSettingsFolder().deleteRecursively();
    probe.getCommonSettingsFolder().deleteRecursively();
}

//==============================================================================
/** What an OldStyleTestPlugin answers. A short name of its own finds no factory
    resources, as if they were missing. */
struct OldStyleTestOptions
{
    juce::String shortName { "TQ" };
    bool changingModeSupported = true;
};

/** An old-style plug-in with the instrument's name, parameters and factory
    resources, without the instrument itself. */
class OldStyleTestPlugin : public WithoutIdentity<BasePluginOldStyle>
{
public:
    using Options = OldStyleTestOptions;

    explicit OldStyleTestPlugin (Options pluginOptions = {})
        : WithoutIdentity (33, 3), options (std::move (pluginOptions))
    {
        useInitialise = true;
    }

    ~OldStyleTestPlugin() override
    {
        saveSettingsOnClose();
        deleteEditor();
    }

    static std::unique_ptr<OldStyleTestPlugin> create (Options options = {})  { return setUp (std::make_unique<OldStyleTestPlugin> (std::move (options))); }

    juce::String getPluginName() const override                 { return "Tarvelin"; }
    juce::String getPluginShortName() const override            { return options.shortName; }
    int getNumHostParameters() const override                   { return 36; }
    bool isPresetChangingModeSupported() const override         { return options.changingModeSupported; }
    std::unique_ptr<PersistentEditor> createPluginEditor() override { return nullptr; }

private:
    Options options;
};

//==============================================================================
/** Records what the plug-in tells the host. */
struct HostRecorder : public juce::AudioProcessorListener
{
    struct Change
    {
        int index;
        float value;
    };

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        changes.push_back ({ index, value });
    }

    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override
    {
        ++displayUpdates;

        // Only an announcement of a program change alone: the general display
        // refresh (JUCE's default flags) names one as well.
        if (details.programChanged && ! details.parameterInfoChanged && ! details.latencyChanged)
            ++programChanges;
    }

    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override { gestureBegins.push_back (index); }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override { gestureEnds.push_back (index); }

    std::vector<Change> changes;
    std::vector<int> gestureBegins, gestureEnds;
    int displayUpdates = 0;
    int programChanges = 0;
};

/** Records the plug-in's notifications on the message thread. */
struct PluginRecorder : public BasePlugin::Listener
{
    explicit PluginRecorder (CallLog& callLog, juce::String listenerName = "listener")
        : log (callLog), name (std::move (listenerName)) {}

    void pluginStateRestored (BasePlugin*) override                 { log.push_back (name + " restored"); }
    void pluginStateSaved (BasePlugin*) override                    { log.push_back (name + " saved"); }
    void pluginPreparedToPlay (BasePlugin*) override                { log.push_back (name + " prepared"); }
    void processingModeChanged (BasePlugin*, int mode) override     { log.push_back (name + " mode " + juce::String (mode)); }

    CallLog& log;
    juce::String name;
};
