#pragma once

#include "skin/GUIController.h"
#include "skin/ModulationMatrixModel.h"
#include "skin/ModulationSlider.h"
#include "skin/TextInput.h"
#include "widgets/ComboBoxEx.h"
#include "widgets/ComponentRow.h"
#include "widgets/PopupMenuEx.h"
#include "widgets/ToolbarDrawableButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

/**
    Edits a table of modulation routings: four tool buttons ("Add Row",
    "Delete Row", "Move Up", "Move Down") above a table whose rows each route
    a source to a destination with an amount.

    The control edits a ModulationMatrixModel when one is attached and keeps
    its rows by itself otherwise. A press on a row selects it; a press on the
    control's background clears the selection. The move buttons move the
    selection; with the command key held they move the selected row itself.
*/
class ModulationMatrixComponent : public GUIController,
                                  public juce::Component,
                                  public juce::Button::Listener,
                                  public juce::ChangeListener
{
public:
    class Row;
    class Table;

    static constexpr int rowHeight = 37;
    static constexpr int defaultWidth = 400, defaultHeight = 200;

    /** The menu of a row whose source is outside 0 to 8. */
    static constexpr int noSourceMenu = ModulationMatrixModel::numSources;

    explicit ModulationMatrixComponent (const juce::String& controlName);
    ~ModulationMatrixComponent() override;

    /** Edits the model from now on (null: keeps the rows by itself) and shows its rows. */
    void setModel (ModulationMatrixModel* newModel);
    ModulationMatrixModel* getModel() const noexcept        { return model; }

    // What the four buttons do.
    void addRow();
    void deleteSelectedRow();
    void moveUp (bool moveRowItself);
    void moveDown (bool moveRowItself);

    /** Selects the row at the index; -1 clears the selection. */
    void selectRow (int index);
    int getSelectedRow() const noexcept                     { return selectedRow; }

    int getNumRows() const noexcept                         { return rows.size(); }
    Row* getRow (int index) const noexcept                  { return rows[index]; }
    Table& getTable() const noexcept                        { return *table; }

    juce::Button& getAddButton() noexcept                   { return addButton; }
    juce::Button& getDeleteButton() noexcept                { return deleteButton; }
    juce::Button& getMoveUpButton() noexcept                { return moveUpButton; }
    juce::Button& getMoveDownButton() noexcept              { return moveDownButton; }

    /** The menu a row's destination box gets for a source (noSourceMenu for none). */
    const PopupMenuEx& getDestinationMenu (int source) const noexcept;

    /** A row's boxes or slider changed by the user. */
    void rowChangedByUser (Row& row, bool amountMoved);

    /** Places the rows in the table's container. */
    void layoutRows();

    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void buttonClicked (juce::Button* button) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    Row& appendRow();
    void giveMenus (Row& row);
    void refreshSelectionMarks();
    void rebuildFromModel();
    void refreshModulationDisplays();
    void detachModel();

    ModulationMatrixModel* model = nullptr;
    int selectedRow = -1;
    ToolbarDrawableButton addButton, deleteButton, moveUpButton, moveDownButton;
    ComponentRow buttonRow;
    std::unique_ptr<Table> table;
    juce::OwnedArray<Row> rows;
    PopupMenuEx sourceMenu;
    std::array<PopupMenuEx, ModulationMatrixModel::numSources + 1> destinationMenus;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModulationMatrixComponent)
};

//==============================================================================
/** One routing of the table: source and destination boxes, the amount slider and its text. */
class ModulationMatrixComponent::Row : public juce::Component,
                                       public ComboBoxEx::Listener,
                                       public juce::Slider::Listener
{
public:
    explicit Row (ModulationMatrixComponent& owner);
    ~Row() override;

    /** Shows a routing without telling anyone. */
    void showRouting (const ModulationMatrixModel::Row& routing);

    /** The routing the row shows. */
    ModulationMatrixModel::Row getRouting() const;

    void setSelected (bool shouldBeSelected);
    bool isSelected() const noexcept                        { return selected; }
    void setIndex (int newIndex);
    int getIndex() const noexcept                           { return index; }

    ComboBoxEx& getSourceBox() noexcept                     { return sourceBox; }
    ComboBoxEx& getDestinationBox() noexcept                { return destinationBox; }
    ModulationSlider& getAmountSlider() noexcept            { return amountSlider; }
    TextInput& getAmountText() noexcept                     { return amountText; }

    /** The amount with four decimals, "+" before a positive one. */
    static juce::String formatAmount (float amount);
    void updateAmountText();

    void comboBoxExChanged (ComboBoxEx* box) override;
    void sliderValueChanged (juce::Slider* slider) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    ModulationMatrixComponent& owner;
    bool selected = false;
    int index = -1;
    ComboBoxEx sourceBox { "sourceBox" }, destinationBox { "destinationBox" };
    ModulationSlider amountSlider { "amountSlider" };
    TextInput amountText { "amountText", {} };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Row)
};

//==============================================================================
/** The table: a header, the scrolled rows, and a rounded frame drawn over them. */
class ModulationMatrixComponent::Table : public juce::Component
{
public:
    /** The column titles. */
    class Header : public juce::Component
    {
    public:
        Header();
        void paint (juce::Graphics& g) override;
    };

    /** Masks the corners of the rows with a rounded frame. */
    class Shape : public juce::Component
    {
    public:
        Shape();
        void paint (juce::Graphics& g) override;
    };

    /** The container of the rows, scrolled by the table's viewport. */
    class ViewportComponent : public juce::Component
    {
    public:
        void paint (juce::Graphics& g) override;
    };

    explicit Table (ModulationMatrixComponent& owner);
    ~Table() override;

    ViewportComponent& getRowContainer() noexcept           { return container; }
    juce::Viewport& getViewport() noexcept                  { return viewport; }

    /** The width rows get: the viewport's, less the vertical scroll bar. */
    int getRowWidth();

    void resized() override;

private:
    ModulationMatrixComponent& owner;
    Header header;
    juce::Viewport viewport;
    ViewportComponent container;
    Shape shape;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Table)
};
