// The instrument's pattern engine: the 96 patterns behind the sequencer layer's
// pattern interface, playback on the audio thread, the panel's edit commands,
// the randomizer's commands, and the lamps and displays that show all of it.

#include "synth/Tarvelin.h"

#include "framework/XmlHelpers.h"

namespace
{
using namespace TarvelinIds;

// The step's fields by number, as the editing code addresses them.
enum StepField { octaveUpField = 0, octaveDownField = 1, gateField = 2, accentField = 3, slideField = 4 };

// Panel keys 0..12 (C to the upper C): the white keys are chain positions 0..7.
constexpr int whiteKeyPosition[13] = { 0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6, 7 };

} // namespace

//==============================================================================
// Patterns

Pattern& Tarvelin::getPattern (int index)
{
    return patterns[static_cast<size_t> (juce::jlimit (0, numPatterns - 1, index))];
}

int Tarvelin::getPatternRangeTop() const
{
    return isHostModeOn() ? numPatterns - 1 : numNativePatterns - 1;
}

juce::String Tarvelin::getPatternName (int index)
{
    return juce::isPositiveAndBelow (index, numPatterns) ? getPattern (index).getName() : juce::String();
}

void Tarvelin::setPatternName (int index, const juce::String& name)
{
    if (! juce::isPositiveAndBelow (index, numPatterns))
        return;

    getPattern (index).setName (name);
    IntSeqPlugin::setPatternName (index, name);
}

int Tarvelin::getPatternLength (int index)
{
    return juce::isPositiveAndBelow (index, numPatterns) ? getPattern (index).getLength() : Pattern::numSteps;
}

void Tarvelin::setPatternLength (int index, int steps)
{
    if (! juce::isPositiveAndBelow (index, numPatterns))
        return;

    getPattern (index).setLength (steps);
    IntSeqPlugin::setPatternLength (index, steps);

    if (index == currentPattern && editedStep >= getPattern (index).getLength())
    {
        setEditedStep (getPattern (index).getLength() - 1);
        refreshEditDisplays();
    }
}

double Tarvelin::getPatternTempo (int index)
{
    // Single precision, as the displays and clocks take it.
    return static_cast<double> (static_cast<float> (getPattern (index).getTempo()));
}

void Tarvelin::setPatternTempo (int index, double tempo)
{
    if (! juce::isPositiveAndBelow (index, numPatterns))
        return;

    getPattern (index).setTempo (tempo);
    IntSeqPlugin::setPatternTempo (index, tempo);
}

int Tarvelin::getPatternShuffle (int index)
{
    return getPattern (index).getShuffle();
}

void Tarvelin::setPatternShuffle (int index, int percent)
{
    if (! juce::isPositiveAndBelow (index, numPatterns))
        return;

    getPattern (index).setShuffle (percent);
    IntSeqPlugin::setPatternShuffle (index, percent);
}

void Tarvelin::setEditedStep (int step)
{
    editedStep = juce::jlimit (0, Pattern::numSteps - 1, step);
}

void Tarvelin::setCurrentPattern (int index)
{
    currentPattern = juce::jlimit (0, getPatternRangeTop(), index);

    const int length = getPattern (currentPattern).getLength();

    if (editedStep >= length)
    {
        setEditedStep (length - 1);

        if (canPublishDisplaysNow())
            refreshEditDisplays();
    }
}

bool Tarvelin::canPublishDisplaysNow()
{
    if (juce::MessageManager::existsAndIsCurrentThread())
        return true;

    patternStatesPending = true;
    triggerAsyncUpdate();
    return false;
}

void Tarvelin::handleAsyncUpdate()
{
    IntSeqPlugin::handleAsyncUpdate();

    if (patternStatesPending.exchange (false))
        updatePatternStates();
}

void Tarvelin::selectNextPattern()
{
    if (currentPattern < getPatternRangeTop())
        setCurrentPattern (currentPattern + 1);

    IntSeqPlugin::selectNextPattern();
}

