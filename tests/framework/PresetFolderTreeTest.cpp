#include "framework/ParameterManager.h"
#include "framework/PresetFolderTree.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace
{
struct ChangeCounter : public juce::ChangeListener
{
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++changes; }
    int changes = 0;
};

class PresetFolderTreeTest : public ::testing::Test
{
protected:
    PresetFolderTreeTest()
    {
        manager.addParameter (new IntParameter (1, "Steps", 1, 16, 16));
    }

    juce::File preset (const juce::String& relativePath, const juce::String& steps = "4")
    {
        return folder.write (relativePath, "<Preset><param name=\"Steps\" value=\"" + steps + "\"/></Preset>");
    }

    // The tree's files as paths inside the root, for readable expectations.
    juce::StringArray relativePaths() const
    {
        juce::StringArray paths;

        for (const auto& path : tree.getFilePaths())
            paths.add (juce::File (path).getRelativePathFrom (folder.get()));

        return paths;
    }

    TemporaryFolder folder;
    ParameterManager manager;
    PresetFolderTree tree { folder.get(), ".tqprs" };
};
} // namespace

TEST (DirectoryTreeNode, NamesThatCompareEqualStillSortTheSameEveryTime)
{
    DirectoryTreeNode first ("/p");
    DirectoryTreeNode second ("/p");

    for (const auto* name : { "/p/bass.tqprs", "/p/Bass.tqprs", "/p/BASS.tqprs" })
        first.addFile (name, true);

    for (const auto* name : { "/p/BASS.tqprs", "/p/bass.tqprs", "/p/Bass.tqprs" })
        second.addFile (name, true);

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (first.getFileName (i), second.getFileName (i));
}

//==============================================================================
TEST_F (PresetFolderTreeTest, ListsEachFoldersPresetsNaturallyBeforeItsSubFoldersDepthFirstAndTellsItsListeners)
{
    preset ("B 10.tqprs");
    preset ("B 2.tqprs");
    preset ("Leads 10/x.tqprs");
    preset ("Leads 9/Deep/y.tqprs");
    folder.write ("Leads 10/readme.txt", "not a preset");
    ChangeCounter counter;
    tree.addChangeListener (&counter);

    tree.rescan();
    tree.dispatchPendingMessages();

    EXPECT_EQ (relativePaths(), juce::StringArray ({ "B 2.tqprs", "B 10.tqprs", "Leads 9/Deep/y.tqprs", "Leads 10/x.tqprs" }));
    EXPECT_EQ (counter.changes, 1);
    tree.removeChangeListener (&counter);

    // Each node's children are listed before the walk goes down into them.
    ASSERT_EQ (tree.getNumFolders(), 3);
    EXPECT_EQ (juce::File (tree.getFolder (0)->getName()).getFileName(), "Leads 9");
    EXPECT_EQ (juce::File (tree.getFolder (1)->getName()).getFileName(), "Leads 10");
    EXPECT_EQ (juce::File (tree.getFolder (2)->getName()).getFileName(), "Deep");
    EXPECT_EQ (tree.getDisplayPath (folder.get().getChildFile ("Leads 10/x.tqprs")), folder.get().getFileName() + "/Leads 10/x.tqprs");
}

TEST_F (PresetFolderTreeTest, AFolderLinkBackToAnAncestorDoesNotRecurseForEver)
{
    preset ("Leads/Saw.tqprs");
    if (! folder.get().createSymbolicLink (folder.get().getChildFile ("Leads/Back"), false))
        GTEST_SKIP() << "this file system has no symbolic links";

    tree.rescan();

    EXPECT_EQ (relativePaths(), juce::StringArray ({ "Leads/Saw.tqprs" }));
}

TEST_F (PresetFolderTreeTest, AddingAFileCreatesItsFoldersInOrderAndListsItOnce)
{
    preset ("Leads/Saw.tqprs");
    preset ("Bass/Sub.tqprs");
    tree.rescan();

    tree.addFile (preset ("Arps/Fast 10/Up.tqprs"));
    tree.addFile (preset ("Leads/Acid.tqprs"));
    tree.addFile (folder.get().getChildFile ("Leads/Acid.tqprs"));

    EXPECT_EQ (relativePaths(), juce::StringArray ({ "Arps/Fast 10/Up.tqprs", "Bass/Sub.tqprs",
                                                          "Leads/Acid.tqprs", "Leads/Saw.tqprs" }));
    EXPECT_NE (tree.findFolder (folder.get().getChildFile ("Arps/Fast 10")), nullptr);
}

TEST_F (PresetFolderTreeTest, AMissingRootOrAFileOutsideTheRootOrAMissingOneAddsNothing)
{
    PresetFolderTree nowhere (folder.get().getChildFile ("Nowhere"), ".tqprs");
    nowhere.rescan();
    EXPECT_EQ (nowhere.getNumFiles(), 0);

    TemporaryFolder elsewhere;
    preset ("A.tqprs");
    tree.rescan();
    ChangeCounter counter;
    tree.addChangeListener (&counter);

    tree.addFile (elsewhere.write ("Outside.tqprs", "<Preset/>"));
    tree.addFile (folder.get().getChildFile ("Missing.tqprs"));
    tree.addFile (folder.get());
    tree.dispatchPendingMessages();

    EXPECT_EQ (relativePaths(), juce::StringArray ({ "A.tqprs" }));
    EXPECT_EQ (counter.changes, 0);
    tree.removeChangeListener (&counter);
}

TEST_F (PresetFolderTreeTest, LoadsAListedPresetWithItsValuesOnceUntilTheNextRescanAndADamagedOneEmpty)
{
    folder.write ("Broken.tqprs", "<Preset><param");
    const auto file = preset ("Bass/Sub.tqprs", "9");
    tree.rescan();

    auto* loaded = tree.getPresetForFile (file, &manager);

    ASSERT_NE (loaded, nullptr);
    EXPECT_EQ (loaded->getName(), "Sub");
    ASSERT_EQ (loaded->getNumValues(), 1);
    EXPECT_EQ (loaded->getValue (0)->value, "9");
    EXPECT_EQ (tree.getPreset (1, &manager), loaded);

    // A damaged file keeps its place in the tree with a preset named after it.
    const auto* broken = tree.getPreset (0, &manager);
    ASSERT_NE (broken, nullptr);
    EXPECT_EQ (broken->getName(), "Broken");
    EXPECT_EQ (broken->getNumValues(), 0);

    EXPECT_EQ (tree.getPreset (-1, &manager), nullptr);
    EXPECT_EQ (tree.getPreset (2, &manager), nullptr);
    EXPECT_EQ (tree.getPresetForFile (folder.get().getChildFile ("Bass/Other.tqprs"), &manager), nullptr);

    preset ("Bass/Sub.tqprs", "3");
    tree.rescan();
    EXPECT_EQ (tree.getPreset (1, &manager)->getValue (0)->value, "3");
}
