#include "widgets/PopupMenuEx.h"

#include "widgets/DefaultLookAndFeel.h"

namespace
{
const juce::Colour menuBackground { 0xFFE3E3E3 };
const juce::Colour rowHighlight { 0xFFADADAD };
const juce::Colour disabledText { 0xFF808080 };
} // namespace

void PopupMenuEx::Listener::menuDismissed (PopupMenuEx*) {}

//==============================================================================
PopupMenuEx::PopupMenuEx (const juce::String& menuName)
    : name (menuName)
{
}

PopupMenuEx::PopupMenuEx (const PopupMenuEx& other)
    : juce::AsyncUpdater(),
      roundTicks (other.roundTicks),
      ticksOnRight (other.ticksOnRight),
      name (other.name)
{
    copyItemsFrom (other);
    refreshTree (0);
    refreshDerivedFlags (true);
}

PopupMenuEx& PopupMenuEx::operator= (const PopupMenuEx& other)
{
    if (this == &other)
        return *this;

    name = other.name;
    roundTicks = other.roundTicks;
    ticksOnRight = other.ticksOnRight;

    // The open levels point at the old items and sub-menus: they are rebuilt
    // from the new tree instead of being left with dangling rows.
    copyItemsFrom (other);
    refreshTree (level);
    refreshDerivedFlags (true);

    if (menuComponent != nullptr)
        menuComponent->rebuildLevels();

    return *this;
}

PopupMenuEx::~PopupMenuEx()
{
    cancelPendingUpdate();
    menuComponent.reset();
}

void PopupMenuEx::copyItemsFrom (const PopupMenuEx& other)
{
    juce::OwnedArray<Item> copies;

    for (auto* source : other.items)
    {
        auto* item = copies.add (new Item());
        item->id = source->id;
        item->text = source->text;
        item->boxText = source->boxText;
        item->ticked = source->ticked;
        item->enabled = source->enabled;

        if (source->subMenu != nullptr)
            item->subMenu = std::make_unique<PopupMenuEx> (*source->subMenu);
    }

    items.swapWith (copies);
}

void PopupMenuEx::refreshTree (int newLevel)
{
    level = newLevel;

    for (auto* item : items)
    {
        item->parent = this;

        if (item->subMenu != nullptr)
            item->subMenu->refreshTree (newLevel + 1);
    }
}

void PopupMenuEx::refreshDerivedFlags (bool includeEnabled)
{
    for (auto* item : items)
    {
        if (item->subMenu == nullptr)
            continue;

        auto& sub = *item->subMenu;
        sub.refreshDerivedFlags (includeEnabled);

        item->containsTicked = false;

        if (includeEnabled)
            item->containsEnabled = false;

        for (auto* child : sub.items)
        {
            const auto isLeaf = child->subMenu == nullptr;
            item->containsTicked = item->containsTicked || (isLeaf ? child->ticked : child->containsTicked);

            if (includeEnabled)
                item->containsEnabled = item->containsEnabled || (isLeaf ? child->enabled : child->containsEnabled);
        }
    }
}

void PopupMenuEx::addItem (int id, const juce::String& text, bool ticked, bool enabled)
{
    auto* item = items.add (new Item());
    item->parent = this;
    item->id = id;
    item->text = text;
    item->ticked = ticked;
    item->enabled = enabled;
}

void PopupMenuEx::addSubMenu (int id, const juce::String& text, const PopupMenuEx& subMenu)
{
    auto* item = items.add (new Item());
    item->id = id;
    item->text = text;
    item->subMenu = std::make_unique<PopupMenuEx> (subMenu);

    // A new level must know its depth and whether it holds a tick or an
    // enabled row at once, not only after the next copy.
    refreshTree (level);
    refreshDerivedFlags (true);
}

void PopupMenuEx::tickLeaves (int id, bool ticked, bool radio)
{
    for (auto* item : items)
    {
        if (item->subMenu != nullptr)
            item->subMenu->tickLeaves (id, ticked, radio);
        else if (item->id == id)
            item->ticked = ticked;
    }

    if (radio)
        for (auto* item : items)
            if (item->subMenu == nullptr && item->id != id)
                item->ticked = false;
}

