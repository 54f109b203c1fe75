#include "skin/ModulationMatrixComponent.h"

#include "framework/XmlHelpers.h"
#include "skin/SkinGeometry.h"
#include "widgets/DefaultLookAndFeel.h"
#include "widgets/InterfaceTypefaces.h"

namespace
{
const juce::Colour panelGrey { 0xFFC5C5C5 };
const juce::Colour oddRowGrey { 0xFFA3A3A3 };
const juce::Colour selectedRowColour { 0xFFD09B59 };
const juce::Colour headerGrey { 0xFF5B5B5B };

constexpr int headerHeight = 19;
constexpr int boxWidth = 150, boxHeight = 20, boxTop = 8;
} // namespace

ModulationMatrixComponent::ModulationMatrixComponent (const juce::String& controlName)
    : juce::Component (controlName),
      addButton ("Add Row", DefaultLookAndFeel::addIcon),
      deleteButton ("Delete Row", DefaultLookAndFeel::deleteIcon),
      moveUpButton ("Move Up", DefaultLookAndFeel::moveUpIcon),
      moveDownButton ("Move Down", DefaultLookAndFeel::moveDownIcon),
      buttonRow (ComponentRow::leftToRight, ComponentRow::alignStart),
      table (std::make_unique<Table> (*this)),
      sourceMenu ("controllerChoiceMenu")
{
    for (auto* button : { &addButton, &deleteButton, &moveUpButton, &moveDownButton })
    {
        button->setSize (24, 24);
        button->addListener (this);
        buttonRow.addAndMakeVisible (*button);
    }

    addAndMakeVisible (buttonRow);
    addAndMakeVisible (*table);

    for (int source = 0; source < ModulationMatrixModel::numSources; ++source)
        sourceMenu.addItem (source, ModulationMatrixModel::getSourceName (source), false, true);

    for (size_t i = 0; i < destinationMenus.size(); ++i)
        destinationMenus[i] = PopupMenuEx ("destinationChoiceMenu" + juce::String ((int) i));
}

ModulationMatrixComponent::~ModulationMatrixComponent()
{
    detachModel();

    for (auto* button : { &addButton, &deleteButton, &moveUpButton, &moveDownButton })
        button->removeListener (this);

    rows.clear();
}

void ModulationMatrixComponent::detachModel()
{
    if (model != nullptr)
    {
        model->getSourceValuesBroadcaster().removeChangeListener (this);
        model->getRowsBroadcaster().removeChangeListener (this);
    }

    model = nullptr;
}

void ModulationMatrixComponent::setModel (ModulationMatrixModel* newModel)
{
    if (newModel == model)
        return;

    detachModel();
    model = newModel;

    if (model != nullptr)
    {
        model->getSourceValuesBroadcaster().addChangeListener (this);
        model->getRowsBroadcaster().addChangeListener (this);
        rebuildFromModel();
    }
}

const PopupMenuEx& ModulationMatrixComponent::getDestinationMenu (int source) const noexcept
{
    return destinationMenus[(size_t) (juce::isPositiveAndBelow (source, ModulationMatrixModel::numSources) ? source : noSourceMenu)];
}

//==============================================================================
ModulationMatrixComponent::Row& ModulationMatrixComponent::appendRow()
{
    auto* row = rows.add (std::make_unique<Row> (*this));
    table->getRowContainer().addAndMakeVisible (*row);
    return *row;
}

void ModulationMatrixComponent::addRow()
{
    auto& row = appendRow();
    row.showRouting ({});

    if (model != nullptr)
        model->insertRow ({}, -1, true);

    giveMenus (row);
    layoutRows();
    refreshSelectionMarks();
}

void ModulationMatrixComponent::deleteSelectedRow()
{
    if (! juce::isPositiveAndBelow (selectedRow, rows.size()))
        return;

    if (model != nullptr)
        model->removeRow (selectedRow);

    rows.remove (selectedRow);
    layoutRows();

    if (selectedRow > rows.size() - 1)
        selectedRow = rows.size() - 1;

    refreshSelectionMarks();
}

void ModulationMatrixComponent::moveUp (bool moveRowItself)
{
    if (selectedRow < 1)
        return;

    if (moveRowItself)
    {
        if (model != nullptr)
            model->moveRow (selectedRow, selectedRow - 1);

        rows.move (selectedRow, selectedRow - 1);
        layoutRows();
        --selectedRow;
        refreshSelectionMarks();
        table->repaint();
        return;
    }

    selectRow (selectedRow - 1);
}

void ModulationMatrixComponent::moveDown (bool moveRowItself)
{
    if (selectedRow >= rows.size() - 1)
        return;

    if (moveRowItself)
    {
        // With nothing selected there is no row to move.
        if (selectedRow < 0)
            return;

        if (model != nullptr)
            model->moveRow (selectedRow, selectedRow + 1);

        rows.move (selectedRow, selectedRow + 1);
        layoutRows();
        ++selectedRow;
        refreshSelectionMarks();
        table->repaint();
        return;
    }

    selectRow (selectedRow + 1);
}

