// Whatever moves the current pattern (write mode, Prev/Next, host mode, a MIDI
// selection, the chain moving on), the displays show the pattern that is now
// current: its number, name, tempo, shuffle and length, and the edit lamps of
// its edited step; a rename or a tempo change from the displays lands on it.

#include "support/InstrumentTestSupport.h"
#include "support/MessageQueue.h"

using namespace InstrumentTest;

namespace
{
struct ShownPattern : public InstrumentFixture
{
    void SetUp() override
    {
        InstrumentFixture::SetUp();

        // Every pattern tells itself apart in each display.
        for (int i = 0; i < Tarvelin::numPatterns; ++i)
        {
            auto& pattern = plugin.getPattern (i);
            pattern.setName ("Pattern " + juce::String (i + 1));
            pattern.setTempo (40.0 + i);
            pattern.setShuffle (i % 100);
            pattern.setLength (1 + (i * 5) % 16);

            for (int s = 0; s < Pattern::numSteps; ++s)
                pattern.setStep (s, makeStep ((i + s) % 13, true));
        }

        plugin.performEvent (IntSeqPlugin::toggleInternalSyncEvent);   // the tempo display edits
        dispatchPendingMessages();
    }

    void act (int event)                { plugin.performEvent (event); }

    /** The chain [first, last] in bank 1, chosen on the panel's keys while stopped. */
    void chooseChainInSecondBank (int first, int last)
    {
        static const int whiteKeys[] = { 0, 2, 4, 5, 7, 9, 11, 12 };
        act (toggleAccent);
        act (key (whiteKeys[first]));

        if (last != first)
            act (keySecond (whiteKeys[last]));
    }

    /** The number the pattern display shows for a pattern index in the present mode. */
    int numberOf (int index) const      { return plugin.isHostModeOn() ? index + 12 : index + 1; }

    void expectDisplaysShow (int index, const char* step)
    {
        SCOPED_TRACE (step);
        auto& pattern = plugin.getPattern (index);

        EXPECT_EQ (static_cast<int> (parameters.getValue (IntSeqPlugin::patternNumberId)), numberOf (index));
        EXPECT_EQ (parameters.getText (IntSeqPlugin::patternNameId), pattern.getName());
        EXPECT_FLOAT_EQ (parameters.getValue (IntSeqPlugin::patternTempoId), static_cast<float> (pattern.getTempo()));
        EXPECT_EQ (static_cast<int> (parameters.getValue (IntSeqPlugin::patternShuffleId)), pattern.getShuffle());

        for (int s = 0; s < Pattern::numSteps; ++s)
            EXPECT_EQ (lamp (IntSeqPlugin::firstStepLengthStateId + s), s < pattern.getLength()) << "length lamp " << s;

        if (plugin.isEditModeActive() && ! plugin.isRandomizerActive())
        {
            const int edited = plugin.getEditedStep();
            EXPECT_LT (edited, pattern.getLength());
            EXPECT_TRUE (lamp (IntSeqPlugin::firstStepStateId + edited));
            EXPECT_TRUE (lamp (keyLamp (pattern.getStep (edited).getNote())));
        }
    }

    /** The current pattern is the one shown, and the name and tempo displays edit it. */
    void expectEditsLandOnTheShownPattern (int index, const char* step)
    {
        SCOPED_TRACE (step);
        ASSERT_EQ (plugin.getCurrentPatternIndex(), index);
        expectDisplaysShow (index, step);

        const juce::String name = juce::String ("Renamed ") + step;
        parameters.setValueFromText (IntSeqPlugin::patternNameId, name);
        parameters.setValue (IntSeqPlugin::patternTempoId, 150.0f);

        EXPECT_EQ (plugin.getPatternName (index), name);
        EXPECT_DOUBLE_EQ (plugin.getPattern (index).getTempo(), 150.0);
        plugin.getPattern (index).setTempo (40.0 + index);
        plugin.updatePatternStates();
    }
};
} // namespace

