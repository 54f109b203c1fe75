#pragma once

#include "framework/BasePluginOldStyle.h"
#include "synth/ShuffledClock.h"

#include <atomic>
#include <vector>

/**
    The plug-in layer of the internal pattern sequencer, between the old-style
    preset layer and the instrument.

    It owns the sequencer's switches and their defaults for new instances, the
    play state shared with the audio thread, the sequencer's step clock, the 82
    state parameters through which every display follows the sequencer, the 39
    sequencer actions with their guards, and the sequencer's part of the plug-in
    state and the user settings. It knows patterns only through the virtual
    operations below, which the instrument implements.

    Threads: actions, editor parameter changes, state and settings run on the
    message thread. The audio thread reads the switches once per block and takes
    the play request at the start of its next block; every flag is atomic.
*/
class IntSeqPlugin : public BasePluginOldStyle
{
public:
    /** The state parameters through which the displays follow the sequencer. */
    enum StateParameterId
    {
        internalSequencerStateId = 200000,
        internalSyncStateId,
        hostModeStateId,
        noteOffStateId,
        playStateId,
        writeModeStateId,
        writeModeActivityId,
        autoFollowStateId,
        randomizerStateId,
        lengthModeStateId,
        clipboardStateId,
        nativeModeReadyStateId,
        patternNumberId,
        patternNameId,
        patternNameEditionStateId,
        patternTempoId,
        patternTempoStateId,
        patternShuffleId,
        firstStepStateId,                          // 16 of each, step 01 first
        firstStepBlinkingId = firstStepStateId + 16,
        firstStepInverseId = firstStepBlinkingId + 16,
        firstStepLengthStateId = firstStepInverseId + 16,
        lastStateParameterId = firstStepLengthStateId + 15
    };

    /** The sequencer's actions; event id = firstActionEvent + n. */
    enum ActionEvent
    {
        toggleInternalSequencerEvent = 2000,
        toggleInternalSyncEvent,
        toggleHostModeEvent,
        toggleNoteOffModeEvent,
        togglePatternWriteModeEvent,
        toggleAutoFollowModeEvent,
        toggleRandomizerEvent,
        toggleLengthModeEvent,
        startStopEvent,
        startEvent,
        stopEvent,
        shiftLeftEvent,
        shiftRightEvent,
        prevEvent,
        nextEvent,
        acceptEvent,
        undoEvent,
        copyEvent,
        pasteEvent,
        clearEvent,
        clear2ndEvent,
        loadPatternsEvent,
        savePatternsEvent,
        setPatternLengthTo01Event,
        setPatternLengthTo16Event = setPatternLengthTo01Event + 15
    };

    enum PlayState { noRequest = 0, playing = 1, stopped = 2 };
    enum HostPlayDetection { byTransportChange = 0, byLowestCNoteOn = 1 };
    enum PatternsDefaultMode { factoryPatterns = 0, clearPatterns = 1, userDefinedPatterns = 2 };

    /** The longest pattern file read: 2.3 KB, and under 5 KB with the longest
        name (Pattern::maxNameLength), every character a reference. */
    static constexpr juce::int64 maxPatternFileBytes = 64 * 1024;

    /** The longest pattern bank file read. The factory bank is 207 KB, 295 KB
        with every pattern named with 128 three-byte characters, and 450 KB
        with the longest names written in the longest way. */
    static constexpr juce::int64 maxPatternBankFileBytes = 2 * 1024 * 1024;

    IntSeqPlugin (int numPresetParameters, int numOtherParameters);
    ~IntSeqPlugin() override;

    //==========================================================================
    // Switches and derived conditions

    bool isInternalSequencerOn() const noexcept     { return internalSequencer.load(); }
    bool isInternalSyncOn() const noexcept          { return internalSync.load(); }
    bool isHostModeOn() const noexcept              { return hostMode.load(); }
    bool isNoteOffModeOn() const noexcept           { return noteOffMode.load(); }
    bool isWriteModeOn() const noexcept             { return writeMode.load(); }
    bool isAutoFollowOn() const noexcept            { return autoFollow.load(); }
    bool isRandomizerOn() const noexcept            { return randomizer.load(); }
    bool isLengthModeOn() const noexcept            { return lengthMode.load(); }
    bool isClipboardFull() const noexcept           { return clipboardFull.load(); }
    int getHostPlayDetection() const noexcept       { return hostPlayDetection.load(); }
    void setHostPlayDetection (int detection);

    /** Host mode always counts as edit mode. */
    bool isEditModeActive() const;
    bool isRandomizerActive() const;
    bool isSequencerRunning() const;
    bool isInternalSyncAvailable() const            { return isInternalSequencerOn(); }
    bool isHostModeAvailable() const                { return isInternalSequencerOn(); }
    bool isNoteOffModeAvailable() const             { return isInternalSequencerOn(); }

