#include "editor/IntSeqPluginEditor.h"

#include "editor/OptionsWindow.h"
#include "skin/GFXButton.h"
#include "skin/GFXDisplay.h"
#include "skin/GFXKnob.h"
#include "skin/GFXMultiStateButton.h"
#include "skin/NumericDisplay.h"
#include "skin/PatternNumberDisplay.h"

namespace
{
using Id = IntSeqPlugin::StateParameterId;

// The state parameters this layer shows on the skin's controls.
constexpr int shownStates[] = { Id::internalSequencerStateId, Id::internalSyncStateId, Id::hostModeStateId,
                                Id::writeModeStateId, Id::randomizerStateId, Id::lengthModeStateId,
                                Id::nativeModeReadyStateId, Id::patternNameEditionStateId, Id::patternTempoStateId };

bool isOn (const ParameterManager& parameters, int id)
{
    const auto* parameter = parameters.getParameter (id);
    return parameter != nullptr && parameter->getBoolValue();
}

void enableIfPresent (juce::Component* control, bool enabled)
{
    if (control != nullptr)
        control->setEnabled (enabled);
}

template <typename Control>
Control* findControl (const BasePluginEditor& editor, const char* name)
{
    return dynamic_cast<Control*> (editor.findChildComponentByName (name, true));
}
} // namespace

//==============================================================================
IntSeqPluginEditor::SequencerSettingsComponent::SettingsPanel::SettingsPanel (const juce::String& caption)
    : panel (caption)
{
    column.setSpacing (4);

    for (auto* box : boxes)
        column.addAndMakeVisible (*box);

    panel.setContentComponent (&column, false);
}

void IntSeqPluginEditor::SequencerSettingsComponent::SettingsPanel::add (juce::Component& setting)
{
    column.addAndMakeVisible (setting);
    layout();
}

void IntSeqPluginEditor::SequencerSettingsComponent::SettingsPanel::layout()
{
    // Every box of the column, the ones other layers added too, as wide as its text.
    for (auto* child : column.getChildren())
        if (auto* box = dynamic_cast<CheckBox_V2*> (child))
            box->fitToText (boxHeight);

    column.layoutChildren();
    panel.layoutContent();
}

IntSeqPluginEditor::SequencerSettingsComponent::SequencerSettingsComponent (IntSeqPlugin& pluginToUse)
    : plugin (pluginToUse)
{
    for (auto* box : current.boxes)
        box->addListener (this);

    for (auto* box : defaults.boxes)
        box->addListener (this);

    addAndMakeVisible (current.panel);
    addAndMakeVisible (defaults.panel);

    hostPlayDetectionButtons.setSelectedIndex (plugin.getHostPlayDetection(), false);
    hostPlayDetectionButtons.addListener (this);
    addAndMakeVisible (hostPlayDetectionButtons);

    auto& parameters = plugin.getParameterManager();

    for (int i = 0; i < numSwitches; ++i)
    {
        parameters.addAsyncListener (Id::internalSequencerStateId + i, this);
        current.boxes[i]->setChecked (isOn (parameters, Id::internalSequencerStateId + i), juce::dontSendNotification);
    }

    updateBoxes();
}

IntSeqPluginEditor::SequencerSettingsComponent::~SequencerSettingsComponent()
{
    for (int i = 0; i < numSwitches; ++i)
        plugin.getParameterManager().removeAsyncListener (Id::internalSequencerStateId + i, this);
}

void IntSeqPluginEditor::SequencerSettingsComponent::addCurrentSetting (juce::Component& setting)
{
    current.add (setting);
    resized();
}

void IntSeqPluginEditor::SequencerSettingsComponent::addDefaultSetting (juce::Component& setting)
{
    defaults.add (setting);
    resized();
}

