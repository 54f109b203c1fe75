#pragma once

#include <juce_events/juce_events.h>

#include <atomic>

/*  A sample-accurate step clock. Advanced once per audio sample, it divides
    musical time (beats at a tempo) into steps and every step into two phases:
    the gate (first phase) and the rest of the step (second phase). Each phase
    change is reported by processSample() at the first sample at or after its
    time.

    Everything but the listeners runs on the audio thread. Starts, stops and
    phase changes are flagged there and reported to the listeners later, on the
    message thread; several changes between two updates are reported once.
*/
class Clock : public juce::AsyncUpdater
{
public:
    /** Told on the message thread when the clock starts or stops and when its
        phase changes.
    */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void clockStartedOrStopped (Clock* clock) = 0;
        virtual void clockStateChanged (Clock* clock) = 0;
    };

    Clock();
    ~Clock() override;

    /** Each setter stores its value and marks the timing for recomputation only
        when the value differs, so calling them every block costs nothing.
        Values that would break the timing (a tempo, rate or step count that is
        not a finite positive number) are refused; the previous value stays.
    */
    void setSampleRate (double newSampleRate);
    void setTempo (double newTempo);
    void setStepsPerBeat (double newStepsPerBeat);

    /** The gate as a fraction of the step, limited to 0..1. */
    void setGate (double newGate);

    /** Moves the clock to a position in beats, e.g. the host's position. */
    void setPosition (double newPosition);

    double getSampleRate() const noexcept       { return sampleRate; }
    double getTempo() const noexcept            { return tempo; }
    double getStepsPerBeat() const noexcept     { return stepsPerBeat; }
    double getGate() const noexcept             { return gate; }
    double getPosition() const noexcept         { return position; }

    /** The current phase number; -1 before the first sample after a start or reset. */
    int getState() const noexcept               { return state; }

    static double getBeatsPerSample (double sampleRate, double tempo);

    /** Starts a stopped clock at the given position; its first sample then
        reports the first phase, unless the position lies just before a step
        start (less than shortestBegunNote): the step there is then the first.
        A running clock ignores the call.
    */
    void start (double startPosition);

    /** Stops a running clock and moves it back to position 0. */
    void stop();

    /** Back to position 0 with no phase yet, without a notification: the next
        sample begins a new first phase. The running state is kept.
    */
    void reset();

    /** Restarts the clock at a new position, notifying a start. With
        onlyIfRunning, a stopped clock is left alone.
    */
    void relocate (bool onlyIfRunning, double newPosition);

    /** Safe to ask from any thread. */
    bool isRunning() const noexcept             { return running.load (std::memory_order_relaxed); }

    /** Listeners are called from the last added to the first. Null and
        already present listeners are ignored. Message thread only.
    */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    void handleAsyncUpdate() override;

    /** True while the clock is in a step's gate. */
    virtual bool isFirstPhase() const;

    /** True while the clock is in the rest of a step, after its gate. */
    virtual bool isSecondPhase() const;

    /** True when the position lies nearer the start of the step it is in than
        the start of the next one.
    */
    virtual bool isNearerPreviousStep() const;

    /** Advances one sample. Returns true when the phase changed at this sample;
        isFirstPhase() and isSecondPhase() then tell the new phase.
    */
    virtual bool processSample()
    {
        if (! isRunning())
            return false;

        // Most samples only count down towards the next change: done here, without a call.
        if (! dirty && countdown > 0)
        {
            --countdown;
            position += beatsPerSample;
            return false;
        }

        return processSampleWithTiming();
    }

protected:
    /** How far past a step start, in steps, a position still begins that step at
        once instead of waiting for the next one.
    */
    static constexpr double startTolerance = 0.005;

    /** The shortest note, in seconds, of a step begun inside its time (a start
        or a host's jump off the step grid). Shorter, a bass note is heard as a
        click rather than a pitch: a start nearer than this to the next step
        start counts as a start on that step, which then begins on the grid.
    */
    static constexpr double shortestBegunNote = 0.02;

    /** Where the gate of a step begun inside its time ends: a whole gate from
        where it began; below 0 for a step begun on the grid. It ends, at the
        latest, at the sample before startedStepEnd, the next step start on the
        grid, so that the next step starts there.
    */
    double startedGateEnd = -1.0;
    double startedStepEnd = -1.0;

    /** Begins the step that runs from stepStart to nextStart (beats), whose
        first phase is `phase`, at the position: at once, or when the position
        lies less than shortestBegunNote before nextStart, by waiting for the
        step there, whose first phase is `nextPhase`.
    */
    void beginStepInside (int phase, double stepStart, double nextStart, int nextPhase, double samplesPerBeat) noexcept;

    /** Plans the end of the gate of a step begun inside its time (in its first
        phase), moving to the rest phase `restPhase`. Returns false, clearing
        the begun step, when the clock is no longer in that gate.
    */
    bool planBegunGateEnd (int restPhase, double samplesPerBeat) noexcept;

    /** Plans an immediate move to the given phase. */
    void changeNow (int newState) noexcept;

    /** Plans a move to the given phase at the first sample at or after the
        target position (in beats).
    */
    void changeAt (int newState, double target, double samplesPerBeat) noexcept;

    /** Applies a change that is due, counts the sample down and moves the
        position on. Returns true when the phase changed.
    */
    bool advanceOneSample() noexcept;

    /** processSample for new timing or a change that may be due. */
    bool processSampleWithTiming();

    double position = 0.0;
    double sampleRate = 44100.0;
    double tempo = 0.0;
    double stepsPerBeat = 4.0;
    double gate = 0.5;
    double beatsPerSample = 0.0;
    int countdown = 0;
    int state = -1;
    int nextState = 0;
    std::atomic<bool> running { false };
    bool dirty = true;

    /** Works out the timing again after a setting changed; the shuffled clock has its own. */
    virtual void recomputeTiming() noexcept;

private:
    void notifyStartOrStop();

    std::atomic<int> startStopPending { 0 };
    std::atomic<int> stateChangePending { 0 };
    juce::Array<Listener*> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Clock)
};
