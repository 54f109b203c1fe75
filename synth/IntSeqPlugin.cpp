#include "synth/IntSeqPlugin.h"

#include "framework/BundleResources.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"

#include <cmath>

namespace
{
juce::String twoDigits (int number)
{
    return juce::String (number).paddedLeft ('0', 2);
}


const char* const patternsModeNames[] = { "factoryPatterns", "clearPatterns", "userDefinedPatterns" };
const char* const playDetectionNames[] = { "byTransportChange", "byLowestCNoteOn" };

const char* const actionNames[] = {
    "Toggle Internal Sequencer", "Toggle Internal Sync", "Toggle Host Mode", "Toggle Note Off Mode",
    "Toggle Pattern Write Mode", "Toggle Auto Follow Mode", "Toggle Randomizer", "Toggle Length Mode",
    "Start/Stop", "Start", "Stop", "Shift Left", "Shift Right", "Prev", "Next", "Accept", "Undo",
    "Copy", "Paste", "Clear", "Clear 2nd", "Load Patterns", "Save Patterns"
};
} // namespace

IntSeqPlugin::IntSeqPlugin (int numPresetParameters, int numOtherParameters)
    : BasePluginOldStyle (numPresetParameters, numOtherParameters)
{
    // The sequencer's set-up runs through the initialise chain.
    useInitialise = true;
}

IntSeqPlugin::~IntSeqPlugin() = default;

//==============================================================================
bool IntSeqPlugin::isEditModeActive() const
{
    return isInternalSequencerOn() && (isWriteModeOn() || isHostModeOn());
}

bool IntSeqPlugin::isPatternEditAllowed() const
{
    return isEditModeActive() && ! isLengthModeOn();
}

bool IntSeqPlugin::isAutoFollowActive() const
{
    return isPatternEditAllowed() && isAutoFollowOn();
}

bool IntSeqPlugin::isRandomizerActive() const
{
    return isEditModeActive() && isRandomizerOn();
}

bool IntSeqPlugin::isSequencerRunning() const
{
    return isInternalSequencerOn() && sequencerClock.isRunning();
}

int IntSeqPlugin::getShownPatternIndex()
{
    return isEditModeActive() ? getCurrentPatternIndex() : getPlayingPatternIndex();
}

void IntSeqPlugin::setHostPlayDetection (int detection)
{
    if (detection == byTransportChange || detection == byLowestCNoteOn)
        hostPlayDetection = detection;
}

void IntSeqPlugin::setDefaultPatternsMode (int mode)
{
    if (mode >= factoryPatterns && mode <= userDefinedPatterns)
        defaultPatternsMode = mode;
}

juce::String IntSeqPlugin::getUserPatternsFileName() const
{
    return userPatternsFile.getFileName();
}

void IntSeqPlugin::setUserPatternsFile (const juce::File& file)
{
    userPatternsFile = file;
    defaultPatternsMode = userDefinedPatterns;
}

//==============================================================================
void IntSeqPlugin::setInternalSequencer (bool shouldBeOn)
{
    const bool oldValue = internalSequencer.exchange (shouldBeOn);

    if (oldValue != shouldBeOn)
        internalSequencerStateChanged (shouldBeOn, oldValue);

    updateInternalSequencerState();
}

void IntSeqPlugin::setInternalSync (bool shouldBeOn)
{
    internalSync = shouldBeOn;
    updateInternalSyncState();
}

void IntSeqPlugin::setHostMode (bool shouldBeOn)
{
    if (hostMode.exchange (shouldBeOn) != shouldBeOn)
        hostModeChanged();

    updateHostModeState();
}

void IntSeqPlugin::setNoteOffMode (bool shouldBeOn)
{
    noteOffMode = shouldBeOn;
    updateNoteOffState();
}

void IntSeqPlugin::setAutoFollow (bool shouldBeOn)
{
    autoFollow = shouldBeOn;
    updateAutoFollowState();
}

