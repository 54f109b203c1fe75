#include "InstrumentEditorSupport.h"

#include "skin/GFXDisplay.h"
#include "skin/GFXKnob.h"
#include "skin/GFXMultiStateButton.h"
#include "skin/NumericDisplay.h"
#include "skin/PatternNumberDisplay.h"
#include "support/ScriptedFileChooser.h"
#include "support/TemporaryFolder.h"
#include "support/UiEvents.h"

#include <functional>

/*  The sequencer's editor layer on the instrument and its default skin: the
    pattern controls following the sequencer's state parameters, the status
    hints, the pattern menus with their file dialogs, the pattern name display,
    and the "Sequencer" and "Patterns" pages.
*/
namespace
{
using Seq = IntSeqPlugin;
using Fixture = InstrumentEditorFixture;

struct Reaction
{
    int id;
    const char* shows;
    std::function<bool (Fixture&)> observed;   // follows the parameter's value
};

/** Chooses an item of an open menu as a click on its row does. */
void chooseItem (PopupMenuEx& menu, int itemId)
{
    ASSERT_TRUE (menu.isOpen());
    menu.getMenuComponent()->itemClicked (*menu.findItem (itemId));
    dispatchPendingMessages();
}
} // namespace

TEST_F (InstrumentEditorFixture, PatternControlsFollowTheSequencerStates)
{
    const Reaction reactions[] = {
        { Seq::internalSequencerStateId, "pattern number enabled", [] (Fixture& f) { return f.control<PatternNumberDisplay> ("PatternNumberDisplay").isEnabled(); } },
        { Seq::internalSequencerStateId, "pattern name enabled", [] (Fixture& f) { return f.control<GFXDisplay> ("PatternNameDisplay").isEnabled(); } },
        { Seq::internalSequencerStateId, "shuffle display enabled", [] (Fixture& f) { return f.control<NumericDisplay> ("ShuffleDisplay").isEnabled(); } },
        { Seq::internalSyncStateId, "tempo display enabled", [] (Fixture& f) { return f.control<NumericDisplay> ("TempoDisplay").isEnabled(); } },
        { Seq::hostModeStateId, "pattern number as a note", [] (Fixture& f) { return f.control<PatternNumberDisplay> ("PatternNumberDisplay").getMode() == PatternNumberDisplay::noteMode; } },
        { Seq::hostModeStateId, "pattern number not as bank and slot", [] (Fixture& f) { return f.control<PatternNumberDisplay> ("PatternNumberDisplay").getMode() != PatternNumberDisplay::bankAndSlotMode; } },
        { Seq::writeModeStateId, "shuffle display editable", [] (Fixture& f) { return f.control<NumericDisplay> ("ShuffleDisplay").isEditable(); } },
        { Seq::writeModeStateId, "shuffle knob enabled", [] (Fixture& f) { return f.control<GFXKnob> ("ShuffleKnob").isEnabled(); } },
        { Seq::randomizerStateId, "random button blinking", [] (Fixture& f) { return f.control<GFXMultiStateButton> ("PattRandModeButton").isBlinking(); } },
        { Seq::lengthModeStateId, "length button blinking", [] (Fixture& f) { return f.control<GFXMultiStateButton> ("PattLengthButton").isBlinking(); } },
        { Seq::nativeModeReadyStateId, "pattern name blinking every 200 ms", [] (Fixture& f)
          {
              auto& display = f.control<GFXDisplay> ("PatternNameDisplay");
              return display.isBlinking() && display.getBlinkPeriod() == 200;
          } },
        { Seq::patternNameEditionStateId, "pattern name editable", [] (Fixture& f) { return f.control<GFXDisplay> ("PatternNameDisplay").isEditable(); } },
        { Seq::patternTempoStateId, "tempo display editable", [] (Fixture& f) { return f.control<NumericDisplay> ("TempoDisplay").isEditable(); } },
        { Seq::patternTempoStateId, "tempo knob enabled", [] (Fixture& f) { return f.control<GFXKnob> ("TempoKnob").isEnabled(); } },
    };

    for (const auto& reaction : reactions)
    {
        for (const bool value : { true, false, true, false })
        {
            setState (reaction.id, value);
            EXPECT_EQ (reaction.observed (*this), value) << reaction.id << ": " << reaction.shows << " while " << (value ? "on" : "off");
        }
    }
}

