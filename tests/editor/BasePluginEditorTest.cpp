#include "EditorTestSupport.h"

#include "editor/AboutWindow.h"
#include "editor/BasePluginEditorOldStyle.h"
#include "editor/MidiControlComponent.h"
#include "editor/OptionsWindow.h"
#include "skin/GFXAnimation.h"
#include "skin/GFXMultiStateButton.h"
#include "skin/GFXPanel.h"
#include "support/InstrumentTestSupport.h"
#include "support/MessageQueue.h"
#include "support/ScriptedFileChooser.h"
#include "support/TemporaryFolder.h"
#include "support/UiEvents.h"

namespace
{
using SkinTestSupport::Package;

/** A package whose main panel is width x height, with a learn button and a
    MIDI lamp (their pictures left out: the skin reports them missing). */
void installPackage (BasePluginEditor& editor, const juce::String& name, int width, int height)
{
    Package package;
    package.addImage ("Background.png", SkinTestSupport::makeStrip (width, height, { juce::Colours::darkgrey }));
    package.addText ("skin.xml", SkinTestSupport::skinXml ("Tarvelin", R"(<gfx resource="Background.png"/><controls>
        <MultiStateButton name="MidiLearnButton" states="2"><gfx resource="Lamp.png"/><size width="20" height="10"/><pos left="1" top="1"/></MultiStateButton>
        <Animation name="MidiActivityLed"><gfx resource="Led.png" framesNum="2"/><size width="8" height="8"/><pos left="30" top="1"/></Animation>
        </controls>)"));
    package.install (editor, name);
}

class EditorFixture : public ::testing::Test
{
protected:
    Parameter& parameter (const juce::String& name) { return *plugin->getParameterManager().getParameterByName (name); }
    StatusBar& status() { return editor.getStatusBar(); }

    /** Answers the question the editor asked with the button of that text. */
    void answer (const juce::String& buttonText)
    {
        auto* question = editor.getQuestion();
        ASSERT_NE (question, nullptr);

        for (int i = 0; i < question->getNumButtons(); ++i)
            if (question->getButton (i)->getButtonText() == buttonText)
                return clickButton (*question->getButton (i));

        FAIL() << "no button " << buttonText;
    }

    GUIController& cutoffKnob()
    {
        return *dynamic_cast<GUIController*> (editor.findChildComponentByName ("CutoffKnob", true));
    }

    std::unique_ptr<EditorTestPlugin> plugin = EditorTestPlugin::create();
    BasePluginEditor& editor = plugin->editor();
    MidiControl& midi = plugin->getMidiControl();
};
} // namespace

//==============================================================================
TEST (EditorChain, IsBuiltThroughThePluginEntryWithoutADisplayAndOpensAsTheSameEditorEachTime)
{
    auto instrument = InstrumentTest::createInstrument();
    auto* editor = dynamic_cast<BasePluginEditorOldStyle*> (instrument->getPersistentEditor());
    ASSERT_NE (editor, nullptr);
    ASSERT_NE (editor->getMainPanel(), nullptr);

    // Tips need a display to poll the mouse on: none where JUCE's LV2 build
    // step (or a machine without X) builds the editor, one beside an X server.
    const auto displayReachable = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
    EXPECT_EQ (editor->getTooltipWindow() != nullptr, displayReachable);
    EXPECT_TRUE (editor->isTimerRunning());
    EXPECT_TRUE (instrument->hasEditor());

    auto& tabs = editor->getOptionsWindow().getTabs();
    EXPECT_EQ (tabs.getTabNames(), juce::StringArray ({ "Presets", "Midi Control", "Sequencer", "Patterns", "Synthesis" }));
    EXPECT_EQ (tabs.getCurrentTabIndex(), 0);

    for (int opening = 0; opening < 2; ++opening)
    {
        std::unique_ptr<juce::AudioProcessorEditor> window (instrument->createEditor());
        ASSERT_NE (window, nullptr);
        EXPECT_EQ (window->getChildComponent (0), editor);
        EXPECT_TRUE (editor->isVisible());
        EXPECT_EQ (window->getBounds(), editor->getLocalBounds());
        EXPECT_EQ (editor->getHeight(), editor->getMainPanel()->getHeight() + 16);
    }

    EXPECT_FALSE (editor->isVisible());
    EXPECT_EQ (instrument->getPersistentEditor(), editor);

    // Shutdown deletes the editor with the plug-in; a host that asks again gets nothing.
    instrument->deleteEditor();
    EXPECT_FALSE (instrument->hasEditor());
    EXPECT_EQ (instrument->createEditor(), nullptr);
}

TEST_F (EditorFixture, TheHeightIsThePanelPlusTheStatusBarAndTheHostWindowFollows)
{
    std::unique_ptr<juce::AudioProcessorEditor> window (plugin->createEditor());
    editor.setEditorSize (500, 300);

    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 500, 316));
    EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (0, 0, 500, 316));
    EXPECT_EQ (editor.getStatusBar().getBounds(), juce::Rectangle<int> (0, 300, 500, 16));
    EXPECT_EQ (editor.getModalArea(), juce::Rectangle<int> (0, 0, 500, 300));
}

