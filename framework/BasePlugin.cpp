#include "framework/BasePlugin.h"

#include "framework/AudioProcessorEditorWrapper.h"
#include "framework/BundleResources.h"
#include "framework/HostSlotParameter.h"
#include "framework/Preset.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"

#include <cmath>
#include <cstdio>

namespace
{
// The host's value of an unassigned slot in the shortest form with 8
// significant digits ("%.8g": 0.3 gives "0.30000001").
juce::String toEightDigitText (float value)
{
    char text[32] = {};
    std::snprintf (text, sizeof (text), "%.8g", static_cast<double> (value));
    return juce::String (text);
}

bool isYes (const juce::XmlElement& element)
{
    return element.getStringAttribute ("default").equalsIgnoreCase ("yes");
}

juce::String yesOrNo (bool value)
{
    return value ? "yes" : "no";
}

// JUCE's LV2 build step runs this program, which creates the plug-in to write
// its metadata: that must not depend on, or change, the settings of whoever builds.
bool isRunByTheLv2BuildHelper()
{
    static const bool isHelper = juce::File::getSpecialLocation (juce::File::hostApplicationPath).getFileName() == "juce_lv2_helper";
    return isHelper;
}

// A fresh folder for the build helper's settings, removed when the program ends;
// its own name, as parallel builds run the helper at once.
class BuildHelperSettingsRoot
{
public:
    BuildHelperSettingsRoot()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("tarvelin-lv2-helper-" + juce::Uuid().toString()))
    {
        folder.createDirectory();
    }

    ~BuildHelperSettingsRoot() { folder.deleteRecursively(); }

    const juce::File folder;
};

// An XDG base folder: the variable when it holds an absolute path, else the
// fallback inside the home folder.
juce::File getXdgFolder (const char* variable, const char* fallbackInHome)
{
    if (isRunByTheLv2BuildHelper())
    {
        static const BuildHelperSettingsRoot root;
        return root.folder.getChildFile (variable);
    }

    const auto path = juce::SystemStats::getEnvironmentVariable (variable, {});

    if (juce::File::isAbsolutePath (path))
        return juce::File (path);

    return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (fallbackInHome);
}

const juce::String qualityDefaultsName { "DefaultProcessingQuality" };
} // namespace

//==============================================================================
BasePlugin::BasePlugin()
    : juce::AudioProcessor (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    hostSlots.insertMultiple (0, nullptr, numHostSlots);

    for (auto& value : hostValues)
        value.store (0.0f);

    for (auto& flag : hostSlotBeingSet)
        flag.store (0);

    for (auto& flag : hostHasSetSlot)
        flag.store (false);

    parameterManager.loadFromResource ("parameters.xml");

    // The built-in events come after the definitions, so a name or uid that
    // "events.xml" defines is kept as defined there.
    eventsMap.loadFromResource ("events.xml");
    eventsMap.addBuiltInEvents();

    pluginFile = juce::File::getSpecialLocation (juce::File::currentApplicationFile);
}

BasePlugin::~BasePlugin()
{
    // The settings cannot be written from here: the layers that build them are
    // gone. The most derived layer's destructor saves them, then deletes the editor.
    jassert (settingsSaved || ! userSettingsRead);

    if (! editorDeleted)
        deleteEditor();

    cancelPendingUpdate();
}

std::unique_ptr<BasePlugin> BasePlugin::createAndSetUp (std::unique_ptr<BasePlugin> plugin)
{
    if (plugin == nullptr)
        return nullptr;

    plugin->addHostSlotParameters();

    if (plugin->useInitialise)
    {
        plugin->initialise();
        plugin->createPersistentEditor();
        plugin->parameterManager.sendAllValuesChanged();
    }
    else
    {
        plugin->loadInitialSettings();
        plugin->createPersistentEditor();
        plugin->parameterManager.sendAllValuesChanged();
        plugin->postInitialise();
    }

    plugin->captureFreshSlotState();

    if (plugin->isStateDumpEnabled())
        plugin->loadStateDump();

    return plugin;
}

