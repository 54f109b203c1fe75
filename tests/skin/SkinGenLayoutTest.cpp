#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

/*  skingen's layout check, which stops the build before a panel is printed
    with lettering that reads wrongly: two legends so close they read as one
    phrase, or a legend against its section's frame.
*/
namespace
{
struct Drawing
{
    int exitCode = -1;
    juce::String messages;
};

/** Two buttons under their legends, inside a section, drawn by skingen. */
Drawing drawTwoButtons (int firstLeft, int secondLeft)
{
    TemporaryFolder folder;
    const auto button = [] (const char* name, int left)
    {
        return juce::String ("<Button name=\"") + name + "\"><gfx resource=\"Button.png\" framesNum=\"2\" look=\"button\"/>"
               "<size width=\"36\" height=\"22\"/><pos left=\"" + juce::String (left) + "\" top=\"60\"/></Button>";
    };

    const auto skin = folder.write ("skin.xml", "<PluginEditor application=\"Tarvelin\"><Panel name=\"MainPanel\">"
                                                "<gfx resource=\"Panel.png\" look=\"panel\"/><size width=\"300\" height=\"120\"/><controls>"
                                                + button ("Browse", firstLeft) + button ("Copy", secondLeft) + "</controls></Panel>"
                                                "<Artwork><Section title=\"PRESET\" left=\"20\" top=\"10\" width=\"200\" height=\"100\"/>"
                                                "<Label text=\"BROWSE\" for=\"Browse\" side=\"above\"/>"
                                                "<Label text=\"COPY\" for=\"Copy\" side=\"above\"/></Artwork></PluginEditor>");

    juce::ChildProcess skingen;
    Drawing drawing;

    if (! skingen.start (juce::StringArray { TARVELIN_SKINGEN, skin.getFullPathName(), folder.get().getChildFile ("out").getFullPathName(),
                                             TARVELIN_DEJAVU_FOLDER },
                         juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return drawing;

    drawing.messages = skingen.readAllProcessOutput();
    drawing.exitCode = skingen.waitForProcessToFinish (60000) ? (int) skingen.getExitCode() : -1;
    return drawing;
}
} // namespace

TEST (SkinGenLayout, LegendsThatReadAsOnePhraseOrTouchAFrameStopTheDrawing)
{
    struct Row
    {
        const char* layout;
        int firstLeft, secondLeft;
        const char* problem;   // empty: drawn
    };

    const Row rows[] = {
        { "a clear space apart", 40, 100, "" },
        { "a word space apart", 40, 84, "the label \"COPY\" stands so close to the label \"BROWSE\" that both read as one" },
        { "against the frame", 22, 100, "the label \"BROWSE\" touches the frame of \"PRESET\"" },
        { "into each other", 40, 76, "the label \"COPY\" runs into the label \"BROWSE\"" },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.layout);
        const auto drawing = drawTwoButtons (row.firstLeft, row.secondLeft);
        EXPECT_EQ (drawing.exitCode, juce::String (row.problem).isEmpty() ? 0 : 1) << drawing.messages;
        EXPECT_TRUE (drawing.messages.contains (row.problem)) << drawing.messages;
    }
}
