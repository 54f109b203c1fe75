#include "editor/OldStylePresetsBrowser.h"

#include "editor/OldStylePresetBrowserWindow.h"
#include "widgets/DefaultLookAndFeel.h"

namespace
{
using PresetListColumn = OldStylePresetsBrowser::PresetListColumn;
using GroupListColumn = OldStylePresetsBrowser::GroupListColumn;

constexpr int iconSize = 16;
const juce::Colour darkIconColour (0xFF4A4A4A);
const juce::Colour lightIconColour (0xFFFFFFFF);

juce::Image drawIcon (const std::function<void (juce::Graphics&)>& draw)
{
    juce::Image image (juce::Image::ARGB, iconSize, iconSize, true);
    juce::Graphics g (image);
    draw (g);
    return image;
}

juce::Image makeFolderIcon (juce::Colour colour)
{
    return drawIcon ([colour] (juce::Graphics& g)
    {
        juce::Path folder;
        folder.startNewSubPath (1.5f, 3.5f);
        folder.lineTo (6.0f, 3.5f);
        folder.lineTo (7.5f, 5.0f);
        folder.lineTo (14.5f, 5.0f);
        folder.lineTo (14.5f, 13.5f);
        folder.lineTo (1.5f, 13.5f);
        folder.closeSubPath();
        g.setColour (colour);
        g.fillPath (folder);
    });
}

juce::Image makeNoteIcon (juce::Colour colour)
{
    return drawIcon ([colour] (juce::Graphics& g)
    {
        // Two beamed quavers.
        g.setColour (colour);
        g.fillEllipse (1.5f, 10.5f, 5.0f, 4.0f);
        g.fillEllipse (9.5f, 9.0f, 5.0f, 4.0f);
        g.fillRect (5.5f, 3.0f, 1.2f, 9.5f);
        g.fillRect (13.5f, 1.5f, 1.2f, 9.5f);

        juce::Path beam;
        beam.startNewSubPath (5.5f, 3.0f);
        beam.lineTo (14.7f, 1.5f);
        beam.lineTo (14.7f, 4.0f);
        beam.lineTo (5.5f, 5.5f);
        beam.closeSubPath();
        g.fillPath (beam);
    });
}

PresetListColumn* asPresetColumn (ColumnBrowser::ListColumn* column, const OldStylePresetsBrowser& browser)
{
    auto* presets = dynamic_cast<PresetListColumn*> (column);
    return presets != nullptr && &presets->getPresetsBrowser() == &browser ? presets : nullptr;
}

GroupListColumn* asGroupColumn (ColumnBrowser::Column* column, const BasePluginOldStyle& plugin)
{
    auto* groups = dynamic_cast<GroupListColumn*> (column);
    return groups != nullptr && &groups->getPlugin() == &plugin ? groups : nullptr;
}

/** The one selected row of a list column, or -1 for none or several. */
int singleSelectedRow (const ColumnBrowser::ListColumn& column)
{
    const auto& list = column.getList();
    return list.getNumSelectedRows() == 1 ? list.getSelectedRow (0) : -1;
}

/** Moves the presets selected in the source column to the end of a group. */
void movePresetsIntoGroup (OldStylePresetsBrowser& browser, int group, PresetListColumn& source, ColumnBrowser::ListColumn& target)
{
    browser.getPlugin().movePresetsToGroup (group, source.group, source.getList().getSelectedRows());
    target.refresh();
    browser.showCurrentPreset();
}
} // namespace

//==============================================================================
OldStylePresetsBrowser::OldStylePresetsBrowser (OldStylePresetBrowserWindow& owner, BasePluginOldStyle& pluginToShow)
    : window (owner),
      plugin (pluginToShow)
{
}

OldStylePresetsBrowser::~OldStylePresetsBrowser() = default;

std::unique_ptr<ColumnBrowser::Column> OldStylePresetsBrowser::createFirstColumn()
{
    return std::make_unique<GroupListColumn> (*this);
}

void OldStylePresetsBrowser::columnsRefreshed()
{
    window.updateGroupButtons();
}

OldStylePresetsBrowser::GroupListColumn* OldStylePresetsBrowser::getGroupColumn() const
{
    return dynamic_cast<GroupListColumn*> (getColumn (0));
}

OldStylePresetsBrowser::PresetListColumn* OldStylePresetsBrowser::getPresetColumn() const
{
    return dynamic_cast<PresetListColumn*> (getColumn (1));
}

