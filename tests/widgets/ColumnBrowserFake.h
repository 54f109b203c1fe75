#pragma once

#include "widgets/ColumnBrowser.h"

#include <vector>

/*  A small concrete column browser over a three-level tree, for tests and the
    gallery: groups, their items, and the parts of some items. Folders show an
    arrow and take drops onto them; what the columns are asked to do is logged.
*/
namespace ColumnBrowserFake
{
struct Node
{
    Node (const char* nodeName, bool isFolder = false, std::vector<Node> nodeChildren = {})
        : name (nodeName), folder (isFolder), children (std::move (nodeChildren))
    {
    }

    juce::String name;
    bool folder = false;
    std::vector<Node> children;
};

inline Node makeTree()
{
    return { "root", true, {
        { "Bass", true, { { "Acid", true, { { "Intro" }, { "Drop" } } }, { "Sub" }, { "Pluck" } } },
        { "Lead", true, { { "Saw", true, { { "Main" } } }, { "Square" } } },
        { "Empty", true, {} },
        { "Loose" },
    } };
}

class Browser;

class Column : public ColumnBrowser::ListColumn
{
public:
    Column (Browser& owner, std::vector<int> pathToShow);

    const std::vector<int> path;

    const Node& node() const;
    juce::String getPathName() const;
    Browser& fake() const noexcept { return fakeBrowser; }

    bool canFollow (ColumnBrowser::Column* column) override
    {
        auto* other = dynamic_cast<Column*> (column);
        return other != nullptr && other->path.size() < path.size() && std::equal (other->path.begin(), other->path.end(), path.begin());
    }

    bool isChildOf (ColumnBrowser::Column* column) override
    {
        auto* other = dynamic_cast<Column*> (column);
        return other != nullptr && other->path.size() + 1 == path.size() && canFollow (column);
    }

    std::unique_ptr<ColumnBrowser::Column> createParentColumn() override
    {
        if (path.empty())
            return nullptr;

        return std::make_unique<Column> (fakeBrowser, std::vector<int> (path.begin(), path.end() - 1));
    }

    int getNumItems() override                  { return (int) node().children.size(); }
    juce::String getItemText (int row) override { return child (row).name; }
    bool itemHasChildren (int row) override     { return child (row).folder; }

    std::unique_ptr<ColumnBrowser::Column> createChildColumn (int row) override
    {
        if (! child (row).folder)
            return nullptr;

        auto childPath = path;
        childPath.push_back (row);
        return std::make_unique<Column> (fakeBrowser, childPath);
    }

    bool isResizable() override;
    bool canRenameItem (int row) override;
    bool canDropOnColumn (ListColumn* source) override;
    bool canDropOnItem (ListColumn*, int row) override  { return child (row).folder; }
    bool canInsertBefore (ListColumn* source, int row) override;
    bool canInsertAfter (ListColumn* source, int row) override;

    void itemOpened (int row) override;
    void renameItem (int row, const juce::String& newText) override;
    void listBackgroundClicked() override;
    void dropOnColumn (ListColumn* source) override;
    void dropOnItem (ListColumn* source, int row) override;
    void dropBefore (ListColumn* source, int row) override;
    void dropAfter (ListColumn* source, int row) override;

private:
    const Node& child (int row) const { return node().children[(size_t) row]; }
    static juce::String nameOf (ListColumn* column);

    Browser& fakeBrowser;
};

class Browser : public ColumnBrowser
{
public:
    std::unique_ptr<ColumnBrowser::Column> createFirstColumn() override
    {
        return std::make_unique<ColumnBrowserFake::Column> (*this, std::vector<int>());
    }

    ColumnBrowserFake::Column& column (int index) const { return dynamic_cast<ColumnBrowserFake::Column&> (*getColumn (index)); }

    /** The open columns by their path names. */
    juce::StringArray columnNames() const
    {
        juce::StringArray names;
        for (int i = 0; i < getNumColumns(); ++i)
            names.add (column (i).getPathName());
        return names;
    }

    Node tree = makeTree();
    juce::StringArray log;
    bool resizable = true, renamable = true, insertable = true, columnDrops = true;
};

inline Column::Column (Browser& owner, std::vector<int> pathToShow)
    : ListColumn (owner), path (std::move (pathToShow)), fakeBrowser (owner)
{
}

inline const Node& Column::node() const
{
    const Node* n = &fakeBrowser.tree;
    for (auto index : path)
        n = &n->children[(size_t) index];
    return *n;
}

inline juce::String Column::getPathName() const
{
    juce::StringArray names;
    const Node* n = &fakeBrowser.tree;
    for (auto index : path)
    {
        n = &n->children[(size_t) index];
        names.add (n->name);
    }
    return path.empty() ? juce::String ("root") : names.joinIntoString ("/");
}

inline juce::String Column::nameOf (ListColumn* column)
{
    auto* fakeColumn = dynamic_cast<Column*> (column);
    return fakeColumn != nullptr ? fakeColumn->getPathName() : juce::String ("?");
}

inline bool Column::isResizable()                               { return fakeBrowser.resizable; }
inline bool Column::canRenameItem (int)                         { return fakeBrowser.renamable; }
inline bool Column::canDropOnColumn (ListColumn*)               { return fakeBrowser.columnDrops; }
inline bool Column::canInsertBefore (ListColumn*, int)          { return fakeBrowser.insertable; }
inline bool Column::canInsertAfter (ListColumn*, int)           { return fakeBrowser.insertable; }
inline void Column::itemOpened (int row)                        { fakeBrowser.log.add ("opened " + child (row).name); }
inline void Column::renameItem (int row, const juce::String& t) { fakeBrowser.log.add ("renamed " + child (row).name + " to " + t); }
inline void Column::listBackgroundClicked()                     { fakeBrowser.log.add ("background " + getPathName()); }
inline void Column::dropOnColumn (ListColumn* source)           { fakeBrowser.log.add ("into " + getPathName() + " from " + nameOf (source)); }
inline void Column::dropOnItem (ListColumn* source, int row)    { fakeBrowser.log.add ("onto " + child (row).name + " from " + nameOf (source)); }
inline void Column::dropBefore (ListColumn* source, int row)    { fakeBrowser.log.add ("before " + child (row).name + " from " + nameOf (source)); }
inline void Column::dropAfter (ListColumn* source, int row)     { fakeBrowser.log.add ("after " + child (row).name + " from " + nameOf (source)); }
} // namespace ColumnBrowserFake
