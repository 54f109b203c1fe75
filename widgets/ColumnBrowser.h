#pragma once

#include "skin/TextInput.h"
#include "widgets/ModalTextEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    Shows a hierarchy as columns side by side: choosing an item in one column
    opens the column of its children to the right, and the view scrolls
    sideways as the chain grows.

    This is the mechanics only: opening and closing columns, layout, resizing
    by a grip, walking between columns with the arrow keys, renaming in place,
    and dragging items between columns with drop marks, hover-to-open and
    auto-scroll. A concrete browser derives from it and from its column
    classes and answers the data questions.

    The browser owns every column handed to it. A column closed while a drag
    from it is running is hidden and kept alive until the drag ends, since the
    toolkit ends a drag whose source is deleted.
*/
class ColumnBrowser : public juce::Viewport,
                      public juce::DragAndDropContainer
{
public:
    class ViewportComponent;
    class Column;
    class ListColumn;

    /** The drag description of items dragged out of a list column. */
    static constexpr const char* dragDescription = "ListColumn";

    ColumnBrowser();
    ~ColumnBrowser() override;

    /** Makes a new column the rightmost one: closes the columns it cannot
        follow, and builds its missing ancestors to its left. Null is ignored. */
    void openColumn (std::unique_ptr<Column> newColumn);

    /** Makes an open column the rightmost one, closing those to its right. */
    void openColumn (Column& column);

    /** Takes the column in at the index (-1 appends), at its default width. */
    void addColumn (std::unique_ptr<Column> column, int index);

    void updateNeighbours();
    void layoutColumns();

    /** Refreshes every column, left to right, then calls columnsRefreshed. */
    void refreshColumns();

    /** Scrolls sideways just enough to show the whole of an open column. */
    void scrollToColumn (Column* column);
    void scrollToLastColumn();

    /** Gives the column the keyboard; every other column becomes inactive. */
    void setActiveColumn (Column* column);

    int getNumColumns() const noexcept                      { return columns.size(); }
    Column* getColumn (int index) const noexcept            { return columns[index]; }
    int getColumnIndex (const Column* column) const         { return columns.indexOf (column); }
    int getTotalWidth() const noexcept                      { return totalWidth; }
    ViewportComponent& getContent() const noexcept          { return *content; }

    /** The column closed during the running drag from it, or null. */
    Column* getParkedColumn() const noexcept                { return parkedColumn.get(); }

    /** The list column that last handed out rows for a drag, or null. */
    ListColumn* getDragSourceColumn() const noexcept        { return dragSourceColumn; }

    /** True from the toolkit's start of a drag until its end. */
    bool isDragRunning() const noexcept                     { return runningDrags > 0; }

    /** A list hands out its rows for a drag. */
    void dragStartingFrom (ListColumn& column);

    /** A column being deleted stops being the drag source. */
    void forgetDragSource (const ListColumn& column) noexcept;

    /** Deletes the column parked during a drag, if any. */
    void deleteParkedColumn();

    /** The concrete browser's leftmost column; the base never calls it. */
    virtual std::unique_ptr<Column> createFirstColumn() = 0;

    /** Called after refreshColumns; nothing by default. */
    virtual void columnsRefreshed() {}

    void visibleAreaChanged (const juce::Rectangle<int>& newVisibleArea) override;
    void lookAndFeelChanged() override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    void dragOperationStarted (const juce::DragAndDropTarget::SourceDetails& details) override;
    void dragOperationEnded (const juce::DragAndDropTarget::SourceDetails& details) override;

    /** How often the toolkit repeats drag events while the pointer rests, so that auto-scroll goes on. */
    static constexpr int dragRepeatMs = 25;

private:
    void openColumnImpl (Column* column, std::unique_ptr<Column> newColumn);
    void closeColumn (Column* column);

    juce::OwnedArray<Column> columns;
    std::unique_ptr<ViewportComponent> content;
    std::unique_ptr<Column> parkedColumn;
    ListColumn* dragSourceColumn = nullptr;
    int runningDrags = 0;
    int totalWidth = 0;
    bool layingOut = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ColumnBrowser)
};

