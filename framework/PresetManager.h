#pragma once

#include "framework/ParameterManager.h"
#include "framework/PresetSlot.h"

#include <atomic>
#include <functional>
#include <optional>

/**
    The old-style plug-in's preset collection: 128 preset slots divided, in
    order and without gaps, into named groups; the current preset; storing,
    copying and moving presets; and the preset and bank XML and files.

    The preset parameters are the parameters with ids 0 to
    numPresetParameters - 1. Applying a preset sets them, then "Current Preset
    Number" (110000) and "Current Preset Name" (110001), then tells the
    listeners; those two parameters must be in the parameter table.

    The slot list and the group list each have their own lock, held only while
    a slot or group is looked up or a list changes, and the slot list's also
    while a slot is made current and applied, and from a move's first look at
    the current slot until it is current again under its new index, so that
    selections and automatic storing on two threads never mix. The group lock
    is taken before the slot lock, never after it. Values inside a slot are
    atomic and read and written without a lock. Everything runs on the message
    thread except selectPreset for a MIDI program change (and automatic storing
    of a controller's change), which the audio thread calls.
*/
class PresetManager
{
public:
    static constexpr int numPresets = 128;
    static constexpr int currentPresetNumberId = 110000;
    static constexpr int currentPresetNameId = 110001;

    /** The longest preset file read: 2.4 KB, and under 5 KB with the longest
        name (PresetSlot::maxNameLength), every character a reference. */
    static constexpr juce::int64 maxPresetFileBytes = 64 * 1024;

    /** The longest bank file read. The factory bank is 63 KB; all 128 slots in
        groups of one, each slot and group named with 128 three-byte
        characters, make 440 KB, and the fullest bank the plug-in can write
        (as for the state, BasePlugin::maxStateBytes) 1.2 MB. */
    static constexpr juce::int64 maxBankFileBytes = 2 * 1024 * 1024;

    /** The most groups the collection holds ("Not used" included). A bank
        needs at most one group a slot and one for the unused slots; beyond
        that a file could bring tens of thousands of empty ones, which every
        saved bank and state would carry on. */
    static constexpr int maxGroups = 256;

    enum StoringMode
    {
        automaticStoring = 0,
        onDemandStoring = 1
    };

    enum ChangingMode
    {
        normalChanging = 0,
        silentChanging = 1
    };

