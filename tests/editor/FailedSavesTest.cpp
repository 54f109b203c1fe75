// Every save the user starts from the editor, against a folder that cannot be
// written and a full disk: the status bar says the file could not be saved, as
// the pattern menus say it, and the file saved there before is left byte for
// byte. The preset browser and the map pages say the same of a file they cannot
// load, and every one of them says it right after a knob moved too.

#include "editor/EditorTestSupport.h"
#include "editor/HostParametersComponent.h"
#include "editor/InstrumentEditorSupport.h"
#include "editor/MidiControlComponent.h"
#include "editor/OptionsWindow.h"
#include "skin/GFXKnob.h"
#include "framework/XmlFiles.h"
#include "support/FolderContents.h"
#include "support/PresetTestSupport.h"
#include "support/ScopedFileSizeLimit.h"
#include "support/ScopedReadOnlyFolder.h"
#include "support/ScriptedFileChooser.h"
#include "support/TemporaryFolder.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace
{
/** One save the user starts: what shows its button, the button, the dialog it
    opens, the file it is given, and a change that makes the next save's text differ. */
struct UserSave
{
    const char* name;
    std::function<void()> show;
    juce::Button& button;
    ScriptedFileChooser::Record& dialog;
    juce::String fileName;
    std::function<void()> change;
};

/** Saves once for real, changes what is saved, then saves again into a folder
    that cannot be written and onto a full disk. */
void expectEachFailedSaveReportedWithTheOldFileKept (BasePluginEditor& editor, const UserSave& save)
{
    for (const bool fullDisk : { false, true })
    {
        SCOPED_TRACE (juce::String (save.name) + (fullDisk ? " on a full disk" : " in a read-only folder"));
        const TemporaryFolder folder;
        const auto file = folder.get().getChildFile (save.fileName);
        auto& status = editor.getStatusBar();

        save.show();
        clickButton (save.button);
        save.dialog.choose (file);
        ASSERT_TRUE (file.existsAsFile());
        EXPECT_EQ (status.getText(), juce::String()) << "a save that worked says nothing";

        save.change();
        const auto before = describeFolderContents (folder.get());

        {
            std::optional<ScopedReadOnlyFolder> readOnly;
            std::optional<ScopedFileSizeLimit> limit;

            if (fullDisk)
            {
                limit.emplace (64);
            }
            else
            {
                readOnly.emplace (folder.get());
                ASSERT_TRUE (readOnly->isInForce());
            }

            save.show();
            clickButton (save.button);
            save.dialog.choose (file);
        }

        EXPECT_EQ (status.getText(), "'" + save.fileName + "' could not be saved.");
        EXPECT_EQ (describeFolderContents (folder.get()).joinIntoString ("\n"), before.joinIntoString ("\n"));
        status.clear (-1);
    }
}

/** Opens the options window on the page of that name, as the user does before pressing its buttons. */
void showOptionsPage (BasePluginEditor& editor, const juce::String& name)
{
    editor.controllerEventTriggered (nullptr, GuiEventsMap::optionsEvent);
    auto& tabs = editor.getOptionsWindow().getTabs();
    tabs.setCurrentTabIndex (tabs.getTabNames().indexOf (name));
    dispatchPendingMessages();
}

class FailedSaves : public InstrumentEditorFixture
{
protected:
    void SetUp() override
    {
        InstrumentEditorFixture::SetUp();
        browser().getFileChooser().setFileChooserLauncher (ScriptedFileChooser::into (browserDialog));
        editor.getMidiControlPage().getFileChooser().setFileChooserLauncher (ScriptedFileChooser::into (midiDialog));
    }

    OldStylePresetBrowserWindow& browser() { return editor.getPresetBrowser(); }

    ScriptedFileChooser::Record browserDialog, midiDialog;
};
} // namespace