    /** The current (edited) pattern in edit mode, otherwise the playing one. */
    int getShownPatternIndex();

    void setInternalSequencer (bool shouldBeOn);
    void setInternalSync (bool shouldBeOn);
    void setHostMode (bool shouldBeOn);
    void setNoteOffMode (bool shouldBeOn);
    void setAutoFollow (bool shouldBeOn);
    void setRandomizer (bool shouldBeOn);
    void setLengthMode (bool shouldBeOn);

    //==========================================================================
    // Defaults for new instances (user settings)

    bool getDefaultInternalSequencer() const noexcept   { return defaultInternalSequencer; }
    bool getDefaultInternalSync() const noexcept        { return defaultInternalSync; }
    bool getDefaultHostMode() const noexcept            { return defaultHostMode; }
    bool getDefaultNoteOffMode() const noexcept         { return defaultNoteOffMode; }
    int getDefaultPatternsMode() const noexcept         { return defaultPatternsMode; }
    const juce::File& getUserPatternsFile() const noexcept { return userPatternsFile; }

    void setDefaultInternalSequencer (bool on)          { defaultInternalSequencer = on; }
    void setDefaultInternalSync (bool on)               { defaultInternalSync = on; }
    void setDefaultHostMode (bool on)                   { defaultHostMode = on; }
    void setDefaultNoteOffMode (bool on)                { defaultNoteOffMode = on; }
    void setDefaultPatternsMode (int mode);

    juce::String getUserPatternsFileName() const;
    /** Stores the file and selects the user-defined patterns mode. */
    void setUserPatternsFile (const juce::File& file);

    //==========================================================================
    // Play state, shared with the audio thread

    int getPlayState() const noexcept                   { return playState.load(); }
    /** Leaves a play request (playing or stopped) for the next audio block. */
    void requestPlayState (int state)                   { requestedPlayState.store (state); }
    int getRequestedPlayState() const noexcept          { return requestedPlayState.load(); }

    void restartSequencer();
    void setHostPatternIndex (int index)                { hostPatternIndex = index; }
    int getHostPatternIndex() const noexcept            { return hostPatternIndex; }

    /** Tempo of the playing pattern: the sequencer's tempo under internal sync. */
    double getPlayingPatternTempo();
    /** The playing pattern's shuffle as the clock's shuffle factor, 0..0.6 of a step. */
    double getPlayingShuffleAmount();

    ShuffledClock& getSequencerClock() noexcept         { return sequencerClock; }

    //==========================================================================
    // Overridable sequencer interface; the instrument implements the patterns.

    virtual void loadAudioOutputSettingsFromXml (const juce::XmlElement&) {}
    virtual std::unique_ptr<juce::XmlElement> createAudioOutputSettingsXml() { return nullptr; }

    virtual void updateInternalSequencerState();
    virtual void internalSequencerStateChanged (bool newValue, bool oldValue);
    virtual void updateInternalSyncState();
    virtual void updateHostModeState();
    virtual void hostModeChanged();
    virtual void updateNoteOffState();
    virtual void updateWriteModeState();
    virtual bool isPatternEditAllowed() const;
    virtual bool isAutoFollowActive() const;
    virtual void updateAutoFollowState();
    virtual void resetPatternUndo() {}
    virtual void clearPatternUndo() {}
    virtual bool selectNextRandomVariant()              { return true; }
    virtual bool selectPreviousRandomVariant()          { return true; }
    virtual void acceptRandomVariant() {}
    virtual void rejectRandomVariant() {}
    virtual void updateRandomizerState();
    virtual void updateLengthModeState();
    virtual void selectNextPattern();
    virtual void selectPreviousPattern();
    virtual int getCurrentPatternIndex()                { return 0; }
    virtual int getPlayingPatternIndex()                { return 0; }
    virtual int getNumPatterns()                        { return 0; }
    virtual juce::String getPatternName (int)           { return {}; }
    virtual void setPatternName (int index, const juce::String& name);
    virtual int getPatternLength (int)                  { return 16; }
    virtual void setPatternLength (int index, int steps);
    virtual double getMinTempo()                        { return 30.0; }
    virtual double getMaxTempo()                        { return 300.0; }
    virtual double getDefaultTempo()                    { return 120.0; }
    virtual double getPatternTempo (int)                { return 120.0; }
    virtual void setPatternTempo (int index, double tempo);
    virtual int getPatternShuffle (int)                 { return 0; }
    virtual void setPatternShuffle (int index, int percent);
    virtual void clearPattern() {}
    virtual void copyPattern();
    virtual void pastePattern();
    virtual void cancelPatternCopy();
    virtual void undoPatternClear() {}
    virtual void shiftPatternLeft (int) {}
    virtual void shiftPatternRight (int) {}
    virtual void updateNativeModeReadyState();
    virtual void startSequencer();
    virtual void stopSequencer();
    virtual void advanceSequencerStep() {}
    virtual void releaseSequencerStep() {}
    virtual int getCurrentStepIndex()                   { return 0; }
    virtual bool isCurrentPatternPlaying()              { return false; }
    virtual bool selectPattern()                        { return false; }
    void updateStepInverseStates();
    virtual void updatePatternStates();

