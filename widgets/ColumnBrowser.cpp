#include "widgets/ColumnBrowser.h"

#include "widgets/DefaultLookAndFeel.h"
#include "widgets/InterfaceTypefaces.h"

namespace
{
const juce::Colour dropMarkRed = juce::Colour (0xFFFF0000).withAlpha (0.75f);
const juce::Colour arrowOutline { 0xFF646464 };

// A concrete browser whose parent columns never meet the open chain stops here.
constexpr int maxAncestors = 256;

constexpr int browserAutoScrollBorder = 200, browserAutoScrollSpeed = 10;
} // namespace

//==============================================================================
ColumnBrowser::ColumnBrowser()
    : juce::Viewport (juce::String()),
      content (std::make_unique<ViewportComponent>())
{
    setViewedComponent (content.get(), false);
    setWantsKeyboardFocus (false);
    setScrollBarsShown (false, true);
    getHorizontalScrollBar().setAutoHide (false);
    setColour (juce::TextEditor::highlightColourId, juce::Colour (0xFFD3D3D3));
    lookAndFeelChanged();
}

ColumnBrowser::~ColumnBrowser()
{
    parkedColumn.reset();
    setViewedComponent (nullptr, false);
    content.reset();
    columns.clear();
}

void ColumnBrowser::openColumn (std::unique_ptr<Column> newColumn)
{
    if (newColumn != nullptr)
    {
        auto* column = newColumn.get();
        openColumnImpl (column, std::move (newColumn));
    }
}

void ColumnBrowser::openColumn (Column& column)
{
    if (columns.contains (&column))
        openColumnImpl (&column, nullptr);
}

void ColumnBrowser::openColumnImpl (Column* column, std::unique_ptr<Column> newColumn)
{
    auto closedWidth = -1;

    while (! columns.isEmpty())
    {
        auto* rightmost = columns.getLast();

        if (rightmost == column || column->canFollow (rightmost))
            break;

        closedWidth = rightmost->getWidth();
        closeColumn (rightmost);
    }

    if (newColumn != nullptr)
        addColumn (std::move (newColumn), -1);

    // A column opened alone builds its chain of ancestors to its left.
    const auto count = columns.size();
    auto* current = columns.getLast();

    for (int i = 0; i < maxAncestors; ++i)
    {
        if (count - 1 > 0 && current->isChildOf (columns[count - 2]))
            break;

        auto parent = current->createParentColumn();

        if (parent == nullptr)
            break;

        current = parent.get();
        addColumn (std::move (parent), count - 1);
    }

    // A replacement keeps the width the user gave the column it replaces.
    if (closedWidth >= 0)
    {
        auto* replacement = columns[count - 1];
        replacement->setSize (juce::jmax (replacement->getMinimumWidth(), closedWidth), replacement->getHeight());
    }

    updateNeighbours();
    layoutColumns();
    refreshColumns();
}

void ColumnBrowser::closeColumn (Column* column)
{
    column->setNeighbours (nullptr, nullptr);

    if (isDragRunning() && column == dragSourceColumn)
    {
        // Deleting the drag's source would end the drag: hide it until the drag ends.
        column->setVisible (false);
        parkedColumn.reset (columns.removeAndReturn (columns.indexOf (column)));
        return;
    }

    columns.removeObject (column);
}

void ColumnBrowser::addColumn (std::unique_ptr<Column> column, int index)
{
    if (column == nullptr)
        return;

    column->setSize (column->getDefaultWidth(), content->getHeight());
    content->addAndMakeVisible (*column);
    column->sendLookAndFeelChange();
    columns.insert (index, column.release());
}

void ColumnBrowser::updateNeighbours()
{
    for (int i = 0; i < columns.size(); ++i)
        columns[i]->setNeighbours (columns[i - 1], columns[i + 1]);
}