void ModulationMatrixComponent::selectRow (int index)
{
    selectedRow = juce::isPositiveAndBelow (index, rows.size()) ? index : -1;
    refreshSelectionMarks();
}

void ModulationMatrixComponent::refreshSelectionMarks()
{
    for (auto* row : rows)
        row->setSelected (row->getIndex() == selectedRow);
}

void ModulationMatrixComponent::giveMenus (Row& row)
{
    row.getSourceBox().setMenu (sourceMenu, false);
    row.getDestinationBox().setMenu (getDestinationMenu (row.getSourceBox().getSelectedId()), false);
}

void ModulationMatrixComponent::rowChangedByUser (Row& row, bool amountMoved)
{
    const auto index = rows.indexOf (&row);

    if (model != nullptr)
        model->setRow (index, row.getRouting());

    giveMenus (row);

    if (amountMoved)
        row.updateAmountText();
}

void ModulationMatrixComponent::rebuildFromModel()
{
    rows.clear();

    if (model != nullptr)
        for (int i = 0; i < model->getNumRows(); ++i)
            appendRow().showRouting (model->getRow (i));

    layoutRows();

    if (selectedRow != -1)
        selectedRow = -1;

    for (auto* row : rows)
        giveMenus (*row);

    refreshSelectionMarks();
    refreshModulationDisplays();
}

void ModulationMatrixComponent::refreshModulationDisplays()
{
    if (model == nullptr)
        return;

    for (auto* row : rows)
    {
        const auto source = row->getSourceBox().getSelectedId();

        if (juce::isPositiveAndBelow (source, ModulationMatrixModel::numSources))
            row->getAmountSlider().setModulationValue (model->getSourceValue (source));
    }
}

void ModulationMatrixComponent::layoutRows()
{
    auto& container = table->getRowContainer();
    const auto width = table->getRowWidth();
    container.setSize (width, juce::jmax (rowHeight * rows.size(), table->getHeight() - 21));

    for (int i = 0; i < rows.size(); ++i)
    {
        rows[i]->setIndex (i);
        rows[i]->setBounds (0, rowHeight * i, width, rowHeight);
    }
}

//==============================================================================
void ModulationMatrixComponent::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    GUIController::loadFromXml (element, skin);

    auto width = defaultWidth, height = defaultHeight;

    if (XmlHelpers::tagMatches (element, "ModulationMatrix"))
    {
        if (const auto* size = XmlHelpers::findChild (element, "size"))
        {
            width = SkinGeometry::readSize (*size, "width", defaultWidth);
            height = SkinGeometry::readSize (*size, "height", defaultHeight);
        }

        if (const auto* pos = XmlHelpers::findChild (element, "pos"))
            setTopLeftPosition (SkinGeometry::readPosition (*pos, "left"), SkinGeometry::readPosition (*pos, "top"));
    }

    setSize (width, height);
    repaint();
}

void ModulationMatrixComponent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (model == nullptr)
        return;

    if (source == &model->getSourceValuesBroadcaster())
        refreshModulationDisplays();
    else if (source == &model->getRowsBroadcaster())
        rebuildFromModel();
}

void ModulationMatrixComponent::buttonClicked (juce::Button* button)
{
    const auto withCommand = juce::ModifierKeys::getCurrentModifiers().isCommandDown();

    if (button == &addButton)
        addRow();
    else if (button == &deleteButton)
        deleteSelectedRow();
    else if (button == &moveUpButton)
        moveUp (withCommand);
    else if (button == &moveDownButton)
        moveDown (withCommand);
}

void ModulationMatrixComponent::mouseDown (const juce::MouseEvent&)
{
    selectRow (-1);
}

void ModulationMatrixComponent::resized()
{
    buttonRow.setTopLeftPosition (5, 4);
    const auto tableY = buttonRow.getBottom() + 3;
    table->setBounds (8, tableY, juce::jmax (0, getWidth() - 16), juce::jmax (0, getHeight() - 8 - tableY));
}

void ModulationMatrixComponent::paint (juce::Graphics& g)
{
    DefaultLookAndFeel::drawRoundedPanel (g, getLocalBounds(), panelGrey, juce::Colours::black, 8.0f, 3.0f);
}

//==============================================================================
ModulationMatrixComponent::Row::Row (ModulationMatrixComponent& ownerToUse)
    : owner (ownerToUse)
{
    for (auto* box : { &sourceBox, &destinationBox })
    {
        box->addListener (this);
        box->addMouseListener (this, false);
        addAndMakeVisible (*box);
    }

    amountSlider.addListener (this);
    amountSlider.addMouseListener (this, false);
    addAndMakeVisible (amountSlider);

    amountText.setEditTriggers (false, false);
    amountText.setJustification (juce::Justification::centredRight);
    addAndMakeVisible (amountText);
}

ModulationMatrixComponent::Row::~Row()
{
    for (auto* box : { &sourceBox, &destinationBox })
    {
        box->removeListener (this);
        box->removeMouseListener (this);
    }

    amountSlider.removeListener (this);
    amountSlider.removeMouseListener (this);
}

