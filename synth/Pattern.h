#pragma once

#include "synth/PatternStep.h"
#include "synth/RelaxedAtomic.h"

#include <array>

/*  A sequencer pattern: a name, a length of 1..16 steps, a shuffle of
    0..100 percent, a tempo of 30..300 beats per minute kept to one decimal,
    and 16 steps. All 16 steps always exist; only the first `length` are
    played, rotated and saved, and the others keep their content for when the
    length grows. A plain value type: copying goes through the same limits as
    the setters.

    The audio thread reads the length, shuffle, tempo and steps without a lock
    while the message thread edits them, so those are relaxed atomics. The name
    belongs to the message thread alone.
*/
class Pattern
{
public:
    static constexpr int numSteps = 16;
    static constexpr int minLength = 1;
    static constexpr int maxShuffle = 100;
    static constexpr double minTempo = 30.0;
    static constexpr double maxTempo = 300.0;
    static constexpr double defaultTempo = 120.0;

    Pattern();
    Pattern (const Pattern& other);
    Pattern& operator= (const Pattern& other);

    /** The longest name a pattern keeps; a longer one is cut, so that every
        pattern bank and state the plug-in writes reads back (as for a preset's
        name, PresetSlot::maxNameLength). */
    static constexpr int maxNameLength = 256;

    const juce::String& getName() const noexcept    { return name; }
    void setName (const juce::String& newName)      { name = newName.substring (0, maxNameLength); }

    int getLength() const noexcept                  { return length; }
    int getShuffle() const noexcept                 { return shuffle; }
    double getTempo() const noexcept                { return tempo; }

    /** Limited to 1..16. */
    void setLength (int newLength);

    /** Limited to 0..100. */
    void setShuffle (int newShuffle);

    /** Limited to 30..300, then rounded to the nearest tenth (halves away from
        zero). A value that is not a number is refused.
    */
    void setTempo (double newTempo);

    /** Step 0..15; an index outside that range is brought to the nearer end. */
    PatternStep& getStep (int index) noexcept;
    const PatternStep& getStep (int index) const noexcept;

    /** Copies into step 0..15; an index outside that range changes nothing. */
    void setStep (int index, const PatternStep& step);

    /** Clears all 16 steps and sets their gate; name, length, shuffle and
        tempo stay.
    */
    void clearSteps (bool gate);

    /** Transposes all 16 steps. */
    void transpose (int semitones);

    /** Rotate the played steps (the first `length`) by n places; the first
        step moves to the end on the left, the last played step to the front on
        the right. Steps beyond the length stay in place.
    */
    void rotateLeft (int n);
    void rotateRight (int n);

    /** Gives all 16 steps the note and the octave flags of the given step,
        keeping their other fields.
    */
    void setAllNotes (int stepIndex, int note);

    /** Gives all 16 steps the inverse of the given step's flag (0..4). */
    void toggleFlagForAll (int stepIndex, int flag);

    /** Replaces the whole pattern with a "Pattern" element's content. The
        element's own tag is the caller's business. Steps without a "Step"
        child come out cleared with their gate off; every value is limited to
        its range.
    */
    void loadFromXml (const juce::XmlElement& xml);

    /** Writes the attributes and one "Step" child per played step into the
        given element.
    */
    void saveToXml (juce::XmlElement& xml) const;

    bool operator== (const Pattern& other) const noexcept;
    bool operator!= (const Pattern& other) const noexcept  { return ! operator== (other); }

private:
    static bool isValidStepIndex (int index) noexcept  { return index >= 0 && index < numSteps; }
    void rotatePlayedSteps (int offset);

    juce::String name { "Empty" };
    RelaxedAtomic<int> length { numSteps };
    RelaxedAtomic<int> shuffle { 0 };
    RelaxedAtomic<double> tempo { defaultTempo };
    std::array<PatternStep, numSteps> steps;
};
