#pragma once

#include "editor/EditorFileChooser.h"
#include "editor/EditorIcons.h"
#include "editor/FileType.h"
#include "framework/BasePlugin.h"
#include "widgets/AlertWindow.h"
#include "widgets/ComboBoxButton.h"
#include "widgets/ComponentRow.h"
#include "widgets/DefaultResourceCheckBox.h"
#include "widgets/ToolbarDrawableButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    The "Parameters" page: which plug-in parameter each host-visible slot
    carries, one drop-down per slot in a sideways-scrolling grid, with buttons
    to clear the map and to load and save map files, and the "Default map" box
    that picks a map file loaded at start.
*/
class HostParametersComponent : public juce::Component,
                                public juce::Button::Listener,
                                public Ulvra::AlertWindow::Caller,
                                public DefaultResourceCheckBox::Listener,
                                public FileType
{
public:
    class ListComponent;

    /** The rounded frame laid over the viewport's corners. */
    class Shape : public juce::Component
    {
    public:
        Shape();
        void paint (juce::Graphics& g) override;
    };

    static constexpr int rowsPerColumn = 10;

    explicit HostParametersComponent (BasePlugin& plugin);
    ~HostParametersComponent() override;

    /** The open dialog's patterns, also the default-map field's. */
    void setLoadWildcard (const juce::String& wildcard);
    const juce::String& getLoadWildcard() const noexcept { return loadWildcard; }

    ListComponent& getList() noexcept { return *list; }
    juce::Viewport& getViewport() noexcept { return viewport; }
    Shape& getFrame() noexcept { return frame; }
    ComponentRow& getButtonColumn() noexcept { return buttonColumn; }
    ToolbarDrawableButton& getClearButton() noexcept { return clearButton; }
    ToolbarDrawableButton& getLoadButton() noexcept { return loadButton; }
    ToolbarDrawableButton& getSaveButton() noexcept { return saveButton; }
    DefaultResourceCheckBox& getDefaultMapBox() noexcept { return defaultMapBox; }
    EditorFileChooser& getFileChooser() noexcept { return fileChooser; }

    /** The "Clear all" question last asked, or null. */
    Ulvra::AlertWindow* getQuestion() const noexcept { return question.get(); }

    void buttonClicked (juce::Button* button) override;
    void alertWindowResult (Ulvra::AlertWindow* window, int result) override;
    void defaultResourceCheckBoxChanged (DefaultResourceCheckBox* box) override;

    void lookAndFeelChanged() override;
    void childBoundsChanged (juce::Component* child) override;
    void resized() override;

private:
    BasePlugin& plugin;
    juce::String loadWildcard;

    juce::Viewport viewport;
    std::unique_ptr<ListComponent> list;
    Shape frame;
    ComponentRow buttonColumn { ComponentRow::topToBottom, ComponentRow::alignEnd };
    ToolbarDrawableButton clearButton { "Clear all", EditorIcons::deleteEntry };
    ToolbarDrawableButton loadButton { "Load map", EditorIcons::open };
    ToolbarDrawableButton saveButton { "Save map", EditorIcons::save };
    DefaultResourceCheckBox defaultMapBox { "Default map" };

    std::unique_ptr<Ulvra::AlertWindow> question;
    EditorFileChooser fileChooser { *this, *this };
    bool layingOut = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HostParametersComponent)
};

//==============================================================================
/**
    The slots' drop-downs under "No." and "Parameter" headers, column by
    column. Each offers the parameters the host may see and "---", which
    empties the slot; every change of the map sets them all again.
*/
class HostParametersComponent::ListComponent : public juce::Component,
                                               public ComboBoxButton::Listener,
                                               public juce::ChangeListener
{
public:
    static constexpr int headerHeight = 20;
    static constexpr int rowHeight = 22;
    static constexpr int visibleColumns = 3;
    static constexpr int noParameterId = -1;

    explicit ListComponent (BasePlugin& plugin);
    ~ListComponent() override;

    void setRowsPerColumn (int rows);
    int getRowsPerColumn() const noexcept { return rowsPerColumn; }

    /** The width the viewport shows; the columns divide it in three. */
    void setVisibleWidth (int width);
    int getVisibleWidth() const noexcept { return visibleWidth; }

    int getNumSlots() const noexcept { return comboBoxes.size(); }
    int getNumColumns() const noexcept { return numColumns; }
    float getColumnWidth() const noexcept { return columnWidth; }
    int getNumberWidth() const noexcept { return numberWidth; }
    ComboBoxButton* getComboBox (int slot) const noexcept { return comboBoxes[slot]; }

    void comboBoxButtonChanged (ComboBoxButton* box) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void lookAndFeelChanged() override;
    void paint (juce::Graphics& g) override;

private:
    void updateLayout();

    BasePlugin& plugin;
    juce::OwnedArray<ComboBoxButton> comboBoxes;
    int rowsPerColumn = 20;
    int numColumns = 1;
    float columnWidth = 0.0f;
    int numberWidth = 0;
    int visibleWidth = 0;
    juce::Font headerFont, numberFont;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ListComponent)
};
