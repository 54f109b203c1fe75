#include "editor/OldStylePresetBrowserWindow.h"
#include "framework/XmlFiles.h"
#include "support/InstrumentTestSupport.h"
#include "support/PresetTestSupport.h"
#include "support/ScriptedFileChooser.h"
#include "support/TemporaryFolder.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <map>

namespace
{
using Browser = OldStylePresetsBrowser;
using ListColumn = ColumnBrowser::ListColumn;

constexpr int listTop = 4, rowHeight = ListColumn::rowHeight;

/** The window over a plug-in, shown in an editor stand-in. */
struct BrowserStage
{
    explicit BrowserStage (BasePluginOldStyle& pluginToShow) : plugin (pluginToShow)
    {
        desktop.addChildComponent (window);
        window.sendLookAndFeelChange();
        window.setSize (639, 350);
        window.showCentred();
        window.getFileChooser().setFileChooserLauncher (ScriptedFileChooser::into (chooser));
        dispatchPendingMessages();
    }

    ~BrowserStage() { dispatchPendingMessages(); }

    Browser& browser() { return window.getBrowser(); }
    Browser::GroupListColumn& groups() { return *browser().getGroupColumn(); }
    Browser::PresetListColumn* presets() { return browser().getPresetColumn(); }

    /** The names of a group's presets, in order. */
    juce::StringArray namesIn (int group) const
    {
        juce::StringArray names;
        for (int i = 0; i < plugin.getNumPresetsInGroup (group); ++i)
            names.add (plugin.getPresetNameInGroup (group, i));
        return names;
    }

    static int selectedRow (const ListColumn& column)
    {
        const auto& list = column.getList();
        return list.getNumSelectedRows() == 1 ? list.getSelectedRow (0) : -1;
    }

    BasePluginOldStyle& plugin;
    TestDesktop desktop { 700, 420 };
    OldStylePresetBrowserWindow window { plugin };
    ScriptedFileChooser::Record chooser;
};

/** A drag as the toolkit runs it: rows handed out by a list, hover-opening,
    and a drop at a position within a row of the target column. */
struct Drag
{
    Drag (Browser& browserToDragIn, ListColumn& source, juce::SparseSet<int> rows)
        : browser (browserToDragIn), sourceList (source.getList())
    {
        sourceList.setSelectedRows (rows);
        description = sourceList.getModel()->getDragSourceDescription (rows);
        browser.dragOperationStarted (at (0, 0));
    }

    juce::DragAndDropTarget::SourceDetails at (int row, int positionInRow) const
    {
        return { description, &sourceList, { 40, listTop + row * rowHeight + positionInRow } };
    }

    /** Rests on a group row until it opens. */
    void hoverOpen (ListColumn& groups, int row)
    {
        groups.itemDragEnter (at (row, rowHeight / 2));
        groups.timerCallback();
        groups.itemDragExit (at (row, rowHeight / 2));
    }

    void dropOn (ListColumn& target, int row, int positionInRow)
    {
        const auto details = at (row, positionInRow);
        target.itemDragEnter (details);
        target.itemDropped (details);
        browser.dragOperationEnded (details);
    }

    Browser& browser;
    ColumnBrowser::ListColumn::List& sourceList;
    juce::var description;
};

juce::SparseSet<int> rowsOf (std::initializer_list<int> rows)
{
    juce::SparseSet<int> set;
    for (auto r : rows)
        set.addRange ({ r, r + 1 });
    return set;
}

// Groups "G0" P0-P2, "G1" P3-P6, "G2" empty, "G3" P7-P8, then "Not used".
struct PresetBrowser : public testing::Test
{
    void SetUp() override
    {
        removeSettingsOf ("Tarvelin");
        plugin = OldStyleTestPlugin::create();
        ASSERT_TRUE (plugin->loadBankFromXml (*makeBankXml ({ 3, 4, 0, 2 })));
        plugin->loadCurrentPreset();
        stage = std::make_unique<BrowserStage> (*plugin);
    }

    void TearDown() override
    {
        stage.reset();
        plugin.reset();
    }

    std::unique_ptr<OldStyleTestPlugin> plugin;
    std::unique_ptr<BrowserStage> stage;
};
} // namespace

TEST_F (PresetBrowser, GroupButtonsFollowTheGroupSelection)
{
    auto& window = stage->window;
    auto& groups = stage->groups();

    groups.getList().deselectAllRows();
    groups.listBackgroundClicked();
    EXPECT_FALSE (window.getAddGroupButton().isEnabled());
    EXPECT_FALSE (window.getRemoveGroupButton().isEnabled());

    groups.selectItem (2, true);
    EXPECT_TRUE (window.getAddGroupButton().isEnabled());
    EXPECT_TRUE (window.getRemoveGroupButton().isEnabled());

    groups.selectItem (1, true);
    EXPECT_TRUE (window.getAddGroupButton().isEnabled());
    EXPECT_FALSE (window.getRemoveGroupButton().isEnabled());

    // A new group goes before the selected one; that empty group can be removed again.
    clickButton (window.getAddGroupButton());
    EXPECT_EQ (plugin->getGroupName (1), "New Group");
    EXPECT_EQ (groups.getItemText (2), "G1");
    EXPECT_TRUE (window.getRemoveGroupButton().isEnabled());
    clickButton (window.getRemoveGroupButton());
    EXPECT_EQ (plugin->getGroupName (1), "G1");
}