TEST_F (InstrumentEditorFixture, AHostModeNumberThatArrivesBeforeTheModeIsShownInFull)
{
    auto& display = control<PatternNumberDisplay> ("PatternNumberDisplay");

    // Pattern 96 in host mode is note 107, past the bank-and-slot range of 1 to 96.
    parameters.setIntValue (Seq::patternNumberId, 107);
    parameters.getParameter (Seq::patternNumberId)->handleUpdateNowIfNeeded();
    setState (Seq::hostModeStateId, true);

    EXPECT_EQ (display.getValue(), 107);
}

TEST_F (InstrumentEditorFixture, TheLengthAndClipboardHintsReplaceTheInterfacesTextForThreeSeconds)
{
    auto& statusBar = editor.getStatusBar();
    trigger (Seq::togglePatternWriteModeEvent);

    // A knob turned just before leaves its text at the interface's priority.
    control<GFXKnob> ("CutoffKnob").setValue (0.7, juce::sendNotificationSync);
    ASSERT_TRUE (statusBar.getText().startsWith ("Cutoff: "));

    clickButton (control<GFXMultiStateButton> ("PattLengthButton"));
    ASSERT_TRUE (state (Seq::lengthModeStateId));
    EXPECT_EQ (statusBar.getText(), "Set pattern length.");
    EXPECT_EQ (statusBar.getPriority(), BasePluginEditor::settingsPriority);
    EXPECT_EQ (statusBar.getTimerInterval(), StatusBar::temporaryTextMs);
    statusBar.timerCallback();
    EXPECT_EQ (statusBar.getText(), "");

    // Switching it off shows the button's own text, no hint.
    clickButton (control<GFXMultiStateButton> ("PattLengthButton"));
    EXPECT_NE (statusBar.getText(), "Set pattern length.");

    control<GFXKnob> ("CutoffKnob").setValue (0.2, juce::sendNotificationSync);
    clickButton (control<GFXMultiStateButton> ("PattCopyButton"));
    ASSERT_TRUE (state (Seq::clipboardStateId));
    EXPECT_EQ (statusBar.getText(), "Pattern has been copied to clipboard.");

    // The randomizer going off clears a hint, but not a text above it.
    trigger (Seq::toggleRandomizerEvent);
    trigger (Seq::toggleRandomizerEvent);
    EXPECT_EQ (statusBar.getText(), "");
}

TEST_F (InstrumentEditorFixture, TheFirstAnnouncementOfTheStatesLeavesASkinsWarningShown)
{
    installDefaultSkinAs (editor, "Warned", [] (juce::XmlElement& xml)
    {
        xml.getChildByName ("Panel")->getChildByName ("controls")->createNewChildElement ("Gadget");
    });
    ASSERT_TRUE (editor.loadSkin ("Warned"));
    const auto warning = editor.getStatusBar().getText();
    ASSERT_TRUE (warning.contains ("Gadget"));

    // As when the plug-in has made its editor: every parameter once, the randomizer off among them.
    parameters.sendAllValuesChanged();
    dispatchPendingMessages();
    EXPECT_EQ (editor.getStatusBar().getText(), warning);
}

TEST_F (InstrumentEditorFixture, TheHintsNeverReplaceTheLearnGuidance)
{
    auto& statusBar = editor.getStatusBar();
    trigger (Seq::togglePatternWriteModeEvent);
    plugin.getMidiControl().setLearnMode (true);
    dispatchPendingMessages();
    const auto guidance = statusBar.getText();
    ASSERT_EQ (statusBar.getPriority(), BasePluginEditor::learnPriority);

    clickButton (control<GFXMultiStateButton> ("PattLengthButton"));
    ASSERT_TRUE (state (Seq::lengthModeStateId));
    EXPECT_EQ (statusBar.getText(), guidance);
}

