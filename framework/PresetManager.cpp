#include "framework/PresetManager.h"

#include "framework/BundleResources.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"

#include <cmath>

namespace
{
// Keeps preset files short and stable: 6 decimals, halves to even.
double roundToSixDecimals (float value)
{
    return std::nearbyint (static_cast<double> (value) * 1000000.0) / 1000000.0;
}

// A number read from a file that is not finite never reaches a slot or parameter.
bool readFiniteValue (const juce::XmlElement& element, float& result)
{
    const auto value = static_cast<float> (element.getDoubleAttribute ("value", 0.0));

    if (! std::isfinite (value))
        return false;

    result = value;
    return true;
}
} // namespace

PresetManager::PresetManager (ParameterManager& parameterManager,
                              int numberOfPresetParameters,
                              int numberOfOtherParameters,
                              std::function<juce::String()> nameOfApplication)
    : parameters (parameterManager),
      numPresetParameters (juce::jmax (0, numberOfPresetParameters)),
      numOtherParameters (juce::jmax (0, numberOfOtherParameters)),
      applicationName (std::move (nameOfApplication)),
      defaultPreset (numPresetParameters, -1),
      copyBuffer (numPresetParameters, -1)
{
    takeParameterValues (defaultPreset);

    for (int i = 0; i < numPresets; ++i)
        presets.add (new PresetSlot (numPresetParameters, i));
}

PresetManager::~PresetManager() = default;

//==============================================================================
float PresetManager::getParameterValue (int id) const
{
    return parameters.getNormalisedValue (id);
}

void PresetManager::setParameterValue (int id, float normalisedValue) const
{
    parameters.setNormalisedValue (id, normalisedValue);
}

void PresetManager::takeParameterValues (PresetSlot& slot) const
{
    for (int id = 0; id < juce::jmin (numPresetParameters, slot.getNumValues()); ++id)
        slot.setValue (id, getParameterValue (id));
}

juce::String PresetManager::getPresetName (int index) const
{
    const ScopedPresetLock sl (presets.getLock());
    const auto* slot = presets[index];
    return slot != nullptr ? slot->getName() : juce::String();
}

void PresetManager::setPresetName (int index, const juce::String& name)
{
    // Held while the name is announced too: the announcement's listener renames
    // the current slot, which must still be this one.
    const ScopedPresetLock sl (presets.getLock());
    auto* slot = presets[index];

    if (slot == nullptr)
        return;

    slot->setName (name);

    if (index == currentPreset.load())
        parameters.setValueFromText (currentPresetNameId, slot->getName());
}

void PresetManager::renameCurrentPreset (const juce::String& name)
{
    // The index is read under the lock that a move holds while it re-points it.
    const ScopedPresetLock sl (presets.getLock());
    setPresetName (currentPreset.load(), name);
}

PresetSlot* PresetManager::getPresetSlot (int index) const
{
    const ScopedPresetLock sl (presets.getLock());
    return presets[index];
}

//==============================================================================
void PresetManager::selectPreset (int index, bool force)
{
    if (! juce::isPositiveAndBelow (index, numPresets))
        return;

    auto* handler = presetChangeHandler;

    if (force || changingMode.load() == normalChanging || handler == nullptr)
    {
        // Making the slot current and applying it is one step: a selection on
        // another thread (a program change on the audio thread) coming in between
        // would have this slot's name and values stored into the other slot.
        const ScopedPresetLock sl (presets.getLock());
        currentPreset.store (index);
        loadCurrentPreset();
    }
    else
    {
        currentPreset.store (index);
        handler->presetChangeRequested (index, force);
    }
}

void PresetManager::selectNextPreset (int step)
{
    if (step == 0)
        return;

    const auto target = static_cast<juce::int64> (currentPreset.load()) + step;

    if (juce::isPositiveAndBelow (target, static_cast<juce::int64> (numPresets)))
        selectPreset (static_cast<int> (target), false);
}

void PresetManager::selectPreviousPreset (int step)
{
    if (step == 0)
        return;

    const auto target = static_cast<juce::int64> (currentPreset.load()) - step;

    if (juce::isPositiveAndBelow (target, static_cast<juce::int64> (numPresets)))
        selectPreset (static_cast<int> (target), false);
}

void PresetManager::selectPresetInGroup (int group, int position)
{
    const auto index = getPresetIndexInGroup (group, position);

    if (index >= 0 && index != currentPreset.load())
        selectPreset (index, false);
}