void IntSeqPlugin::setRandomizer (bool shouldBeOn)
{
    if (randomizer.load() != shouldBeOn)
    {
        randomizer = shouldBeOn;

        // The randomizer and length mode share the step buttons: one excludes the other.
        if (shouldBeOn && lengthMode.exchange (false))
            updateLengthModeState();

        if (shouldBeOn)
            resetPatternUndo();
        else
            clearPatternUndo();
    }

    updateRandomizerState();
}

void IntSeqPlugin::setLengthMode (bool shouldBeOn)
{
    if (lengthMode.load() != shouldBeOn)
    {
        lengthMode = shouldBeOn;

        if (shouldBeOn)
            setRandomizer (false);
    }

    updateLengthModeState();
}

//==============================================================================
void IntSeqPlugin::restartSequencer()
{
    stopSequencer();
    startSequencer();
}

void IntSeqPlugin::startSequencer()
{
    sequencerClock.start (0.0);
}

void IntSeqPlugin::stopSequencer()
{
    sequencerClock.stop();
    hostPatternIndex = -1;
    hostPatternKeysHeld = 0;
    startedByLowestC = false;
}

double IntSeqPlugin::getPlayingPatternTempo()
{
    return getPatternTempo (getPlayingPatternIndex());
}

double IntSeqPlugin::getPlayingShuffleAmount()
{
    return getPatternShuffle (getPlayingPatternIndex()) / 100.0 * 0.6;
}

//==============================================================================
// State publication

void IntSeqPlugin::updateInternalSequencerState()
{
    parameterManager.setBoolValue (internalSequencerStateId, isInternalSequencerOn());
    updateHostDisplay();
    updateInternalSyncState();
    updateHostModeState();
    updateNoteOffState();
    updateWriteModeState();
    updateTempoStates();
    updatePatternNumberState();
    updateNativeModeReadyState();
}

void IntSeqPlugin::internalSequencerStateChanged (bool, bool) {}

void IntSeqPlugin::updateInternalSyncState()
{
    parameterManager.setBoolValue (internalSyncStateId, isInternalSequencerOn() && isInternalSyncOn());
    updateTempoStates();
}

void IntSeqPlugin::updateHostModeState()
{
    parameterManager.setBoolValue (hostModeStateId, isInternalSequencerOn() && isHostModeOn());
    updateHostDisplay();
    updateWriteModeState();

    // The mode change may have moved the current pattern: every display follows it.
    updatePatternStates();
}

void IntSeqPlugin::hostModeChanged() {}

void IntSeqPlugin::updateNoteOffState()
{
    parameterManager.setBoolValue (noteOffStateId, isInternalSequencerOn() && isNoteOffModeOn());
}

void IntSeqPlugin::updateWriteModeState()
{
    updateAutoFollowState();
    updateRandomizerState();
    updateLengthModeState();
    updateStepLengthStates();
    updatePatternNumberState();
    updatePatternNameState();
    parameterManager.setBoolValue (patternNameEditionStateId, isEditModeActive());
    updateTempoStates();
    updatePatternShuffleState();
    updateNativeModeReadyState();
    parameterManager.setBoolValue (writeModeStateId, isEditModeActive());
    parameterManager.setBoolValue (writeModeActivityId, isInternalSequencerOn() && ! isHostModeOn());
}

void IntSeqPlugin::updateAutoFollowState()
{
    parameterManager.setBoolValue (autoFollowStateId, isAutoFollowActive());
    parameterManager.setBoolValue (patternNameEditionStateId, isEditModeActive());
}

void IntSeqPlugin::updateRandomizerState()
{
    parameterManager.setBoolValue (randomizerStateId, isRandomizerActive());
}

void IntSeqPlugin::updateLengthModeState()
{
    parameterManager.setBoolValue (lengthModeStateId, isEditModeActive() && isLengthModeOn());
    updateAutoFollowState();
}

