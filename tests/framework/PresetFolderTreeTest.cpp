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
    juce::StringArray relativePaths (const PresetFolderTree& tree) const
    {
        juce::StringArray paths;

        for (const auto& path : tree.getFilePaths())
            paths.add (juce::File (path).getRelativePathFrom (folder.get()));

        return paths;
    }

    TemporaryFolder folder;
    ParameterManager manager;
};
} // namespace

//==============================================================================
// Folder nodes

TEST (DirectoryTreeNode, KeepsEachFileOnceInNaturalOrderOrUnsortedUntilSorted)
{
    DirectoryTreeNode node ("/presets");
    node.addFile ("/presets/B 10.tqprs", true);
    node.addFile ("/presets/B 2.tqprs", true);
    node.addFile ("", true);
    node.addFile ("/presets/B 2.tqprs", true);

    ASSERT_EQ (node.getNumFiles(), 2);
    EXPECT_EQ (node.getFileName (0), "/presets/B 2.tqprs");
    EXPECT_EQ (node.getFileName (1), "/presets/B 10.tqprs");
    EXPECT_EQ (node.getFileName (2), "");

    DirectoryTreeNode unsorted ("/presets");
    unsorted.addFile ("/presets/B 10.tqprs", false);
    unsorted.addFile ("/presets/B 2.tqprs", false);
    EXPECT_EQ (unsorted.getFileName (0), "/presets/B 10.tqprs");
    unsorted.sort (false);
    EXPECT_EQ (unsorted.getFileName (0), "/presets/B 2.tqprs");
}

TEST (DirectoryTreeNode, SortsChildrenByTheirPathsAndRecursesWhenAsked)
{
    DirectoryTreeNode node ("/p");
    auto leads = std::make_unique<DirectoryTreeNode> ("/p/Leads 10");
    leads->addFile ("/p/Leads 10/b.tqprs", false);
    leads->addFile ("/p/Leads 10/a.tqprs", false);
    node.addChild (std::move (leads), false);
    node.addChild (std::make_unique<DirectoryTreeNode> ("/p/Leads 9"), false);
    node.addChild (nullptr, false);

    node.sort (true);

    ASSERT_EQ (node.getNumChildren(), 2);
    EXPECT_EQ (node.getChild (0)->getName(), "/p/Leads 9");
    EXPECT_EQ (node.getChild (1)->getFileName (0), "/p/Leads 10/a.tqprs");
    EXPECT_EQ (node.getChild (2), nullptr);
}

TEST (DirectoryTreeNode, FindsChildrenByPathWithCaseMattering)
{
    DirectoryTreeNode node ("/p");
    node.addChild (std::make_unique<DirectoryTreeNode> ("/p/Leads"), true);

    EXPECT_NE (node.findChild ("/p/Leads"), nullptr);
    EXPECT_NE (node.findChild ("/p/Leads/"), nullptr);
    EXPECT_EQ (node.findChild ("/p/leads"), nullptr);
    EXPECT_EQ (node.findChild ("/p/Bass"), nullptr);
}

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
// Scanning

TEST_F (PresetFolderTreeTest, ListsTheRootsFilesNaturallyThenWalksFoldersDepthFirstAndTellsItsListeners)
{
    preset ("B 10.tqprs");
    preset ("B 2.tqprs");
    preset ("A/x.tqprs");
    preset ("A/Deep/y.tqprs");
    preset ("B/z.tqprs");
    folder.write ("A/readme.txt", "not a preset");
    PresetFolderTree tree (folder.get(), ".tqprs");
    ChangeCounter counter;
    tree.addChangeListener (&counter);

    tree.rescan();
    tree.dispatchPendingMessages();

    EXPECT_EQ (relativePaths (tree), juce::StringArray ({ "B 2.tqprs", "B 10.tqprs", "A/x.tqprs", "A/Deep/y.tqprs", "B/z.tqprs" }));
    EXPECT_EQ (counter.changes, 1);
    tree.removeChangeListener (&counter);

    // Each node's children are appended before the walk goes down into them.
    ASSERT_EQ (tree.getNumFolders(), 3);
    EXPECT_EQ (juce::File (tree.getFolder (0)->getName()).getFileName(), "A");
    EXPECT_EQ (juce::File (tree.getFolder (1)->getName()).getFileName(), "B");
    EXPECT_EQ (juce::File (tree.getFolder (2)->getName()).getFileName(), "Deep");
}

TEST_F (PresetFolderTreeTest, AMissingRootGivesAnEmptyTree)
{
    PresetFolderTree tree (folder.get().getChildFile ("Nowhere"), ".tqprs");

    tree.rescan();

    EXPECT_EQ (tree.getNumFiles(), 0);
    EXPECT_EQ (tree.getPreset (0, &manager), nullptr);
}

