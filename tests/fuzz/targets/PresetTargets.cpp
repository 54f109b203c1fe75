#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "framework/Preset.h"
#include "framework/PresetManager.h"

#include <cmath>
#include <utility>
#include <vector>

namespace FuzzTargets
{
using FuzzSupport::Findings;

namespace
{
constexpr int numPresetParameters = 33;
constexpr int numOtherParameters = 3;

juce::String xmlText (const std::unique_ptr<juce::XmlElement>& xml)
{
    return xml != nullptr ? xml->toString() : juce::String();
}

// A record whose header and values the load must either replace or leave alone.
void fillWithKnownContent (Preset& preset, const ParameterManager& table)
{
    preset.setName ("Known");
    preset.setAuthor ("Someone");
    preset.setRating (4);
    preset.addParameter (table.getParameterByName ("Cutoff"));
}

void checkPresetValues (const Preset& preset, const ParameterManager& table, Findings& findings)
{
    if (preset.getRating() < 1 || preset.getRating() > 5)
        findings.add ("rating " + juce::String (preset.getRating()));

    for (int i = 0; i < preset.getNumValues(); ++i)
    {
        const auto* value = preset.getValue (i);
        const auto* parameter = table.getParameter (value->index);

        if (parameter == nullptr)
        {
            findings.add ("a value for the unknown parameter " + juce::String (value->index));
            continue;
        }

        if (dynamic_cast<const StringParameter*> (parameter) == nullptr && ! std::isfinite (value->value.getFloatValue()))
            findings.add ("the value \"" + value->value + "\" of \"" + parameter->getName() + "\" is no finite number");
    }
}

// The groups cover all 128 slots in order, and every slot holds finite values.
void checkCollection (const PresetManager& presets, Findings& findings)
{
    int total = 0;

    for (int group = 0; group < presets.getNumGroups(); ++group)
    {
        const auto count = presets.getNumPresetsInGroup (group);

        if (count < 0)
            findings.add ("group " + juce::String (group) + " holds " + juce::String (count) + " presets");

        total += count;
    }

    if (total != PresetManager::numPresets)
        findings.add ("the groups hold " + juce::String (total) + " presets");

    for (int index = 0; index < PresetManager::numPresets; ++index)
    {
        const auto* slot = presets.getPresetSlot (index);

        if (slot == nullptr)
        {
            findings.add ("slot " + juce::String (index) + " is missing");
            continue;
        }

        for (int id = 0; id < slot->getNumValues(); ++id)
            if (! std::isfinite (slot->getValue (id)))
                findings.add ("slot " + juce::String (index) + " holds a value that is not finite");
    }

    if (! juce::isPositiveAndBelow (presets.getCurrentPresetIndex(), PresetManager::numPresets))
        findings.add ("current preset " + juce::String (presets.getCurrentPresetIndex()));
}

/** What a collection holds, cheap to take and compare after every load. */
struct CollectionSnapshot
{
    juce::String bankName;
    std::vector<std::pair<juce::String, int>> groups;
    std::vector<juce::String> names;
    std::vector<float> values;
    int current = 0;
};

CollectionSnapshot snapshotOf (const PresetManager& presets)
{
    CollectionSnapshot snapshot;
    snapshot.bankName = presets.getBankName();
    snapshot.current = presets.getCurrentPresetIndex();

    for (int group = 0; group < presets.getNumGroups(); ++group)
        snapshot.groups.emplace_back (presets.getGroupName (group), presets.getNumPresetsInGroup (group));

    for (int index = 0; index < PresetManager::numPresets; ++index)
    {
        snapshot.names.push_back (presets.getPresetName (index));

        if (const auto* slot = presets.getPresetSlot (index))
            for (int id = 0; id < slot->getNumValues(); ++id)
                snapshot.values.push_back (slot->getValue (id));
    }

    return snapshot;
}

bool isUnchanged (const CollectionSnapshot& before, const CollectionSnapshot& after)
{
    return before.bankName == after.bankName && before.groups == after.groups && before.names == after.names
        && before.values == after.values && before.current == after.current;
}

// Files keep values to 6 decimals, so a bank read back matches to that.
bool readsBackAs (const CollectionSnapshot& written, const CollectionSnapshot& read)
{
    if (written.bankName != read.bankName || written.groups != read.groups || written.names != read.names
        || written.values.size() != read.values.size())
        return false;

    for (size_t i = 0; i < written.values.size(); ++i)
    {
        const auto a = static_cast<double> (written.values[i]);
        const auto b = static_cast<double> (read.values[i]);

        if (std::abs (a - b) > 1.0e-6 * juce::jmax (1.0, std::abs (a)))
            return false;
    }

    return true;
}

std::unique_ptr<PresetManager> makeCollection (ParameterManager& table)
{
    auto presets = std::make_unique<PresetManager> (table, numPresetParameters, numOtherParameters,
                                                    [] { return juce::String ("Tarvelin"); });
    presets->clearPresets();
    return presets;
}
} // namespace

//==============================================================================
juce::String runPresetRecord (const std::uint8_t* data, std::size_t size)
{
    auto& table = FuzzSupport::InstrumentParameterTable::getFresh();
    const auto file = FuzzSupport::writeInputFile (data, size, ".tqpreset");
    Findings findings;

    Preset header;
    fillWithKnownContent (header, table);
    const auto valuesBefore = xmlText (header.toXml (&table));

    // A header-only load reads no values and drops the ones held.
    if (header.load (file, &table, true))
    {
        if (header.getNumValues() != 0)
            findings.add ("a header-only load kept or read values");
    }
    else if (xmlText (header.toXml (&table)) != valuesBefore)
    {
        findings.add ("a refused header-only load changed the preset");
    }

    Preset preset;
    fillWithKnownContent (preset, table);

    if (! preset.load (file, &table, false))
    {
        if (xmlText (preset.toXml (&table)) != valuesBefore)
            findings.add ("a refused load changed the preset");

        return findings.getText();
    }

    checkPresetValues (preset, table, findings);

    // What is written reads back as the same record.
    const auto written = preset.toXml (&table);
    Preset readBack;

    if (! readBack.fromXml (written.get(), &table, false) || xmlText (readBack.toXml (&table)) != written->toString())
        findings.add ("the preset does not read back as written");

    // Patching the header keeps everything else in the file.
    Preset patcher ("", "new-id");
    patcher.setAuthor ("New Author");
    const auto original = file.loadFileAsString();

    if (patcher.patchFileHeader (file, Preset::authorField | Preset::idField))
    {
        Preset patched;

        if (! patched.load (file, &table, false) || patched.getAuthor() != "New Author" || patched.getId() != "new-id")
            findings.add ("the patched file does not carry the new header");
        else if (patched.getNumValues() != preset.getNumValues() || patched.getName() != preset.getName())
            findings.add ("patching the header changed the rest of the file");
    }
    else if (file.loadFileAsString() != original)
    {
        findings.add ("a refused header patch changed the file");
    }

    for (int i = 0; i < preset.getNumValues(); ++i)
        table.setValueFromText (preset.getValue (i)->index, preset.getValue (i)->value);

    FuzzSupport::checkAllParameters (table, findings);
    FuzzSupport::checkVoiceRender (table, findings);
    return findings.getText();
}

juce::String runPresetSlotFile (const std::uint8_t* data, std::size_t size)
{
    auto& table = FuzzSupport::InstrumentParameterTable::getFresh();
    auto presets = makeCollection (table);
    const auto before = snapshotOf (*presets);

    Findings findings;

    if (! presets->loadPresetFileIntoCurrentSlot (FuzzSupport::writeInputFile (data, size, ".tqprs"))
        && ! isUnchanged (before, snapshotOf (*presets)))
        findings.add ("a refused preset file changed the collection");

    checkCollection (*presets, findings);
    FuzzSupport::checkAllParameters (table, findings);
    FuzzSupport::checkVoiceRender (table, findings);
    return findings.getText();
}

juce::String runPresetBankFile (const std::uint8_t* data, std::size_t size)
{
    auto& table = FuzzSupport::InstrumentParameterTable::getFresh();
    auto presets = makeCollection (table);
    presets->selectPreset (5, true);
    const auto before = snapshotOf (*presets);

    Findings findings;

    if (presets->loadBankFromFile (FuzzSupport::writeInputFile (data, size, ".tqprsb")))
    {
        // A bank written back reads as the same bank.
        auto copy = makeCollection (table);

        if (! copy->loadBankFromXml (*presets->createBankXml()) || ! readsBackAs (snapshotOf (*presets), snapshotOf (*copy)))
            findings.add ("the bank does not read back as written");
    }
    else if (! isUnchanged (before, snapshotOf (*presets)))
    {
        findings.add ("a refused bank file changed the collection");
    }

    checkCollection (*presets, findings);
    FuzzSupport::checkAllParameters (table, findings);
    FuzzSupport::checkVoiceRender (table, findings);
    return findings.getText();
}
} // namespace FuzzTargets
