#include "framework/PresetFolderTree.h"

#include <filesystem>

namespace
{
// The folder with every link resolved, so a folder reached twice is recognised.
juce::String resolvedPath (const juce::File& folder)
{
    std::error_code error;
    const auto path = std::filesystem::canonical (folder.getFullPathName().toStdString(), error);
    return error ? folder.getFullPathName() : juce::String (path.string());
}

template <typename Function>
void forEachChild (const juce::File& folder, int whatToFind, const juce::String& pattern, Function&& function)
{
    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, pattern, whatToFind))
        function (entry.getFile());
}
} // namespace

PresetFolderTree::PresetFolderTree (const juce::File& rootFolder, const juce::String& presetExtension)
    : extension (presetExtension), root (rootFolder.getFullPathName())
{
}

PresetFolderTree::~PresetFolderTree() = default;

void PresetFolderTree::rescan()
{
    root.clear();
    juce::StringArray foldersOnTheWay;
    scan (root, foldersOnTheWay);
    rebuildIndexes();
}

void PresetFolderTree::scan (DirectoryTreeNode& node, juce::StringArray& foldersOnTheWay)
{
    const auto folder = node.getFolder();

    if (! folder.isDirectory())
        return;

    const auto resolved = resolvedPath (folder);
    foldersOnTheWay.add (resolved);

    forEachChild (folder, juce::File::findFiles, "*" + extension, [&node] (const juce::File& file)
    {
        node.addFile (file.getFullPathName(), false);
    });

    forEachChild (folder, juce::File::findDirectories, "*", [&] (const juce::File& subFolder)
    {
        // A link back to a folder being scanned would otherwise recurse for ever.
        if (foldersOnTheWay.contains (resolvedPath (subFolder)))
            return;

        auto child = std::make_unique<DirectoryTreeNode> (subFolder.getFullPathName());
        scan (*child, foldersOnTheWay);
        node.addChild (std::move (child), false);
    });

    foldersOnTheWay.removeString (resolved);
    node.sort (false);
}

void PresetFolderTree::addFile (const juce::File& file)
{
    const auto rootFolder = root.getFolder();

    if (! file.existsAsFile() || ! file.isAChildOf (rootFolder))
        return;

    juce::Array<juce::File> foldersOnTheWay;

    for (auto folder = file.getParentDirectory(); folder != rootFolder; folder = folder.getParentDirectory())
        foldersOnTheWay.insert (0, folder);

    auto* node = &root;

    for (const auto& folder : foldersOnTheWay)
    {
        auto* child = node->findChild (folder.getFullPathName());

        if (child == nullptr)
        {
            auto created = std::make_unique<DirectoryTreeNode> (folder.getFullPathName());
            child = created.get();
            node->addChild (std::move (created), true);
        }

        node = child;
    }

    node->addFile (file.getFullPathName(), true);
    rebuildIndexes();
}

void PresetFolderTree::rebuildIndexes()
{
    presetsByPath.clear();
    presets.clear();
    filePaths.clear();
    folders.clear();
    indexNode (root);
    sendChangeMessage();
}

void PresetFolderTree::indexNode (DirectoryTreeNode& node)
{
    for (int i = 0; i < node.getNumFiles(); ++i)
        filePaths.add (node.getFileName (i));

    for (int i = 0; i < node.getNumChildren(); ++i)
        folders.add (node.getChild (i));

    for (int i = 0; i < node.getNumChildren(); ++i)
        indexNode (*node.getChild (i));
}

int PresetFolderTree::getIndexOf (const juce::File& file) const
{
    return filePaths.indexOf (file.getFullPathName());
}

FilePreset* PresetFolderTree::getPreset (int index, const ParameterManager* manager)
{
    const auto path = filePaths[index];

    if (path.isEmpty())
        return nullptr;

    if (! presetsByPath.contains (path))
    {
        auto preset = std::make_unique<FilePreset> (juce::File (path));

        // A damaged file still has its place in the tree: its preset keeps the
        // file's name and simply has no values.
        preset->reload (manager);

        presetsByPath.set (path, preset.get());
        presets.add (preset.release());
    }

    return presetsByPath[path];
}

FilePreset* PresetFolderTree::getPresetForFile (const juce::File& file, const ParameterManager* manager)
{
    return getPreset (getIndexOf (file), manager);
}

const DirectoryTreeNode* PresetFolderTree::findFolder (const juce::File& folder) const
{
    if (root.getFolder() == folder)
        return &root;

    for (auto* node : folders)
        if (node->getFolder() == folder)
            return node;

    return nullptr;
}

juce::String PresetFolderTree::getDisplayPath (const juce::File& file) const
{
    const auto rootFolder = root.getFolder();
    return rootFolder.getFileName() + "/" + file.getRelativePathFrom (rootFolder);
}