TEST_F (PresetFolderTreeTest, AFolderLinkBackToAnAncestorDoesNotRecurseForEver)
{
    preset ("Leads/Saw.tqprs");
    ASSERT_TRUE (folder.get().createSymbolicLink (folder.get().getChildFile ("Leads/Back"), false));
    PresetFolderTree tree (folder.get(), ".tqprs");

    tree.rescan();

    EXPECT_EQ (relativePaths (tree), juce::StringArray ({ "Leads/Saw.tqprs" }));
}

//==============================================================================
// Adding files

TEST_F (PresetFolderTreeTest, AddingAFileCreatesItsFoldersInOrder)
{
    preset ("Leads/Saw.tqprs");
    preset ("Bass/Sub.tqprs");
    PresetFolderTree tree (folder.get(), ".tqprs");
    tree.rescan();

    tree.addFile (preset ("Arps/Fast 10/Up.tqprs"));
    tree.addFile (preset ("Leads/Acid.tqprs"));

    EXPECT_EQ (relativePaths (tree), juce::StringArray ({ "Arps/Fast 10/Up.tqprs", "Bass/Sub.tqprs",
                                                          "Leads/Acid.tqprs", "Leads/Saw.tqprs" }));
    EXPECT_NE (tree.findFolder (folder.get().getChildFile ("Arps/Fast 10")), nullptr);
}

TEST_F (PresetFolderTreeTest, AddingAFileOutsideTheRootOrAMissingOneChangesNothing)
{
    TemporaryFolder elsewhere;
    preset ("A.tqprs");
    PresetFolderTree tree (folder.get(), ".tqprs");
    tree.rescan();
    ChangeCounter counter;
    tree.addChangeListener (&counter);

    tree.addFile (elsewhere.write ("Outside.tqprs", "<Preset/>"));
    tree.addFile (folder.get().getChildFile ("Missing.tqprs"));
    tree.addFile (folder.get());
    tree.dispatchPendingMessages();

    EXPECT_EQ (relativePaths (tree), juce::StringArray ({ "A.tqprs" }));
    EXPECT_EQ (counter.changes, 0);
    tree.removeChangeListener (&counter);
}

//==============================================================================
// Presets

TEST_F (PresetFolderTreeTest, LoadsAListedPresetWithItsValuesOnceAndCachesIt)
{
    preset ("Bass/Sub.tqprs", "9");
    PresetFolderTree tree (folder.get(), ".tqprs");
    tree.rescan();

    auto* loaded = tree.getPresetForFile (folder.get().getChildFile ("Bass/Sub.tqprs"), &manager);

    ASSERT_NE (loaded, nullptr);
    EXPECT_EQ (loaded->getName(), "Sub");
    ASSERT_EQ (loaded->getNumValues(), 1);
    EXPECT_EQ (loaded->getValue (0)->value, "9");
    EXPECT_EQ (tree.getPreset (0, &manager), loaded);

    // Indices and files outside the list give no preset.
    EXPECT_EQ (tree.getPreset (-1, &manager), nullptr);
    EXPECT_EQ (tree.getPreset (1, &manager), nullptr);
    EXPECT_EQ (tree.getPresetForFile (folder.get().getChildFile ("Bass/Other.tqprs"), &manager), nullptr);
}

TEST_F (PresetFolderTreeTest, ARescanForgetsTheLoadedPresets)
{
    const auto file = preset ("Sub.tqprs", "9");
    PresetFolderTree tree (folder.get(), ".tqprs");
    tree.rescan();
    ASSERT_NE (tree.getPreset (0, &manager), nullptr);

    preset ("Sub.tqprs", "3");
    tree.rescan();

    EXPECT_EQ (tree.getPreset (0, &manager)->getValue (0)->value, "3");
}

TEST_F (PresetFolderTreeTest, ADamagedFileStillGivesAPresetNamedAfterIt)
{
    folder.write ("Broken.tqprs", "<Preset><param");
    PresetFolderTree tree (folder.get(), ".tqprs");
    tree.rescan();

    const auto* broken = tree.getPreset (0, &manager);

    ASSERT_NE (broken, nullptr);
    EXPECT_EQ (broken->getName(), "Broken");
    EXPECT_EQ (broken->getNumValues(), 0);
}

//==============================================================================
// Folders and display paths

TEST_F (PresetFolderTreeTest, FindsTheRootAndFoldersBelowItAndShowsPathsFromTheRootsName)
{
    preset ("Leads/Saw.tqprs");
    PresetFolderTree tree (folder.get(), ".tqprs");
    tree.rescan();

    EXPECT_EQ (tree.findFolder (folder.get()), &tree.getRoot());
    ASSERT_NE (tree.findFolder (folder.get().getChildFile ("Leads")), nullptr);
    EXPECT_EQ (tree.findFolder (folder.get().getChildFile ("Leads"))->getNumFiles(), 1);
    EXPECT_EQ (tree.findFolder (folder.get().getChildFile ("leads")), nullptr);
    EXPECT_EQ (tree.findFolder (folder.get().getChildFile ("Pads")), nullptr);
    EXPECT_EQ (tree.getDisplayPath (folder.get().getChildFile ("Leads/Saw.tqprs")), folder.get().getFileName() + "/Leads/Saw.tqprs");
}