void Tarvelin::selectPreviousPattern()
{
    if (currentPattern >= 1)
        setCurrentPattern (currentPattern - 1);

    IntSeqPlugin::selectPreviousPattern();
}

bool Tarvelin::selectPattern()
{
    const int played = playingPattern;

    if (currentPattern == played || ! juce::isPositiveAndBelow (played, numPatterns))
        return false;

    setCurrentPattern (played);
    return true;
}

void Tarvelin::applyPatternChain()
{
    if (! sequencerClock.isRunning())
    {
        playingPattern = chainBank * 8 + chainFirst;

        if (playingPattern != currentPattern)
            setCurrentPattern (playingPattern);
    }

    if (canPublishDisplaysNow())
        updatePatternStates();
}

void Tarvelin::clearPattern()
{
    clearBackup = getPattern (currentPattern);
    clearBackupIndex = currentPattern;
    clearBackupValid = true;
    getPattern (currentPattern).clearSteps (false);
    updatePatternStates();
}

void Tarvelin::copyPattern()
{
    clipboard = getPattern (currentPattern);
    IntSeqPlugin::copyPattern();
}

void Tarvelin::pastePattern()
{
    auto& pattern = getPattern (currentPattern);
    pattern = clipboard;
    pattern.setName (clipboard.getName() + " copy");
    IntSeqPlugin::pastePattern();
}

void Tarvelin::undoPatternClear()
{
    if (! clearBackupValid || clearBackupIndex != currentPattern)
        return;

    getPattern (currentPattern) = clearBackup;
    clearBackupValid = false;
    updatePatternStates();
}

void Tarvelin::shiftPatternLeft (int index)
{
    getPattern (index).rotateLeft (1);
    refreshEditDisplays();
}

void Tarvelin::shiftPatternRight (int index)
{
    getPattern (index).rotateRight (1);
    refreshEditDisplays();
}

//==============================================================================
// Modes

void Tarvelin::updateInternalSequencerState()
{
    IntSeqPlugin::updateInternalSequencerState();
    updateLevelEditStates();

    // The self-reset lamp is lit only while the sequencer is on.
    updateSelfResetState();
}

void Tarvelin::internalSequencerStateChanged (bool, bool)
{
    requestStop();
    requestArpeggiatorReset();
    requestAllNotesOff();
}

void Tarvelin::hostModeChanged()
{
    requestStop();
    requestArpeggiatorReset();
    requestAllNotesOff();
}

void Tarvelin::updateWriteModeState()
{
    // The current pattern moves first, so that what the layer publishes, and the
    // next edit, are the pattern that is now current.
    if (isEditModeActive())
    {
        int target = currentPattern;

        if (isHostModeOn())
        {
            if (isAutoFollowActive() && juce::isPositiveAndBelow (playingPattern.load(), numPatterns))
                target = playingPattern;
        }
        else
        {
            target = sequencerClock.isRunning() ? playingPattern.load() : chainBank * 8 + chainFirst;
        }

        if (target != currentPattern)
            setCurrentPattern (target);
    }

    if (currentPattern > getPatternRangeTop())
        setCurrentPattern (0);

    IntSeqPlugin::updateWriteModeState();
    refreshEditDisplays();
}

void Tarvelin::updateNativeModeReadyState()
{
    IntSeqPlugin::updateNativeModeReadyState();
    updatePatternPositionLamps (0);
}

void Tarvelin::updatePatternStates()
{
    IntSeqPlugin::updatePatternStates();
    refreshEditDisplays();
}

bool Tarvelin::isLevelEditActive() const
{
    return isEditModeActive() && ! isRandomizerActive() && levelEditMode;
}

//==============================================================================
// Playback (audio thread)

void Tarvelin::startSequencer()
{
    playingPattern = isHostModeOn() ? hostPatternIndex : chainBank * 8 + chainFirst;
    stepIndex = 0;
    IntSeqPlugin::startSequencer();
}