TEST_F (InstrumentEditorFixture, ThePatternMenusOpenAtTheirButtonsOnlyWithTheSequencerOn)
{
    for (const bool sequencerOn : { false, true })
    {
        plugin.setInternalSequencer (sequencerOn);
        trigger (Seq::loadPatternsEvent);
        trigger (Seq::savePatternsEvent);

        EXPECT_EQ (editor.getLoadMenu().isOpen(), sequencerOn);
        EXPECT_EQ (editor.getSaveMenu().isOpen(), sequencerOn);
    }

    EXPECT_EQ (editor.getLoadMenu().getParentName(), "PattPrevButton");
    EXPECT_EQ (editor.getSaveMenu().getParentName(), "PattNextButton");
    EXPECT_EQ (editor.getLoadMenu().getItem (0)->text, "Load pattern");
    EXPECT_EQ (editor.getLoadMenu().getItem (1)->text, "Load pattern bank");
    EXPECT_EQ (editor.getSaveMenu().getItem (0)->text, "Save pattern");
    EXPECT_EQ (editor.getSaveMenu().getItem (1)->text, "Save pattern bank");
}

TEST_F (InstrumentEditorFixture, EachMenuItemAsksForItsFileRunsItsOperationAndRemembersTheFolder)
{
    struct Row
    {
        int event, item;
        const char* title;
        const char* wildcard;
        const char* fileName;
    };

    // Each load reads back what the save before it wrote, after the names were changed.
    const Row rows[] = {
        { Seq::savePatternsEvent, 0, "Save current pattern", "*.tqptr", "One.tqptr" },
        { Seq::loadPatternsEvent, 0, "Load single pattern", "*.tqptr", "One.tqptr" },
        { Seq::savePatternsEvent, 1, "Save pattern bank", "*.tqptrb", "All.tqptrb" },
        { Seq::loadPatternsEvent, 1, "Load pattern bank", "*.tqptrb; *.tq", "All.tqptrb" },
    };

    TemporaryFolder start, chosen;
    ScriptedFileChooser::Record dialog;
    editor.getPatternFileChooser().setFileChooserLauncher (ScriptedFileChooser::into (dialog));
    const auto current = plugin.getCurrentPatternIndex();

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.title);
        const bool save = row.event == Seq::savePatternsEvent;
        plugin.setLastUsedFolder (start.get());
        plugin.setPatternName (current, save ? "Saved" : "Changed");
        plugin.setPatternName (current + 1, save ? "Next saved" : "Next changed");

        trigger (row.event);
        chooseItem (save ? editor.getSaveMenu() : editor.getLoadMenu(), row.item);

        EXPECT_EQ (dialog.request.title, row.title);
        EXPECT_EQ (dialog.request.filePatterns, row.wildcard);
        EXPECT_EQ (dialog.request.initialLocation, start.get());
        EXPECT_EQ (dialog.isSaveDialog(), save);
        EXPECT_EQ (dialog.warnsAboutOverwriting(), save);

        dialog.choose (chosen.get().getChildFile (row.fileName));
        EXPECT_EQ (plugin.getLastUsedFolder(), chosen.get());
        dispatchPendingMessages();

        if (save)
        {
            EXPECT_TRUE (chosen.get().getChildFile (row.fileName).existsAsFile());
        }
        else
        {
            // The loaded pattern is shown at once; a bank brings back the other patterns too.
            EXPECT_EQ (plugin.getPatternName (current), "Saved");
            EXPECT_EQ (parameters.getText (Seq::patternNameId), "Saved");
            EXPECT_EQ (plugin.getPatternName (current + 1), row.item == 1 ? "Next saved" : "Next changed");
        }
    }
}