void BasePlugin::addHostSlotParameters()
{
    // The wrappers read the parameter list once, when the host creates the plug-in.
    if (! getParameters().isEmpty())
        return;

    for (int slot = 0; slot < getNumVisibleSlots(); ++slot)
        addParameter (new HostSlotParameter (*this, slot));
}

void BasePlugin::captureFreshSlotState()
{
    for (int i = 0; i < parameterManager.getNumParameters(); ++i)
        if (const auto* parameter = parameterManager.getParameterAt (i); parameter != nullptr && parameter->getAutoFlag())
            freshValues[parameter->getId()] = parameter->getNormalisedValue();

    for (int slot = 0; slot < numHostSlots; ++slot)
        if (const auto* parameter = getSlotParameter (slot))
            freshSlotSteps[static_cast<size_t> (slot)] = getNumChoices (*parameter);
}

int BasePlugin::getNumChoices (const Parameter& parameter)
{
    if (const auto* choice = dynamic_cast<const EnumParameter*> (&parameter))
        return choice->getNames().size() >= 2 ? choice->getNames().size() : 0;

    return dynamic_cast<const BoolParameter*> (&parameter) != nullptr ? 2 : 0;
}

void BasePlugin::initialise()
{
    loadInitialSettings();
}

void BasePlugin::loadInitialSettings()
{
    parameterManager.addListenerToAll (this);
    loadUserSettings();
    midiControl.setMapName (getPluginName());
    midiControl.loadUserDefinedMap();
    loadStartupHostParametersMap();
}

std::unique_ptr<PersistentEditor> BasePlugin::createPluginEditor()
{
    return editorFactory != nullptr ? editorFactory() : nullptr;
}

void BasePlugin::createPersistentEditor()
{
    if (editor != nullptr)
        return;

    // On Linux a host may create the plug-in on its own thread while JUCE runs
    // the plug-in's message thread; components are only touched under its lock.
    const juce::MessageManagerLock messageManagerLock;

    editor = createPluginEditor();

    if (editor == nullptr)
        return;

    editor->initialiseEditor();
    editor->handleEditorCreated();

    if (isDebugMode())
        editor->createDebugPanel();

    editor->sendLookAndFeelChange();
    editor->startTimer (25);
}

void BasePlugin::deleteEditor()
{
    if (editor != nullptr)
    {
        const juce::MessageManagerLock messageManagerLock;
        editor->stopTimer();
        editor.reset();
    }

    editorDeleted = true;
}

void BasePlugin::saveSettingsOnClose()
{
    // A plug-in that never read the settings must not overwrite them with its defaults.
    if (userSettingsRead)
        saveUserSettings();

    settingsSaved = true;
}

juce::String BasePlugin::getArchitectureName() const
{
    return sizeof (void*) == 8 ? "64bit" : "32bit";
}

//==============================================================================
void BasePlugin::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void BasePlugin::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

template <typename Callback>
void BasePlugin::callListeners (Callback&& callback)
{
    // Last added first; a listener may remove itself or others during the walk.
    for (int i = listeners.size() - 1; i >= 0; --i)
    {
        i = juce::jmin (i, listeners.size() - 1);

        if (i < 0)
            break;

        callback (*listeners.getUnchecked (i));
    }
}

void BasePlugin::handleAsyncUpdate()
{
    std::unique_ptr<juce::XmlElement> editorState;

    {
        const juce::ScopedLock sl (pendingEditorStateLock);
        editorState = std::move (pendingEditorState);
    }

    if (editorState != nullptr && editor != nullptr)
        editor->restoreStateXml (*editorState);

    if (stateRestoredFlag.exchange (0) != 0)
        callListeners ([this] (Listener& l) { l.pluginStateRestored (this); });

    if (stateSavedFlag.exchange (0) != 0)
        callListeners ([this] (Listener& l) { l.pluginStateSaved (this); });

    if (preparedFlag.exchange (0) != 0)
        callListeners ([this] (Listener& l) { l.pluginPreparedToPlay (this); });

    if (const auto mode = processingModeFlag.exchange (0); mode != 0)
        callListeners ([this, mode] (Listener& l) { l.processingModeChanged (this, mode); });

    if (programChangedFlag.exchange (0) != 0)
        updateHostDisplay (ChangeDetails().withProgramChanged (true));
}