void Tarvelin::stopSequencer()
{
    IntSeqPlugin::stopSequencer();

    releaseStepNote (previousStep, previousNoteOn);
    releaseStepNote (currentStep, currentNoteOn);
    previousStep = PatternStep (false);
    currentStep = PatternStep (false);
    stepAdvanced = false;
    currentNoteOn = false;
    previousNoteOn = false;
    stepStarted = false;
}

void Tarvelin::releaseStepNote (const PatternStep& step, bool& noteIsOn)
{
    if (! noteIsOn)
        return;

    noteIsOn = false;
    noteOff (step.getAbsoluteNote());
}

void Tarvelin::advanceSequencerStep()
{
    // A step whose gate never ended (the clock moved on) lets go of its notes first.
    if (stepStarted)
    {
        releaseStepNote (previousStep, previousNoteOn);

        if (! currentStep.isSlide())
            releaseStepNote (currentStep, currentNoteOn);
    }

    const bool firstStep = ! stepAdvanced;
    int played = playingPattern;
    const bool validPattern = juce::isPositiveAndBelow (played, numPatterns);

    if (! firstStep && validPattern)
    {
        const int length = getPattern (played).getLength();
        int next = stepIndex + 1;

        if (next >= length)
        {
            next = 0;

            if (! isHostModeOn())
            {
                const int first = chainBank * 8 + chainFirst;
                const int last = chainBank * 8 + chainLast;
                played = (played + 1 >= first && played + 1 <= last) ? played + 1 : first;
                playingPattern = played;
            }
        }

        stepIndex = next;
    }

    previousStep = currentStep;

    if (! juce::isPositiveAndBelow (played, numPatterns))
    {
        // Host mode with no chosen pattern: nothing to play.
        currentStep = PatternStep (false);
        stepStarted = true;
        return;
    }

    // The step is copied at its start, so an edit takes effect at the step's next start.
    const auto& pattern = getPattern (played);
    currentStep = pattern.getStep (juce::jlimit (0, pattern.getLength() - 1, stepIndex.load()));

    currentStep.setGate (currentStep.isGate() && thresholds[0].load() >= currentStep.getGateLevel());
    currentStep.setAccent (currentStep.isAccent() && thresholds[1].load() >= currentStep.getAccentLevel());
    currentStep.setSlide (currentStep.isSlide() && thresholds[2].load() >= currentStep.getSlideLevel());

    const bool pitchesDiffer = firstStep || currentStep.getAbsoluteNote() != previousStep.getAbsoluteNote();
    const bool tie = currentStep.isAccent() ? (previousStep.isAccent() && ! pitchesDiffer) : ! pitchesDiffer;

    bool playNew = false;

    if (! currentStep.isGate())
        playNew = currentNoteOn && ! tie;     // a rest, unless a slide carries into another pitch
    else
        playNew = ! (currentNoteOn && tie);

    if (playNew)
    {
        const bool slidNoteSounding = currentNoteOn && previousStep.isSlide();
        currentNoteOn = true;
        noteOn (currentStep.getAbsoluteNote(), getStepVelocity (currentStep.isAccent()));

        // The slid note is released at the next gate end, after the new one started: a glide.
        // A rest marked slide has no note to hold; releasing its pitch would cut the new note.
        if (slidNoteSounding)
            previousNoteOn = true;
    }

    stepStarted = true;
}

void Tarvelin::releaseSequencerStep()
{
    releaseStepNote (previousStep, previousNoteOn);

    if (! currentStep.isSlide())
        releaseStepNote (currentStep, currentNoteOn);

    stepAdvanced = true;
    stepStarted = false;
}

int Tarvelin::getShownChainPosition()
{
    const int first = chainBank * 8 + chainFirst;
    const int last = chainBank * 8 + chainLast;

    if (! sequencerClock.isRunning())
        return chainFirst;

    const int played = playingPattern;

    if (played >= first && played <= last)
        return played % 8;

    return (played + 1 >= first && played + 1 <= last) ? (played + 1) % 8 : chainFirst.load();
}

//==============================================================================
// Randomizer

void Tarvelin::resetPatternUndo()       { randomizer.resetPatternUndo (getPattern (currentPattern)); }
void Tarvelin::clearPatternUndo()       { randomizer.clearPatternUndo(); }

