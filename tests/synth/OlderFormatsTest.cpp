#include "support/InstrumentTestSupport.h"
#include "support/NotRegularFiles.h"
#include "support/TemporaryFolder.h"

#include <cstring>
#include <functional>

using namespace InstrumentTest;

namespace
{
//==============================================================================
// Fixtures of the older formats, built from their layout.

/** One step line of the older text bank: note, octaveDown, octaveUp, gate, accent, slide and three levels 0..127. */
struct TextStep { int values[9]; };

using TextStepMaker = std::function<TextStep (int pattern, int step)>;

TextStep plainTextStep (int pattern, int step)
{
    return { { (pattern + step) % 13, step % 3 == 0, step % 4 == 1, step % 2, step % 5 == 0, step == 7,
               (step * 8) % 128, 127 - step, step * 2 } };
}

/** The 96 blocks of the older text bank: a header line, 16 step lines, an empty line. */
juce::String makeTextBank (const TextStepMaker& makeStep = plainTextStep,
                           const std::function<int (int)>& lengthOf = [] (int i) { return i % 16 + 1; })
{
    juce::String text;

    for (int i = 0; i < Tarvelin::numPatterns; ++i)
    {
        text << lengthOf (i) << " " << (i * 7) << " 3\n";

        for (int s = 0; s < 16; ++s)
            for (int v = 0; v < 9; ++v)
                text << makeStep (i, s).values[v] << (v < 8 ? " " : "\n");

        text << "\n";
    }

    return text;
}

/** What a step of the fixtures becomes in a pattern, from its fields as the file holds them. */
PatternStep expectedStep (int note, bool octaveDown, bool octaveUp, bool gate, bool accent, bool slide,
                          int gateLevel, int accentLevel, int slideLevel)
{
    PatternStep step (gate);
    step.setNote (note);
    step.setOctaveDown (octaveDown);
    step.setOctaveUp (octaveUp);
    step.setAccent (accent);
    step.setSlide (slide);
    step.setGateLevel (gateLevel / 127.0);
    step.setAccentLevel (accentLevel / 127.0);
    step.setSlideLevel (slideLevel / 127.0);
    return step;
}

/** A block of little-endian 32-bit words, written as floats or integers. */
struct WordBlock
{
    explicit WordBlock (int numWords) : bytes (static_cast<size_t> (numWords) * 4, 0) {}

    void setInt (int word, int value)
    {
        const auto bits = juce::ByteOrder::swapIfBigEndian (static_cast<juce::uint32> (value));
        std::memcpy (&bytes[static_cast<size_t> (word) * 4], &bits, 4);
    }

    void setFloat (int word, float value)
    {
        juce::uint32 bits = 0;
        std::memcpy (&bits, &value, 4);
        setInt (word, static_cast<int> (bits));
    }

    const void* data() const    { return bytes.data(); }
    int size() const            { return static_cast<int> (bytes.size()); }