void BasePlugin::notifyHostOfProgramChange()
{
    // The wrappers answer a program change on the message thread only.
    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        updateHostDisplay (ChangeDetails().withProgramChanged (true));
        return;
    }

    programChangedFlag = 1;
    triggerAsyncUpdate();
}

//==============================================================================
void BasePlugin::checkNonRealtime()
{
    const auto isOffline = isNonRealtime();

    if (isOffline == nonRealtime)
        return;

    nonRealtime = isOffline;
    nonRealtimeStateChanged (isOffline);
    processingModeFlag = isOffline ? offlineProcessing : realtimeProcessing;
    triggerAsyncUpdate();
}

void BasePlugin::prepareToPlay (double, int)
{
    checkNonRealtime();
    preparedFlag = 1;
    triggerAsyncUpdate();
}

void BasePlugin::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    checkNonRealtime();
    hostBlockStarted();

    // This layer makes no sound; the host must not hear whatever the buffer held.
    buffer.clear();
}

juce::AudioProcessorEditor* BasePlugin::createEditor()
{
    if (editor == nullptr)
        return nullptr;

    return new AudioProcessorEditorWrapper (*this, *editor);
}

//==============================================================================
bool BasePlugin::copyXmlToBlockWithin (const juce::XmlElement& xml, juce::MemoryBlock& block, int maxTextBytes)
{
    copyXmlToBinary (xml, block);

    // The block: a magic number, the text's length, the text and a closing zero.
    constexpr size_t blockOverhead = 9;

    if (block.getSize() <= blockOverhead + static_cast<size_t> (maxTextBytes))
        return true;

    block.reset();
    return false;
}

void BasePlugin::getStateInformation (juce::MemoryBlock& destination)
{
    if (const auto xml = createStateXml())
    {
        juce::MemoryBlock block;
        const auto fits = copyXmlToBlockWithin (*xml, block, maxStateBytes);
        const juce::ScopedLock sl (lastStateBlockLock);

        // A state its reader would refuse is not handed over: the host gets
        // the last block written or restored, which restores, rather than
        // one that would restore nothing.
        if (fits)
            lastStateBlock.swapWith (block);

        // Not the copy assignment: for an empty block it hands memcpy a null source.
        destination.replaceAll (lastStateBlock.getData(), lastStateBlock.getSize());
    }

    stateSavedFlag = 1;
    triggerAsyncUpdate();
}

void BasePlugin::setStateInformation (const void* data, int sizeInBytes)
{
    if (data != nullptr && sizeInBytes > 0)
    {
        if (const auto xml = XmlFiles::parseBinary (data, sizeInBytes, maxStateBytes))
        {
            if (isPluginStateXml (*xml))
            {
                const juce::ScopedLock sl (lastStateBlockLock);
                lastStateBlock.replaceAll (data, static_cast<size_t> (sizeInBytes));
            }

            setStateFromXml (*xml);
        }
    }

    stateRestoredFlag = 1;
    triggerAsyncUpdate();
}

void BasePlugin::getCurrentProgramStateInformation (juce::MemoryBlock& destination)
{
    if (const auto xml = createCurrentProgramStateXml())
        copyXmlToBlockWithin (*xml, destination, maxStateBytes);
}

void BasePlugin::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    if (data != nullptr && sizeInBytes > 0)
        if (const auto xml = XmlFiles::parseBinary (data, sizeInBytes, maxStateBytes))
            setCurrentProgramStateFromXml (*xml);
}

bool BasePlugin::isPluginStateXml (const juce::XmlElement& element) const
{
    return isOwnXmlElement (&element, "PluginState");
}