void PopupMenuEx::setItemTicked (int id, bool ticked, bool radio)
{
    tickLeaves (id, ticked, radio);
    refreshDerivedFlags (false);

    if (menuComponent != nullptr)
        menuComponent->repaint();
}

PopupMenuEx::Item* PopupMenuEx::findItem (int id) const
{
    for (auto* item : items)
    {
        if (item->subMenu != nullptr)
        {
            if (auto* found = item->subMenu->findItem (id))
                return found;
        }
        else if (item->id == id)
        {
            return item;
        }
    }

    return nullptr;
}

void PopupMenuEx::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void PopupMenuEx::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

template <typename Callback>
void PopupMenuEx::callListeners (Callback&& callback)
{
    // Last added first. A listener may remove listeners or delete this menu:
    // the position is re-clamped before each call and the walk stops once the
    // menu is gone, touching nothing of it.
    const juce::WeakReference<PopupMenuEx> self (this);

    for (int i = listeners.size() - 1; i >= 0; --i)
    {
        i = juce::jmin (i, listeners.size() - 1);

        if (i < 0)
            break;

        callback (*listeners.getUnchecked (i));

        if (self.get() == nullptr)
            return;
    }
}

void PopupMenuEx::show (juce::Component* parent, const juce::Rectangle<int>& area, juce::Justification where)
{
    if (parent == nullptr)
        return;

    // Shown again while open: the levels are built anew at the new place.
    if (menuComponent != nullptr)
        menuComponent->hide();
    else
        menuComponent = std::make_unique<PopupMenuComponent> (*this);

    parentComponent = parent;
    parent->addChildComponent (menuComponent.get());
    placement = where;
    targetArea = area;

    menuComponent->showAt (ModalComponent::atPoint, {}, parent);
}

juce::String PopupMenuEx::getParentName() const
{
    return parentComponent != nullptr ? parentComponent->getName() : juce::String();
}

void PopupMenuEx::closeMenuComponent()
{
    if (menuComponent == nullptr)
        return;

    menuComponent->hide();
    menuComponent.reset();
}

void PopupMenuEx::itemChosen (const Item& item)
{
    choicePending = true;
    chosenId = item.id;
    chosenTicked = item.ticked;
    triggerAsyncUpdate();
}

void PopupMenuEx::menuDismissedByPress()
{
    dismissPending = true;
    triggerAsyncUpdate();
}

void PopupMenuEx::handleAsyncUpdate()
{
    if (choicePending)
    {
        choicePending = false;
        dismissPending = false;
        closeMenuComponent();

        const auto id = chosenId;
        const auto wasTicked = chosenTicked;
        callListeners ([this, id, wasTicked] (Listener& l) { l.menuItemChosen (this, id, wasTicked); });
    }
    else if (dismissPending)
    {
        dismissPending = false;
        closeMenuComponent();
        callListeners ([this] (Listener& l) { l.menuDismissed (this); });
    }
}

//==============================================================================
PopupMenuEx::PopupMenuComponent::PopupMenuComponent (PopupMenuEx& rootMenu)
    : owner (rootMenu)
{
}

PopupMenuEx::PopupMenuComponent::~PopupMenuComponent()
{
    stopTimer();
}

void PopupMenuEx::PopupMenuComponent::mouseDown (const juce::MouseEvent& event)
{
    if (event.eventComponent != this)
        return;

    stopLevelTimer();
    owner.menuDismissedByPress();
}

void PopupMenuEx::PopupMenuComponent::visibilityChanged()
{
    windows.clear();
    removeAllChildren();
    topMenu = nullptr;
    pendingMenu = nullptr;

    if (! isVisible())
    {
        stopLevelTimer();
        return;
    }

    auto* parent = owner.parentComponent.getComponent();
    auto area = owner.targetArea;

    if (area.getWidth() < 1 || area.getHeight() < 1)
        area = parent != nullptr ? parent->getLocalBounds() : juce::Rectangle<int>();

    if (parent != nullptr)
        area = getLocalArea (parent, area);

    pendingMenu = &owner;
    pendingArea = area;
    pendingPlacement = owner.placement;
    openPendingLevel();
}