void OldStylePresetsBrowser::showPreset (int index)
{
    int group = -1, position = -1;
    plugin.getPresetGroupAndPosition (index, group, position);

    if (group < 0 || position < 0)
        return;

    // Selecting the group's row opens a new preset column; an already selected row keeps the open one.
    if (auto* groupColumn = getGroupColumn(); groupColumn != nullptr && singleSelectedRow (*groupColumn) != group)
    {
        const juce::ScopedValueSetter<bool> quiet (selectingPresetRow, true);
        groupColumn->selectItem (group, true);
    }

    auto* presetColumn = getPresetColumn();

    if (presetColumn == nullptr || presetColumn->group != group)
    {
        openColumn (std::make_unique<PresetListColumn> (*this, group));
        presetColumn = getPresetColumn();
    }

    if (presetColumn != nullptr && singleSelectedRow (*presetColumn) != position)
        selectPresetRow (*presetColumn, position);
}

void OldStylePresetsBrowser::showCurrentPreset()
{
    auto* presetColumn = getPresetColumn();

    if (presetColumn == nullptr)
        return;

    int group = -1, position = -1;
    plugin.getCurrentPresetGroupAndPosition (group, position);

    if (group == presetColumn->group && position >= 0)
    {
        if (singleSelectedRow (*presetColumn) != position)
            selectPresetRow (*presetColumn, position);
    }
    else
    {
        const juce::ScopedValueSetter<bool> quiet (selectingPresetRow, true);
        presetColumn->getList().deselectAllRows();
    }
}

void OldStylePresetsBrowser::selectPresetRow (PresetListColumn& column, int row)
{
    const juce::ScopedValueSetter<bool> quiet (selectingPresetRow, true);
    column.selectItem (row, true);
}

//==============================================================================
OldStylePresetsBrowser::CommonColumn::CommonColumn (OldStylePresetsBrowser& owner, juce::Image rowIcon, juce::Image selectedRowIcon)
    : ListColumn (owner),
      browser (owner),
      plugin (owner.getPlugin()),
      icon (std::move (rowIcon)),
      selectedIcon (std::move (selectedRowIcon))
{
}

const juce::Image& OldStylePresetsBrowser::CommonColumn::getItemIcon (int, bool selected)
{
    return selected ? selectedIcon : icon;
}

//==============================================================================
OldStylePresetsBrowser::GroupListColumn::GroupListColumn (OldStylePresetsBrowser& owner)
    : CommonColumn (owner, makeFolderIcon (darkIconColour), makeFolderIcon (lightIconColour))
{
}

bool OldStylePresetsBrowser::GroupListColumn::canFollow (Column*)    { return false; }
bool OldStylePresetsBrowser::GroupListColumn::isChildOf (Column*)    { return false; }
bool OldStylePresetsBrowser::GroupListColumn::isResizable()          { return false; }
int OldStylePresetsBrowser::GroupListColumn::getDefaultWidth()       { return 241; }

int OldStylePresetsBrowser::GroupListColumn::getNumItems()                      { return plugin.getNumGroups(); }
juce::String OldStylePresetsBrowser::GroupListColumn::getItemText (int row)     { return plugin.getGroupName (row); }
bool OldStylePresetsBrowser::GroupListColumn::itemHasChildren (int row)         { return plugin.getNumPresetsInGroup (row) > 0; }

std::unique_ptr<ColumnBrowser::Column> OldStylePresetsBrowser::GroupListColumn::createChildColumn (int row)
{
    return std::make_unique<PresetListColumn> (browser, row);
}

void OldStylePresetsBrowser::GroupListColumn::itemOpened (int)
{
    browser.showCurrentPreset();
}

void OldStylePresetsBrowser::GroupListColumn::renameItem (int row, const juce::String& newText)
{
    plugin.setGroupName (row, newText);
}

void OldStylePresetsBrowser::GroupListColumn::listBackgroundClicked()
{
    // The selection is gone without a refresh of the columns.
    browser.getWindow().updateGroupButtons();
}

bool OldStylePresetsBrowser::GroupListColumn::canDropOnColumn (ListColumn*)            { return false; }
bool OldStylePresetsBrowser::GroupListColumn::canDropOnItem (ListColumn* source, int)  { return asPresetColumn (source, browser) != nullptr; }
bool OldStylePresetsBrowser::GroupListColumn::canInsertBefore (ListColumn* source, int) { return asGroupColumn (source, plugin) != nullptr; }
bool OldStylePresetsBrowser::GroupListColumn::canInsertAfter (ListColumn* source, int)  { return asGroupColumn (source, plugin) != nullptr; }

void OldStylePresetsBrowser::GroupListColumn::dropOnItem (ListColumn* source, int row)
{
    if (auto* presets = asPresetColumn (source, browser))
        movePresetsIntoGroup (browser, row, *presets, *this);
}