void IntSeqPluginEditor::SequencerSettingsComponent::updateBoxes()
{
    const bool sequencerOn = plugin.isInternalSequencerOn();
    const bool defaultSequencerOn = plugin.getDefaultInternalSequencer();
    const bool defaultValues[numSwitches] = { defaultSequencerOn, plugin.getDefaultInternalSync(),
                                              plugin.getDefaultHostMode(), plugin.getDefaultNoteOffMode() };

    defaults.internalSequencerBox.setChecked (defaultSequencerOn, juce::dontSendNotification);

    // The stored defaults stay as they are while the default sequencer is off.
    for (int i = internalSyncSwitch; i < numSwitches; ++i)
    {
        current.boxes[i]->setEnabled (sequencerOn);
        defaults.boxes[i]->setEnabled (defaultSequencerOn);
        defaults.boxes[i]->setChecked (defaultSequencerOn && defaultValues[i], juce::dontSendNotification);
    }
}

void IntSeqPluginEditor::SequencerSettingsComponent::buttonClicked (juce::Button* button)
{
    for (int i = 0; i < numSwitches; ++i)
    {
        if (button == current.boxes[i])
            currentBoxClicked (static_cast<Switch> (i), current.boxes[i]->isChecked());
        else if (button == defaults.boxes[i])
            defaultBoxClicked (static_cast<Switch> (i), defaults.boxes[i]->isChecked());
    }
}

void IntSeqPluginEditor::SequencerSettingsComponent::currentBoxClicked (Switch which, bool checked)
{
    switch (which)
    {
        case internalSequencerSwitch:
            plugin.setInternalSequencer (checked);
            updateBoxes();
            break;

        case internalSyncSwitch:
            if (plugin.isInternalSyncAvailable())
                plugin.setInternalSync (checked);
            break;

        case hostModeSwitch:
            if (plugin.isHostModeAvailable())
                plugin.setHostMode (checked);
            break;

        case noteOffModeSwitch:
            if (plugin.isNoteOffModeAvailable())
                plugin.setNoteOffMode (checked);
            break;

        case numSwitches:
            break;
    }
}

void IntSeqPluginEditor::SequencerSettingsComponent::defaultBoxClicked (Switch which, bool checked)
{
    if (which == internalSequencerSwitch)
    {
        plugin.setDefaultInternalSequencer (checked);
        updateBoxes();
        return;
    }

    if (! plugin.getDefaultInternalSequencer())
        return;

    switch (which)
    {
        case internalSyncSwitch:    plugin.setDefaultInternalSync (checked); break;
        case hostModeSwitch:        plugin.setDefaultHostMode (checked); break;
        case noteOffModeSwitch:     plugin.setDefaultNoteOffMode (checked); break;
        case internalSequencerSwitch:
        case numSwitches:           break;
    }
}

void IntSeqPluginEditor::SequencerSettingsComponent::radioButtonsChanged (RadioButtons_V2* group)
{
    if (group == &hostPlayDetectionButtons)
        plugin.setHostPlayDetection (group->getSelectedIndex());
}

void IntSeqPluginEditor::SequencerSettingsComponent::parameterChanged (Parameter* parameter)
{
    const auto index = parameter->getId() - Id::internalSequencerStateId;

    if (! juce::isPositiveAndBelow (index, static_cast<int> (numSwitches)))
        return;

    current.boxes[index]->setChecked (parameter->getBoolValue(), juce::dontSendNotification);

    if (index == internalSequencerSwitch)
        updateBoxes();
}

void IntSeqPluginEditor::SequencerSettingsComponent::lookAndFeelChanged()
{
    current.layout();
    defaults.layout();
    resized();
}

void IntSeqPluginEditor::SequencerSettingsComponent::resized()
{
    const auto panelWidth = getWidth() / 2 - 3;
    current.panel.fitSize (panelWidth, -1);
    current.panel.setTopLeftPosition (0, 0);
    defaults.panel.fitSize (panelWidth, -1);
    defaults.panel.setTopLeftPosition (panelWidth + panelGap, 0);

    const auto top = juce::jmax (current.panel.getBottom(), defaults.panel.getBottom()) + groupGap;
    hostPlayDetectionButtons.setSizeToFit (getWidth(), -1);
    hostPlayDetectionButtons.setTopLeftPosition (0, top);
}