void PresetManager::setCurrentPresetIndex (int index, bool notify)
{
    // One step, like a selection: see selectPreset.
    const ScopedPresetLock sl (presets.getLock());
    const auto* slot = presets[index];

    if (slot == nullptr)
        return;

    const auto name = slot->getName();
    currentPreset.store (index);

    if (auto* number = parameters.getParameter (currentPresetNumberId))
        number->setIntValue (index, notify);

    if (auto* nameParameter = parameters.getParameter (currentPresetNameId))
        nameParameter->setValueFromText (name, notify);
}

void PresetManager::loadCurrentPreset()
{
    // Held throughout, so that no other thread makes another slot current while
    // this one's values and name go out (automatic storing and the name's
    // listener write them back into the current slot).
    const ScopedPresetLock sl (presets.getLock());
    const auto index = currentPreset.load();
    PresetSlot* slot = presets[index];

    if (slot == nullptr)
        return;

    const auto name = slot->getName();

    // A slot holding fewer values gives 0 for the rest.
    for (int id = 0; id < numPresetParameters; ++id)
        setParameterValue (id, slot->getValue (id));

    parameters.setIntValue (currentPresetNumberId, index);
    parameters.setValueFromText (currentPresetNameId, name);

    for (int i = listeners.size(); --i >= 0;)
        if (i < listeners.size())
            listeners.getUnchecked (i)->currentPresetLoaded();
}

void PresetManager::reloadCurrentPreset()
{
    loadCurrentPreset();
}

void PresetManager::addPresetManagerListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

//==============================================================================
void PresetManager::storeCurrentPreset()
{
    const ScopedPresetLock sl (presets.getLock());

    if (auto* slot = presets[currentPreset.load()])
        takeParameterValues (*slot);
}

void PresetManager::storeParameterValue (int id, float normalisedValue)
{
    if (! juce::isPositiveAndBelow (id, numPresetParameters))
        return;

    // A learnt controller stores on the audio thread: the index is read under
    // the lock that a move holds until the current slot is current again.
    const ScopedPresetLock sl (presets.getLock());

    if (auto* slot = presets[currentPreset.load()])
        slot->setValue (id, normalisedValue);
}

void PresetManager::setPresetStoringMode (int mode)
{
    if (mode != automaticStoring && mode != onDemandStoring)
        return;

    storingMode.store (mode);

    if (mode == automaticStoring)
        storeCurrentPreset();
}

void PresetManager::setPresetChangingMode (int mode)
{
    if (mode == normalChanging || mode == silentChanging)
        changingMode.store (mode);
}

//==============================================================================
void PresetManager::copyCurrentPreset()
{
    copyBuffer.setName (getPresetName (currentPreset.load()) + "_copy");
    takeParameterValues (copyBuffer);
    copyBufferFilled = true;
}

void PresetManager::pasteCopiedPreset()
{
    if (! copyBufferFilled)
        return;

    // The pasted values go into one slot, whichever selections other threads make meanwhile.
    const ScopedPresetLock sl (presets.getLock());

    for (int id = 0; id < numPresetParameters; ++id)
        setParameterValue (id, copyBuffer.getValue (id));

    renameCurrentPreset (copyBuffer.getName());
    storeCurrentPreset();
    loadCurrentPreset();
}

void PresetManager::copyPresetSlot (int destination, int source)
{
    const ScopedPresetLock sl (presets.getLock());
    auto* to = presets[destination];
    const auto* from = presets[source];

    if (to != nullptr && from != nullptr && to != from)
        to->copyFrom (*from);
}

void PresetManager::resetSlotsAndGroups()
{
    {
        const ScopedPresetLock sl (presets.getLock());

        for (int i = 0; i < presets.size(); ++i)
        {
            auto* slot = presets.getUnchecked (i);
            slot->copyFrom (defaultPreset);
            slot->setName ("Preset " + juce::String (i));
        }
    }

    const ScopedGroupLock gl (groups.getLock());
    groups.clear();
    groups.add (new Group { "Not used", numPresets });
}

void PresetManager::clearPresets()
{
    resetSlotsAndGroups();
}

//==============================================================================
int PresetManager::getNumGroups() const
{
    return groups.size();
}

juce::String PresetManager::getGroupName (int group) const
{
    const ScopedGroupLock gl (groups.getLock());
    const auto* record = groups[group];
    return record != nullptr ? record->name : juce::String();
}