void OldStylePresetsBrowser::GroupListColumn::dropBefore (ListColumn* source, int row)  { moveGroup (source, row, true); }
void OldStylePresetsBrowser::GroupListColumn::dropAfter (ListColumn* source, int row)   { moveGroup (source, row, false); }

void OldStylePresetsBrowser::GroupListColumn::moveGroup (ListColumn* source, int row, bool before)
{
    const auto from = singleSelectedRow (*this);

    if (source != this || from < 0)
        return;

    const auto to = before ? (from < row ? row - 1 : row)
                           : (from > row ? row + 1 : row);

    if (plugin.moveGroup (from, to))
        selectItem (to, true);
}

int OldStylePresetsBrowser::GroupListColumn::getSingleSelectedGroup() const
{
    return singleSelectedRow (*this);
}

//==============================================================================
OldStylePresetsBrowser::PresetListColumn::PresetListColumn (OldStylePresetsBrowser& owner, int groupToList)
    : CommonColumn (owner, makeNoteIcon (darkIconColour), makeNoteIcon (lightIconColour)),
      group (groupToList)
{
}

bool OldStylePresetsBrowser::PresetListColumn::canFollow (Column* column)   { return asGroupColumn (column, plugin) != nullptr; }
bool OldStylePresetsBrowser::PresetListColumn::isChildOf (Column* column)   { return asGroupColumn (column, plugin) != nullptr; }
bool OldStylePresetsBrowser::PresetListColumn::isResizable()                { return false; }
int OldStylePresetsBrowser::PresetListColumn::getDefaultWidth()             { return 350; }

std::unique_ptr<ColumnBrowser::Column> OldStylePresetsBrowser::PresetListColumn::createParentColumn()
{
    return std::make_unique<GroupListColumn> (browser);
}

int OldStylePresetsBrowser::PresetListColumn::getNumItems()                  { return plugin.getNumPresetsInGroup (group); }
juce::String OldStylePresetsBrowser::PresetListColumn::getItemText (int row) { return plugin.getPresetNameInGroup (group, row); }

void OldStylePresetsBrowser::PresetListColumn::itemOpened (int row)
{
    if (! browser.isSelectingPresetRow())
        plugin.selectPresetInGroup (group, row);
}

void OldStylePresetsBrowser::PresetListColumn::renameItem (int row, const juce::String& newText)
{
    plugin.setPresetNameInGroup (group, row, newText);
    refresh();
}

bool OldStylePresetsBrowser::PresetListColumn::canDropOnColumn (ListColumn* source)   { return asPresetColumn (source, browser) != nullptr; }
bool OldStylePresetsBrowser::PresetListColumn::canDropOnItem (ListColumn*, int)       { return false; }

bool OldStylePresetsBrowser::PresetListColumn::canInsertBefore (ListColumn* source, int)
{
    auto* presets = asPresetColumn (source, browser);
    return presets != nullptr && presets->getList().getNumSelectedRows() == 1;
}

bool OldStylePresetsBrowser::PresetListColumn::canInsertAfter (ListColumn* source, int row)
{
    return canInsertBefore (source, row);
}

void OldStylePresetsBrowser::PresetListColumn::dropOnColumn (ListColumn* source)
{
    if (auto* presets = asPresetColumn (source, browser))
        movePresetsIntoGroup (browser, group, *presets, *this);
}

void OldStylePresetsBrowser::PresetListColumn::dropBefore (ListColumn* source, int row)  { movePreset (source, row, true); }
void OldStylePresetsBrowser::PresetListColumn::dropAfter (ListColumn* source, int row)   { movePreset (source, row, false); }

void OldStylePresetsBrowser::PresetListColumn::movePreset (ListColumn* source, int row, bool before)
{
    auto* presets = asPresetColumn (source, browser);

    if (presets == nullptr || singleSelectedRow (*presets) < 0)
        return;

    const auto from = plugin.getPresetIndexInGroup (presets->group, singleSelectedRow (*presets));
    const auto target = plugin.getPresetIndexInGroup (group, row);

    if (from < 0 || target < 0)
        return;

    const auto sameGroup = presets->group == group;
    const auto to = before ? (target > from ? target - 1 : target)
                           : (target < from ? target + 1 : target);

    if (! plugin.movePreset (from, to, presets->group, group))
        return;

    refresh();

    const auto newRow = before ? ((to > from && sameGroup) ? row - 1 : row)
                               : ((to >= from && sameGroup) ? row : row + 1);
    browser.selectPresetRow (*this, newRow);
}
