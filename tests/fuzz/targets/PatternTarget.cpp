#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "synth/Pattern.h"

#include <cmath>

namespace FuzzTargets
{
using FuzzSupport::Findings;

namespace
{
void checkStep (const PatternStep& step, int index, Findings& findings)
{
    const auto where = "step " + juce::String (index) + ": ";

    if (step.getNote() < 0 || step.getNote() > PatternStep::maxNote)
        findings.add (where + "note " + juce::String (step.getNote()));

    const auto pitch = step.getAbsoluteNote();

    if (pitch < PatternStep::lowestPitch || pitch > PatternStep::highestPitch)
        findings.add (where + "pitch " + juce::String (pitch));

    for (const auto level : { step.getGateLevel(), step.getAccentLevel(), step.getSlideLevel() })
        if (! std::isfinite (level) || level < 0.0 || level > 1.0)
            findings.add (where + "level " + juce::String (level));
}

void checkPattern (const Pattern& pattern, Findings& findings)
{
    if (pattern.getLength() < Pattern::minLength || pattern.getLength() > Pattern::numSteps)
        findings.add ("length " + juce::String (pattern.getLength()));

    if (pattern.getShuffle() < 0 || pattern.getShuffle() > Pattern::maxShuffle)
        findings.add ("shuffle " + juce::String (pattern.getShuffle()));

    const auto tempo = pattern.getTempo();

    if (! std::isfinite (tempo) || tempo < Pattern::minTempo || tempo > Pattern::maxTempo)
        findings.add ("tempo " + juce::String (tempo));
    else if (std::abs (tempo * 10.0 - std::round (tempo * 10.0)) > 1.0e-6)
        findings.add ("tempo " + juce::String (tempo, 9) + " is not kept to one decimal");

    for (int i = 0; i < Pattern::numSteps; ++i)
        checkStep (pattern.getStep (i), i, findings);
}
} // namespace

juce::String runPatternXml (const std::uint8_t* data, std::size_t size)
{
    const auto root = juce::parseXML (FuzzSupport::textFrom (data, size));

    if (root == nullptr)
        return {};

    Pattern pattern;
    pattern.loadFromXml (*root);

    Findings findings;
    checkPattern (pattern, findings);

    // What is saved loads back as the same pattern.
    juce::XmlElement saved ("Pattern");
    pattern.saveToXml (saved);

    Pattern reloaded;
    reloaded.loadFromXml (saved);

    if (reloaded != pattern)
        findings.add ("the pattern does not load back as saved: " + saved.toString());

    // Edits of a loaded pattern stay in range too.
    pattern.transpose (13);
    pattern.rotateLeft (5);
    pattern.setAllNotes (3, 11);
    checkPattern (pattern, findings);

    return findings.getText();
}
} // namespace FuzzTargets
