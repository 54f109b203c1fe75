#include "ColumnBrowserFake.h"

#include "support/MessageQueue.h"
#include "support/PixelProbe.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

using namespace ColumnBrowserFake;
using ListColumn = ColumnBrowser::ListColumn;

namespace
{
constexpr int listTop = 4, rowHeight = ListColumn::rowHeight;

/** A browser 700 x 200 in an editor stand-in, its root column open. */
struct Stage
{
    Stage()
    {
        desktop.setSize (700, 200);
        desktop.adopt (browser);
        browser.setBounds (0, 0, 700, 200);
        browser.openColumn (browser.createFirstColumn());
    }

    Column& column (int index) { return browser.column (index); }

    /** A press and release on a row, through the list's own row component. */
    void click (Column& c, int row, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
    {
        auto* rowComponent = rowComponentOf (c, row);
        ASSERT_NE (rowComponent, nullptr) << "row " << row << " is not on screen";
        rowComponent->mouseDown (makeMouseEvent (*rowComponent, { 30, 10 }, mods));
        rowComponent->mouseUp (makeMouseEvent (*rowComponent, { 30, 10 }, mods));
    }

    void doubleClick (Column& c, int row)
    {
        auto* rowComponent = rowComponentOf (c, row);
        ASSERT_NE (rowComponent, nullptr);
        rowComponent->mouseDoubleClick (makeMouseEvent (*rowComponent, { 30, 10 }, juce::ModifierKeys::leftButtonModifier, 2));
    }

    static juce::Component* rowComponentOf (Column& c, int row)
    {
        auto* item = c.getList().getComponentForRowNumber (row);
        return item != nullptr ? item->getParentComponent() : nullptr;
    }

    static ListColumn::ItemComponent& item (Column& c, int row)
    {
        return dynamic_cast<ListColumn::ItemComponent&> (*c.getList().getComponentForRowNumber (row));
    }

    /** A drag from a column's list, at a point in a target column: y inside a row of the list. */
    static juce::DragAndDropTarget::SourceDetails drag (ListColumn& source, int row, int positionInRow, juce::var description = ColumnBrowser::dragDescription)
    {
        return { description, &source.getList(), { 40, listTop + row * rowHeight + positionInRow } };
    }

    static bool press (Column& c, int key)
    {
        return c.getList().keyPressed (juce::KeyPress (key));
    }

    /** Drags a column's grip by dx. */
    static void dragGrip (ColumnBrowser::Column& c, int dx)
    {
        const juce::Point<int> grip (c.getWidth() - 3, 50);
        const auto now = juce::Time::getCurrentTime();
        const auto event = [&] (juce::Point<int> at)
        {
            return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), at.toFloat(), juce::ModifierKeys::leftButtonModifier,
                                     0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, grip.toFloat(), now, 1, at != grip);
        };
        c.mouseDown (event (grip));
        c.mouseDrag (event (grip + juce::Point<int> (dx, 0)));
        c.mouseUp (event (grip + juce::Point<int> (dx, 0)));
    }

    TestDesktop desktop;
    Browser browser;
};
} // namespace

TEST (ColumnBrowser, AColumnOpenedAloneBuildsItsAncestorsToTheLeft)
{
    TestDesktop desktop;
    Browser browser;
    desktop.adopt (browser);
    browser.setBounds (0, 0, 700, 200);
    browser.openColumn (std::make_unique<Column> (browser, std::vector<int> { 0, 0 }));

    EXPECT_EQ (browser.columnNames(), juce::StringArray ({ "root", "Bass", "Bass/Acid" }));
    EXPECT_EQ (browser.getTotalWidth(), 600);
    EXPECT_EQ (browser.column (1).getX(), 200);
    EXPECT_EQ (browser.column (1).getLeftNeighbour(), browser.getColumn (0));
    EXPECT_EQ (browser.column (1).getRightNeighbour(), browser.getColumn (2));
    EXPECT_EQ (browser.column (2).getRightNeighbour(), nullptr);
}