TEST_F (PresetBrowser, DragsMoveAndReorderPresetsAndGroups)
{
    constexpr int groupColumn = -1, emptyArea = -1, noCheck = -2;

    struct Row
    {
        const char* move;
        int sourceGroup;                      // groupColumn: the groups themselves
        std::initializer_list<int> sourceRows;
        int hoverGroup;                       // opened on the way, or -1
        bool ontoGroupColumn;
        int targetRow, positionInRow;
        std::map<int, juce::StringArray> expected;
        int selectedRow;
    };

    const Row rows[] = {
        { "third preset onto the first row's upper edge", 1, { 2 }, -1, false, 0, 2, { { 1, { "P5", "P3", "P4", "P6" } } }, 0 },
        { "first preset onto the third row's lower edge", 1, { 0 }, -1, false, 2, 18, { { 1, { "P4", "P5", "P3", "P6" } } }, 2 },
        { "from an earlier group before a row", 0, { 1 }, 1, false, 2, 2, { { 0, { "P0", "P2" } }, { 1, { "P3", "P4", "P1", "P5", "P6" } } }, 2 },
        { "from an earlier group after a row", 0, { 1 }, 1, false, 2, 18, { { 1, { "P3", "P4", "P5", "P1", "P6" } } }, 3 },
        { "from a later group before a row", 3, { 0 }, 1, false, 1, 2, { { 1, { "P3", "P7", "P4", "P5", "P6" } }, { 3, { "P8" } } }, 1 },
        { "from a later group after a row", 3, { 0 }, 1, false, 1, 18, { { 1, { "P3", "P4", "P7", "P5", "P6" } } }, 2 },
        { "two presets onto another group's row", 1, { 0, 1 }, -1, true, 3, 10, { { 1, { "P5", "P6" } }, { 3, { "P7", "P8", "P3", "P4" } } }, noCheck },
        { "two presets into an empty group's column", 1, { 1, 3 }, 2, false, emptyArea, 0, { { 1, { "P3", "P5" } }, { 2, { "P4", "P6" } } }, noCheck },
        { "a group before a later row", groupColumn, { 0 }, -1, true, 3, 2, { { 2, { "P0", "P1", "P2" } }, { 3, { "P7", "P8" } } }, 2 },
        { "a group after an earlier row", groupColumn, { 3 }, -1, true, 0, 18, { { 0, { "P0", "P1", "P2" } }, { 1, { "P7", "P8" } } }, 1 },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.move);
        TearDown();
        SetUp();

        ListColumn* source = &stage->groups();

        if (row.sourceGroup != groupColumn)
        {
            stage->groups().selectItem (row.sourceGroup, true);
            source = stage->presets();
        }

        ASSERT_NE (source, nullptr);
        Drag drag (stage->browser(), *source, rowsOf (row.sourceRows));
        const auto currentName = plugin->getPresetName (plugin->getCurrentPresetIndex());

        if (row.hoverGroup >= 0)
            drag.hoverOpen (stage->groups(), row.hoverGroup);

        ListColumn* target = row.ontoGroupColumn ? static_cast<ListColumn*> (&stage->groups()) : stage->presets();
        ASSERT_NE (target, nullptr);
        drag.dropOn (*target, row.targetRow < 0 ? 12 : row.targetRow, row.positionInRow);

        for (const auto& [group, names] : row.expected)
            EXPECT_EQ (stage->namesIn (group), names) << "group " << group;

        if (row.selectedRow != noCheck)
        {
            EXPECT_EQ (BrowserStage::selectedRow (*target), row.selectedRow);
        }

        EXPECT_EQ (plugin->getPresetName (plugin->getCurrentPresetIndex()), currentName);
        EXPECT_EQ (stage->browser().getParkedColumn(), nullptr);
    }
}

TEST_F (PresetBrowser, RenamingTheCurrentPresetInPlaceRenamesItsSlotAndTheBrowserFollows)
{
    plugin->selectPreset (4, false);
    dispatchPendingMessages();
    ASSERT_EQ (stage->presets()->group, 1);

    stage->presets()->renameItem (1, "Acid Line");
    dispatchPendingMessages();
    EXPECT_EQ (plugin->getPresetName (4), "Acid Line");
    EXPECT_EQ (plugin->getParameterManager().getText (BasePluginOldStyle::currentPresetNameId), "Acid Line");
    EXPECT_EQ (stage->presets()->getItemText (1), "Acid Line");

    stage->groups().renameItem (3, "Basses");
    EXPECT_EQ (plugin->getGroupName (3), "Basses");
}