//==============================================================================
namespace
{
struct StatusRow
{
    const char* description;
    std::function<void (EditorTestPlugin&, BasePluginEditor&, GUIController&)> act;
    juce::String text;
    int priority;
};

const auto hint = [] (EditorTestPlugin&, BasePluginEditor& e, GUIController&) { e.showSettingsDeferredHint ("Default Map"); };

const StatusRow statusRows[] = {
    { "a knob moved in the panel", [] (auto&, auto& e, auto& knob) { e.controllerValueChanged (&knob); },
      "Cutoff: 0.5", 6 },
    { "a display text of '@' shows the name alone",
      [] (auto& p, auto& e, auto& knob) { p.displayTexts[2] = "@"; e.controllerValueChanged (&knob); }, "Cutoff", 6 },
    { "an empty display text shows nothing",
      [] (auto& p, auto& e, auto& knob) { p.displayTexts[2] = ""; e.controllerValueChanged (&knob); }, "", 0 },
    { "a controller moved by MIDI",
      [] (auto& p, auto&, auto&)
      {
          auto& midi = p.getMidiControl();
          midi.assign (74, p.getParameterManager().getParameter (2), false);
          midi.handleController (juce::MidiMessage::controllerEvent (1, 74, 127));
          midi.handleUpdateNowIfNeeded();
      },
      "Cutoff: 1", 5 },
    { "an interface text replaces a MIDI controller's",
      [] (auto& p, auto& e, auto& knob)
      {
          e.showParameterText (p.getParameterManager().getParameter (3), 5);
          e.controllerValueChanged (&knob);
      },
      "Cutoff: 0.5", 6 },
    { "a MIDI controller's text does not replace an interface text",
      [] (auto& p, auto& e, auto& knob)
      {
          e.controllerValueChanged (&knob);
          e.showParameterText (p.getParameterManager().getParameter (3), 5);
      },
      "Cutoff: 0.5", 6 },
    { "learn mode on", [] (auto& p, auto&, auto&) { p.getMidiControl().setLearnMode (true); },
      "Waiting for a controller or parameter movement...", 7 },
    { "learn mode off clears even the learn text",
      [] (auto& p, auto&, auto&)
      {
          p.getMidiControl().setLearnMode (true);
          p.getMidiControl().setLearnMode (false);
      },
      "", 0 },
    { "offline processing without a quality parameter",
      [] (auto&, auto& e, auto&) { e.processingModeChanged (nullptr, BasePlugin::offlineProcessing); },
      "Offline processing", 4 },
    { "the MIDI page's default map box", [] (auto&, auto& e, auto&)
      { e.defaultResourceCheckBoxChanged (&e.getMidiControlPage().getDefaultMapBox()); },
      "Default Map settings will be affected when plugin is loaded.", 4 },
    { "opening the options window clears",
      [] (auto& p, auto& e, auto& knob) { hint (p, e, knob); e.controllerEventTriggered (nullptr, GuiEventsMap::optionsEvent); },
      "", 0 },
    { "changing the options tab clears",
      [] (auto& p, auto& e, auto& knob)
      {
          hint (p, e, knob);
          e.getOptionsWindow().getTabs().setCurrentTabIndex (1);
      },
      "", 0 },
    { "a skin change waiting for the timer", [] (auto&, auto& e, auto&) { e.loadSkinLater ("Night"); },
      "Loading skin...", 0 },
};
} // namespace