    //==========================================================================
    // Pattern files and XML

    bool isPatternXml (const juce::XmlElement& element) const;
    virtual void readPatternXml (const juce::XmlElement&, int) {}
    virtual std::unique_ptr<juce::XmlElement> createPatternXml (int) { return nullptr; }

    /** Reads the "Pattern" children of a "PatternBank" into the patterns in order;
        patterns beyond the last one keep their content. False for another tag. */
    bool readPatternBankXml (const juce::XmlElement& element);
    std::unique_ptr<juce::XmlElement> createPatternBankXml();

    juce::String getPatternFileExtension() const;
    juce::String getPatternBankFileExtension() const;
    virtual int getNumExtraPatternFileExtensions() const            { return 0; }
    virtual juce::String getExtraPatternFileExtension (int) const   { return {}; }
    virtual int getNumExtraPatternBankFileExtensions() const        { return 0; }
    virtual juce::String getExtraPatternBankFileExtension (int) const { return {}; }

    juce::String getPatternLoadWildcard() const;
    juce::String getPatternSaveWildcard() const;
    juce::String getPatternBankLoadWildcard() const;
    juce::String getPatternBankSaveWildcard() const;

    /** Each returns false, changing nothing, when the file cannot be read or written
        or holds no pattern of this plug-in. */
    bool loadPatternFile (const juce::File& file, int index);
    bool savePatternFile (const juce::File& file, int index);
    virtual bool loadPatternBankFile (const juce::File& file);
    bool savePatternBankFile (const juce::File& file);
    bool loadDefaultPatternBankFile (const juce::String& resourceName);

    void loadPatternsStateFromXml (const juce::XmlElement& element);
    std::unique_ptr<juce::XmlElement> createPatternsStateXml();

    //==========================================================================
    // Settings and state

    virtual void loadInternalSequencerDefaultsFromXml (const juce::XmlElement& element);
    virtual std::unique_ptr<juce::XmlElement> createInternalSequencerDefaultsXml();
    virtual void loadInternalSequencerStateFromXml (const juce::XmlElement& element);
    virtual std::unique_ptr<juce::XmlElement> createInternalSequencerStateXml();

    //==========================================================================
    // Overrides of the framework layers

    void initialise() override;
    void performEvent (int uid) override;
    void parameterChanged (Parameter* parameter) override;
    void loadUserSettingsFromXml (const juce::XmlElement& element) override;
    std::unique_ptr<juce::XmlElement> createUserSettingsXml() override;
    void setStateFromXml (const juce::XmlElement& element) override;
    std::unique_ptr<juce::XmlElement> createStateXml() override;
    void loadResourcesSettingsFromXml (const juce::XmlElement& element) override;
    std::unique_ptr<juce::XmlElement> createResourcesSettingsXml() override;

protected:
    void updateTempoStates();
    void updatePatternNumberState();
    void updatePatternNameState();
    void updateStepLengthStates();
    void updatePatternShuffleState();

    ShuffledClock sequencerClock;

    std::atomic<bool> startedByLowestC { false };
    std::atomic<int> playState { stopped };
    std::atomic<int> requestedPlayState { stopped };

    // Used by the audio thread only.
    int hostPatternKeysHeld = 0;
    int hostPatternIndex = -1;

private:
    void registerStateParameters();
    void registerActions();
    void applyDefaultPatterns();

    /** Puts each "Pattern" of the bank at its index in the list, over what an
        earlier bank put there; reading the list then reads each index once. */
    void collectBankPatterns (const juce::XmlElement& bank, std::vector<const juce::XmlElement*>& patterns);
    void readCollectedPatterns (const std::vector<const juce::XmlElement*>& patterns);

    std::atomic<bool> internalSequencer { false };
    std::atomic<bool> internalSync { false };
    std::atomic<bool> hostMode { false };
    std::atomic<bool> noteOffMode { false };
    std::atomic<int> hostPlayDetection { byTransportChange };
    std::atomic<bool> writeMode { false };
    std::atomic<bool> autoFollow { true };
    std::atomic<bool> randomizer { false };
    std::atomic<bool> lengthMode { false };
    std::atomic<bool> clipboardFull { false };

    bool defaultInternalSequencer = true;
    bool defaultInternalSync = false;
    bool defaultHostMode = false;
    bool defaultNoteOffMode = true;
    int defaultPatternsMode = factoryPatterns;
    juce::File userPatternsFile;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IntSeqPlugin)
};
