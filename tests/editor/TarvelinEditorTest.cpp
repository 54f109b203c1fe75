#include "InstrumentEditorSupport.h"

#include "editor/AboutWindow.h"
#include "framework/GuiEventsMap.h"

#include "skin/GFXDisplay.h"
#include "skin/GFXKnob.h"
#include "skin/GFXMultiStateButton.h"
#include "skin/GFXPanel.h"
#include "skin/GFXSwitch.h"
#include "support/PixelProbe.h"
#include "support/StripFrames.h"
#include "support/UiEvents.h"

#include <cmath>
#include <functional>
#include <map>
#include <vector>

/*  The instrument's editor layer: its skin controls following the display
    parameters, the self-reset switches on the "Sequencer" page, the
    "Synthesis" page, and the windows it sizes.
*/
namespace
{
using namespace TarvelinIds;
using Seq = IntSeqPlugin;
using Fixture = InstrumentEditorFixture;

struct Reaction
{
    int id;
    juce::String shows;
    std::function<bool (Fixture&)> observed;   // follows the parameter's value
};

juce::String twoDigits (int number)
{
    return juce::String (number).paddedLeft ('0', 2);
}

std::vector<Reaction> instrumentReactions()
{
    const auto visible = [] (const char* name) { return [n = juce::String (name)] (Fixture& f) { return f.control<juce::Component> (n).isVisible(); }; };
    const auto hidden = [] (const char* name) { return [n = juce::String (name)] (Fixture& f) { return ! f.control<juce::Component> (n).isVisible(); }; };
    const auto enabled = [] (const char* name) { return [n = juce::String (name)] (Fixture& f) { return f.control<juce::Component> (n).isEnabled(); }; };
    const auto blinking = [] (juce::String name) { return [name] (Fixture& f) { return f.control<GFXMultiStateButton> (name).isBlinking(); }; };

    std::vector<Reaction> rows = {
        { arpOnState, "arp shuffle display enabled", enabled ("ArpeShuffleDisplay") },
        { arpRepeaterView, "repeater switch shown", visible ("ArpeRepeaterSwitch") },
        { arpRepeaterView, "multiplier switch hidden", hidden ("ArpeMultiplierSwitch") },
        { Seq::randomizerStateId, "arp chord switch hidden", hidden ("ArpeChordSwitch") },
        { Seq::randomizerStateId, "random chord switch shown", visible ("RandChordSwitch") },
        { octaveDownBlinking, "octave down blinking", blinking ("OctaveDownButton") },
        { octaveUpBlinking, "octave up blinking", blinking ("OctaveUpButton") },
        { gateBlinking, "gate blinking", blinking ("GateButton") },
        { accentBlinking, "accent blinking", blinking ("AccentButton") },
        { slideBlinking, "slide blinking", blinking ("SlideButton") },
        { randNotesBlinking, "random notes blinking", blinking ("RandNotesButton") },
        { selfResetState, "current self reset ticked", [] (Fixture& f) { return f.editor.getCurrentSelfResetBox().isChecked(); } },
        { Seq::internalSequencerStateId, "current self reset enabled", [] (Fixture& f) { return f.editor.getCurrentSelfResetBox().isEnabled(); } },
    };

    for (const auto* knob : { "Gate", "Accent", "Slide" })
    {
        const juce::String level = juce::String (knob) + "LevelKnob", threshold = juce::String (knob) + "ThresholdKnob";
        rows.push_back ({ levelEditState, level + " shown", visible (level.toRawUTF8()) });
        rows.push_back ({ levelEditState, threshold + " hidden", hidden (threshold.toRawUTF8()) });
        rows.push_back ({ thresholdsEnabled, threshold + " enabled", enabled (threshold.toRawUTF8()) });
    }

    const char* const keys[] = { "NoteCButton", "NoteC_Button", "NoteDButton", "NoteD_Button", "NoteEButton", "NoteFButton", "NoteF_Button",
                                 "NoteGButton", "NoteG_Button", "NoteAButton", "NoteA_Button", "NoteBButton", "NoteC1Button" };

    for (int k = 0; k < numKeys; ++k)
        rows.push_back ({ keyBlinking (k), juce::String (keys[k]) + " blinking", blinking (keys[k]) });

    for (int i = 1; i <= numSteps; ++i)
        rows.push_back ({ Seq::lengthModeStateId, "PattLen" + twoDigits (i) + "Led blinking", blinking ("PattLen" + twoDigits (i) + "Led") });

    // Step i's inverse state inverts its own lamp and no other.
    for (int i = 0; i < numSteps; ++i)
        rows.push_back ({ Seq::firstStepInverseId + i, "only step lamp " + juce::String (i + 1) + " inverted", [i] (Fixture& f)
        {
            for (int j = 0; j < numSteps; ++j)
                if (j != i && f.control<GFXMultiStateButton> ("PattStepNum" + twoDigits (j + 1) + "Led").isInverted())
                    return false;

            return f.control<GFXMultiStateButton> ("PattStepNum" + twoDigits (i + 1) + "Led").isInverted();
        } });

    return rows;
}

/** The instrument's output for one note at middle C, sequencer off. */
std::vector<float> renderNote (Tarvelin& plugin)
{
    InstrumentTest::switchSequencerOff (plugin);
    const auto rendered = InstrumentTest::render (plugin, 8192, 512, { InstrumentTest::noteOn (0, 60) });
    return rendered.channels[0];
}
} // namespace

