#include "framework/BasePluginOldStyle.h"

#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"

#include <cmath>
#include <unordered_map>
#include <vector>

namespace
{
const char* const factoryPresetsText = "factoryPresets";
const char* const clearPresetsText = "clearPresets";
const char* const userDefinedPresetsText = "userDefinedPresets";
const char* const noMappingText = "noMapping";
const char* const userDefinedMidiCCMapText = "userDefinedMidiCCMap";
} // namespace

BasePluginOldStyle::BasePluginOldStyle (int numPresetParameters, int numOtherParameters)
    : presets (parameterManager, numPresetParameters, numOtherParameters, [this] { return getPluginName(); })
{
    parameterManager.addParameter (new IntParameter (currentPresetNumberId, "Current Preset Number", 0, 127, 0));
    parameterManager.addParameter (new StringParameter (currentPresetNameId, "Current Preset Name", {}));
}

BasePluginOldStyle::~BasePluginOldStyle() = default;

//==============================================================================
void BasePluginOldStyle::initialise()
{
    for (int slot = 0; slot < getNumHostParameters(); ++slot)
        assignHostParameter (slot, slot, true);

    setLastUsedFolder (juce::File::getSpecialLocation (juce::File::userHomeDirectory));

    BasePlugin::initialise();

    loadDefaultPresetFromResource ("default" + getPresetFileExtension());
    fillPresetsAsTheDefaultModeSays();
    loadCurrentPreset();
    refreshOtherParameters();

    for (int id = 0; id < getNumPresetAndOtherParameters(); ++id)
        parameterManager.sendValueChanged (id);
}

void BasePluginOldStyle::fillPresetsAsTheDefaultModeSays()
{
    if (presetsDefaultMode == clearedPresets)
    {
        clearPresets();
        return;
    }

    const auto filled = presetsDefaultMode == userDefinedPresets && userPresetsFile.existsAsFile()
                            ? loadBankFromFile (userPresetsFile)
                            : loadBankFromResource ("default" + getBankFileExtension());

    // An unreadable bank leaves cleared presets, never the silent zeros of the
    // empty slots: the instrument must not start muted or detuned.
    if (! filled)
        clearPresets();
}

void BasePluginOldStyle::setPresetsDefaultMode (int mode)
{
    if (mode == factoryPresets || mode == clearedPresets || mode == userDefinedPresets)
        presetsDefaultMode = mode;
}

bool BasePluginOldStyle::loadDefaultPresetFromResource (const juce::String& resourceName)
{
    return presets.loadDefaultPresetFromResource (resourceName);
}

bool BasePluginOldStyle::loadBankFromResource (const juce::String& resourceName)
{
    return presets.loadBankFromResource (resourceName);
}

bool BasePluginOldStyle::loadBankFromFile (const juce::File& file)
{
    return presets.loadBankFromFile (file);
}

void BasePluginOldStyle::clearPresets()
{
    presets.clearPresets();
}

void BasePluginOldStyle::refreshOtherParameters()
{
    for (int id = getNumPresetParameters(); id < getNumPresetAndOtherParameters(); ++id)
        if (auto* parameter = parameterManager.getParameter (id))
            parameter->setNormalisedValue (parameter->getNormalisedValue(), true);
}

//==============================================================================
void BasePluginOldStyle::parameterChanged (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    const auto id = parameter->getId();

    // The name is the slot's own: the host never hears of it.
    if (id == currentPresetNameId)
    {
        presets.renameCurrentPreset (parameter->getText());
        return;
    }

    // A program the host chose itself is not announced back to it.
    if (id == currentPresetNumberId && arePresetsHostPrograms() && ! hostIsChoosingProgram.load())
        notifyHostOfProgramChange();

    if (getPresetStoringMode() == PresetManager::automaticStoring && juce::isPositiveAndBelow (id, getNumPresetParameters()))
        presets.storeParameterValue (id, parameter->getNormalisedValue());

    BasePlugin::parameterChanged (parameter);
}

//==============================================================================
int BasePluginOldStyle::getNumPrograms()
{
    return arePresetsHostPrograms() ? getNumPresets() : 1;
}

