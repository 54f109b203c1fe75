#pragma once

#include <juce_events/juce_events.h>

#include <array>
#include <map>
#include <vector>

/**
    A table of modulation routings: each row sends one of nine sources to a
    destination (a parameter id) with an amount from -1 to +1.

    Indexes rebuilt after every structural change let a routing engine find,
    per source, its rows and destinations, and per group of sources the rows
    that reach each destination. Everything is guarded by one lock, so such an
    engine may read the table from another thread.
*/
class ModulationMatrixModel
{
public:
    static constexpr int numSources = 9;

    /** One routing; the empty row routes nothing. */
    struct Row
    {
        int source = -1;      // 0 to 8; -1 none
        int destination = -1; // a parameter id; -1 none
        float amount = 0.0f;  // -1 to +1

        bool operator== (const Row& other) const noexcept
        {
            return source == other.source && destination == other.destination && amount == other.amount;
        }

        bool operator!= (const Row& other) const noexcept { return ! operator== (other); }
    };

    /** Told of rows added, removed and changed, the last added listener first. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void rowAdded (ModulationMatrixModel*, const Row&) {}
        virtual void rowRemoved (ModulationMatrixModel*, const Row& removed) { juce::ignoreUnused (removed); }
        virtual void rowChanged (ModulationMatrixModel*, const Row& oldRow, const Row& newRow) { juce::ignoreUnused (oldRow, newRow); }
    };

    /** Group A gathers the controller-like sources, group B "Velocity" and "Pitch". */
    enum class Group
    {
        a,
        b
    };

    ModulationMatrixModel();

    /** The display name of a source 0 to 8; empty for any other index. */
    static juce::String getSourceName (int source);

    /** The group a source 0 to 8 belongs to. */
    static Group getGroup (int source) noexcept;

    int getNumRows() const;

    /** The row at the index, or the empty row when out of range. */
    Row getRow (int index) const;

    /** Inserts a copy at the index; -1 (or any index out of range) appends. */
    void insertRow (const Row& row, int index, bool notify);

    /** Removes the row when the index is in range. */
    void removeRow (int index);

    /** Moves a row; to is clamped into the table. No listener is told. */
    void moveRow (int from, int to);

    /** Replaces the row when the index is in range and anything differs. */
    void setRow (int index, const Row& row);

    /** The current value of a source 0 to 8; 0 for any other index. */
    float getSourceValue (int source) const;

    // The indexes, as row indices in table order and destinations in order of first use.
    juce::Array<int> getRowsOfSource (int source) const;
    juce::Array<int> getDestinationsOfSource (int source) const;
    juce::Array<int> getDestinationsOfGroup (Group group) const;
    juce::Array<int> getRowsReaching (Group group, int destination) const;

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    /** Fired when source values change, and when the rows change as a whole. */
    juce::ChangeBroadcaster& getSourceValuesBroadcaster() noexcept     { return sourceValuesBroadcaster; }
    juce::ChangeBroadcaster& getRowsBroadcaster() noexcept             { return rowsBroadcaster; }

private:
    struct GroupIndex
    {
        juce::Array<int> destinations;
        std::map<int, juce::Array<int>> rowsByDestination;
    };

    void rebuildIndexes();

    template <typename Callback>
    void callListeners (Callback&& callback);

    juce::CriticalSection lock;
    juce::Array<Listener*> listeners;
    std::vector<Row> rows;
    std::array<juce::Array<int>, numSources> sourceRows, sourceDestinations;
    std::array<GroupIndex, 2> groups;
    std::array<float, numSources> sourceValues {};
    juce::ChangeBroadcaster sourceValuesBroadcaster, rowsBroadcaster;

    JUCE_DECLARE_NON_COPYABLE (ModulationMatrixModel)
};