void ColumnBrowser::layoutColumns()
{
    if (layingOut)
        return;

    const juce::ScopedValueSetter<bool> guard (layingOut, true);
    auto x = 0;

    for (auto* column : columns)
    {
        column->setTopLeftPosition (x, 0);
        x += column->getWidth();
    }

    totalWidth = x;

    // The content reaches as far as the view does, so the scroll position stays valid.
    const auto viewX = getViewPositionX();
    const auto width = juce::jmax (getWidth(), totalWidth + juce::jmax (0, viewX + getWidth() - totalWidth));
    const auto height = getHorizontalScrollBar().isVisible() ? getHeight() - 3 - getScrollBarThickness() : getHeight();
    content->setSize (width, juce::jmax (0, height));
    repaint();
}

void ColumnBrowser::refreshColumns()
{
    for (int i = 0; i < columns.size(); ++i)
        columns[i]->refresh();

    columnsRefreshed();
}

void ColumnBrowser::scrollToColumn (Column* column)
{
    if (! columns.contains (column))
        return;

    const auto viewX = getViewPositionX();

    if (column->getX() < viewX)
        setViewPosition (column->getX(), 0);
    else if (column->getRight() > viewX + getViewWidth())
        setViewPosition (column->getRight() - getViewWidth(), 0);
}

void ColumnBrowser::scrollToLastColumn()
{
    scrollToColumn (columns.getLast());
}

void ColumnBrowser::setActiveColumn (Column* column)
{
    if (column != nullptr)
        column->setActive (true);

    for (auto* other : columns)
        if (other != column)
            other->setActive (false);
}

void ColumnBrowser::dragStartingFrom (ListColumn& column)
{
    dragSourceColumn = &column;
}

void ColumnBrowser::forgetDragSource (const ListColumn& column) noexcept
{
    if (dragSourceColumn == &column)
        dragSourceColumn = nullptr;
}

void ColumnBrowser::deleteParkedColumn()
{
    if (parkedColumn != nullptr && parkedColumn.get() == dragSourceColumn)
        dragSourceColumn = nullptr;

    parkedColumn.reset();
}

void ColumnBrowser::visibleAreaChanged (const juce::Rectangle<int>&)
{
    layoutColumns();
}

void ColumnBrowser::lookAndFeelChanged()
{
    juce::Viewport::lookAndFeelChanged();
    setScrollBarThickness (getLookAndFeel().getDefaultScrollbarWidth());
}

void ColumnBrowser::resized()
{
    juce::Viewport::resized();
    layoutColumns();
}

void ColumnBrowser::paint (juce::Graphics& g)
{
    g.fillAll (findColour (DefaultLookAndFeel::columnBrowserBackgroundColourId));

    const auto end = totalWidth - getViewPositionX();

    if (end < getWidth())
        DefaultLookAndFeel::drawRoundedPanel (g, { end, 0, getWidth() - end, content->getHeight() },
                                              findColour (DefaultLookAndFeel::columnFillColourId),
                                              findColour (DefaultLookAndFeel::columnOutlineColourId), 6.0f, 1.0f);
}

void ColumnBrowser::dragOperationStarted (const juce::DragAndDropTarget::SourceDetails&)
{
    ++runningDrags;

    // JUCE 7 sends no drag events while the pointer rests; auto-scroll needs them.
    juce::Desktop::getInstance().beginDragAutoRepeat (dragRepeatMs);
}

void ColumnBrowser::dragOperationEnded (const juce::DragAndDropTarget::SourceDetails&)
{
    // JUCE ends a drag when its picture has faded, about 200 ms after the drop:
    // the end of an earlier drag must leave a newer one's state alone.
    runningDrags = juce::jmax (0, runningDrags - 1);

    if (runningDrags > 0)
        return;

    dragSourceColumn = nullptr;
    parkedColumn.reset();
}

//==============================================================================
void ColumnBrowser::ViewportComponent::resized()
{
    for (auto* child : getChildren())
        if (dynamic_cast<Column*> (child) != nullptr)
            child->setSize (child->getWidth(), getHeight());
}

//==============================================================================
ColumnBrowser::Column::Column (ColumnBrowser& owner)
    : browser (owner)
{
}

