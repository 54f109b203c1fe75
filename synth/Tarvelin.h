#pragma once

#include "synth/Arpeggiator.h"
#include "synth/IntSeqPlugin.h"
#include "synth/MidiEventCursor.h"
#include "synth/Pattern.h"
#include "synth/PatternRandomizer.h"
#include "synth/TarvelinCore.h"
#include "synth/TarvelinIds.h"

#include <array>
#include <atomic>
#include <memory>
#include <vector>

/**
    The instrument: the most derived layer of the plug-in object. It owns the
    voice engine behind its lock, the arpeggiator, the 96 patterns and the
    pattern engine that plays and edits them, and runs the block processing
    that ties MIDI, the two step clocks and the voice together: MIDI and the
    clocks sample by sample, the voice in runs between the samples where they act.

    Threads: processBlock and the note routing run on the audio thread; the
    parameter handlers run on whichever thread set a parameter; everything else
    runs on the message thread. The message thread hands the audio thread three
    one-shot requests (stop, arpeggiator reset, all notes off), taken at the
    start of the next block. Every call into the engine holds engineLock. The
    audio thread may select patterns, but the lamps and displays that show them
    are written on the message thread only (see canPublishDisplaysNow).
*/
class Tarvelin : public IntSeqPlugin,
                 private Arpeggiator::Output,
                 private BasePluginOldStyle::PresetManagerListener
{
public:
    static constexpr int numPatterns = 96;
    static constexpr int numNativePatterns = 24;    // three banks of eight outside host mode

    Tarvelin();
    ~Tarvelin() override;

    //==========================================================================
    // Identity

    juce::String getPluginName() const override         { return "Tarvelin"; }
    juce::String getPluginShortName() const override    { return "TQ"; }
    int getNumHostParameters() const override           { return TarvelinIds::numHostParameters; }

    /** A selected preset always applies at once: there is no silent changing. */
    bool isPresetChangingModeSupported() const override { return false; }

    juce::String getSoftwareDescription() const override;
    juce::String getSoftwareVersion() const override    { return "1.9.5"; }
    juce::String getSoftwareWebPage() const override;
    juce::String getSoftwareYear() const override       { return "2015"; }
    juce::String getBuildDate() const override          { return "2015-01-08"; }
    juce::String getBuildCommitId() const override      { return "ECBF123"; }
    juce::String getBuildBranchName() const override    { return "master"; }
    juce::String getBuildNumber() const override        { return "0"; }
    juce::String getPluginFormatName() const override;

    //==========================================================================
    // Audio

    void prepareToPlay (double sampleRate, int maximumBlockSize) override;
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using IntSeqPlugin::processBlock;

    /** The note routing: to the arpeggiator while it is on, else straight to the voice. */
    void noteOn (int note, float velocity);
    void noteOff (int note);

    /** Sends a note to the voice and to the MIDI output. */
    void playNote (int note, float velocity) override;
    /** Releases the earliest sounding entry of the note; a note that is not sounding is ignored. */
    void releaseNote (int note) override;

    void releaseAllNotes();
    void allNotesOff();

    /** One-shot requests for the audio thread, taken at its next block. */
    void requestStop()                          { stopRequest = true; }
    void requestArpeggiatorReset()              { arpResetRequest = true; }
    void requestAllNotesOff()                   { allNotesOffRequest = true; }

    //==========================================================================
    // Parameters and synthesis settings

    void parameterChanged (Parameter* parameter) override;
    juce::String getParameterDisplayText (int id) const override;
    juce::String getMidiNoteName (int note);

    /** 0 low, 1 medium, 2 high: the velocity of accented notes and the engine's accent threshold. */
    void setAccentVelocityLevel (int level);
    int getAccentVelocityLevel() const noexcept             { return accentVelocityLevel.load(); }
    int getDefaultAccentVelocityLevel() const noexcept      { return defaultAccentVelocityLevel; }
    void setDefaultAccentVelocityLevel (int level)          { defaultAccentVelocityLevel = level; }

    /** 0 accurate, 1 vintage, 2 battery low. */
    void setOscillatorTuning (int mode);
    int getOscillatorTuning() const noexcept                { return oscillatorTuning; }
    int getDefaultOscillatorTuning() const noexcept         { return defaultOscillatorTuning; }
    void setDefaultOscillatorTuning (int mode)              { defaultOscillatorTuning = mode; }

    void setSelfReset (bool shouldReset);
    bool isSelfResetOn() const noexcept                     { return selfReset.load(); }
    bool getDefaultSelfReset() const noexcept               { return defaultSelfReset; }
    void setDefaultSelfReset (bool on)                      { defaultSelfReset = on; }

    void setRandomizerChord (int chord);

    /** The velocity of a sequencer step: 32/127, 64/127 or 96/127 by the accent
        velocity level, halved without accent. */
    float getStepVelocity (bool accented) const noexcept;

    //==========================================================================
    // Set-up, state and settings

    void initialise() override;
    void setStateFromXml (const juce::XmlElement& element) override;
    std::unique_ptr<juce::XmlElement> createStateXml() override;
    void loadUserSettingsFromXml (const juce::XmlElement& element) override;
    std::unique_ptr<juce::XmlElement> createUserSettingsXml() override;
    std::unique_ptr<juce::XmlElement> createInternalSequencerDefaultsXml() override;
    void loadInternalSequencerDefaultsFromXml (const juce::XmlElement& element) override;
    std::unique_ptr<juce::XmlElement> createInternalSequencerStateXml() override;
    void loadInternalSequencerStateFromXml (const juce::XmlElement& element) override;

    //==========================================================================
    // The pattern interface of the sequencer layer

    void updateInternalSequencerState() override;
    void internalSequencerStateChanged (bool newValue, bool oldValue) override;
    void hostModeChanged() override;
    void updateWriteModeState() override;
    void resetPatternUndo() override;
    void clearPatternUndo() override;
    bool selectNextRandomVariant() override;
    bool selectPreviousRandomVariant() override;
    void acceptRandomVariant() override;
    void rejectRandomVariant() override;
    void updateRandomizerState() override;
    void selectNextPattern() override;
    void selectPreviousPattern() override;
    int getCurrentPatternIndex() override                   { return currentPattern; }
    int getPlayingPatternIndex() override                   { return playingPattern; }
    int getNumPatterns() override                           { return numPatterns; }
    juce::String getPatternName (int index) override;
    void setPatternName (int index, const juce::String& name) override;
    int getPatternLength (int index) override;
    void setPatternLength (int index, int steps) override;
    double getPatternTempo (int index) override;
    void setPatternTempo (int index, double tempo) override;
    int getPatternShuffle (int index) override;
    void setPatternShuffle (int index, int percent) override;
    void clearPattern() override;
    void copyPattern() override;
    void pastePattern() override;
    void undoPatternClear() override;
    void shiftPatternLeft (int index) override;
    void shiftPatternRight (int index) override;
    void updateNativeModeReadyState() override;
    void startSequencer() override;
    void stopSequencer() override;
    void advanceSequencerStep() override;
    void releaseSequencerStep() override;
    int getCurrentStepIndex() override                      { return stepIndex; }
    bool isCurrentPatternPlaying() override                 { return currentPattern == playingPattern; }
    bool selectPattern() override;
    void updatePatternStates() override;
    void readPatternXml (const juce::XmlElement& element, int index) override;
    std::unique_ptr<juce::XmlElement> createPatternXml (int index) override;
    int getNumExtraPatternBankFileExtensions() const override           { return 1; }
    juce::String getExtraPatternBankFileExtension (int index) const override;
    bool loadPatternBankFile (const juce::File& file) override;
    void performEvent (int uid) override;

    //==========================================================================
    // Pattern engine

    Pattern& getPattern (int index);
    void setCurrentPattern (int index);
    int getEditedStep() const noexcept                      { return editedStep; }
    void applyPatternChain();
    int getChainFirst() const noexcept                      { return chainFirst; }
    int getChainLast() const noexcept                       { return chainLast; }
    int getChainBank() const noexcept                       { return chainBank; }
    int getBankGroup() const noexcept                       { return bankGroup; }
    bool isLevelEditActive() const;

    void refreshEditDisplays();
    void updateKeyLamps();
    void updatePatternPositionLamps (int randomizerSet);
    void updateFlagLamps();
    void updateOctaveLamps();
    void updateStepLamps();
    void updateStepLevelDisplays();
    void updateLevelEditStates();
    void updateSelfResetState();

    PatternRandomizer& getRandomizer() noexcept             { return randomizer; }

    //==========================================================================
    // Older formats

    /** The longest text bank read. A real one is under 60 KB (96 patterns of
        17 short lines), and the text is read number by number with no tree,
        so even 1 MiB of the worst text costs a few milliseconds. */
    static constexpr juce::int64 maxPatternTextFileBytes = 1024 * 1024;

    /** Reads the older 96-pattern text bank; false, with no pattern changed, for
        a path that is no regular file, a file larger than maxPatternTextFileBytes,
        or one that cannot be read or ends early. */
    bool importPatternText (const juce::File& file);
    /** Applies a whole-instrument block of the older binary format (100968 bytes). */
    void importOlderStateChunk (const void* data, int size);
    /** Applies one program of the older binary format (136 bytes) to the current preset. */
    void importOlderProgramChunk (const void* data, int size);

    void setStateInformation (const void* data, int sizeInBytes) override;
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;
    std::unique_ptr<juce::XmlElement> createCurrentProgramStateXml() override;
    void setCurrentProgramStateFromXml (const juce::XmlElement& element) override;

    /** Also publishes the pattern displays that another thread left for the message thread. */
    void handleAsyncUpdate() override;

private:
    /** Clears the engine's filter bank after a preset load, under the engine lock. */
    void currentPresetLoaded() override;

    /** The sequencer's switches as the audio thread reads them once per block. */
    struct BlockFlags
    {
        bool sequencerOn = false, syncOn = false, hostModeOn = false, noteOffMode = false, selfReset = false;
        bool writeMode = false, autoFollow = false, lengthMode = false, randomizer = false;
        int hostPlayDetection = 0;
        bool clockWasRunning = false;
    };

    void takeBlockFlags();

    struct TransportSnapshot
    {
        bool playing = false;
        double tempo = 120.0;
        double position = 0.0;
        bool hasPosition = false;   // the host has reported a musical position
        bool positionMoves = false; // this block's position moved on from the last one
    };

    /** Renders the voice from sample rendered up to end (not included) into every
        channel and moves rendered on; nothing when end is not past it.
    */
    void renderVoice (juce::AudioBuffer<float>& buffer, int& rendered, int end);
    void handleHostTransport (bool& hostIsPlaying);
    void applyPlayRequest (bool hostIsPlaying);
    void handleMidiEvent (const juce::MidiMessage& message, int sample, bool hostIsPlaying);
    void handleHostModePatternNote (const juce::MidiMessage& message, bool hostIsPlaying);
    void handleNativePatternKey (const juce::MidiMessage& message);
    void followPlayingPattern();
    void applyClockSettings();
    double getClockTempo (double hostTempo) const;

    /** The start by the lowest C, a note at the given sample of the block. */
    void startByLowestC (int sample);

    void releaseStepNote (const PatternStep& step, bool& noteOn);
    int getPatternRangeTop() const;
    int getShownChainPosition();
    void setEditedStep (int step);

    /** True on the message thread. Elsewhere (the audio thread choosing a
        pattern) the displays read what the message thread edits, so they are
        left for the next asynchronous update, which publishes every pattern
        state; the caller then publishes nothing itself. */
    bool canPublishDisplaysNow();

    // Voice
    juce::CriticalSection engineLock;
    std::unique_ptr<TarvelinCore> engine;
    std::array<double, 256> voiceScratch {};   // the voice's run, before it goes to the channels
    Arpeggiator arpeggiator;
    std::vector<int> soundingNotes;
    juce::MidiBuffer midiOut;
    int midiOutPosition = 0;
    MidiEventCursor midiInput;
    TransportSnapshot transport;
    BlockFlags flags;
    bool clockRanAtBlockEnd = false;
    std::atomic<double> clockGate { 0.0 };
    std::array<std::atomic<float>, 3> thresholds {};   // gate, accent and slide level thresholds

    // Requests from the message thread
    std::atomic<bool> stopRequest { false };
    std::atomic<bool> arpResetRequest { false };
    std::atomic<bool> allNotesOffRequest { false };

    // Synthesis settings
    std::atomic<int> accentVelocityLevel { 1 };
    int defaultAccentVelocityLevel = 1;
    int oscillatorTuning = 1;
    int defaultOscillatorTuning = 1;
    std::atomic<bool> selfReset { false };
    bool defaultSelfReset = true;
    int randomizerChord = 0;

    // Pattern memory and playback
    std::array<Pattern, numPatterns> patterns;
    Pattern clearBackup;
    Pattern clipboard;
    bool clearBackupValid = false;
    int clearBackupIndex = 0;
    std::atomic<int> currentPattern { 0 };
    std::atomic<int> playingPattern { 0 };
    std::atomic<int> stepIndex { 0 };
    std::atomic<int> editedStep { 0 };
    PatternStep currentStep, previousStep;
    bool stepAdvanced = false;
    bool currentNoteOn = false, previousNoteOn = false;
    bool stepStarted = false;
    std::atomic<int> chainFirst { 0 }, chainLast { 0 }, chainBank { 0 }, bankGroup { 0 };
    std::atomic<bool> patternStatesPending { false };
    int patternKeyHeld = -1;
    bool levelEditMode = false;
    bool publishingLevels = false;      // message thread: the level displays are being written

    PatternRandomizer randomizer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Tarvelin)
};
