#include "support/PixelProbe.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"
#include "widgets/PopupMenuEx.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct MenuListener : public PopupMenuEx::Listener
{
    struct Choice
    {
        PopupMenuEx* menu;
        int id;
        bool wasTicked;
    };

    void menuItemChosen (PopupMenuEx* menu, int itemId, bool itemWasTicked) override
    {
        choices.push_back ({ menu, itemId, itemWasTicked });
    }

    void menuDismissed (PopupMenuEx* menu) override { dismissed.push_back (menu); }

    std::vector<Choice> choices;
    std::vector<PopupMenuEx*> dismissed;
};

// An editor stand-in with a button-sized anchor the menu opens under.
struct MenuStage
{
    MenuStage (int width = 600, int height = 400)
        : desktop (width, height)
    {
        anchor.setName ("anchor");
        desktop.addAndMakeVisible (anchor);
        anchor.setBounds (100, 50, 120, 20);
        menu.addListener (&listener);
    }

    PopupMenuEx::Window& window (int index)
    {
        auto* component = menu.getMenuComponent();
        EXPECT_NE (component, nullptr);
        return *component->getWindow (index);
    }

    int numWindows() const
    {
        auto* component = menu.getMenuComponent();
        return component != nullptr ? component->getNumWindows() : 0;
    }

    // A point in the middle of a row of a level window, in the desktop's coordinates.
    juce::Point<int> rowPoint (int windowIndex, int row)
    {
        auto& w = window (windowIndex);
        return desktop.getLocalPoint (&w, juce::Point<int> (w.getWidth() / 2, 14 + 16 * row));
    }

    void open()
    {
        menu.show (&anchor, {}, juce::Justification::bottom);
    }

    TestDesktop desktop;
    juce::Component anchor;
    PopupMenuEx menu;
    MenuListener listener;
};

PopupMenuEx makeWaveMenu()
{
    PopupMenuEx deeper;
    deeper.addItem (4, "Deepest", false, true);

    PopupMenuEx more;
    more.addItem (3, "Pulse", false, true);
    more.addSubMenu (20, "Even more", deeper);

    PopupMenuEx menu;
    menu.addItem (1, "Saw", false, true);
    menu.addItem (2, "Square", true, true);
    menu.addItem (5, "Noise", false, false);
    menu.addSubMenu (10, "More", more);
    return menu;
}
} // namespace

TEST (PopupMenuEx, OpensBelowItsParentInsideTheDesktopAndReportsTheChoiceAfterThePress)
{
    MenuStage stage;
    stage.menu = makeWaveMenu();
    stage.open();

    ASSERT_EQ (stage.numWindows(), 1);
    auto* menuComponent = stage.menu.getMenuComponent();
    EXPECT_EQ (menuComponent->getParentComponent()->getParentComponent(), &stage.desktop);
    EXPECT_FALSE (menuComponent->isOnDesktop());
    EXPECT_EQ (menuComponent->getBounds(), stage.desktop.getLocalBounds());
    EXPECT_EQ (stage.window (0).getBounds().getTopLeft(), juce::Point<int> (100, 70));
    EXPECT_EQ (stage.window (0).getHeight(), 4 * 16 + 8);
    EXPECT_EQ (stage.menu.getParentName(), "anchor");

    // The ticked item: listeners hear its tick from before the click, later.
    EXPECT_EQ (mouseDownAt (stage.desktop, stage.rowPoint (0, 1)), &stage.window (0));
    EXPECT_TRUE (stage.listener.choices.empty());

    dispatchPendingMessages();

    ASSERT_EQ (stage.listener.choices.size(), 1u);
    EXPECT_EQ (stage.listener.choices[0].menu, &stage.menu);
    EXPECT_EQ (stage.listener.choices[0].id, 2);
    EXPECT_TRUE (stage.listener.choices[0].wasTicked);
    EXPECT_FALSE (stage.menu.isOpen());
    EXPECT_TRUE (stage.menu.findItem (2)->ticked); // the menu itself changes no tick
    EXPECT_EQ (componentUnderMouse (stage.desktop, { 150, 60 }), &stage.anchor);
}

TEST (PopupMenuEx, APressOutsideTheLevelsDismissesAndADisabledItemDoesNothing)
{
    MenuStage stage;
    stage.menu = makeWaveMenu();
    stage.open();

    mouseDownAt (stage.desktop, stage.rowPoint (0, 2)); // "Noise" is disabled
    dispatchPendingMessages();
    EXPECT_TRUE (stage.menu.isOpen());
    EXPECT_TRUE (stage.listener.choices.empty());
    EXPECT_TRUE (stage.listener.dismissed.empty());

    // The anchor lies under the covering menu component: the press never reaches it.
    EXPECT_EQ (mouseDownAt (stage.desktop, { 150, 60 }), stage.menu.getMenuComponent());
    dispatchPendingMessages();

    EXPECT_FALSE (stage.menu.isOpen());
    EXPECT_TRUE (stage.listener.choices.empty());
    ASSERT_EQ (stage.listener.dismissed.size(), 1u);
    EXPECT_EQ (stage.listener.dismissed[0], &stage.menu);
}

