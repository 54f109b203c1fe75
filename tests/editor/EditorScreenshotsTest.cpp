#include "InstrumentEditorSupport.h"

#include "editor/AboutWindow.h"
#include "editor/OptionsWindow.h"
#include "framework/GuiEventsMap.h"
#include "support/PixelProbe.h"

/*  Pictures of the instrument's editor for people to look at: the panel, each
    page of the options window, the About window and the preset browser, as a
    user opens them.
*/
TEST_F (InstrumentEditorFixture, ScreenshotsOfThePanelItsWindowsAndEveryOptionsPage)
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
    EXPECT_TRUE (writeScreenshot (renderComponent (editor), "about"));
    editor.getAboutWindow().hide();

    trigger (GuiEventsMap::browsePresetsEvent);
    EXPECT_TRUE (writeScreenshot (renderComponent (editor), "preset-browser"));
}
