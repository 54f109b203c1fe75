#pragma once

#include "framework/BasePlugin.h"
#include "framework/PresetManager.h"

/**
    The plug-in layer whose presets live in 128 numbered slots of one preset
    bank, divided into named groups (see PresetManager, which holds them).

    It adds "Current Preset Number" (110000) and "Current Preset Name" (110001),
    fills the slots in the first-time set-up from the factory bank, cleared
    presets or the user's bank, stores edits into the current slot in automatic
    storing mode, and keeps its preset and resources settings in the user
    settings and its parameter and preset children in the plug-in state.

    The parameters with ids 0 to numPresetParameters - 1 are the preset
    parameters; the next numOtherParameters stay out of presets.
*/
class BasePluginOldStyle : public BasePlugin
{
public:
    using PresetSlot = ::PresetSlot;
    using PresetManagerListener = PresetManager::Listener;

    static constexpr int currentPresetNumberId = PresetManager::currentPresetNumberId;
    static constexpr int currentPresetNameId = PresetManager::currentPresetNameId;

    /** Where the set-up takes the presets from. */
    enum PresetsDefaultMode
    {
        factoryPresets = 0,
        clearedPresets = 1,
        userDefinedPresets = 2
    };

    BasePluginOldStyle (int numPresetParameters, int numOtherParameters);
    ~BasePluginOldStyle() override;

    //==========================================================================
    // The first-time set-up, settings and state.

    /** Maps the first parameters onto the host slots, runs the layers below,
        then fills the presets as the presets default mode says and applies the
        current one. A bank that cannot be read leaves cleared presets, never
        empty slots. */
    void initialise() override;

    void loadUserSettingsFromXml (const juce::XmlElement& element) override;
    std::unique_ptr<juce::XmlElement> createUserSettingsXml() override;

    void setStateFromXml (const juce::XmlElement& element) override;
    std::unique_ptr<juce::XmlElement> createStateXml() override;

    /** The host's per-program state: the current slot as a "Preset" element. */
    void setCurrentProgramStateFromXml (const juce::XmlElement& element) override;
    std::unique_ptr<juce::XmlElement> createCurrentProgramStateXml() override;

    /** Renames the current slot for "Current Preset Name"; stores preset
        parameters into the current slot in automatic storing mode. */
    void parameterChanged (Parameter* parameter) override;

    /** Copies an older settings file from the common settings folder into the
        user's, when the user has none yet. The older file goes only once its
        copy reads back whole; a failed copy leaves no partial file. */
    void moveSettingsToUserFolder();

    //==========================================================================
    // Programs. Under VST3 the 128 preset slots are the programs: VST3 carries
    // program changes no other way. Other formats have one program, named after
    // the current preset, and choosing it changes nothing.

    /** True when the VST3 wrapper made this instance (the library serves every format). */
    bool arePresetsHostPrograms() const noexcept                { return wrapperType == wrapperType_VST3; }

    int getNumPrograms() override;
    int getCurrentProgram() override;

    /** Does what a MIDI program change does; the current program changes nothing,
        so a host re-sending it while restoring a project keeps the restored values. */
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;

    int getPresetsDefaultMode() const noexcept                  { return presetsDefaultMode; }
    void setPresetsDefaultMode (int mode);
    const juce::File& getUserPresetsFile() const noexcept       { return userPresetsFile; }
    void setUserPresetsFile (const juce::File& file)            { userPresetsFile = file; }

    bool loadDefaultPresetFromResource (const juce::String& resourceName);

    /** True when the resource gave a bank; the current preset is then applied. */
    bool loadBankFromResource (const juce::String& resourceName);

    /** True when the file gave a bank; the current preset is then applied. */
    bool loadBankFromFile (const juce::File& file);

    void clearPresets();

    /** Sets every parameter outside presets to its own value again, with notification. */
    void refreshOtherParameters();

    //==========================================================================
    // Operations the layers above may replace.