void BasePlugin::setStateFromXml (const juce::XmlElement& element)
{
    if (! isPluginStateXml (element) || editor == nullptr)
        return;

    // A state without the editor's part leaves the editor as it is, a part
    // still waiting from an earlier restore included.
    const auto* editorState = findEditorState (element);

    if (editorState == nullptr)
        return;

    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        // The newer restore wins over one from another thread still waiting.
        {
            const juce::ScopedLock sl (pendingEditorStateLock);
            pendingEditorState.reset();
        }

        editor->restoreStateXml (*editorState);
        return;
    }

    // A host restoring on a thread of its own: the editor reads its part on the
    // message thread. Only that part is copied, not the whole state.
    auto copy = std::make_unique<juce::XmlElement> (*editorState);

    {
        const juce::ScopedLock sl (pendingEditorStateLock);
        pendingEditorState = std::move (copy);
    }

    triggerAsyncUpdate();
}

const juce::XmlElement* BasePlugin::findEditorState (const juce::XmlElement& element) const
{
    // The tag test only: it touches nothing of the editor's components.
    for (auto* child : element.getChildIterator())
        if (editor->isStateTag (*child))
            return child;

    return nullptr;
}

std::unique_ptr<juce::XmlElement> BasePlugin::createStateXml()
{
    auto root = createRootElement ("PluginState");

    if (editor != nullptr)
        if (auto state = editor->createStateXml())
            root->addChildElement (state.release());

    return root;
}

//==============================================================================
int BasePlugin::getNumVisibleSlots() const
{
    return juce::jlimit (0, numHostSlots, getNumHostParameters());
}

Parameter* BasePlugin::getSlotParameter (int slot) const
{
    return juce::isPositiveAndBelow (slot, numHostSlots) ? hostSlots[slot] : nullptr;
}

bool BasePlugin::isHostParameterAutomatable (int slot) const
{
    return juce::isPositiveAndBelow (slot, getNumVisibleSlots());
}

juce::String BasePlugin::getHostParameterName (int slot) const
{
    if (! juce::isPositiveAndBelow (slot, getNumVisibleSlots()))
        return {};

    if (const auto* parameter = getSlotParameter (slot))
        return getParameterDisplayName (parameter->getId());

    return "Parameter " + juce::String (slot + 1);
}

juce::String BasePlugin::getHostParameterText (int slot) const
{
    if (! juce::isPositiveAndBelow (slot, getNumVisibleSlots()))
        return {};

    if (const auto* parameter = getSlotParameter (slot))
        return getParameterDisplayText (parameter->getId());

    return toEightDigitText (hostValues[static_cast<size_t> (slot)].load());
}

juce::String BasePlugin::getHostParameterText (int slot, float value) const
{
    const auto* parameter = juce::isPositiveAndBelow (slot, getNumVisibleSlots()) ? getSlotParameter (slot) : nullptr;

    if (parameter == nullptr || getNumChoices (*parameter) == 0 || ! std::isfinite (value))
        return getHostParameterText (slot);

    // The parameter's own kind turns the value into its name, the way it would store it.
    const auto copy = parameter->clone (parameter->getId(), parameter->getName());
    copy->setNormalisedValue (value, false);
    return copy->getText();
}

float BasePlugin::getHostParameterDefaultValue (int slot) const
{
    const auto* parameter = juce::isPositiveAndBelow (slot, getNumVisibleSlots()) ? getSlotParameter (slot) : nullptr;

    if (parameter == nullptr)
        return 0.0f;

    const auto fresh = freshValues.find (parameter->getId());
    return fresh != freshValues.end() ? fresh->second : 0.0f;
}

int BasePlugin::getHostParameterNumSteps (int slot) const
{
    return juce::isPositiveAndBelow (slot, getNumVisibleSlots()) ? freshSlotSteps[static_cast<size_t> (slot)] : 0;
}

void BasePlugin::hostBlockStarted()
{
    processingThread.store (std::this_thread::get_id());

    if (hostValuesSent.exchange (true))
        return;

    for (int slot = 0; slot < getNumVisibleSlots() && slot < getParameters().size(); ++slot)
        if (! hostHasSetSlot[static_cast<size_t> (slot)].load())
            sendParamChangeMessageToListeners (slot, getHostParameter (slot));
}

void BasePlugin::setIComponentHandler (Steinberg::FUnknown* handler)
{
    vst3Host.setHandler (handler);
}

