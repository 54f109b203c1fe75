#include "editor/HostParametersComponent.h"
#include "support/PixelProbe.h"
#include "support/ScriptedFileChooser.h"
#include "support/TemporaryFolder.h"
#include "support/TestDesktop.h"
#include "support/TestPlugins.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

namespace
{
using List = HostParametersComponent::ListComponent;

// The instrument's 36 host slots, mapped in order onto its 36 automatable parameters.
struct HostPage : public testing::Test
{
    void SetUp() override
    {
        removeSettingsOf ("Tarvelin");
        plugin = OldStyleTestPlugin::create();
        page = std::make_unique<HostParametersComponent> (*plugin);
        desktop.adopt (*page);
        page->setBounds (10, 10, 700, 320);
        page->getFileChooser().setFileChooserLauncher (ScriptedFileChooser::into (chooser));
    }

    void TearDown() override
    {
        page.reset();
        plugin.reset();
    }

    List& list() { return page->getList(); }
    ComboBoxButton& combo (int slot) { return *list().getComboBox (slot); }
    int parameterIdNamed (const juce::String& name) { return plugin->getParameterManager().getIdOf (name); }

    TestDesktop desktop { 760, 400 };
    ScriptedFileChooser::Record chooser;
    TemporaryFolder folder;
    std::unique_ptr<OldStyleTestPlugin> plugin;
    std::unique_ptr<HostParametersComponent> page;
};
} // namespace

TEST_F (HostPage, ThirtySixSlotsMakeFourColumnsAndTheLastOneIsBlankBelowSlot36)
{
    ASSERT_EQ (list().getNumSlots(), 36);
    EXPECT_EQ (list().getNumColumns(), 4);
    EXPECT_EQ (combo (35).getName(), "HPComboBox36");

    const auto& frame = page->getFrame();
    auto& viewport = page->getViewport();
    EXPECT_EQ (frame.getBounds(), juce::Rectangle<int> (0, 0, 700 - 29, viewport.getScrollBarThickness() + 10 * 22 + 20 + 2));
    EXPECT_EQ (viewport.getBounds(), frame.getBounds().reduced (1));
    EXPECT_EQ (page->getButtonColumn().getPosition(), juce::Point<int> (700 - 29 + 5, 0));
    EXPECT_EQ (page->getDefaultMapBox().getBounds(), juce::Rectangle<int> (0, viewport.getBottom() + 9, 700, 20));

    const auto columnWidth = list().getColumnWidth();
    EXPECT_FLOAT_EQ (columnWidth, (float) viewport.getWidth() / 3.0f);
    EXPECT_EQ (list().getWidth(), (int) std::floor (4.0f * columnWidth));
    EXPECT_EQ (combo (35).getBounds(), juce::Rectangle<int> ((int) (3.0f * columnWidth) + 6 + list().getNumberWidth(), 20 + 22 * 5 + 1,
                                                             (int) columnWidth - 12 - list().getNumberWidth(), 20));

    const auto image = renderComponent (list());
    const auto lastColumnX = (int) (3.0f * columnWidth) + 1;
    EXPECT_TRUE (pixelIs (image, lastColumnX, 152, juce::Colour (0xFFBFBFBF)));
    EXPECT_TRUE (pixelIs (image, lastColumnX, 153, juce::Colour (0xFFE3E3E3)));
    EXPECT_TRUE (pixelIs (image, 1, 10, juce::Colour (0xFF5B5B5B)));

    viewport.setViewPosition (list().getWidth(), 0);
    writeScreenshot (renderComponent (*page), "host-parameters-page");
}

TEST_F (HostPage, TheDropDownsOfferTheAutomatableParametersAndAnEmptyChoice)
{
    auto& menu = combo (0).getMenu();
    ASSERT_EQ (menu.getNumItems(), 37);
    EXPECT_EQ (menu.getItem (0)->id, -1);
    EXPECT_EQ (menu.getItem (0)->text, "---");
    EXPECT_EQ (menu.findItem (parameterIdNamed ("Cutoff"))->text, "Cutoff");
    EXPECT_EQ (menu.findItem (parameterIdNamed ("Self Reset State")), nullptr);
    EXPECT_EQ (combo (2).getButton().getButtonText(), "Cutoff");
}