//==============================================================================
IntSeqPluginEditor::PatternsSettingsComponent::PatternsSettingsComponent (IntSeqPlugin& pluginToUse)
    : plugin (pluginToUse)
{
    auto& path = defaultPatternsButtons.getPathComponent();
    path.setFilePatterns (plugin.getPatternBankLoadWildcard());
    path.addListener (this);
    defaultPatternsButtons.addListener (this);
    addAndMakeVisible (defaultPatternsButtons);

    defaultPatternsButtons.setSelectedIndex (plugin.getDefaultPatternsMode(), false);
    path.setPath (plugin.getUserPatternsFile(), false);
}

IntSeqPluginEditor::PatternsSettingsComponent::~PatternsSettingsComponent()
{
    defaultPatternsButtons.getPathComponent().removeListener (this);
}

void IntSeqPluginEditor::PatternsSettingsComponent::radioButtonsChanged (RadioButtons_V2* group)
{
    if (group == &defaultPatternsButtons)
        plugin.setDefaultPatternsMode (group->getSelectedIndex());
}

void IntSeqPluginEditor::PatternsSettingsComponent::pathChanged (PathComponent* component)
{
    if (component == &defaultPatternsButtons.getPathComponent())
        plugin.setUserPatternsFile (component->getPath());
}

void IntSeqPluginEditor::PatternsSettingsComponent::lookAndFeelChanged()
{
    resized();
}

void IntSeqPluginEditor::PatternsSettingsComponent::resized()
{
    defaultPatternsButtons.setSizeToFit (getWidth(), -1);
    defaultPatternsButtons.setTopLeftPosition (0, 0);
}

//==============================================================================
IntSeqPluginEditor::IntSeqPluginEditor (IntSeqPlugin& pluginToEdit, bool withSkinChoice)
    : BasePluginEditorOldStyle (pluginToEdit, withSkinChoice), plugin (pluginToEdit)
{
    bindSkinControls();

    // "Bank.TQPTRB" is a bank file already: it keeps its name, and no question is asked.
    patternFileChooser.setExtensionCaseIgnored (true);

    loadMenu.addItem (singlePatternItem, "Load pattern", false, true);
    loadMenu.addItem (patternBankItem, "Load pattern bank", false, true);
    loadMenu.addListener (this);
    saveMenu.addItem (singlePatternItem, "Save pattern", false, true);
    saveMenu.addItem (patternBankItem, "Save pattern bank", false, true);
    saveMenu.addListener (this);

    sequencerPage = std::make_unique<SequencerSettingsComponent> (plugin);
    patternsPage = std::make_unique<PatternsSettingsComponent> (plugin);
    getOptionsWindow().addPage ("Sequencer", sequencerPage.get(), -1);
    getOptionsWindow().addPage ("Patterns", patternsPage.get(), -1);

    const auto& parameters = plugin.getParameterManager();
    randomizerWasOn = isOn (parameters, Id::randomizerStateId);
    lengthModeWasOn = isOn (parameters, Id::lengthModeStateId);
    clipboardWasFull = isOn (parameters, Id::clipboardStateId);

    plugin.getSequencerClock().addListener (this);
    showSequencerStates();
}

IntSeqPluginEditor::~IntSeqPluginEditor()
{
    plugin.getSequencerClock().removeListener (this);

    if (patternNameDisplay != nullptr)
        patternNameDisplay->removeListener (static_cast<GFXDisplayListener*> (this));

    loadMenu.removeListener (this);
    saveMenu.removeListener (this);
}

void IntSeqPluginEditor::bindSkinControls()
{
    patternNumberDisplay = findControl<PatternNumberDisplay> (*this, "PatternNumberDisplay");
    patternNameDisplay = findControl<GFXDisplay> (*this, "PatternNameDisplay");
    tempoDisplay = findControl<NumericDisplay> (*this, "TempoDisplay");
    tempoKnob = findControl<GFXKnob> (*this, "TempoKnob");
    shuffleKnob = findControl<GFXKnob> (*this, "ShuffleKnob");
    shuffleDisplay = findControl<NumericDisplay> (*this, "ShuffleDisplay");
    randModeButton = findControl<GFXMultiStateButton> (*this, "PattRandModeButton");
    lengthButton = findControl<GFXMultiStateButton> (*this, "PattLengthButton");
    prevButton = findControl<GFXButton> (*this, "PattPrevButton");
    nextButton = findControl<GFXButton> (*this, "PattNextButton");

    if (patternNameDisplay != nullptr)
        patternNameDisplay->addListener (static_cast<GFXDisplayListener*> (this));
}

