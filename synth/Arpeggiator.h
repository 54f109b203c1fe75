#pragma once

#include "synth/ShuffledClock.h"

#include <array>
#include <atomic>
#include <functional>
#include <vector>

/*  The arpeggiator: turns the notes routed to it into a stream of single notes
    timed by its own ShuffledClock. It walks over the held notes, or over a chord
    built on the last held note, plays each position a set number of times and
    moves between up to four octaves in one of four modes. In mode "Off" it lets
    the notes through untouched.

    The notes, the clock and the walk belong to the audio thread. The setters of
    the settings may be called from any thread: they only write atomics, and a
    chord change restarts the walk at the next sample.
*/
class Arpeggiator
{
public:
    /** Where the arpeggiator's notes go: the instrument's voice and MIDI output. */
    class Output
    {
    public:
        virtual ~Output() = default;

        virtual void playNote (int note, float velocity) = 0;
        virtual void releaseNote (int note) = 0;
    };

    enum Mode : int
    {
        off = 0,
        randomOctave,
        up,
        down,
        upDown
    };

    /** Semitone intervals of a chord, in the order they are played. */
    struct ChordTable
    {
        const char* name;
        int numIntervals;
        std::array<int, 4> intervals;
    };

    static constexpr int numModes = 5;
    static constexpr int numChords = 8;          // "Custom" and the seven tables
    static constexpr int numOctaveSwitches = 4;  // octaves -1, 0, +1, +2

    /** Every key held on every MIDI channel at once; notes beyond it are ignored,
        so the list never grows on the audio thread.
    */
    static constexpr int maxHeldNotes = 16 * 128;

    explicit Arpeggiator (Output& outputToUse);
    ~Arpeggiator();

    //==============================================================================
    /** A note from the instrument's note routing. With the mode "Off" it is played
        at once; otherwise it joins the held notes, and the first one starts the
        walk at this very sample.
    */
    void noteOn (int note, float velocity);

    /** With the mode "Off" the note is released at once; otherwise the earliest
        held entry of that note is dropped and the walk releases its own notes.
    */
    void noteOff (int note);

    //==============================================================================
    void setSampleRate (double newSampleRate);

    /** Tempo in beats per minute. It starts at 120; a tempo that is not a finite
        positive number is refused and the previous one stays.
    */
    void setTempo (double newTempo);

    /** Once per block: steps per beat and shuffle from the settings, and the gate
        both step clocks share.
    */
    void applyClockSettings (double gate);

    /** Once per sample, after the sample's MIDI: advances the clock and plays or
        releases a note when a step starts or its gate ends.
    */
    void processSample()        { if (advanceClock()) runClockPhase(); }

    /** processSample in two halves, for a caller that must act before the notes
        change: advances the clock and tells whether a step starts or its gate
        ends at this sample; runClockPhase then plays or releases the note.
    */
    bool advanceClock()
    {
        if (chordChangePending.load (std::memory_order_relaxed) && chordChangePending.exchange (false))
            restartWalkForChord();

        return arpClock.processSample();
    }

    void runClockPhase();

    /** Releases the sounding note, forgets the held notes and stops the clock. */
    void resetArpeggiator();

    /** Releases the note the arpeggiator has on, if any. */
    void releaseSoundingNote();

    //==============================================================================
    /** The settings, each from its parameter's normalised value. setMode returns
        true when the mode went from or to "Off": the instrument then resets the
        arpeggiator and releases every note at its next block.
    */
    bool setMode (float normalisedValue);
    void setChord (float normalisedValue);
    void setShuffle (float normalisedValue);
    void setOctaveSwitch (int switchIndex, float normalisedValue);
    void setMultiplier (float normalisedValue);
    void setRepeater (float normalisedValue);

    int getMode() const noexcept                { return arpMode.load (std::memory_order_relaxed); }
    bool isOn() const noexcept                  { return getMode() != off; }
    int getChord() const noexcept               { return chord.load (std::memory_order_relaxed); }

    /** The shuffle in percent, 0 to 100. */
    int getShuffle() const noexcept             { return arpShuffle.load (std::memory_order_relaxed); }

    bool isOctaveSwitchOn (int switchIndex) const noexcept;
    int getOctaveSwitchCount() const noexcept;
    bool areOctavesEnabled() const noexcept     { return getOctaveSwitchCount() > 0; }

    double getStepsPerBeat() const noexcept     { return arpStepsPerBeat.load (std::memory_order_relaxed); }
    double getRepeatCount() const noexcept      { return repeatCount.load (std::memory_order_relaxed); }

    //==============================================================================
    /** The current octave offset, -1 to +2. */
    int getOctave() const noexcept              { return octave; }
    int getNumHeldNotes() const noexcept        { return (int) heldNotes.size(); }
    bool isNoteSounding() const noexcept        { return noteSounding; }
    int getSoundingNote() const noexcept        { return soundingNote.note; }
    const ShuffledClock& getClock() const noexcept { return arpClock; }

    /** The random octave draws from the C library's rand(); tests put their own
        source in. Audio thread only, like the walk.
    */
    void setRandomSource (std::function<int()> newSource);

    //==============================================================================
    /** "Off", "Random", "Up", "Down", "Up-Down"; "#######" for any other value. */
    static const char* getModeName (int mode);

    /** "Custom", then the seven chord names; "#######" for any other value. */
    static const char* getChordName (int chord);

    /** The table of chords 1 to 7; null for "Custom" and any other value. The
        randomizer builds its chord keys from the same tables.
    */
    static const ChordTable* getChordTable (int chord);

private:
    struct NoteAndVelocity
    {
        int note = 0;
        float velocity = 0.0f;
    };

    void startArpeggiator();
    void arpeggiatorStep();
    void arpeggiatorRelease();
    void initArpeggiatorOctave();
    void advanceArpeggiatorOctave();
    void restartWalkForChord();
    int randomSwitchOctave (int switches);

    Output& output;

    // Settings: written by the parameter handlers on any thread.
    std::atomic<int> arpMode { off };
    std::atomic<int> chord { 0 };
    std::atomic<int> arpShuffle { 0 };
    std::atomic<int> octaveSwitches { 0 };   // bit k: switch k, octave k - 1
    std::atomic<double> arpStepsPerBeat { 4.0 };
    std::atomic<double> repeatCount { 1.0 };
    std::atomic<bool> chordChangePending { false };

    // The walk: audio thread only.
    std::vector<NoteAndVelocity> heldNotes;
    int index = 0;
    int repeatCounter = 0;
    int octave = 0;
    bool descending = false;
    bool noteSounding = false;
    NoteAndVelocity soundingNote;
    bool advancePending = false;

    ShuffledClock arpClock;
    std::function<int()> randomSource;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Arpeggiator)
};