int BasePluginOldStyle::getCurrentProgram()
{
    return arePresetsHostPrograms() ? getCurrentPresetIndex() : 0;
}

void BasePluginOldStyle::setCurrentProgram (int index)
{
    if (! arePresetsHostPrograms() || index == getCurrentPresetIndex())
        return;

    hostIsChoosingProgram = true;
    selectPreset (index, false);
    hostIsChoosingProgram = false;

    // The preset replaced values the host may have set: it must show the new ones.
    tellVst3HostSlotValues();
}

const juce::String BasePluginOldStyle::getProgramName (int index)
{
    const auto slot = arePresetsHostPrograms() ? index : (index == 0 ? getCurrentPresetIndex() : -1);

    if (! juce::isPositiveAndBelow (slot, getNumPresets()))
        return {};

    // Hosts list programs by name, and the LV2 metadata may not hold an empty one.
    const auto name = getPresetName (slot);
    return name.isNotEmpty() ? name : "Preset " + juce::String (slot);
}

//==============================================================================
bool BasePluginOldStyle::tellHostIfTheCurrentIndexMoves (const std::function<bool()>& move)
{
    const auto before = getCurrentPresetIndex();
    const auto moved = move();

    // The number changes without notification (the browser keeps its selection),
    // so the host, whose current program the slot is, is told here.
    if (moved && arePresetsHostPrograms() && getCurrentPresetIndex() != before)
        notifyHostOfProgramChange();

    return moved;
}

bool BasePluginOldStyle::movePreset (int from, int to, int fromGroup, int toGroup)
{
    return tellHostIfTheCurrentIndexMoves ([&] { return presets.movePreset (from, to, fromGroup, toGroup); });
}

bool BasePluginOldStyle::movePresetsToGroup (int destinationGroup, int sourceGroup, const juce::SparseSet<int>& positions)
{
    return tellHostIfTheCurrentIndexMoves ([&] { return presets.movePresetsToGroup (destinationGroup, sourceGroup, positions); });
}

bool BasePluginOldStyle::moveGroup (int from, int to)
{
    return tellHostIfTheCurrentIndexMoves ([&] { return presets.moveGroup (from, to); });
}

//==============================================================================
void BasePluginOldStyle::loadUserSettingsFromXml (const juce::XmlElement& element)
{
    if (! isUserSettingsXml (element))
        return;

    for (auto* child : element.getChildIterator())
    {
        if (XmlHelpers::tagMatches (*child, "PluginDirectories"))
        {
            XmlHelpers::forEachChildNamed (*child, "RecentlyUsed", [this] (const juce::XmlElement& recent)
            {
                setLastUsedFolder (XmlFiles::fileFromPath (recent.getStringAttribute ("dir")));
            });
        }
        else if (XmlHelpers::tagMatches (*child, "ResourcesSettings"))
        {
            loadResourcesSettingsFromXml (*child);
        }
        else if (XmlHelpers::tagMatches (*child, "PresetSettings"))
        {
            readPresetSettings (*child);
        }
    }
}