void IntSeqPluginEditor::handleSkinLoaded()
{
    BasePluginEditorOldStyle::handleSkinLoaded();

    // The old panel, and every control found in it, is gone.
    bindSkinControls();
    showSequencerStates();
}

//==============================================================================
void IntSeqPluginEditor::parameterChanged (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    const auto id = parameter->getId();
    const auto value = parameter->getBoolValue();

    switch (id)
    {
        case Id::internalSequencerStateId:
        case Id::internalSyncStateId:
        case Id::hostModeStateId:
        case Id::writeModeStateId:
        case Id::nativeModeReadyStateId:
        case Id::patternNameEditionStateId:
        case Id::patternTempoStateId:
            showSequencerState (id, value);
            return;

        // The hints belong to a change, not to the first announcement of a value.
        case Id::randomizerStateId:
            showSequencerState (id, value);

            if (randomizerWasOn && ! value)
                getStatusBar().clear (settingsPriority);

            randomizerWasOn = value;
            break;

        case Id::lengthModeStateId:
            showSequencerState (id, value);

            if (value && ! lengthModeWasOn)
                showSequencerHint ("Set pattern length.");

            lengthModeWasOn = value;
            return;

        case Id::clipboardStateId:
            if (value && ! clipboardWasFull)
                showSequencerHint ("Pattern has been copied to clipboard.");

            clipboardWasFull = value;
            return;

        default:
            break;
    }

    BasePluginEditorOldStyle::parameterChanged (parameter);
}

void IntSeqPluginEditor::showSequencerStates()
{
    const auto& parameters = plugin.getParameterManager();

    for (const auto id : shownStates)
        showSequencerState (id, isOn (parameters, id));
}

void IntSeqPluginEditor::showSequencerState (int id, bool value)
{
    switch (id)
    {
        case Id::internalSequencerStateId:
            enableIfPresent (patternNumberDisplay, value);
            enableIfPresent (patternNameDisplay, value);
            enableIfPresent (shuffleDisplay, value);
            break;

        case Id::internalSyncStateId:
            enableIfPresent (tempoDisplay, value);
            break;

        case Id::hostModeStateId:
            if (patternNumberDisplay != nullptr)
            {
                patternNumberDisplay->setMode (value ? PatternNumberDisplay::noteMode : PatternNumberDisplay::bankAndSlotMode);

                // A number that arrived before the mode was clamped into the old mode's range.
                patternNumberDisplay->refreshFromParameter();
            }
            break;

        case Id::writeModeStateId:
            if (shuffleDisplay != nullptr)
                shuffleDisplay->setEditable (value);

            enableIfPresent (shuffleKnob, value);
            break;

        case Id::randomizerStateId:
            if (randModeButton != nullptr)
                randModeButton->setBlinking (value);
            break;

        case Id::lengthModeStateId:
            if (lengthButton != nullptr)
                lengthButton->setBlinking (value);
            break;

        case Id::nativeModeReadyStateId:
            if (patternNameDisplay != nullptr)
                patternNameDisplay->setBlinking (value, nameReadyBlinkMs);
            break;

        case Id::patternNameEditionStateId:
            if (patternNameDisplay != nullptr)
                patternNameDisplay->setEditable (value);
            break;

        case Id::patternTempoStateId:
            if (tempoDisplay != nullptr)
                tempoDisplay->setEditable (value);

            enableIfPresent (tempoKnob, value);
            break;

        default:
            break;
    }
}

void IntSeqPluginEditor::showSequencerHint (const juce::String& text)
{
    // The dispatch has just shown the pressed button's parameter at the
    // interface's priority; the hint replaces it, but never the learn guidance.
    getStatusBar().clear (interfacePriority);
    getStatusBar().showTemporaryText (text, settingsPriority, false);
}