void PresetManager::setGroupName (int group, const juce::String& name)
{
    const ScopedGroupLock gl (groups.getLock());

    if (auto* record = groups[group])
        record->name = name.substring (0, PresetSlot::maxNameLength);
}

int PresetManager::getNumPresetsInGroup (int group) const
{
    const ScopedGroupLock gl (groups.getLock());
    const auto* record = groups[group];
    return record != nullptr ? record->count : 0;
}

int PresetManager::getGroupStartIndex (int group) const
{
    const ScopedGroupLock gl (groups.getLock());

    if (! juce::isPositiveAndBelow (group, groups.size()))
        return -1;

    int start = 0;

    for (int g = 0; g < group; ++g)
        start += groups.getUnchecked (g)->count;

    return start;
}

int PresetManager::getGroupEndIndex (int group) const
{
    const ScopedGroupLock gl (groups.getLock());
    const auto start = getGroupStartIndex (group);
    return start < 0 ? -1 : start + groups.getUnchecked (group)->count - 1;
}

int PresetManager::getGroupOfPreset (int index) const
{
    if (! juce::isPositiveAndBelow (index, numPresets))
        return -1;

    const ScopedGroupLock gl (groups.getLock());
    int start = 0;

    for (int g = 0; g < groups.size(); ++g)
    {
        start += groups.getUnchecked (g)->count;

        if (start > index)
            return g;
    }

    return -1;
}

int PresetManager::getPresetIndexInGroup (int group, int position) const
{
    const ScopedGroupLock gl (groups.getLock());
    const auto start = getGroupStartIndex (group);

    if (start < 0 || position < 0 || position >= groups.getUnchecked (group)->count)
        return -1;

    return start + position < numPresets ? start + position : -1;
}

juce::String PresetManager::getPresetNameInGroup (int group, int position) const
{
    return getPresetName (getPresetIndexInGroup (group, position));
}

void PresetManager::setPresetNameInGroup (int group, int position, const juce::String& name)
{
    const auto index = getPresetIndexInGroup (group, position);

    if (index >= 0)
        setPresetName (index, name);
}

void PresetManager::getPresetGroupAndPosition (int index, int& group, int& position) const
{
    const ScopedGroupLock gl (groups.getLock());
    group = getGroupOfPreset (index);
    position = group < 0 ? -1 : index - getGroupStartIndex (group);
}

void PresetManager::getCurrentPresetGroupAndPosition (int& group, int& position) const
{
    getPresetGroupAndPosition (currentPreset.load(), group, position);
}

//==============================================================================
void PresetManager::keepPresetCurrent (const PresetSlot* slot)
{
    // Called with the slot lock held since the slot was found current, so that
    // no selection or automatic storing on another thread meets the current
    // index pointing at the slot that the move put in its place.
    if (moveWindowHook != nullptr)
        moveWindowHook();

    const auto index = presets.indexOf (slot);

    if (index >= 0)
        setCurrentPresetIndex (index, false);
}

bool PresetManager::movePreset (int from, int to, int fromGroup, int toGroup)
{
    // The same index with two groups is a real move: the last slot of one group
    // becomes the first of the next, and only the counts change.
    if ((from == to && fromGroup == toGroup)
        || ! juce::isPositiveAndBelow (from, numPresets) || ! juce::isPositiveAndBelow (to, numPresets))
        return false;

    {
        const ScopedGroupLock gl (groups.getLock());

        if (! juce::isPositiveAndBelow (fromGroup, groups.size())
            || ! juce::isPositiveAndBelow (toGroup, groups.size())
            || getGroupOfPreset (from) != fromGroup)
            return false;

        // The slot must land inside the group the caller names, once the counts have changed.
        auto toStart = getGroupStartIndex (toGroup);
        auto toCount = groups.getUnchecked (toGroup)->count;

        if (fromGroup != toGroup)
        {
            ++toCount;

            if (fromGroup < toGroup)
                --toStart;
        }

        if (to < toStart || to >= toStart + toCount)
            return false;

        // The audio thread waits for this lock (a program change, automatic storing) only this long.
        const ScopedPresetLock sl (presets.getLock());
        const auto* current = presets[currentPreset.load()];

        if (from != to)
            presets.move (from, to);

        if (fromGroup != toGroup)
        {
            --groups.getUnchecked (fromGroup)->count;
            ++groups.getUnchecked (toGroup)->count;
        }

        keepPresetCurrent (current);
    }

    return true;
}