TEST (PopupMenuEx, AnEmptyMenuShowsASmallLevelThatCanOnlyBeDismissed)
{
    MenuStage stage;
    stage.open();

    ASSERT_EQ (stage.numWindows(), 1);
    EXPECT_EQ (stage.window (0).getBounds(), juce::Rectangle<int> (100, 70, 36, 8));

    mouseDownAt (stage.desktop, { 110, 74 });
    dispatchPendingMessages();
    EXPECT_TRUE (stage.menu.isOpen());

    mouseDownAt (stage.desktop, { 300, 300 });
    dispatchPendingMessages();
    EXPECT_FALSE (stage.menu.isOpen());
    EXPECT_EQ (stage.listener.dismissed.size(), 1u);
}

TEST (PopupMenuEx, SubMenusOpenOnlyOnceThePointerRestsAndCloseFromAShallowerLeaf)
{
    MenuStage stage;
    stage.menu = makeWaveMenu();
    stage.open();
    auto* component = stage.menu.getMenuComponent();

    // Passing over "More" opens nothing until the level timer fires.
    mouseMoveAt (stage.desktop, stage.rowPoint (0, 3));
    EXPECT_EQ (stage.numWindows(), 1);
    component->openPendingLevel();
    ASSERT_EQ (stage.numWindows(), 2);

    const auto root = stage.window (0).getBounds();
    EXPECT_EQ (stage.window (1).getPosition(), juce::Point<int> (root.getRight() + 5, root.getY() + 3 * 16));
    EXPECT_EQ (stage.window (1).getMenu().getLevel(), 1);
    EXPECT_EQ (stage.window (0).getMarkedItem(), stage.menu.getItem (3));

    // Third level, then back to a leaf of the root: the deeper levels close.
    mouseMoveAt (stage.desktop, stage.rowPoint (1, 1));
    component->openPendingLevel();
    ASSERT_EQ (stage.numWindows(), 3);
    EXPECT_EQ (stage.window (2).getMenu().getLevel(), 2);

    // Leaving a level keeps the row that leads to the open sub-menu marked.
    sendMouse (stage.desktop, stage.rowPoint (1, 1), MouseAction::exit);
    EXPECT_EQ (stage.window (1).getHoveredItem(), nullptr);
    EXPECT_NE (stage.window (1).getMarkedItem(), nullptr);

    mouseMoveAt (stage.desktop, stage.rowPoint (0, 0));
    component->openPendingLevel();
    EXPECT_EQ (stage.numWindows(), 1);
    EXPECT_EQ (component->getTopMenu(), &stage.menu);

    // A leaf in a sub-menu is chosen like one of the root; the root menu reports it.
    mouseMoveAt (stage.desktop, stage.rowPoint (0, 3));
    component->openPendingLevel();
    mouseDownAt (stage.desktop, stage.rowPoint (1, 0));
    dispatchPendingMessages();
    ASSERT_EQ (stage.listener.choices.size(), 1u);
    EXPECT_EQ (stage.listener.choices[0].menu, &stage.menu);
    EXPECT_EQ (stage.listener.choices[0].id, 3);
}

TEST (PopupMenuEx, ShownAgainWhileOpenItReopensAtTheNewPlace)
{
    MenuStage stage;
    stage.menu = makeWaveMenu();
    stage.open();
    mouseMoveAt (stage.desktop, stage.rowPoint (0, 3));
    stage.menu.getMenuComponent()->openPendingLevel();

    stage.menu.show (&stage.anchor, { 300, 0, 50, 20 }, juce::Justification::bottom);

    ASSERT_EQ (stage.numWindows(), 1);
    EXPECT_EQ (stage.window (0).getPosition(), juce::Point<int> (400, 70));
    EXPECT_TRUE (stage.menu.getMenuComponent()->isVisible());
}

TEST (PopupMenuEx, LevelsAreKeptInsideTheCoveringArea)
{
    // The anchor sits near the right and bottom edges of a 300 x 200 editor.
    MenuStage stage (300, 200);
    stage.anchor.setBounds (250, 150, 40, 20);
    PopupMenuEx more;
    for (int i = 0; i < 6; ++i)
        more.addItem (100 + i, "Pattern " + juce::String (i + 1), false, true);
    stage.menu.addItem (1, "Load pattern", false, true);
    stage.menu.addSubMenu (2, "Recent patterns", more);
    stage.open();

    // Pushed left to end at the right edge; moved up to end 24 px below its computed top.
    const auto root = stage.window (0).getBounds();
    EXPECT_EQ (root.getRight(), 300);
    EXPECT_EQ (root.getY(), 170 + 24 - root.getHeight());

    // No room to the right of the row: the sub-menu opens left of the row's area.
    mouseMoveAt (stage.desktop, stage.rowPoint (0, 1));
    stage.menu.getMenuComponent()->openPendingLevel();
    ASSERT_EQ (stage.numWindows(), 2);
    EXPECT_EQ (stage.window (1).getRight(), root.getX() - 5);
}