void IntSeqPlugin::updateNativeModeReadyState()
{
    parameterManager.setBoolValue (nativeModeReadyStateId,
                                   isInternalSequencerOn() && ! isWriteModeOn() && ! isHostModeOn()
                                       && ! sequencerClock.isRunning());
}

void IntSeqPlugin::updateTempoStates()
{
    if (isInternalSequencerOn())
        parameterManager.setValue (patternTempoId, static_cast<float> (getPatternTempo (getShownPatternIndex())));
    else
        parameterManager.setNormalisedValue (patternTempoId, 0.0f);

    parameterManager.setBoolValue (patternTempoStateId, isEditModeActive() && isInternalSyncOn());
}

void IntSeqPlugin::updatePatternNumberState()
{
    int number = 0;

    if (isInternalSequencerOn())
        number = isHostModeOn() ? getCurrentPatternIndex() + 12 : getShownPatternIndex() + 1;

    parameterManager.setIntValue (patternNumberId, number);
}

void IntSeqPlugin::updatePatternNameState()
{
    parameterManager.setValueFromText (patternNameId,
                                       isInternalSequencerOn() ? getPatternName (getShownPatternIndex())
                                                               : juce::String());
}

void IntSeqPlugin::updatePatternShuffleState()
{
    // The shuffle beside the number and name is the same pattern's.
    const int shuffle = isInternalSequencerOn() ? getPatternShuffle (getShownPatternIndex()) : 0;
    parameterManager.setValue (patternShuffleId, static_cast<float> (shuffle));
}

void IntSeqPlugin::updateStepLengthStates()
{
    const int length = isInternalSequencerOn() ? getPatternLength (getShownPatternIndex()) : 0;

    for (int i = 0; i < 16; ++i)
        parameterManager.setBoolValue (firstStepLengthStateId + i, i < length);
}

void IntSeqPlugin::updateStepInverseStates()
{
    int lit = -1;

    if (sequencerClock.isRunning())
    {
        const bool showsOtherPattern = isEditModeActive() && ! isCurrentPatternPlaying() && ! isAutoFollowActive();
        lit = showsOtherPattern ? -1 : getCurrentStepIndex();
    }

    for (int i = 0; i < 16; ++i)
        parameterManager.setBoolValue (firstStepInverseId + i, i == lit);
}

void IntSeqPlugin::updatePatternStates()
{
    updateStepLengthStates();
    updatePatternNumberState();
    updatePatternNameState();
    updatePatternShuffleState();
    updateTempoStates();
    updateNativeModeReadyState();
}

//==============================================================================
// Pattern interface defaults

void IntSeqPlugin::selectNextPattern()      { updatePatternStates(); }
void IntSeqPlugin::selectPreviousPattern()  { updatePatternStates(); }

void IntSeqPlugin::setPatternName (int, const juce::String&)
{
    updatePatternNameState();
    updateHostDisplay();
}

void IntSeqPlugin::setPatternLength (int, int)  { updateStepLengthStates(); }
void IntSeqPlugin::setPatternTempo (int, double) { updateTempoStates(); }
void IntSeqPlugin::setPatternShuffle (int, int)  { updatePatternShuffleState(); }

void IntSeqPlugin::copyPattern()
{
    clipboardFull = true;
    parameterManager.setBoolValue (clipboardStateId, true);
}

void IntSeqPlugin::pastePattern()
{
    clipboardFull = false;
    parameterManager.setBoolValue (clipboardStateId, false);
    updatePatternStates();
}

void IntSeqPlugin::cancelPatternCopy()
{
    clipboardFull = false;
    parameterManager.setBoolValue (clipboardStateId, false);
}

//==============================================================================
// Set-up

