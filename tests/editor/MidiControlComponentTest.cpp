#include "editor/MidiControlComponent.h"
#include "support/PixelProbe.h"
#include "support/ScriptedFileChooser.h"
#include "support/TemporaryFolder.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

namespace
{
using List = MidiControlComponent::ListComponent;

// A 560 x 260 page: the list is 530 x 234, so 9 rows of 177-px columns.
struct MidiPage : public testing::Test
{
    void SetUp() override
    {
        parameters.loadFromResource ("parameters.xml");
        map.setMapName ("Tarvelin");
        page = std::make_unique<MidiControlComponent> (map, ".tqccmap", "*.tqccmap");
        desktop.adopt (*page);
        page->setBounds (10, 10, 560, 260);
        page->getFileChooser().setFileChooserLauncher (ScriptedFileChooser::into (chooser));
    }

    /** Puts parameters 0, 1, ... on controllers 1, 3, 5, ... */
    void assignEntries (int count)
    {
        for (int i = 0; i < count; ++i)
            map.assign (controllerOf (i), parameters.getParameterAt (i), true);

        dispatchPendingMessages();
    }

    static int controllerOf (int entry) { return 1 + 2 * entry; }

    List& list() { return page->getList(); }

    /** The middle of a body cell, in the list's coordinates (unscrolled). */
    juce::Point<int> cellCentre (int column, int row)
    {
        const auto grid = list().getGridArea();
        return { grid.getX() + list().getScrollOffset() + column * list().getColumnWidth() + list().getColumnWidth() / 2,
                 grid.getY() + List::headerHeight + 1 + row * List::rowHeight + List::rowHeight / 2 };
    }

    void clickList (juce::Point<int> point)
    {
        mouseDownAt (desktop, point + list().getBoundsInParent().getPosition() + page->getPosition());
    }

    ParameterManager parameters;
    MidiControl map { parameters };
    TestDesktop desktop { 700, 400 };
    ScriptedFileChooser::Record chooser;
    TemporaryFolder folder;
    std::unique_ptr<MidiControlComponent> page;
};
} // namespace

TEST_F (MidiPage, TheGridGrowsColumnsBeyondThreeAndScrollsBySixthsOfAColumn)
{
    EXPECT_EQ (list().getRowsPerColumn(), 9);
    EXPECT_EQ (list().getColumnWidth(), 177);
    EXPECT_EQ (list().getNumColumns(), 3);
    EXPECT_FALSE (list().getScrollBar().isEnabled());
    EXPECT_FALSE (page->getClearButton().isEnabled());
    EXPECT_FALSE (page->getDeleteButton().isEnabled());

    assignEntries (28);
    EXPECT_EQ (list().getNumColumns(), 4);
    EXPECT_TRUE (list().getScrollBar().isEnabled());
    EXPECT_DOUBLE_EQ (list().getScrollBar().getSingleStepSize(), 177.0 / 6.0);
    EXPECT_TRUE (page->getClearButton().isEnabled());

    // The last entry's column is scrolled into view by the least amount.
    list().selectEntry (27);
    EXPECT_EQ (list().getScrollOffset(), -(4 * 177 - 3 * 177));
}

TEST_F (MidiPage, APageTooLowForOneRowStillListsItsEntriesInOneRow)
{
    assignEntries (4);

    for (const int height : { 90, 60, 30 })
    {
        page->setSize (560, height);
        EXPECT_EQ (list().getRowsPerColumn(), 1) << height;
        EXPECT_EQ (list().getNumColumns(), 4) << height;
    }
}

TEST_F (MidiPage, TheLearnButtonTakesTheTopAndTheDefaultMapBoxTheBottom)
{
    EXPECT_EQ (list().getBounds(), juce::Rectangle<int> (0, 0, 530, 234));
    EXPECT_EQ (page->getButtonColumn().getPosition(), juce::Point<int> (536, 0));
    EXPECT_EQ (page->getDefaultMapBox().getBounds(), juce::Rectangle<int> (0, 240, 560, 20));

    page->setLearnButtonVisible (true);
    const auto learnHeight = page->getLearnButton().getHeight();
    EXPECT_EQ (learnHeight, 20);
    EXPECT_EQ (list().getBounds(), juce::Rectangle<int> (0, learnHeight + 4, 530, 234 - learnHeight - 4));
    EXPECT_EQ (page->getButtonColumn().getY(), learnHeight + 4);
}

