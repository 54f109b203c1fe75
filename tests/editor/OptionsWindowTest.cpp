#include "EditorTestSupport.h"

#include "editor/OptionsWindow.h"
#include "editor/PresetsSettingsComponent.h"
#include "editor/ProcessingSettingsComponent.h"
#include "support/PixelProbe.h"
#include "support/TemporaryFolder.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"

#include <atomic>

TEST (OptionsWindow, APageInsertedFirstIsTheFirstTabAndTheOneShown)
{
    OptionsWindow window ("Options");
    juce::Component midi, sequencer, presets;

    window.addPage ("Midi Control", &midi, -1);
    window.getTabs().setCurrentTabIndex (0);
    window.addPage ("Sequencer", &sequencer, -1);
    window.addPage ("Presets", &presets, 0);

    EXPECT_EQ (window.getTabs().getTabNames(), juce::StringArray ({ "Presets", "Midi Control", "Sequencer" }));
    EXPECT_EQ (window.getTabs().getCurrentTabIndex(), 0);
    EXPECT_EQ (window.getTabs().getCurrentContentComponent(), &presets);

    // Appending leaves the shown page alone.
    juce::Component synthesis;
    window.addPage ("Synthesis", &synthesis, -1);
    EXPECT_EQ (window.getTabs().getCurrentContentComponent(), &presets);
}

TEST (OptionsWindow, APluginWithoutLayeredSetUpGetsTheFrameworkPagesWithProcessingFirst)
{
    const auto plugin = EditorTestPlugin::create ({ false, false, 18 });
    auto& window = plugin->editor().getOptionsWindow();

    EXPECT_EQ (window.getTabs().getTabNames(), juce::StringArray ({ "Processing", "Presets", "Parameters", "Midi Control" }));
    EXPECT_EQ (window.getTabs().getCurrentTabIndex(), 0);

    // The quality boxes follow the quality parameters.
    auto* page = plugin->editor().getProcessingSettingsPage();
    ASSERT_NE (page, nullptr);
    plugin->getParameterManager().setValueFromText (18, "Square");
    plugin->getParameterManager().getParameter (18)->handleUpdateNowIfNeeded();
    EXPECT_EQ (page->getCurrentRealtimeBox().getButton().getButtonText(), "Square");
    EXPECT_EQ (page->getDefaultOfflineBox().getButton().getButtonText(), "Square");

    plugin->editor().controllerEventTriggered (nullptr, GuiEventsMap::optionsEvent);
    writeScreenshot (renderComponent (plugin->editor()), "options-processing");
}

TEST (OptionsWindow, ProcessingBoxesStayEmptyWhenAQualityParameterIsNoChoice)
{
    const auto plugin = EditorTestPlugin::create ({ false, false, 2 });
    auto* page = plugin->editor().getProcessingSettingsPage();
    ASSERT_NE (page, nullptr);

    EXPECT_EQ (page->getCurrentRealtimeBox().getMenu().getNumItems(), 0);
    EXPECT_EQ (page->getCurrentRealtimeBox().getButton().getButtonText(), "---");
}

//==============================================================================
namespace
{
/** The framework's presets page in a stand-in editor, over a plug-in whose tree holds three preset files. */
class UpdateAuthor : public ::testing::Test
{
protected:
    UpdateAuthor()
    {
        plugin->makeTree (folder.get().getChildFile ("Mine"), { "A", "B", "C" });
        desktop.adopt (page);
        page.setSize (600, 400);
    }

    ~UpdateAuthor() override
    {
        release.signal();
        window().stopThread (5000);
    }

    PresetsSettingsComponent::UpdateAuthorWindow& window() { return page.getUpdateWindow(); }

    /** Lets the worker end, then takes its last poll. */
    void finish()
    {
        ASSERT_TRUE (window().waitForThreadToExit (5000));
        window().timerCallback();
    }

