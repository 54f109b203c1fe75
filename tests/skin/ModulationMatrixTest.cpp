#include "ControlTestSupport.h"

#include "skin/ModulationMatrixComponent.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

using namespace ControlTest;
using Routing = ModulationMatrixModel::Row;

namespace
{
struct ModelLog : public ModulationMatrixModel::Listener
{
    explicit ModelLog (juce::String nameToUse) : name (std::move (nameToUse)) {}

    void rowAdded (ModulationMatrixModel*, const Routing& row) override { log.add (name + " added " + juce::String (row.source)); }
    void rowRemoved (ModulationMatrixModel*, const Routing& row) override { log.add (name + " removed " + juce::String (row.source)); }
    void rowChanged (ModulationMatrixModel*, const Routing& before, const Routing& after) override
    {
        log.add (name + " changed " + juce::String (before.amount, 1) + " to " + juce::String (after.amount, 1));
    }

    juce::String name;
    inline static juce::StringArray log;
};

/** A matrix as wide as the test skins make it, in an editor with the framework's look. */
struct Matrix
{
    explicit Matrix (int numRows, int width = 1000)
    {
        desktop.setSize (width, 240);
        desktop.adopt (matrix);
        matrix.setBounds (0, 0, width, 200);

        for (int i = 0; i < numRows; ++i)
        {
            matrix.addRow();
            matrix.getRow (i)->showRouting ({ -1, -1, 0.1f * (float) (i + 1) });
        }
    }

    /** The rows in table order, named by their amounts: "123" for 0.1, 0.2, 0.3. */
    juce::String order() const
    {
        juce::String s;
        for (int i = 0; i < matrix.getNumRows(); ++i)
            s << juce::roundToInt (matrix.getRow (i)->getRouting().amount * 10.0f);
        return s;
    }

    TestDesktop desktop;
    ModulationMatrixComponent matrix { "Matrix" };
};
} // namespace

TEST (ModulationMatrixModel, IndexesGatherRowsBySourceAndGroupAndSkipIncompleteRows)
{
    ModulationMatrixModel model;

    for (const Routing& row : { Routing { 0, 10, 0.5f }, Routing { 3, 10, 0.2f }, Routing { 4, 20, -1.0f }, Routing { 0, 10, 1.0f },
                                Routing { 1, -1, 0.3f }, Routing { 12, 5, 0.3f } })
        model.insertRow (row, -1, false);

    using Ints = juce::Array<int>;
    EXPECT_EQ (model.getRowsOfSource (0), Ints ({ 0, 3 }));
    EXPECT_EQ (model.getDestinationsOfSource (0), Ints ({ 10 }));
    EXPECT_EQ (model.getRowsOfSource (1), Ints());
    EXPECT_EQ (model.getDestinationsOfGroup (ModulationMatrixModel::Group::a), Ints ({ 10 }));
    EXPECT_EQ (model.getDestinationsOfGroup (ModulationMatrixModel::Group::b), Ints ({ 10, 20 }));
    EXPECT_EQ (model.getRowsReaching (ModulationMatrixModel::Group::a, 10), Ints ({ 0, 3 }));
    EXPECT_EQ (model.getRowsReaching (ModulationMatrixModel::Group::b, 10), Ints ({ 1 }));
    EXPECT_EQ (model.getRowsReaching (ModulationMatrixModel::Group::a, 5), Ints()) << "a source outside 0 to 8 is in no index";

    model.moveRow (0, 99);
    EXPECT_EQ (model.getRow (5).amount, 0.5f) << "moved to the end";
    EXPECT_EQ (model.getRowsOfSource (0), Ints ({ 2, 5 }));

    model.setRow (2, { 5, 30, 1.0f });
    EXPECT_EQ (model.getRowsOfSource (0), Ints ({ 5 }));
    EXPECT_EQ (model.getRowsOfSource (5), Ints ({ 2 }));
    EXPECT_EQ (model.getRow (-1), Routing());
    EXPECT_EQ (model.getRow (6), Routing());
}