void IntSeqPlugin::registerStateParameters()
{
    static const char* const boolNames[] = {
        "Internal Sequencer State", "Internal Sync State", "Host Mode State", "Note Off State",
        "Play State", "Write Mode State", "Write Mode Activity", "Auto Follow State",
        "Randomizer State", "Length Mode State", "Clipboard State", "Native Mode Ready State"
    };

    int id = internalSequencerStateId;

    for (const auto* name : boolNames)
        parameterManager.addParameter (new BoolParameter (id++, name, false));

    parameterManager.addParameter (new IntParameter (patternNumberId, "Pattern Number", 0, 127, 0));
    parameterManager.addParameter (new StringParameter (patternNameId, "Pattern Name", {}));
    parameterManager.addParameter (new BoolParameter (patternNameEditionStateId, "Pattern Name Edition State", false));
    parameterManager.addParameter (new FloatParameter (patternTempoId, "Pattern Tempo",
                                                       static_cast<float> (getMinTempo()),
                                                       static_cast<float> (getMaxTempo()),
                                                       static_cast<float> (getDefaultTempo())));
    parameterManager.addParameter (new BoolParameter (patternTempoStateId, "Pattern Tempo State", false));
    parameterManager.addParameter (new FloatParameter (patternShuffleId, "Pattern Shuffle", 0.0f, 100.0f, 0.0f));

    static const char* const stepSuffixes[] = { " State", " Blinking", " Inverse", " Length State" };

    for (int group = 0; group < 4; ++group)
        for (int step = 0; step < 16; ++step)
            parameterManager.addParameter (new BoolParameter (firstStepStateId + group * 16 + step,
                                                              "Step " + twoDigits (step + 1) + stepSuffixes[group],
                                                              false));
}

void IntSeqPlugin::registerActions()
{
    int id = toggleInternalSequencerEvent;

    for (const auto* name : actionNames)
        eventsMap.addEvent (name, id++);

    for (int length = 1; length <= 16; ++length)
        eventsMap.addEvent ("Set Pattern Length To " + twoDigits (length), id++);
}

void IntSeqPlugin::initialise()
{
    registerStateParameters();
    registerActions();

    BasePluginOldStyle::initialise();

    setInternalSequencer (defaultInternalSequencer);

    internalSync = defaultInternalSync;
    updateInternalSyncState();

    if (hostMode.exchange (defaultHostMode) != defaultHostMode)
        hostModeChanged();
    updateHostModeState();

    noteOffMode = defaultNoteOffMode;
    updateNoteOffState();

    for (int i = 0; i < getNumPatterns(); ++i)
        setPatternName (i, "Pattern " + juce::String (i + 1));

    applyDefaultPatterns();
    updatePatternStates();
}

void IntSeqPlugin::applyDefaultPatterns()
{
    switch (defaultPatternsMode)
    {
        case userDefinedPatterns:
            loadPatternBankFile (userPatternsFile);
            break;

        case factoryPatterns:
            loadDefaultPatternBankFile ("default" + getPatternBankFileExtension());
            break;

        default:
            break;
    }
}

//==============================================================================
// Actions