//==============================================================================
void IntSeqPluginEditor::controllerEventTriggered (GUIController* controller, int eventId)
{
    switch (eventId)
    {
        case IntSeqPlugin::loadPatternsEvent:
            if (plugin.isInternalSequencerOn() && prevButton != nullptr)
                loadMenu.show (prevButton, {}, juce::Justification::bottom);
            return;

        case IntSeqPlugin::savePatternsEvent:
            if (plugin.isInternalSequencerOn() && nextButton != nullptr)
                saveMenu.show (nextButton, {}, juce::Justification::bottom);
            return;

        default:
            BasePluginEditorOldStyle::controllerEventTriggered (controller, eventId);
            return;
    }
}

void IntSeqPluginEditor::displayTextChanged (GFXDisplay* display)
{
    if (display != nullptr && display == patternNameDisplay)
    {
        const auto& parameters = plugin.getParameterManager();

        // Outside edit mode the display shows the playing pattern, not the
        // edited one: an edit that ended there renames nothing.
        if (isOn (parameters, Id::patternNameEditionStateId))
            plugin.setPatternName (plugin.getCurrentPatternIndex(), display->getText());
        else
            display->setText (parameters.getText (Id::patternNameId));
    }

    BasePluginEditorOldStyle::displayTextChanged (display);
}

void IntSeqPluginEditor::clockStartedOrStopped (Clock*)
{
    plugin.updateNativeModeReadyState();
    plugin.updateStepInverseStates();
}

void IntSeqPluginEditor::clockStateChanged (Clock*)
{
    plugin.updateStepInverseStates();
}

//==============================================================================
void IntSeqPluginEditor::menuItemChosen (PopupMenuEx* menu, int itemId, bool)
{
    if (menu == &loadMenu)
        chooseFileToLoad (itemId);
    else if (menu == &saveMenu)
        chooseFileToSave (itemId);
}

void IntSeqPluginEditor::chooseFileToLoad (int item)
{
    if (item != singlePatternItem && item != patternBankItem)
        return;

    const bool bank = item == patternBankItem;

    patternFileChooser.chooseFileToOpen (bank ? "Load pattern bank" : "Load single pattern", plugin.getLastUsedFolder(),
                                         bank ? plugin.getPatternBankLoadWildcard() : plugin.getPatternLoadWildcard(),
                                         [this, bank] (const juce::File& file)
    {
        const bool loaded = bank ? plugin.loadPatternBankFile (file)
                                 : plugin.loadPatternFile (file, plugin.getCurrentPatternIndex());

        if (loaded)
            plugin.updatePatternStates();

        fileOperationDone (file, loaded, couldNotBeLoaded);
    });
}

void IntSeqPluginEditor::chooseFileToSave (int item)
{
    if (item != singlePatternItem && item != patternBankItem)
        return;

    const bool bank = item == patternBankItem;

    patternFileChooser.chooseFileToSave (bank ? "Save pattern bank" : "Save current pattern", plugin.getLastUsedFolder(),
                                         bank ? plugin.getPatternBankSaveWildcard() : plugin.getPatternSaveWildcard(),
                                         bank ? plugin.getPatternBankFileExtension() : plugin.getPatternFileExtension(),
                                         [this, bank] (const juce::File& file)
    {
        const bool saved = bank ? plugin.savePatternBankFile (file)
                                : plugin.savePatternFile (file, plugin.getCurrentPatternIndex());

        fileOperationDone (file, saved, couldNotBeSaved);
    });
}

void IntSeqPluginEditor::fileOperationDone (const juce::File& file, bool succeeded, const juce::String& failureText)
{
    if (succeeded)
        plugin.setLastUsedFolder (file.getParentDirectory());
    else
        showFileFailure (file, failureText);
}

void IntSeqPluginEditor::alertWindowResult (Ulvra::AlertWindow* window, int result)
{
    if (! patternFileChooser.handleAnswer (window, result))
        BasePluginEditorOldStyle::alertWindowResult (window, result);
}
