#include "synth/PatternStep.h"

#include <cmath>

namespace
{
const juce::Identifier stepTag ("Step");

// A level is written rounded to the nearest millionth (ties to even), which
// keeps the files short and stable across saves.
double roundToMillionth (double value)
{
    return std::nearbyint (value * 1.0e6) / 1.0e6;
}

// Reads an integer attribute as a wide number first, so that a damaged huge
// value is limited to the nearer end instead of wrapping around.
int readLimitedInt (const juce::XmlElement& xml, const char* name, int defaultValue, int minValue, int maxValue)
{
    if (! xml.hasAttribute (name))
        return defaultValue;

    const auto value = xml.getStringAttribute (name).getLargeIntValue();
    return (int) juce::jlimit ((juce::int64) minValue, (juce::int64) maxValue, value);
}

// A level that is missing or not a finite number reads as 0.
double readLevel (const juce::XmlElement& xml, const char* name)
{
    const auto value = xml.getDoubleAttribute (name, 0.0);
    return std::isfinite (value) ? juce::jlimit (0.0, 1.0, value) : 0.0;
}
} // namespace

PatternStep::PatternStep (bool gateOn)
    : gate (gateOn)
{
}

void PatternStep::clear()
{
    note = 0;
    octaveUp = octaveDown = gate = accent = slide = false;
    gateLevel = accentLevel = slideLevel = 0.0;
}

bool PatternStep::getFlag (int index) const noexcept
{
    switch (index)
    {
        case 0: return octaveUp;
        case 1: return octaveDown;
        case 2: return gate;
        case 3: return accent;
        case 4: return slide;
        default: return false;
    }
}

void PatternStep::setFlag (int index, bool on)
{
    switch (index)
    {
        case 0: octaveUp = on; break;
        case 1: octaveDown = on; break;
        case 2: gate = on; break;
        case 3: accent = on; break;
        case 4: slide = on; break;
        default: break;
    }
}

void PatternStep::toggleFlag (int index)
{
    setFlag (index, ! getFlag (index));
}

void PatternStep::setGateLevel (double level)
{
    if (std::isfinite (level))
        gateLevel = level;
}

void PatternStep::setAccentLevel (double level)
{
    if (std::isfinite (level))
        accentLevel = level;
}

void PatternStep::setSlideLevel (double level)
{
    if (std::isfinite (level))
        slideLevel = level;
}

double PatternStep::getLevel (int index) const noexcept
{
    switch (index)
    {
        case 5: return gateLevel;
        case 6: return accentLevel;
        case 7: return slideLevel;
        default: return 0.0;
    }
}

void PatternStep::setLevel (int index, float value)
{
    switch (index)
    {
        case 5: setGateLevel (value); break;
        case 6: setAccentLevel (value); break;
        case 7: setSlideLevel (value); break;
        default: break;
    }
}

int PatternStep::getAbsoluteNote() const noexcept
{
    if (octaveUp && octaveDown)
        return note + 60;

    if (octaveUp)
        return note + 48;

    if (octaveDown)
        return note + 24;

    return note + 36;
}

void PatternStep::setAbsoluteNote (int pitch)
{
    const auto pitchClass = (pitch >= 72 && pitch <= 83) ? 12 : ((pitch % 12) + 12) % 12;
    setPitchWithRow (pitchClass, (pitch - lowestPitch) / 12);
}

void PatternStep::transpose (int semitones)
{
    auto pitch = (juce::int64) getAbsoluteNote() + semitones;

    if (pitch < lowestPitch)
        pitch = highestPitch - 1;
    else if (pitch > highestPitch)
        pitch = lowestPitch + 1;

    // The top pitch exists only as the upper C of the highest row, whichever
    // way the step moved onto it.
    const auto wrapped = (int) pitch;

    if (wrapped % 12 == 0 && (semitones > 0 || wrapped == highestPitch))
        setPitchWithRow (12, (wrapped - lowestPitch) / 12 - 1);
    else
        setPitchWithRow (wrapped % 12, (wrapped - lowestPitch) / 12);
}

void PatternStep::setPitchWithRow (int pitchClass, int row)
{
    note = pitchClass;

    switch (row)
    {
        case 0: octaveDown = true;  octaveUp = false; break;
        case 1: octaveDown = false; octaveUp = false; break;
        case 2: octaveDown = false; octaveUp = true;  break;
        case 3:
        case 4: octaveDown = true;  octaveUp = true;  break;
        default: break;
    }
}

void PatternStep::loadFromXml (const juce::XmlElement& xml)
{
    if (! xml.getTagName().equalsIgnoreCase (stepTag.toString()))
        return;

    note = readLimitedInt (xml, "note", 0, 0, maxNote);
    octaveUp = xml.getBoolAttribute ("octaveUp", false);
    octaveDown = xml.getBoolAttribute ("octaveDown", false);
    gate = xml.getBoolAttribute ("gate", false);
    accent = xml.getBoolAttribute ("accent", false);
    slide = xml.getBoolAttribute ("slide", false);
    gateLevel = readLevel (xml, "gateLevel");
    accentLevel = readLevel (xml, "accentLevel");
    slideLevel = readLevel (xml, "slideLevel");
}

std::unique_ptr<juce::XmlElement> PatternStep::createXml() const
{
    auto xml = std::make_unique<juce::XmlElement> (stepTag);
    xml->setAttribute ("note", note);
    xml->setAttribute ("octaveUp", octaveUp ? 1 : 0);
    xml->setAttribute ("octaveDown", octaveDown ? 1 : 0);
    xml->setAttribute ("gate", gate ? 1 : 0);
    xml->setAttribute ("accent", accent ? 1 : 0);
    xml->setAttribute ("slide", slide ? 1 : 0);
    xml->setAttribute ("gateLevel", roundToMillionth (gateLevel));
    xml->setAttribute ("accentLevel", roundToMillionth (accentLevel));
    xml->setAttribute ("slideLevel", roundToMillionth (slideLevel));
    return xml;
}

bool PatternStep::operator== (const PatternStep& other) const noexcept
{
    return note == other.note
        && octaveUp == other.octaveUp
        && octaveDown == other.octaveDown
        && gate == other.gate
        && accent == other.accent
        && slide == other.slide
        && gateLevel == other.gateLevel
        && accentLevel == other.accentLevel
        && slideLevel == other.slideLevel;
}