ColumnBrowser::Column::~Column() = default;

std::unique_ptr<ColumnBrowser::Column> ColumnBrowser::Column::createParentColumn()  { return nullptr; }
bool ColumnBrowser::Column::isResizable()                                           { return true; }
int ColumnBrowser::Column::getDefaultWidth()                                        { return 200; }
int ColumnBrowser::Column::getMinimumWidth()                                        { return 100; }
void ColumnBrowser::Column::refresh()                                               {}
void ColumnBrowser::Column::setActive (bool shouldBeActive)                         { active = shouldBeActive; }

void ColumnBrowser::Column::setNeighbours (Column* left, Column* right)
{
    if (left == leftNeighbour && right == rightNeighbour)
        return;

    leftNeighbour = left;
    rightNeighbour = right;
    resized();
    repaint();
}

bool ColumnBrowser::Column::keepsGripSpace()
{
    return rightNeighbour != nullptr || isResizable();
}

juce::Rectangle<int> ColumnBrowser::Column::getPanelArea()
{
    return { 0, 0, keepsGripSpace() ? getWidth() - gripWidth : getWidth(), getHeight() };
}

void ColumnBrowser::Column::paint (juce::Graphics& g)
{
    const auto outline = findColour (DefaultLookAndFeel::columnOutlineColourId);
    DefaultLookAndFeel::drawRoundedPanel (g, getPanelArea(), findColour (DefaultLookAndFeel::columnFillColourId), outline, 6.0f, 1.0f);

    if (isResizable())
    {
        g.setColour (outline);
        const auto top = (float) ((getHeight() - 13) / 2);

        for (auto x : { getWidth() - 6, getWidth() - 4, getWidth() - 2 })
            g.drawVerticalLine (x, top, top + 13.0f);
    }
}

void ColumnBrowser::Column::mouseDown (const juce::MouseEvent& e)
{
    if (isResizable() && e.x >= getWidth() - gripWidth)
    {
        resizing = true;
        widthAtDragStart = getWidth();
        repaint();
    }
}

void ColumnBrowser::Column::mouseDrag (const juce::MouseEvent& e)
{
    if (! resizing)
        return;

    setSize (juce::jmax (getMinimumWidth(), widthAtDragStart + e.getDistanceFromDragStartX()), getHeight());
    browser.layoutColumns();
    repaint();
}

void ColumnBrowser::Column::mouseUp (const juce::MouseEvent&)
{
    if (resizing)
    {
        resizing = false;
        repaint();
    }
}

//==============================================================================
ColumnBrowser::ListColumn::DropState ColumnBrowser::ListColumn::getDropStateFor (int row, int positionInRow, int height,
                                                                                 const DropAbilities& abilities) noexcept
{
    if (row >= 0)
    {
        if (abilities.onItem)
        {
            if (positionInRow < 5 && abilities.before)
                return insertBeforeItem;

            if (positionInRow < height - 5 || ! abilities.after)
                return dropOntoItem;

            return insertAfterItem;
        }

        if (positionInRow < height / 2 && abilities.before)
            return insertBeforeItem;

        if (abilities.after)
            return insertAfterItem;
    }

    return abilities.onColumn ? dropIntoColumn : noDrop;
}

ColumnBrowser::ListColumn::ListColumn (ColumnBrowser& owner)
    : Column (owner),
      list (std::make_unique<List> (*this))
{
    addAndMakeVisible (*list);
}

ColumnBrowser::ListColumn::~ListColumn()
{
    stopTimer();
    getBrowser().forgetDragSource (*this);
}