    std::vector<juce::uint8> bytes;
};

constexpr int olderStateWords = 25242;
constexpr int programWords = 34;
constexpr int firstPatternWord = 4352;
constexpr int patternWords = 163;

/** Word w of a program and the voice parameter it sets. */
constexpr int parameterOfWord[24] = { 0, 2, 3, 5, 7, 9, 1, 10, 6, 23, 8, 11, 4, 12, 15, 13, 16, 17, 14, 18, 21, 22, 19, 20 };

/** The value a program word holds in the fixtures: distinct for every program and word. */
float programWordValue (int program, int word)
{
    return static_cast<float> ((program * 7 + word * 3) % 100) / 100.0f;
}

/** The normalised parameter value an older word gives: the tune spanned one semitone, two switches ran the other way. */
float convertedWord (int word, float value)
{
    if (word == 0)
        return (value - 0.5f) / 24.0f + 0.5f;

    return word == 19 || word == 21 ? 1.0f - value : value;
}

void writeProgram (WordBlock& block, int firstWord, int program, const char* name)
{
    for (int w = 0; w < 24; ++w)
        block.setFloat (firstWord + w, programWordValue (program, w));

    std::memcpy (&block.bytes[static_cast<size_t> (firstWord + 24) * 4], name, std::strlen (name));
}

/** Step j of pattern i in the fixture block, as its ten words. */
std::array<int, 10> olderStepWords (int pattern, int step)
{
    return { 0, (step * 9) % 128, step % 2 == 0 ? 1 : 0, 127 - step, step % 3 == 0 ? 1 : 0,
             step * 4, step == 5 ? 1 : 0, (pattern + step) % 13, step % 4 == 1 ? 1 : 0, step % 5 == 2 ? 1 : 0 };
}

/** A whole older instrument block: 128 programs, 96 patterns and the settings words. */
WordBlock makeOlderState()
{
    WordBlock block (olderStateWords);

    for (int p = 0; p < 128; ++p)
        writeProgram (block, p * programWords, p, ("Old " + std::to_string (p)).c_str());

    for (int i = 0; i < 96; ++i)
    {
        const int base = firstPatternWord + patternWords * i;

        for (int j = 0; j < 16; ++j)
        {
            const auto words = olderStepWords (i, j);

            for (int w = 0; w < 10; ++w)
                block.setInt (base + 10 * j + w, words[static_cast<size_t> (w)]);
        }

        block.setInt (base + 160, i % 16 + 1);
        block.setInt (base + 161, 999);     // words the import ignores
        block.setInt (base + 162, -999);
    }

    // Thresholds, internal sync and sequencer on, chord Minor, mode Up, multiplier 3, repeater 2, octave switches.
    const std::pair<int, float> settings[] = { { 25220, 0.25f }, { 25221, 0.5f }, { 25222, 0.75f }, { 25223, 1.0f },
                                               { 25224, 1.0f }, { 25227, 2.0f / 7.0f }, { 25228, 0.5f }, { 25229, 0.6f },
                                               { 25230, 0.25f }, { 25231, 1.0f }, { 25232, 0.0f }, { 25233, 1.0f } };

    for (const auto& [word, value] : settings)
        block.setFloat (word, value);

    block.setInt (25237, 0);                // auto follow off
    block.setInt (25238, 7);                // current pattern
    block.setInt (25239, 5);                // edited step
    return block;
}

struct OlderFormats : public InstrumentFixture
{
    void SetUp() override
    {
        InstrumentFixture::SetUp();

        for (int i = 0; i < Tarvelin::numPatterns; ++i)
            plugin.getPattern (i) = makeMarkedPattern (i);
    }

    /** What every pattern holds before an import, so that a change shows. */
    static Pattern makeMarkedPattern (int i)
    {
        Pattern pattern;
        pattern.setName ("Before " + juce::String (i));
        pattern.setLength (11);
        pattern.setTempo (90.0 + i);
        pattern.setShuffle (i % 100);
        pattern.clearSteps (false);

        // Only the played steps: the files keep no more.
        for (int s = 0; s < pattern.getLength(); ++s)
            pattern.setStep (s, makeStep ((i + s) % 13, true, s % 3 == 0));

        return pattern;
    }

    bool everyPatternIsAsBefore()
    {
        for (int i = 0; i < Tarvelin::numPatterns; ++i)
            if (plugin.getPattern (i) != makeMarkedPattern (i))
                return false;

        return true;
    }

    /** Every step of every pattern holds a note and levels inside their ranges. */
    bool everyStepIsInRange()
    {
        for (int i = 0; i < Tarvelin::numPatterns * Pattern::numSteps; ++i)
        {
            const auto& step = plugin.getPattern (i / Pattern::numSteps).getStep (i % Pattern::numSteps);

            for (double value : { step.getNote() / 12.0, step.getGateLevel(), step.getAccentLevel(), step.getSlideLevel() })
                if (! (value >= 0.0 && value <= 1.0))
                    return false;
        }

        return true;
    }

    juce::String stateText()    { return plugin.createStateXml()->toString(); }

    TemporaryFolder folder;
};
} // namespace

//==============================================================================
// Pattern files

TEST_F (OlderFormats, PatternAndBankFilesRoundTrip)
{
    const auto one = folder.get().getChildFile ("one.tqptr"), all = folder.get().getChildFile ("all.tqptrb");
    plugin.getPattern (5).getStep (1) = makeStep (7, true, true, true);

    ASSERT_TRUE (plugin.savePatternFile (one, 5));
    ASSERT_TRUE (plugin.loadPatternFile (one, 9));
    EXPECT_EQ (plugin.getPattern (9), plugin.getPattern (5));
    const auto pattern = juce::parseXML (one);
    EXPECT_EQ (pattern->getTagName(), "Pattern");
    EXPECT_EQ (pattern->getAttributeName (0), "application");
    EXPECT_EQ (pattern->getStringAttribute ("application"), "Tarvelin");

    ASSERT_TRUE (plugin.savePatternBankFile (all));
    const auto other = InstrumentTest::createInstrument();
    ASSERT_TRUE (other->loadPatternBankFile (all));

    for (int i = 0; i < Tarvelin::numPatterns; ++i)
        EXPECT_EQ (other->getPattern (i), plugin.getPattern (i)) << i;

    const auto bank = juce::parseXML (all);
    EXPECT_EQ (bank->getTagName(), "PatternBank");
    EXPECT_FALSE (bank->hasAttribute ("application"));
    EXPECT_EQ (bank->getNumChildElements(), 96);
}