void IntSeqPlugin::performEvent (int uid)
{
    const bool on = isInternalSequencerOn();
    const bool edit = isEditModeActive();
    const bool randomizerOn = isRandomizerOn();

    switch (uid)
    {
        case toggleInternalSequencerEvent:
            setInternalSequencer (! on);
            return;

        case toggleInternalSyncEvent:
            if (on)
                setInternalSync (! isInternalSyncOn());
            return;

        case toggleHostModeEvent:
            if (on)
            {
                hostMode = ! isHostModeOn();
                hostModeChanged();
                updateHostModeState();
            }
            return;

        case toggleNoteOffModeEvent:
            if (on)
                setNoteOffMode (! isNoteOffModeOn());
            return;

        case togglePatternWriteModeEvent:
            if (on && ! isHostModeOn())
            {
                writeMode = ! isWriteModeOn();
                updateWriteModeState();
            }
            return;

        case toggleAutoFollowModeEvent:
            if (isPatternEditAllowed())
                setAutoFollow (! isAutoFollowOn());
            return;

        case toggleRandomizerEvent:
            if (edit)
                setRandomizer (! randomizerOn);
            return;

        case toggleLengthModeEvent:
            if (edit)
                setLengthMode (! isLengthModeOn());
            return;

        case startStopEvent:
            if (on)
                requestPlayState (getPlayState() == playing ? stopped : playing);
            return;

        case startEvent:
            if (on)
                requestPlayState (playing);
            return;

        case stopEvent:
            if (on)
                requestPlayState (stopped);
            return;

        case shiftLeftEvent:
            if (edit && ! randomizerOn)
                shiftPatternLeft (getCurrentPatternIndex());
            return;

        case shiftRightEvent:
            if (edit && ! randomizerOn)
                shiftPatternRight (getCurrentPatternIndex());
            return;

        case prevEvent:
            if (edit)
            {
                if (randomizerOn)
                    selectPreviousRandomVariant();
                else if (! isAutoFollowActive())
                    selectPreviousPattern();
            }
            return;

        case nextEvent:
            if (edit)
            {
                if (randomizerOn)
                    selectNextRandomVariant();
                else if (! isAutoFollowActive())
                    selectNextPattern();
            }
            return;

        case acceptEvent:
            if (edit && randomizerOn)
            {
                acceptRandomVariant();
                updateRandomizerState();
            }
            break; // also goes on to the framework

        case undoEvent:
            if (edit)
            {
                if (randomizerOn)
                {
                    rejectRandomVariant();
                    updateRandomizerState();
                }
                else if (isClipboardFull())
                {
                    cancelPatternCopy();
                }
                else
                {
                    undoPatternClear();
                }
            }
            return;

        case copyEvent:
            if (edit && ! randomizerOn)
                copyPattern();
            return;

        case pasteEvent:
            if (isClipboardFull() && edit && ! randomizerOn)
                pastePattern();
            return;

        case clearEvent:
            if (edit && ! randomizerOn && ! isLengthModeOn() && ! isClipboardFull())
                clearPattern();
            return;

        default:
            if (uid >= setPatternLengthTo01Event && uid <= setPatternLengthTo16Event)
            {
                if (edit && isLengthModeOn())
                    setPatternLength (getCurrentPatternIndex(), uid - setPatternLengthTo01Event + 1);
                return;
            }
            break;
    }

    BasePluginOldStyle::performEvent (uid);
}

//==============================================================================
void IntSeqPlugin::parameterChanged (Parameter* parameter)
{
    switch (parameter->getId())
    {
        case patternNameId:
            if (isEditModeActive())
                setPatternName (getCurrentPatternIndex(), parameter->getText());
            return;

        case patternShuffleId:
            if (isEditModeActive())
            {
                const auto percent = std::floor (static_cast<double> (parameter->getNormalisedValue()) * 100.0 + 0.5);
                setPatternShuffle (getCurrentPatternIndex(), juce::jlimit (0, 100, static_cast<int> (percent)));
            }
            return;

        case patternTempoId:
            if (isEditModeActive() && isInternalSyncOn())
                setPatternTempo (getCurrentPatternIndex(),
                                 getMinTempo() + parameter->getNormalisedValue() * (getMaxTempo() - getMinTempo()));
            return;

        default:
            BasePluginOldStyle::parameterChanged (parameter);
            return;
    }
}

//==============================================================================
// Pattern XML and files

bool IntSeqPlugin::isPatternXml (const juce::XmlElement& element) const
{
    return XmlHelpers::tagMatches (element, "Pattern")
        && element.getStringAttribute ("application").equalsIgnoreCase (getPluginName());
}

bool IntSeqPlugin::readPatternBankXml (const juce::XmlElement& element)
{
    if (! XmlHelpers::tagMatches (element, "PatternBank"))
        return false;

    std::vector<const juce::XmlElement*> patterns;
    collectBankPatterns (element, patterns);
    readCollectedPatterns (patterns);
    return true;
}

