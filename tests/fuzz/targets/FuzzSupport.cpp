#include "FuzzSupport.h"

#include "framework/PresetManager.h"
#include "framework/XmlFiles.h"
#include "synth/Pattern.h"
#include "synth/TarvelinCore.h"

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace juce
{
// The Linux message queue's own entry: JUCE 7 without modal loops has no public
// call that delivers what is pending and returns.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace FuzzSupport
{
namespace
{
// One folder per process: fuzzers and test processes may run side by side.
class ProcessFolder
{
public:
    ProcessFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("tarvelin-fuzz-" + juce::Uuid().toString()))
    {
        folder.createDirectory();
    }

    ~ProcessFolder() { folder.deleteRecursively (false); }

    const juce::File& get() const noexcept { return folder; }

private:
    juce::File folder;
};

juce::String describe (const Parameter& parameter)
{
    return "parameter " + juce::String (parameter.getId()) + " \"" + parameter.getName() + "\"";
}

bool isInside (double value, double limitA, double limitB)
{
    return value >= juce::jmin (limitA, limitB) && value <= juce::jmax (limitA, limitB);
}

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
} // namespace

//==============================================================================
void Findings::add (const juce::String& finding)
{
    if (++count <= 10)
        text << finding << "\n";
}

juce::String Findings::getText() const
{
    if (count <= 10)
        return text;

    return text + "... and " + juce::String (count - 10) + " more\n";
}

juce::String textFrom (const std::uint8_t* data, std::size_t size)
{
    juce::MemoryInputStream stream (data, size, false);
    return stream.readEntireStreamAsString();
}

std::unique_ptr<juce::XmlElement> parseText (const juce::String& text, Findings& findings)
{
    auto root = XmlFiles::parse (text);

    if (root == nullptr)
        return root;

    // Depth first without recursion, each element with its level; text is
    // kept as elements too, but the parser reads it without going a level down.
    std::vector<std::pair<const juce::XmlElement*, int>> pending { { root.get(), 1 } };
    auto deepest = 0;

    while (! pending.empty())
    {
        const auto [element, level] = pending.back();
        pending.pop_back();
        deepest = juce::jmax (deepest, level);

        for (const auto* child : element->getChildIterator())
            if (! child->isTextElement())
                pending.emplace_back (child, level + 1);
    }

    if (deepest > XmlFiles::maxNestingDepth)
        findings.add ("the parser was given a text nested " + juce::String (deepest) + " levels deep");

    return root;
}

juce::File writeInputFile (const std::uint8_t* data, std::size_t size, const juce::String& extension)
{
    static const ProcessFolder folder;
    const auto file = folder.get().getChildFile ("input" + extension);

    juce::FileOutputStream out (file);

    if (out.openedOk())
    {
        out.setPosition (0);
        out.truncate();
        out.write (data, size);
    }

    return file;
}

void deliverPendingMessages()
{
    if (juce::MessageManager::getInstanceWithoutCreating() == nullptr)
        return;

    for (int i = 0; i < 100000 && juce::dispatchNextMessageOnSystemQueue (true); ++i)
    {
    }
}

void removeSettingsFolders()
{
    for (const auto* variable : { "XDG_CONFIG_HOME", "XDG_DATA_HOME" })
        if (const auto* folder = std::getenv (variable))
            juce::File (folder).getChildFile ("Ulvra Group").deleteRecursively();
}

//==============================================================================
void checkParameter (const Parameter& parameter, Findings& findings)
{
    const auto value = parameter.getValue();
    const auto normalised = parameter.getNormalisedValue();

    // Every reading must be safe to ask for, whatever the kind.
    parameter.getText();
    parameter.getIntValue();
    parameter.getBoolValue();

    if (! std::isfinite (normalised) || normalised < 0.0f || normalised > 1.0f)
        findings.add (describe (parameter) + ": normalised value " + juce::String (normalised) + " outside 0..1");

    if (const auto* floatParameter = dynamic_cast<const FloatParameter*> (&parameter))
    {
        if (! std::isfinite (value) || ! isInside (value, floatParameter->getMinimum(), floatParameter->getMaximum()))
            findings.add (describe (parameter) + ": value " + juce::String (value) + " outside "
                          + juce::String (floatParameter->getMinimum()) + ".." + juce::String (floatParameter->getMaximum()));
    }
    else if (const auto* intParameter = dynamic_cast<const IntParameter*> (&parameter))
    {
        const auto intValue = intParameter->getIntValue();

        if (! isInside (intValue, intParameter->getMinimum(), intParameter->getMaximum()))
            findings.add (describe (parameter) + ": value " + juce::String (intValue) + " outside "
                          + juce::String (intParameter->getMinimum()) + ".." + juce::String (intParameter->getMaximum()));

        if (const auto* enumParameter = dynamic_cast<const EnumParameter*> (&parameter))
            if (! enumParameter->getNames().isEmpty() && ! juce::isPositiveAndBelow (intValue, enumParameter->getNames().size()))
                findings.add (describe (parameter) + ": value " + juce::String (intValue) + " past its "
                              + juce::String (enumParameter->getNames().size()) + " names");
    }
    else if (dynamic_cast<const BoolParameter*> (&parameter) != nullptr)
    {
        if (value != 0.0f && value != 1.0f)
            findings.add (describe (parameter) + ": bool value " + juce::String (value));
    }
}

void checkAllParameters (const ParameterManager& table, Findings& findings)
{
    for (int i = 0; i < table.getNumParameters(); ++i)
        if (const auto* parameter = table.getParameterAt (i))
            checkParameter (*parameter, findings);
}

void checkVoiceRender (const ParameterManager& table, Findings& findings)
{
    TarvelinCore voice;
    voice.setSampleRate (44100.0f);

    for (int id = 0; id < TarvelinCore::numParameters; ++id)
        voice.setParameter (id, table.getNormalisedValue (id));

    int nonFinite = 0;

    const auto render = [&] (int numSamples)
    {
        for (int i = 0; i < numSamples; ++i)
        {
            double sample = 0.0;
            voice.renderSample (sample);

            if (! std::isfinite (sample))
                ++nonFinite;
        }
    };

    voice.noteOn (36, 1.0f);
    render (128);
    voice.noteOn (48, 0.2f);
    render (128);
    voice.noteOff (48);
    voice.noteOff (36);
    render (64);

    if (nonFinite > 0)
        findings.add ("the voice rendered " + juce::String (nonFinite) + " samples that are not finite");
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

//==============================================================================
InstrumentParameterTable::InstrumentParameterTable()
{
    loadFromResource ("parameters.xml");
    addParameter (new IntParameter (PresetManager::currentPresetNumberId, "Current Preset Number", 0, 127, 0));
    addParameter (new StringParameter (PresetManager::currentPresetNameId, "Current Preset Name", {}));

    for (int i = 0; i < getNumParameters(); ++i)
        if (const auto* parameter = getParameterAt (i))
            startingTexts.add ({ parameter->getId(), parameter->getText() });
}

InstrumentParameterTable& InstrumentParameterTable::getFresh()
{
    static InstrumentParameterTable table;
    table.restoreStartingValues();
    return table;
}

void InstrumentParameterTable::restoreStartingValues()
{
    for (const auto& [id, text] : startingTexts)
        if (auto* parameter = getParameter (id))
            parameter->setValueFromText (text, false);
}
} // namespace FuzzSupport