bool PresetManager::movePresetsToGroup (int destinationGroup, int sourceGroup, const juce::SparseSet<int>& positions)
{
    if (destinationGroup == sourceGroup || positions.getNumRanges() == 0)
        return false;

    {
        const ScopedGroupLock gl (groups.getLock());

        if (! juce::isPositiveAndBelow (destinationGroup, groups.size())
            || ! juce::isPositiveAndBelow (sourceGroup, groups.size()))
            return false;

        auto& source = *groups.getUnchecked (sourceGroup);
        auto& destination = *groups.getUnchecked (destinationGroup);
        const auto lastRange = positions.getRange (positions.getNumRanges() - 1);

        if (positions.getRange (0).getStart() < 0 || lastRange.getEnd() > source.count)
            return false;

        const auto sourceStart = getGroupStartIndex (sourceGroup);
        const auto destinationStart = getGroupStartIndex (destinationGroup);
        const auto numMoved = positions.size();

        const ScopedPresetLock sl (presets.getLock());
        const auto* current = presets[currentPreset.load()];

        if (sourceGroup > destinationGroup)
        {
            // Taken first to last; each lands at the end of the destination,
            // and the source slots still to move keep their indexes.
            auto insertionPoint = destinationStart + destination.count;

            for (int r = 0; r < positions.getNumRanges(); ++r)
            {
                const auto range = positions.getRange (r);

                for (auto p = range.getStart(); p < range.getEnd(); ++p)
                    presets.move (sourceStart + p, insertionPoint++);
            }
        }
        else
        {
            // Taken last to first, each just before the one moved before it.
            auto target = destinationStart + destination.count - 1;

            for (int r = positions.getNumRanges(); --r >= 0;)
            {
                const auto range = positions.getRange (r);

                for (auto p = range.getEnd(); --p >= range.getStart();)
                    presets.move (sourceStart + p, target--);
            }
        }

        source.count -= numMoved;
        destination.count += numMoved;
        keepPresetCurrent (current);
    }

    return true;
}

bool PresetManager::moveGroup (int from, int to)
{
    if (from == to)
        return false;

    {
        const ScopedGroupLock gl (groups.getLock());

        if (! juce::isPositiveAndBelow (from, groups.size()) || ! juce::isPositiveAndBelow (to, groups.size()))
            return false;

        const auto start = getGroupStartIndex (from);
        const auto count = groups.getUnchecked (from)->count;
        const auto insertionIndex = from > to ? getGroupStartIndex (to)
                                              : getGroupStartIndex (to) + groups.getUnchecked (to)->count - count;

        groups.insert (to, groups.removeAndReturn (from));

        // Moved one by one in place: nothing is allocated while the audio thread may wait for the lock.
        const ScopedPresetLock sl (presets.getLock());
        const auto* current = presets[currentPreset.load()];

        for (int i = 0; i < count; ++i)
        {
            if (insertionIndex < start)
                presets.move (start + i, insertionIndex + i);
            else
                presets.move (start, insertionIndex + count - 1);
        }

        keepPresetCurrent (current);
    }

    return true;
}

bool PresetManager::insertNewGroup (int position)
{
    const ScopedGroupLock gl (groups.getLock());

    if (! juce::isPositiveAndBelow (position, groups.size()) || groups.size() >= maxGroups)
        return false;

    groups.insert (position, new Group { "New Group", 0 });
    return true;
}

bool PresetManager::removeGroupIfEmpty (int position)
{
    const ScopedGroupLock gl (groups.getLock());
    const auto* record = groups[position];

    if (record == nullptr || record->count != 0)
        return false;

    groups.remove (position);
    return true;
}

//==============================================================================
bool PresetManager::isNotPresetableParamsXml (const juce::XmlElement* xml)
{
    return xml != nullptr
        && (XmlHelpers::tagMatches (*xml, "NotPresetableParams") || XmlHelpers::tagMatches (*xml, "NotPresetParams"));
}

void PresetManager::loadNotPresetableParamsFromXml (const juce::XmlElement& xml)
{
    if (! isNotPresetableParamsXml (&xml))
        return;

    XmlHelpers::forEachChildNamed (xml, "param", [this] (const juce::XmlElement& param)
    {
        auto* parameter = parameters.getParameterByName (param.getStringAttribute ("name"));
        float value = 0.0f;

        if (parameter != nullptr && readFiniteValue (param, value))
            parameter->setNormalisedValue (value, true);
    });
}

