#include "editor/MidiControlComponent.h"

#include "editor/BasePluginEditor.h"
#include "widgets/DefaultLookAndFeel.h"
#include "widgets/InterfaceTypefaces.h"

#include <cmath>

namespace
{
constexpr int learnButtonHeight = 20;
constexpr int defaultMapBoxHeight = 20;
constexpr int gapAboveBox = 6;
constexpr int buttonColumnGap = 6;
constexpr int toolButtonSize = 24;
constexpr int visibleListColumns = 3;

const juce::Colour headerColour (0xFF6E6E6E);
const juce::Colour bodyColour (0xFFE3E3E3);
const juce::Colour controllerHeaderColour (0xFF5B5B5B);
const juce::Colour controllerBodyColour (0xFFBFBFBF);
const juce::Colour lineColour (0xFF6E6E6E);
const juce::Colour selectionColour (0xFF5B5B5B);
} // namespace

//==============================================================================
MidiControlComponent::MidiControlComponent (MidiControl& map, const juce::String& extension, const juce::String& wildcard)
    : FileType (extension),
      midiControl (map),
      loadWildcard (wildcard)
{
    midiControl.addListener (this);

    learnButton.setClickingTogglesState (true);
    learnButton.setWantsKeyboardFocus (false);
    learnButton.addListener (this);
    addChildComponent (learnButton);

    defaultMapBox.getPathComponent().setFilePatterns (loadWildcard);
    defaultMapBox.addListener (this);
    defaultMapBox.setPath (midiControl.getUserDefinedMapFile(), false);

    // A file may be remembered while the setting is off: the box shows the setting.
    if (! midiControl.isUsingUserDefinedMap())
    {
        defaultMapBox.getCheckBox().setChecked (false, juce::dontSendNotification);
        defaultMapBox.getPathComponent().setEnabled (false);
    }

    list = std::make_unique<ListComponent> (*this, midiControl);
    list->setVisibleColumns (visibleListColumns);

    deleteButton.setTooltip ("Delete selected assignation");
    clearButton.setTooltip ("Clear all map");
    loadButton.setTooltip ("Open map");
    saveButton.setTooltip ("Save current map");

    for (auto* button : { &deleteButton, &clearButton, &loadButton, &saveButton })
    {
        button->setSize (toolButtonSize, toolButtonSize);
        button->addListener (this);
        buttonColumn.addAndMakeVisible (button);
    }

    addAndMakeVisible (*list);
    addAndMakeVisible (buttonColumn);
    addAndMakeVisible (defaultMapBox);

    list->refresh();
    lookAndFeelChanged();
}

MidiControlComponent::~MidiControlComponent()
{
    midiControl.removeListener (this);
    defaultMapBox.removeListener (this);
}

void MidiControlComponent::setLoadWildcard (const juce::String& wildcard)
{
    loadWildcard = wildcard;
    defaultMapBox.getPathComponent().setFilePatterns (wildcard);
}

void MidiControlComponent::setLearnButtonVisible (bool shouldBeVisible)
{
    learnButton.setVisible (shouldBeVisible);
    resized();
}

void MidiControlComponent::updateButtons()
{
    MidiControl::Assignment first;
    clearButton.setEnabled (MidiControl::Iterator (midiControl).next (first));
    deleteButton.setEnabled (list->hasSelectedEntry());
}

//==============================================================================
void MidiControlComponent::buttonClicked (juce::Button* button)
{
    if (button == &deleteButton)
    {
        if (list->hasSelectedEntry())
            midiControl.unassign (list->getEntries()[list->getSelectedEntry()].controller);
    }
    else if (button == &clearButton)
    {
        question = Ulvra::AlertWindow::createYesNoWindow (midiControl.getMapName(),
                                                          "Do you really want to clear all assignations?", this);
        addChildComponent (*question);
        question->show();
    }
    else if (button == &loadButton)
    {
        fileChooser.chooseFileToOpen ("Open Midi Control file", {}, loadWildcard,
                                      [this] (const juce::File& file)
                                      {
                                          if (! midiControl.loadFromFile (file))
                                              BasePluginEditor::showFileFailureAbove (*this, file, BasePluginEditor::couldNotBeLoaded);
                                      });
    }
    else if (button == &saveButton)
    {
        fileChooser.chooseFileToSave ("Save Midi Control file as", {}, "*" + getFileExtension(), getFileExtension(),
                                      [this] (const juce::File& file)
                                      {
                                          if (! midiControl.saveToFile (file))
                                              BasePluginEditor::showFileFailureAbove (*this, file, BasePluginEditor::couldNotBeSaved);
                                      });
    }
    else if (button == &learnButton)
    {
        midiControl.setLearnMode (learnButton.getToggleState());
    }
}

void MidiControlComponent::alertWindowResult (Ulvra::AlertWindow* window, int result)
{
    if (fileChooser.handleAnswer (window, result))
        return;

    if (window != nullptr && window == question.get() && result == Ulvra::AlertWindow::yes)
        midiControl.clearAll (true);
}

