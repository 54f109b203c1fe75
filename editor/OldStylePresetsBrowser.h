#pragma once

#include "framework/BasePluginOldStyle.h"
#include "widgets/ColumnBrowser.h"

class OldStylePresetBrowserWindow;

/**
    The preset browser's two columns: the preset groups on the left, the
    presets of the chosen group on the right. Presets and groups are moved by
    dragging, renamed in place, and opening a preset applies it.
*/
class OldStylePresetsBrowser : public ColumnBrowser
{
public:
    class CommonColumn;
    class GroupListColumn;
    class PresetListColumn;

    OldStylePresetsBrowser (OldStylePresetBrowserWindow& window, BasePluginOldStyle& plugin);
    ~OldStylePresetsBrowser() override;

    std::unique_ptr<Column> createFirstColumn() override;

    /** Tells the window, whose group buttons depend on the group selection. */
    void columnsRefreshed() override;

    GroupListColumn* getGroupColumn() const;

    /** The open preset column, or null. */
    PresetListColumn* getPresetColumn() const;

    /** Opens the preset's group and selects the preset's row, applying nothing. */
    void showPreset (int index);

    /** When the open preset column lists the current preset's group, selects
        its row; otherwise its selection is cleared. */
    void showCurrentPreset();

    /** Selects a preset row without applying the preset. */
    void selectPresetRow (PresetListColumn& column, int row);

    /** True while the browser itself selects a row: opening it then applies nothing. */
    bool isSelectingPresetRow() const noexcept { return selectingPresetRow; }

    BasePluginOldStyle& getPlugin() const noexcept { return plugin; }
    OldStylePresetBrowserWindow& getWindow() const noexcept { return window; }

private:
    OldStylePresetBrowserWindow& window;
    BasePluginOldStyle& plugin;
    bool selectingPresetRow = false;

    JUCE_DECLARE_NON_COPYABLE (OldStylePresetsBrowser)
};

//==============================================================================
/** What both columns share: the plug-in, and an icon pair for their rows. */
class OldStylePresetsBrowser::CommonColumn : public ColumnBrowser::ListColumn
{
public:
    CommonColumn (OldStylePresetsBrowser& browser, juce::Image icon, juce::Image selectedIcon);

    const juce::Image& getItemIcon (int row, bool selected) override;

    OldStylePresetsBrowser& getPresetsBrowser() const noexcept { return browser; }
    BasePluginOldStyle& getPlugin() const noexcept { return plugin; }

protected:
    OldStylePresetsBrowser& browser;
    BasePluginOldStyle& plugin;

private:
    juce::Image icon, selectedIcon;

    JUCE_DECLARE_NON_COPYABLE (CommonColumn)
};

//==============================================================================
/** The groups of the bank; always the first column. */
class OldStylePresetsBrowser::GroupListColumn : public CommonColumn
{
public:
    explicit GroupListColumn (OldStylePresetsBrowser& browser);

    bool canFollow (Column* column) override;
    bool isChildOf (Column* column) override;
    bool isResizable() override;
    int getDefaultWidth() override;

    int getNumItems() override;
    juce::String getItemText (int row) override;
    bool itemHasChildren (int row) override;
    std::unique_ptr<Column> createChildColumn (int row) override;
    void itemOpened (int row) override;
    void renameItem (int row, const juce::String& newText) override;
    void listBackgroundClicked() override;

    bool canDropOnColumn (ListColumn* source) override;
    bool canDropOnItem (ListColumn* source, int row) override;
    bool canInsertBefore (ListColumn* source, int row) override;
    bool canInsertAfter (ListColumn* source, int row) override;
    void dropOnItem (ListColumn* source, int row) override;
    void dropBefore (ListColumn* source, int row) override;
    void dropAfter (ListColumn* source, int row) override;

    /** The single selected group row, or -1 for none or several. */
    int getSingleSelectedGroup() const;

private:
    void moveGroup (ListColumn* source, int row, bool before);

    JUCE_DECLARE_NON_COPYABLE (GroupListColumn)
};

//==============================================================================
/** The presets of one group. */
class OldStylePresetsBrowser::PresetListColumn : public CommonColumn
{
public:
    PresetListColumn (OldStylePresetsBrowser& browser, int group);

    /** The group it lists. */
    const int group;

    bool canFollow (Column* column) override;
    bool isChildOf (Column* column) override;
    std::unique_ptr<Column> createParentColumn() override;
    bool isResizable() override;
    int getDefaultWidth() override;

    int getNumItems() override;
    juce::String getItemText (int row) override;
    void itemOpened (int row) override;
    void renameItem (int row, const juce::String& newText) override;

    bool canDropOnColumn (ListColumn* source) override;
    bool canDropOnItem (ListColumn* source, int row) override;
    bool canInsertBefore (ListColumn* source, int row) override;
    bool canInsertAfter (ListColumn* source, int row) override;
    void dropOnColumn (ListColumn* source) override;
    void dropBefore (ListColumn* source, int row) override;
    void dropAfter (ListColumn* source, int row) override;

private:
    void movePreset (ListColumn* source, int row, bool before);

    JUCE_DECLARE_NON_COPYABLE (PresetListColumn)
};