void BasePlugin::tellVst3HostSlotValues()
{
    if (! vst3Host.hasHandler() || juce::MessageManager::existsAndIsCurrentThread()
        || processingThread.load() == std::this_thread::get_id())
        return;

    for (int slot = 0; slot < getNumVisibleSlots(); ++slot)
        if (getSlotParameter (slot) != nullptr)
            vst3Host.tellValue (HostSlotParameter::getIdForSlot (slot), getHostParameter (slot));
}

float BasePlugin::getHostParameter (int slot) const
{
    if (! juce::isPositiveAndBelow (slot, getNumVisibleSlots()))
        return 0.0f;

    if (const auto* parameter = getSlotParameter (slot))
        return parameter->getNormalisedValue();

    return hostValues[static_cast<size_t> (slot)].load();
}

void BasePlugin::setHostParameter (int slot, float value)
{
    // A value that is not a number never reaches the cache or a parameter.
    if (! juce::isPositiveAndBelow (slot, getNumVisibleSlots()) || ! std::isfinite (value))
        return;

    const auto index = static_cast<size_t> (slot);
    hostValues[index].store (value);
    hostHasSetSlot[index].store (true);

    if (getSlotParameter (slot) == nullptr)
        return;

    // While the flag is up, this plug-in's own parameterChanged does not echo the value back.
    hostSlotBeingSet[index].store (1);

    // Read again: the slot may have been emptied meanwhile.
    if (auto* parameter = getSlotParameter (slot))
        parameter->setNormalisedValue (value, true);

    hostSlotBeingSet[index].store (0);
}

juce::String BasePlugin::getParameterDisplayText (int id) const
{
    return parameterManager.getText (id);
}

juce::String BasePlugin::getParameterDisplayName (int id) const
{
    return parameterManager.getNameOf (id);
}

int BasePlugin::getHostSlotOfParameter (int id) const
{
    // The test and the look-up under one hold of the lock, so they agree.
    const juce::ScopedLock sl (hostSlotOfParameter.getLock());
    return hostSlotOfParameter.contains (id) ? hostSlotOfParameter[id] : -1;
}

void BasePlugin::parameterChanged (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    const auto slot = getHostSlotOfParameter (parameter->getId());

    if (slot < 0)
        return;

    const auto value = parameter->getNormalisedValue();

    if (hostSlotBeingSet[static_cast<size_t> (slot)].load() == 0 && slot < getParameters().size())
        sendParamChangeMessageToListeners (slot, value);
}

void BasePlugin::parameterChangeGestureBegin (Parameter* parameter)
{
    if (parameter != nullptr)
        if (auto* hostParameter = getParameters()[getHostSlotOfParameter (parameter->getId())])
            hostParameter->beginChangeGesture();
}

void BasePlugin::parameterChangeGestureEnd (Parameter* parameter)
{
    if (parameter != nullptr)
        if (auto* hostParameter = getParameters()[getHostSlotOfParameter (parameter->getId())])
            hostParameter->endChangeGesture();
}

//==============================================================================
void BasePlugin::setHostSlotParameter (int slot, Parameter* parameter, bool notify)
{
    if (parameter == nullptr)
    {
        unassignHostSlot (slot);
        return;
    }

    const auto id = parameter->getId();
    const auto previousSlot = getHostSlotOfParameter (id);

    if (previousSlot != -1 && previousSlot != slot)
        unassignHostSlot (previousSlot);

    if (! parameter->getAutoFlag() || ! juce::isPositiveAndBelow (slot, getNumVisibleSlots()))
        return;

    auto* previous = getSlotParameter (slot);

    if (previous == parameter)
        return;

    if (previous != nullptr)
        hostSlotOfParameter.remove (previous->getId());

    hostSlots.set (slot, parameter);

    {
        // juce::HashMap::set stores the value after letting go of the map's own
        // lock; holding it keeps readers on other threads from racing the store.
        const juce::ScopedLock sl (hostSlotOfParameter.getLock());
        hostSlotOfParameter.set (id, slot);
    }

    if (notify)
    {
        updateHostDisplay();
        hostMapChanged.sendChangeMessage();
    }
}