bool PopupMenuEx::PopupMenuComponent::wantsDimmedBackground() const
{
    return false;
}

void PopupMenuEx::PopupMenuComponent::updatePosition()
{
    setBounds (getCoveringArea());
}

void PopupMenuEx::PopupMenuComponent::openPendingLevel()
{
    stopLevelTimer();

    if (pendingMenu != nullptr && pendingMenu != topMenu)
        openLevel (pendingMenu);
}

void PopupMenuEx::PopupMenuComponent::rebuildLevels()
{
    if (isVisible())
        visibilityChanged();
}

void PopupMenuEx::PopupMenuComponent::timerCallback()
{
    openPendingLevel();
}

void PopupMenuEx::PopupMenuComponent::stopLevelTimer()
{
    stopTimer();
}

void PopupMenuEx::PopupMenuComponent::requestLevel (PopupMenuEx* menu, const juce::Rectangle<int>& area,
                                                    juce::Justification where)
{
    if (menu == topMenu)
    {
        stopLevelTimer();
        return;
    }

    pendingMenu = menu;
    pendingArea = area;
    pendingPlacement = where;
    startTimer (levelDelayMs);
}

void PopupMenuEx::PopupMenuComponent::itemClicked (const Item& item)
{
    stopLevelTimer();
    owner.itemChosen (item);
}

void PopupMenuEx::PopupMenuComponent::openLevel (PopupMenuEx* menu)
{
    const auto menuLevel = menu->getLevel();

    while (! windows.isEmpty() && windows.getLast()->getMenu().getLevel() > menuLevel)
        if (! closeTopWindow())
            break;

    if (! windows.isEmpty())
    {
        auto& top = windows.getLast()->getMenu();

        if (&top != menu && top.getLevel() == menuLevel)
            closeTopWindow();
    }

    if (windows.isEmpty() || &windows.getLast()->getMenu() != menu)
        createWindow (menu);
}

bool PopupMenuEx::PopupMenuComponent::closeTopWindow()
{
    // The root level stays until the whole menu closes.
    if (windows.isEmpty() || &windows.getLast()->getMenu() == &owner)
        return false;

    windows.removeLast();
    topMenu = windows.isEmpty() ? nullptr : &windows.getLast()->getMenu();
    return true;
}

void PopupMenuEx::PopupMenuComponent::createWindow (PopupMenuEx* menu)
{
    auto* window = windows.add (new Window (*this, *menu));

    // Inside the menu component the window finds its look and feel, hence its font and size.
    addChildComponent (window);
    window->lookAndFeelChanged();

    const auto covering = getCoveringArea();
    const auto areaWidth = covering.getWidth();
    const auto areaHeight = covering.getHeight();
    const auto w = window->getWidth();
    const auto h = window->getHeight();
    const auto& r = pendingArea;

    int x = 0, y = 0;

    if (pendingPlacement.getFlags() == juce::Justification::right)
    {
        y = r.getY();
        x = r.getRight() + w <= areaWidth ? r.getRight() : r.getX() - w;
    }
    else if (pendingPlacement.getFlags() == juce::Justification::bottom)
    {
        y = r.getBottom();
        x = juce::jmax (r.getX(), 0);

        if (x + w > areaWidth)
            x = areaWidth - w;
    }

    if (y + h > areaHeight)
        y = y + 24 - h;

    window->setTopLeftPosition (x, y);
    window->setVisible (true);
    window->toFront (false);
    topMenu = menu;
}

//==============================================================================
PopupMenuEx::Window::Window (PopupMenuComponent& owner, PopupMenuEx& menuToShow)
    : menuComponent (owner), menu (menuToShow)
{
}

PopupMenuEx::Window::~Window() = default;