TEST (PopupMenuEx, RadioTicksLeaveOneTickedLeafPerLevelAndMarkTheWayToIt)
{
    auto menu = makeWaveMenu();

    menu.setItemTicked (4, true, true);

    EXPECT_FALSE (menu.findItem (2)->ticked); // unticked in the root level
    EXPECT_FALSE (menu.findItem (3)->ticked);
    EXPECT_TRUE (menu.findItem (4)->ticked);
    auto* more = menu.getItem (3);
    EXPECT_TRUE (more->containsTicked);
    EXPECT_TRUE (more->subMenu->getItem (1)->containsTicked);

    menu.setItemTicked (4, false, false);
    EXPECT_FALSE (more->containsTicked);

    // An id no item has still unticks the others when radio.
    menu.setItemTicked (1, true, false);
    menu.setItemTicked (99, true, true);
    EXPECT_FALSE (menu.findItem (1)->ticked);
    EXPECT_EQ (menu.findItem (99), nullptr);
}

TEST (PopupMenuEx, CopiesCarryTheItemTreeButNeitherListenersNorTheOpenMenu)
{
    MenuStage stage;
    stage.menu = makeWaveMenu();
    stage.open();

    PopupMenuEx copy (stage.menu);

    EXPECT_FALSE (copy.isOpen());
    EXPECT_EQ (copy.getParentName(), "");
    ASSERT_NE (copy.findItem (4), nullptr);
    EXPECT_NE (copy.findItem (4), stage.menu.findItem (4));
    EXPECT_EQ (copy.getItem (3)->subMenu->getItem (1)->subMenu->getLevel(), 2);
    EXPECT_TRUE (copy.getItem (3)->containsEnabled);

    // A new tree given to an open menu rebuilds its levels from the new items.
    PopupMenuEx replacement;
    replacement.addItem (7, "Only", false, true);
    stage.menu = replacement;
    ASSERT_EQ (stage.numWindows(), 1);
    EXPECT_EQ (stage.window (0).getHeight(), 16 + 8);

    mouseDownAt (stage.desktop, stage.rowPoint (0, 0));
    dispatchPendingMessages();
    ASSERT_EQ (stage.listener.choices.size(), 1u);
    EXPECT_EQ (stage.listener.choices[0].id, 7);
}

TEST (PopupMenuEx, AListenerMayDeleteTheMenuItIsTold)
{
    TestDesktop desktop;
    juce::Component anchor;
    desktop.addAndMakeVisible (anchor);
    anchor.setBounds (10, 10, 50, 20);

    auto menu = std::make_unique<PopupMenuEx>();
    menu->addItem (1, "Clear", false, true);

    MenuListener addedFirst;
    struct Deleter : public PopupMenuEx::Listener
    {
        std::unique_ptr<PopupMenuEx>* owner = nullptr;
        void menuItemChosen (PopupMenuEx*, int, bool) override { owner->reset(); }
    } deleter;
    deleter.owner = &menu;

    menu->addListener (&addedFirst);
    menu->addListener (&deleter);
    menu->show (&anchor, {}, juce::Justification::bottom);
    mouseDownAt (desktop, { 30, 44 });
    dispatchPendingMessages();

    EXPECT_EQ (menu, nullptr);
    EXPECT_TRUE (addedFirst.choices.empty()); // the walk stopped with the menu
    EXPECT_EQ (desktop.getNumChildComponents(), 1);
}

TEST (PopupMenuEx, RowsDrawHighlightTicksAndArrowsOverTheUndimmedEditor)
{
    MenuStage stage;
    stage.menu = makeWaveMenu();
    stage.menu.setItemTicked (4, true, true); // "More" now leads to a tick
    stage.menu.setItemTicked (2, true, false);
    stage.open();
    mouseMoveAt (stage.desktop, stage.rowPoint (0, 1));

    const auto image = renderComponent (stage.desktop);
    writeScreenshot (image, "popup-menu");
    const auto w = stage.window (0).getBounds();
    const auto& lf = stage.desktop.lookAndFeel;

    // No veil: the editor shows through unchanged around the level.
    EXPECT_TRUE (pixelIs (image, 400, 300, lf.findColour (DefaultLookAndFeel::backgroundColourId)));
    EXPECT_TRUE (pixelIs (image, w.getX() + 5, w.getY() + 5, juce::Colour (0xFFE3E3E3)));           // plain row
    EXPECT_TRUE (pixelIs (image, w.getX() + 5, w.getY() + 16 + 5, juce::Colour (0xFFADADAD)));      // hovered row
    EXPECT_TRUE (pixelIs (image, w.getRight() - 10, w.getY() + 16 + 11, juce::Colours::black, 40)); // its tick
    EXPECT_TRUE (pixelIs (image, w.getRight() - 12, w.getY() + 3 * 16 + 11, juce::Colours::black, 40)); // filled arrow
    EXPECT_TRUE (pixelIs (image, w.getX() + w.getWidth() / 2, w.getY(), juce::Colours::black));        // outline
}