TEST_F (HostPage, AReassignmentUpdatesBothDropDownsAndTheEmptyChoiceEmptiesTheSlot)
{
    const auto cutoff = parameterIdNamed ("Cutoff");
    ASSERT_EQ (plugin->getHostParameterAssignment (2), cutoff);

    combo (7).setSelectedId (cutoff, true);
    dispatchPendingMessages();
    EXPECT_EQ (plugin->getHostParameterAssignment (7), cutoff);
    EXPECT_EQ (combo (7).getButton().getButtonText(), "Cutoff");
    EXPECT_EQ (plugin->getHostParameterAssignment (2), -1);
    EXPECT_EQ (combo (2).getSelectedId(), -1);
    EXPECT_EQ (combo (2).getButton().getButtonText(), "---");

    combo (7).setSelectedId (List::noParameterId, true);
    dispatchPendingMessages();
    EXPECT_EQ (plugin->getHostParameterAssignment (7), -1);
    EXPECT_EQ (plugin->getHostSlotOfParameter (cutoff), -1);
}

TEST_F (HostPage, ClearAllAsksAndOnlyYesClears)
{
    for (const auto yes : { false, true })
    {
        clickButton (page->getClearButton());
        auto* question = page->getQuestion();
        ASSERT_NE (question, nullptr);
        EXPECT_EQ (question->getTitle(), "Tarvelin");
        EXPECT_EQ (question->getMessage(), "Do you really want to clear all assignations?");
        clickButton (*question->getButton (yes ? 0 : 1));
        dispatchPendingMessages();

        EXPECT_EQ (plugin->getHostParameterAssignment (0) == -1, yes);
        EXPECT_EQ (combo (0).getSelectedId() == -1, yes);
    }
}

TEST_F (HostPage, MapsAreSavedWithTheirExtensionAndLoadedThroughTheDialogSeam)
{
    clickButton (page->getSaveButton());
    EXPECT_EQ (chooser.request.title, "Save Host Parameters Map file as");
    EXPECT_EQ (chooser.request.filePatterns, "*.tqhpmap");
    chooser.choose (folder.get().getChildFile ("Live.xml"));
    const auto saved = folder.get().getChildFile ("Live.tqhpmap");
    ASSERT_TRUE (saved.existsAsFile());

    plugin->clearHostParametersMap();
    dispatchPendingMessages();

    clickButton (page->getLoadButton());
    EXPECT_EQ (chooser.request.title, "Load Host Parameters Map file");
    chooser.cancel();
    EXPECT_EQ (combo (2).getSelectedId(), -1);

    clickButton (page->getLoadButton());
    chooser.choose (saved);
    EXPECT_EQ (combo (2).getSelectedId(), parameterIdNamed ("Cutoff"));
}

TEST_F (HostPage, TheDefaultMapBoxStoresTheSettingForTheNextStart)
{
    EXPECT_FALSE (page->getDefaultMapBox().isChecked());

    const auto mine = folder.get().getChildFile ("Mine.tqhpmap");
    page->getDefaultMapBox().setPath (mine, true);
    EXPECT_EQ (plugin->getHostParametersMapFile(), mine);
    EXPECT_TRUE (plugin->isHostParametersMapFileLoadedAtStart());

    HostParametersComponent reopened (*plugin);
    EXPECT_TRUE (reopened.getDefaultMapBox().isChecked());
    EXPECT_EQ (reopened.getDefaultMapBox().getPath(), mine);

    // A remembered file that is not loaded at start shows an unchecked box.
    plugin->setHostParametersMapFile (mine, false);
    HostParametersComponent unchecked (*plugin);
    EXPECT_FALSE (unchecked.getDefaultMapBox().isChecked());
    EXPECT_FALSE (unchecked.getDefaultMapBox().getPathComponent().isEnabled());
    EXPECT_EQ (plugin->getHostParametersMapFile(), mine);
    EXPECT_FALSE (plugin->isHostParametersMapFileLoadedAtStart());
}
