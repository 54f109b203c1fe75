#pragma once

#include "widgets/ModalComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    The framework's pop-up menu: an item tree that its owner builds once,
    copies freely and shows on demand.

    An open menu is a modal child inside the editor (the nearest
    ModalComponent::Desktop), never a desktop window of its own, which matters
    inside a plug-in host. The chosen item comes back asynchronously through
    PopupMenuEx::Listener, after the press that chose it has been handled, so a
    listener may delete or rebuild menus freely.

    There are no separator items.
*/
class PopupMenuEx : public juce::AsyncUpdater
{
public:
    class PopupMenuComponent;
    class Window;

    /** Hears the result of an open menu. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** itemWasTicked is the item's tick at the moment of the click, before anyone changed it. */
        virtual void menuItemChosen (PopupMenuEx* menu, int itemId, bool itemWasTicked) = 0;

        /** The menu was closed by a press outside its levels. */
        virtual void menuDismissed (PopupMenuEx* menu);
    };

    /** One row of a menu. */
    struct Item
    {
        PopupMenuEx* parent = nullptr;
        int id = 0;
        juce::String text;
        /** What a combo box shows for this item; empty means the text. */
        juce::String boxText;
        bool ticked = false;
        bool enabled = true;
        /** Derived for an item with a sub-menu: some leaf below it is ticked (or enabled). */
        bool containsTicked = false;
        bool containsEnabled = false;
        std::unique_ptr<PopupMenuEx> subMenu;

        const juce::String& getBoxText() const noexcept { return boxText.isEmpty() ? text : boxText; }
    };

    explicit PopupMenuEx (const juce::String& name = {});

    /** Copies the name, the tick flags and the item tree; never listeners, placement or an open menu. */
    PopupMenuEx (const PopupMenuEx& other);
    PopupMenuEx& operator= (const PopupMenuEx& other);

    /** Closes an open menu without telling anyone. */
    ~PopupMenuEx() override;

    /** Appends a leaf item. */
    void addItem (int id, const juce::String& text, bool ticked, bool enabled);

    /** Appends an item that opens a deep copy of subMenu one level further. */
    void addSubMenu (int id, const juce::String& text, const PopupMenuEx& subMenu);

    /** Sets the tick of every leaf with the id, anywhere in the tree; with radio
        the other leaves of each level are unticked. */
    void setItemTicked (int id, bool ticked, bool radio);

    /** The first leaf with the id, depth first; null when none. */
    Item* findItem (int id) const;

    int getNumItems() const noexcept { return items.size(); }
    Item* getItem (int index) const noexcept { return items[index]; }
    const juce::String& getName() const noexcept { return name; }
    int getLevel() const noexcept { return level; }

    /** A listener is held once; null is ignored. */
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    /** Opens the menu inside the nearest Desktop above parent. targetArea is in
        parent's coordinates; an empty one means parent's whole bounds. */
    void show (juce::Component* parent, const juce::Rectangle<int>& targetArea, juce::Justification placement);

    /** The name of the component given to the last show: listeners sharing one
        handler between several menus tell theirs by it. Empty when never shown. */
    juce::String getParentName() const;

    /** The open menu, or null while closed. */
    PopupMenuComponent* getMenuComponent() const noexcept { return menuComponent.get(); }
    bool isOpen() const noexcept { return menuComponent != nullptr; }

    void handleAsyncUpdate() override;

private:
    void copyItemsFrom (const PopupMenuEx& other);
    void refreshTree (int newLevel);
    void refreshDerivedFlags (bool includeEnabled);
    void tickLeaves (int id, bool ticked, bool radio);
    void closeMenuComponent();

    template <typename Callback>
    void callListeners (Callback&& callback);

    void itemChosen (const Item& item);
    void menuDismissedByPress();

    bool roundTicks = true;
    int ticksOnRight = 1;
    juce::Array<Listener*> listeners;
    juce::String name;
    int level = 0;
    juce::OwnedArray<Item> items;
    std::unique_ptr<PopupMenuComponent> menuComponent;
    juce::Component::SafePointer<juce::Component> parentComponent;
    juce::Justification placement { juce::Justification::bottom };
    juce::Rectangle<int> targetArea;
    bool choicePending = false;
    int chosenId = 0;
    bool chosenTicked = false;
    bool dismissPending = false;

    JUCE_DECLARE_WEAK_REFERENCEABLE (PopupMenuEx)
};

//==============================================================================
/**
    An open menu: covers the whole modal area of the editor, holds the stack of
    open level windows and catches presses outside them. Everything outside the
    windows stays transparent and the editor is not dimmed.
*/
class PopupMenuEx::PopupMenuComponent : public ModalComponent,
                                        private juce::Timer
{
public:
    explicit PopupMenuComponent (PopupMenuEx& rootMenu);
    ~PopupMenuComponent() override;

    void mouseDown (const juce::MouseEvent& event) override;
    void visibilityChanged() override;
    bool wantsDimmedBackground() const override;
    void updatePosition() override;

    /** Stops the level timer and opens the level that the pointer rested on. */
    virtual void openPendingLevel();

    /** Asks for menu's level beside area; it opens once the pointer rests 100 ms. */
    void requestLevel (PopupMenuEx* menu, const juce::Rectangle<int>& area, juce::Justification placement);

    /** A click on an enabled leaf: the root menu hands the choice over asynchronously. */
    void itemClicked (const Item& item);

    /** Closes every level and opens the root again (the items changed under it). */
    void rebuildLevels();

    int getNumWindows() const noexcept { return windows.size(); }
    Window* getWindow (int index) const noexcept { return windows[index]; }
    PopupMenuEx* getTopMenu() const noexcept { return topMenu; }

    static constexpr int levelDelayMs = 100;

private:
    void timerCallback() override;
    void openLevel (PopupMenuEx* menu);
    bool closeTopWindow();
    void createWindow (PopupMenuEx* menu);
    void stopLevelTimer();

    PopupMenuEx& owner;
    juce::OwnedArray<Window> windows;
    PopupMenuEx* pendingMenu = nullptr;
    juce::Rectangle<int> pendingArea;
    juce::Justification pendingPlacement { juce::Justification::bottom };
    PopupMenuEx* topMenu = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PopupMenuComponent)
};

//==============================================================================
/** One open level: the items of the root menu or of one sub-menu. */
class PopupMenuEx::Window : public juce::Component
{
public:
    Window (PopupMenuComponent& owner, PopupMenuEx& menuToShow);
    ~Window() override;

    PopupMenuEx& getMenu() const noexcept { return menu; }
    Item* getHoveredItem() const noexcept { return hoveredItem; }
    Item* getMarkedItem() const noexcept { return markedItem; }

    /** The item under a y position in the window, or null. */
    Item* getItemAt (int y) const noexcept;

    void mouseMove (const juce::MouseEvent& event) override;
    void mouseEnter (const juce::MouseEvent& event) override;
    void mouseExit (const juce::MouseEvent& event) override;
    void mouseDown (const juce::MouseEvent& event) override;
    void lookAndFeelChanged() override;
    void paint (juce::Graphics& g) override;

    static constexpr int rowHeight = 16;

private:
    void requestLevelFor (Item& item, int row);
    void updateSize();

    PopupMenuComponent& menuComponent;
    PopupMenuEx& menu;
    juce::Font font;
    Item* hoveredItem = nullptr;
    Item* markedItem = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Window)
};
