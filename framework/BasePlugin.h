#pragma once

#include "framework/GuiEventsMap.h"
#include "framework/MidiControl.h"
#include "framework/ParameterManager.h"
#include "framework/PersistentEditor.h"
#include "framework/PresetCollection.h"
#include "framework/SoftwareDesignation.h"
#include "framework/Vst3ComponentHandler.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <unordered_map>

class PresetFolderTree;

/**
    The lowest of the plug-in object's own layers, directly on juce::AudioProcessor.

    It owns the parameter table, the MIDI CC map, the events map and the
    128-slot host-parameter map. The host sees the first getNumHostParameters()
    slots as its parameters: a host's change goes to the slot's parameter and is
    not echoed back, and a parameter's change reaches the host through its slot.
    It answers the host's program and state questions, keeps the per-user
    settings, and turns host-side events into notifications on the message thread.

    The plug-in is made and set up by createAndSetUp, which runs the first-time
    set-up of every layer once. The most derived layer's destructor must call
    saveSettingsOnClose and then deleteEditor first, while every layer's
    overrides still answer.
*/
class BasePlugin : public juce::AudioProcessor,
                   public juce::AsyncUpdater,
                   public Parameter::Listener,
                   public SoftwareDesignation,
                   public PresetCollection::Listener,
                   public juce::VST3ClientExtensions
{
public:
    /** Hears, on the message thread, what the host did to the plug-in. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void pluginStateRestored (BasePlugin*) {}
        virtual void pluginStateSaved (BasePlugin*) {}
        virtual void pluginPreparedToPlay (BasePlugin*) {}

        /** 1 realtime, 2 offline. */
        virtual void processingModeChanged (BasePlugin*, int /*mode*/) {}
        virtual void presetFolderTreeChanged (BasePlugin*, PresetFolderTree*) {}
    };

    enum ProcessingMode
    {
        realtimeProcessing = 1,
        offlineProcessing = 2
    };

    /** The size of the host-parameter map; the host sees only its first getNumHostParameters() slots. */
    static constexpr int numHostSlots = 128;

    /** The longest state text read, from a host's block, a program block or the
        state dump. The instrument's state with the factory banks is 350 KB,
        and 680 KB with a name of 128 three-byte characters in every slot,
        group and pattern; the fullest it can write (256 groups, every name as
        long as a name is kept and each character written as a ten-byte
        reference) is 1.6 MB. The worst text of 2 MiB restores in about 0.3 s. */
    static constexpr int maxStateBytes = 2 * 1024 * 1024;

    /** The longest settings file read: about 1 KB, and under 70 KB with each
        of the five paths it names as long as a path can be (4 KB), every
        character a reference. */
    static constexpr juce::int64 maxSettingsFileBytes = 256 * 1024;

    /** The longest host-parameter map file read: under 7 KB with all 128 slots assigned. */
    static constexpr juce::int64 maxHostMapFileBytes = 64 * 1024;

    BasePlugin();
    ~BasePlugin() override;

    /** The creation entry: adds the host-visible slots, runs the first-time
        set-up of every layer, creates the persistent editor, announces every
        parameter once and loads the state dump when it is on. Null stays null. */
    static std::unique_ptr<BasePlugin> createAndSetUp (std::unique_ptr<BasePlugin> plugin);

    //==========================================================================
    // Operations the layers override (defaults are this layer's own).

    virtual int getRealtimeQualityParameterId() const           { return -1; }
    virtual int getOfflineQualityParameterId() const            { return -1; }
    virtual int getDefaultRealtimeQualityParameterId() const    { return -1; }
    virtual int getDefaultOfflineQualityParameterId() const     { return -1; }

    /** Told when the host switches between realtime and offline processing. */
    virtual void nonRealtimeStateChanged (bool /*isNonRealtime*/) {}

    /** The synchronous listener of every parameter: tells the host through the
        parameter's slot, unless the host itself is setting that slot. */
    void parameterChanged (Parameter* parameter) override;
    void parameterChangeGestureBegin (Parameter* parameter) override;
    void parameterChangeGestureEnd (Parameter* parameter) override;

    juce::String getSoftwareName() const override               { return getPluginName(); }
    juce::String getPluginFilePath() const override             { return pluginFile.getFullPathName(); }
    juce::String getBuildCommitId() const override              { return {}; }
    juce::String getArchitectureName() const override;
    juce::String getBuildBranchName() const override            { return {}; }
    juce::String getBuildReleaseName() const override           { return {}; }
    juce::String getBuildNumber() const override                { return {}; }

    /** Run once after the set-up when the plug-in does not use the initialise chain. */
    virtual void postInitialise() {}

    /** The first-time set-up; each layer's override does its own work around the one below. */
    virtual void initialise();

    /** Makes the persistent editor: the editor factory's, or none without one. */
    virtual std::unique_ptr<PersistentEditor> createPluginEditor();

    /** Makes the editor for createPluginEditor. The plug-in entry sets it before
        the set-up, so that the plug-in's layers need not know the editor's. */
    using EditorFactory = std::function<std::unique_ptr<PersistentEditor>()>;
    void setEditorFactory (EditorFactory factory)               { editorFactory = std::move (factory); }

    virtual juce::String getPluginName() const                  { return "BasePlugin"; }
    virtual juce::String getPluginShortName() const             { return "XX"; }

    virtual bool isPluginStateXml (const juce::XmlElement& element) const;

    /** This layer's part: the editor's child goes to the editor, on the message
        thread (by the next asynchronous update when called on another; a later
        restore's child replaces it meanwhile). */
    virtual void setStateFromXml (const juce::XmlElement& element);
    virtual std::unique_ptr<juce::XmlElement> createStateXml();
    virtual void setCurrentProgramStateFromXml (const juce::XmlElement&) {}
    virtual std::unique_ptr<juce::XmlElement> createCurrentProgramStateXml() { return nullptr; }

    virtual juce::File getUserSettingsFile() const;
    virtual bool isUserSettingsXml (const juce::XmlElement& element) const;
    virtual void loadUserSettingsFromXml (const juce::XmlElement&) {}
    virtual void addExtraUserSettings (juce::XmlElement&) {}
    virtual void userSettingsLoaded() {}

    /** The settings document of a plug-in that builds it in its layers (see useInitialise). */
    virtual std::unique_ptr<juce::XmlElement> createUserSettingsXml() { return nullptr; }

    /** How many slots the host sees: at most numHostSlots. */
    virtual int getNumHostParameters() const                    { return numHostSlots; }
    virtual juce::String getParameterDisplayText (int id) const;
    virtual juce::String getParameterDisplayName (int id) const;

    /** The dispatch of an event id that the editor does not handle itself. */
    virtual void performEvent (int /*uid*/) {}

    void handleAsyncUpdate() override;

    virtual bool isDebugMode() const                            { return false; }
    virtual bool isStateDumpEnabled() const                     { return false; }

    virtual PresetFolderTree* getPresetFolderTree (const juce::String& name) const;
    virtual int getNumPresetFolderTrees() const                 { return 1; }
    virtual PresetFolderTree* getPresetFolderTree (int index) const;
    virtual juce::String getCurrentPresetName (PresetFolderTree*) const { return {}; }
    virtual void setCurrentPresetName (PresetFolderTree*, const juce::String&) {}
    virtual bool isCurrentPresetModified (PresetFolderTree* tree) const;
    virtual void setCurrentPresetModified (PresetFolderTree* tree, bool isModified);
    virtual void setCurrentPresetDetached (PresetFolderTree* tree, bool isDetached);
    virtual bool isCurrentPresetDetached (PresetFolderTree* tree) const;
    virtual juce::String getCurrentPresetFile (PresetFolderTree* tree) const;
    virtual void setCurrentPresetFile (PresetFolderTree* tree, const juce::String& path);

    //==========================================================================
    // The host boundary.

    const juce::String getName() const override                 { return getPluginName(); }

    void prepareToPlay (double sampleRate, int maximumBlockSize) override;
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;

    double getTailLengthSeconds() const override                { return 0.0; }
    bool acceptsMidi() const override                           { return true; }
    bool producesMidi() const override                          { return true; }
    bool silenceInProducesSilenceOut() const override           { return true; }

    /** True while the persistent editor exists, so that a host that asks for
        a window always gets one. */
    bool hasEditor() const override                             { return editor != nullptr; }

    /** A window around the persistent editor; null when there is none. */
    juce::AudioProcessorEditor* createEditor() override;

    int getNumPrograms() override                               { return 1; }
    int getCurrentProgram() override                            { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override            { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    /** Tells the host that the current program changed; from any thread (off the
        message thread it is passed on by the next asynchronous update). */
    void notifyHostOfProgramChange();

    /** The state block. A state whose text is longer than maxStateBytes, which
        setStateInformation would refuse, is not written: the host gets the
        last block this plug-in wrote or accepted instead (empty when there is
        none), so that what it stores still restores. */
    void getStateInformation (juce::MemoryBlock& destination) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    /** A VST3 host's component handler, handed over by JUCE's VST3 wrapper. */
    void setIComponentHandler (Steinberg::FUnknown* handler) override;

    /** Empty for a program whose text is longer than maxStateBytes. */
    void getCurrentProgramStateInformation (juce::MemoryBlock& destination) override;
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;

    //==========================================================================
    // The host-slot protocol; the host reaches it through the HostSlotParameter objects.

    bool isHostParameterAutomatable (int slot) const;

    /** "Parameter n" for an unassigned slot, the parameter's display name otherwise; empty beyond the visible slots. */
    juce::String getHostParameterName (int slot) const;

    /** The parameter's display text, or the host's last value with 8 significant digits when unassigned. */
    juce::String getHostParameterText (int slot) const;

    /** The text a slot shows for a value. A switch or a choice names that
        value (hosts label their steps with it); any other slot shows its
        current text, as the one-argument form does. */
    juce::String getHostParameterText (int slot, float value) const;

    /** The parameter's normalised value, or the host's last value when unassigned. */
    float getHostParameter (int slot) const;

    /** What hosts show as the slot's default and reset it to: the normalised
        value its parameter had when the set-up ended; 0 for an unassigned slot. */
    float getHostParameterDefaultValue (int slot) const;

    /** The number of values of a slot that holds a switch or a choice, as the
        slots were when the set-up ended (hosts read it once); 0 for a continuous slot. */
    int getHostParameterNumSteps (int slot) const;

    /** The host sets a slot: its parameter follows, and the host hears no echo. */
    void setHostParameter (int slot, float value);

    //==========================================================================
    // The host-parameter map.

    /** Puts a parameter into a slot, taking it out of any other one. Only
        parameters with the auto flag, and only visible slots, take part; null
        empties the slot. */
    void setHostSlotParameter (int slot, Parameter* parameter, bool notify);
    void assignHostParameter (int slot, int id, bool notify);
    void unassignHostSlot (int slot);

    /** The id of the slot's parameter; -1 when none. */
    int getHostParameterAssignment (int slot) const;

    /** The slot that holds the parameter; -1 when none. */
    int getHostSlotOfParameter (int id) const;

    void clearHostParametersMap();

    /** Sends a change message whenever the map changes (the host-parameters page listens). */
    juce::ChangeBroadcaster& getHostMapChangeBroadcaster() noexcept { return hostMapChanged; }

    //==========================================================================
    // State, settings and map files.

    /** The per-user settings folder: $XDG_CONFIG_HOME (else ~/.config), "Ulvra Group", the plug-in's name. */
    juce::File getUserSettingsFolder() const;

    /** The older, common settings folder: $XDG_DATA_HOME (else ~/.local/share), "Ulvra Group", the plug-in's name. */
    juce::File getCommonSettingsFolder() const;

    juce::File getStateDumpFile() const;

    /** A new element with the tag and "application" set to the plug-in's name. */
    std::unique_ptr<juce::XmlElement> createRootElement (const juce::String& tag) const;

    /** The element exists, has the tag (case ignored) and names this plug-in as its "application". */
    bool isOwnXmlElement (const juce::XmlElement* element, const juce::String& tag) const;

    /** Reads the user settings file; a missing or foreign one counts as empty. */
    void loadUserSettings();

    /** Writes the user settings file (and the state dump when it is on); false when nothing was written. */
    bool saveUserSettings();

    bool loadStateDump();
    bool writeStateDump();

    /** The host-parameter map file extension: "." + short name + "hpmap", lower case. */
    juce::String getHostParametersMapFileExtension() const;

    bool isHostParametersMapXml (const juce::XmlElement* element) const;

    /** Replaces the map with the element's assignments; false, changing nothing, for a foreign element. */
    bool readHostParametersMap (const juce::XmlElement* element);
    std::unique_ptr<juce::XmlElement> createHostParametersMapXml() const;
    bool loadHostParametersMap (const juce::File& file);
    bool saveHostParametersMap (const juce::File& file) const;

    /** The user's map file when the settings say so, else the stored "default" map. */
    bool loadStartupHostParametersMap();

    void setHostParametersMapFile (const juce::File& file, bool loadAtStart);
    juce::File getHostParametersMapFile() const                 { return hostMapFile; }
    bool isHostParametersMapFileLoadedAtStart() const noexcept  { return hostMapIsUserFile; }

    juce::String getPresetAuthor() const                        { return presetAuthor; }
    void setPresetAuthor (const juce::String& author)           { presetAuthor = author; }

    //==========================================================================
    // Set-up, editor and shutdown.

    /** This layer's part of the first-time set-up: listens to every parameter,
        reads the user settings, then loads the CC map and the start-up host map. */
    void loadInitialSettings();

    void createPersistentEditor();

    /** True for a plug-in whose set-up runs through its layers' initialise chain. */
    bool usesInitialise() const noexcept                        { return useInitialise; }
    PersistentEditor* getPersistentEditor() const noexcept      { return editor.get(); }
    void deleteEditor();
    void saveSettingsOnClose();

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    // The toolkit's own listeners (the format wrappers) keep their overloads.
    using juce::AudioProcessor::addListener;
    using juce::AudioProcessor::removeListener;

    //==========================================================================
    // Preset folder trees: this plug-in has none, so these act on nothing.

    virtual bool savePresetFile (PresetFolderTree* tree, const juce::File& file);
    virtual bool loadNextPresetFile (PresetFolderTree* tree);
    virtual bool loadPreviousPresetFile (PresetFolderTree* tree);
    int getTotalNumPresetFiles() const                          { return 0; }

    /** Rewrites the author in a preset file; called on the "UpdateAuthorThread" worker. */
    virtual bool updatePresetFileAuthor (const juce::File& file);

    //==========================================================================
    ParameterManager& getParameterManager() noexcept            { return parameterManager; }
    const ParameterManager& getParameterManager() const noexcept { return parameterManager; }
    MidiControl& getMidiControl() noexcept                      { return midiControl; }
    GuiEventsMap& getEventsMap() noexcept                       { return eventsMap; }
    juce::MidiKeyboardState& getKeyboardState() noexcept        { return keyboardState; }

    /** Set to 1 by the audio thread when MIDI arrived; the editor takes it back to 0. */
    std::atomic<int>& getMidiActivityFlag() noexcept            { return midiActivity; }

    //==========================================================================
    /** "*" followed by the extension. */
    static juce::String makeWildcard (const juce::String& extension);

    /** An element with the attribute "state" set to "on" or "off". */
    static std::unique_ptr<juce::XmlElement> createStateElement (const juce::String& tag, bool isOn);

    /** The element's "state" is "on", case ignored. */
    static bool isStateOn (const juce::XmlElement* element);

protected:
    /** The visible slot count, kept inside the map. */
    int getNumVisibleSlots() const;

    /** Runs the non-realtime check at the start of prepareToPlay and processBlock. */
    void checkNonRealtime();

    /** Called at the start of every block. The first sends every slot's value
        to the host: the wrappers listen only after the set-up announced the
        values (a slot the host has set itself is left out, so the host hears no
        echo). Each notes the processing thread. */
    void hostBlockStarted();

    /** Tells a VST3 host, on the thread that is calling, every slot's value:
        after a change the host asked for on a thread of its own, which JUCE's
        VST3 wrapper would report only through the processing's output. Does
        nothing on the plug-in's message thread (the wrapper tells the host
        there) and on the processing thread (there the output is the way). */
    void tellVst3HostSlotValues();

    /** The values and kinds that hosts take as the slots' defaults: called once, when the set-up ends. */
    void captureFreshSlotState();

    /** How many values the parameter takes as a switch or a choice; 0 for any other kind. */
    static int getNumChoices (const Parameter& parameter);

    /** The settings document with this layer's own children (author, CC-map and
        host-map choices, quality defaults, editor settings); a layer that builds
        the document itself takes these children into its own. */
    std::unique_ptr<juce::XmlElement> createOwnUserSettingsXml();

    bool nonRealtime = false;
    std::unique_ptr<PersistentEditor> editor;
    bool editorDeleted = false;
    juce::File pluginFile;
    bool settingsSaved = false;
    ParameterManager parameterManager;

    juce::Array<Parameter*, juce::CriticalSection> hostSlots;
    juce::HashMap<int, int, juce::DefaultHashFunctions, juce::CriticalSection> hostSlotOfParameter { 101 };
    std::array<std::atomic<float>, numHostSlots> hostValues;
    std::array<std::atomic<int>, numHostSlots> hostSlotBeingSet;
    std::array<std::atomic<bool>, numHostSlots> hostHasSetSlot;
    std::atomic<bool> hostValuesSent { false };
    std::atomic<std::thread::id> processingThread {};
    Vst3ComponentHandler vst3Host;

    // Written once when the set-up ends, before any wrapper sees the plug-in; read only afterwards.
    std::unordered_map<int, float> freshValues;
    std::array<int, numHostSlots> freshSlotSteps {};
    juce::ChangeBroadcaster hostMapChanged;
    juce::File hostMapFile;
    bool hostMapIsUserFile = false;

    MidiControl midiControl { parameterManager };
    GuiEventsMap eventsMap;
    juce::MidiKeyboardState keyboardState;

    std::atomic<int> stateRestoredFlag { 0 }, stateSavedFlag { 0 }, preparedFlag { 0 }, processingModeFlag { 0 };
    std::atomic<int> programChangedFlag { 0 };
    std::atomic<int> midiActivity { 0 };

    // The last state block written within maxStateBytes or restored, handed over again
    // in place of a state that is too long.
    juce::MemoryBlock lastStateBlock;
    juce::CriticalSection lastStateBlockLock;

    // The editor's part of the latest state restored off the message thread, until the
    // next asynchronous update or a newer restore on the message thread.
    std::unique_ptr<juce::XmlElement> pendingEditorState;
    juce::CriticalSection pendingEditorStateLock;

    juce::Array<Listener*> listeners;

    PresetFolderTree* presetFolderTree = nullptr;   // this plug-in never has one
    juce::String currentPresetFile;
    bool presetDetached = false, presetModified = false;
    juce::String presetAuthor;

    /** Set by a layer whose set-up runs through the initialise chain. */
    bool useInitialise = false;

private:
    EditorFactory editorFactory;

    bool userSettingsRead = false;

    void addHostSlotParameters();
    void readOwnUserSettings (const juce::XmlElement& root);
    std::unique_ptr<juce::XmlElement> createQualityDefaultsXml() const;
    void readQualityDefaults (const juce::XmlElement& element);
    Parameter* getSlotParameter (int slot) const;

    /** copyXmlToBinary, unless the text is longer than maxTextBytes: then the block is left empty and the answer is false. */
    static bool copyXmlToBlockWithin (const juce::XmlElement& xml, juce::MemoryBlock& block, int maxTextBytes);

    /** The editor's child of a state; null when it has none. Needs the editor. */
    const juce::XmlElement* findEditorState (const juce::XmlElement& element) const;

    template <typename Callback>
    void callListeners (Callback&& callback);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasePlugin)
};
