#include "editor/TarvelinEditor.h"

#include "editor/AboutWindow.h"
#include "editor/OptionsWindow.h"
#include "skin/GFXKnob.h"
#include "skin/GFXMultiStateButton.h"
#include "skin/GFXSwitch.h"
#include "skin/NumericDisplay.h"

namespace
{
using namespace TarvelinIds;

constexpr int aboutWidth = 550, aboutHeight = 300;
constexpr int optionsWidth = 640, optionsHeight = 480;

// The display parameters this layer shows, besides the ranges of key blinks and step inversions.
constexpr int shownStates[] = { selfResetState, IntSeqPlugin::internalSequencerStateId, arpOnState, arpRepeaterView,
                                IntSeqPlugin::randomizerStateId, octaveDownBlinking, octaveUpBlinking, gateBlinking,
                                accentBlinking, slideBlinking, randNotesBlinking, thresholdsEnabled, levelEditState,
                                IntSeqPlugin::lengthModeStateId };

const char* const noteKeyNames[numKeys] = { "NoteCButton", "NoteC_Button", "NoteDButton", "NoteD_Button", "NoteEButton",
                                            "NoteFButton", "NoteF_Button", "NoteGButton", "NoteG_Button", "NoteAButton",
                                            "NoteA_Button", "NoteBButton", "NoteC1Button" };

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

void showIfPresent (juce::Component* control, bool visible)
{
    if (control != nullptr)
        control->setVisible (visible);
}

void blinkIfPresent (BlinkingComponent* control, bool blinking)
{
    if (control != nullptr)
        control->setBlinking (blinking);
}

template <typename Control>
Control* findControl (const BasePluginEditor& editor, const juce::String& name)
{
    return dynamic_cast<Control*> (editor.findChildComponentByName (name, true));
}

juce::String twoDigits (int number)
{
    return juce::String (number).paddedLeft ('0', 2);
}
} // namespace

//==============================================================================
TarvelinEditor::SynthesisSettingsComponent::SynthesisSettingsComponent (Tarvelin& pluginToUse)
    : plugin (pluginToUse)
{
    for (auto* group : { &currentAccentButtons, &defaultAccentButtons, &currentTuningButtons, &defaultTuningButtons })
    {
        group->addListener (this);
        addAndMakeVisible (*group);
    }

    defaultAccentButtons.setSelectedIndex (plugin.getDefaultAccentVelocityLevel(), true);
    defaultTuningButtons.setSelectedIndex (plugin.getDefaultOscillatorTuning(), true);

    auto& parameters = plugin.getParameterManager();

    for (const auto id : { TarvelinIds::accentVelocityLevel, TarvelinIds::oscillatorTuning })
    {
        parameters.addAsyncListener (id, this);

        if (auto* parameter = parameters.getParameter (id))
            parameterChanged (parameter);
    }
}

TarvelinEditor::SynthesisSettingsComponent::~SynthesisSettingsComponent()
{
    auto& parameters = plugin.getParameterManager();
    parameters.removeAsyncListener (TarvelinIds::accentVelocityLevel, this);
    parameters.removeAsyncListener (TarvelinIds::oscillatorTuning, this);
}

void TarvelinEditor::SynthesisSettingsComponent::radioButtonsChanged (RadioButtons_V2* group)
{
    const auto index = group->getSelectedIndex();

    if (index < 0)
        return;

    if (group == &currentAccentButtons)
        plugin.setAccentVelocityLevel (index);
    else if (group == &defaultAccentButtons)
        plugin.setDefaultAccentVelocityLevel (index);
    else if (group == &currentTuningButtons)
        plugin.setOscillatorTuning (index);
    else if (group == &defaultTuningButtons)
        plugin.setDefaultOscillatorTuning (index);
}

void TarvelinEditor::SynthesisSettingsComponent::parameterChanged (Parameter* parameter)
{
    const auto index = juce::roundToInt (parameter->getNormalisedValue() * 2.0f);

    if (parameter->getId() == TarvelinIds::accentVelocityLevel)
        currentAccentButtons.setSelectedIndex (index, false);
    else if (parameter->getId() == TarvelinIds::oscillatorTuning)
        currentTuningButtons.setSelectedIndex (index, false);
}

void TarvelinEditor::SynthesisSettingsComponent::lookAndFeelChanged()
{
    resized();
}

