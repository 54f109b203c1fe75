#include "synth/Arpeggiator.h"

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace
{
constexpr const char* unknownName = "#######";

constexpr const char* modeNames[Arpeggiator::numModes] = { "Off", "Random", "Up", "Down", "Up-Down" };

// Root, fifth, third, seventh.
constexpr Arpeggiator::ChordTable chordTables[Arpeggiator::numChords - 1] = {
    { "Major", 3, { 0, 7, 4, 0 } },
    { "Minor", 3, { 0, 7, 3, 0 } },
    { "7th",   4, { 0, 7, 4, 10 } },
    { "m7th",  4, { 0, 7, 3, 10 } },
    { "M7",    4, { 0, 7, 4, 11 } },
    { "m7_5",  4, { 0, 6, 3, 10 } },
    { "Dim",   3, { 0, 6, 3, 0 } }
};

constexpr double stepsPerBeatChoices[] = { 4.0, 6.0, 8.0, 12.0, 16.0, 24.0 };
constexpr double repeatCountChoices[] = { 1.0, 2.0, 3.0, 4.0, 6.0 };

constexpr int allSwitches = (1 << Arpeggiator::numOctaveSwitches) - 1;

// A normalised parameter value picking one of numChoices: floor(v * (numChoices - 1) + 0.5).
int pickChoice (float normalisedValue, int numChoices)
{
    const auto v = juce::jlimit (0.0, 1.0, (double) normalisedValue);
    return (int) std::floor (v * (numChoices - 1) + 0.5);
}

bool isSwitchOn (int switches, int switchIndex)
{
    return (switches & (1 << switchIndex)) != 0;
}

int countSwitches (int switches)
{
    auto count = 0;

    for (int k = 0; k < Arpeggiator::numOctaveSwitches; ++k)
        if (isSwitchOn (switches, k))
            ++count;

    return count;
}

// The first switch on at or above 'from', or -1.
int findSwitchUpFrom (int switches, int from)
{
    for (int k = juce::jmax (0, from); k < Arpeggiator::numOctaveSwitches; ++k)
        if (isSwitchOn (switches, k))
            return k;

    return -1;
}

// The first switch on at or below 'from', or -1.
int findSwitchDownFrom (int switches, int from)
{
    for (int k = juce::jmin (Arpeggiator::numOctaveSwitches - 1, from); k >= 0; --k)
        if (isSwitchOn (switches, k))
            return k;

    return -1;
}

int lowestSwitch (int switches)     { return findSwitchUpFrom (switches, 0); }
int highestSwitch (int switches)    { return findSwitchDownFrom (switches, Arpeggiator::numOctaveSwitches - 1); }

int switchOctave (int switchIndex)  { return switchIndex - 1; }
int octaveSwitch (int octave)       { return octave + 1; }
} // namespace

Arpeggiator::Arpeggiator (Output& outputToUse)
    : output (outputToUse),
      randomSource ([] { return std::rand(); })
{
    heldNotes.reserve ((size_t) maxHeldNotes);

    // A host that reports no tempo still gets a running arpeggiator.
    arpClock.setTempo (120.0);

    resetArpeggiator();
}

Arpeggiator::~Arpeggiator() = default;

//==============================================================================
void Arpeggiator::noteOn (int note, float velocity)
{
    if (! isOn())
    {
        output.playNote (note, velocity);
        return;
    }

    if (heldNotes.size() >= (size_t) maxHeldNotes)
        return;

    heldNotes.push_back ({ note, velocity });

    if (heldNotes.size() == 1)
        startArpeggiator();
}

void Arpeggiator::noteOff (int note)
{
    if (! isOn())
    {
        output.releaseNote (note);
        return;
    }

    for (auto it = heldNotes.begin(); it != heldNotes.end(); ++it)
    {
        if (it->note == note)
        {
            heldNotes.erase (it);
            return;
        }
    }
}