TEST_F (OlderFormats, FilesThatAreMissingCutShortOrNoXmlChangeNoPattern)
{
    const auto broken = folder.write ("broken.tqptrb", "<PatternBank><Pattern application=\"Tarvelin\" name=\"x\"");
    const auto foreign = folder.write ("foreign.tqptr", "<Pattern application=\"Other\" name=\"x\"/>");

    EXPECT_FALSE (plugin.loadPatternBankFile (broken));
    EXPECT_FALSE (plugin.loadPatternBankFile (folder.get().getChildFile ("missing.tqptrb")));
    EXPECT_FALSE (plugin.loadPatternFile (foreign, 3));
    EXPECT_FALSE (plugin.loadPatternFile (broken, 3));
    EXPECT_FALSE (plugin.loadPatternFile (folder.write ("cut.tqptr", "<Pattern application=\"Tarvelin\" name=\"x\""), 3));
    const auto whole = plugin.createPatternXml (1)->toString();
    EXPECT_FALSE (plugin.loadPatternFile (folder.write ("half.tqptr", whole.substring (0, whole.length() / 2)), 3));
    EXPECT_FALSE (plugin.loadPatternFile (folder.write ("good.tqptr", plugin.createPatternXml (1)->toString()), 400));
    EXPECT_TRUE (everyPatternIsAsBefore());
}

TEST_F (OlderFormats, TheBankWildcardsOfferTheOlderTextFormatForLoadingOnly)
{
    EXPECT_EQ (plugin.getPatternFileExtension() + " " + plugin.getPatternBankFileExtension(), ".tqptr .tqptrb");
    EXPECT_EQ (plugin.getPatternLoadWildcard() + " " + plugin.getPatternSaveWildcard(), "*.tqptr *.tqptr");
    EXPECT_EQ (plugin.getPatternBankLoadWildcard(), "*.tqptrb; *.tq");
    EXPECT_EQ (plugin.getPatternBankSaveWildcard(), "*.tqptrb");
}

//==============================================================================
// The older text bank

TEST_F (OlderFormats, ATextBankSetsEveryPatternWithItsNameTempoAndShuffleWhateverTheCaseOfItsExtension)
{
    ASSERT_TRUE (plugin.loadPatternBankFile (folder.write ("OLD.TQ", makeTextBank())));
    EXPECT_EQ (plugin.getPattern (95).getName(), "Pattern 95");

    ASSERT_TRUE (plugin.loadPatternBankFile (folder.write ("old.tq", makeTextBank())));

    for (int i = 0; i < Tarvelin::numPatterns; ++i)
    {
        const auto& pattern = plugin.getPattern (i);
        EXPECT_EQ (pattern.getName(), "Pattern " + juce::String (i));
        EXPECT_EQ (pattern.getLength(), i % 16 + 1);
        EXPECT_DOUBLE_EQ (pattern.getTempo(), 120.0);
        EXPECT_EQ (pattern.getShuffle(), 0);

        for (int s = 0; s < 16; ++s)
        {
            const auto text = plainTextStep (i, s);
            const auto* v = text.values;
            EXPECT_EQ (pattern.getStep (s), expectedStep (v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8])) << i << "/" << s;
        }
    }
}

TEST_F (OlderFormats, TextValuesOutOfRangeAreBroughtIntoRange)
{
    const auto wild = [] (int, int step) -> TextStep
    {
        return { { step % 2 == 0 ? 40 : -5, 7, -1, 0, 2, 0, 500, -30, 127 } };
    };
    const auto file = folder.write ("wild.tq", makeTextBank (wild, [] (int i) { return i % 2 == 0 ? 0 : 99; }));

    ASSERT_TRUE (plugin.loadPatternBankFile (file));

    EXPECT_TRUE (everyStepIsInRange());
    EXPECT_EQ (plugin.getPattern (0).getLength(), 1);
    EXPECT_EQ (plugin.getPattern (1).getLength(), 16);
    EXPECT_EQ (plugin.getPattern (0).getStep (0), expectedStep (12, true, true, false, true, false, 127, 0, 127));
    EXPECT_EQ (plugin.getPattern (0).getStep (1).getNote(), 0);
}