TEST_F (MidiPage, APressSelectsTheCellUnderItAndTheHeaderOrOutsideDoNothing)
{
    assignEntries (12);
    const auto grid = list().getGridArea();

    struct Row
    {
        const char* where;
        juce::Point<int> point;
        int expectedSelection;
        bool deleteEnabled;
    };

    const Row rows[] = {
        { "first cell", cellCentre (0, 0), 0, true },
        { "third row of the second column", cellCentre (1, 2), 11, true },
        { "empty cell after the last entry", cellCentre (1, 3), 12, false },
        { "empty cell of the third column", cellCentre (2, 8), 26, false },
        { "header", { grid.getX() + 40, grid.getY() + 10 }, -1, false },
        { "header's last pixel row", { grid.getX() + 40, grid.getY() + List::headerHeight - 1 }, -1, false },
        { "first row's top pixel row", { grid.getX() + 40, grid.getY() + List::headerHeight }, 0, true },
        { "second row's top pixel row", { grid.getX() + 40, grid.getY() + List::headerHeight + List::rowHeight }, 1, true },
        { "below the grid", { grid.getX() + 40, grid.getBottom() + 2 }, -1, false },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.where);
        list().selectEntry (-1);
        clickList (row.point);
        EXPECT_EQ (list().getSelectedEntry(), row.expectedSelection);
        EXPECT_EQ (page->getDeleteButton().isEnabled(), row.deleteEnabled);
    }

    // Scrolled two columns on, the first visible column is the third.
    assignEntries (50);
    list().selectEntry (49);
    list().selectEntry (-1);
    clickList ({ grid.getX() + 10, cellCentre (0, 4).y });
    EXPECT_EQ (list().getSelectedEntry(), 3 * 9 + 4);
}

TEST_F (MidiPage, SelectedAndEmptyCellsAreDrawnApart)
{
    assignEntries (3);
    list().selectEntry (1);
    const auto image = renderComponent (list());
    writeScreenshot (renderComponent (*page), "midi-control-page");

    const auto grid = list().getGridArea();
    const auto selected = cellCentre (0, 1);
    const auto selectedParameterX = grid.getX() + list().getControllerWidth() + 120;
    const auto plainParameterX = selectedParameterX;

    EXPECT_TRUE (pixelIs (image, grid.getX() + 3, grid.getY() + 10, juce::Colour (0xFF5B5B5B)));
    EXPECT_TRUE (pixelIs (image, grid.getX() + list().getControllerWidth() + 100, grid.getY() + 10, juce::Colour (0xFF6E6E6E)));
    EXPECT_TRUE (pixelIs (image, selectedParameterX, selected.y,
                          juce::Colour (0xFFE3E3E3).overlaidWith (juce::Colour (0xFF5B5B5B).withAlpha (0.5f)), 3));
    EXPECT_TRUE (pixelIs (image, plainParameterX, cellCentre (0, 2).y, juce::Colour (0xFFE3E3E3)));
    EXPECT_TRUE (pixelIs (image, grid.getX() + 3, cellCentre (0, 4).y, juce::Colour (0xFFBFBFBF)));
}

TEST_F (MidiPage, InLearnModeTheSelectionAndTheLearnTargetFollowEachOther)
{
    assignEntries (5);
    page->setLearnButtonVisible (true);
    clickButton (page->getLearnButton());
    ASSERT_TRUE (map.isLearnMode());

    // The learn target comes back as the same selection, and stays.
    list().selectEntry (2);
    EXPECT_EQ (map.getLearnController(), controllerOf (2));
    EXPECT_EQ (map.getLearnParameter(), parameters.getParameterAt (2));
    dispatchPendingMessages();
    EXPECT_EQ (list().getSelectedEntry(), 2);

    // A controller moved in learn mode selects its entry; a free one clears the selection.
    map.setLearnController (controllerOf (4));
    dispatchPendingMessages();
    EXPECT_EQ (list().getSelectedEntry(), 4);
    map.setLearnController (100);
    dispatchPendingMessages();
    EXPECT_EQ (list().getSelectedEntry(), -1);

    // Off, from elsewhere: the button follows and a selection only selects.
    map.setLearnMode (false);
    EXPECT_FALSE (page->getLearnButton().getToggleState());
    list().selectEntry (3);
    EXPECT_EQ (map.getLearnController(), -1);
    EXPECT_EQ (list().getSelectedEntry(), 3);
}