void IntSeqPlugin::collectBankPatterns (const juce::XmlElement& bank, std::vector<const juce::XmlElement*>& patterns)
{
    const auto numPatterns = static_cast<size_t> (juce::jmax (0, getNumPatterns()));
    patterns.resize (numPatterns, nullptr);
    size_t index = 0;

    for (auto* child : bank.getChildIterator())
    {
        if (index >= numPatterns)
            break;

        // Patterns of other plug-ins do not use up an index.
        if (isPatternXml (*child))
            patterns[index++] = child;
    }
}

void IntSeqPlugin::readCollectedPatterns (const std::vector<const juce::XmlElement*>& patterns)
{
    for (size_t index = 0; index < patterns.size(); ++index)
        if (patterns[index] != nullptr)
            readPatternXml (*patterns[index], static_cast<int> (index));
}

std::unique_ptr<juce::XmlElement> IntSeqPlugin::createPatternBankXml()
{
    auto bank = std::make_unique<juce::XmlElement> ("PatternBank");
    XmlHelpers::ChildList patterns;

    for (int i = 0; i < getNumPatterns(); ++i)
        patterns.add (createPatternXml (i));

    patterns.appendTo (*bank);
    return bank;
}

juce::String IntSeqPlugin::getPatternFileExtension() const
{
    return ("." + getPluginShortName() + "ptr").toLowerCase();
}

juce::String IntSeqPlugin::getPatternBankFileExtension() const
{
    return ("." + getPluginShortName() + "ptrb").toLowerCase();
}

juce::String IntSeqPlugin::getPatternLoadWildcard() const
{
    auto wildcard = "*" + getPatternFileExtension();

    for (int i = 0; i < getNumExtraPatternFileExtensions(); ++i)
        wildcard << "; *" << getExtraPatternFileExtension (i);

    return wildcard;
}

juce::String IntSeqPlugin::getPatternSaveWildcard() const
{
    return "*" + getPatternFileExtension();
}

juce::String IntSeqPlugin::getPatternBankLoadWildcard() const
{
    auto wildcard = "*" + getPatternBankFileExtension();

    for (int i = 0; i < getNumExtraPatternBankFileExtensions(); ++i)
        wildcard << "; *" << getExtraPatternBankFileExtension (i);

    return wildcard;
}

juce::String IntSeqPlugin::getPatternBankSaveWildcard() const
{
    return "*" + getPatternBankFileExtension();
}

bool IntSeqPlugin::loadPatternFile (const juce::File& file, int index)
{
    const auto root = XmlFiles::read (file, maxPatternFileBytes);

    if (root == nullptr || ! isPatternXml (*root) || index < 0 || index >= getNumPatterns())
        return false;

    readPatternXml (*root, index);
    return true;
}

bool IntSeqPlugin::savePatternFile (const juce::File& file, int index)
{
    const auto pattern = createPatternXml (index);
    return pattern != nullptr && XmlFiles::write (*pattern, file, maxPatternFileBytes);
}

bool IntSeqPlugin::loadPatternBankFile (const juce::File& file)
{
    const auto root = XmlFiles::read (file, maxPatternBankFileBytes);
    return root != nullptr && readPatternBankXml (*root);
}

bool IntSeqPlugin::savePatternBankFile (const juce::File& file)
{
    return XmlFiles::write (*createPatternBankXml(), file, maxPatternBankFileBytes);
}

bool IntSeqPlugin::loadDefaultPatternBankFile (const juce::String& resourceName)
{
    const auto root = XmlFiles::parse (loadBundleResourceAsString (resourceName));

    if (root == nullptr)
        return false;

    readPatternBankXml (*root);
    return true;
}