TEST (ColumnBrowser, AFolderReplacesTheColumnsRightOfItInTheirWidthAndALeafKeepsThem)
{
    Stage s;
    s.click (s.column (0), 0);
    EXPECT_EQ (s.browser.columnNames(), juce::StringArray ({ "root", "Bass" }));
    EXPECT_EQ (s.browser.log, juce::StringArray ({ "opened Bass" }));
    EXPECT_TRUE (s.column (0).isActive());

    Stage::dragGrip (s.column (1), 60);
    EXPECT_EQ (s.column (1).getWidth(), 260);
    s.click (s.column (1), 0);
    EXPECT_EQ (s.column (2).getX(), 460) << "the columns right of a resized one move with its edge";

    s.click (s.column (0), 1);
    EXPECT_EQ (s.browser.columnNames(), juce::StringArray ({ "root", "Lead" }));
    EXPECT_EQ (s.column (1).getWidth(), 260);

    s.click (s.column (1), 1);
    EXPECT_EQ (s.browser.columnNames(), juce::StringArray ({ "root", "Lead" })) << "a leaf opens nothing";
    s.click (s.column (1), 0);
    s.click (s.column (0), 3);
    EXPECT_EQ (s.browser.columnNames(), juce::StringArray ({ "root", "Lead", "Lead/Saw" }));

    // A replacement is never narrower than its minimum.
    Stage::dragGrip (s.column (2), -500);
    EXPECT_EQ (s.column (2).getWidth(), 100);
    s.click (s.column (1), 1);
    s.click (s.column (1), 0);
    EXPECT_EQ (s.column (2).getWidth(), 100);
}

TEST (ColumnBrowser, OnlyAResizableColumnHasAGrip)
{
    Stage s;
    const auto gripPixel = [&s]
    {
        const auto image = renderComponent (s.browser);
        return image.getPixelAt (s.column (0).getWidth() - 4, s.column (0).getHeight() / 2);
    };

    const auto outline = s.desktop.lookAndFeel.findColour (DefaultLookAndFeel::columnOutlineColourId);
    EXPECT_EQ (gripPixel(), outline);

    s.browser.resizable = false;
    s.browser.repaint();
    EXPECT_NE (gripPixel(), outline);
    Stage::dragGrip (s.column (0), 80);
    EXPECT_EQ (s.column (0).getWidth(), 200);
}

TEST (ColumnBrowser, DropStatesByPositionInTheRowAndWhatTheTargetAllows)
{
    using A = ListColumn::DropAbilities;
    const A all { true, true, true, true }, noItem { false, true, true, true }, noBefore { true, false, true, true },
        noAfter { true, true, false, true }, onlyColumn { false, false, false, true }, nothing {};

    struct Row
    {
        int row, p;
        A abilities;
        ListColumn::DropState state;
    };

    const Row rows[] = {
        { 0, 0, all, ListColumn::insertBeforeItem },  { 0, 4, all, ListColumn::insertBeforeItem },
        { 0, 5, all, ListColumn::dropOntoItem },      { 0, 14, all, ListColumn::dropOntoItem },
        { 0, 15, all, ListColumn::insertAfterItem },  { 0, 19, all, ListColumn::insertAfterItem },
        { 0, 2, noBefore, ListColumn::dropOntoItem }, { 0, 17, noAfter, ListColumn::dropOntoItem },
        { 3, 9, noItem, ListColumn::insertBeforeItem }, { 3, 10, noItem, ListColumn::insertAfterItem },
        { 3, 2, A { false, false, true, true }, ListColumn::insertAfterItem },
        { 3, 15, A { false, true, false, true }, ListColumn::dropIntoColumn },
        { 3, 15, A { false, true, false, false }, ListColumn::noDrop },
        { 3, 10, onlyColumn, ListColumn::dropIntoColumn },
        { -1, 0, all, ListColumn::dropIntoColumn },   { -1, 0, nothing, ListColumn::noDrop },
    };

    for (const auto& row : rows)
        EXPECT_EQ (ListColumn::getDropStateFor (row.row, row.p, rowHeight, row.abilities), row.state) << "row " << row.row << ", p " << row.p;
}