void TarvelinEditor::SynthesisSettingsComponent::resized()
{
    const auto groupWidth = getWidth() / 2 - 3;
    const auto rightColumn = getWidth() / 2 + 3;

    currentAccentButtons.setSizeToFit (groupWidth, -1);
    currentAccentButtons.setTopLeftPosition (0, 0);
    defaultAccentButtons.setSizeToFit (groupWidth, -1);
    defaultAccentButtons.setTopLeftPosition (rightColumn, 0);

    const auto secondRow = juce::jmin (currentAccentButtons.getHeight() + rowGap, getHeight());
    currentTuningButtons.setSizeToFit (groupWidth, -1);
    currentTuningButtons.setTopLeftPosition (0, secondRow);
    defaultTuningButtons.setSizeToFit (groupWidth, -1);
    defaultTuningButtons.setTopLeftPosition (rightColumn, secondRow);
}

//==============================================================================
TarvelinEditor::TarvelinEditor (Tarvelin& pluginToEdit)
    : IntSeqPluginEditor (pluginToEdit, false), plugin (pluginToEdit)
{
    getAboutWindow().setSize (aboutWidth, aboutHeight);
    getOptionsWindow().setSize (optionsWidth, optionsHeight);

    bindSkinControls();

    currentSelfResetBox.addListener (this);
    defaultSelfResetBox.addListener (this);
    defaultSequencerBox = &getSequencerPage().getDefaultBox (SequencerSettingsComponent::internalSequencerSwitch);
    defaultSequencerBox->addListener (this);
    updateDefaultSelfResetBox (plugin.getDefaultInternalSequencer());

    getSequencerPage().addCurrentSetting (currentSelfResetBox);
    getSequencerPage().addDefaultSetting (defaultSelfResetBox);

    synthesisPage = std::make_unique<SynthesisSettingsComponent> (plugin);
    getOptionsWindow().addPage ("Synthesis", synthesisPage.get(), -1);

    showInstrumentStates();
}

TarvelinEditor::~TarvelinEditor()
{
    defaultSequencerBox->removeListener (this);
    synthesisPage.reset();
}

void TarvelinEditor::bindSkinControls()
{
    arpeShuffleDisplay = findControl<NumericDisplay> (*this, "ArpeShuffleDisplay");
    arpeRepeaterSwitch = findControl<GFXSwitch> (*this, "ArpeRepeaterSwitch");
    arpeMultiplierSwitch = findControl<GFXSwitch> (*this, "ArpeMultiplierSwitch");
    arpeChordSwitch = findControl<GFXSwitch> (*this, "ArpeChordSwitch");
    randChordSwitch = findControl<GFXSwitch> (*this, "RandChordSwitch");
    octaveDownButton = findControl<GFXMultiStateButton> (*this, "OctaveDownButton");
    octaveUpButton = findControl<GFXMultiStateButton> (*this, "OctaveUpButton");
    gateButton = findControl<GFXMultiStateButton> (*this, "GateButton");
    accentButton = findControl<GFXMultiStateButton> (*this, "AccentButton");
    slideButton = findControl<GFXMultiStateButton> (*this, "SlideButton");
    randNotesButton = findControl<GFXMultiStateButton> (*this, "RandNotesButton");

    const char* const levels[] = { "GateLevelKnob", "AccentLevelKnob", "SlideLevelKnob" };
    const char* const thresholds[] = { "GateThresholdKnob", "AccentThresholdKnob", "SlideThresholdKnob" };

    for (size_t k = 0; k < levelKnobs.size(); ++k)
    {
        levelKnobs[k] = findControl<GFXKnob> (*this, levels[k]);
        thresholdKnobs[k] = findControl<GFXKnob> (*this, thresholds[k]);
    }

    for (size_t k = 0; k < noteKeys.size(); ++k)
        noteKeys[k] = findControl<GFXMultiStateButton> (*this, noteKeyNames[k]);

    for (size_t i = 0; i < stepLeds.size(); ++i)
    {
        const auto number = twoDigits (static_cast<int> (i) + 1);
        lengthLeds[i] = findControl<GFXMultiStateButton> (*this, "PattLen" + number + "Led");
        stepLeds[i] = findControl<GFXMultiStateButton> (*this, "PattStepNum" + number + "Led");
    }
}

