#pragma once

#include "editor/IntSeqPluginEditor.h"
#include "synth/Tarvelin.h"
#include "widgets/CheckBox_V2.h"
#include "widgets/RadioButtons_V2.h"

#include <array>
#include <memory>

class GFXKnob;
class GFXMultiStateButton;
class GFXSwitch;
class NumericDisplay;

/**
    The instrument's editor, the most derived layer of the editor chain. It
    keeps the instrument's own skin controls in step with its display
    parameters (which switch or knob trio shows, which lamps blink, which step
    lamp is inverted), adds the self-reset switches to the "Sequencer" page and
    the "Synthesis" page to the options window.
*/
class TarvelinEditor : public IntSeqPluginEditor,
                       public juce::Button::Listener
{
public:
    //==========================================================================
    /** The "Synthesis" page: accent velocity level and oscillator tuning, for
        this instance (applied at once) and as defaults for new ones. */
    class SynthesisSettingsComponent : public juce::Component,
                                       public RadioButtons_V2::Listener,
                                       public Parameter::Listener
    {
    public:
        static constexpr int rowGap = 10;

        explicit SynthesisSettingsComponent (Tarvelin& plugin);
        ~SynthesisSettingsComponent() override;

        RadioButtons_V2& getCurrentAccentButtons() noexcept     { return currentAccentButtons; }
        RadioButtons_V2& getDefaultAccentButtons() noexcept     { return defaultAccentButtons; }
        RadioButtons_V2& getCurrentTuningButtons() noexcept     { return currentTuningButtons; }
        RadioButtons_V2& getDefaultTuningButtons() noexcept     { return defaultTuningButtons; }

        void radioButtonsChanged (RadioButtons_V2* group) override;
        void parameterChanged (Parameter* parameter) override;
        void lookAndFeelChanged() override;
        void resized() override;

    private:
        Tarvelin& plugin;
        RadioButtons_V2 currentAccentButtons { "Current accent velocity level", { "Low (32)", "Medium (64)", "High (96)" } };
        RadioButtons_V2 defaultAccentButtons { "Default accent velocity level", { "Low (32)", "Medium (64)", "High (96)" } };
        RadioButtons_V2 currentTuningButtons { "Current oscillator tuning", { "Accurate", "Vintage", "Battery low" } };
        RadioButtons_V2 defaultTuningButtons { "Default oscillator tuning", { "Accurate", "Vintage", "Battery low" } };

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SynthesisSettingsComponent)
    };

    //==========================================================================
    static constexpr int boxHeight = 20;

    explicit TarvelinEditor (Tarvelin& plugin);
    ~TarvelinEditor() override;

    CheckBox_V2& getCurrentSelfResetBox() noexcept              { return currentSelfResetBox; }
    CheckBox_V2& getDefaultSelfResetBox() noexcept              { return defaultSelfResetBox; }
    SynthesisSettingsComponent& getSynthesisPage() noexcept     { return *synthesisPage; }

    /** Enables the default self-reset box with the default sequencer and ticks
        it from the stored default while enabled. */
    void updateDefaultSelfResetBox (bool defaultSequencerOn);

    void parameterChanged (Parameter* parameter) override;
    void buttonClicked (juce::Button* button) override;
    void handleSkinLoaded() override;
    void lookAndFeelChanged() override;

private:
    void bindSkinControls();

    /** Shows every display parameter on the skin's controls, as after a change of each. */
    void showInstrumentStates();

    /** True when the id ends here and goes no further down the chain. */
    bool showInstrumentState (int id, bool value);

    Tarvelin& plugin;
    CheckBox_V2 currentSelfResetBox { "Self Reset Mode" };
    CheckBox_V2 defaultSelfResetBox { "Self Reset Mode" };
    std::unique_ptr<SynthesisSettingsComponent> synthesisPage;
    CheckBox_V2* defaultSequencerBox = nullptr;

    NumericDisplay* arpeShuffleDisplay = nullptr;
    GFXSwitch* arpeRepeaterSwitch = nullptr;
    GFXSwitch* arpeMultiplierSwitch = nullptr;
    GFXSwitch* arpeChordSwitch = nullptr;
    GFXSwitch* randChordSwitch = nullptr;
    GFXMultiStateButton* octaveDownButton = nullptr;
    GFXMultiStateButton* octaveUpButton = nullptr;
    GFXMultiStateButton* gateButton = nullptr;
    GFXMultiStateButton* accentButton = nullptr;
    GFXMultiStateButton* slideButton = nullptr;
    GFXMultiStateButton* randNotesButton = nullptr;
    std::array<GFXKnob*, 3> levelKnobs {};          // gate, accent, slide
    std::array<GFXKnob*, 3> thresholdKnobs {};
    std::array<GFXMultiStateButton*, TarvelinIds::numKeys> noteKeys {};
    std::array<GFXMultiStateButton*, TarvelinIds::numSteps> lengthLeds {};
    std::array<GFXMultiStateButton*, TarvelinIds::numSteps> stepLeds {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarvelinEditor)
};