TEST_F (InstrumentEditorFixture, InstrumentControlsFollowTheDisplayParameters)
{
    for (const auto& reaction : instrumentReactions())
    {
        for (const bool value : { true, false, true, false })
        {
            setState (reaction.id, value);
            EXPECT_EQ (reaction.observed (*this), value) << reaction.id << ": " << reaction.shows << " while " << (value ? "on" : "off");
        }
    }
}

TEST_F (InstrumentEditorFixture, ASkinWithoutTheRandomChordSwitchStillLoadsAndTheRandomizerOnlyHidesTheArpChord)
{
    installDefaultSkinAs (editor, "NoRandChord", [] (juce::XmlElement& xml) { removeControlNamed (xml, "RandChordSwitch"); });
    ASSERT_TRUE (editor.loadSkin ("NoRandChord"));
    EXPECT_EQ (find<juce::Component> ("RandChordSwitch"), nullptr);

    // The controls of the new panel are the ones that follow.
    setState (Seq::randomizerStateId, true);
    EXPECT_FALSE (control<GFXSwitch> ("ArpeChordSwitch").isVisible());
    EXPECT_TRUE (control<GFXMultiStateButton> ("PattRandModeButton").isBlinking());

    setState (Seq::randomizerStateId, false);
    EXPECT_TRUE (control<GFXSwitch> ("ArpeChordSwitch").isVisible());

    // A state set before the new panel came shows on it at once.
    setState (levelEditState, true);
    ASSERT_TRUE (editor.loadSkin ({}));
    EXPECT_TRUE (control<GFXKnob> ("GateLevelKnob").isVisible());
    EXPECT_FALSE (control<GFXKnob> ("GateThresholdKnob").isVisible());
}

TEST_F (InstrumentEditorFixture, ASkinWithoutThePrevButtonOpensOnlyTheSaveMenu)
{
    installDefaultSkinAs (editor, "NoPrev", [] (juce::XmlElement& xml) { removeControlNamed (xml, "PattPrevButton"); });
    ASSERT_TRUE (editor.loadSkin ("NoPrev"));

    trigger (Seq::loadPatternsEvent);
    trigger (Seq::savePatternsEvent);
    EXPECT_FALSE (editor.getLoadMenu().isOpen());
    EXPECT_TRUE (editor.getSaveMenu().isOpen());
    EXPECT_EQ (editor.getSaveMenu().getParentName(), "PattNextButton");
}

