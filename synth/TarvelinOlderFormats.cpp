// Reading the formats of earlier versions: the 96-pattern text bank and the
// binary state blocks of a whole instrument (100968 bytes) or one program (136
// bytes). They are read, never written, and every value taken from them is
// checked before it reaches a preset, a pattern or a parameter.

#include "synth/Tarvelin.h"

#include "framework/XmlFiles.h"

#include <cmath>
#include <cstring>
#include <sstream>

namespace
{
using namespace TarvelinIds;

constexpr int olderStateSize = 100968;
constexpr int olderProgramSize = 136;
constexpr int wordsPerProgram = 34;
constexpr int numOlderPrograms = 128;
constexpr int firstPatternWord = 4352;
constexpr int wordsPerPattern = 163;
constexpr int wordsPerStep = 10;


/** Voice parameter of each of the 24 older program words. */
constexpr int olderParameterOfWord[24] = {
    tune, cutoff, resonance, envMod, decay, accent, slideTime, accentAmp,
    attack, volume, accentDecay, gateLength, accentSweep, drive, distortionLevel, bankFrequency,
    bankDamping, bankMix, bankSpread, waveform, effectOn, bankOrder, accentAmpLink, accentSweepLink
};

float readFloatWord (const juce::uint8* data, int word)
{
    const auto bits = juce::ByteOrder::littleEndianInt (data + 4 * word);
    float value = 0.0f;
    std::memcpy (&value, &bits, sizeof (value));
    return value;
}

int readIntWord (const juce::uint8* data, int word)
{
    return static_cast<int> (juce::ByteOrder::littleEndianInt (data + 4 * word));
}

float unitRange (float v)
{
    return juce::jlimit (0.0f, 1.0f, v);
}

/** The normalised value of voice parameter p from an older program word, or
    false when the word holds no finite number. */
bool convertOlderWord (int word, float raw, float& result)
{
    if (! std::isfinite (raw))
        return false;

    switch (word)
    {
        case 0:  result = (raw - 0.5f) / 24.0f + 0.5f; break;   // the older tune spanned one semitone
        case 19:
        case 21: result = 1.0f - raw; break;                    // the older switches ran the other way
        default: result = raw; break;
    }

    result = unitRange (result);
    return true;
}

/** The first word of a state block that the toolkit's copyXmlToBinary wrote. */
bool startsWithToolkitXmlMagic (const void* data)
{
    constexpr juce::uint32 toolkitXmlMagic = 0x21324356;
    return juce::ByteOrder::littleEndianInt (data) == toolkitXmlMagic;
}

double olderLevel (int value)
{
    return juce::jlimit (0.0, 1.0, value / 127.0);
}

/** One pattern block of the older text bank, or false when it is incomplete. */
bool readTextPattern (std::istream& in, Pattern& pattern, int index)
{
    int length = 0, ignoredA = 0, ignoredB = 0;

    if (! (in >> length >> ignoredA >> ignoredB))
        return false;

    pattern.setLength (length);
    pattern.setName ("Pattern " + juce::String (index));
    pattern.setTempo (120.0);
    pattern.setShuffle (0);

    for (int s = 0; s < Pattern::numSteps; ++s)
    {
        int values[9] = {};

        for (auto& value : values)
            if (! (in >> value))
                return false;

        PatternStep step (false);
        step.setNote (juce::jlimit (0, PatternStep::maxNote, values[0]));
        step.setOctaveDown (values[1] != 0);
        step.setOctaveUp (values[2] != 0);
        step.setGate (values[3] != 0);
        step.setAccent (values[4] != 0);
        step.setSlide (values[5] != 0);
        step.setGateLevel (olderLevel (values[6]));
        step.setAccentLevel (olderLevel (values[7]));
        step.setSlideLevel (olderLevel (values[8]));
        pattern.setStep (s, step);
    }

    return true;
}
} // namespace

//==============================================================================
bool Tarvelin::importPatternText (const juce::File& file)
{
    juce::String text;

    if (! XmlFiles::readText (file, text, maxPatternTextFileBytes))
        return false;

    std::istringstream in (text.toStdString());

    // Read into copies first: a file that ends early or holds other text
    // changes no pattern at all.
    std::vector<Pattern> imported (static_cast<size_t> (numPatterns));

    for (int i = 0; i < numPatterns; ++i)
    {
        imported[static_cast<size_t> (i)] = getPattern (i);

        if (! readTextPattern (in, imported[static_cast<size_t> (i)], i))
            return false;
    }

    for (int i = 0; i < numPatterns; ++i)
        getPattern (i) = imported[static_cast<size_t> (i)];

    return true;
}