void MidiControlComponent::defaultResourceCheckBoxChanged (DefaultResourceCheckBox* box)
{
    if (box != &defaultMapBox)
        return;

    // Stored only: the map is read at the next start.
    midiControl.setUseUserDefinedMap (defaultMapBox.isChecked());
    midiControl.setUserDefinedMapFile (defaultMapBox.getPath());
}

void MidiControlComponent::midiControlMapChanged (MidiControl*)
{
    list->refresh();
}

void MidiControlComponent::midiLearnStateChanged (MidiControl*)
{
    learnButton.setToggleState (midiControl.isLearnMode(), juce::dontSendNotification);

    const auto controller = midiControl.getLearnController();

    if (controller != -1 && midiControl.getLearnParameter() != nullptr)
        list->selectController (controller);
    else
        list->selectEntry (-1);
}

//==============================================================================
void MidiControlComponent::lookAndFeelChanged()
{
    learnButton.changeWidthToFitText (learnButtonHeight);
    defaultMapBox.setSize (defaultMapBox.getWidth(), defaultMapBoxHeight);
    resized();
}

void MidiControlComponent::childBoundsChanged (juce::Component* child)
{
    if (child == &defaultMapBox || child == &buttonColumn)
        resized();
}

void MidiControlComponent::resized()
{
    if (layingOut)
        return;

    const juce::ScopedValueSetter<bool> guard (layingOut, true);
    auto area = getLocalBounds();

    if (learnButton.isVisible())
    {
        learnButton.setTopLeftPosition (0, 0);
        area.removeFromTop (learnButton.getHeight() + 4);
    }

    defaultMapBox.setBounds (area.removeFromBottom (defaultMapBoxHeight).withX (0).withWidth (getWidth()));
    area.removeFromBottom (gapAboveBox);

    const auto rw = juce::jmin (area.getWidth(), buttonColumn.getWidth() + buttonColumnGap);
    list->setBounds (area.getX(), area.getY(), area.getWidth() - rw, area.getHeight());
    buttonColumn.setTopLeftPosition (area.getX() + area.getWidth() - rw + buttonColumnGap, list->getY());
}

//==============================================================================
MidiControlComponent::ListComponent::ListComponent (MidiControlComponent& owner, MidiControl& map)
    : page (owner),
      midiControl (map),
      headerFont (InterfaceTypefaces::font (13.0f, juce::Font::bold)),
      entryFont (InterfaceTypefaces::font (13.0f))
{
    scrollBar.setAutoHide (false);
    scrollBar.addListener (this);
    addAndMakeVisible (scrollBar);
}

MidiControlComponent::ListComponent::~ListComponent()
{
    scrollBar.removeListener (this);
}

void MidiControlComponent::ListComponent::setVisibleColumns (int columnsAtATime)
{
    visibleColumns = juce::jmax (1, columnsAtATime);
    updateLayout();
}

void MidiControlComponent::ListComponent::refresh()
{
    entries.clearQuick();
    MidiControl::Iterator iterator (midiControl);
    MidiControl::Assignment assignment;

    while (iterator.next (assignment))
        entries.add ({ assignment.controller, assignment.parameter->getName() });

    selectedEntry = -1;
    updateLayout();
    repaint();
    page.updateButtons();
}

void MidiControlComponent::ListComponent::selectEntry (int index)
{
    if (index == selectedEntry)
        return;

    // Stored first: the learn target below comes back here as the same selection.
    selectedEntry = index;

    if (index >= 0)
    {
        const auto columnLeft = (index / rowsPerColumn) * columnWidth;
        const auto viewStart = -getScrollOffset();
        const auto viewWidth = columnWidth * visibleColumns;

        if (columnLeft < viewStart)
            setScrollStart (columnLeft);
        else if (columnLeft + columnWidth > viewStart + viewWidth)
            setScrollStart (columnLeft + columnWidth - viewWidth);
    }

    repaint();
    page.updateButtons();

    if (hasSelectedEntry() && midiControl.isLearnMode())
        midiControl.selectController (entries[index].controller);
}

void MidiControlComponent::ListComponent::selectController (int controller)
{
    for (int i = 0; i < entries.size(); ++i)
    {
        if (entries.getReference (i).controller == controller)
        {
            selectEntry (i);
            return;
        }
    }
}

void MidiControlComponent::ListComponent::setScrollStart (int start)
{
    scrollBar.setCurrentRangeStart (start, juce::dontSendNotification);
    contentArea.setX (-juce::roundToInt (scrollBar.getCurrentRangeStart()));
    repaint();
}

void MidiControlComponent::ListComponent::scrollBarMoved (juce::ScrollBar*, double newRangeStart)
{
    contentArea.setX (-juce::roundToInt (newRangeStart));
    repaint();
}