void ModulationMatrixComponent::Row::showRouting (const ModulationMatrixModel::Row& routing)
{
    sourceBox.setSelectedId (routing.source, false);
    destinationBox.setSelectedId (routing.destination, false);
    amountSlider.setValue (routing.amount, juce::dontSendNotification);
    amountText.setText (formatAmount (routing.amount));
}

ModulationMatrixModel::Row ModulationMatrixComponent::Row::getRouting() const
{
    return { sourceBox.getSelectedId(), destinationBox.getSelectedId(),
             juce::jlimit (-1.0f, 1.0f, (float) amountSlider.getValue()) };
}

juce::String ModulationMatrixComponent::Row::formatAmount (float amount)
{
    return (amount > 0.0f ? "+" : "") + juce::String (amount, 4);
}

void ModulationMatrixComponent::Row::updateAmountText()
{
    amountText.setText (formatAmount (getRouting().amount));
}

void ModulationMatrixComponent::Row::setSelected (bool shouldBeSelected)
{
    if (shouldBeSelected != selected)
    {
        selected = shouldBeSelected;
        repaint();
    }
}

void ModulationMatrixComponent::Row::setIndex (int newIndex)
{
    if (newIndex != index)
    {
        index = newIndex;
        repaint();
    }
}

void ModulationMatrixComponent::Row::comboBoxExChanged (ComboBoxEx*)
{
    owner.rowChangedByUser (*this, false);
}

void ModulationMatrixComponent::Row::sliderValueChanged (juce::Slider*)
{
    owner.rowChangedByUser (*this, true);
}

void ModulationMatrixComponent::Row::mouseDown (const juce::MouseEvent&)
{
    owner.selectRow (index);
}

void ModulationMatrixComponent::Row::resized()
{
    sourceBox.setBounds (4, boxTop, boxWidth, boxHeight);
    destinationBox.setBounds (sourceBox.getRight() + 4, boxTop, boxWidth, boxHeight);
    amountText.setBounds (getWidth() - 55, boxTop, 51, boxHeight);

    const auto sliderX = destinationBox.getRight() + 5;
    amountSlider.setBounds (sliderX, 2, juce::jmax (0, amountText.getX() - 3 - sliderX), 30);
}

void ModulationMatrixComponent::Row::paint (juce::Graphics& g)
{
    g.fillAll (selected ? selectedRowColour : index % 2 == 0 ? panelGrey : oddRowGrey);
    g.setColour (juce::Colours::black);
    g.drawHorizontalLine (getHeight() - 1, 0.0f, (float) getWidth());
}

//==============================================================================
ModulationMatrixComponent::Table::Header::Header()
{
    setInterceptsMouseClicks (false, false);
}

void ModulationMatrixComponent::Table::Header::paint (juce::Graphics& g)
{
    g.fillAll (headerGrey);
    g.setColour (juce::Colours::white);
    g.setFont (InterfaceTypefaces::font (13.0f, juce::Font::bold));
    g.drawText ("Source", 5, 0, 150, 20, juce::Justification::centred, false);
    g.drawText ("Destination", 160, 0, 150, 20, juce::Justification::centred, false);
    g.drawText ("Amount", 318, 0, 633, 20, juce::Justification::centred, false);
}

ModulationMatrixComponent::Table::Shape::Shape()
{
    setInterceptsMouseClicks (false, false);
}

void ModulationMatrixComponent::Table::Shape::paint (juce::Graphics& g)
{
    DefaultLookAndFeel::fillOutsideRoundedRect (g, getLocalBounds(), panelGrey, juce::Colours::white, 6.0f, 1.0f);
}

void ModulationMatrixComponent::Table::ViewportComponent::paint (juce::Graphics& g)
{
    g.fillAll (panelGrey);
}

ModulationMatrixComponent::Table::Table (ModulationMatrixComponent& ownerToUse)
    : owner (ownerToUse)
{
    viewport.setViewedComponent (&container, false);
    viewport.setScrollBarsShown (true, false);
    viewport.getVerticalScrollBar().setAutoHide (false);
    addAndMakeVisible (viewport);
    addAndMakeVisible (header);
    addAndMakeVisible (shape);
}

ModulationMatrixComponent::Table::~Table()
{
    viewport.setViewedComponent (nullptr, false);
}

int ModulationMatrixComponent::Table::getRowWidth()
{
    const auto barShown = viewport.getVerticalScrollBar().isVisible();
    return juce::jmax (0, viewport.getWidth() - (barShown ? 2 + viewport.getScrollBarThickness() : 0));
}

void ModulationMatrixComponent::Table::resized()
{
    shape.setBounds (getLocalBounds());
    header.setBounds (0, 0, getWidth(), headerHeight);
    viewport.setBounds (1, headerHeight + 1, juce::jmax (0, getWidth() - 2), juce::jmax (0, getHeight() - 2 - headerHeight));
    owner.layoutRows();
}
