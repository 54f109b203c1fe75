#include "EditorTestSupport.h"

#include "editor/BasePluginEditorOldStyle.h"
#include "editor/MidiControlComponent.h"
#include "editor/OptionsWindow.h"
#include "skin/GFXDisplay.h"
#include "support/InstrumentTestSupport.h"
#include "support/ScriptedFileChooser.h"
#include "support/UiEvents.h"

namespace
{
class OldStyleEditor : public ::testing::Test
{
protected:
    std::unique_ptr<Tarvelin> instrument = InstrumentTest::createInstrument();
    BasePluginEditorOldStyle& editor = *dynamic_cast<BasePluginEditorOldStyle*> (instrument->getPersistentEditor());
    BasePluginEditorOldStyle::PresetsSettingsComponent& page = editor.getPresetsPage();
};
} // namespace

TEST_F (OldStyleEditor, PresetStepsStopAtTheEndsAndCopyPastesIntoTheCurrentSlot)
{
    instrument->selectPreset (127, true);
    editor.controllerEventTriggered (nullptr, GuiEventsMap::selectNextPresetEvent);
    EXPECT_EQ (instrument->getCurrentPresetIndex(), 127);

    const auto copiedName = instrument->getPresetName (127);
    editor.controllerEventTriggered (nullptr, GuiEventsMap::copyCurrentPresetEvent);
    editor.controllerEventTriggered (nullptr, GuiEventsMap::selectPreviousPresetEvent);
    editor.controllerEventTriggered (nullptr, GuiEventsMap::pasteCopiedPresetEvent);

    EXPECT_EQ (instrument->getCurrentPresetIndex(), 126);
    EXPECT_EQ (instrument->getPresetName (126), copiedName + "_copy");

    instrument->selectPreset (0, true);
    editor.controllerEventTriggered (nullptr, GuiEventsMap::selectPreviousPresetEvent);
    EXPECT_EQ (instrument->getCurrentPresetIndex(), 0);
}

TEST_F (OldStyleEditor, ThePresetNameDisplayRenamesTheCurrentPresetEvenAfterASkinReload)
{
    ASSERT_TRUE (editor.loadSkin ({}));
    auto* display = dynamic_cast<GFXDisplay*> (editor.findChildComponentByName ("PresetNameDisplay", true));
    ASSERT_NE (display, nullptr);
    EXPECT_EQ (editor.getPresetNameDisplay(), display);
    EXPECT_TRUE (display->isEditable());

    display->setText ("Rubber Bass");
    editor.displayTextChanged (display);

    EXPECT_EQ (instrument->getPresetName (instrument->getCurrentPresetIndex()), "Rubber Bass");
}

TEST_F (OldStyleEditor, ThePresetsPageSetsTheModesAndSaysWhenTheDefaultTakesEffect)
{
    EXPECT_FALSE (page.getChangingButtons().isVisible()) << "the instrument has no changing modes";
    EXPECT_EQ (page.getStoringButtons().getSelectedIndex(), instrument->getPresetStoringMode());
    EXPECT_EQ (page.getDefaultPresetsButtons().getSelectedIndex(), instrument->getPresetsDefaultMode());

    clickButton (*page.getStoringButtons().getButton (1));
    EXPECT_EQ (instrument->getPresetStoringMode(), 1);

    clickButton (*page.getDefaultPresetsButtons().getButton (1));
    EXPECT_EQ (instrument->getPresetsDefaultMode(), 1);
    EXPECT_EQ (editor.getStatusBar().getText(), "Default Presets settings will be affected when plugin is loaded.");
    EXPECT_EQ (editor.getStatusBar().getPriority(), 4);

    // A bank of the user's own, picked in the path field.
    ScriptedFileChooser::Record dialog;
    auto& path = page.getDefaultPresetsButtons().getPathComponent();
    path.setFileChooserLauncher (ScriptedFileChooser::into (dialog));
    clickButton (*page.getDefaultPresetsButtons().getButton (2));
    path.browse();
    dialog.choose (juce::File ("/home/me/mine.tqprsb"));
    EXPECT_EQ (instrument->getUserPresetsFile(), juce::File ("/home/me/mine.tqprsb"));
    EXPECT_EQ (instrument->getPresetsDefaultMode(), 2);

    // The MIDI page saves the old-style map files and offers learning.
    EXPECT_EQ (editor.getMidiControlPage().getFileExtension(), ".tqccmap");
    EXPECT_TRUE (editor.getMidiControlPage().getLearnButton().isVisible());
}

TEST (OldStyleEditorPage, ChangingTypeShowsOnlyWhereSupportedAndTheDefaultsGoBelowBothGroups)
{
    for (const auto supported : { false, true })
    {
        const auto plugin = OldStyleTestPlugin::create ({ "TQ", supported });
        BasePluginEditorOldStyle editor (*plugin, false);
        auto& page = editor.getPresetsPage();
        page.setSize (600, 400);
        page.sendLookAndFeelChange();

        EXPECT_EQ (page.getChangingButtons().isVisible(), supported);
        EXPECT_EQ (page.getDefaultPresetsButtons().getY(),
                   juce::jmax (page.getStoringButtons().getBottom(), page.getChangingButtons().getBottom()) + 10);

        if (supported)
        {
            clickButton (*page.getChangingButtons().getButton (1));
            EXPECT_EQ (plugin->getPresetChangingMode(), 1);
        }
    }
}