bool Tarvelin::selectNextRandomVariant()
{
    randomizer.selectNextRandomVariant (getPattern (currentPattern));
    updatePatternStates();
    return true;
}

bool Tarvelin::selectPreviousRandomVariant()
{
    const bool changed = randomizer.selectPreviousRandomVariant (getPattern (currentPattern));

    if (changed)
        updatePatternStates();

    return changed;
}

void Tarvelin::acceptRandomVariant()
{
    randomizer.acceptRandomVariant (getPattern (currentPattern));
}

void Tarvelin::rejectRandomVariant()
{
    randomizer.rejectRandomVariant (getPattern (currentPattern));
    updatePatternStates();
}

void Tarvelin::updateRandomizerState()
{
    IntSeqPlugin::updateRandomizerState();
    parameterManager.setBoolValue (randNotesLamp, isRandomizerActive() && randomizer.getRandomNotes());
    updateLevelEditStates();
    refreshEditDisplays();
    updatePatternPositionLamps (1);
}

void Tarvelin::setRandomizerChord (int chord)
{
    if (chord != randomizerChord)
    {
        randomizerChord = chord;
        std::vector<int> intervals;

        if (const auto* table = Arpeggiator::getChordTable (chord))
            intervals.assign (table->intervals.begin(), table->intervals.begin() + table->numIntervals);

        randomizer.setChord (chord, intervals);
    }

    updateKeyLamps();
}

//==============================================================================
// Edit commands