TEST_F (ShownPattern, WriteModeAndNextShowAndEditThePatternThatIsNowCurrent)
{
    chooseChainInSecondBank (3, 3);     // the chain starts at pattern 12 (index 11)
    plugin.setCurrentPattern (0);

    act (IntSeqPlugin::togglePatternWriteModeEvent);
    expectEditsLandOnTheShownPattern (11, "write on");

    act (IntSeqPlugin::toggleAutoFollowModeEvent);
    act (IntSeqPlugin::nextEvent);
    expectEditsLandOnTheShownPattern (12, "follow off, next");

    act (IntSeqPlugin::togglePatternWriteModeEvent);
    expectDisplaysShow (11, "write off: the playing pattern");

    act (IntSeqPlugin::togglePatternWriteModeEvent);
    expectEditsLandOnTheShownPattern (11, "write on again");
}

TEST_F (ShownPattern, LeavingHostModeShowsThePatternItLeavesCurrent)
{
    chooseChainInSecondBank (3, 3);
    act (IntSeqPlugin::togglePatternWriteModeEvent);
    act (IntSeqPlugin::toggleHostModeEvent);
    renderBlock();

    // A host note plays pattern 61 and the edit follows it.
    render (blockSize, { noteOn (0, 12 + 60) });
    expectEditsLandOnTheShownPattern (60, "host note");

    // Back in write mode pattern 61 is out of range: the edit moves into the banks.
    act (IntSeqPlugin::toggleHostModeEvent);
    const int current = plugin.getCurrentPatternIndex();
    EXPECT_LT (current, Tarvelin::numNativePatterns);
    expectEditsLandOnTheShownPattern (current, "host mode off");
}

TEST_F (ShownPattern, MidiSelectionShowsTheChosenPatternInEitherMode)
{
    act (IntSeqPlugin::togglePatternWriteModeEvent);
    render (blockSize, { noteOn (0, 16) });             // E: the chain's third position
    dispatchPendingMessages();
    expectEditsLandOnTheShownPattern (2, "pattern key");

    render (blockSize, { noteOn (0, 28), noteOn (1, 19) });     // bank 2, G: position 4
    dispatchPendingMessages();
    expectEditsLandOnTheShownPattern (12, "bank and pattern keys");

    act (IntSeqPlugin::toggleHostModeEvent);
    renderBlock();
    render (blockSize, { noteOn (0, 12 + 77) });
    dispatchPendingMessages();
    expectEditsLandOnTheShownPattern (77, "host note");
}

TEST_F (ShownPattern, TheChainMovingOnShowsTheNextPattern)
{
    chooseChainInSecondBank (3, 4);
    plugin.getPattern (11).setLength (1);
    plugin.getPattern (11).setTempo (120.0);    // the clock follows the pattern's own tempo and shuffle
    plugin.getPattern (11).setShuffle (0);
    act (IntSeqPlugin::togglePatternWriteModeEvent);
    expectDisplaysShow (11, "write on");

    startSequencer();
    render (stepStartSample (1) + 10);
    dispatchPendingMessages();

    EXPECT_EQ (plugin.getPlayingPatternIndex(), 12);
    expectEditsLandOnTheShownPattern (12, "chain moved on");
}

TEST_F (ShownPattern, ARestoredEditedPatternIsShownWithoutAChainToPublishIt)
{
    act (IntSeqPlugin::togglePatternWriteModeEvent);
    auto state = plugin.createStateXml();
    auto* edition = state->getChildByName ("InternalSequencer")->getChildByName ("EditionState");
    ASSERT_NE (edition, nullptr);
    edition->getChildByName ("EditedPattern")->setAttribute ("value", 5);
    edition->removeChildElement (edition->getChildByName ("ChainPatterns"), true);

    plugin.setStateFromXml (*state);

    expectEditsLandOnTheShownPattern (5, "restored");
}