TEST (EditorStatus, TextsArriveByPriorityAndAreClearedWhereTheEditorSays)
{
    for (const auto& row : statusRows)
    {
        SCOPED_TRACE (row.description);
        juce::Component secondPage;
        const auto plugin = EditorTestPlugin::create ({ false, false, -1 });
        auto& editor = plugin->editor();
        editor.getOptionsWindow().addPage ("Second", &secondPage, -1);
        auto& knob = *dynamic_cast<GUIController*> (editor.findChildComponentByName ("CutoffKnob", true));
        editor.getStatusBar().clear (-1);

        row.act (*plugin, editor, knob);

        EXPECT_EQ (editor.getStatusBar().getText(), row.text);
        EXPECT_EQ (editor.getStatusBar().getPriority(), row.priority);
    }
}

TEST (EditorStatus, TheProcessingModeNamesTheQualityWhenThePluginHasOne)
{
    const auto plugin = EditorTestPlugin::create ({ false, false, 18 });
    plugin->getParameterManager().setValueFromText (18, "Square");
    plugin->editor().processingModeChanged (plugin.get(), BasePlugin::realtimeProcessing);

    EXPECT_EQ (plugin->editor().getStatusBar().getText(), "Realtime processing: Square");
}

//==============================================================================
TEST_F (EditorFixture, LearnTextsFollowTheLearnTargetAndTheLearnButtonBlinksWhileLearning)
{
    editor.loadSkin ({});
    auto* learnButton = dynamic_cast<GFXMultiStateButton*> (editor.findChildComponentByName ("MidiLearnButton", true));
    ASSERT_NE (learnButton, nullptr);
    midi.assign (74, &parameter ("Resonance"), false);

    struct Step
    {
        std::function<void()> act;
        juce::String text;
    };

    const Step steps[] = {
        { [&] { dynamic_cast<juce::Button*> (learnButton)->triggerClick(); }, "Waiting for a controller or parameter movement..." },
        { [&] { editor.controllerValueChanged (&cutoffKnob()); }, "'Cutoff' parameter is free. Waiting for a free controller now..." },
        { [&] { midi.setLearnMode (false); midi.setLearnMode (true); midi.setLearnController (20); },
          "CC# 20 is free. Waiting for a parameter now..." },
        { [&] { midi.setLearnController (74); }, "CC# 74 is assigned to parameter 'Resonance'." },
    };

    for (const auto& step : steps)
    {
        step.act();
        dispatchPendingMessages();
        midi.handleUpdateNowIfNeeded();

        EXPECT_EQ (status().getText(), step.text);
        EXPECT_EQ (status().getPriority(), 7);
        EXPECT_EQ (learnButton->getState(), 1);
        EXPECT_TRUE (learnButton->isBlinking());
        EXPECT_EQ (learnButton->getBlinkPeriod(), 100);
    }

    editor.controllerEventTriggered (nullptr, GuiEventsMap::toggleMidiLearnEvent);

    EXPECT_FALSE (midi.isLearnMode());
    EXPECT_EQ (status().getText(), "");
    EXPECT_EQ (learnButton->getState(), 0);
    EXPECT_FALSE (learnButton->isBlinking());
}

//==============================================================================
TEST_F (EditorFixture, EventsTheEditorDoesNotKnowReachThePluginThenShowThePressingControlsParameter)
{
    editor.controllerEventTriggered (&cutoffKnob(), 2001);
    EXPECT_EQ (status().getText(), "Cutoff: 0.5");

    editor.controllerEventTriggered (nullptr, GuiEventsMap::copyCurrentPresetEvent);
    editor.controllerEventTriggered (nullptr, GuiEventsMap::optionsEvent);
    editor.controllerEventTriggered (nullptr, GuiEventsMap::aboutEvent);
    editor.controllerEventTriggered (nullptr, GuiEventsMap::selectNextPresetEvent);

    // Only the ids the editor does not handle itself reach the plug-in, in order.
    EXPECT_EQ (plugin->calls, (std::vector<juce::String> { "event 2001", "event 1007" }));
    EXPECT_TRUE (editor.getOptionsWindow().isVisible());
    EXPECT_TRUE (editor.getAboutWindow().isVisible());
}