TEST_F (InstrumentEditorFixture, TheSelfResetSwitchesAreTheFifthBoxOfBothPanels)
{
    auto& page = editor.getSequencerPage();
    auto& current = editor.getCurrentSelfResetBox();
    auto& standard = editor.getDefaultSelfResetBox();

    for (auto* box : { &current, &standard })
    {
        auto* column = box->getParentComponent();
        ASSERT_NE (column, nullptr);
        EXPECT_EQ (column->getIndexOfChildComponent (box), 4);
        EXPECT_EQ (box->getButtonText(), "Self Reset Mode");
    }

    EXPECT_TRUE (page.getCurrentPanel().isParentOf (&current));
    EXPECT_TRUE (page.getDefaultPanel().isParentOf (&standard));

    // The current switch acts on the instrument; it is ticked while the sequencer resets.
    ASSERT_TRUE (current.isChecked());
    clickButton (current);
    EXPECT_FALSE (plugin.isSelfResetOn());
    EXPECT_FALSE (current.isChecked());

    // The default switch goes grey with the default sequencer and comes back with what was stored.
    using Page = IntSeqPluginEditor::SequencerSettingsComponent;
    ASSERT_TRUE (standard.isEnabled() && standard.isChecked());
    clickButton (page.getDefaultBox (Page::internalSequencerSwitch));
    EXPECT_FALSE (standard.isEnabled());
    EXPECT_FALSE (standard.isChecked());
    EXPECT_TRUE (plugin.getDefaultSelfReset());

    clickButton (page.getDefaultBox (Page::internalSequencerSwitch));
    EXPECT_TRUE (standard.isEnabled() && standard.isChecked());
    clickButton (standard);
    EXPECT_FALSE (plugin.getDefaultSelfReset());
}

TEST_F (InstrumentEditorFixture, TheAboutWindowIsSmallerButShowsEveryLineOfTheCredits)
{
    trigger (GuiEventsMap::aboutEvent);
    const auto& about = editor.getAboutWindow();
    ASSERT_EQ (about.getBounds().getWidth(), 550);
    ASSERT_EQ (about.getBounds().getHeight(), 300);

    const auto& credits = about.getCredits();
    EXPECT_LE (credits.getTextLabel().getBottom(), credits.getHeight());
    EXPECT_LE (credits.getBottom(), about.getHeight());
}

//==============================================================================
TEST_F (InstrumentEditorFixture, TheSynthesisPageFollowsTheCurrentSettingsAndStoresTheDefaults)
{
    auto& page = editor.getSynthesisPage();
    EXPECT_EQ (page.getCurrentAccentButtons().getSelectedIndex(), plugin.getAccentVelocityLevel());
    EXPECT_EQ (page.getDefaultTuningButtons().getSelectedIndex(), plugin.getDefaultOscillatorTuning());

    clickButton (*page.getCurrentAccentButtons().getButton (2));
    EXPECT_EQ (plugin.getAccentVelocityLevel(), 2);
    EXPECT_EQ (plugin.getDefaultAccentVelocityLevel(), 1);

    clickButton (*page.getDefaultAccentButtons().getButton (0));
    EXPECT_EQ (plugin.getDefaultAccentVelocityLevel(), 0);
    EXPECT_EQ (plugin.getAccentVelocityLevel(), 2);

    // A setting changed elsewhere (a restored state) shows on the page.
    plugin.setOscillatorTuning (0);
    plugin.setAccentVelocityLevel (1);
    dispatchPendingMessages();
    EXPECT_EQ (page.getCurrentTuningButtons().getSelectedIndex(), 0);
    EXPECT_EQ (page.getCurrentAccentButtons().getSelectedIndex(), 1);
}