TEST (ModulationMatrixModel, ListenersHearRealChangesOnlyTheLastAddedFirst)
{
    ModulationMatrixModel model;
    ModelLog first ("first"), second ("second");
    model.addListener (&first);
    model.addListener (&second);
    model.addListener (&second);
    ModelLog::log.clear();

    model.insertRow ({ 2, 7, 0.5f }, -1, true);
    model.insertRow ({ 6, 7, 0.5f }, 0, false);
    model.setRow (1, { 2, 7, 0.5f });
    model.setRow (1, { 2, 7, -0.5f });
    model.setRow (9, { 2, 7, 0.1f });
    model.removeRow (2);
    model.removeRow (0);

    EXPECT_EQ (ModelLog::log, juce::StringArray ({ "second added 2", "first added 2", "second changed 0.5 to -0.5",
                                                   "first changed 0.5 to -0.5", "second removed 6", "first removed 6" }));
    EXPECT_EQ (model.getNumRows(), 1);

    EXPECT_EQ (ModulationMatrixModel::getSourceName (0), "Modulation");
    EXPECT_EQ (ModulationMatrixModel::getSourceName (8), "Arpe Tie");
    EXPECT_EQ (ModulationMatrixModel::getSourceName (-1), "");
    EXPECT_EQ (ModulationMatrixModel::getSourceName (9), "");
}

TEST (ModulationMatrixComponent, ButtonsWithoutAModelMoveTheSelectionOrTheSelectedRow)
{
    enum Action { addRow, deleteRow, up, down, commandUp, commandDown };

    struct Row
    {
        int numRows, selected;
        Action action;
        int expectedSelected;
        const char* expectedOrder;
    };

    const Row rows[] = {
        { 0, -1, deleteRow, -1, "" },      { 0, -1, down, -1, "" },      { 0, -1, addRow, -1, "0" },
        { 3, -1, deleteRow, -1, "123" },   { 3, -1, up, -1, "123" },     { 3, -1, down, 0, "123" },
        { 3, -1, commandUp, -1, "123" }, { 3, -1, commandDown, -1, "123" },
        { 3, 0, up, 0, "123" },         { 3, 0, commandUp, 0, "123" }, { 3, 2, down, 2, "123" }, { 3, 2, commandDown, 2, "123" },
        { 3, 1, up, 0, "123" },         { 3, 1, down, 2, "123" },      { 3, 1, commandUp, 0, "213" }, { 3, 1, commandDown, 2, "132" },
        { 3, 2, deleteRow, 1, "12" },      { 3, 0, deleteRow, 0, "23" },     { 1, 0, deleteRow, -1, "" },     { 2, 1, addRow, 1, "120" },
    };

    for (const auto& row : rows)
    {
        Matrix m (row.numRows);
        m.matrix.selectRow (row.selected);

        switch (row.action)
        {
            case addRow:      m.matrix.addRow(); break;
            case deleteRow:   m.matrix.deleteSelectedRow(); break;
            case up:          m.matrix.moveUp (false); break;
            case down:        m.matrix.moveDown (false); break;
            case commandUp:   m.matrix.moveUp (true); break;
            case commandDown: m.matrix.moveDown (true); break;
        }

        const auto description = juce::String (row.numRows) + " rows, " + juce::String (row.selected) + " selected, action " + juce::String ((int) row.action);
        EXPECT_EQ (m.matrix.getSelectedRow(), row.expectedSelected) << description;
        EXPECT_EQ (m.order(), row.expectedOrder) << description;

        for (int i = 0; i < m.matrix.getNumRows(); ++i)
        {
            EXPECT_EQ (m.matrix.getRow (i)->isSelected(), i == row.expectedSelected) << description;
            EXPECT_EQ (m.matrix.getRow (i)->getY(), ModulationMatrixComponent::rowHeight * i) << description;
        }
    }
}

TEST (ModulationMatrixComponent, TheButtonsAndPressesDriveTheTable)
{
    Matrix m (0);
    clickButton (m.matrix.getAddButton());
    clickButton (m.matrix.getAddButton());
    ASSERT_EQ (m.matrix.getNumRows(), 2);
    m.matrix.getRow (0)->showRouting ({ 1, -1, 0.5f });

    // A press on a row's box reaches the row as the box's mouse listener and selects
    // the row; one on the control's own background clears the selection.
    auto& row = *m.matrix.getRow (0);
    row.mouseDown (mouseEvent (row.getSourceBox(), { 5, 5 }));
    EXPECT_EQ (m.matrix.getSelectedRow(), 0);

    juce::ModifierKeys::currentModifiers = juce::ModifierKeys (juce::ModifierKeys::commandModifier);
    clickButton (m.matrix.getMoveDownButton());
    juce::ModifierKeys::currentModifiers = {};
    EXPECT_EQ (m.matrix.getSelectedRow(), 1);
    EXPECT_EQ (m.matrix.getRow (1)->getRouting().source, 1);

    clickButton (m.matrix.getDeleteButton());
    EXPECT_EQ (m.matrix.getNumRows(), 1);
    EXPECT_EQ (m.matrix.getSelectedRow(), 0);

    EXPECT_EQ (mouseDownAt (m.desktop, { 500, 196 }), &m.matrix);
    EXPECT_EQ (m.matrix.getSelectedRow(), -1);
}