TEST_F (OlderFormats, ADamagedTextBankOrBinaryGarbageChangesNoPattern)
{
    const auto complete = makeTextBank();
    const auto noise = folder.get().getChildFile ("noise.tq");
    juce::MemoryBlock bytes (4000);
    juce::Random random (77);

    for (size_t i = 0; i < bytes.getSize(); ++i)
        bytes[i] = static_cast<char> (random.nextInt (256));

    ASSERT_TRUE (noise.replaceWithData (bytes.getData(), bytes.getSize()));

    const juce::File files[] = {
        folder.write ("short.tq", complete.substring (0, complete.length() - 40)),   // the last step cut short
        folder.write ("text.tq", complete.replaceFirstOccurrenceOf ("\n", " banana\n")),
        folder.write ("empty.tq", {}),
        noise,
        folder.get().getChildFile ("missing.tq")
    };

    for (const auto& file : files)
    {
        EXPECT_FALSE (plugin.loadPatternBankFile (file)) << file.getFileName();
        EXPECT_TRUE (everyPatternIsAsBefore()) << file.getFileName();
    }
}

TEST_F (OlderFormats, ATextBankPathThatIsNoRegularFileOrLargerThanAnyRealBankIsRefusedUnread)
{
    // A real text bank is under 60 KB; padded with blanks it still reads up to 1 MiB.
    constexpr int limit = 1024 * 1024;
    const auto bank = makeTextBank();
    const auto padded = folder.write ("padded.tq", bank + juce::String::repeatedString (" ", limit - bank.length()));
    const auto tooLong = folder.write ("long.tq", bank + juce::String::repeatedString (" ", limit + 1 - bank.length()));
    ASSERT_EQ (padded.getSize(), limit);

    auto refused = NotRegularFiles::make (folder, ".tq");
    refused.add (tooLong);

    for (const auto& path : refused)
    {
        EXPECT_FALSE (plugin.importPatternText (path)) << path.getFullPathName();
        EXPECT_FALSE (plugin.loadPatternBankFile (path)) << path.getFullPathName();
        EXPECT_TRUE (everyPatternIsAsBefore()) << path.getFullPathName();
    }

    EXPECT_TRUE (plugin.loadPatternBankFile (padded));
    EXPECT_EQ (plugin.getPattern (95).getName(), "Pattern 95");
}

//==============================================================================
// The older whole-instrument block (100968 bytes)

TEST_F (OlderFormats, AnOlderStateBlockSetsPresetSlotsAndPatternsKeepingTheirTempoAndShuffleAndTheSequencerAndArpeggiatorSettings)
{
    plugin.performEvent (IntSeqPlugin::toggleInternalSequencerEvent);
    const auto block = makeOlderState();

    plugin.setStateInformation (block.data(), block.size());

    for (int p : { 0, 1, 64, 127 })
    {
        const auto* slot = plugin.getPresetSlot (p);
        EXPECT_EQ (slot->getName(), "Old " + juce::String (p));

        for (int w = 0; w < 24; ++w)
            EXPECT_NEAR (slot->getValue (parameterOfWord[w]), convertedWord (w, programWordValue (p, w)), 1.0e-6)
                << "program " << p << " word " << w;
    }

    // The other preset parameters come from the default preset, and the current preset is applied.
    for (int id = 24; id < 33; ++id)
        EXPECT_FLOAT_EQ (plugin.getPresetSlot (3)->getValue (id), plugin.getDefaultPreset().getValue (id)) << id;

    const int current = plugin.getCurrentPresetIndex();
    EXPECT_NEAR (normalised (cutoff), programWordValue (current, 1), 1.0e-6);
    EXPECT_EQ (plugin.getParameterManager().getText (PresetManager::currentPresetNameId), "Old " + juce::String (current));

    for (int i = 0; i < Tarvelin::numPatterns; ++i)
    {
        const auto& pattern = plugin.getPattern (i);
        EXPECT_EQ (pattern.getName(), "Pattern " + juce::String (i));
        EXPECT_EQ (pattern.getLength(), i % 16 + 1);
        EXPECT_DOUBLE_EQ (pattern.getTempo(), 90.0 + i);
        EXPECT_EQ (pattern.getShuffle(), i % 100);

        for (int j = 0; j < 16; ++j)
        {
            const auto w = olderStepWords (i, j);
            EXPECT_EQ (pattern.getStep (j), expectedStep (w[7], w[8] == 1, w[9] == 1, w[2] == 1, w[4] == 1, w[6] == 1,
                                                          w[1], w[3], w[5])) << i << "/" << j;
        }
    }

    EXPECT_FLOAT_EQ (normalised (gateThreshold), 0.25f);
    EXPECT_FLOAT_EQ (normalised (accentThreshold), 0.5f);
    EXPECT_FLOAT_EQ (normalised (slideThreshold), 0.75f);

    auto& manager = plugin.getParameterManager();
    EXPECT_EQ (manager.getText (arpChord) + " " + manager.getText (arpMode) + " " + manager.getText (arpMultiplier)
                   + " " + manager.getText (arpRepeater), "Minor Up 3 2");
    EXPECT_TRUE (lamp (arpOctaveMinus1) && ! lamp (arpOctave0) && lamp (arpOctavePlus1));
    EXPECT_TRUE (plugin.isInternalSequencerOn() && plugin.isInternalSyncOn());
    EXPECT_FALSE (plugin.isAutoFollowOn());
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 7);
    EXPECT_EQ (plugin.getEditedStep(), 5);
}