TEST_F (FailedSaves, ThePresetBrowsersAndTheMidiPagesSavesSayTheyFailedAndKeepTheOldFile)
{
    const auto showBrowser = [&] { trigger (GuiEventsMap::browsePresetsEvent); };
    const auto showMidiPage = [&] { showOptionsPage (editor, "Midi Control"); };

    const UserSave saves[] = {
        { "preset", showBrowser, browser().getPresetSaveButton(), browserDialog, "Lead.tqprs", [&] { plugin.renameCurrentPreset ("Changed since"); } },
        { "bank", showBrowser, browser().getBankSaveButton(), browserDialog, "Mine.tqprsb", [&] { plugin.setPresetName (3, "Changed since"); } },
        { "map", showMidiPage, editor.getMidiControlPage().getSaveButton(), midiDialog, "Live.tqccmap",
          [&] { plugin.getMidiControl().assign (20, parameters.getParameter (TarvelinIds::cutoff), true); } },
    };

    for (const auto& save : saves)
        expectEachFailedSaveReportedWithTheOldFileKept (editor, save);
}

TEST_F (FailedSaves, TheBrowserSaysWhichFileItCouldNotLoadAndKeepsThePresets)
{
    const TemporaryFolder folder;
    const auto foreign = folder.write ("Theirs.tqprsb", "<PresetBank><PresetGroup name=\"G\"><Preset application=\"Other\" name=\"A\"/>"
                                                        "</PresetGroup></PresetBank>");
    const auto junk = folder.write ("Junk.tqprs", "not a preset");
    const auto nameBefore = plugin.getPresetName (0);
    const auto groupsBefore = plugin.getNumGroups();
    trigger (GuiEventsMap::browsePresetsEvent);

    clickButton (browser().getBankLoadButton());
    browserDialog.choose (foreign);
    EXPECT_EQ (editor.getStatusBar().getText(), "'Theirs.tqprsb' could not be loaded.");
    EXPECT_EQ (plugin.getNumGroups(), groupsBefore);
    EXPECT_EQ (plugin.getPresetName (0), nameBefore);

    clickButton (browser().getPresetLoadButton());
    browserDialog.choose (junk);
    EXPECT_EQ (editor.getStatusBar().getText(), "'Junk.tqprs' could not be loaded.");
    EXPECT_EQ (plugin.getPresetName (0), nameBefore);

    // A bank that loads says nothing.
    editor.getStatusBar().clear (-1);
    const auto mine = folder.get().getChildFile ("Mine.tqprsb");
    ASSERT_TRUE (XmlFiles::write (*makeBankXml ({ 2, 3 }), mine, PresetManager::maxBankFileBytes));
    clickButton (browser().getBankLoadButton());
    browserDialog.choose (mine);
    EXPECT_EQ (editor.getStatusBar().getText(), juce::String());
    EXPECT_EQ (plugin.getNumGroups(), 3);
}