namespace
{
/** The program's 24 values and name applied to a copy of the default preset. */
void applyOlderProgramTo (PresetSlot& slot, const juce::uint8* program)
{
    for (int w = 0; w < 24; ++w)
    {
        float value = 0.0f;

        if (convertOlderWord (w, readFloatWord (program, w), value))
            slot.setValue (olderParameterOfWord[w], value);
    }

    juce::String name;

    for (int c = 0; c < 24 && program[96 + c] != 0; ++c)
        name += juce::String::charToString (static_cast<juce::juce_wchar> (program[96 + c]));

    slot.setName (name);
}

/** Preset slot i becomes a copy of the default preset with the older program applied. */
void storeOlderProgram (PresetManager& presetManager, int slotIndex, const juce::uint8* program)
{
    PresetSlot slot (presetManager.getNumPresetParameters(), -1);
    slot.copyFrom (presetManager.getDefaultPreset());
    applyOlderProgramTo (slot, program);

    if (auto* target = presetManager.getPresetSlot (slotIndex))
    {
        // The values are atomic; the name is shared with a program change on the
        // audio thread, so it goes through the manager and its preset lock.
        for (int id = 0; id < slot.getNumValues(); ++id)
            target->setValue (id, slot.getValue (id));

        presetManager.setPresetName (slotIndex, slot.getName());
    }
}
} // namespace

void Tarvelin::importOlderProgramChunk (const void* data, int size)
{
    if (data == nullptr || size != olderProgramSize)
        return;

    auto& presetManager = getPresetManager();
    storeOlderProgram (presetManager, presetManager.getCurrentPresetIndex(), static_cast<const juce::uint8*> (data));
    presetManager.reloadCurrentPreset();
}

void Tarvelin::importOlderStateChunk (const void* data, int size)
{
    if (data == nullptr || size != olderStateSize)
        return;

    const auto* bytes = static_cast<const juce::uint8*> (data);
    auto& presetManager = getPresetManager();

    for (int i = 0; i < juce::jmin (numOlderPrograms, presetManager.getNumPresets()); ++i)
        storeOlderProgram (presetManager, i, bytes + 4 * wordsPerProgram * i);

    presetManager.reloadCurrentPreset();

    for (int i = 0; i < numPatterns; ++i)
    {
        const int base = firstPatternWord + wordsPerPattern * i;
        auto& pattern = getPattern (i);
        pattern.clearSteps (false);
        pattern.setName ("Pattern " + juce::String (i));
        pattern.setLength (readIntWord (bytes, base + 160));

        for (int s = 0; s < Pattern::numSteps; ++s)
        {
            const int w = base + wordsPerStep * s;
            PatternStep step (false);
            step.setGateLevel (olderLevel (readIntWord (bytes, w + 1)));
            step.setGate (readIntWord (bytes, w + 2) == 1);
            step.setAccentLevel (olderLevel (readIntWord (bytes, w + 3)));
            step.setAccent (readIntWord (bytes, w + 4) == 1);
            step.setSlideLevel (olderLevel (readIntWord (bytes, w + 5)));
            step.setSlide (readIntWord (bytes, w + 6) == 1);
            step.setNote (juce::jlimit (0, PatternStep::maxNote, readIntWord (bytes, w + 7)));
            step.setOctaveDown (readIntWord (bytes, w + 8) == 1);
            step.setOctaveUp (readIntWord (bytes, w + 9) == 1);
            pattern.setStep (s, step);
        }
    }

    static const std::pair<int, int> settingWords[] = {
        { gateThreshold, 25220 }, { accentThreshold, 25221 }, { slideThreshold, 25222 },
        { arpChord, 25227 }, { arpMode, 25228 }, { arpMultiplier, 25229 }, { arpRepeater, 25230 },
        { arpOctaveMinus1, 25231 }, { arpOctave0, 25232 }, { arpOctavePlus1, 25233 }, { arpOctavePlus2, 25234 }
    };

    for (const auto& [id, word] : settingWords)
    {
        const float value = readFloatWord (bytes, word);

        if (std::isfinite (value))
            parameterManager.setNormalisedValue (id, unitRange (value));
    }

    auto switchWord = [bytes] (int word)
    {
        const float value = readFloatWord (bytes, word);
        return std::isfinite (value) && value >= 0.5f;
    };

    setInternalSequencer (switchWord (25224));
    setInternalSync (switchWord (25223));
    setAutoFollow (readIntWord (bytes, 25237) == 1);
    setCurrentPattern (readIntWord (bytes, 25238));

    const int length = getPattern (currentPattern).getLength();
    setEditedStep (juce::jmin (juce::jlimit (0, 15, readIntWord (bytes, 25239)), length - 1));
    refreshEditDisplays();
    updatePatternStates();
}

//==============================================================================
void Tarvelin::setStateInformation (const void* data, int sizeInBytes)
{
    // A current state that happens to have the older size is still toolkit XML,
    // even a damaged one: only a block without the toolkit's magic number is older.
    if (sizeInBytes == olderStateSize && data != nullptr && ! startsWithToolkitXmlMagic (data))
    {
        importOlderStateChunk (data, sizeInBytes);
        return;
    }

    IntSeqPlugin::setStateInformation (data, sizeInBytes);
}

void Tarvelin::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    if (sizeInBytes == olderProgramSize)
    {
        importOlderProgramChunk (data, sizeInBytes);
        return;
    }

    IntSeqPlugin::setCurrentProgramStateInformation (data, sizeInBytes);
}

std::unique_ptr<juce::XmlElement> Tarvelin::createCurrentProgramStateXml()
{
    return createStateXml();
}

void Tarvelin::setCurrentProgramStateFromXml (const juce::XmlElement& element)
{
    setStateFromXml (element);
}