    virtual void loadResourcesSettingsFromXml (const juce::XmlElement& element);
    virtual std::unique_ptr<juce::XmlElement> createResourcesSettingsXml();
    virtual bool isPresetStoringModeSupported() const           { return true; }
    virtual bool isPresetChangingModeSupported() const          { return true; }
    virtual int getNumExtraPresetFileExtensions() const         { return 0; }
    virtual juce::String getExtraPresetFileExtension (int) const { return {}; }
    virtual int getNumExtraBankFileExtensions() const           { return 0; }
    virtual juce::String getExtraBankFileExtension (int) const  { return {}; }

    virtual bool isNotPresetableParamsXml (const juce::XmlElement* element) const;
    virtual void loadNotPresetableParamsFromXml (const juce::XmlElement& element);
    virtual std::unique_ptr<juce::XmlElement> createNotPresetableParamsXml();
    virtual bool isPresetXml (const juce::XmlElement* element) const;
    virtual bool readPresetSlotFromXml (const juce::XmlElement& element, PresetSlot& slot);
    virtual bool loadPresetFromXml (const juce::XmlElement& element, int slotIndex);
    virtual std::unique_ptr<juce::XmlElement> createPresetSlotXml (const PresetSlot& slot);
    virtual std::unique_ptr<juce::XmlElement> createPresetXml (int slotIndex);
    virtual bool isPresetGroupXml (const juce::XmlElement* element) const;
    virtual bool isPresetBankXml (const juce::XmlElement* element) const;
    virtual bool loadBankFromXml (const juce::XmlElement& element);
    virtual std::unique_ptr<juce::XmlElement> createBankXml();

    virtual int getNumExtraMidiCCMapFileExtensions() const      { return 0; }
    virtual juce::String getExtraMidiCCMapFileExtension (int) const { return {}; }

    //==========================================================================
    // File names and choosers' patterns.

    /** "." + the short name + "prs", lower case: ".tqprs". */
    juce::String getPresetFileExtension() const;
    /** ".tqprsb" */
    juce::String getBankFileExtension() const;
    /** ".tqccmap" */
    juce::String getMidiCCMapFileExtension() const;

    juce::String getPresetSaveWildcard() const;
    juce::String getPresetLoadWildcard() const;
    juce::String getBankSaveWildcard() const;
    juce::String getBankLoadWildcard() const;
    juce::String getMidiCCMapLoadWildcard() const;

    bool loadPresetFileIntoSlot (const juce::File& file, int slotIndex);
    bool savePresetSlotToFile (const juce::File& file, int slotIndex);
    bool loadPresetFileIntoCurrentSlot (const juce::File& file);
    bool saveCurrentPresetToFile (const juce::File& file);
    bool saveBankToFile (const juce::File& file);

    void setLastUsedFolder (const juce::File& folder)           { presets.setLastUsedFolder (folder); }
    const juce::File& getLastUsedFolder() const noexcept        { return presets.getLastUsedFolder(); }

    //==========================================================================
    // The preset slots and groups.

    int getNumPresetParameters() const noexcept                 { return presets.getNumPresetParameters(); }
    int getNumOtherParameters() const noexcept                  { return presets.getNumOtherParameters(); }
    int getNumPresetAndOtherParameters() const noexcept         { return presets.getNumParameters(); }

    int getNumPresets() const noexcept                          { return presets.getNumPresets(); }
    int getCurrentPresetIndex() const noexcept                  { return presets.getCurrentPresetIndex(); }
    juce::String getPresetName (int index) const                { return presets.getPresetName (index); }
    void setPresetName (int index, const juce::String& name)    { presets.setPresetName (index, name); }
    void renameCurrentPreset (const juce::String& name)         { presets.renameCurrentPreset (name); }

