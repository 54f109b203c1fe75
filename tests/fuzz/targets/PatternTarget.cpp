#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "synth/Pattern.h"

namespace FuzzTargets
{
using FuzzSupport::Findings;


juce::String runPatternXml (const std::uint8_t* data, std::size_t size)
{
    Findings findings;
    const auto root = FuzzSupport::parseText (FuzzSupport::textFrom (data, size), findings);

    if (root == nullptr)
        return findings.getText();

    Pattern pattern;
    pattern.loadFromXml (*root);
    FuzzSupport::checkPattern (pattern, findings);

    // Saving rounds the levels; what is saved then loads back as the same pattern.
    juce::XmlElement saved ("Pattern");
    pattern.saveToXml (saved);

    Pattern reloaded;
    reloaded.loadFromXml (saved);
    juce::XmlElement savedAgain ("Pattern");
    reloaded.saveToXml (savedAgain);

    if (! savedAgain.isEquivalentTo (&saved, false))
        findings.add ("the pattern does not load back as saved: " + saved.toString());

    // Edits of a loaded pattern stay in range too.
    pattern.transpose (13);
    pattern.rotateLeft (5);
    pattern.setAllNotes (3, 11);
    FuzzSupport::checkPattern (pattern, findings);

    return findings.getText();
}
} // namespace FuzzTargets