void TarvelinEditor::handleSkinLoaded()
{
    IntSeqPluginEditor::handleSkinLoaded();
    bindSkinControls();
    showInstrumentStates();
}

void TarvelinEditor::lookAndFeelChanged()
{
    IntSeqPluginEditor::lookAndFeelChanged();
    currentSelfResetBox.fitToText (boxHeight);
    defaultSelfResetBox.fitToText (boxHeight);
}

//==============================================================================
void TarvelinEditor::updateDefaultSelfResetBox (bool defaultSequencerOn)
{
    defaultSelfResetBox.setEnabled (defaultSequencerOn);
    defaultSelfResetBox.setChecked (defaultSequencerOn && plugin.getDefaultSelfReset(), juce::dontSendNotification);
}

void TarvelinEditor::buttonClicked (juce::Button* button)
{
    if (button == defaultSequencerBox)
        updateDefaultSelfResetBox (defaultSequencerBox->isChecked());
    else if (button == &currentSelfResetBox)
        plugin.setSelfReset (currentSelfResetBox.isChecked());
    else if (button == &defaultSelfResetBox)
        plugin.setDefaultSelfReset (defaultSelfResetBox.isChecked());
}

void TarvelinEditor::parameterChanged (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    if (! showInstrumentState (parameter->getId(), parameter->getBoolValue()))
        IntSeqPluginEditor::parameterChanged (parameter);
}

void TarvelinEditor::showInstrumentStates()
{
    const auto& parameters = plugin.getParameterManager();

    for (const auto id : shownStates)
        showInstrumentState (id, isOn (parameters, id));

    for (int k = 0; k < numKeys; ++k)
        showInstrumentState (keyBlinking (k), isOn (parameters, keyBlinking (k)));

    for (int i = 0; i < numSteps; ++i)
        showInstrumentState (IntSeqPlugin::firstStepInverseId + i, isOn (parameters, IntSeqPlugin::firstStepInverseId + i));
}

bool TarvelinEditor::showInstrumentState (int id, bool value)
{
    if (id >= keyBlinkingFirst && id < keyBlinkingFirst + numKeys)
    {
        blinkIfPresent (noteKeys[static_cast<size_t> (id - keyBlinkingFirst)], value);
        return false;
    }

    if (id >= IntSeqPlugin::firstStepInverseId && id < IntSeqPlugin::firstStepInverseId + numSteps)
    {
        if (auto* led = stepLeds[static_cast<size_t> (id - IntSeqPlugin::firstStepInverseId)])
            led->setInverted (value);

        return false;
    }

    switch (id)
    {
        case selfResetState:
            currentSelfResetBox.setChecked (value, juce::dontSendNotification);
            return false;

        case IntSeqPlugin::internalSequencerStateId:
            currentSelfResetBox.setEnabled (value);
            return false;

        case arpOnState:
            enableIfPresent (arpeShuffleDisplay, value);
            return true;

        case arpRepeaterView:
            showIfPresent (arpeRepeaterSwitch, value);
            showIfPresent (arpeMultiplierSwitch, ! value);
            return true;

        case IntSeqPlugin::randomizerStateId:
            showIfPresent (arpeChordSwitch, ! value);
            showIfPresent (randChordSwitch, value);
            return false;

        case octaveDownBlinking:    blinkIfPresent (octaveDownButton, value); return true;
        case octaveUpBlinking:      blinkIfPresent (octaveUpButton, value); return true;
        case gateBlinking:          blinkIfPresent (gateButton, value); return true;
        case accentBlinking:        blinkIfPresent (accentButton, value); return true;
        case slideBlinking:         blinkIfPresent (slideButton, value); return true;
        case randNotesBlinking:     blinkIfPresent (randNotesButton, value); return true;

        case thresholdsEnabled:
            for (auto* knob : thresholdKnobs)
                enableIfPresent (knob, value);

            return false;

        case levelEditState:
            // The level knobs and the threshold knobs share their places on the panel.
            for (size_t k = 0; k < levelKnobs.size(); ++k)
            {
                showIfPresent (levelKnobs[k], value);
                showIfPresent (thresholdKnobs[k], ! value);
            }

            return false;

        case IntSeqPlugin::lengthModeStateId:
            for (auto* led : lengthLeds)
                blinkIfPresent (led, value);

            return false;

        default:
            return false;
    }
}