    /** Safe on the audio thread: a MIDI program change selects a preset there. */
    void selectPreset (int index, bool force)                   { presets.selectPreset (index, force); }
    void selectNextPreset (int step)                            { presets.selectNextPreset (step); }
    void selectPreviousPreset (int step)                        { presets.selectPreviousPreset (step); }
    void selectPresetInGroup (int group, int position)          { presets.selectPresetInGroup (group, position); }
    void setCurrentPresetIndex (int index, bool notify)         { presets.setCurrentPresetIndex (index, notify); }
    void loadCurrentPreset()                                    { presets.loadCurrentPreset(); }
    void reloadCurrentPreset()                                  { presets.reloadCurrentPreset(); }

    void storeCurrentPreset()                                   { presets.storeCurrentPreset(); }
    void setPresetStoringMode (int mode)                        { presets.setPresetStoringMode (mode); }
    int getPresetStoringMode() const noexcept                   { return presets.getPresetStoringMode(); }
    void setPresetChangingMode (int mode)                       { presets.setPresetChangingMode (mode); }
    int getPresetChangingMode() const noexcept                  { return presets.getPresetChangingMode(); }

    void copyCurrentPreset()                                    { presets.copyCurrentPreset(); }
    void pasteCopiedPreset()                                    { presets.pasteCopiedPreset(); }
    void copyPresetSlot (int destination, int source)           { presets.copyPresetSlot (destination, source); }
    PresetSlot* getPresetSlot (int index) const                 { return presets.getPresetSlot (index); }
    const PresetSlot& getDefaultPreset() const noexcept         { return presets.getDefaultPreset(); }
    const juce::String& getBankName() const noexcept            { return presets.getBankName(); }

    void addPresetManagerListener (PresetManagerListener* listener) { presets.addPresetManagerListener (listener); }

    int getNumGroups() const                                    { return presets.getNumGroups(); }
    juce::String getGroupName (int group) const                 { return presets.getGroupName (group); }
    void setGroupName (int group, const juce::String& name)     { presets.setGroupName (group, name); }
    int getNumPresetsInGroup (int group) const                  { return presets.getNumPresetsInGroup (group); }
    int getGroupStartIndex (int group) const                    { return presets.getGroupStartIndex (group); }
    int getGroupEndIndex (int group) const                      { return presets.getGroupEndIndex (group); }
    int getGroupOfPreset (int index) const                      { return presets.getGroupOfPreset (index); }
    int getPresetIndexInGroup (int group, int position) const   { return presets.getPresetIndexInGroup (group, position); }
    juce::String getPresetNameInGroup (int group, int position) const { return presets.getPresetNameInGroup (group, position); }
    void setPresetNameInGroup (int group, int position, const juce::String& name) { presets.setPresetNameInGroup (group, position, name); }
    void getPresetGroupAndPosition (int index, int& group, int& position) const { presets.getPresetGroupAndPosition (index, group, position); }
    void getCurrentPresetGroupAndPosition (int& group, int& position) const { presets.getCurrentPresetGroupAndPosition (group, position); }

    /** The moves keep the current preset current under its new index; under
        VST3, where the slots are the programs, the host is told of the new one. */
    bool movePreset (int from, int to, int fromGroup, int toGroup);
    bool movePresetsToGroup (int destinationGroup, int sourceGroup, const juce::SparseSet<int>& positions);
    bool moveGroup (int from, int to);
    bool insertNewGroup (int position)                          { return presets.insertNewGroup (position); }
    bool removeGroupIfEmpty (int position)                      { return presets.removeGroupIfEmpty (position); }

    PresetManager& getPresetManager() noexcept                  { return presets; }

private:
    juce::String makeLoadWildcard (const juce::String& extension, int numExtra,
                                   const std::function<juce::String (int)>& extraExtension) const;
    void readPresetSettings (const juce::XmlElement& element);
    void readParametersState (const juce::XmlElement& element);
    void readPresetsState (const juce::XmlElement& element);
    void fillPresetsAsTheDefaultModeSays();
    bool tellHostIfTheCurrentIndexMoves (const std::function<bool()>& move);

    PresetManager presets;
    std::atomic<bool> hostIsChoosingProgram { false };
    int presetsDefaultMode = factoryPresets;
    juce::File userPresetsFile;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasePluginOldStyle)
};