int ColumnBrowser::ListColumn::getNumItems()                                  { return 0; }
juce::String ColumnBrowser::ListColumn::getItemText (int)                     { return {}; }
bool ColumnBrowser::ListColumn::itemHasChildren (int)                         { return false; }
bool ColumnBrowser::ListColumn::canDragItems (const juce::SparseSet<int>&)    { return true; }
bool ColumnBrowser::ListColumn::canRenameItem (int)                           { return true; }
std::unique_ptr<ColumnBrowser::Column> ColumnBrowser::ListColumn::createChildColumn (int) { return nullptr; }
void ColumnBrowser::ListColumn::itemOpened (int)                              {}
void ColumnBrowser::ListColumn::renameItem (int, const juce::String&)         {}
void ColumnBrowser::ListColumn::listBackgroundClicked()                       {}
bool ColumnBrowser::ListColumn::canDropOnColumn (ListColumn*)                 { return true; }
bool ColumnBrowser::ListColumn::canDropOnItem (ListColumn*, int)              { return true; }
bool ColumnBrowser::ListColumn::canInsertBefore (ListColumn*, int)            { return true; }
bool ColumnBrowser::ListColumn::canInsertAfter (ListColumn*, int)             { return true; }
void ColumnBrowser::ListColumn::dropOnColumn (ListColumn*)                    {}
void ColumnBrowser::ListColumn::dropOnItem (ListColumn*, int)                 {}
void ColumnBrowser::ListColumn::dropBefore (ListColumn*, int)                 {}
void ColumnBrowser::ListColumn::dropAfter (ListColumn*, int)                  {}

const juce::Image& ColumnBrowser::ListColumn::getItemIcon (int, bool)
{
    static const juce::Image none;
    return none;
}

void ColumnBrowser::ListColumn::selectItem (int row, bool deselectOthers)
{
    list->selectRow (row, false, deselectOthers);
    list->scrollToEnsureRowIsOnscreen (row);
}

void ColumnBrowser::ListColumn::openRow (int row)
{
    // An emptied selection reports -1: there is nothing to open then.
    if (row < 0 || row >= getNumItems())
        return;

    auto& owner = getBrowser();
    owner.openColumn (createChildColumn (row));
    owner.scrollToColumn (this);
    owner.scrollToLastColumn();
    owner.setActiveColumn (this);
    itemOpened (row);
}

void ColumnBrowser::ListColumn::startRename (int row)
{
    auto* item = dynamic_cast<ItemComponent*> (list->getComponentForRowNumber (row));

    if (item == nullptr || ! canRenameItem (row))
        return;

    auto& label = item->getLabel();
    label.setColour (juce::TextEditor::textColourId, juce::Colours::black);
    label.setColour (juce::TextEditor::highlightedTextColourId, juce::Colours::black);
    label.showEditor();
}

void ColumnBrowser::ListColumn::refresh()
{
    list->updateContent();
    list->repaint();
}

void ColumnBrowser::ListColumn::setActive (bool shouldBeActive)
{
    Column::setActive (shouldBeActive);

    if (shouldBeActive)
        list->grabKeyboardFocus();
}

void ColumnBrowser::ListColumn::resized()
{
    const auto listWidth = keepsGripSpace() ? getWidth() - 15 : getWidth() - 8;
    list->setBounds (4, 4, juce::jmax (0, listWidth), juce::jmax (0, getHeight() - 8));
}

void ColumnBrowser::ListColumn::paint (juce::Graphics& g)
{
    Column::paint (g);

    if (dropState == dropIntoColumn)
        DefaultLookAndFeel::drawRoundedRectOutline (g, getPanelArea(), juce::Colour (0xFFFF0000), 4.0f, 1.0f);
}

ColumnBrowser::ListColumn* ColumnBrowser::ListColumn::getSourceColumn (const SourceDetails& details)
{
    auto* sourceList = dynamic_cast<List*> (details.sourceComponent.get());
    return sourceList != nullptr ? &sourceList->getColumn() : nullptr;
}

bool ColumnBrowser::ListColumn::isInterestedInDragSource (const SourceDetails& details)
{
    const auto* source = getSourceColumn (details);
    return details.description.isString() && details.description.toString() == dragDescription
        && source != nullptr && &source->getBrowser() == &getBrowser();
}

void ColumnBrowser::ListColumn::itemDragEnter (const SourceDetails& details)
{
    dragMoved (details);
}

void ColumnBrowser::ListColumn::itemDragMove (const SourceDetails& details)
{
    dragMoved (details);
}