// A failed load or save within 3 s of a knob's move: the knob's text stands at
// a higher priority than the failure's, which must show all the same. What the
// user had stays as it was.
TEST_F (FailedSaves, EachFailedLoadOrSaveSaysSoWhileAKnobsTextIsUpAndKeepsWhatWasThere)
{
    const TemporaryFolder folder;
    const auto readOnlyFolder = folder.get().getChildFile ("read-only");
    ASSERT_TRUE (readOnlyFolder.createDirectory());
    const auto foreignBank = folder.write ("Theirs.tqprsb", "<PresetBank><PresetGroup name=\"G\"><Preset application=\"Other\" name=\"A\"/>"
                                                            "</PresetGroup></PresetBank>");
    const auto junkMap = folder.write ("Junk.tqccmap", "not a map");
    const auto foreignMap = folder.write ("Theirs.tqccmap", "<MidiControlMap name=\"Other\"><assign CC=\"7\" param=\"Cutoff\"/></MidiControlMap>");

    auto& midi = plugin.getMidiControl();
    midi.assign (20, parameters.getParameter (TarvelinIds::cutoff), true);
    const auto showBrowser = [&] { trigger (GuiEventsMap::browsePresetsEvent); };
    const auto showMidiPage = [&] { showOptionsPage (editor, "Midi Control"); };
    const auto presetsBefore = plugin.getPresetName (0) + " " + juce::String (plugin.getNumGroups());

    struct Failure
    {
        const char* name;
        std::function<void()> show;
        juce::Button& button;
        ScriptedFileChooser::Record& dialog;
        juce::File file;
        juce::String text;
        std::function<bool()> keptWhatWasThere;
    };

    const Failure failures[] = {
        { "bank load", showBrowser, browser().getBankLoadButton(), browserDialog, foreignBank, "'Theirs.tqprsb' could not be loaded.",
          [&] { return plugin.getPresetName (0) + " " + juce::String (plugin.getNumGroups()) == presetsBefore; } },
        { "map load of no map", showMidiPage, editor.getMidiControlPage().getLoadButton(), midiDialog, junkMap, "'Junk.tqccmap' could not be loaded.",
          [&] { return midi.getParameter (20) != nullptr && midi.getParameter (7) == nullptr; } },
        { "map load of another plug-in's map", showMidiPage, editor.getMidiControlPage().getLoadButton(), midiDialog, foreignMap,
          "'Theirs.tqccmap' could not be loaded.", [&] { return midi.getParameter (20) != nullptr && midi.getParameter (7) == nullptr; } },
        { "map save", showMidiPage, editor.getMidiControlPage().getSaveButton(), midiDialog, readOnlyFolder.getChildFile ("Live.tqccmap"),
          "'Live.tqccmap' could not be saved.", [&] { return ! readOnlyFolder.getChildFile ("Live.tqccmap").exists(); } },
    };

    auto& status = editor.getStatusBar();
    auto& knob = control<GFXKnob> ("CutoffKnob");
    auto knobValue = 0.3;

    for (const auto& failure : failures)
    {
        SCOPED_TRACE (failure.name);
        failure.show();
        clickButton (failure.button);

        knobValue += 0.1;
        knob.setValue (knobValue, juce::sendNotificationSync);
        ASSERT_TRUE (status.getText().startsWith ("Cutoff: ")) << status.getText();
        ASSERT_EQ (status.getPriority(), BasePluginEditor::interfacePriority);

        {
            const ScopedReadOnlyFolder readOnly (readOnlyFolder);
            ASSERT_TRUE (readOnly.isInForce());
            failure.dialog.choose (failure.file);
        }

        EXPECT_EQ (status.getText(), failure.text);
        EXPECT_TRUE (failure.keptWhatWasThere());
        status.clear (-1);
    }
}

TEST (FailedSavesHostPage, TheHostParametersPagesSaveSaysItFailedAndKeepsTheOldFile)
{
    // A plug-in that shows the page: one without the layered set-up.
    const auto plugin = EditorTestPlugin::create();
    auto& editor = plugin->editor();
    auto& page = editor.getHostParametersPage();
    ScriptedFileChooser::Record dialog;
    page.getFileChooser().setFileChooserLauncher (ScriptedFileChooser::into (dialog));
    const auto showPage = [&] { showOptionsPage (editor, "Parameters"); };

    expectEachFailedSaveReportedWithTheOldFileKept (editor, { "host map", showPage, page.getSaveButton(), dialog, "Live" + page.getFileExtension(),
                                                              [&] { plugin->unassignHostSlot (0); } });
}

TEST (FailedSavesHostPage, TheHostParametersPagesLoadSaysItFailedAndKeepsTheMap)
{
    const auto plugin = EditorTestPlugin::create();
    auto& editor = plugin->editor();
    auto& page = editor.getHostParametersPage();
    ScriptedFileChooser::Record dialog;
    page.getFileChooser().setFileChooserLauncher (ScriptedFileChooser::into (dialog));

    const TemporaryFolder folder;
    const auto foreign = folder.write ("Theirs" + page.getFileExtension(),
                                       "<HostParametersMap name=\"Other\"><assign hostParam=\"1\" pluginParam=\"Cutoff\"/></HostParametersMap>");
    const auto junk = folder.write ("Junk" + page.getFileExtension(), "not a map");
    const auto* cutoff = plugin->getParameterManager().getParameterByName ("Cutoff");
    ASSERT_NE (cutoff, nullptr);
    plugin->assignHostParameter (0, cutoff->getId(), true);
    const auto before = plugin->getHostParameterAssignment (0);
    ASSERT_EQ (before, cutoff->getId());

    for (const auto& file : { foreign, junk })
    {
        showOptionsPage (editor, "Parameters");
        clickButton (page.getLoadButton());
        dialog.choose (file);
        EXPECT_EQ (editor.getStatusBar().getText(), "'" + file.getFileName() + "' could not be loaded.");
        EXPECT_EQ (plugin->getHostParameterAssignment (0), before);
        editor.getStatusBar().clear (-1);
    }
}