void IntSeqPlugin::loadPatternsStateFromXml (const juce::XmlElement& element)
{
    // Banks read in turn would each overwrite the patterns they hold: each
    // index is read once, from the last bank that holds a pattern for it.
    std::vector<const juce::XmlElement*> patterns;

    XmlHelpers::forEachChildNamed (element, "PatternBank", [this, &patterns] (const juce::XmlElement& bank)
    {
        collectBankPatterns (bank, patterns);
    });

    readCollectedPatterns (patterns);
}

std::unique_ptr<juce::XmlElement> IntSeqPlugin::createPatternsStateXml()
{
    auto state = std::make_unique<juce::XmlElement> ("PatternsState");
    state->addChildElement (createPatternBankXml().release());
    return state;
}

//==============================================================================
// User settings

void IntSeqPlugin::loadInternalSequencerDefaultsFromXml (const juce::XmlElement& element)
{
    for (auto* child : element.getChildIterator())
    {
        if (XmlHelpers::tagMatches (*child, "IntSeq"))
            defaultInternalSequencer = isStateOn (child);
        else if (XmlHelpers::tagMatches (*child, "IntSync"))
            defaultInternalSync = isStateOn (child);
        else if (XmlHelpers::tagMatches (*child, "HostMode"))
            defaultHostMode = isStateOn (child);
        else if (XmlHelpers::tagMatches (*child, "NoteOff"))
            defaultNoteOffMode = isStateOn (child);
        else if (XmlHelpers::tagMatches (*child, "HostPlayDetection"))
        {
            const auto type = child->getStringAttribute ("type");

            for (int i = 0; i < 2; ++i)
                if (type == playDetectionNames[i])
                    hostPlayDetection = i;
        }
    }
}

std::unique_ptr<juce::XmlElement> IntSeqPlugin::createInternalSequencerDefaultsXml()
{
    auto element = std::make_unique<juce::XmlElement> ("InternalSequencer");
    element->addChildElement (createStateElement ("IntSeq", defaultInternalSequencer).release());
    element->addChildElement (createStateElement ("IntSync", defaultInternalSync).release());
    element->addChildElement (createStateElement ("HostMode", defaultHostMode).release());
    element->addChildElement (createStateElement ("NoteOff", defaultNoteOffMode).release());

    auto* detection = element->createNewChildElement ("HostPlayDetection");
    detection->setAttribute ("type", playDetectionNames[getHostPlayDetection() == byLowestCNoteOn ? 1 : 0]);
    return element;
}

void IntSeqPlugin::loadUserSettingsFromXml (const juce::XmlElement& element)
{
    BasePluginOldStyle::loadUserSettingsFromXml (element);

    if (! isUserSettingsXml (element))
        return;

    for (auto* child : element.getChildIterator())
    {
        if (XmlHelpers::tagMatches (*child, "InternalSequencer"))
            loadInternalSequencerDefaultsFromXml (*child);
        else if (XmlHelpers::tagMatches (*child, "AudioOutputSettings"))
            loadAudioOutputSettingsFromXml (*child);
    }
}

std::unique_ptr<juce::XmlElement> IntSeqPlugin::createUserSettingsXml()
{
    auto settings = BasePluginOldStyle::createUserSettingsXml();

    if (settings == nullptr)
        return nullptr;

    if (auto audioOutput = createAudioOutputSettingsXml())
        settings->addChildElement (audioOutput.release());

    settings->addChildElement (createInternalSequencerDefaultsXml().release());
    return settings;
}

void IntSeqPlugin::loadResourcesSettingsFromXml (const juce::XmlElement& element)
{
    BasePluginOldStyle::loadResourcesSettingsFromXml (element);

    XmlHelpers::forEachChildNamed (element, "Patterns", [this] (const juce::XmlElement& patterns)
    {
        const auto mode = patterns.getStringAttribute ("default");

        if (mode == patternsModeNames[factoryPatterns])
            defaultPatternsMode = factoryPatterns;
        else if (mode == patternsModeNames[clearPatterns])
            defaultPatternsMode = clearPatterns;
        else if (mode == patternsModeNames[userDefinedPatterns])
            setUserPatternsFile (XmlFiles::fileFromPath (patterns.getStringAttribute ("file")));
    });
}