TEST (SynthesisPage, BatteryLowRetunesTheVoiceAtOnceOnlyAsTheCurrentTuning)
{
    const auto renderWithTuning = [] (const char* group)
    {
        auto instrument = InstrumentTest::createInstrument();
        auto& page = dynamic_cast<TarvelinEditor&> (*instrument->getPersistentEditor()).getSynthesisPage();
        auto& buttons = juce::String (group) == "current" ? page.getCurrentTuningButtons() : page.getDefaultTuningButtons();

        if (juce::String (group) != "none")
            clickButton (*buttons.getButton (2));

        return renderNote (*instrument);
    };

    const auto untouched = renderWithTuning ("none");
    const auto current = renderWithTuning ("current");
    const auto asDefault = renderWithTuning ("default");

    ASSERT_FALSE (untouched.empty());
    EXPECT_NE (current, untouched);
    EXPECT_EQ (asDefault, untouched);
}

TEST_F (InstrumentEditorFixture, EveryKnobAndSwitchShowsItsParameterAfterAPresetChange)
{
    // The skin's image-strip knobs and switches that show now (a level knob
    // and its threshold knob share a place), each with its parameter.
    std::vector<BaseGFXSlider*> controls;
    std::function<void (juce::Component&)> collect = [&] (juce::Component& component)
    {
        for (auto* child : component.getChildren())
        {
            auto* slider = dynamic_cast<BaseGFXSlider*> (child);

            if (slider != nullptr && (dynamic_cast<GFXKnob*> (child) != nullptr || dynamic_cast<GFXSwitch*> (child) != nullptr)
                && slider->hasImage() && slider->getParameter() != nullptr && child->isVisible())
                controls.push_back (slider);

            if (child->isVisible())
                collect (*child);
        }
    };
    collect (*editor.getMainPanel());
    ASSERT_GE (controls.size(), 20u);

    const auto shownFrame = [] (BaseGFXSlider& control)
    {
        if (auto* knob = dynamic_cast<GFXKnob*> (&control))
            return StripFrames::findShownFrame (*knob, renderComponent (*knob)).frame;

        return StripFrames::findShownFrame (dynamic_cast<GFXSwitch&> (control), renderComponent (control)).frame;
    };

    std::map<BaseGFXSlider*, int> framesBefore;

    for (auto* control : controls)
        framesBefore[control] = shownFrame (*control);

    trigger (GuiEventsMap::selectNextPresetEvent);
    ASSERT_EQ (plugin.getCurrentPresetIndex(), 1);

    int moved = 0;

    for (auto* control : controls)
    {
        const auto frame = shownFrame (*control);
        EXPECT_EQ (frame, StripFrames::expectedFrame (*control))
            << control->getName() << " (" << control->getParameter()->getName() << ", "
            << (control->isEnabled() ? "enabled" : "disabled") << ")";
        moved += frame != framesBefore[control] ? 1 : 0;
    }

    EXPECT_GE (moved, 5) << "the second preset moves the knobs";
}

TEST_F (InstrumentEditorFixture, NoSkinControlAsksForTheKeyboardSoNoActivationOrTabHandsItOne)
{
    // The displays that can be edited (the preset name always, the pattern
    // name, tempo and shuffle in write mode) are editable now.
    trigger (IntSeqPlugin::toggleInternalSyncEvent);
    trigger (IntSeqPlugin::togglePatternWriteModeEvent);
    ASSERT_TRUE (control<GFXDisplay> ("PresetNameDisplay").isEditable());
    ASSERT_TRUE (control<GFXDisplay> ("PatternNameDisplay").isEditable());

    // The toolkit hands the keyboard of an activated window, and the tab key's
    // next stop, to a component that asks for it: none of the panel's may.
    int checked = 0;
    std::function<void (juce::Component&)> check = [&] (juce::Component& component)
    {
        for (auto* child : component.getChildren())
        {
            EXPECT_FALSE (child->getWantsKeyboardFocus()) << child->getName() << " asks for the keyboard";
            ++checked;
            check (*child);
        }
    };
    check (*editor.getMainPanel());
    EXPECT_GE (checked, 100);

    // A display's keys are the host's outside an edit.
    EXPECT_FALSE (control<GFXDisplay> ("PresetNameDisplay").keyPressed (juce::KeyPress (' ', {}, ' ')));
    EXPECT_FALSE (control<GFXDisplay> ("PresetNameDisplay").keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
}