std::unique_ptr<juce::XmlElement> PresetManager::createNotPresetableParamsXml() const
{
    auto xml = std::make_unique<juce::XmlElement> ("NotPresetableParams");

    for (int id = numPresetParameters; id < getNumParameters(); ++id)
    {
        if (const auto* parameter = parameters.getParameter (id))
        {
            auto* param = xml->createNewChildElement ("param");
            param->setAttribute ("name", parameter->getName());
            param->setAttribute ("value", static_cast<double> (parameter->getNormalisedValue()));
        }
    }

    return xml;
}

bool PresetManager::isPresetXml (const juce::XmlElement* xml) const
{
    return xml != nullptr
        && XmlHelpers::tagMatches (*xml, "Preset")
        && xml->hasAttribute ("application")
        && xml->getStringAttribute ("application").equalsIgnoreCase (applicationName());
}

bool PresetManager::readPresetSlotFromXml (const juce::XmlElement& xml, PresetSlot& slot) const
{
    if (! isPresetXml (&xml))
        return false;

    {
        const ScopedPresetLock sl (presets.getLock());
        slot.setName (xml.getStringAttribute ("name", "unnamed"));
    }

    XmlHelpers::forEachChildNamed (xml, "param", [&] (const juce::XmlElement& param)
    {
        const auto id = parameters.getIdOf (param.getStringAttribute ("name"));
        float value = 0.0f;

        if (juce::isPositiveAndBelow (id, slot.getNumValues()) && readFiniteValue (param, value))
            slot.setValue (id, value);
    });

    return true;
}

bool PresetManager::loadPresetFromXml (const juce::XmlElement& xml, int slotIndex)
{
    auto* slot = getPresetSlot (slotIndex);
    return slot != nullptr && readPresetSlotFromXml (xml, *slot);
}

std::unique_ptr<juce::XmlElement> PresetManager::createPresetSlotXml (const PresetSlot& slot) const
{
    auto xml = std::make_unique<juce::XmlElement> ("Preset");
    xml->setAttribute ("application", applicationName());

    {
        const ScopedPresetLock sl (presets.getLock());
        xml->setAttribute ("name", slot.getName());
    }

    XmlHelpers::ChildList params;

    for (int id = 0; id < slot.getNumValues(); ++id)
    {
        auto* param = params.add ("param");
        param->setAttribute ("name", parameters.getNameOf (id));
        param->setAttribute ("value", roundToSixDecimals (slot.getValue (id)));
    }

    params.appendTo (*xml);
    return xml;
}

std::unique_ptr<juce::XmlElement> PresetManager::createPresetXml (int slotIndex) const
{
    const auto* slot = getPresetSlot (slotIndex);
    return slot != nullptr ? createPresetSlotXml (*slot) : nullptr;
}

bool PresetManager::isPresetGroupXml (const juce::XmlElement* xml)
{
    return xml != nullptr && XmlHelpers::tagMatches (*xml, "PresetGroup");
}

bool PresetManager::isPresetBankXml (const juce::XmlElement* xml)
{
    return xml != nullptr && XmlHelpers::tagMatches (*xml, "PresetBank");
}

bool PresetManager::holdsAcceptedPreset (const juce::XmlElement& bank) const
{
    for (const auto* groupXml : bank.getChildIterator())
        if (isPresetGroupXml (groupXml))
            for (const auto* presetXml : groupXml->getChildIterator())
                if (isPresetXml (presetXml))
                    return true;

    return false;
}