void BasePlugin::assignHostParameter (int slot, int id, bool notify)
{
    setHostSlotParameter (slot, parameterManager.getParameter (id), notify);
}

void BasePlugin::unassignHostSlot (int slot)
{
    if (! juce::isPositiveAndBelow (slot, getNumVisibleSlots()))
        return;

    const auto* parameter = getSlotParameter (slot);

    if (parameter == nullptr)
        return;

    hostSlots.set (slot, nullptr);
    hostSlotOfParameter.remove (parameter->getId());
    hostMapChanged.sendChangeMessage();
}

int BasePlugin::getHostParameterAssignment (int slot) const
{
    const auto* parameter = getSlotParameter (slot);
    return parameter != nullptr ? parameter->getId() : -1;
}

void BasePlugin::clearHostParametersMap()
{
    {
        const juce::ScopedLock sl (hostSlots.getLock());

        for (int slot = 0; slot < numHostSlots; ++slot)
            hostSlots.set (slot, nullptr);
    }

    hostSlotOfParameter.clear();
    hostMapChanged.sendChangeMessage();
}

//==============================================================================
juce::File BasePlugin::getUserSettingsFolder() const
{
    return getXdgFolder ("XDG_CONFIG_HOME", ".config").getChildFile ("Ulvra Group").getChildFile (getPluginName());
}

juce::File BasePlugin::getCommonSettingsFolder() const
{
    return getXdgFolder ("XDG_DATA_HOME", ".local/share").getChildFile ("Ulvra Group").getChildFile (getPluginName());
}

juce::File BasePlugin::getUserSettingsFile() const
{
    return getUserSettingsFolder().getChildFile (getPluginName() + ".ini");
}

juce::File BasePlugin::getStateDumpFile() const
{
    return getUserSettingsFolder().getChildFile (getPluginName() + ".dump");
}

std::unique_ptr<juce::XmlElement> BasePlugin::createRootElement (const juce::String& tag) const
{
    auto element = std::make_unique<juce::XmlElement> (tag);
    element->setAttribute ("application", getName());
    return element;
}

bool BasePlugin::isOwnXmlElement (const juce::XmlElement* element, const juce::String& tag) const
{
    return element != nullptr
        && XmlHelpers::tagMatches (*element, tag)
        && element->getStringAttribute ("application").equalsIgnoreCase (getPluginName());
}

bool BasePlugin::isUserSettingsXml (const juce::XmlElement& element) const
{
    return isOwnXmlElement (&element, "UserSettings");
}

void BasePlugin::loadUserSettings()
{
    userSettingsRead = true;

    if (const auto root = XmlFiles::read (getUserSettingsFile(), maxSettingsFileBytes); root != nullptr && isUserSettingsXml (*root))
    {
        readOwnUserSettings (*root);
        loadUserSettingsFromXml (*root);
    }

    parameterManager.copyValue (getRealtimeQualityParameterId(), getDefaultRealtimeQualityParameterId());
    parameterManager.copyValue (getOfflineQualityParameterId(), getDefaultOfflineQualityParameterId());
    userSettingsLoaded();
}

void BasePlugin::readOwnUserSettings (const juce::XmlElement& root)
{
    for (auto* child : root.getChildIterator())
    {
        if (XmlHelpers::tagMatches (*child, "Presets"))
        {
            if (const auto* author = XmlHelpers::findChild (*child, "Author"))
                presetAuthor = author->getStringAttribute ("name");
        }
        else if (XmlHelpers::tagMatches (*child, "MidiControlMap"))
        {
            midiControl.setUseUserDefinedMap (isYes (*child));
            midiControl.setUserDefinedMapFile (XmlFiles::fileFromPath (child->getStringAttribute ("file")));
        }
        else if (XmlHelpers::tagMatches (*child, "HostParametersMap"))
        {
            hostMapIsUserFile = isYes (*child);
            hostMapFile = XmlFiles::fileFromPath (child->getStringAttribute ("file"));
        }
    }

    for (auto* child : root.getChildIterator())
        if (XmlHelpers::tagMatches (*child, "Preset") && child->getStringAttribute ("name") == qualityDefaultsName)
            readQualityDefaults (*child);
}