TEST (EditorChain, EachLayerTakesItsOwnEventsBeforeTheOnesBelow)
{
    auto instrument = InstrumentTest::createInstrument();
    auto& editor = *dynamic_cast<BasePluginEditorOldStyle*> (instrument->getPersistentEditor());
    const auto sequencerWasOn = instrument->isInternalSequencerOn();

    // The skin's own buttons: the old-style layer's preset step, the base's
    // options window, the plug-in's sequencer switch.
    auto click = [&] (const char* name)
    {
        auto* button = dynamic_cast<juce::Button*> (editor.findChildComponentByName (name, true));
        ASSERT_NE (button, nullptr) << name;
        clickButton (*button);
    };

    click ("PresetNextButton");
    EXPECT_EQ (instrument->getCurrentPresetIndex(), 1);

    click ("PresetBrowseButton");
    EXPECT_TRUE (editor.getPresetBrowser().isVisible());

    click ("OptionsButton");
    EXPECT_TRUE (editor.getOptionsWindow().isVisible());

    editor.controllerEventTriggered (nullptr, IntSeqPlugin::toggleInternalSequencerEvent);
    EXPECT_NE (instrument->isInternalSequencerOn(), sequencerWasOn);
}

//==============================================================================
TEST_F (EditorFixture, MidiArrivingSeveralTimesBetweenTwoTicksLightsTheLampOnce)
{
    std::unique_ptr<juce::AudioProcessorEditor> window (plugin->createEditor());
    installPackage (editor, "Lamp", 100, 40);
    ASSERT_TRUE (editor.loadSkin ("Lamp"));
    auto* lamp = dynamic_cast<GFXAnimation*> (editor.findChildComponentByName ("MidiActivityLed", true));
    ASSERT_NE (lamp, nullptr);

    for (int block = 0; block < 3; ++block)
        plugin->getMidiActivityFlag() = 1;

    editor.timerCallback();
    EXPECT_EQ (lamp->getFrame(), 1);
    EXPECT_TRUE (lamp->isTimerRunning());
    EXPECT_EQ (plugin->getMidiActivityFlag().load(), 0);

    lamp->timerCallback();      // the 175 ms are over
    editor.timerCallback();
    EXPECT_EQ (lamp->getFrame(), 0);
}

TEST_F (EditorFixture, ASkinChangeWaitsForTheEditorToBeShown)
{
    installPackage (editor, "Night", 120, 50);
    editor.loadSkinLater ("Night");

    editor.timerCallback();     // the host's window is closed: the editor is hidden
    EXPECT_TRUE (editor.isSkinLoadPending());
    EXPECT_EQ (editor.getCurrentSkinName(), "");

    std::unique_ptr<juce::AudioProcessorEditor> window (plugin->createEditor());
    editor.timerCallback();

    EXPECT_FALSE (editor.isSkinLoadPending());
    EXPECT_EQ (editor.getCurrentSkinName(), "Night");
    EXPECT_EQ (window->getBounds(), juce::Rectangle<int> (0, 0, 120, 66));
    EXPECT_TRUE (editor.getMainPanel()->isVisible());
}

TEST_F (EditorFixture, ASecondSkinReplacesThePanelFindsItsControlsAgainAndShowsWhatItLacks)
{
    installPackage (editor, "Night", 120, 50);
    midi.setLearnMode (true);
    ASSERT_TRUE (editor.loadSkin ("Night"));

    auto* learnButton = dynamic_cast<GFXMultiStateButton*> (editor.findChildComponentByName ("MidiLearnButton", true));
    ASSERT_NE (learnButton, nullptr);
    EXPECT_EQ (learnButton->getState(), 1);
    EXPECT_EQ (editor.getMainPanel()->getBounds(), juce::Rectangle<int> (0, 0, 120, 50));

    // The skin's first problem, shown after the load cleared the learn text.
    EXPECT_EQ (status().getText(), "The picture \"Lamp.png\" is missing or cannot be decoded");
    EXPECT_EQ (status().getPriority(), 0);

    midi.setLearnMode (false);
    EXPECT_EQ (learnButton->getState(), 0);

    // A skin that cannot be built leaves the panel as it was.
    EXPECT_FALSE (editor.loadSkin ("Missing"));
    EXPECT_EQ (editor.getCurrentSkinName(), "Night");
}

