#pragma once

#include "editor/EditorFileChooser.h"
#include "editor/EditorIcons.h"
#include "editor/FileType.h"
#include "framework/MidiControl.h"
#include "widgets/AlertWindow.h"
#include "widgets/ComponentRow.h"
#include "widgets/DefaultResourceCheckBox.h"
#include "widgets/ToolbarDrawableButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    The "Midi Control" page: the MIDI CC map as a grid of controller and
    parameter pairs, with buttons to delete one assignment, clear the map, load
    and save map files, the "Midi Learn" toggle (shown by the old-style editor)
    and the "Default map" box that picks a map file loaded at start.
*/
class MidiControlComponent : public juce::Component,
                             public juce::Button::Listener,
                             public DefaultResourceCheckBox::Listener,
                             public MidiControl::Listener,
                             public Ulvra::AlertWindow::Caller,
                             public FileType
{
public:
    class ListComponent;

    /** extension: given to saved maps (".tqccmap"); loadWildcard: the open dialog's patterns. */
    MidiControlComponent (MidiControl& midiControl, const juce::String& extension, const juce::String& loadWildcard);
    ~MidiControlComponent() override;

    /** The open dialog's patterns, also the default-map field's. */
    void setLoadWildcard (const juce::String& wildcard);
    const juce::String& getLoadWildcard() const noexcept { return loadWildcard; }

    void setLearnButtonVisible (bool shouldBeVisible);

    /** Enables "Clear All" while the map has assignments and "Delete Assign" while an entry is selected. */
    void updateButtons();

    ListComponent& getList() noexcept { return *list; }
    juce::TextButton& getLearnButton() noexcept { return learnButton; }
    DefaultResourceCheckBox& getDefaultMapBox() noexcept { return defaultMapBox; }
    ToolbarDrawableButton& getDeleteButton() noexcept { return deleteButton; }
    ToolbarDrawableButton& getClearButton() noexcept { return clearButton; }
    ToolbarDrawableButton& getLoadButton() noexcept { return loadButton; }
    ToolbarDrawableButton& getSaveButton() noexcept { return saveButton; }
    ComponentRow& getButtonColumn() noexcept { return buttonColumn; }
    EditorFileChooser& getFileChooser() noexcept { return fileChooser; }

    /** The "Clear All" question last asked, or null. */
    Ulvra::AlertWindow* getQuestion() const noexcept { return question.get(); }

    void buttonClicked (juce::Button* button) override;
    void alertWindowResult (Ulvra::AlertWindow* window, int result) override;
    void defaultResourceCheckBoxChanged (DefaultResourceCheckBox* box) override;
    void midiControlMapChanged (MidiControl* map) override;
    void midiLearnStateChanged (MidiControl* map) override;

    void lookAndFeelChanged() override;
    void childBoundsChanged (juce::Component* child) override;
    void resized() override;

private:
    MidiControl& midiControl;
    juce::String loadWildcard;

    juce::TextButton learnButton { "Midi Learn" };
    DefaultResourceCheckBox defaultMapBox { "Default map" };
    std::unique_ptr<ListComponent> list;
    ComponentRow buttonColumn { ComponentRow::topToBottom, ComponentRow::alignEnd };
    ToolbarDrawableButton deleteButton { "Delete Assign", EditorIcons::deleteEntry };
    ToolbarDrawableButton clearButton { "Clear All", EditorIcons::clearAll };
    ToolbarDrawableButton loadButton { "Load Map", EditorIcons::open };
    ToolbarDrawableButton saveButton { "Save Map", EditorIcons::save };

    std::unique_ptr<Ulvra::AlertWindow> question;
    EditorFileChooser fileChooser { *this, *this };
    bool layingOut = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiControlComponent)
};

//==============================================================================
/**
    The grid of the map's assignments: columns of "CC" and "Parameter" cells,
    filled column by column in controller order, scrolled sideways when there
    are more columns than it shows at a time.
*/
class MidiControlComponent::ListComponent : public juce::Component,
                                            public juce::ScrollBar::Listener
{
public:
    static constexpr int headerHeight = 19;
    static constexpr int rowHeight = 20;
    static constexpr int scrollBarGap = 6;

    struct Entry
    {
        int controller = -1;
        juce::String parameterName;
    };

    ListComponent (MidiControlComponent& page, MidiControl& midiControl);
    ~ListComponent() override;

    void setVisibleColumns (int columnsAtATime);

    /** Reads the map again; the selection is cleared. */
    void refresh();

    /** Selects a grid position (also one past the entries); in learn mode a
        selected entry becomes the learn target. */
    void selectEntry (int index);

    /** Selects the entry of the controller; nothing when no entry holds it. */
    void selectController (int controller);

    int getSelectedEntry() const noexcept { return selectedEntry; }
    bool hasSelectedEntry() const noexcept { return juce::isPositiveAndBelow (selectedEntry, entries.size()); }
    const juce::Array<Entry>& getEntries() const noexcept { return entries; }

    int getRowsPerColumn() const noexcept { return rowsPerColumn; }
    int getNumColumns() const noexcept { return numColumns; }
    int getColumnWidth() const noexcept { return columnWidth; }
    int getControllerWidth() const noexcept { return controllerWidth; }
    int getScrollOffset() const noexcept { return contentArea.getX(); }
    juce::Rectangle<int> getGridArea() const noexcept { return gridArea; }
    juce::Rectangle<int> getContentArea() const noexcept { return contentArea; }
    juce::ScrollBar& getScrollBar() noexcept { return scrollBar; }

    void scrollBarMoved (juce::ScrollBar* bar, double newRangeStart) override;
    void mouseDown (const juce::MouseEvent& event) override;
    void lookAndFeelChanged() override;
    void resized() override;
    void paint (juce::Graphics& g) override;

private:
    void updateLayout();
    void setScrollStart (int start);

    MidiControlComponent& page;
    MidiControl& midiControl;

    int visibleColumns = 1;
    juce::Array<Entry> entries;
    int selectedEntry = -1;
    juce::Rectangle<int> gridArea, contentArea;
    int rowsPerColumn = 1, numColumns = 1, columnWidth = 0, controllerWidth = 0, parameterWidth = 0;
    juce::ScrollBar scrollBar { false };
    juce::Font headerFont, entryFont;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ListComponent)
};