//==============================================================================
void Arpeggiator::setSampleRate (double newSampleRate)
{
    arpClock.setSampleRate (newSampleRate);
}

void Arpeggiator::setTempo (double newTempo)
{
    arpClock.setTempo (newTempo);
}

void Arpeggiator::applyClockSettings (double gate)
{
    arpClock.setStepsPerBeat (getStepsPerBeat());
    arpClock.setShuffle ((double) ((float) getShuffle() / 100.0f) * 0.6);
    arpClock.setGate (gate);
}

void Arpeggiator::runClockPhase()
{
    if (arpClock.isFirstPhase())
        arpeggiatorStep();
    else
        arpeggiatorRelease();
}

void Arpeggiator::resetArpeggiator()
{
    releaseSoundingNote();
    heldNotes.clear();
    arpClock.stop();
}

void Arpeggiator::releaseSoundingNote()
{
    if (! noteSounding)
        return;

    noteSounding = false;
    output.releaseNote (soundingNote.note);
}

//==============================================================================
void Arpeggiator::startArpeggiator()
{
    releaseSoundingNote();
    advancePending = false;
    index = 0;
    repeatCounter = 0;
    descending = false;
    initArpeggiatorOctave();

    // Restarted at position 0, so the first note sounds at the sample of the key.
    arpClock.relocate (false, 0.0);
}

void Arpeggiator::arpeggiatorStep()
{
    releaseSoundingNote();

    if (heldNotes.empty())
        return;

    const auto* table = getChordTable (getChord());
    const auto length = table != nullptr ? table->numIntervals : (int) heldNotes.size();

    if (advancePending)
    {
        if (++repeatCounter >= getRepeatCount())
        {
            repeatCounter = 0;

            if (++index >= length)
            {
                index = 0;
                advanceArpeggiatorOctave();
            }
        }
    }

    // Keys released while a position repeats can leave it past the shortened list.
    if (index >= length)
        index = 0;

    auto next = table != nullptr ? heldNotes.back() : heldNotes[(size_t) index];

    if (table != nullptr)
        next.note += table->intervals[(size_t) index];

    if (areOctavesEnabled())
        next.note += octave * 12;

    // Shifted out of the MIDI range, the step stays silent.
    if (next.note < 0 || next.note > 127)
        return;

    output.playNote (next.note, next.velocity);
    noteSounding = true;
    soundingNote = next;
}

void Arpeggiator::arpeggiatorRelease()
{
    releaseSoundingNote();

    if (heldNotes.empty())
        resetArpeggiator();
    else
        advancePending = true;
}

void Arpeggiator::initArpeggiatorOctave()
{
    const auto switches = octaveSwitches.load (std::memory_order_relaxed);

    if (switches == 0)
    {
        octave = 0;
        return;
    }

    switch (getMode())
    {
        case randomOctave:    octave = randomSwitchOctave (switches); break;
        case up:
        case upDown:    octave = switchOctave (lowestSwitch (switches)); break;
        case down:      octave = switchOctave (highestSwitch (switches)); break;
        default:        break;
    }
}

void Arpeggiator::advanceArpeggiatorOctave()
{
    const auto switches = octaveSwitches.load (std::memory_order_relaxed);
    const auto count = countSwitches (switches);

    if (count == 0)
    {
        octave = 0;
        return;
    }

    if (count == 1)
    {
        octave = switchOctave (lowestSwitch (switches));
        return;
    }

    const auto current = octaveSwitch (octave);
    auto next = -1;

    switch (getMode())
    {
        case randomOctave:
            octave = randomSwitchOctave (switches);
            return;

        case up:
            next = findSwitchUpFrom (switches, current + 1);
            if (next < 0)
                next = lowestSwitch (switches);
            break;

        case down:
            next = findSwitchDownFrom (switches, current - 1);
            if (next < 0)
                next = highestSwitch (switches);
            break;

        case upDown:
            next = descending ? findSwitchDownFrom (switches, current - 1)
                              : findSwitchUpFrom (switches, current + 1);

            if (next < 0)
            {
                descending = ! descending;
                next = descending ? findSwitchDownFrom (switches, current - 1)
                                  : findSwitchUpFrom (switches, current + 1);
            }
            break;

        default:
            break;
    }

    if (next >= 0)
        octave = switchOctave (next);
}