    TemporaryFolder folder;
    std::unique_ptr<EditorTestPlugin> plugin = EditorTestPlugin::create();
    TestDesktop desktop { 800, 600 };
    PresetsSettingsComponent page { *plugin };
    juce::WaitableEvent secondFileStarted, release;
    std::atomic<int> filesUpdated { 0 };
};
} // namespace

TEST_F (UpdateAuthor, ACompletedRunRewritesEveryFileAndSaysSo)
{
    plugin->onUpdateAuthor = [this] (const juce::File&) { ++filesUpdated; return true; };

    clickButton (page.getUpdateButton());
    EXPECT_TRUE (window().isVisible());
    EXPECT_EQ (window().getMessageLabel().getText(), "Operation can take a while. Please wait...");
    EXPECT_FALSE (window().getOkButton().isEnabled());

    finish();

    EXPECT_EQ (filesUpdated.load(), 3);
    EXPECT_EQ (window().getMessageLabel().getText(), "Operation completed.");
    EXPECT_TRUE (window().getOkButton().isEnabled());
    EXPECT_FALSE (window().getCancelButton().isEnabled());
    EXPECT_FALSE (window().getProgressLabel().isVisible());

    writeScreenshot (renderComponent (desktop), "update-author-window");
    clickButton (window().getOkButton());
    EXPECT_FALSE (window().isVisible());
}

TEST_F (UpdateAuthor, CancelEndsTheRunAfterTheCurrentFile)
{
    plugin->onUpdateAuthor = [this] (const juce::File&)
    {
        if (++filesUpdated == 2)
        {
            secondFileStarted.signal();
            release.wait (5000);
        }

        return true;
    };

    clickButton (page.getUpdateButton());
    ASSERT_TRUE (secondFileStarted.wait (5000));

    // The first file is done: the poll shows it.
    window().timerCallback();
    EXPECT_EQ (window().getProgressLabel().getText(), "Progress: 33%");
    EXPECT_EQ (window().getFileLabel().getText(), "Mine/A");

    // A second press while the window is up starts nothing.
    clickButton (page.getUpdateButton());

    clickButton (window().getCancelButton());
    release.signal();
    finish();

    EXPECT_EQ (filesUpdated.load(), 2);
    EXPECT_EQ (window().getMessageLabel().getText(), "Operation has been cancelled.");
}

TEST (UpdateAuthorWithoutTrees, FinishesAtOnceWithoutEverShowingProgress)
{
    auto plugin = EditorTestPlugin::create();
    TestDesktop desktop;
    PresetsSettingsComponent page (*plugin);
    desktop.adopt (page);

    auto& window = page.getUpdateWindow();
    clickButton (page.getUpdateButton());
    ASSERT_TRUE (window.waitForThreadToExit (5000));
    window.timerCallback();

    EXPECT_EQ (window.getMessageLabel().getText(), "Operation completed.");
    EXPECT_EQ (window.getProgressLabel().getText(), "Progress: 0%");
}

TEST (PresetsSettings, ACommittedAuthorBecomesThePluginsAuthor)
{
    auto plugin = EditorTestPlugin::create();
    TestDesktop desktop;
    PresetsSettingsComponent page (*plugin);
    desktop.adopt (page);

    auto& input = page.getAuthorInput();
    input.showEditor();
    ASSERT_NE (input.getEditor(), nullptr);
    input.getEditor()->focusGained (juce::Component::focusChangedByMouseClick);   // no display gives it focus
    typeText (*input.getEditor(), "Ada");
    dispatchPendingMessages();
    EXPECT_EQ (plugin->getPresetAuthor(), "");   // keystrokes alone store nothing

    pressKey (*input.getEditor(), juce::KeyPress (juce::KeyPress::returnKey));
    dispatchPendingMessages();
    EXPECT_EQ (plugin->getPresetAuthor(), "Ada");
    EXPECT_TRUE (page.getDirectoryLabel().getText().endsWith ("Tarvelin"));
}