TEST_F (OlderFormats, OutOfRangeWordsOfAnOlderStateBlockAreBroughtIntoRange)
{
    auto block = makeOlderState();

    for (int i = 0; i < 96; ++i)
    {
        const int base = firstPatternWord + patternWords * i;
        block.setInt (base + 160, i == 4 ? 0 : i % 2 == 0 ? -7 : 1000);

        for (int j = 0; j < 16; ++j)
        {
            block.setInt (base + 10 * j + 1, 9999);     // gate level
            block.setInt (base + 10 * j + 3, -9999);    // accent level
            block.setInt (base + 10 * j + 7, j % 2 == 0 ? 77 : -77);
        }
    }

    block.setFloat (25220, 7.5f);
    block.setFloat (25221, -2.0f);
    block.setFloat (25222, std::numeric_limits<float>::quiet_NaN());
    block.setInt (25238, 5000);
    block.setInt (25239, -40);
    block.setFloat (0, std::numeric_limits<float>::infinity());    // program 0's tune
    block.setFloat (1, 3.0f);                                       // program 0's cutoff

    plugin.setStateInformation (block.data(), block.size());

    EXPECT_TRUE (everyStepIsInRange());
    EXPECT_EQ (plugin.getPattern (4).getLength(), 1);
    EXPECT_EQ (plugin.getPattern (0).getStep (0).getNote(), 12);
    EXPECT_EQ (plugin.getPattern (0).getStep (1).getNote(), 0);
    EXPECT_FLOAT_EQ (normalised (gateThreshold), 1.0f);
    EXPECT_FLOAT_EQ (normalised (accentThreshold), 0.0f);
    EXPECT_FLOAT_EQ (normalised (slideThreshold), 1.0f);                // kept from before
    EXPECT_EQ (plugin.getCurrentPatternIndex(), 23);
    EXPECT_EQ (plugin.getEditedStep(), 0);
    EXPECT_FLOAT_EQ (plugin.getPresetSlot (0)->getValue (tune), plugin.getDefaultPreset().getValue (tune));
    EXPECT_FLOAT_EQ (plugin.getPresetSlot (0)->getValue (cutoff), 1.0f);
}

TEST_F (OlderFormats, StateAndProgramBlocksOfAnyOtherSizeAreNotTheOlderFormats)
{
    const auto block = makeOlderState();
    const auto before = stateText();

    for (int size : { 100967, 100969, 136, 4 })
    {
        std::vector<juce::uint8> resized (block.bytes.begin(), block.bytes.begin() + juce::jmin (size, block.size()));
        resized.resize (static_cast<size_t> (size), 0);
        plugin.setStateInformation (resized.data(), size);
    }

    WordBlock program (40);
    writeProgram (program, 0, 3, "Not me");
    plugin.setCurrentProgramStateInformation (program.data(), 135);
    plugin.setCurrentProgramStateInformation (program.data(), 137);
    plugin.setCurrentProgramStateInformation (nullptr, 136);

    EXPECT_EQ (stateText(), before);
    EXPECT_TRUE (everyPatternIsAsBefore());
}