    /** Told after the current preset's values have been applied, on the thread that applied them. */
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void currentPresetLoaded() = 0;
    };

    /** Takes over selections in silent changing mode instead of applying them at once. */
    class ChangeHandler
    {
    public:
        virtual ~ChangeHandler() = default;
        virtual void presetChangeRequested (int index, bool force) = 0;
    };

    /** Creates the 128 slots ("Preset", all zeros) and no group. The default
        preset takes the current normalised values of the preset parameters.
        applicationName gives the plug-in's name for the "application" attribute. */
    PresetManager (ParameterManager& parameterManager,
                   int numPresetParameters,
                   int numOtherParameters,
                   std::function<juce::String()> applicationName);

    ~PresetManager();

    int getNumPresetParameters() const noexcept { return numPresetParameters; }
    int getNumOtherParameters() const noexcept { return numOtherParameters; }
    int getNumParameters() const noexcept { return numPresetParameters + numOtherParameters; }

    //==========================================================================
    int getNumPresets() const noexcept { return numPresets; }
    int getCurrentPresetIndex() const noexcept { return currentPreset.load(); }

    /** Empty when the index is out of range. */
    juce::String getPresetName (int index) const;

    /** Renaming the current slot also sets "Current Preset Name". */
    void setPresetName (int index, const juce::String& name);
    void renameCurrentPreset (const juce::String& name);

    /** Makes the slot current and applies it, unless a change handler takes
        over in silent mode. May run on the audio thread (program change). */
    void selectPreset (int index, bool force);

    /** Never wraps: a target outside the slots is ignored. */
    void selectNextPreset (int step);
    void selectPreviousPreset (int step);
    void selectPresetInGroup (int group, int position);

    /** Makes the slot current and updates the two preset parameters without applying its values. */
    void setCurrentPresetIndex (int index, bool notify);

    void loadCurrentPreset();
    void reloadCurrentPreset();

    /** Writes the preset parameters' current values into the current slot. */
    void storeCurrentPreset();

    /** Writes one parameter's value into the current slot (automatic storing). */
    void storeParameterValue (int id, float normalisedValue);

    /** Switching to automatic storing stores the current values at once. */
    void setPresetStoringMode (int mode);
    int getPresetStoringMode() const noexcept { return storingMode.load(); }

    void setPresetChangingMode (int mode);
    int getPresetChangingMode() const noexcept { return changingMode.load(); }

    void setPresetChangeHandler (ChangeHandler* handler) noexcept { presetChangeHandler = handler; }

    void copyCurrentPreset();

    /** Nothing unless something was copied. */
    void pasteCopiedPreset();
    bool isCopyBufferFilled() const noexcept { return copyBufferFilled; }

    void copyPresetSlot (int destination, int source);

    /** Null when the index is out of range. The pointer stays valid while the
        collection lives; moves change its index, not the object. */
    PresetSlot* getPresetSlot (int index) const;

    PresetSlot& getDefaultPreset() noexcept { return defaultPreset; }
    const PresetSlot& getDefaultPreset() const noexcept { return defaultPreset; }
    const PresetSlot& getCopyBuffer() const noexcept { return copyBuffer; }

    const juce::String& getBankName() const noexcept { return bankName; }

    /** Slot i becomes "Preset i" with the default values; one group "Not used" holds them all. */
    void clearPresets();

    /** Null is ignored, and a listener is held at most once. */
    void addPresetManagerListener (Listener* listener);

    //==========================================================================
    int getNumGroups() const;
    juce::String getGroupName (int group) const;
    void setGroupName (int group, const juce::String& name);
    int getNumPresetsInGroup (int group) const;
    int getGroupStartIndex (int group) const;
    int getGroupEndIndex (int group) const;
    int getGroupOfPreset (int index) const;
    int getPresetIndexInGroup (int group, int position) const;
    juce::String getPresetNameInGroup (int group, int position) const;
    void setPresetNameInGroup (int group, int position, const juce::String& name);
    void getPresetGroupAndPosition (int index, int& group, int& position) const;
    void getCurrentPresetGroupAndPosition (int& group, int& position) const;

    /** Moves one slot in the flat list; from must lie in fromGroup and the slot
        must end up inside toGroup. False (nothing changed) otherwise. */
    bool movePreset (int from, int to, int fromGroup, int toGroup);

    /** Moves the selected positions of the source group to the end of the
        destination group, keeping their order. Every position must lie inside
        the source group. */
    bool movePresetsToGroup (int destinationGroup, int sourceGroup, const juce::SparseSet<int>& positions);

    bool moveGroup (int from, int to);

    /** Inserts an empty "New Group" before an existing group; false with maxGroups already there. */
    bool insertNewGroup (int position);
    bool removeGroupIfEmpty (int position);

    //==========================================================================
    /** "NotPresetableParams" or the older "NotPresetParams". */
    static bool isNotPresetableParamsXml (const juce::XmlElement* xml);
    void loadNotPresetableParamsFromXml (const juce::XmlElement& xml);
    std::unique_ptr<juce::XmlElement> createNotPresetableParamsXml() const;

    /** A "Preset" element of this plug-in. */
    bool isPresetXml (const juce::XmlElement* xml) const;

    /** False, and the slot untouched, unless the element is accepted. */
    bool readPresetSlotFromXml (const juce::XmlElement& xml, PresetSlot& slot) const;
    bool loadPresetFromXml (const juce::XmlElement& xml, int slotIndex);
    std::unique_ptr<juce::XmlElement> createPresetSlotXml (const PresetSlot& slot) const;

    /** Null when the index is out of range. */
    std::unique_ptr<juce::XmlElement> createPresetXml (int slotIndex) const;

    static bool isPresetGroupXml (const juce::XmlElement* xml);
    static bool isPresetBankXml (const juce::XmlElement* xml);

    /** Replaces every slot and group with the bank's; the caller applies the
        current preset afterwards. False, and nothing changed, for another
        element or a bank that holds no preset of this plug-in. */
    bool loadBankFromXml (const juce::XmlElement& xml);
    std::unique_ptr<juce::XmlElement> createBankXml() const;

    //==========================================================================
    /** Applies the slot when it is the current one. False when the file gives no accepted preset. */
    bool loadPresetFileIntoSlot (const juce::File& file, int slotIndex);

    /** Written beside the old file and then put in its place, so a failed write keeps the old one. */
    bool savePresetSlotToFile (const juce::File& file, int slotIndex);

    bool loadPresetFileIntoCurrentSlot (const juce::File& file);
    bool saveCurrentPresetToFile (const juce::File& file);
    bool saveBankToFile (const juce::File& file);

    /** Reads a bank and applies the current preset. False, and nothing changed, when it gives no bank. */
    bool loadBankFromFile (const juce::File& file);
    bool loadBankFromResource (const juce::String& resourceName);

    /** Reads the default preset from a resource; false, keeping the old defaults, when it gives none. */
    bool loadDefaultPresetFromResource (const juce::String& resourceName);

    /** Only an existing folder is taken. */
    void setLastUsedFolder (const juce::File& folder);
    const juce::File& getLastUsedFolder() const noexcept { return lastUsedFolder; }

    /** For tests: called by every move with the slot lock held, once the slots
        have moved and before the current preset is current again under its new
        index; another thread cannot take the lock there. */
    void setMoveWindowHook (std::function<void()> hook) { moveWindowHook = std::move (hook); }

    /** The slot list's lock, for tests that look at who can take it during a move. */
    const juce::CriticalSection& getSlotLock() const noexcept { return presets.getLock(); }

private:
    struct Group
    {
        juce::String name;
        int count = 0;
    };

    using ScopedPresetLock = juce::OwnedArray<PresetSlot, juce::CriticalSection>::ScopedLockType;
    using ScopedGroupLock = juce::OwnedArray<Group, juce::CriticalSection>::ScopedLockType;

    float getParameterValue (int id) const;
    void setParameterValue (int id, float normalisedValue) const;
    void takeParameterValues (PresetSlot& slot) const;
    void resetSlotsAndGroups();
    void keepPresetCurrent (const PresetSlot* slot);
    bool loadBankFromText (const juce::String& text);
    bool holdsAcceptedPreset (const juce::XmlElement& bank) const;
    void takeFolderOf (const juce::File& file);

    ParameterManager& parameters;
    const int numPresetParameters;
    const int numOtherParameters;
    std::function<juce::String()> applicationName;

    juce::OwnedArray<PresetSlot, juce::CriticalSection> presets;
    juce::OwnedArray<Group, juce::CriticalSection> groups;
    std::atomic<int> currentPreset { 0 };
    PresetSlot defaultPreset;
    PresetSlot copyBuffer;
    bool copyBufferFilled = false;
    juce::String bankName { "Preset Bank" };
    std::atomic<int> storingMode { onDemandStoring };
    std::atomic<int> changingMode { normalChanging };
    ChangeHandler* presetChangeHandler = nullptr;
    juce::Array<Listener*> listeners;
    juce::File lastUsedFolder;
    std::function<void()> moveWindowHook;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetManager)
};
