#include "synth/Pattern.h"

#include "framework/XmlHelpers.h"

#include <cmath>

namespace
{
// Reads an integer attribute as a wide number first, so that a damaged huge
// value is limited to the nearer end instead of wrapping around.
int readLimitedInt (const juce::XmlElement& xml, const char* name, int defaultValue, int minValue, int maxValue)
{
    if (! xml.hasAttribute (name))
        return defaultValue;

    const auto value = xml.getStringAttribute (name).getLargeIntValue();
    return (int) juce::jlimit ((juce::int64) minValue, (juce::int64) maxValue, value);
}

// The non-negative remainder, whatever the sign of n.
int wrapIndex (int n, int size)
{
    return ((n % size) + size) % size;
}
} // namespace

Pattern::Pattern() = default;

Pattern::Pattern (const Pattern& other)
{
    *this = other;
}

Pattern& Pattern::operator= (const Pattern& other)
{
    name = other.name;
    setLength (other.length);
    setShuffle (other.shuffle);
    setTempo (other.tempo);
    steps = other.steps;
    return *this;
}

void Pattern::setLength (int newLength)
{
    length = juce::jlimit (minLength, numSteps, newLength);
}

void Pattern::setShuffle (int newShuffle)
{
    shuffle = juce::jlimit (0, maxShuffle, newShuffle);
}

void Pattern::setTempo (double newTempo)
{
    if (std::isnan (newTempo))
        return;

    // Divided rather than multiplied by 0.1, so that the result is the double
    // nearest to the one-decimal value.
    tempo = std::round (juce::jlimit (minTempo, maxTempo, newTempo) * 10.0) / 10.0;
}

PatternStep& Pattern::getStep (int index) noexcept
{
    return steps[(size_t) juce::jlimit (0, numSteps - 1, index)];
}

const PatternStep& Pattern::getStep (int index) const noexcept
{
    return steps[(size_t) juce::jlimit (0, numSteps - 1, index)];
}

void Pattern::setStep (int index, const PatternStep& step)
{
    if (isValidStepIndex (index))
        steps[(size_t) index] = step;
}

void Pattern::clearSteps (bool gate)
{
    for (auto& step : steps)
    {
        step.clear();
        step.setGate (gate);
    }
}

void Pattern::transpose (int semitones)
{
    for (auto& step : steps)
        step.transpose (semitones);
}

void Pattern::rotateLeft (int n)
{
    rotatePlayedSteps (wrapIndex (n, length));
}

void Pattern::rotateRight (int n)
{
    rotatePlayedSteps (wrapIndex (length - wrapIndex (n, length), length));
}

void Pattern::rotatePlayedSteps (int offset)
{
    const auto snapshot = steps;

    for (int i = 0; i < length; ++i)
        steps[(size_t) i] = snapshot[(size_t) ((offset + i) % length)];
}

void Pattern::setAllNotes (int stepIndex, int note)
{
    if (! isValidStepIndex (stepIndex))
        return;

    const auto octaveUp = steps[(size_t) stepIndex].isOctaveUp();
    const auto octaveDown = steps[(size_t) stepIndex].isOctaveDown();

    for (auto& step : steps)
    {
        step.setNote (note);
        step.setOctaveUp (octaveUp);
        step.setOctaveDown (octaveDown);
    }
}

void Pattern::toggleFlagForAll (int stepIndex, int flag)
{
    if (! isValidStepIndex (stepIndex))
        return;

    const auto newValue = ! steps[(size_t) stepIndex].getFlag (flag);

    for (auto& step : steps)
        step.setFlag (flag, newValue);
}

void Pattern::loadFromXml (const juce::XmlElement& xml)
{
    clearSteps (false);

    setName (xml.getStringAttribute ("name"));
    setLength (readLimitedInt (xml, "length", numSteps, minLength, numSteps));
    setShuffle (readLimitedInt (xml, "shuffle", 0, 0, maxShuffle));

    // A tempo that is no finite number is unreadable and reads as missing.
    const auto readTempo = xml.getDoubleAttribute ("tempo", defaultTempo);
    setTempo (std::isfinite (readTempo) ? readTempo : defaultTempo);

    int stepIndex = 0;

    for (auto* child : xml.getChildIterator())
    {
        if (stepIndex >= length)
            break;

        if (child->getTagName().equalsIgnoreCase ("Step"))
            steps[(size_t) stepIndex++].loadFromXml (*child);
    }
}

void Pattern::saveToXml (juce::XmlElement& xml) const
{
    xml.setAttribute ("name", name);
    xml.setAttribute ("length", length);
    xml.setAttribute ("shuffle", shuffle);
    xml.setAttribute ("tempo", tempo);

    XmlHelpers::ChildList stepList;

    for (int i = 0; i < length; ++i)
        stepList.add (steps[(size_t) i].createXml());

    stepList.appendTo (xml);
}

bool Pattern::operator== (const Pattern& other) const noexcept
{
    return name == other.name
        && length == other.length
        && shuffle == other.shuffle
        && tempo == other.tempo
        && steps == other.steps;
}
