#include "skin/ModulationMatrixModel.h"

namespace
{
bool isSource (int source) noexcept
{
    return source >= 0 && source < ModulationMatrixModel::numSources;
}
} // namespace

ModulationMatrixModel::ModulationMatrixModel() = default;

juce::String ModulationMatrixModel::getSourceName (int source)
{
    static const char* const names[numSources] = { "Modulation", "Expression", "Pitch Bend", "Velocity", "Pitch",
                                                   "Channel Pressure", "Sustain", "Arpe Gate", "Arpe Tie" };
    return isSource (source) ? juce::String (names[source]) : juce::String();
}

ModulationMatrixModel::Group ModulationMatrixModel::getGroup (int source) noexcept
{
    return source == 3 || source == 4 ? Group::b : Group::a;
}

int ModulationMatrixModel::getNumRows() const
{
    const juce::ScopedLock sl (lock);
    return (int) rows.size();
}

ModulationMatrixModel::Row ModulationMatrixModel::getRow (int index) const
{
    const juce::ScopedLock sl (lock);
    return juce::isPositiveAndBelow (index, (int) rows.size()) ? rows[(size_t) index] : Row();
}

void ModulationMatrixModel::insertRow (const Row& row, int index, bool notify)
{
    const juce::ScopedLock sl (lock);
    const auto position = juce::isPositiveAndNotGreaterThan (index, (int) rows.size()) ? index : (int) rows.size();
    rows.insert (rows.begin() + position, row);
    rebuildIndexes();

    if (notify)
        callListeners ([this, row] (Listener& l) { l.rowAdded (this, row); });
}

void ModulationMatrixModel::removeRow (int index)
{
    const juce::ScopedLock sl (lock);

    if (! juce::isPositiveAndBelow (index, (int) rows.size()))
        return;

    const auto removed = rows[(size_t) index];
    rows.erase (rows.begin() + index);
    rebuildIndexes();
    callListeners ([this, removed] (Listener& l) { l.rowRemoved (this, removed); });
}

void ModulationMatrixModel::moveRow (int from, int to)
{
    const juce::ScopedLock sl (lock);
    const auto count = (int) rows.size();

    if (! juce::isPositiveAndBelow (from, count))
        return;

    to = juce::jlimit (0, count - 1, to);

    if (from == to)
        return;

    const auto moved = rows[(size_t) from];
    rows.erase (rows.begin() + from);
    rows.insert (rows.begin() + to, moved);

    // The indexes name rows by position.
    rebuildIndexes();
}

void ModulationMatrixModel::setRow (int index, const Row& row)
{
    const juce::ScopedLock sl (lock);

    if (! juce::isPositiveAndBelow (index, (int) rows.size()))
        return;

    const auto oldRow = rows[(size_t) index];

    if (oldRow == row)
        return;

    rows[(size_t) index] = row;

    if (oldRow.source != row.source || oldRow.destination != row.destination)
        rebuildIndexes();

    callListeners ([this, oldRow, row] (Listener& l) { l.rowChanged (this, oldRow, row); });
}

float ModulationMatrixModel::getSourceValue (int source) const
{
    const juce::ScopedLock sl (lock);
    return isSource (source) ? sourceValues[(size_t) source] : 0.0f;
}

juce::Array<int> ModulationMatrixModel::getRowsOfSource (int source) const
{
    const juce::ScopedLock sl (lock);
    return isSource (source) ? sourceRows[(size_t) source] : juce::Array<int>();
}

juce::Array<int> ModulationMatrixModel::getDestinationsOfSource (int source) const
{
    const juce::ScopedLock sl (lock);
    return isSource (source) ? sourceDestinations[(size_t) source] : juce::Array<int>();
}

juce::Array<int> ModulationMatrixModel::getDestinationsOfGroup (Group group) const
{
    const juce::ScopedLock sl (lock);
    return groups[(size_t) group].destinations;
}

juce::Array<int> ModulationMatrixModel::getRowsReaching (Group group, int destination) const
{
    const juce::ScopedLock sl (lock);
    const auto& map = groups[(size_t) group].rowsByDestination;
    const auto found = map.find (destination);
    return found != map.end() ? found->second : juce::Array<int>();
}

void ModulationMatrixModel::addListener (Listener* listener)
{
    const juce::ScopedLock sl (lock);

    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void ModulationMatrixModel::removeListener (Listener* listener)
{
    const juce::ScopedLock sl (lock);
    listeners.removeFirstMatchingValue (listener);
}

void ModulationMatrixModel::rebuildIndexes()
{
    for (auto& list : sourceRows)
        list.clearQuick();

    for (auto& list : sourceDestinations)
        list.clearQuick();

    for (auto& group : groups)
    {
        group.destinations.clearQuick();
        group.rowsByDestination.clear();
    }

    for (int index = 0; index < (int) rows.size(); ++index)
    {
        const auto& row = rows[(size_t) index];

        if (row.destination < 0 || ! isSource (row.source))
            continue;

        sourceRows[(size_t) row.source].add (index);
        sourceDestinations[(size_t) row.source].addIfNotAlreadyThere (row.destination);

        auto& group = groups[(size_t) getGroup (row.source)];
        group.destinations.addIfNotAlreadyThere (row.destination);
        group.rowsByDestination[row.destination].add (index);
    }
}

template <typename Callback>
void ModulationMatrixModel::callListeners (Callback&& callback)
{
    // A listener may remove itself or others while it is called.
    for (int i = listeners.size(); --i >= 0;)
    {
        i = juce::jmin (i, listeners.size() - 1);

        if (i < 0)
            break;

        callback (*listeners.getUnchecked (i));
    }
}