bool PresetManager::loadBankFromXml (const juce::XmlElement& xml)
{
    // A bank with nothing of this plug-in's (another's presets, or none) would
    // only wipe every slot: the bank the user has stays.
    if (! isPresetBankXml (&xml) || ! holdsAcceptedPreset (xml))
        return false;

    resetSlotsAndGroups();

    const ScopedGroupLock gl (groups.getLock());
    groups.clear();
    bankName = xml.getStringAttribute ("name", "Preset Bank").substring (0, PresetSlot::maxNameLength);

    int fillIndex = 0;
    Group* group = nullptr;

    for (const auto* groupXml : xml.getChildIterator())
    {
        if (! isPresetGroupXml (groupXml))
            continue;

        // Past the most groups the collection holds, the presets of further
        // groups join the last one.
        if (groups.size() < maxGroups)
        {
            const auto defaultName = "group " + juce::String (groups.size() + 1);
            const auto name = groupXml->getStringAttribute ("name", defaultName).substring (0, PresetSlot::maxNameLength);
            group = groups.add (new Group { name, 0 });
        }

        for (const auto* presetXml : groupXml->getChildIterator())
        {
            if (fillIndex >= numPresets)
                break;

            if (loadPresetFromXml (*presetXml, fillIndex))
            {
                ++group->count;
                ++fillIndex;
            }
        }
    }

    // The slots nobody filled keep the cleared names and default values, in a
    // group of their own while there is room for one.
    if (fillIndex < numPresets && groups.size() < maxGroups)
        groups.add (new Group { "Not used", numPresets - fillIndex });
    else if (fillIndex < numPresets)
        groups.getLast()->count += numPresets - fillIndex;

    return true;
}

std::unique_ptr<juce::XmlElement> PresetManager::createBankXml() const
{
    juce::Array<Group> records;

    {
        const ScopedGroupLock gl (groups.getLock());

        for (const auto* group : groups)
            records.add (*group);
    }

    auto bank = std::make_unique<juce::XmlElement> ("PresetBank");
    bank->setAttribute ("name", bankName);

    XmlHelpers::ChildList groupList;
    int start = 0;

    for (const auto& record : records)
    {
        auto* groupXml = groupList.add ("PresetGroup");
        groupXml->setAttribute ("name", record.name);

        XmlHelpers::ChildList presetList;

        for (int i = start; i < juce::jmin (start + record.count, numPresets); ++i)
            presetList.add (createPresetXml (i));

        presetList.appendTo (*groupXml);
        start += record.count;
    }

    groupList.appendTo (*bank);
    return bank;
}

//==============================================================================
void PresetManager::takeFolderOf (const juce::File& file)
{
    setLastUsedFolder (file.getParentDirectory());
}

void PresetManager::setLastUsedFolder (const juce::File& folder)
{
    if (folder.isDirectory())
        lastUsedFolder = folder;
}

bool PresetManager::loadPresetFileIntoSlot (const juce::File& file, int slotIndex)
{
    const auto xml = XmlFiles::read (file, maxPresetFileBytes);

    if (xml == nullptr || ! loadPresetFromXml (*xml, slotIndex))
        return false;

    if (slotIndex == currentPreset.load())
        loadCurrentPreset();

    return true;
}

bool PresetManager::savePresetSlotToFile (const juce::File& file, int slotIndex)
{
    const auto xml = createPresetXml (slotIndex);
    return xml != nullptr && XmlFiles::write (*xml, file, maxPresetFileBytes);
}

bool PresetManager::loadPresetFileIntoCurrentSlot (const juce::File& file)
{
    const auto loaded = loadPresetFileIntoSlot (file, currentPreset.load());
    takeFolderOf (file);
    return loaded;
}

bool PresetManager::saveCurrentPresetToFile (const juce::File& file)
{
    const auto saved = savePresetSlotToFile (file, currentPreset.load());
    takeFolderOf (file);
    return saved;
}

bool PresetManager::saveBankToFile (const juce::File& file)
{
    const auto saved = XmlFiles::write (*createBankXml(), file, maxBankFileBytes);
    takeFolderOf (file);
    return saved;
}

bool PresetManager::loadBankFromText (const juce::String& text)
{
    const auto xml = XmlFiles::parse (text);

    if (xml == nullptr || ! loadBankFromXml (*xml))
        return false;

    loadCurrentPreset();
    return true;
}

bool PresetManager::loadBankFromFile (const juce::File& file)
{
    juce::String text;
    const auto loaded = XmlFiles::readText (file, text, maxBankFileBytes) && loadBankFromText (text);
    takeFolderOf (file);
    return loaded;
}

bool PresetManager::loadBankFromResource (const juce::String& resourceName)
{
    return loadBankFromText (loadBundleResourceAsString (resourceName));
}

bool PresetManager::loadDefaultPresetFromResource (const juce::String& resourceName)
{
    const auto xml = XmlFiles::parse (loadBundleResourceAsString (resourceName));
    return xml != nullptr && readPresetSlotFromXml (*xml, defaultPreset);
}