TEST_F (InstrumentEditorFixture, ACancelledOrFailedPatternFileLeavesThePatternsAndTheFolder)
{
    TemporaryFolder start, other;
    ScriptedFileChooser::Record dialog;
    editor.getPatternFileChooser().setFileChooserLauncher (ScriptedFileChooser::into (dialog));
    plugin.setLastUsedFolder (start.get());
    const auto name = plugin.getPatternName (0);

    trigger (Seq::loadPatternsEvent);
    chooseItem (editor.getLoadMenu(), 1);
    dialog.cancel();
    EXPECT_EQ (plugin.getLastUsedFolder(), start.get());

    trigger (Seq::loadPatternsEvent);
    chooseItem (editor.getLoadMenu(), 0);
    dialog.choose (other.write ("Broken.tqptr", "no pattern in here"));
    EXPECT_EQ (plugin.getLastUsedFolder(), start.get());
    EXPECT_EQ (plugin.getPatternName (0), name);
    EXPECT_EQ (editor.getStatusBar().getText(), "'Broken.tqptr' could not be loaded.");
}

TEST_F (InstrumentEditorFixture, ASavedPatternFileGetsItsExtensionAndACorrectedNameAsksBeforeOverwriting)
{
    struct Row
    {
        const char* typed;
        const char* written;
    };

    const Row rows[] = {
        { "Bank", "Bank.tqptrb" },
        { "Bank.xml", "Bank.tqptrb" },
        { "Bank.tqptrb", "Bank.tqptrb" },
        { "Bank.tqptr", "Bank.tqptrb" },
        { "Bank.TQPTRB", "Bank.TQPTRB" },     // the bank extension in capitals is the bank extension
    };

    ScriptedFileChooser::Record dialog;
    editor.getPatternFileChooser().setFileChooserLauncher (ScriptedFileChooser::into (dialog));

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.typed);
        TemporaryFolder folder;
        trigger (Seq::savePatternsEvent);
        chooseItem (editor.getSaveMenu(), 1);
        dialog.choose (folder.get().getChildFile (row.typed));

        EXPECT_EQ (folder.get().findChildFiles (juce::File::findFiles, false).size(), 1);
        EXPECT_TRUE (folder.get().getChildFile (row.written).existsAsFile());
    }

    // The dialog confirmed "Old.xml" only; "Old.tqptrb" is another file, and it exists.
    TemporaryFolder folder;
    const auto existing = folder.write ("Old.tqptrb", "keep");

    for (const int answer : { 1, 0 })
    {
        trigger (Seq::savePatternsEvent);
        chooseItem (editor.getSaveMenu(), 1);
        dialog.choose (folder.get().getChildFile ("Old.xml"));

        auto* question = editor.getPatternFileChooser().getQuestion();
        ASSERT_NE (question, nullptr);
        EXPECT_EQ (question->getMessage(), "Do you want to overwrite 'Old.tqptrb' ?");
        clickButton (*question->getButton (answer));
        EXPECT_EQ (existing.loadFileAsString() == "keep", answer == 1) << (answer == 0 ? "Yes" : "Cancel");
    }

    // A name the dialog confirmed, its extension in capitals, is written as it is, without a question.
    const auto shouted = folder.write ("Loud.TQPTRB", "keep");
    trigger (Seq::savePatternsEvent);
    chooseItem (editor.getSaveMenu(), 1);
    dialog.choose (shouted);
    EXPECT_NE (shouted.loadFileAsString(), "keep");
    EXPECT_FALSE (folder.get().getChildFile ("Loud.tqptrb").exists());
}

TEST_F (InstrumentEditorFixture, ThePatternNameDisplayRenamesTheEditedPatternOnlyWhileItIsEditable)
{
    auto& display = control<GFXDisplay> ("PatternNameDisplay");

    // Outside edit mode the display shows the playing pattern while another one is the edited one.
    plugin.setCurrentPattern (5);
    dispatchPendingMessages();
    ASSERT_FALSE (state (Seq::patternNameEditionStateId));
    const auto shown = display.getText();
    const auto editedName = plugin.getPatternName (5);

    display.setText ("Typed");
    editor.displayTextChanged (&display);
    EXPECT_EQ (plugin.getPatternName (5), editedName);
    EXPECT_EQ (display.getText(), shown);

    trigger (Seq::togglePatternWriteModeEvent);
    ASSERT_TRUE (display.isEditable());
    display.setText ("Typed");
    editor.displayTextChanged (&display);
    dispatchPendingMessages();
    EXPECT_EQ (plugin.getPatternName (plugin.getCurrentPatternIndex()), "Typed");
    EXPECT_EQ (parameters.getText (Seq::patternNameId), "Typed");
}

