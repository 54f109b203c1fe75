#include "framework/Preset.h"
#include "framework/XmlFiles.h"
#include "support/InstrumentTestSupport.h"
#include "support/TemporaryFolder.h"

/*  Every file the instrument writes escapes "&", quotes, "<", ">", line ends and
    non-ASCII characters as entities and character references. The readers
    refuse any other "&", so each of these forms must still read back, in every
    kind of file.
*/
namespace
{
using namespace InstrumentTest;

// "&amp;", "&quot;", "&lt;", "&gt;", "&#10;" (attributes), "&#233;", "&#8364;" and a
// reference beyond the basic plane, which the toolkit writes in decimal.
const juce::String awkward = juce::CharPointer_UTF8 ("Bass & \"Lead\" <1> 'x'\nR\xc3\xa9 \xe2\x82\xac \xf0\x9d\x84\x9e");

// The same without the line end, for names that become file paths.
const juce::String awkwardPath = awkward.replace ("\n", " ");

TEST (MarkupInNames, NamesAndPathsRoundTripThroughEveryKindOfFile)
{
    TemporaryFolder folder;
    const auto file = [&folder] (const juce::String& name) { return folder.get().getChildFile (awkwardPath + name); };

    auto instrument = createInstrument();
    const auto current = instrument->getCurrentPresetIndex();

    // A single preset and a bank.
    instrument->setPresetName (current, awkward);
    instrument->setGroupName (0, awkward + " group");
    ASSERT_TRUE (instrument->saveCurrentPresetToFile (file (".tqprs")));
    ASSERT_TRUE (instrument->saveBankToFile (file (".tqprsb")));
    instrument->setPresetName (current, "Other");
    instrument->setGroupName (0, "Other");
    ASSERT_TRUE (instrument->loadBankFromFile (file (".tqprsb")));
    EXPECT_EQ (instrument->getPresetName (current), awkward);
    EXPECT_EQ (instrument->getGroupName (0), awkward + " group");
    instrument->setPresetName (current, "Other");
    ASSERT_TRUE (instrument->loadPresetFileIntoCurrentSlot (file (".tqprs")));
    EXPECT_EQ (instrument->getPresetName (current), awkward);

    // A pattern and a pattern bank.
    instrument->setPatternName (5, awkward);
    ASSERT_TRUE (instrument->savePatternFile (file (".tqptr"), 5));
    ASSERT_TRUE (instrument->savePatternBankFile (file (".tqptrb")));
    instrument->setPatternName (5, "Other");
    ASSERT_TRUE (instrument->loadPatternFile (file (".tqptr"), 7));
    EXPECT_EQ (instrument->getPatternName (7), awkward);
    instrument->setPatternName (7, "Other");
    ASSERT_TRUE (instrument->loadPatternBankFile (file (".tqptrb")));
    EXPECT_EQ (instrument->getPatternName (5), awkward);

    // The state block.
    juce::MemoryBlock state;
    instrument->getStateInformation (state);
    auto restored = reopenInstrument();
    restored->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    EXPECT_EQ (restored->getPresetName (current), awkward);
    EXPECT_EQ (restored->getPatternName (5), awkward);
    restored.reset();

    // Maps, and the settings that name their files.
    auto& map = instrument->getMidiControl();
    map.assign (74, instrument->getParameterManager().getParameter (0), false);
    ASSERT_TRUE (map.saveToFile (file (".tqccmap")));
    ASSERT_TRUE (instrument->saveHostParametersMap (file (".tqhpmap")));
    map.clearAll (false);
    ASSERT_TRUE (map.loadFromFile (file (".tqccmap")));
    EXPECT_EQ (map.getParameter (74), instrument->getParameterManager().getParameter (0));
    EXPECT_TRUE (instrument->loadHostParametersMap (file (".tqhpmap")));

    map.setUserDefinedMapFile (file (".tqccmap"));
    instrument->setHostParametersMapFile (file (".tqhpmap"), false);
    instrument->setUserPatternsFile (file (".tqptrb"));
    ASSERT_TRUE (instrument->saveUserSettings());
    instrument.reset();

    const auto reopened = reopenInstrument();
    EXPECT_EQ (reopened->getMidiControl().getUserDefinedMapFile(), file (".tqccmap"));
    EXPECT_EQ (reopened->getHostParametersMapFile(), file (".tqhpmap"));
    EXPECT_EQ (reopened->getUserPatternsFile(), file (".tqptrb"));
}

TEST (MarkupInNames, APresetRecordKeepsItsHeaderTexts)
{
    TemporaryFolder folder;
    auto instrument = createInstrument();
    const auto* manager = &instrument->getParameterManager();

    Preset preset (awkward, "id & <1>");
    preset.setAuthor (awkward);
    preset.setCategory (awkward);
    preset.addParameter (manager->getParameter (0));
    const auto file = folder.get().getChildFile ("record.xml");
    ASSERT_TRUE (preset.save (file, manager));

    Preset back;
    ASSERT_TRUE (back.load (file, manager, false));
    EXPECT_EQ (back.getName(), awkward);
    EXPECT_EQ (back.getAuthor(), awkward);
    EXPECT_EQ (back.getCategory(), awkward);
    EXPECT_EQ (back.getId(), "id & <1>");
    EXPECT_EQ (back.getNumValues(), 1);
}
} // namespace
