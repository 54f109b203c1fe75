#pragma once

#include "editor/BasePluginEditorOldStyle.h"
#include "editor/EditorFileChooser.h"
#include "synth/Clock.h"
#include "synth/IntSeqPlugin.h"
#include "widgets/CheckBox_V2.h"
#include "widgets/ComponentRow.h"
#include "widgets/DefaultResourcesRadioButtons.h"
#include "widgets/PanelComponent.h"
#include "widgets/PopupMenuEx.h"
#include "widgets/RadioButtons_V2.h"

#include <memory>

class GFXButton;
class GFXDisplay;
class GFXKnob;
class GFXMultiStateButton;
class NumericDisplay;
class PatternNumberDisplay;

/**
    The editor layer of the pattern sequencer. It keeps the skin's pattern
    displays and buttons in step with the sequencer's state parameters, opens
    the pattern load and save menus with their file dialogs, follows the
    sequencer clock for the playing-step lamps, and adds the "Sequencer" and
    "Patterns" pages to the options window.

    The displays' values follow their parameters through the skin's links; this
    layer only enables, unlocks, blinks and switches them.
*/
class IntSeqPluginEditor : public BasePluginEditorOldStyle,
                           public Clock::Listener,
                           public PopupMenuEx::Listener
{
public:
    //==========================================================================
    /** The "Sequencer" page: the sequencer's switches for this instance and as
        defaults for new ones, and how a host start is detected. */
    class SequencerSettingsComponent : public juce::Component,
                                       public juce::Button::Listener,
                                       public RadioButtons_V2::Listener,
                                       public Parameter::Listener
    {
    public:
        /** The four switches of each panel, top to bottom. */
        enum Switch
        {
            internalSequencerSwitch,
            internalSyncSwitch,
            hostModeSwitch,
            noteOffModeSwitch,
            numSwitches
        };

        static constexpr int boxHeight = 20;
        static constexpr int panelGap = 6;
        static constexpr int groupGap = 10;

        explicit SequencerSettingsComponent (IntSeqPlugin& plugin);
        ~SequencerSettingsComponent() override;

        /** Appends a setting below a panel's four boxes (the instrument's own switches). */
        void addCurrentSetting (juce::Component& setting);
        void addDefaultSetting (juce::Component& setting);

        /** Enables and ticks the boxes from the plug-in's switches and defaults. */
        void updateBoxes();

        CheckBox_V2& getCurrentBox (Switch which) noexcept      { return *current.boxes[which]; }
        CheckBox_V2& getDefaultBox (Switch which) noexcept      { return *defaults.boxes[which]; }
        PanelComponent& getCurrentPanel() noexcept              { return current.panel; }
        PanelComponent& getDefaultPanel() noexcept              { return defaults.panel; }
        RadioButtons_V2& getHostPlayDetectionButtons() noexcept { return hostPlayDetectionButtons; }

        void buttonClicked (juce::Button* button) override;
        void radioButtonsChanged (RadioButtons_V2* group) override;
        void parameterChanged (Parameter* parameter) override;
        void lookAndFeelChanged() override;
        void resized() override;

    private:
        /** A captioned column of check boxes. */
        struct SettingsPanel
        {
            explicit SettingsPanel (const juce::String& caption);

            void add (juce::Component& setting);
            void layout();

            PanelComponent panel;
            ComponentRow column { ComponentRow::topToBottom, ComponentRow::alignStart };
            CheckBox_V2 internalSequencerBox { "Use internal sequencer" };
            CheckBox_V2 internalSyncBox { "Use internal clock" };
            CheckBox_V2 hostModeBox { "Host Mode" };
            CheckBox_V2 noteOffModeBox { "Note Off Mode" };
            CheckBox_V2* boxes[numSwitches] { &internalSequencerBox, &internalSyncBox, &hostModeBox, &noteOffModeBox };
        };

        void currentBoxClicked (Switch which, bool checked);
        void defaultBoxClicked (Switch which, bool checked);

        IntSeqPlugin& plugin;
        SettingsPanel current { "Current settings" };
        SettingsPanel defaults { "Default settings" };
        RadioButtons_V2 hostPlayDetectionButtons { "Host play detection", { "By transport change", "By lowest C note" } };

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SequencerSettingsComponent)
    };

    //==========================================================================
    /** The "Patterns" page: which patterns a new instance starts with. */
    class PatternsSettingsComponent : public juce::Component,
                                      public RadioButtons_V2::Listener,
                                      public PathComponent::Listener
    {
    public:
        explicit PatternsSettingsComponent (IntSeqPlugin& plugin);
        ~PatternsSettingsComponent() override;

        DefaultResourcesRadioButtons& getDefaultPatternsButtons() noexcept { return defaultPatternsButtons; }

        void radioButtonsChanged (RadioButtons_V2* group) override;
        void pathChanged (PathComponent* component) override;
        void lookAndFeelChanged() override;
        void resized() override;

    private:
        IntSeqPlugin& plugin;
        DefaultResourcesRadioButtons defaultPatternsButtons { "Default patterns", { "Factory patterns", "Clear patterns", "User defined" } };

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PatternsSettingsComponent)
    };

    //==========================================================================
    /** Items of the two pattern menus. */
    enum MenuItem
    {
        singlePatternItem = 0,
        patternBankItem = 1
    };

    static constexpr int nameReadyBlinkMs = 200;

    IntSeqPluginEditor (IntSeqPlugin& plugin, bool skinChoiceEnabled);
    ~IntSeqPluginEditor() override;

    PopupMenuEx& getLoadMenu() noexcept                             { return loadMenu; }
    PopupMenuEx& getSaveMenu() noexcept                             { return saveMenu; }
    EditorFileChooser& getPatternFileChooser() noexcept             { return patternFileChooser; }
    SequencerSettingsComponent& getSequencerPage() noexcept         { return *sequencerPage; }
    PatternsSettingsComponent& getPatternsPage() noexcept           { return *patternsPage; }

    //==========================================================================
    void parameterChanged (Parameter* parameter) override;
    void controllerEventTriggered (GUIController* controller, int eventId) override;
    void handleSkinLoaded() override;
    void displayTextChanged (GFXDisplay* display) override;
    void alertWindowResult (Ulvra::AlertWindow* window, int result) override;

    void clockStartedOrStopped (Clock* clock) override;
    void clockStateChanged (Clock* clock) override;
    void menuItemChosen (PopupMenuEx* menu, int itemId, bool itemWasTicked) override;