void BasePlugin::readQualityDefaults (const juce::XmlElement& element)
{
    Preset preset;

    if (! preset.fromXml (&element, &parameterManager, false))
        return;

    const auto realtimeId = getDefaultRealtimeQualityParameterId();
    const auto offlineId = getDefaultOfflineQualityParameterId();

    for (int i = 0; i < preset.getNumValues(); ++i)
    {
        const auto* value = preset.getValue (i);

        if (value->index != -1 && (value->index == realtimeId || value->index == offlineId))
            parameterManager.setValueFromText (value->index, value->value);
    }
}

std::unique_ptr<juce::XmlElement> BasePlugin::createQualityDefaultsXml() const
{
    Preset preset (qualityDefaultsName, {});
    preset.addParameter (parameterManager.getParameter (getDefaultRealtimeQualityParameterId()));
    preset.addParameter (parameterManager.getParameter (getDefaultOfflineQualityParameterId()));
    return preset.toXml (&parameterManager);
}

std::unique_ptr<juce::XmlElement> BasePlugin::createOwnUserSettingsXml()
{
    auto root = createRootElement ("UserSettings");

    root->createNewChildElement ("Presets")->createNewChildElement ("Author")->setAttribute ("name", presetAuthor);

    auto* ccMap = root->createNewChildElement ("MidiControlMap");
    ccMap->setAttribute ("default", yesOrNo (midiControl.isUsingUserDefinedMap()));
    ccMap->setAttribute ("file", midiControl.getUserDefinedMapFile().getFullPathName());

    auto* hostMap = root->createNewChildElement ("HostParametersMap");
    hostMap->setAttribute ("default", yesOrNo (hostMapIsUserFile));
    hostMap->setAttribute ("file", hostMapFile.getFullPathName());

    root->addChildElement (createQualityDefaultsXml().release());

    if (editor != nullptr)
        if (auto settings = editor->createSettingsXml())
            root->addChildElement (settings.release());

    addExtraUserSettings (*root);
    return root;
}

bool BasePlugin::saveUserSettings()
{
    const auto document = useInitialise ? createUserSettingsXml() : createOwnUserSettingsXml();
    const auto written = document != nullptr && XmlFiles::write (*document, getUserSettingsFile(), maxSettingsFileBytes);

    if (isStateDumpEnabled())
        writeStateDump();

    return written;
}

bool BasePlugin::writeStateDump()
{
    auto written = false;

    if (const auto state = createStateXml())
        written = XmlFiles::write (*state, getStateDumpFile(), maxStateBytes);

    stateSavedFlag = 1;
    triggerAsyncUpdate();
    return written;
}

bool BasePlugin::loadStateDump()
{
    const auto root = XmlFiles::read (getStateDumpFile(), maxStateBytes);

    if (root != nullptr)
        setStateFromXml (*root);

    stateRestoredFlag = 1;
    triggerAsyncUpdate();
    return root != nullptr;
}

//==============================================================================
juce::String BasePlugin::getHostParametersMapFileExtension() const
{
    return ("." + getPluginShortName() + "hpmap").toLowerCase();
}

bool BasePlugin::isHostParametersMapXml (const juce::XmlElement* element) const
{
    return element != nullptr
        && XmlHelpers::tagMatches (*element, "HostParametersMap")
        && element->getStringAttribute ("name").equalsIgnoreCase (getPluginName());
}

bool BasePlugin::readHostParametersMap (const juce::XmlElement* element)
{
    if (! isHostParametersMapXml (element))
        return false;

    clearHostParametersMap();

    XmlHelpers::forEachChildNamed (*element, "assign", [this] (const juce::XmlElement& assignment)
    {
        int hostParam = 0;

        if (! XmlFiles::readIntAttribute (assignment, "hostParam", 0, hostParam))
            return;

        // Slots count from 1 in the file; anything below lands outside the map.
        const auto slot = hostParam > 0 ? hostParam - 1 : -1;
        setHostSlotParameter (slot, parameterManager.getParameterByName (assignment.getStringAttribute ("pluginParam")), true);
    });

    // The host re-reads the names even when the file assigned nothing.
    updateHostDisplay();
    hostMapChanged.sendChangeMessage();
    return true;
}

