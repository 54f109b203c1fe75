#pragma once

#include "framework/DirectoryTreeNode.h"
#include "framework/FilePreset.h"

#include <juce_events/juce_events.h>

class ParameterManager;

/**
    Mirrors a folder of single-preset files and its sub-folders: a tree of
    folder nodes, a flat list of every preset file in walk order (each folder's
    own files, then its sub-folders in turn) and a cache of the presets loaded
    from them.

    It tells its change listeners whenever the lists were rebuilt. Presets
    handed out by getPreset live only until the next rescan or addFile.
*/
class PresetFolderTree : public juce::ChangeBroadcaster
{
public:
    /** A tree of the files ending in the extension (".tqprs", say) below the root folder;
        empty until rescan. */
    PresetFolderTree (const juce::File& rootFolder, const juce::String& presetExtension);
    ~PresetFolderTree() override;

    const juce::String& getExtension() const noexcept { return extension; }
    juce::File getRootFolder() const { return root.getFolder(); }
    const DirectoryTreeNode& getRoot() const noexcept { return root; }

    /** Reads the folder again from the disk. */
    void rescan();

    /** Adds one existing file inside the root folder, with any folders on the
        way to it; anything else is ignored. */
    void addFile (const juce::File& file);

    int getNumFiles() const noexcept { return filePaths.size(); }
    const juce::StringArray& getFilePaths() const noexcept { return filePaths; }
    int getIndexOf (const juce::File& file) const;

    /** The preset of the file at an index, loaded with its values on first
        use; null when the index is out of range. */
    FilePreset* getPreset (int index, const ParameterManager* manager);
    FilePreset* getPresetForFile (const juce::File& file, const ParameterManager* manager);

    /** Every folder below the root, in walk order. */
    int getNumFolders() const noexcept { return folders.size(); }
    const DirectoryTreeNode* getFolder (int index) const noexcept { return folders[index]; }

    /** The node of a folder: the root itself or one below it; null when none. */
    const DirectoryTreeNode* findFolder (const juce::File& folder) const;

    /** The root folder's own name, "/", and the file's path inside the root. */
    juce::String getDisplayPath (const juce::File& file) const;

private:
    void scan (DirectoryTreeNode& node, juce::StringArray& foldersOnTheWay);
    void rebuildIndexes();
    void indexNode (DirectoryTreeNode& node);

    juce::String extension;
    juce::StringArray filePaths;
    juce::OwnedArray<FilePreset> presets;
    juce::HashMap<juce::String, FilePreset*> presetsByPath;
    juce::Array<DirectoryTreeNode*> folders;
    DirectoryTreeNode root;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetFolderTree)
};