TEST (ColumnBrowser, DropsArriveThroughTheToolkitsDragCallsFromListsOfThisBrowserOnly)
{
    Stage s;
    s.click (s.column (0), 0);
    auto& root = s.column (0);
    auto& bass = s.column (1);

    root.itemDragEnter (Stage::drag (bass, 0, 10));
    EXPECT_EQ (root.getDropState(), ListColumn::dropOntoItem);
    EXPECT_EQ (root.getDropRow(), 0);
    root.itemDragMove (Stage::drag (bass, 1, 2));
    EXPECT_EQ (root.getDropState(), ListColumn::insertBeforeItem);
    root.itemDragMove (Stage::drag (bass, 3, 15));
    EXPECT_EQ (root.getDropState(), ListColumn::insertAfterItem);
    root.itemDragMove (Stage::drag (bass, 5, 10));
    EXPECT_EQ (root.getDropState(), ListColumn::dropIntoColumn);
    root.itemDropped (Stage::drag (bass, 5, 10));
    EXPECT_EQ (root.getDropState(), ListColumn::noDrop);
    EXPECT_EQ (root.getDropRow(), -1);

    root.itemDragEnter (Stage::drag (bass, 2, 10));
    root.itemDropped (Stage::drag (bass, 2, 10));
    root.itemDragEnter (Stage::drag (bass, 1, 1));
    root.itemDropped (Stage::drag (bass, 1, 1));
    EXPECT_EQ (s.browser.log, juce::StringArray ({ "opened Bass", "into root from Bass", "onto Empty from Bass", "before Lead from Bass" }));

    EXPECT_TRUE (root.isInterestedInDragSource (Stage::drag (bass, 0, 10)));
    EXPECT_FALSE (root.isInterestedInDragSource (Stage::drag (bass, 0, 10, "Preset")));
    EXPECT_FALSE (root.isInterestedInDragSource ({ ColumnBrowser::dragDescription, &bass, { 40, 10 } })) << "the column is no list";

    Stage other;
    EXPECT_FALSE (root.isInterestedInDragSource (Stage::drag (other.column (0), 0, 10))) << "a list of another browser";
}

TEST (ColumnBrowser, ADragRestingOnAFolderOpensItButNotOnceItMovedOff)
{
    Stage s;
    auto& root = s.column (0);

    root.itemDragEnter (Stage::drag (root, 1, 10));
    EXPECT_TRUE (root.isHoverOpenPending());
    EXPECT_EQ (root.getHoverOpenRow(), 1);
    root.timerCallback();
    EXPECT_TRUE (root.getList().isRowSelected (1));
    EXPECT_EQ (s.browser.columnNames(), juce::StringArray ({ "root", "Lead" }));
    EXPECT_TRUE (root.isActive());

    root.itemDragMove (Stage::drag (root, 0, 10));
    EXPECT_TRUE (root.isHoverOpenPending());
    root.itemDragMove (Stage::drag (root, 0, 1));
    EXPECT_FALSE (root.isHoverOpenPending()) << "moved to the insertion mark above the item";

    root.itemDragMove (Stage::drag (root, 0, 10));
    root.itemDragMove (Stage::drag (root, 3, 10));
    EXPECT_FALSE (root.isHoverOpenPending()) << "moved onto a leaf";

    root.itemDragMove (Stage::drag (root, 0, 10));
    root.itemDragExit (Stage::drag (root, 0, 10));
    EXPECT_FALSE (root.isHoverOpenPending());
    EXPECT_EQ (s.browser.columnNames(), juce::StringArray ({ "root", "Lead" }));
}

TEST (ColumnBrowser, ABackgroundClickClosesTheColumnsRightOfItAndOpensNothing)
{
    Stage s;
    s.click (s.column (0), 0);
    s.browser.log.clear();

    auto& list = s.column (0).getList();
    list.mouseUp (makeMouseEvent (list, { 60, 150 }));

    EXPECT_EQ (s.browser.columnNames(), juce::StringArray ({ "root" }));
    EXPECT_EQ (list.getNumSelectedRows(), 0);
    EXPECT_EQ (s.browser.log, juce::StringArray ({ "background root" }));
}