void Arpeggiator::restartWalkForChord()
{
    advancePending = false;
    index = 0;
    repeatCounter = 0;
    descending = false;
    initArpeggiatorOctave();
}

int Arpeggiator::randomSwitchOctave (int switches)
{
    const auto count = countSwitches (switches);
    auto pick = randomSource() % count;

    if (pick < 0)
        pick += count;

    for (int k = 0; k < numOctaveSwitches; ++k)
        if (isSwitchOn (switches, k) && pick-- == 0)
            return switchOctave (k);

    return octave;
}

//==============================================================================
bool Arpeggiator::setMode (float normalisedValue)
{
    if (! std::isfinite (normalisedValue))
        return false;

    const auto newMode = pickChoice (normalisedValue, numModes);
    const auto oldMode = arpMode.exchange (newMode);
    return (oldMode == off) != (newMode == off);
}

void Arpeggiator::setChord (float normalisedValue)
{
    if (! std::isfinite (normalisedValue))
        return;

    const auto newChord = pickChoice (normalisedValue, numChords);

    if (chord.exchange (newChord) != newChord)
        chordChangePending.store (true);
}

void Arpeggiator::setShuffle (float normalisedValue)
{
    if (std::isfinite (normalisedValue))
        arpShuffle.store (pickChoice (normalisedValue, 101));
}

void Arpeggiator::setOctaveSwitch (int switchIndex, float normalisedValue)
{
    if (switchIndex < 0 || switchIndex >= numOctaveSwitches || ! std::isfinite (normalisedValue))
        return;

    const auto bit = 1 << switchIndex;

    if (normalisedValue >= 0.5f)
        octaveSwitches.fetch_or (bit);
    else
        octaveSwitches.fetch_and (allSwitches & ~bit);
}

void Arpeggiator::setMultiplier (float normalisedValue)
{
    if (std::isfinite (normalisedValue))
        arpStepsPerBeat.store (stepsPerBeatChoices[pickChoice (normalisedValue, (int) std::size (stepsPerBeatChoices))]);
}

void Arpeggiator::setRepeater (float normalisedValue)
{
    if (std::isfinite (normalisedValue))
        repeatCount.store (repeatCountChoices[pickChoice (normalisedValue, (int) std::size (repeatCountChoices))]);
}

bool Arpeggiator::isOctaveSwitchOn (int switchIndex) const noexcept
{
    return switchIndex >= 0 && switchIndex < numOctaveSwitches
        && isSwitchOn (octaveSwitches.load (std::memory_order_relaxed), switchIndex);
}

int Arpeggiator::getOctaveSwitchCount() const noexcept
{
    return countSwitches (octaveSwitches.load (std::memory_order_relaxed));
}

void Arpeggiator::setRandomSource (std::function<int()> newSource)
{
    if (newSource != nullptr)
        randomSource = std::move (newSource);
}

//==============================================================================
const char* Arpeggiator::getModeName (int mode)
{
    return mode >= 0 && mode < numModes ? modeNames[mode] : unknownName;
}

const char* Arpeggiator::getChordName (int chordNumber)
{
    if (chordNumber == 0)
        return "Custom";

    if (const auto* table = getChordTable (chordNumber))
        return table->name;

    return unknownName;
}

const Arpeggiator::ChordTable* Arpeggiator::getChordTable (int chordNumber)
{
    return chordNumber >= 1 && chordNumber < numChords ? &chordTables[chordNumber - 1] : nullptr;
}