private:
    void bindSkinControls();

    /** Shows every sequencer state on the skin's controls, as after a change of each. */
    void showSequencerStates();
    void showSequencerState (int id, bool value);

    /** A hint the status bar shows for 3000 ms over the pressed control's text. */
    void showSequencerHint (const juce::String& text);

    void chooseFileToLoad (int item);
    void chooseFileToSave (int item);
    void fileOperationDone (const juce::File& file, bool succeeded, const juce::String& failureText);

    IntSeqPlugin& plugin;

    PatternNumberDisplay* patternNumberDisplay = nullptr;
    GFXDisplay* patternNameDisplay = nullptr;
    NumericDisplay* tempoDisplay = nullptr;
    GFXKnob* tempoKnob = nullptr;
    GFXKnob* shuffleKnob = nullptr;
    NumericDisplay* shuffleDisplay = nullptr;
    GFXMultiStateButton* randModeButton = nullptr;
    GFXMultiStateButton* lengthButton = nullptr;
    GFXButton* prevButton = nullptr;
    GFXButton* nextButton = nullptr;

    PopupMenuEx loadMenu { "Load Patterns" };
    PopupMenuEx saveMenu { "Save Patterns" };
    std::unique_ptr<PatternsSettingsComponent> patternsPage;
    std::unique_ptr<SequencerSettingsComponent> sequencerPage;
    EditorFileChooser patternFileChooser { *this, *this };

    // The states last heard, so that a hint follows a change only.
    bool randomizerWasOn = false, lengthModeWasOn = false, clipboardWasFull = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IntSeqPluginEditor)
};