PopupMenuEx::Item* PopupMenuEx::Window::getItemAt (int y) const noexcept
{
    const auto row = (y - 6) / rowHeight;
    return row >= 0 ? menu.items[row] : nullptr;
}

void PopupMenuEx::Window::requestLevelFor (Item& item, int row)
{
    const juce::Rectangle<int> rowArea (getX() - 5, getY() + rowHeight * row, getWidth() + 10, rowHeight);
    auto* levelMenu = item.subMenu != nullptr ? item.subMenu.get() : &menu;
    menuComponent.requestLevel (levelMenu, rowArea, juce::Justification::right);
}

void PopupMenuEx::Window::mouseMove (const juce::MouseEvent& event)
{
    auto* item = getItemAt (event.y);

    if (item != nullptr)
        requestLevelFor (*item, (event.y - 6) / rowHeight);

    if (hoveredItem != item || markedItem != item)
    {
        hoveredItem = item;
        markedItem = item;
        repaint();
    }
}

void PopupMenuEx::Window::mouseEnter (const juce::MouseEvent& event)
{
    mouseMove (event);
}

void PopupMenuEx::Window::mouseExit (const juce::MouseEvent&)
{
    if (hoveredItem != nullptr)
    {
        hoveredItem = nullptr;
        repaint();
    }
}

void PopupMenuEx::Window::mouseDown (const juce::MouseEvent& event)
{
    auto* item = getItemAt (event.y);

    if (item == nullptr)
        return;

    if (item->subMenu != nullptr)
        requestLevelFor (*item, (event.y - 6) / rowHeight);
    else if (item->enabled)
        menuComponent.itemClicked (*item);
}

void PopupMenuEx::Window::lookAndFeelChanged()
{
    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        font = lf->getInterfaceFont();

    updateSize();
    repaint();
}

void PopupMenuEx::Window::updateSize()
{
    auto widest = 0;

    for (auto* item : menu.items)
        widest = juce::jmax (widest, font.getStringWidth (item->text));

    setSize (widest + 36, rowHeight * menu.items.size() + 8);
}

void PopupMenuEx::Window::paint (juce::Graphics& g)
{
    DefaultLookAndFeel::drawRoundedPanel (g, getLocalBounds(), menuBackground, juce::Colours::black, 6.0f, 1.0f);

    const auto width = getWidth();
    const auto textX = menu.ticksOnRight != 0 ? 6 : 22;
    const auto tickX = menu.ticksOnRight == 1 ? width - 12 : 7;

    for (int row = 0; row < menu.items.size(); ++row)
    {
        const auto& item = *menu.items.getUnchecked (row);
        const auto top = rowHeight * row;
        const auto hasSubMenu = item.subMenu != nullptr;

        if (&item == hoveredItem || &item == markedItem)
        {
            g.setColour (rowHighlight);
            g.fillRoundedRectangle (4.0f, (float) (top + 4), (float) (width - 8), (float) rowHeight, 3.0f);
        }

        const auto enabled = hasSubMenu ? item.containsEnabled : item.enabled;
        g.setColour (enabled ? juce::Colours::black : disabledText);
        g.setFont (hasSubMenu && item.containsTicked ? font.boldened() : font);

        if (hasSubMenu)
        {
            juce::Path arrow;
            arrow.addTriangle (0.0f, 0.5f, 7.0f, 3.5f, 0.0f, 6.5f);
            arrow.applyTransform (juce::AffineTransform::translation ((float) (width - 14), (float) (top + 8)));
            g.strokePath (arrow, juce::PathStrokeType (1.0f));

            if (item.containsTicked)
                g.fillPath (arrow);
        }
        else if (item.ticked)
        {
            if (menu.roundTicks)
                g.fillEllipse ((float) tickX, (float) (top + 9), 5.0f, 5.0f);
            else
                g.fillRect (tickX, top + 9, 5, 5);
        }

        g.drawText (item.text, textX, top + 3, width - 12, rowHeight, juce::Justification::centredLeft, false);
    }
}
