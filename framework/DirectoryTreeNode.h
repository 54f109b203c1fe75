#pragma once

#include <juce_core/juce_core.h>

/**
    One folder of a preset folder tree: its full path, the preset files listed
    in it and its sub-folders. Files and folders are kept in the natural order
    of their names once sorted.
*/
class DirectoryTreeNode
{
public:
    explicit DirectoryTreeNode (const juce::String& folderPath);

    /** The folder's full path. */
    const juce::String& getName() const noexcept { return name; }
    juce::File getFolder() const { return juce::File (name); }

    int getNumFiles() const noexcept { return files.size(); }
    int getNumChildren() const noexcept { return children.size(); }

    /** Empty when the index is out of range. */
    juce::String getFileName (int index) const;

    /** Null when the index is out of range. */
    DirectoryTreeNode* getChild (int index) const noexcept { return children[index]; }

    /** The child for a folder path (compared as paths are on this platform), or null. */
    DirectoryTreeNode* findChild (const juce::String& folderPath) const;

    /** Lists a file path; an empty path or one already listed is ignored. */
    void addFile (const juce::String& path, bool sortAfterwards);

    /** Takes ownership; null is ignored. */
    void addChild (std::unique_ptr<DirectoryTreeNode> child, bool sortAfterwards);

    void sort (bool recursive);
    void clear();

private:
    juce::String name;
    juce::OwnedArray<DirectoryTreeNode> children;
    juce::StringArray files;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DirectoryTreeNode)
};
