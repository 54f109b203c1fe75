#include "InstrumentEditorSupport.h"

#include "editor/AboutWindow.h"
#include "editor/OptionsWindow.h"
#include "framework/GuiEventsMap.h"
#include "support/PixelProbe.h"

/*  Pictures of the instrument's editor for people to look at: the panel, each
    page of the options window, the About window and the preset browser, as a
    user opens them in the Standalone (the About window names the format).
*/
namespace
{
// A base constructed before the fixture's instrument: the next plug-in is the Standalone's.
struct MadeAsTheStandalone
{
    MadeAsTheStandalone()  { juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Standalone); }
    ~MadeAsTheStandalone() { juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined); }
};

class StandaloneEditor : private MadeAsTheStandalone,
                         public InstrumentEditorFixture
{
};
} // namespace

TEST_F (StandaloneEditor, ScreenshotsOfThePanelItsWindowsAndEveryOptionsPage)
{
    ASSERT_TRUE (writeScreenshot (renderComponent (editor), "editor"));

    trigger (GuiEventsMap::optionsEvent);
    auto& tabs = editor.getOptionsWindow().getTabs();
    ASSERT_EQ (tabs.getNumTabs(), 5);

    for (int i = 0; i < tabs.getNumTabs(); ++i)
    {
        tabs.setCurrentTabIndex (i);
        dispatchPendingMessages();
        const auto name = tabs.getTabNames()[i].removeCharacters (" ").toLowerCase();
        EXPECT_TRUE (writeScreenshot (renderComponent (editor), "options-" + name));
    }

    editor.getOptionsWindow().hide();
    trigger (GuiEventsMap::aboutEvent);
    EXPECT_EQ (editor.getAboutWindow().getFormatText(), "Standalone 64bit");
    EXPECT_TRUE (writeScreenshot (renderComponent (editor), "about"));
    editor.getAboutWindow().hide();

    trigger (GuiEventsMap::browsePresetsEvent);
    EXPECT_TRUE (writeScreenshot (renderComponent (editor), "preset-browser"));
}