void ColumnBrowser::ListColumn::dragMoved (const SourceDetails& details)
{
    const auto position = details.localPosition;

    if (list->getBounds().contains (position))
    {
        auto* source = getSourceColumn (details);
        const auto inList = position - list->getPosition();
        const auto row = list->getRowContainingPosition (inList.x, inList.y);
        auto* listViewport = list->getViewport();
        const auto scrolled = listViewport->getViewPositionY() + inList.y - listViewport->getY();
        const auto positionInRow = juce::jmax (0, scrolled) % rowHeight;

        DropAbilities abilities;

        if (row >= 0)
        {
            abilities.onItem = canDropOnItem (source, row);
            abilities.before = canInsertBefore (source, row);
            abilities.after = canInsertAfter (source, row);
        }

        abilities.onColumn = canDropOnColumn (source);
        setDropState (getDropStateFor (row, positionInRow, rowHeight, abilities), row);

        const auto inViewport = listViewport->getLocalPoint (this, position);
        listViewport->autoScroll (inViewport.x, inViewport.y, rowHeight / 2, rowHeight);
    }

    auto& owner = getBrowser();
    const auto inBrowser = owner.getLocalPoint (this, position);
    owner.autoScroll (inBrowser.x, inBrowser.y, browserAutoScrollBorder, browserAutoScrollSpeed);
}

void ColumnBrowser::ListColumn::setDropState (DropState newState, int newRow)
{
    if (newState == dropState && newRow == dropRow)
        return;

    dropState = newState;
    dropRow = newRow;

    // Leaving an item before the timer fires opens nothing.
    if (newState == dropOntoItem)
    {
        hoverOpenRow = newRow;
        startTimer (hoverOpenMs);
    }
    else
    {
        stopTimer();
    }

    repaint();
}

void ColumnBrowser::ListColumn::itemDragExit (const SourceDetails&)
{
    stopTimer();
    dropRow = -1;
    dropState = noDrop;
    repaint();
}

void ColumnBrowser::ListColumn::itemDropped (const SourceDetails& details)
{
    auto* source = getSourceColumn (details);
    auto& owner = getBrowser();
    const juce::Component::SafePointer<ListColumn> self (this);

    switch (dropState)
    {
        case dropIntoColumn:   dropOnColumn (source); break;
        case dropOntoItem:     dropOnItem (source, dropRow); break;
        case insertBeforeItem: dropBefore (source, dropRow); break;
        case insertAfterItem:  dropAfter (source, dropRow); break;
        case noDrop:           break;
    }

    if (self != nullptr)
    {
        stopTimer();
        dropRow = -1;
        dropState = noDrop;
        repaint();
    }

    owner.deleteParkedColumn();
    owner.refreshColumns();
}

void ColumnBrowser::ListColumn::timerCallback()
{
    stopTimer();
    const auto row = hoverOpenRow;

    if (row < 0 || row >= getNumItems())
        return;

    // Selecting a row opens it, unless it was the only selected row already.
    const auto alreadySelected = list->getNumSelectedRows() == 1 && list->isRowSelected (row);
    selectItem (row, true);

    if (alreadySelected)
        openRow (row);

    getBrowser().scrollToColumn (this);
    getBrowser().setActiveColumn (this);
}

//==============================================================================
ColumnBrowser::ListColumn::List::List (ListColumn& owner)
    : column (owner)
{
    setModel (this);
    setRowHeight (ListColumn::rowHeight);
    setMultipleSelectionEnabled (true);
}

ColumnBrowser::ListColumn::List::~List()
{
    setModel (nullptr);
}

int ColumnBrowser::ListColumn::List::getNumRows()
{
    return column.getNumItems();
}

void ColumnBrowser::ListColumn::List::paintListBoxItem (int, juce::Graphics&, int, int, bool)
{
}