TEST_F (OlderFormats, ACurrentStateOf100968BytesRestoresAsTheCurrentState)
{
    // The instrument's state with short patterns and without its preset bank,
    // padded by an element no reader takes (names are too short to pad it)
    // until the toolkit's block has exactly the older size.
    for (int i = 0; i < Tarvelin::numPatterns; ++i)
        plugin.getPattern (i).setLength (1);

    plugin.getPattern (30).setName ("Padded");

    auto makeBlock = [this] (int padding)
    {
        auto xml = plugin.createStateXml();
        xml->removeChildElement (xml->getChildByName ("PresetsState"), true);
        xml->createNewChildElement ("Padding")->setAttribute ("text", juce::String::repeatedString ("x", padding));
        juce::MemoryBlock block;
        juce::AudioProcessor::copyXmlToBinary (*xml, block);
        return block;
    };

    const auto padding = 100968 - static_cast<int> (makeBlock (0).getSize());
    ASSERT_GT (padding, 0);
    const auto block = makeBlock (padding);
    ASSERT_EQ (block.getSize(), 100968u);

    const auto other = InstrumentTest::createInstrument();
    other->setStateInformation (block.getData(), static_cast<int> (block.getSize()));

    EXPECT_EQ (other->getPattern (30).getName(), plugin.getPattern (30).getName());
    EXPECT_EQ (other->getPattern (5).getName(), "Before 5");
    EXPECT_EQ (other->getPattern (5).getStep (0), plugin.getPattern (5).getStep (0));
}

TEST_F (OlderFormats, ADamagedCurrentStateOf100968BytesChangesNothing)
{
    juce::MemoryBlock block;
    plugin.getStateInformation (block);
    block.setSize (100968, true);
    auto* bytes = static_cast<char*> (block.getData());
    bytes[20] = '<';
    bytes[21] = '<';                 // no longer XML, but the toolkit's block all the same
    const auto before = stateText();

    plugin.setStateInformation (block.getData(), static_cast<int> (block.getSize()));

    EXPECT_EQ (stateText(), before);
    EXPECT_EQ (plugin.getPresetSlot (0)->getName(), plugin.getPresetManager().getPresetName (0));
    EXPECT_TRUE (everyPatternIsAsBefore());
}

//==============================================================================
// The older one-program block (136 bytes)

TEST_F (OlderFormats, AnOlderProgramGoesIntoTheCurrentPresetSlotWithItsNameCutAfter24Characters)
{
    plugin.selectPreset (6, true);
    WordBlock program (34);
    writeProgram (program, 0, 11, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");   // runs into the unread words

    plugin.setCurrentProgramStateInformation (program.data(), program.size());

    const auto* slot = plugin.getPresetSlot (6);
    EXPECT_EQ (slot->getName(), "ABCDEFGHIJKLMNOPQRSTUVWX");

    for (int w = 0; w < 24; ++w)
        EXPECT_NEAR (slot->getValue (parameterOfWord[w]), convertedWord (w, programWordValue (11, w)), 1.0e-6) << w;

    EXPECT_NEAR (normalised (decay), programWordValue (11, 4), 1.0e-6);
    EXPECT_EQ (plugin.getParameterManager().getText (PresetManager::currentPresetNameId), "ABCDEFGHIJKLMNOPQRSTUVWX");
}

TEST_F (OlderFormats, AnOlderProgramOfNonNumbersKeepsTheDefaultPresetsValues)
{
    WordBlock program (34);

    for (int w = 0; w < 24; ++w)
        program.setFloat (w, w % 2 == 0 ? std::numeric_limits<float>::quiet_NaN() : 40.0f);

    plugin.setCurrentProgramStateInformation (program.data(), program.size());

    const auto* slot = plugin.getPresetSlot (plugin.getCurrentPresetIndex());

    for (int w = 0; w < 24; ++w)
    {
        const int id = parameterOfWord[w];
        const float expected = w % 2 == 0 ? plugin.getDefaultPreset().getValue (id) : (w == 19 || w == 21 ? 0.0f : 1.0f);
        EXPECT_FLOAT_EQ (slot->getValue (id), expected) << w;
    }
}

TEST_F (OlderFormats, TheProgramStateIsTheWholeStateAndRestores)
{
    plugin.getPattern (12).setName ("Program state");
    juce::MemoryBlock block;
    plugin.getCurrentProgramStateInformation (block);

    const auto other = InstrumentTest::createInstrument();
    other->setCurrentProgramStateInformation (block.getData(), static_cast<int> (block.getSize()));

    EXPECT_EQ (other->getPattern (12).getName(), "Program state");
}