void MidiControlComponent::ListComponent::mouseDown (const juce::MouseEvent& event)
{
    const auto position = event.getPosition();

    if (! gridArea.contains (position) || position.y < gridArea.getY() + headerHeight || columnWidth <= 0)
        return;

    const auto column = juce::jlimit (0, numColumns - 1, (position.x - gridArea.getX() - getScrollOffset()) / columnWidth);
    const auto row = juce::jlimit (0, rowsPerColumn - 1, (position.y - gridArea.getY() - headerHeight) / rowHeight);
    selectEntry (rowsPerColumn * column + row);
}

void MidiControlComponent::ListComponent::lookAndFeelChanged()
{
    if (auto* look = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        headerFont = look->getBoldFont();
        entryFont = look->getInterfaceFont();
    }

    updateLayout();
}

void MidiControlComponent::ListComponent::resized()
{
    updateLayout();
}

void MidiControlComponent::ListComponent::updateLayout()
{
    const auto thickness = getLookAndFeel().getDefaultScrollbarWidth();

    // At least one row: a list lower than that would divide by zero.
    rowsPerColumn = juce::jmax (1, (getHeight() - scrollBarGap - thickness - headerHeight) / rowHeight);

    const auto gridHeight = headerHeight + rowHeight * rowsPerColumn;
    gridArea = { 0, (getHeight() - scrollBarGap - gridHeight - thickness) / 2, getWidth(), gridHeight + 2 };
    scrollBar.setBounds (0, gridArea.getY() + gridHeight + scrollBarGap, getWidth(), thickness);

    numColumns = juce::jmax (visibleColumns, (entries.size() + rowsPerColumn - 1) / rowsPerColumn);
    columnWidth = (gridArea.getWidth() - 2) / visibleColumns + 1;
    controllerWidth = juce::jmax (headerFont.getStringWidth ("CC"), entryFont.getStringWidth ("127")) + 8;
    parameterWidth = columnWidth - controllerWidth;

    const auto totalWidth = columnWidth * numColumns;
    contentArea = { contentArea.getX(), gridArea.getY() + 1,
                    juce::jmax (0, gridArea.getWidth() - 2, totalWidth),
                    juce::jmax (0, gridArea.getHeight() - 2) };

    scrollBar.setRangeLimits (0.0, totalWidth, juce::dontSendNotification);
    scrollBar.setCurrentRange (-contentArea.getX(), columnWidth * visibleColumns, juce::dontSendNotification);
    scrollBar.setSingleStepSize (columnWidth / 6.0);
    scrollBar.setEnabled (numColumns > visibleColumns);

    // Fewer columns may leave the old offset beyond the end.
    contentArea.setX (-juce::roundToInt (scrollBar.getCurrentRangeStart()));
    repaint();
}

void MidiControlComponent::ListComponent::paint (juce::Graphics& g)
{
    const auto grid = gridArea.toFloat();
    g.setColour (juce::Colours::white);
    g.drawRoundedRectangle (grid.reduced (0.5f), 5.0f, 1.0f);

    juce::Path clip;
    clip.addRoundedRectangle (grid.reduced (1.0f), 5.0f);
    g.reduceClipRegion (clip);

    const auto content = contentArea;
    g.setColour (headerColour);
    g.fillRect (content.withHeight (headerHeight));
    g.setColour (bodyColour);
    g.fillRect (content.withTrimmedTop (headerHeight));

    for (int c = 0; c < numColumns; ++c)
    {
        const auto x = content.getX() + c * columnWidth;
        g.setColour (controllerHeaderColour);
        g.fillRect (x, content.getY(), controllerWidth, headerHeight);
        g.setColour (controllerBodyColour);
        g.fillRect (x, content.getY() + headerHeight, controllerWidth, content.getHeight() - headerHeight);

        g.setColour (juce::Colours::white);
        g.setFont (headerFont);
        g.drawText ("CC", x, content.getY(), controllerWidth, headerHeight, juce::Justification::centred, false);
        g.drawText ("Parameter", x + controllerWidth + 5, content.getY(), parameterWidth - 10, headerHeight,
                    juce::Justification::centredLeft, true);
    }

    g.setColour (lineColour);

    for (int r = 0; r < rowsPerColumn; ++r)
        g.fillRect (0, content.getY() + headerHeight + rowHeight * (r + 1), getWidth(), 1);

    g.setFont (entryFont);

    for (int i = 0; i < entries.size(); ++i)
    {
        const auto x = content.getX() + (i / rowsPerColumn) * columnWidth;
        const auto y = content.getY() + headerHeight + (i % rowsPerColumn) * rowHeight;
        const auto selected = i == selectedEntry;

        if (selected)
        {
            g.setColour (selectionColour.withAlpha (0.5f));
            g.fillRect (x, y, columnWidth, rowHeight);
        }

        g.setColour (selected ? juce::Colours::white : juce::Colours::black);
        g.drawText (juce::String (entries.getReference (i).controller), x + 5, y, controllerWidth - 10, rowHeight,
                    juce::Justification::centred, false);
        g.drawText (entries.getReference (i).parameterName, x + 5 + controllerWidth, y, parameterWidth - 10, rowHeight,
                    juce::Justification::centredLeft, true);
    }
}