juce::Component* ColumnBrowser::ListColumn::List::refreshComponentForRow (int row, bool isRowSelected, juce::Component* existing)
{
    // Rows past the end stay empty: the data questions are asked only of real rows.
    if (row < 0 || row >= column.getNumItems())
    {
        delete existing;
        return nullptr;
    }

    if (auto* item = dynamic_cast<ItemComponent*> (existing))
    {
        item->update (row, isRowSelected);
        return item;
    }

    delete existing;
    return new ItemComponent (column, row, isRowSelected);
}

void ColumnBrowser::ListColumn::List::selectedRowsChanged (int lastSelected)
{
    column.openRow (lastSelected);
}

void ColumnBrowser::ListColumn::List::listBoxItemClicked (int row, const juce::MouseEvent&)
{
    // A click on the selected row of another column brings its child column back.
    if (! column.isActive())
        column.openRow (row);
}

void ColumnBrowser::ListColumn::List::listBoxItemDoubleClicked (int row, const juce::MouseEvent&)
{
    if (getNumSelectedRows() == 1 && isRowSelected (row))
        column.startRename (row);
}

void ColumnBrowser::ListColumn::List::backgroundClicked (const juce::MouseEvent&)
{
    column.getBrowser().openColumn (column);
    deselectAllRows();
    column.listBackgroundClicked();
    column.refresh();
}

juce::var ColumnBrowser::ListColumn::List::getDragSourceDescription (const juce::SparseSet<int>& rows)
{
    if (! column.canDragItems (rows))
        return {};

    column.getBrowser().dragStartingFrom (column);
    column.draggedRows = rows;
    return dragDescription;
}

bool ColumnBrowser::ListColumn::List::keyPressed (const juce::KeyPress& key)
{
    // The column may be closed by what the key opens: nothing of it is used afterwards.
    if (key.isKeyCode (juce::KeyPress::leftKey))
    {
        if (auto* left = dynamic_cast<ListColumn*> (column.getLeftNeighbour()))
            left->openRow (left->getList().getSelectedRow (0));

        return true;
    }

    if (key.isKeyCode (juce::KeyPress::rightKey))
    {
        if (auto* right = dynamic_cast<ListColumn*> (column.getRightNeighbour()))
        {
            if (right->getNumItems() > 0 && ! right->getList().isRowSelected (0))
                right->selectItem (0, true);
            else
                right->openRow (0);
        }

        return true;
    }

    return juce::ListBox::keyPressed (key);
}

bool ColumnBrowser::ListColumn::List::keyStateChanged (bool isKeyDown)
{
    if (isKeyDown && (juce::KeyPress::isKeyCurrentlyDown (juce::KeyPress::leftKey)
                      || juce::KeyPress::isKeyCurrentlyDown (juce::KeyPress::rightKey)))
        return true;

    return juce::ListBox::keyStateChanged (isKeyDown);
}