void Tarvelin::performEvent (int uid)
{
    const bool randomizerMode = isRandomizerActive();

    if (uid == clearEvent && randomizerMode)
    {
        randomizer.setVisibleKeys (false);
        updateKeyLamps();
        return;
    }

    if (uid == clear2ndEvent && randomizerMode)
    {
        randomizer.setVisibleKeys (true);
        updateKeyLamps();
        return;
    }

    if (uid < 0 || uid >= numEditCommands)
    {
        IntSeqPlugin::performEvent (uid);
        return;
    }

    if (! isInternalSequencerOn())
        return;

    const bool edit = isEditModeActive() && ! randomizerMode;
    const bool native = ! isEditModeActive();
    auto& pattern = getPattern (currentPattern);
    auto& step = pattern.getStep (editedStep);

    auto keyToChain = [this] (int panelKey, bool extend)
    {
        const int position = whiteKeyPosition[panelKey];

        if (position < 0)
            return;

        if (extend && chainBank == bankGroup)
        {
            const int anchor = chainFirst;
            chainFirst = juce::jmin (anchor, position);
            chainLast = juce::jmax (anchor, position);
        }
        else
        {
            chainFirst = position;
            chainLast = position;
            chainBank = bankGroup.load();
        }

        applyPatternChain();
    };

    if (uid == transposeUp || uid == transposeDown)
    {
        if (randomizerMode)
        {
            if (uid == transposeUp)
                randomizer.shiftKeysUp();
            else
                randomizer.shiftKeysDown();

            updateKeyLamps();
        }
        else if (edit)
        {
            pattern.transpose (uid == transposeUp ? 1 : -1);
            refreshEditDisplays();
        }
        else
        {
            IntSeqPlugin::performEvent (uid);
        }
    }
    else if (uid >= selectStepFirst && uid < selectStepFirst + numSteps)
    {
        const int s = uid - selectStepFirst;

        if (! native && s < pattern.getLength())
        {
            setEditedStep (s);
            refreshEditDisplays();
        }
    }
    else if (uid >= keyFirst && uid < keyFirst + numKeys)
    {
        const int k = uid - keyFirst;

        if (randomizerMode)
        {
            randomizer.toggleVisibleKey (k);
            updateKeyLamps();
        }
        else if (edit)
        {
            step.setNote (k);
            refreshEditDisplays();
        }
        else
        {
            keyToChain (k, false);
        }
    }
    else if (uid >= keySecondFirst && uid < keySecondFirst + numKeys)
    {
        const int k = uid - keySecondFirst;

        if (native)
            keyToChain (k, true);
        else
        {
            pattern.setAllNotes (editedStep, k);
            refreshEditDisplays();
        }
    }
    else if (uid >= toggleGate && uid <= toggleSlide)
    {
        const int which = uid - toggleGate;

        if (randomizerMode)
        {
            if (which == 0) randomizer.toggleRandomizeGate();
            else if (which == 1) randomizer.toggleRandomizeAccent();
            else randomizer.toggleRandomizeSlide();

            updateFlagLamps();
        }
        else if (edit)
        {
            step.toggleFlag (gateField + which);
            refreshEditDisplays();
        }
        else
        {
            bankGroup = which;
            updateKeyLamps();
            updatePatternPositionLamps (0);
            updateFlagLamps();
        }
    }
    else if (uid == toggleOctaveDown || uid == toggleOctaveUp)
    {
        const bool down = uid == toggleOctaveDown;

        if (randomizerMode)
        {
            if (down)
                randomizer.toggleKeyOctaveDown();
            else
                randomizer.toggleKeyOctaveUp();

            updateOctaveLamps();
            updateKeyLamps();
        }
        else if (edit)
        {
            step.toggleFlag (down ? octaveDownField : octaveUpField);
            refreshEditDisplays();
        }
    }
    else if (uid >= toggleGateSecond && uid <= toggleOctaveUpSecond)
    {
        static const int fields[] = { gateField, accentField, slideField, octaveDownField, octaveUpField };

        if (! native)
        {
            pattern.toggleFlagForAll (editedStep, fields[uid - toggleGateSecond]);
            refreshEditDisplays();
        }
    }
    else if (uid == nextStep || uid == prevStep)
    {
        if (randomizerMode)
        {
            IntSeqPlugin::performEvent (uid == nextStep ? IntSeqPlugin::nextEvent : IntSeqPlugin::prevEvent);
        }
        else if (edit)
        {
            const int length = pattern.getLength();
            int s = editedStep + (uid == nextStep ? 1 : -1);

            if (s >= length)
                s = 0;
            else if (s < 0)
                s = length - 1;

            setEditedStep (s);
            refreshEditDisplays();
        }
    }
    else if (uid == toggleRandomNotes)
    {
        if (randomizerMode)
        {
            randomizer.toggleRandomNotes();
            parameterManager.setBoolValue (randNotesLamp, randomizer.getRandomNotes());
            updateKeyLamps();
        }
    }
    else if (uid == toggleLevelEdit)
    {
        if (edit)
        {
            levelEditMode = ! levelEditMode;
            updateLevelEditStates();
        }

        IntSeqPlugin::performEvent (uid);
    }
    else if (uid == acceptAndFix)
    {
        if (randomizerMode)
        {
            randomizer.acceptAndFix (pattern, thresholds[0].load(), thresholds[1].load(), thresholds[2].load());
            updatePatternStates();
        }
    }
}

//==============================================================================
// Lamps and displays

void Tarvelin::refreshEditDisplays()
{
    updateStepLamps();
    updateKeyLamps();
    updateOctaveLamps();
    updateFlagLamps();
    updateStepLevelDisplays();
}

void Tarvelin::updateSelfResetState()
{
    parameterManager.setBoolValue (selfResetState, isSelfResetOn() && isInternalSequencerOn());
}

void Tarvelin::updateKeyLamps()
{
    const bool on = isInternalSequencerOn();
    const bool randomizerMode = isRandomizerActive();
    const bool edit = isEditModeActive() && ! randomizerMode;
    const int note = getPattern (currentPattern).getStep (editedStep).getNote();
    const int base = randomizer.getVisibleBase();

    for (int k = 0; k < numKeys; ++k)
    {
        bool lit = false;

        if (! on)
            lit = false;
        else if (randomizerMode)
            lit = randomizer.getRandomNotes() && randomizer.isKeyOn (base + k);
        else if (edit)
            lit = note == k;
        else
        {
            const int position = whiteKeyPosition[k];
            lit = position >= 0 && chainBank == bankGroup && chainFirst <= position && position <= chainLast;
        }

        parameterManager.setBoolValue (keyLamp (k), lit);
    }
}