TEST (ColumnBrowser, ArrowsWalkBetweenColumns)
{
    Stage s;
    s.click (s.column (0), 0);
    s.browser.log.clear();

    EXPECT_TRUE (Stage::press (s.column (1), juce::KeyPress::rightKey));
    EXPECT_EQ (s.browser.columnNames(), juce::StringArray ({ "root", "Bass" })) << "the last column has nothing to its right";
    EXPECT_TRUE (Stage::press (s.column (0), juce::KeyPress::leftKey));
    EXPECT_TRUE (s.browser.log.isEmpty()) << "the first column has nothing to its left";

    EXPECT_TRUE (Stage::press (s.column (0), juce::KeyPress::rightKey));
    EXPECT_TRUE (s.column (1).getList().isRowSelected (0));
    EXPECT_TRUE (s.column (1).isActive());
    EXPECT_EQ (s.browser.columnNames(), juce::StringArray ({ "root", "Bass", "Bass/Acid" }));

    EXPECT_TRUE (Stage::press (s.column (2), juce::KeyPress::leftKey));
    EXPECT_TRUE (s.column (1).isActive());
    EXPECT_EQ (s.browser.log, juce::StringArray ({ "opened Acid", "opened Acid" }));

    // Left onto a column with nothing selected opens nothing.
    s.column (0).getList().deselectAllRows();
    EXPECT_TRUE (Stage::press (s.column (1), juce::KeyPress::leftKey));
    EXPECT_EQ (s.browser.log.size(), 2);
    EXPECT_TRUE (s.column (1).isActive());
}

TEST (ColumnBrowser, ADoubleClickOnTheOnlySelectedRowRenamesIt)
{
    Stage s;
    s.click (s.column (0), 0);
    s.doubleClick (s.column (0), 0);
    auto& label = Stage::item (s.column (0), 0).getLabel();
    ASSERT_TRUE (label.isEditing());

    auto& editor = *label.getEditor();
    editor.focusGained (juce::Component::focusChangedByMouseClick);
    typeText (editor, "Bassline");
    pressKey (editor, makeKey (juce::KeyPress::returnKey));
    dispatchPendingMessages();
    EXPECT_FALSE (label.isEditing());
    EXPECT_EQ (s.browser.log, juce::StringArray ({ "opened Bass", "renamed Bass to Bassline" }));

    s.click (s.column (0), 2, juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::commandModifier));
    ASSERT_EQ (s.column (0).getList().getNumSelectedRows(), 2);
    s.doubleClick (s.column (0), 2);
    EXPECT_FALSE (Stage::item (s.column (0), 2).getLabel().isEditing()) << "two rows selected";

    s.browser.renamable = false;
    s.click (s.column (0), 1);
    s.doubleClick (s.column (0), 1);
    EXPECT_FALSE (Stage::item (s.column (0), 1).getLabel().isEditing());
}

TEST (ColumnBrowser, AClosedDragSourceStaysAliveHiddenUntilTheDrop)
{
    Stage s;
    s.click (s.column (0), 0);
    auto& root = s.column (0);
    juce::Component::SafePointer<Column> bass (&s.column (1));

    juce::SparseSet<int> rows;
    rows.addRange ({ 1, 3 });
    EXPECT_EQ (bass->getList().getDragSourceDescription (rows), juce::var (ColumnBrowser::dragDescription));
    EXPECT_EQ (s.browser.getDragSourceColumn(), bass.getComponent());
    s.browser.dragOperationStarted (Stage::drag (*bass, 0, 0)); // as the toolkit starts the drag

    // Resting on "Lead" opens it in place of the source column.
    root.itemDragEnter (Stage::drag (*bass, 1, 10));
    root.timerCallback();
    EXPECT_EQ (s.browser.columnNames(), juce::StringArray ({ "root", "Lead" }));
    ASSERT_NE (bass.getComponent(), nullptr);
    EXPECT_EQ (s.browser.getParkedColumn(), bass.getComponent());
    EXPECT_FALSE (bass->isVisible());
    EXPECT_EQ (bass->getDraggedRows().size(), 2);

    auto& lead = s.column (1);
    root.itemDragExit (Stage::drag (*bass, 1, 10));
    lead.itemDragEnter (Stage::drag (*bass, 6, 10));
    lead.itemDropped (Stage::drag (*bass, 6, 10));

    EXPECT_EQ (s.browser.log[s.browser.log.size() - 1], "into Lead from Bass");
    EXPECT_EQ (bass.getComponent(), nullptr);
    EXPECT_EQ (s.browser.getParkedColumn(), nullptr);
    EXPECT_EQ (s.browser.getDragSourceColumn(), nullptr);
    s.browser.dragOperationEnded (Stage::drag (root, 0, 0));
    EXPECT_FALSE (s.browser.isDragRunning());

    // Rows handed out for a drag that never started leave nothing parked.
    s.click (root, 0);
    juce::Component::SafePointer<Column> bassAgain (&s.column (1));
    bassAgain->getList().getDragSourceDescription (rows);
    s.click (root, 1);
    EXPECT_EQ (bassAgain.getComponent(), nullptr);
    EXPECT_EQ (s.browser.getParkedColumn(), nullptr);
}