//==============================================================================
/** The scrolled content: holds the columns and makes them as tall as itself. */
class ColumnBrowser::ViewportComponent : public juce::Component
{
public:
    void resized() override;
};

//==============================================================================
/**
    One column of a browser. A concrete column says which columns it may
    follow and which is its parent; a resizable column has a grip at its right
    edge.
*/
class ColumnBrowser::Column : public juce::Component
{
public:
    explicit Column (ColumnBrowser& owner);
    ~Column() override;

    /** True when this column may stay right of the column (one of its ancestors). */
    virtual bool canFollow (Column* column) = 0;

    /** True when the column is this column's direct parent. */
    virtual bool isChildOf (Column* column) = 0;

    /** A new column for this column's parent; null (the default) for none. */
    virtual std::unique_ptr<Column> createParentColumn();

    virtual bool isResizable();
    virtual int getDefaultWidth();
    virtual int getMinimumWidth();
    virtual void refresh();
    virtual void setActive (bool shouldBeActive);

    bool isActive() const noexcept                          { return active; }
    bool isResizing() const noexcept                        { return resizing; }
    ColumnBrowser& getBrowser() const noexcept              { return browser; }
    Column* getLeftNeighbour() const noexcept               { return leftNeighbour; }
    Column* getRightNeighbour() const noexcept              { return rightNeighbour; }

    /** Lays the column out again when a neighbour changed. */
    void setNeighbours (Column* left, Column* right);

    /** Presses this far from the right edge grab the grip. */
    static constexpr int gripWidth = 7;

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

protected:
    /** Room is kept for the grip beside a right neighbour or on a resizable column. */
    bool keepsGripSpace();

    /** The area of the column's rounded panel. */
    juce::Rectangle<int> getPanelArea();

private:
    ColumnBrowser& browser;
    bool active = false;
    bool resizing = false;
    int widthAtDragStart = 0;
    Column* leftNeighbour = nullptr;
    Column* rightNeighbour = nullptr;

    JUCE_DECLARE_NON_COPYABLE (Column)
};