TEST_F (MidiPage, DeleteAssignFreesTheSelectedControllerOnly)
{
    assignEntries (3);
    list().selectEntry (1);
    clickButton (page->getDeleteButton());
    dispatchPendingMessages();

    EXPECT_EQ (map.getParameter (controllerOf (1)), nullptr);
    EXPECT_EQ (list().getEntries().size(), 2);
    EXPECT_EQ (list().getSelectedEntry(), -1);
    EXPECT_FALSE (page->getDeleteButton().isEnabled());
}

TEST_F (MidiPage, ClearAllAsksAndOnlyYesClears)
{
    struct Row
    {
        const char* answer;
        std::function<void (Ulvra::AlertWindow&)> give;
        int entriesLeft;
    };

    const Row rows[] = {
        { "No", [] (Ulvra::AlertWindow& w) { clickButton (*w.getButton (1)); }, 4 },
        { "close button", [] (Ulvra::AlertWindow& w) { clickButton (w.getCloseButton()); }, 4 },
        { "Yes", [] (Ulvra::AlertWindow& w) { clickButton (*w.getButton (0)); }, 0 },
    };

    assignEntries (4);

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.answer);
        clickButton (page->getClearButton());
        auto* question = page->getQuestion();
        ASSERT_NE (question, nullptr);
        EXPECT_EQ (question->getTitle(), "Tarvelin");
        EXPECT_EQ (question->getMessage(), "Do you really want to clear all assignations?");
        EXPECT_TRUE (question->isVisible() && question->getDesktop() == &desktop);

        row.give (*question);
        dispatchPendingMessages();
        EXPECT_EQ (list().getEntries().size(), row.entriesLeft);
    }

    EXPECT_FALSE (page->getClearButton().isEnabled());
}

TEST_F (MidiPage, MapsAreLoadedAndSavedThroughTheDialogSeam)
{
    assignEntries (2);
    const auto saved = folder.get().getChildFile ("Live.tqccmap");

    clickButton (page->getSaveButton());
    ASSERT_EQ (chooser.launches, 1);
    EXPECT_EQ (chooser.request.title, "Save Midi Control file as");
    EXPECT_EQ (chooser.request.filePatterns, "*.tqccmap");
    EXPECT_TRUE (chooser.isSaveDialog() && chooser.warnsAboutOverwriting());

    // A second click while the dialog is open does nothing.
    clickButton (page->getLoadButton());
    EXPECT_EQ (chooser.launches, 1);

    chooser.choose (folder.get().getChildFile ("Live"));
    ASSERT_TRUE (saved.existsAsFile());

    map.clearAll (true);
    clickButton (page->getLoadButton());
    EXPECT_EQ (chooser.request.title, "Open Midi Control file");
    EXPECT_EQ (chooser.request.filePatterns, "*.tqccmap");
    EXPECT_FALSE (chooser.isSaveDialog());
    chooser.cancel();
    EXPECT_EQ (list().getEntries().size(), 0);

    clickButton (page->getLoadButton());
    chooser.choose (saved);
    EXPECT_EQ (map.getParameter (controllerOf (1)), parameters.getParameterAt (1));
    EXPECT_EQ (list().getEntries().size(), 2);
}

TEST_F (MidiPage, TheDefaultMapBoxStoresTheSettingForTheNextStart)
{
    const auto userMap = folder.get().getChildFile ("Mine.tqccmap");
    map.setUserDefinedMapFile (userMap);
    map.setUseUserDefinedMap (false);

    // A remembered file with the setting off shows an unchecked box.
    MidiControlComponent reopened (map, ".tqccmap", "*.tqccmap");
    EXPECT_FALSE (reopened.getDefaultMapBox().isChecked());
    EXPECT_EQ (reopened.getDefaultMapBox().getPath(), userMap);

    clickButton (reopened.getDefaultMapBox().getCheckBox());
    EXPECT_TRUE (map.isUsingUserDefinedMap());
    EXPECT_EQ (map.getUserDefinedMapFile(), userMap);
    EXPECT_EQ (list().getEntries().size(), 0);
}