std::unique_ptr<juce::XmlElement> IntSeqPlugin::createResourcesSettingsXml()
{
    auto settings = BasePluginOldStyle::createResourcesSettingsXml();

    if (settings == nullptr)
        return nullptr;

    auto patterns = std::make_unique<juce::XmlElement> ("Patterns");
    patterns->setAttribute ("default", patternsModeNames[defaultPatternsMode]);

    if (defaultPatternsMode == userDefinedPatterns)
        patterns->setAttribute ("file", userPatternsFile.getFullPathName());

    settings->insertChildElement (patterns.release(), 1);
    return settings;
}

//==============================================================================
// Plug-in state

void IntSeqPlugin::loadInternalSequencerStateFromXml (const juce::XmlElement& element)
{
    // Each switch republishes the sequencer's displays: a repeated one is
    // applied once, as its last copy says.
    const auto children = XmlHelpers::lastOfEachTag (element, { "IntSeq", "IntSync", "HostMode", "NoteOff",
                                                                "PattWriteMode", "AutoFollow", "PatternsState" });

    for (auto* child : children)
    {
        if (XmlHelpers::tagMatches (*child, "IntSeq"))
        {
            setInternalSequencer (isStateOn (child));
        }
        else if (XmlHelpers::tagMatches (*child, "IntSync"))
        {
            internalSync = isStateOn (child);
            updateInternalSyncState();
        }
        else if (XmlHelpers::tagMatches (*child, "HostMode"))
        {
            const bool on = isStateOn (child);

            if (hostMode.exchange (on) != on)
                hostModeChanged();

            updateHostModeState();
        }
        else if (XmlHelpers::tagMatches (*child, "NoteOff"))
        {
            noteOffMode = isStateOn (child);
            updateNoteOffState();
        }
        else if (XmlHelpers::tagMatches (*child, "PattWriteMode"))
        {
            writeMode = isStateOn (child);
            updateWriteModeState();
        }
        else if (XmlHelpers::tagMatches (*child, "AutoFollow"))
        {
            autoFollow = isStateOn (child);
            updateAutoFollowState();
        }
        else if (XmlHelpers::tagMatches (*child, "PatternsState"))
        {
            loadPatternsStateFromXml (*child);
        }
    }
}

std::unique_ptr<juce::XmlElement> IntSeqPlugin::createInternalSequencerStateXml()
{
    auto element = std::make_unique<juce::XmlElement> ("InternalSequencer");
    element->addChildElement (createStateElement ("IntSeq", isInternalSequencerOn()).release());
    element->addChildElement (createStateElement ("IntSync", isInternalSyncOn()).release());
    element->addChildElement (createStateElement ("HostMode", isHostModeOn()).release());
    element->addChildElement (createStateElement ("NoteOff", isNoteOffModeOn()).release());
    element->addChildElement (createStateElement ("PattWriteMode", isEditModeActive()).release());
    element->addChildElement (createStateElement ("AutoFollow", isAutoFollowActive()).release());
    element->addChildElement (createPatternsStateXml().release());
    return element;
}

void IntSeqPlugin::setStateFromXml (const juce::XmlElement& element)
{
    BasePluginOldStyle::setStateFromXml (element);

    if (! isPluginStateXml (element))
        return;

    if (const auto* sequencer = XmlHelpers::findLastChild (element, "InternalSequencer"))
        loadInternalSequencerStateFromXml (*sequencer);
}

std::unique_ptr<juce::XmlElement> IntSeqPlugin::createStateXml()
{
    auto state = BasePluginOldStyle::createStateXml();

    if (state != nullptr)
        state->insertChildElement (createInternalSequencerStateXml().release(), 0);

    return state;
}