TEST (ModulationMatrixComponent, RowsShowTheirRoutingAndASourceChoiceSwapsTheDestinationMenu)
{
    Matrix m (1);
    auto& row = *m.matrix.getRow (0);
    row.showRouting ({});
    EXPECT_EQ (row.getSourceBox().getShownText(), "---");
    EXPECT_EQ (row.getDestinationBox().getShownText(), "---");
    EXPECT_EQ (row.getAmountText().getText(), "0.0000");
    EXPECT_EQ (row.getSourceBox().getMenu().getName(), "controllerChoiceMenu");
    EXPECT_EQ (row.getDestinationBox().getMenu().getName(), "destinationChoiceMenu9");

    // As the source menu's choice arrives.
    row.getSourceBox().setSelectedId (5, true);
    EXPECT_EQ (row.getSourceBox().getShownText(), "Channel Pressure");
    EXPECT_EQ (row.getDestinationBox().getMenu().getName(), "destinationChoiceMenu5");

    row.getAmountSlider().setValue (0.5, juce::sendNotificationSync);
    EXPECT_EQ (row.getAmountText().getText(), "+0.5000");
    row.getAmountSlider().setValue (-0.25, juce::sendNotificationSync);
    EXPECT_EQ (row.getAmountText().getText(), "-0.2500");
}

TEST (ModulationMatrixComponent, AnAttachedModelFollowsTheTable)
{
    Matrix m (0);
    ModulationMatrixModel model;
    model.insertRow ({ 2, 4, 0.5f }, -1, false);
    m.matrix.setModel (&model);
    ASSERT_EQ (m.matrix.getNumRows(), 1);
    EXPECT_EQ (m.matrix.getRow (0)->getRouting(), (Routing { 2, 4, 0.5f }));

    m.matrix.addRow();
    m.matrix.getRow (1)->getSourceBox().setSelectedId (3, true);
    EXPECT_EQ (model.getNumRows(), 2);
    EXPECT_EQ (model.getRow (1).source, 3);

    m.matrix.selectRow (0);
    m.matrix.moveDown (true);
    EXPECT_EQ (model.getRow (1).source, 2);
    m.matrix.deleteSelectedRow();
    EXPECT_EQ (model.getNumRows(), 1);
    EXPECT_EQ (model.getRow (0).source, 3);
    m.matrix.setModel (nullptr);
}

TEST (ModulationMatrixComponent, RowColoursAndTheTableFrame)
{
    Matrix m (3);
    m.matrix.selectRow (2);
    const auto image = renderComponent (m.matrix);
    const auto at = [&m] (juce::Component& c, juce::Point<int> p) { return m.matrix.getLocalPoint (&c, p); };

    const juce::Colour expected[] = { juce::Colour (0xFFC5C5C5), juce::Colour (0xFFA3A3A3), juce::Colour (0xFFD09B59) };

    for (int i = 0; i < 3; ++i)
    {
        const auto p = at (*m.matrix.getRow (i), { 2, 18 });
        EXPECT_TRUE (pixelIs (image, p.x, p.y, expected[i])) << "row " << i;
        const auto line = at (*m.matrix.getRow (i), { 200, ModulationMatrixComponent::rowHeight - 1 });
        EXPECT_TRUE (pixelIs (image, line.x, line.y, juce::Colours::black)) << "row " << i;
    }

    const auto header = at (m.matrix.getTable(), { 157, 10 });
    EXPECT_TRUE (pixelIs (image, header.x, header.y, juce::Colour (0xFF5B5B5B)));
    EXPECT_TRUE (pixelIs (image, 5, 120, juce::Colour (0xFFC5C5C5)));
    EXPECT_TRUE (pixelIs (image, 1, 120, juce::Colours::black));

    EXPECT_GT (m.matrix.getRow (0)->getAmountSlider().getWidth(), 400);
    Matrix narrow (1, 400);
    EXPECT_EQ (narrow.matrix.getRow (0)->getAmountSlider().getWidth(), 0) << "the default width leaves the slider no room";
}