void Tarvelin::updatePatternPositionLamps (int)
{
    const bool on = isInternalSequencerOn();
    const bool randomizerMode = isRandomizerActive();
    const bool native = on && ! isEditModeActive();
    const int shown = native ? getShownChainPosition() : -1;

    for (int k = 0; k < numKeys; ++k)
    {
        const int position = whiteKeyPosition[k];
        const bool blinking = randomizerMode || (native && position >= 0 && position == shown % 8);
        parameterManager.setBoolValue (keyBlinking (k), blinking);
    }

    parameterManager.setBoolValue (octaveDownBlinking, randomizerMode);
    parameterManager.setBoolValue (octaveUpBlinking, randomizerMode);
    parameterManager.setBoolValue (randNotesBlinking, randomizerMode);
    updateFlagLamps();
}

void Tarvelin::updateFlagLamps()
{
    const bool on = isInternalSequencerOn();
    const bool randomizerMode = isRandomizerActive();
    const bool edit = isEditModeActive() && ! randomizerMode;
    const auto& step = getPattern (currentPattern).getStep (editedStep);
    const int group = bankGroup;

    const bool lamps[3] = {
        randomizerMode ? randomizer.getRandomizeGate() : edit ? step.isGate() : on && group == 0,
        randomizerMode ? randomizer.getRandomizeAccent() : edit ? step.isAccent() : on && group == 1,
        randomizerMode ? randomizer.getRandomizeSlide() : edit ? step.isSlide() : on && group == 2
    };

    for (int i = 0; i < 3; ++i)
    {
        const bool nativeLamp = on && ! isEditModeActive() && group == i;
        parameterManager.setBoolValue (gateLamp + i, on && lamps[i]);
        parameterManager.setBoolValue (gateBlinking + i, randomizerMode || nativeLamp);
    }
}

void Tarvelin::updateOctaveLamps()
{
    const bool randomizerMode = isRandomizerActive();
    const bool edit = isEditModeActive() && ! randomizerMode;
    const auto& step = getPattern (currentPattern).getStep (editedStep);

    parameterManager.setBoolValue (octaveDownLamp, randomizerMode ? randomizer.getKeyOctaveDown()
                                                                   : edit && step.isOctaveDown());
    parameterManager.setBoolValue (octaveUpLamp, randomizerMode ? randomizer.getKeyOctaveUp()
                                                                 : edit && step.isOctaveUp());
}

void Tarvelin::updateStepLamps()
{
    const bool lit = isEditModeActive();

    for (int i = 0; i < numSteps; ++i)
        parameterManager.setBoolValue (firstStepStateId + i, lit && i == editedStep);
}

void Tarvelin::updateStepLevelDisplays()
{
    const bool show = isLevelEditActive();
    const auto& step = getPattern (currentPattern).getStep (editedStep);

    // Publishing the levels must not write them back into the step.
    const juce::ScopedValueSetter<bool> publishing (publishingLevels, true);
    parameterManager.setValue (gateLevel, show ? static_cast<float> (step.getGateLevel()) : 0.0f);
    parameterManager.setValue (accentLevel, show ? static_cast<float> (step.getAccentLevel()) : 0.0f);
    parameterManager.setValue (slideLevel, show ? static_cast<float> (step.getSlideLevel()) : 0.0f);
}

void Tarvelin::updateLevelEditStates()
{
    const bool levelEdit = isLevelEditActive();
    parameterManager.setBoolValue (thresholdsEnabled, isInternalSequencerOn() && ! levelEdit);
    parameterManager.setBoolValue (levelEditState, levelEdit);
    updateStepLevelDisplays();
}

//==============================================================================
// Pattern XML, state and settings

void Tarvelin::readPatternXml (const juce::XmlElement& element, int index)
{
    if (isPatternXml (element) && juce::isPositiveAndBelow (index, numPatterns))
        getPattern (index).loadFromXml (element);
}