//==============================================================================
TEST_F (InstrumentEditorFixture, TheSequencerPageEnablesTheSwitchesThatCanActAndNeverChangesAStoredDefault)
{
    using Page = IntSeqPluginEditor::SequencerSettingsComponent;
    auto& page = editor.getSequencerPage();
    const Page::Switch lower[] = { Page::internalSyncSwitch, Page::hostModeSwitch, Page::noteOffModeSwitch };

    // What the three lower boxes of each panel show: enabled, then checked.
    const auto expectLower = [&] (const char* step, bool currentEnabled, bool defaultEnabled, std::array<bool, 3> defaultChecked)
    {
        dispatchPendingMessages();

        for (size_t i = 0; i < 3; ++i)
        {
            EXPECT_EQ (page.getCurrentBox (lower[i]).isEnabled(), currentEnabled) << step << ", current box " << i + 1;
            EXPECT_EQ (page.getDefaultBox (lower[i]).isEnabled(), defaultEnabled) << step << ", default box " << i + 1;
            EXPECT_EQ (page.getDefaultBox (lower[i]).isChecked(), defaultChecked[i]) << step << ", default box " << i + 1;
        }
    };

    // Untouched defaults: sequencer on, internal clock off, host mode off, note-off mode on.
    expectLower ("at first", true, true, { false, false, true });

    clickButton (page.getCurrentBox (Page::internalSequencerSwitch));
    EXPECT_FALSE (plugin.isInternalSequencerOn());
    expectLower ("current sequencer off", false, true, { false, false, true });

    clickButton (page.getDefaultBox (Page::internalSequencerSwitch));
    expectLower ("default sequencer off", false, false, { false, false, false });
    EXPECT_FALSE (plugin.getDefaultInternalSequencer());
    EXPECT_TRUE (plugin.getDefaultNoteOffMode());

    clickButton (page.getDefaultBox (Page::internalSequencerSwitch));
    clickButton (page.getCurrentBox (Page::internalSequencerSwitch));
    expectLower ("both back on", true, true, { false, false, true });

    clickButton (page.getDefaultBox (Page::hostModeSwitch));
    clickButton (page.getCurrentBox (Page::internalSyncSwitch));
    EXPECT_TRUE (plugin.getDefaultHostMode());
    EXPECT_TRUE (plugin.isInternalSyncOn());
    expectLower ("default host mode and current clock on", true, true, { false, true, true });
    EXPECT_TRUE (page.getCurrentBox (Page::internalSyncSwitch).isChecked());

    // A switch changed elsewhere shows on the page.
    plugin.setNoteOffMode (false);
    dispatchPendingMessages();
    EXPECT_FALSE (page.getCurrentBox (Page::noteOffModeSwitch).isChecked());

    clickButton (*page.getHostPlayDetectionButtons().getButton (1));
    EXPECT_EQ (plugin.getHostPlayDetection(), IntSeqPlugin::byLowestCNoteOn);
}

TEST_F (InstrumentEditorFixture, ThePatternsPageChoosesWhatNewInstancesStartWith)
{
    auto& group = editor.getPatternsPage().getDefaultPatternsButtons();
    EXPECT_EQ (group.getSelectedIndex(), IntSeqPlugin::factoryPatterns);
    EXPECT_EQ (group.getPathComponent().getFilePatterns(), "*.tqptrb; *.tq");

    clickButton (*group.getButton (1));
    EXPECT_EQ (plugin.getDefaultPatternsMode(), IntSeqPlugin::clearPatterns);

    clickButton (*group.getButton (2));
    const juce::File bank ("/tmp/My Bank.tqptrb");
    group.getPathComponent().setPath (bank, true);
    EXPECT_EQ (plugin.getDefaultPatternsMode(), IntSeqPlugin::userDefinedPatterns);
    EXPECT_EQ (plugin.getUserPatternsFile(), bank);
}
