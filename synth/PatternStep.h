#pragma once

#include "synth/RelaxedAtomic.h"

#include <juce_core/juce_core.h>

#include <memory>

/*  One step of a pattern: a note of the bass line with its octave, gate,
    accent and slide flags and three levels. A plain value type whose fields
    are relaxed atomics: the audio thread copies a step while the message
    thread may be editing it.

    The note is a pitch class 0..11 (C..B) or 12 for the upper C of the step's
    octave; the octave flags choose the base pitch, so a step spans 24..72.
    The editing code addresses the step's fields with one number: 0 octaveUp,
    1 octaveDown, 2 gate, 3 accent, 4 slide, 5 gateLevel, 6 accentLevel,
    7 slideLevel.
*/
class PatternStep
{
public:
    static constexpr int maxNote = 12;
    static constexpr int lowestPitch = 24;
    static constexpr int highestPitch = 72;

    /** A cleared step whose gate is on or off. */
    explicit PatternStep (bool gateOn = false);

    /** Note 0, every flag off, every level 0. */
    void clear();

    int getNote() const noexcept                { return note; }

    /** Stores the note as given; the values a step is built for are 0..12. */
    void setNote (int newNote)                  { note = newNote; }

    bool isOctaveUp() const noexcept            { return octaveUp; }
    bool isOctaveDown() const noexcept          { return octaveDown; }
    bool isGate() const noexcept                { return gate; }
    bool isAccent() const noexcept              { return accent; }
    bool isSlide() const noexcept               { return slide; }

    void setOctaveUp (bool on)                  { octaveUp = on; }
    void setOctaveDown (bool on)                { octaveDown = on; }
    void setGate (bool on)                      { gate = on; }
    void setAccent (bool on)                    { accent = on; }
    void setSlide (bool on)                     { slide = on; }

    /** Flags by index 0..4; other indices read as false and set nothing. */
    bool getFlag (int index) const noexcept;
    void setFlag (int index, bool on);
    void toggleFlag (int index);

    double getGateLevel() const noexcept        { return gateLevel; }
    double getAccentLevel() const noexcept      { return accentLevel; }
    double getSlideLevel() const noexcept       { return slideLevel; }

    /** Levels are stored as given (0..1 is their range); a value that is not a
        finite number is refused.
    */
    void setGateLevel (double level);
    void setAccentLevel (double level);
    void setSlideLevel (double level);

    /** Levels by index 5..7; other indices read as 0 and set nothing. */
    double getLevel (int index) const noexcept;
    void setLevel (int index, float value);

    /** The pitch the step plays: the note plus 36, 48 with octaveUp, 24 with
        octaveDown, or 60 with both flags (two octaves above the low one).
    */
    int getAbsoluteNote() const noexcept;

    /** Stores a pitch of 24..72; 72 to 83 are all stored as the upper C 72. */
    void setAbsoluteNote (int pitch);

    /** Moves the step by semitones; beyond either end of 24..72 the pitch wraps
        to the other end, one semitone inside it. An upward move onto a C lands
        on the upper C of the lower octave.
    */
    void transpose (int semitones);

    /** Reads a "Step" element (tag compared ignoring case); any other element
        changes nothing. Missing attributes take their defaults and every value
        is limited to its range.
    */
    void loadFromXml (const juce::XmlElement& xml);

    /** A new "Step" element holding this step. */
    std::unique_ptr<juce::XmlElement> createXml() const;

    bool operator== (const PatternStep& other) const noexcept;
    bool operator!= (const PatternStep& other) const noexcept  { return ! operator== (other); }

private:
    void setPitchWithRow (int pitchClass, int row);

    RelaxedAtomic<int> note { 0 };
    RelaxedAtomic<bool> octaveUp { false };
    RelaxedAtomic<bool> octaveDown { false };
    RelaxedAtomic<bool> gate { false };
    RelaxedAtomic<bool> accent { false };
    RelaxedAtomic<bool> slide { false };
    RelaxedAtomic<double> gateLevel { 0.0 };
    RelaxedAtomic<double> accentLevel { 0.0 };
    RelaxedAtomic<double> slideLevel { 0.0 };
};
