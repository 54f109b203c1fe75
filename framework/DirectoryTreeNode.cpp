#include "framework/DirectoryTreeNode.h"

#include "framework/FilePreset.h"

#include <algorithm>

namespace
{
// Natural order of the names, then the full paths, so that names which compare
// equal ("Bass" and "bass" side by side) still sort the same way every time.
bool comesBefore (const juce::String& first, const juce::String& second)
{
    if (const auto result = FilePreset::compareFileNames (juce::File (first), juce::File (second)); result != 0)
        return result < 0;

    return first.compare (second) < 0;
}
} // namespace

DirectoryTreeNode::DirectoryTreeNode (const juce::String& folderPath) : name (folderPath)
{
}

juce::String DirectoryTreeNode::getFileName (int index) const
{
    return files[index];
}

DirectoryTreeNode* DirectoryTreeNode::findChild (const juce::String& folderPath) const
{
    const juce::File folder (folderPath);

    for (auto* child : children)
        if (child->getFolder() == folder)
            return child;

    return nullptr;
}

void DirectoryTreeNode::addFile (const juce::String& path, bool sortAfterwards)
{
    if (path.isEmpty() || files.contains (path))
        return;

    files.add (path);

    if (sortAfterwards)
        sort (false);
}

void DirectoryTreeNode::addChild (std::unique_ptr<DirectoryTreeNode> child, bool sortAfterwards)
{
    if (child == nullptr)
        return;

    children.add (child.release());

    if (sortAfterwards)
        sort (false);
}

void DirectoryTreeNode::sort (bool recursive)
{
    std::sort (files.begin(), files.end(), comesBefore);
    std::sort (children.begin(), children.end(), [] (const DirectoryTreeNode* a, const DirectoryTreeNode* b)
    {
        return comesBefore (a->name, b->name);
    });

    if (recursive)
        for (auto* child : children)
            child->sort (true);
}

void DirectoryTreeNode::clear()
{
    children.clear();
    files.clear();
}