//==============================================================================
/**
    A column showing a list of items. A concrete column answers the data
    questions; items with children show bold with an arrow.

    Drops: onto the column (state 1), onto an item (2), before an item (3) or
    after it (4), as the item and column allow. Resting on an item 500 ms
    during a drag opens it.
*/
class ColumnBrowser::ListColumn : public ColumnBrowser::Column,
                                  public juce::DragAndDropTarget,
                                  private juce::Timer
{
public:
    class List;
    class ItemComponent;

    enum DropState
    {
        noDrop = 0,
        dropIntoColumn = 1,
        dropOntoItem = 2,
        insertBeforeItem = 3,
        insertAfterItem = 4
    };

    /** What the target allows for the row under a drag. */
    struct DropAbilities
    {
        bool onItem = false, before = false, after = false, onColumn = false;
    };

    /** The drop state for a position p (0 to rowHeight - 1) within a row;
        row -1 means past the last row. */
    static DropState getDropStateFor (int row, int positionInRow, int rowHeight, const DropAbilities& abilities) noexcept;

    static constexpr int rowHeight = 20;
    static constexpr int hoverOpenMs = 500;

    explicit ListColumn (ColumnBrowser& owner);
    ~ListColumn() override;

    // The data questions, with their defaults.
    virtual int getNumItems();
    virtual juce::String getItemText (int row);
    virtual const juce::Image& getItemIcon (int row, bool selected);
    virtual bool itemHasChildren (int row);
    virtual bool canDragItems (const juce::SparseSet<int>& rows);
    virtual bool canRenameItem (int row);
    virtual std::unique_ptr<Column> createChildColumn (int row);
    virtual void itemOpened (int row);
    virtual void renameItem (int row, const juce::String& newText);
    virtual void listBackgroundClicked();
    virtual bool canDropOnColumn (ListColumn* source);
    virtual bool canDropOnItem (ListColumn* source, int row);
    virtual bool canInsertBefore (ListColumn* source, int row);
    virtual bool canInsertAfter (ListColumn* source, int row);
    virtual void dropOnColumn (ListColumn* source);
    virtual void dropOnItem (ListColumn* source, int row);
    virtual void dropBefore (ListColumn* source, int row);
    virtual void dropAfter (ListColumn* source, int row);

    /** Selects the row (which opens it) and scrolls it into view. */
    void selectItem (int row, bool deselectOthers);

    /** Opens the row's child column to the right; nothing for a row outside the list. */
    void openRow (int row);

    /** Opens the row's label for editing when the row may be renamed. */
    void startRename (int row);

    List& getList() const noexcept                          { return *list; }
    int getDropRow() const noexcept                         { return dropRow; }
    DropState getDropState() const noexcept                 { return dropState; }
    int getHoverOpenRow() const noexcept                    { return hoverOpenRow; }
    bool isHoverOpenPending() const noexcept                { return isTimerRunning(); }
    const juce::SparseSet<int>& getDraggedRows() const noexcept { return draggedRows; }

    /** The list column a drag comes from, or null when it is none. */
    static ListColumn* getSourceColumn (const SourceDetails& details);

    /** Opens the row that a drag rested on. */
    void timerCallback() override;

    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDragEnter (const SourceDetails& details) override;
    void itemDragMove (const SourceDetails& details) override;
    void itemDragExit (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;

    void refresh() override;
    void setActive (bool shouldBeActive) override;
    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    friend class List;

    void dragMoved (const SourceDetails& details);
    void setDropState (DropState newState, int newRow);

    std::unique_ptr<List> list;
    juce::SparseSet<int> draggedRows;
    int dropRow = -1;
    DropState dropState = noDrop;
    int hoverOpenRow = -1;

    JUCE_DECLARE_NON_COPYABLE (ListColumn)
};

//==============================================================================
/** The list box of a list column, its own model, asking its column for the data. */
class ColumnBrowser::ListColumn::List : public juce::ListBox,
                                        public juce::ListBoxModel
{
public:
    explicit List (ListColumn& owner);
    ~List() override;

    ListColumn& getColumn() const noexcept                  { return column; }

    int getNumRows() override;
    void paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool isRowSelected) override;
    juce::Component* refreshComponentForRow (int row, bool isRowSelected, juce::Component* existing) override;
    void selectedRowsChanged (int lastSelected) override;
    void listBoxItemClicked (int row, const juce::MouseEvent& e) override;
    void listBoxItemDoubleClicked (int row, const juce::MouseEvent& e) override;
    void backgroundClicked (const juce::MouseEvent& e) override;
    juce::var getDragSourceDescription (const juce::SparseSet<int>& rows) override;

    /** Left and right walk between the columns. */
    bool keyPressed (const juce::KeyPress& key) override;
    bool keyStateChanged (bool isKeyDown) override;
    void lookAndFeelChanged() override;

private:
    ListColumn& column;

    JUCE_DECLARE_NON_COPYABLE (List)
};

//==============================================================================
/** A row of a list: icon, text (editable in place) and the selection and drop marks. */
class ColumnBrowser::ListColumn::ItemComponent : public juce::Component,
                                                 public ModalTextEditor::ModalListener
{
public:
    ItemComponent (ListColumn& owner, int row, bool selected);
    ~ItemComponent() override;

    /** Shows another row, or the same row selected or not. */
    void update (int newRow, bool nowSelected);

    int getRow() const noexcept                             { return row; }
    bool isSelected() const noexcept                        { return selected; }
    bool hasChildren() const noexcept                       { return children; }
    TextInput& getLabel() noexcept                          { return label; }

    void textCommitted (ModalTextEditor* editor) override;
    void editEnded (ModalTextEditor* editor) override;
    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    bool isListScrollBarVisible() const;

    ListColumn& column;
    juce::Image icon, selectedIcon;
    TextInput label { {}, {} };
    bool children = false;
    bool selected = false;
    int row = -1;

    JUCE_DECLARE_NON_COPYABLE (ItemComponent)
};