std::unique_ptr<juce::XmlElement> Tarvelin::createPatternXml (int index)
{
    if (! juce::isPositiveAndBelow (index, numPatterns))
        return nullptr;

    auto element = std::make_unique<juce::XmlElement> ("Pattern");
    element->setAttribute ("application", getPluginName());
    getPattern (index).saveToXml (*element);
    return element;
}

juce::String Tarvelin::getExtraPatternBankFileExtension (int index) const
{
    return index == 0 ? ".tq" : "";
}

bool Tarvelin::loadPatternBankFile (const juce::File& file)
{
    if (file.getFileExtension().equalsIgnoreCase (".tq"))
        return importPatternText (file);

    return IntSeqPlugin::loadPatternBankFile (file);
}

std::unique_ptr<juce::XmlElement> Tarvelin::createInternalSequencerStateXml()
{
    auto element = IntSeqPlugin::createInternalSequencerStateXml();
    element->insertChildElement (createStateElement ("SelfReset", isSelfResetOn()).release(), 4);

    auto* edition = element->createNewChildElement ("EditionState");
    edition->createNewChildElement ("EditedPattern")->setAttribute ("value", currentPattern.load());
    edition->createNewChildElement ("EditedStep")->setAttribute ("value", editedStep.load());

    auto* chain = edition->createNewChildElement ("ChainPatterns");
    chain->setAttribute ("first", chainFirst.load());
    chain->setAttribute ("last", chainLast.load());
    chain->setAttribute ("bank", chainBank.load());
    return element;
}

void Tarvelin::loadInternalSequencerStateFromXml (const juce::XmlElement& element)
{
    IntSeqPlugin::loadInternalSequencerStateFromXml (element);

    // As in the layer below, each kind of element is applied once, as its last copy says.
    for (auto* child : XmlHelpers::lastOfEachTag (element, { "SelfReset", "EditionState" }))
    {
        if (XmlHelpers::tagMatches (*child, "SelfReset"))
        {
            setSelfReset (isStateOn (child));
        }
        else
        {
            for (auto* item : XmlHelpers::lastOfEachTag (*child, { "EditedPattern", "EditedStep", "ChainPatterns" }))
            {
                if (XmlHelpers::tagMatches (*item, "EditedPattern"))
                {
                    setCurrentPattern (item->getIntAttribute ("value", 0));
                }
                else if (XmlHelpers::tagMatches (*item, "EditedStep"))
                {
                    const int length = getPattern (currentPattern).getLength();
                    setEditedStep (juce::jmin (item->getIntAttribute ("value", 0), length - 1));
                    refreshEditDisplays();
                }
                else if (XmlHelpers::tagMatches (*item, "ChainPatterns"))
                {
                    const int first = juce::jlimit (0, 7, item->getIntAttribute ("first", 0));
                    const int last = juce::jlimit (0, 7, item->getIntAttribute ("last", 0));
                    chainFirst = juce::jmin (first, last);
                    chainLast = juce::jmax (first, last);
                    chainBank = juce::jlimit (0, 2, item->getIntAttribute ("bank", 0));
                    bankGroup = chainBank.load();
                    applyPatternChain();
                }
            }

            // The edited pattern may have moved without a chain to publish it.
            if (canPublishDisplaysNow())
                updatePatternStates();
        }
    }
}

std::unique_ptr<juce::XmlElement> Tarvelin::createInternalSequencerDefaultsXml()
{
    auto element = IntSeqPlugin::createInternalSequencerDefaultsXml();
    element->insertChildElement (createStateElement ("SelfReset", defaultSelfReset).release(), 4);
    return element;
}

void Tarvelin::loadInternalSequencerDefaultsFromXml (const juce::XmlElement& element)
{
    IntSeqPlugin::loadInternalSequencerDefaultsFromXml (element);

    if (const auto* selfResetElement = XmlHelpers::findChild (element, "SelfReset"))
        defaultSelfReset = isStateOn (selfResetElement);
}