std::unique_ptr<juce::XmlElement> BasePlugin::createHostParametersMapXml() const
{
    auto root = std::make_unique<juce::XmlElement> ("HostParametersMap");
    root->setAttribute ("name", getPluginName());
    XmlHelpers::ChildList assignments;

    for (int slot = 0; slot < getNumVisibleSlots(); ++slot)
    {
        if (const auto* parameter = getSlotParameter (slot))
        {
            auto* assignment = assignments.add ("assign");
            assignment->setAttribute ("hostParam", slot + 1);
            assignment->setAttribute ("pluginParam", parameter->getName());
        }
    }

    assignments.appendTo (*root);
    return root;
}

bool BasePlugin::loadHostParametersMap (const juce::File& file)
{
    const auto root = XmlFiles::read (file, maxHostMapFileBytes);
    return root != nullptr && readHostParametersMap (root.get());
}

bool BasePlugin::saveHostParametersMap (const juce::File& file) const
{
    return XmlFiles::write (*createHostParametersMapXml(), file, maxHostMapFileBytes);
}

bool BasePlugin::loadStartupHostParametersMap()
{
    if (hostMapIsUserFile)
        return loadHostParametersMap (hostMapFile);

    const auto root = XmlFiles::parse (loadBundleResourceAsString ("default" + getHostParametersMapFileExtension()));
    return root != nullptr && readHostParametersMap (root.get());
}

void BasePlugin::setHostParametersMapFile (const juce::File& file, bool loadAtStart)
{
    hostMapFile = file;
    hostMapIsUserFile = loadAtStart;
}

//==============================================================================
PresetFolderTree* BasePlugin::getPresetFolderTree (const juce::String&) const   { return presetFolderTree; }
PresetFolderTree* BasePlugin::getPresetFolderTree (int) const                   { return presetFolderTree; }

bool BasePlugin::isCurrentPresetModified (PresetFolderTree* tree) const
{
    return tree != nullptr && tree == presetFolderTree && presetModified;
}

void BasePlugin::setCurrentPresetModified (PresetFolderTree* tree, bool isModified)
{
    if (tree != nullptr && tree == presetFolderTree)
        presetModified = isModified;
}

void BasePlugin::setCurrentPresetDetached (PresetFolderTree* tree, bool isDetached)
{
    if (tree != nullptr && tree == presetFolderTree)
        presetDetached = isDetached;
}

bool BasePlugin::isCurrentPresetDetached (PresetFolderTree* tree) const
{
    return tree != nullptr && tree == presetFolderTree && presetDetached;
}

juce::String BasePlugin::getCurrentPresetFile (PresetFolderTree* tree) const
{
    return tree != nullptr && tree == presetFolderTree ? currentPresetFile : juce::String();
}

void BasePlugin::setCurrentPresetFile (PresetFolderTree* tree, const juce::String& path)
{
    if (tree != nullptr && tree == presetFolderTree)
        currentPresetFile = path;
}

bool BasePlugin::savePresetFile (PresetFolderTree*, const juce::File&)  { return false; }
bool BasePlugin::loadNextPresetFile (PresetFolderTree*)                 { return false; }
bool BasePlugin::loadPreviousPresetFile (PresetFolderTree*)             { return false; }
bool BasePlugin::updatePresetFileAuthor (const juce::File&)             { return false; }

//==============================================================================
juce::String BasePlugin::makeWildcard (const juce::String& extension)
{
    return "*" + extension;
}

std::unique_ptr<juce::XmlElement> BasePlugin::createStateElement (const juce::String& tag, bool isOn)
{
    auto element = std::make_unique<juce::XmlElement> (tag);
    element->setAttribute ("state", isOn ? "on" : "off");
    return element;
}

bool BasePlugin::isStateOn (const juce::XmlElement* element)
{
    return element != nullptr && element->getStringAttribute ("state").equalsIgnoreCase ("on");
}