//==============================================================================
// A plug-in with a preset folder tree (this instrument has none).

TEST_F (EditorFixture, SaveAsCompletesATypedNameAndAsksBeforeOverwritingTheCompletedFile)
{
    TemporaryFolder folder;
    const auto presets = folder.get().getChildFile ("Presets");
    plugin->makeTree (presets, { "Lead" });
    ScriptedFileChooser::Record dialog;
    editor.setFileChooserLauncher (ScriptedFileChooser::into (dialog));

    editor.controllerEventTriggered (nullptr, GuiEventsMap::savePresetAsEvent);
    editor.controllerEventTriggered (nullptr, GuiEventsMap::savePresetAsEvent);
    EXPECT_EQ (dialog.launches, 1) << "a click while the dialog is open does nothing";
    EXPECT_EQ (dialog.request.title, "Save current presets");
    EXPECT_EQ (dialog.request.filePatterns, "*.tqprs");
    EXPECT_EQ (dialog.request.initialLocation, presets.getChildFile ("Lead.tqprs"));
    EXPECT_TRUE (dialog.isSaveDialog() && dialog.warnsAboutOverwriting());

    // The dialog asked about "Lead", not about the "Lead.tqprs" that the name becomes.
    dialog.choose (presets.getChildFile ("Lead"));
    ASSERT_NE (editor.getQuestion(), nullptr);
    EXPECT_EQ (editor.getQuestion()->getMessage(), "Do you want to overwrite preset 'Lead' ?");
    EXPECT_TRUE (plugin->calls.empty());
    answer ("Yes");
    EXPECT_EQ (plugin->calls, std::vector<juce::String> { "save Lead.tqprs" });

    // A name typed with the extension was confirmed by the dialog itself; a cancel saves nothing.
    editor.controllerEventTriggered (nullptr, GuiEventsMap::savePresetAsEvent);
    dialog.choose (presets.getChildFile ("Bass.tqprs"));
    editor.controllerEventTriggered (nullptr, GuiEventsMap::savePresetAsEvent);
    dialog.cancel();

    EXPECT_EQ (plugin->calls, (std::vector<juce::String> { "save Lead.tqprs", "save Bass.tqprs" }));
    EXPECT_EQ (status().getText(), juce::String());

    // A save that fails says so, as every save the user starts does.
    plugin->presetSavesFail = true;
    editor.controllerEventTriggered (nullptr, GuiEventsMap::savePresetAsEvent);
    dialog.choose (presets.getChildFile ("Pad.tqprs"));
    EXPECT_EQ (status().getText(), "'Pad.tqprs' could not be saved.");
}

TEST_F (EditorFixture, UnsavedChangesAreAskedAboutAndDiscardLoadsTheNeighbourInTheStoredDirection)
{
    TemporaryFolder folder;
    plugin->makeTree (folder.get().getChildFile ("Presets"), { "Lead" });

    editor.controllerEventTriggered (nullptr, GuiEventsMap::selectNextPresetEvent);
    EXPECT_EQ (plugin->calls, std::vector<juce::String> { "next" });

    plugin->detached = true;
    editor.controllerEventTriggered (nullptr, GuiEventsMap::selectPreviousPresetEvent);
    ASSERT_NE (editor.getQuestion(), nullptr);
    EXPECT_EQ (editor.getQuestion()->getMessage(), "Changes have been made to current preset. Do you want to save them or discard?");

    answer ("Discard");
    EXPECT_EQ (plugin->calls, (std::vector<juce::String> { "next", "previous" }));

    // "Overwrite" saves over the current preset's file.
    editor.controllerEventTriggered (nullptr, GuiEventsMap::selectNextPresetEvent);
    answer ("Overwrite");
    EXPECT_EQ (plugin->calls.back(), "save Lead.tqprs");
}
