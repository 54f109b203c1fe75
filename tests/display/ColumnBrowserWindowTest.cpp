#include "support/MessageQueue.h"
#include "support/PixelProbe.h"
#include "support/ScreenGrab.h"
#include "support/XServer.h"
#include "widgets/ColumnBrowserFake.h"
#include "widgets/DefaultLookAndFeel.h"

#include <gtest/gtest.h>

/*  A column browser in a real window under Xvfb, dragged with the X pointer:
    what headless tests cannot show is that the toolkit goes on sending drag
    events while the pointer rests, and keeps a drag alive whose source column
    was closed under it.
*/
namespace
{
using ColumnBrowserFake::Browser;

class BrowserWindow : public juce::Component
{
public:
    BrowserWindow()
    {
        setLookAndFeel (&lookAndFeel);
        addAndMakeVisible (browser);
        browser.setBounds (10, 10, 420, 200);
        setBounds (0, 0, 440, 220);
    }

    ~BrowserWindow() override
    {
        removeAllChildren();
        setLookAndFeel (nullptr);
    }

    void paint (juce::Graphics& g) override { g.fillAll (findColour (DefaultLookAndFeel::backgroundColourId)); }

    DefaultLookAndFeel lookAndFeel;
    Browser browser;
};

bool xdotool (const juce::StringArray& arguments)
{
    auto command = arguments;
    command.insert (0, "xdotool");
    const auto result = runTool (command, 10000);
    EXPECT_TRUE (result.succeeded) << result.failure;
    return result.succeeded;
}

juce::StringArray moveTo (juce::Point<int> screenPoint)
{
    return { "mousemove", "--sync", juce::String (screenPoint.x), juce::String (screenPoint.y) };
}

juce::String nameOf (ColumnBrowser::Column* column)
{
    auto* fake = dynamic_cast<ColumnBrowserFake::Column*> (column);
    return fake != nullptr ? fake->getPathName() : juce::String ("none");
}
} // namespace

TEST (ColumnBrowserWindow, ADragScrollsWhileRestingOpensAFolderInPlaceOfItsSourceAndDrops)
{
    BrowserWindow window;
    auto& browser = window.browser;
    browser.openColumn (browser.createFirstColumn());
    browser.column (0).selectItem (0, true);   // Bass
    browser.column (1).selectItem (0, true);   // Bass/Acid, scrolled into view
    ASSERT_EQ (browser.columnNames(), juce::StringArray ({ "root", "Bass", "Bass/Acid" }));
    ASSERT_GT (browser.getViewPositionX(), 0);

    const auto screen = juce::Desktop::getInstance().getDisplays().getTotalBounds (false);
    juce::Desktop::setMousePosition (screen.getBottomRight() - juce::Point<int> (1, 1));
    window.addToDesktop (0);
    window.setVisible (true);
    const auto windowId = (unsigned long) (juce::pointer_sized_uint) window.getPeer()->getNativeHandle();
    ASSERT_TRUE (runMessageLoopUntil ([windowId] { return XServer::isViewable (windowId); }, 10000));

    // A row's middle, on the screen, in the browser's view as it is now.
    const auto rowCentre = [&browser] (int columnIndex, int row)
    {
        auto& list = browser.column (columnIndex).getList();
        return list.localPointToGlobal (juce::Point<int> (60, row * ColumnBrowser::ListColumn::rowHeight + 10));
    };

    // Press "Intro" in the last column and pull it to 30 px inside the
    // browser's left edge, level with "Loose", which takes no drop onto it.
    const auto intro = rowCentre (2, 0);
    const auto border = browser.localPointToGlobal (juce::Point<int> (30, 0)).withY (rowCentre (0, 3).y);
    auto command = moveTo (intro);
    command.addArray ({ "mousedown", "1" });

    for (int step = 1; step <= 8; ++step)
        command.addArray (moveTo (intro + (border - intro) * step / 8));

    ASSERT_TRUE (xdotool (command));
    ASSERT_TRUE (runMessageLoopUntil ([&] { return browser.isDragAndDropActive(); }, 5000)) << "no drag started";
    EXPECT_EQ (nameOf (browser.getDragSourceColumn()), "Bass/Acid");

    // The pointer rests, and the view goes on scrolling to its start: the few
    // moves of the pull alone scroll it by 10 px each.
    EXPECT_TRUE (runMessageLoopUntil ([&] { return browser.getViewPositionX() == 0; }, 5000))
        << "the view stopped at " << browser.getViewPositionX();
    EXPECT_EQ (browser.getNumColumns(), 3);

    // Resting on the folder "Lead" opens it in place of the source column; the drag goes on.
    ASSERT_TRUE (xdotool (moveTo (rowCentre (0, 1))));
    ASSERT_TRUE (runMessageLoopUntil ([&] { return browser.getNumColumns() == 2 && nameOf (browser.getColumn (1)) == "Lead"; }, 5000))
        << browser.columnNames().joinIntoString (", ");
    ASSERT_EQ (nameOf (browser.getParkedColumn()), "Bass/Acid");
    EXPECT_FALSE (browser.getParkedColumn()->isVisible());

    // On to the top edge of the folder "Saw" in the new column, where a drop
    // goes before it: nothing waits to open there, however long the steps
    // below take on a busy machine (resting in the middle of "Saw" would open
    // it after 500 ms and move the columns under the pointer).
    ASSERT_TRUE (xdotool (moveTo (rowCentre (1, 0) - juce::Point<int> (0, ColumnBrowser::ListColumn::rowHeight / 2 - 2))));
    auto& lead = browser.column (1);
    ASSERT_TRUE (runMessageLoopUntil ([&] { return lead.getDropState() == ColumnBrowser::ListColumn::insertBeforeItem; }, 5000));

    // For people to look at, once the X server shows what the window painted
    // (it lags behind). The dragged row's picture lies over the right part;
    // the first column, whose mark went, tells that the grab is up to date.
    window.getPeer()->performAnyPendingRepaintsNow();
    const auto painted = renderComponent (window);
    const auto firstColumn = painted.getClippedImage (browser.getBoundsInParent().withWidth (browser.column (0).getRight()));
    juce::Image grab;
    runMessageLoopUntil ([&]
    {
        grab = ScreenGrab::grabScreen();
        return ScreenGrab::getMatchingShare (grab, window.getScreenPosition() + browser.getPosition(), firstColumn) > 0.99;
    }, 5000);
    writeScreenshot (grab.getClippedImage (window.getScreenBounds()), "column-browser-drag");

    // Letting go there drops: the toolkit would have ended a drag whose source was deleted.
    ASSERT_TRUE (xdotool ({ "mouseup", "1" }));
    EXPECT_TRUE (runMessageLoopUntil ([&] { return browser.log.contains ("before Saw from Bass/Acid"); }, 5000))
        << browser.log.joinIntoString ("; ");
    EXPECT_EQ (browser.getParkedColumn(), nullptr);
    EXPECT_TRUE (runMessageLoopUntil ([&] { return ! browser.isDragAndDropActive(); }, 5000));

    // The dragged row's picture fades out on a desktop window of the toolkit's
    // animator; left running, it would be deleted after the X connection closed.
    EXPECT_TRUE (runMessageLoopUntil ([] { return ! juce::Desktop::getInstance().getAnimator().isAnimating(); }, 5000));
}