TEST (ColumnBrowser, TheLateEndOfAnEarlierDragLeavesTheNextDragAlone)
{
    Stage s;
    s.click (s.column (0), 0);
    auto& root = s.column (0);
    juce::Component::SafePointer<Column> bass (&s.column (1));
    juce::SparseSet<int> rows;
    rows.addRange ({ 0, 1 });

    // A drag from the root drops into Bass; JUCE ends it once its picture has faded.
    root.getList().getDragSourceDescription (rows);
    s.browser.dragOperationStarted (Stage::drag (root, 0, 0));
    bass->itemDragEnter (Stage::drag (root, 8, 10));
    bass->itemDropped (Stage::drag (root, 8, 10));

    // Before that, a drag from Bass rests on "Lead", which takes Bass's place.
    bass->getList().getDragSourceDescription (rows);
    s.browser.dragOperationStarted (Stage::drag (*bass, 0, 0));
    root.itemDragEnter (Stage::drag (*bass, 1, 10));
    root.timerCallback();
    ASSERT_EQ (s.browser.getParkedColumn(), bass.getComponent());

    s.browser.dragOperationEnded (Stage::drag (root, 0, 0));
    EXPECT_TRUE (s.browser.isDragRunning());
    ASSERT_NE (bass.getComponent(), nullptr) << "deleting the running drag's source ends that drag";
    EXPECT_EQ (s.browser.getParkedColumn(), bass.getComponent());
    EXPECT_EQ (s.browser.getDragSourceColumn(), bass.getComponent());

    s.browser.dragOperationEnded (Stage::drag (*bass, 0, 0));
    EXPECT_FALSE (s.browser.isDragRunning());
    EXPECT_EQ (bass.getComponent(), nullptr);
    EXPECT_EQ (s.browser.getDragSourceColumn(), nullptr);
}

TEST (ColumnBrowser, ColoursSelectionAndRedDropMarks)
{
    Stage s;
    s.click (s.column (0), 0);
    auto& root = s.column (0);
    auto& bass = s.column (1);
    const auto& lf = s.desktop.lookAndFeel;
    const auto fill = lf.findColour (DefaultLookAndFeel::columnFillColourId);
    const auto red = fill.overlaidWith (juce::Colour (0xFFFF0000).withAlpha (0.75f));

    root.itemDragEnter (Stage::drag (bass, 1, 10)); // onto "Lead"
    bass.itemDragEnter (Stage::drag (root, 1, 3));  // above "Sub", which takes no drops

    const auto image = renderComponent (s.browser);
    writeScreenshot (image, "column-browser");
    const auto at = [&s] (juce::Component& c, juce::Point<int> p) { return s.browser.getLocalPoint (&c, p); };

    auto p = at (Stage::item (root, 0), { 150, 10 });
    EXPECT_TRUE (pixelIs (image, p.x, p.y, lf.findColour (DefaultLookAndFeel::columnSelectedItemColourId)));
    p = at (Stage::item (root, 1), { 150, 0 });
    EXPECT_TRUE (pixelIs (image, p.x, p.y, red, 8)) << "the outline of a drop onto the item";
    p = at (Stage::item (bass, 1), { 150, 0 });
    EXPECT_TRUE (pixelIs (image, p.x, p.y, red, 8)) << "insertion mark above";
    p = at (Stage::item (bass, 0), { 150, rowHeight - 1 });
    EXPECT_TRUE (pixelIs (image, p.x, p.y, red, 8)) << "insertion mark below the row before";
    p = at (Stage::item (bass, 0), { 150, 10 });
    EXPECT_TRUE (pixelIs (image, p.x, p.y, fill));

    bass.itemDragMove (Stage::drag (root, 5, 10));
    const auto columnDrop = renderComponent (s.browser);
    p = at (bass, { 0, 100 });
    EXPECT_TRUE (pixelIs (columnDrop, p.x, p.y, juce::Colours::red)) << "the column's outline";
    EXPECT_TRUE (pixelIs (columnDrop, 650, 100, fill)) << "the panel after the last column";
    EXPECT_TRUE (pixelIs (columnDrop, 650, 0, lf.findColour (DefaultLookAndFeel::columnOutlineColourId)));
}