void ColumnBrowser::ListColumn::List::lookAndFeelChanged()
{
    juce::ListBox::lookAndFeelChanged();

    if (auto* lf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        setColour (juce::ListBox::backgroundColourId, lf->findColour (DefaultLookAndFeel::columnFillColourId));
}

//==============================================================================
ColumnBrowser::ListColumn::ItemComponent::ItemComponent (ListColumn& owner, int rowToShow, bool isRowSelected)
    : column (owner)
{
    label.setFont (InterfaceTypefaces::font (13.0f));
    label.setEditTriggers (false, true);
    label.setTextMargin (0);
    label.setEditorIndentOffset (3);
    label.setColour (juce::TextEditor::textColourId, juce::Colours::black);
    label.setColour (juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);
    label.setColour (juce::TextEditor::outlineColourId, juce::Colours::transparentBlack);
    label.setColour (juce::TextEditor::highlightColourId, juce::Colours::white);
    label.setColour (juce::TextEditor::highlightedTextColourId, juce::Colours::black);
    label.setColour (juce::CaretComponent::caretColourId, juce::Colour (0xFFFF4500).withAlpha (0.75f));
    label.addListener (this);
    addAndMakeVisible (label);

    // The list box takes the clicks: only its double click starts an edit.
    setInterceptsMouseClicks (false, false);
    update (rowToShow, isRowSelected);
}

ColumnBrowser::ListColumn::ItemComponent::~ItemComponent()
{
    if (auto* editor = label.getEditor())
        editor->removeModalListener (this);
}

void ColumnBrowser::ListColumn::ItemComponent::update (int newRow, bool nowSelected)
{
    row = newRow;
    label.setText (column.getItemText (row));

    const auto& newIcon = column.getItemIcon (row, false);
    const auto& newSelectedIcon = column.getItemIcon (row, true);

    if (newIcon != icon || newSelectedIcon != selectedIcon)
    {
        icon = newIcon;
        selectedIcon = newSelectedIcon;
        repaint();
    }

    if (nowSelected != selected)
    {
        selected = nowSelected;
        label.setColour (juce::TextEditor::textColourId, selected ? juce::Colours::white : juce::Colours::black);
        repaint();
    }

    const auto nowHasChildren = column.itemHasChildren (row);

    if (nowHasChildren != children)
    {
        children = nowHasChildren;
        label.setFont (InterfaceTypefaces::font (13.0f, children ? juce::Font::bold : juce::Font::plain));
        resized();
    }
}

void ColumnBrowser::ListColumn::ItemComponent::textCommitted (ModalTextEditor* editor)
{
    column.renameItem (row, editor->getText());
}

void ColumnBrowser::ListColumn::ItemComponent::editEnded (ModalTextEditor*)
{
    // Renaming drew the text black; a selected row shows it white again.
    label.setColour (juce::TextEditor::textColourId, selected ? juce::Colours::white : juce::Colours::black);
}

bool ColumnBrowser::ListColumn::ItemComponent::isListScrollBarVisible() const
{
    return column.getList().getVerticalScrollBar().isVisible();
}

void ColumnBrowser::ListColumn::ItemComponent::resized()
{
    const auto x = juce::jmin (19, getWidth());
    const auto width = getWidth() - x - (children ? 15 : 0) - (isListScrollBarVisible() ? 3 : 0);
    label.setBounds (x, 1, juce::jmax (0, width), juce::jmax (0, getHeight() - 2));
}

void ColumnBrowser::ListColumn::ItemComponent::paint (juce::Graphics& g)
{
    const auto w = isListScrollBarVisible() ? getWidth() - 3 : getWidth();
    const auto h = getHeight();

    if (selected)
        DefaultLookAndFeel::fillRoundedRect (g, { 0, 1, w, h - 2 }, findColour (DefaultLookAndFeel::columnSelectedItemColourId), 4.0f);

    if (children)
    {
        juce::Path arrow;
        arrow.addTriangle (0.0f, 0.5f, 7.0f, 3.5f, 0.0f, 6.5f);
        arrow.applyTransform (juce::AffineTransform::translation ((float) (w - 12), 7.0f));
        g.setColour (juce::Colours::white);
        g.fillPath (arrow);
        g.setColour (arrowOutline);
        g.strokePath (arrow, juce::PathStrokeType (1.0f));
    }

    const auto markedRow = column.getDropRow();
    const auto state = column.getDropState();
    g.setColour (dropMarkRed);

    if (state == dropOntoItem && row == markedRow)
        DefaultLookAndFeel::strokeRoundedRect (g, { 0, 0, w, h - 1 }, 4.0f, 2.0f);

    const auto topLine = (state == insertBeforeItem && row == markedRow) || (state == insertAfterItem && row == markedRow + 1);
    const auto bottomLine = (state == insertBeforeItem && row == markedRow - 1) || (state == insertAfterItem && row == markedRow);

    if (topLine)
        g.drawHorizontalLine (0, 0.0f, (float) w);

    if (bottomLine)
        g.drawHorizontalLine (h - 1, 0.0f, (float) w);

    const auto& shown = selected ? selectedIcon : icon;

    if (shown.isValid())
    {
        g.setOpacity (1.0f);
        g.drawImageAt (shown, 1, 1);
    }
}