TEST_F (PresetBrowser, FileButtonsGoThroughTheDialogSeamAndSavesGetTheirExtension)
{
    TemporaryFolder folder;
    auto& window = stage->window;

    struct Row
    {
        juce::TextButton& button;
        const char* tooltip;
        const char* title;
        juce::String patterns;
        const char* typed;
        const char* written;
    };

    const Row rows[] = {
        { window.getPresetSaveButton(), "Save current preset", "Save current settings as preset", "*.tqprs", "Lead.txt", "Lead.tqprs" },
        { window.getBankSaveButton(), "Save current preset bank", "Save preset bank", "*.tqprsb", "MyBank", "MyBank.tqprsb" },
        { window.getPresetLoadButton(), "Load preset", "Load single preset", "*.tqprs", nullptr, nullptr },
        { window.getBankLoadButton(), "Load preset bank", "Load preset bank", "*.tqprsb", nullptr, nullptr },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.title);
        EXPECT_EQ (row.button.getTooltip(), row.tooltip);
        clickButton (row.button);
        EXPECT_EQ (stage->chooser.request.title, row.title);
        EXPECT_EQ (stage->chooser.request.filePatterns, row.patterns);
        EXPECT_EQ (stage->chooser.request.initialLocation, plugin->getLastUsedFolder());

        if (row.typed == nullptr)
        {
            stage->chooser.cancel();
            continue;
        }

        stage->chooser.choose (folder.get().getChildFile (row.typed));
        EXPECT_TRUE (folder.get().getChildFile (row.written).existsAsFile());
        EXPECT_FALSE (folder.get().getChildFile (row.typed).exists());
    }

    // A bank read from a file replaces the groups on show.
    ASSERT_TRUE (XmlFiles::write (*makeBankXml ({ 5, 6 }), folder.get().getChildFile ("Other.tqprsb"), PresetManager::maxBankFileBytes));
    clickButton (window.getBankLoadButton());
    stage->chooser.choose (folder.get().getChildFile ("Other.tqprsb"));
    EXPECT_EQ (stage->groups().getNumItems(), 3);
    EXPECT_EQ (stage->namesIn (1).size(), 6);
    EXPECT_EQ (BrowserStage::selectedRow (stage->groups()), 0);
}

TEST_F (PresetBrowser, ToolButtonsCarryTheirTooltipsAndStepWithoutWrapping)
{
    auto& window = stage->window;
    const std::pair<juce::Button*, const char*> tooltips[] = {
        { &window.getAddGroupButton(), "Add group" },       { &window.getRemoveGroupButton(), "Remove empty group" },
        { &window.getCopyButton(), "Copy current preset" }, { &window.getPasteButton(), "Paste copied preset" },
        { &window.getUpButton(), "Select previous preset" }, { &window.getDownButton(), "Select next preset" },
    };

    for (const auto& [button, tooltip] : tooltips)
        EXPECT_EQ (button->getTooltip(), tooltip);

    clickButton (window.getDownButton());
    dispatchPendingMessages();
    EXPECT_EQ (plugin->getCurrentPresetIndex(), 1);
    EXPECT_EQ (BrowserStage::selectedRow (*stage->presets()), 1);

    plugin->selectPreset (127, false);
    clickButton (window.getDownButton());
    dispatchPendingMessages();
    EXPECT_EQ (plugin->getCurrentPresetIndex(), 127);
    EXPECT_EQ (BrowserStage::selectedRow (stage->groups()), 4);
}

TEST_F (PresetBrowser, TheToolsStandLeftTheFilesBottomRightAndTheColumnsBetween)
{
    auto& window = stage->window;
    const auto area = window.getContentArea();
    EXPECT_EQ (window.getToolColumn().getPosition(), area.getTopLeft());
    EXPECT_EQ (window.getFileRow().getRight(), area.getRight() - 6);
    EXPECT_EQ (window.getFileRow().getBottom(), area.getBottom());
    EXPECT_EQ (stage->browser().getBounds(),
               juce::Rectangle<int>::leftTopRightBottom (window.getToolColumn().getRight() + 5, area.getY(), area.getRight() - 1,
                                                         window.getFileRow().getY() - 6));
}

TEST (PresetBrowserInstrument, AProgramChangeOpensThePresetsGroupAndSelectsItsRow)
{
    auto instrument = InstrumentTest::createInstrument();
    ASSERT_TRUE (instrument->loadBankFromXml (*makeBankXml ({ 20, 15, 93 })));
    instrument->selectPreset (0, true);
    dispatchPendingMessages();

    BrowserStage stage (*instrument);
    EXPECT_EQ (BrowserStage::selectedRow (stage.groups()), 0);

    InstrumentTest::render (*instrument, InstrumentTest::blockSize, InstrumentTest::blockSize,
                            { { 0, juce::MidiMessage::programChange (1, 40) } });
    dispatchPendingMessages();

    EXPECT_EQ (instrument->getCurrentPresetIndex(), 40);
    EXPECT_EQ (BrowserStage::selectedRow (stage.groups()), 2);
    ASSERT_NE (stage.presets(), nullptr);
    EXPECT_EQ (stage.presets()->group, 2);
    EXPECT_EQ (BrowserStage::selectedRow (*stage.presets()), 5);
    EXPECT_EQ (stage.browser().getNumColumns(), 2);
}