void BasePluginOldStyle::readPresetSettings (const juce::XmlElement& element)
{
    if (isPresetStoringModeSupported())
    {
        const auto storing = element.getStringAttribute ("storing");

        if (storing.equalsIgnoreCase ("onDemand"))
            setPresetStoringMode (PresetManager::onDemandStoring);
        else if (storing.equalsIgnoreCase ("automatic"))
            setPresetStoringMode (PresetManager::automaticStoring);
    }

    if (isPresetChangingModeSupported())
    {
        const auto changing = element.getStringAttribute ("changing");

        if (changing.equalsIgnoreCase ("normal"))
            setPresetChangingMode (PresetManager::normalChanging);
        else if (changing.equalsIgnoreCase ("silent"))
            setPresetChangingMode (PresetManager::silentChanging);
    }
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createUserSettingsXml()
{
    auto root = createRootElement ("UserSettings");

    root->createNewChildElement ("PluginDirectories")
        ->createNewChildElement ("RecentlyUsed")
        ->setAttribute ("dir", getLastUsedFolder().getFullPathName());

    if (auto resources = createResourcesSettingsXml())
        root->addChildElement (resources.release());

    auto* presetSettings = root->createNewChildElement ("PresetSettings");

    if (isPresetStoringModeSupported())
        presetSettings->setAttribute ("storing", getPresetStoringMode() == PresetManager::onDemandStoring ? "onDemand" : "automatic");

    if (isPresetChangingModeSupported())
        presetSettings->setAttribute ("changing", getPresetChangingMode() != PresetManager::normalChanging ? "silent" : "normal");

    // The base layer's own settings follow, so they survive a restart too.
    if (auto own = createOwnUserSettingsXml())
    {
        XmlHelpers::ChildList moved;

        while (auto* child = own->getFirstChildElement())
        {
            own->removeChildElement (child, false);
            moved.add (std::unique_ptr<juce::XmlElement> (child));
        }

        moved.appendTo (*root);
    }

    return root;
}

void BasePluginOldStyle::loadResourcesSettingsFromXml (const juce::XmlElement& element)
{
    if (! XmlHelpers::tagMatches (element, "ResourcesSettings"))
        return;

    for (auto* child : element.getChildIterator())
    {
        const auto choice = child->getStringAttribute ("default");
        const auto file = XmlFiles::fileFromPath (child->getStringAttribute ("file"));

        if (XmlHelpers::tagMatches (*child, "Presets"))
        {
            if (choice.equalsIgnoreCase (factoryPresetsText))
            {
                presetsDefaultMode = factoryPresets;
            }
            else if (choice.equalsIgnoreCase (clearPresetsText))
            {
                presetsDefaultMode = clearedPresets;
            }
            else if (choice.equalsIgnoreCase (userDefinedPresetsText))
            {
                presetsDefaultMode = userDefinedPresets;
                userPresetsFile = file;
            }
        }
        else if (XmlHelpers::tagMatches (*child, "MidiCCMap"))
        {
            if (choice.equalsIgnoreCase (noMappingText))
            {
                midiControl.setUseUserDefinedMap (false);
            }
            else if (choice.equalsIgnoreCase (userDefinedMidiCCMapText))
            {
                midiControl.setUseUserDefinedMap (true);
                midiControl.setUserDefinedMapFile (file);
            }
        }
    }
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createResourcesSettingsXml()
{
    auto element = std::make_unique<juce::XmlElement> ("ResourcesSettings");

    auto* presetsChoice = element->createNewChildElement ("Presets");

    if (presetsDefaultMode == clearedPresets)
    {
        presetsChoice->setAttribute ("default", clearPresetsText);
    }
    else if (presetsDefaultMode == userDefinedPresets)
    {
        presetsChoice->setAttribute ("default", userDefinedPresetsText);
        presetsChoice->setAttribute ("file", userPresetsFile.getFullPathName());
    }
    else
    {
        presetsChoice->setAttribute ("default", factoryPresetsText);
    }

    auto* ccMapChoice = element->createNewChildElement ("MidiCCMap");

    if (midiControl.isUsingUserDefinedMap())
    {
        ccMapChoice->setAttribute ("default", userDefinedMidiCCMapText);
        ccMapChoice->setAttribute ("file", midiControl.getUserDefinedMapFile().getFullPathName());
    }
    else
    {
        ccMapChoice->setAttribute ("default", noMappingText);
    }

    return element;
}

//==============================================================================
std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createStateXml()
{
    auto root = createRootElement ("PluginState");

    auto* parametersState = root->createNewChildElement ("ParametersState");
    XmlHelpers::ChildList params;

    for (int id = 0; id < getNumPresetAndOtherParameters(); ++id)
    {
        if (const auto* parameter = parameterManager.getParameter (id))
        {
            auto* param = params.add ("param");
            param->setAttribute ("name", parameter->getName());
            param->setAttribute ("value", static_cast<double> (parameter->getNormalisedValue()));
        }
    }

    params.appendTo (*parametersState);

    auto* presetsState = root->createNewChildElement ("PresetsState");
    presetsState->setAttribute ("currentPreset", getCurrentPresetIndex());
    presetsState->addChildElement (createBankXml().release());

    root->addChildElement (midiControl.createXml().release());
    return root;
}

void BasePluginOldStyle::setStateFromXml (const juce::XmlElement& element)
{
    if (! isPluginStateXml (element))
        return;

    enum { parametersState, presetsState, midiControlMap, numKinds };

    const auto children = XmlHelpers::lastOfEachKind (element, numKinds, [this] (const juce::XmlElement& child) -> int
    {
        if (XmlHelpers::tagMatches (child, "ParametersState"))
            return parametersState;

        if (XmlHelpers::tagMatches (child, "PresetsState"))
            return presetsState;

        return midiControl.isMatchingMapXml (&child) ? midiControlMap : -1;
    });

    for (auto* child : children)
    {
        if (XmlHelpers::tagMatches (*child, "ParametersState"))
            readParametersState (*child);
        else if (XmlHelpers::tagMatches (*child, "PresetsState"))
            readPresetsState (*child);
        else
            midiControl.loadFromXml (child);
    }
}

void BasePluginOldStyle::readParametersState (const juce::XmlElement& element)
{
    struct Setting
    {
        Parameter* parameter;
        float value;
    };

    // A parameter named again takes the later value; each is set once, where it was last named.
    std::vector<Setting> settings;
    std::unordered_map<Parameter*, size_t> lastSetting;

    XmlHelpers::forEachChildNamed (element, "param", [&] (const juce::XmlElement& param)
    {
        auto* parameter = parameterManager.getParameterByName (param.getStringAttribute ("name"));
        const auto value = static_cast<float> (param.getDoubleAttribute ("value", 0.0));

        if (parameter != nullptr && std::isfinite (value))
        {
            lastSetting[parameter] = settings.size();
            settings.push_back ({ parameter, value });
        }
    });

    for (size_t i = 0; i < settings.size(); ++i)
        if (lastSetting[settings[i].parameter] == i)
            settings[i].parameter->setNormalisedValue (settings[i].value, true);
}

void BasePluginOldStyle::readPresetsState (const juce::XmlElement& element)
{
    // Each bank read replaces every slot, so only the last one that reads
    // counts: banks are tried from the last, and a refused one changes nothing.
    std::vector<const juce::XmlElement*> banks;

    for (auto* child : element.getChildIterator())
        if (isPresetBankXml (child))
            banks.push_back (child);

    for (auto bank = banks.rbegin(); bank != banks.rend(); ++bank)
        if (loadBankFromXml (**bank))
            break;

    // The values come from "ParametersState": the slot is made current, not applied.
    int current = 0;

    if (XmlFiles::readIntAttribute (element, "currentPreset", 0, current))
        setCurrentPresetIndex (current, true);
}

void BasePluginOldStyle::setCurrentProgramStateFromXml (const juce::XmlElement& element)
{
    if (loadPresetFromXml (element, getCurrentPresetIndex()))
        loadCurrentPreset();
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createCurrentProgramStateXml()
{
    return createPresetXml (getCurrentPresetIndex());
}

//==============================================================================
void BasePluginOldStyle::moveSettingsToUserFolder()
{
    const auto userFolder = getUserSettingsFolder();

    if (! userFolder.isDirectory())
        userFolder.createDirectory();

    const auto userFile = getUserSettingsFile();
    const auto oldFile = getCommonSettingsFolder().getChildFile (getPluginName() + ".ini");

    if (userFile.exists() || ! XmlFiles::isReadableFile (oldFile, maxSettingsFileBytes))
        return;

    if (! userFile.getParentDirectory().createDirectory().wasOk())
        return;

    // The copy can report success on a full disk (the last buffered bytes are
    // lost unseen), so only a copy that reads back whole lets the older file go.
    juce::MemoryBlock original;

    if (! oldFile.loadFileAsData (original))
        return;

    juce::MemoryBlock copied;

    if (userFile.replaceWithData (original.getData(), original.getSize())
        && userFile.loadFileAsData (copied) && copied == original)
    {
        oldFile.deleteFile();
        return;
    }

    // A partial copy would pass for the user's settings at the next start.
    userFile.deleteFile();
}

//==============================================================================
bool BasePluginOldStyle::isNotPresetableParamsXml (const juce::XmlElement* element) const
{
    return PresetManager::isNotPresetableParamsXml (element);
}

void BasePluginOldStyle::loadNotPresetableParamsFromXml (const juce::XmlElement& element)
{
    presets.loadNotPresetableParamsFromXml (element);
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createNotPresetableParamsXml()
{
    return presets.createNotPresetableParamsXml();
}

bool BasePluginOldStyle::isPresetXml (const juce::XmlElement* element) const
{
    return presets.isPresetXml (element);
}

bool BasePluginOldStyle::readPresetSlotFromXml (const juce::XmlElement& element, PresetSlot& slot)
{
    return presets.readPresetSlotFromXml (element, slot);
}

bool BasePluginOldStyle::loadPresetFromXml (const juce::XmlElement& element, int slotIndex)
{
    return presets.loadPresetFromXml (element, slotIndex);
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createPresetSlotXml (const PresetSlot& slot)
{
    return presets.createPresetSlotXml (slot);
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createPresetXml (int slotIndex)
{
    return presets.createPresetXml (slotIndex);
}

bool BasePluginOldStyle::isPresetGroupXml (const juce::XmlElement* element) const
{
    return PresetManager::isPresetGroupXml (element);
}

bool BasePluginOldStyle::isPresetBankXml (const juce::XmlElement* element) const
{
    return PresetManager::isPresetBankXml (element);
}

bool BasePluginOldStyle::loadBankFromXml (const juce::XmlElement& element)
{
    return presets.loadBankFromXml (element);
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createBankXml()
{
    return presets.createBankXml();
}

//==============================================================================
juce::String BasePluginOldStyle::getPresetFileExtension() const
{
    return ("." + getPluginShortName() + "prs").toLowerCase();
}

juce::String BasePluginOldStyle::getBankFileExtension() const
{
    return ("." + getPluginShortName() + "prsb").toLowerCase();
}

juce::String BasePluginOldStyle::getMidiCCMapFileExtension() const
{
    return ("." + getPluginShortName() + "ccmap").toLowerCase();
}

juce::String BasePluginOldStyle::makeLoadWildcard (const juce::String& extension, int numExtra,
                                                   const std::function<juce::String (int)>& extraExtension) const
{
    auto wildcard = makeWildcard (extension);

    for (int i = 0; i < numExtra; ++i)
        wildcard << "; " << makeWildcard (extraExtension (i));

    return wildcard;
}

juce::String BasePluginOldStyle::getPresetSaveWildcard() const
{
    return makeWildcard (getPresetFileExtension());
}

juce::String BasePluginOldStyle::getPresetLoadWildcard() const
{
    return makeLoadWildcard (getPresetFileExtension(), getNumExtraPresetFileExtensions(),
                             [this] (int i) { return getExtraPresetFileExtension (i); });
}

juce::String BasePluginOldStyle::getBankSaveWildcard() const
{
    return makeWildcard (getBankFileExtension());
}

juce::String BasePluginOldStyle::getBankLoadWildcard() const
{
    return makeLoadWildcard (getBankFileExtension(), getNumExtraBankFileExtensions(),
                             [this] (int i) { return getExtraBankFileExtension (i); });
}

juce::String BasePluginOldStyle::getMidiCCMapLoadWildcard() const
{
    return makeLoadWildcard (getMidiCCMapFileExtension(), getNumExtraMidiCCMapFileExtensions(),
                             [this] (int i) { return getExtraMidiCCMapFileExtension (i); });
}

bool BasePluginOldStyle::loadPresetFileIntoSlot (const juce::File& file, int slotIndex)
{
    return presets.loadPresetFileIntoSlot (file, slotIndex);
}

bool BasePluginOldStyle::savePresetSlotToFile (const juce::File& file, int slotIndex)
{
    return presets.savePresetSlotToFile (file, slotIndex);
}

bool BasePluginOldStyle::loadPresetFileIntoCurrentSlot (const juce::File& file)
{
    return presets.loadPresetFileIntoCurrentSlot (file);
}

bool BasePluginOldStyle::saveCurrentPresetToFile (const juce::File& file)
{
    return presets.saveCurrentPresetToFile (file);
}

bool BasePluginOldStyle::saveBankToFile (const juce::File& file)
{
    return presets.saveBankToFile (file);
}
