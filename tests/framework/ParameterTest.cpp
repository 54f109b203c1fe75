#include "framework/Parameter.h"
#include "support/ParameterListeners.h"

#include <gtest/gtest.h>

#include <limits>

//==============================================================================
// Conversions

TEST (IntParameter, NormalisedValuesRoundHalfUpAndFloatsTruncateTowardsZeroBothClamped)
{
    IntParameter p (1, "Steps", 0, 10, 0);
    const std::pair<float, int> normalised[] = { { 0.349f, 3 }, { 0.35f, 4 }, { -2.0f, 0 }, { 7.0f, 10 } };
    const std::pair<float, int> plain[] = { { 2.9f, 2 }, { -3.5f, 0 }, { 1.0e20f, 10 } };

    for (const auto& [value, expected] : normalised)
    {
        p.setNormalisedValue (value, false);
        EXPECT_EQ (p.getIntValue(), expected) << value;
    }

    for (const auto& [value, expected] : plain)
    {
        p.setValue (value, false);
        EXPECT_EQ (p.getIntValue(), expected) << value;
    }
}

TEST (IntParameter, ReadsInEveryForm)
{
    IntParameter p (1, "Octave", -2, 2, 1);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), 0.75f);
    EXPECT_TRUE (p.getBoolValue());
    EXPECT_EQ (p.getText(), "1");

    p.setBoolValue (false, false);
    EXPECT_EQ (p.getIntValue(), -2);
    EXPECT_FALSE (p.getBoolValue());

    p.setValueFromText ("7 apples", false);
    EXPECT_EQ (p.getIntValue(), 2);
}

TEST (IntParameter, RangeChangesAreRefusedWhenTheyWouldInvertOrRepeat)
{
    IntParameter p (1, "Steps", 2, 10, 8);
    RecordingListener listener;
    p.addListener (&listener);

    p.setMaximum (1);
    p.setMinimum (2);
    EXPECT_EQ (p.getMaximum(), 10);
    EXPECT_EQ (listener.numChanges(), 0);

    p.setMaximum (5);
    EXPECT_EQ (p.getIntValue(), 5);
    p.setMinimum (0);
    EXPECT_EQ (p.getIntValue(), 5);
    EXPECT_EQ (listener.numChanges(), 1);
}

TEST (FloatParameter, ValuesAreClampedAndNormalised)
{
    FloatParameter p (1, "Cutoff", 20.0f, 220.0f, 500.0f);
    EXPECT_FLOAT_EQ (p.getValue(), 220.0f);

    p.setNormalisedValue (0.25f, false);
    EXPECT_FLOAT_EQ (p.getValue(), 70.0f);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), 0.25f);

    p.setNormalisedValue (3.0f, false);
    EXPECT_FLOAT_EQ (p.getValue(), 220.0f);

    p.setBoolValue (false, false);
    EXPECT_FLOAT_EQ (p.getValue(), 20.0f);
}

TEST (FloatParameter, BoolAndIntReadingsTakeTheNearerEnd)
{
    FloatParameter pan (1, "Pan", -1.0f, 1.0f, 0.0f);
    EXPECT_TRUE (pan.getBoolValue());   // both ends equally far
    pan.setValue (-0.01f, false);
    EXPECT_FALSE (pan.getBoolValue());

    FloatParameter huge (2, "Huge", -1.0e10f, 1.0e10f, 5.0e9f);
    EXPECT_EQ (huge.getIntValue(), std::numeric_limits<int>::max());
    huge.setValue (-5.0e9f, false);
    EXPECT_EQ (huge.getIntValue(), std::numeric_limits<int>::min());
}

TEST (FloatParameter, TextHasNineSignificantDigitsInTheShortestForm)
{
    FloatParameter p (1, "Level", 0.0f, 200.0f, 120.0f);
    EXPECT_EQ (p.getText(), "120");

    p.setValue (0.1f, false);
    EXPECT_EQ (p.getText(), "0.100000001");
}

TEST (Parameters, NumbersThatAreNotFiniteNeverBecomeValues)
{
    const auto nan = std::numeric_limits<float>::quiet_NaN();
    const auto inf = std::numeric_limits<float>::infinity();
    FloatParameter f (1, "F", 0.0f, 1.0f, 0.25f);
    IntParameter i (2, "I", 0, 10, 3);
    BoolParameter on (3, "On", true), off (4, "Off", false);
    StringParameter s (5, "S", "keep");

    for (auto* p : std::initializer_list<Parameter*> { &f, &i, &on, &off, &s })
    {
        p->setValue (nan, false);
        p->setValue (inf, false);
        p->setValue (-inf, false);
        p->setNormalisedValue (nan, false);
    }

    for (auto* p : std::initializer_list<Parameter*> { &f, &on, &off })
    {
        p->setValueFromText ("nan", false);
        p->setValueFromText ("inf", false);
    }

    EXPECT_EQ (f.getText() + " " + i.getText() + " " + on.getText() + " " + off.getText() + " " + s.getText(),
               "0.25 3 true false keep");
    EXPECT_FLOAT_EQ (FloatParameter (6, "N", 0.0f, 1.0f, nan).getValue(), 0.0f);
}

TEST (BoolParameter, TextKeywordsAreCaseSensitiveAndOtherTextsReadAsNumbers)
{
    BoolParameter p (1, "Switch", false);

    for (const auto* text : { "true", "1", "on", "yes", "0.7" })
    {
        p.setBoolValue (false, false);
        p.setValueFromText (text, false);
        EXPECT_TRUE (p.getBoolValue()) << text;
    }

    for (const auto* text : { "false", "0", "off", "no", "Yes", "abc" })
    {
        p.setBoolValue (true, false);
        p.setValueFromText (text, false);
        EXPECT_FALSE (p.getBoolValue()) << text;
    }
}

TEST (BoolParameter, NumericFormsAreZeroOrOne)
{
    BoolParameter p (1, "Switch", false);
    p.setNormalisedValue (0.49f, false);
    EXPECT_FALSE (p.getBoolValue());
    p.setNormalisedValue (0.5f, false);
    EXPECT_TRUE (p.getBoolValue());

    p.setBoolValue (false, false);
    p.setValue (-3.0f, false);
    EXPECT_EQ (p.getIntValue(), 1);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), 1.0f);
    EXPECT_EQ (p.getText(), "true");
}

TEST (BoolParameter, SpecialisationsHaveTheirOwnTexts)
{
    AnswerParameter answer (1, "Answer", "yes");
    LogicParameter logic (2, "Logic", "1");
    StateParameter state (3, "State", "ON");
    EXPECT_EQ (answer.getText() + logic.getText() + state.getText(), "yes1on");

    answer.setValueFromText ("no", false);
    logic.setValueFromText ("0", false);
    state.setValueFromText ("Off", false);
    EXPECT_EQ (answer.getText() + logic.getText() + state.getText(), "no0off");

    // Other texts fall back to the case-sensitive bool keywords.
    answer.setValueFromText ("true", false);
    EXPECT_TRUE (answer.getBoolValue());
    answer.setValueFromText ("YES", false);
    EXPECT_FALSE (answer.getBoolValue());
}

TEST (EnumParameter, NamesAreMatchedExactlyAndOtherTextsReadAsNormalisedValues)
{
    EnumParameter p (1, "Wave", "Saw;Square", "Square");
    EXPECT_EQ (p.getIntValue(), 1);

    p.setValueFromText ("saw", false);
    EXPECT_EQ (p.getText(), "Saw");   // read as the number 0

    p.setValueFromText ("1", false);
    EXPECT_EQ (p.getText(), "Square");
}

TEST (EnumParameter, EmptyItemsAreKeptNoNamesKeepTheRangeAndASingleNameReadsANormalisedZero)
{
    EnumParameter emptyFirst (1, "Choice", ";A", "A");
    EXPECT_EQ (emptyFirst.getNames(), juce::StringArray ({ "", "A" }));
    EXPECT_EQ (emptyFirst.getIntValue(), 1);

    EnumParameter none (2, "Choice", "", "");
    EXPECT_EQ (none.getMaximum(), 1);
    EXPECT_EQ (none.getText(), "");

    EnumParameter single (3, "Only", "One", "One");
    EXPECT_EQ (single.getMaximum(), 0);
    EXPECT_EQ (single.getNormalisedValue(), 0.0f);
}

TEST (EnumParameter, NewNamesChangeTheRangeAndClampTheValue)
{
    EnumParameter p (1, "Mode", "A;B;C;D", "D");
    p.setNames ("A;B");
    EXPECT_EQ (p.getMaximum(), 1);
    EXPECT_EQ (p.getText(), "B");
}

TEST (NoteParameter, ReadsNoteNamesAndFallsBackToNormalisedValues)
{
    NoteParameter p (1, "Root", "C-5");
    EXPECT_EQ (p.getIntValue(), 60);
    EXPECT_EQ (p.getText(), "C-5");

    p.setValueFromText ("c-5", false);
    EXPECT_EQ (p.getIntValue(), 0);
    EXPECT_EQ (NoteParameter (2, "Other", "xyz").getIntValue(), 0);
}

TEST (StringParameter, ConvertsThroughItsText)
{
    StringParameter p (1, "Name", "12.5 bars");
    EXPECT_FLOAT_EQ (p.getValue(), 12.5f);
    EXPECT_EQ (p.getIntValue(), 12);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), 1.0f);

    p.setValue (0.123456789f, false);
    EXPECT_EQ (p.getText(), "0.123457");

    p.setBoolValue (true, false);
    EXPECT_EQ (p.getText(), "true");
    EXPECT_TRUE (p.getBoolValue());
}

TEST (Parameters, CopyValueFromConvertsBetweenKinds)
{
    FloatParameter f (1, "F", 0.0f, 10.0f, 7.6f);
    IntParameter i (2, "I", 0, 5, 0);
    StringParameter s (3, "S", "");
    BoolParameter b (4, "B", false);

    i.copyValueFrom (f, false);
    s.copyValueFrom (f, false);
    b.copyValueFrom (f, false);
    EXPECT_EQ (i.getIntValue(), 5);
    EXPECT_EQ (s.getText(), "7.5999999");
    EXPECT_TRUE (b.getBoolValue());
}

TEST (Parameters, CloneKeepsKindRangeAndValueButNoListeners)
{
    EnumParameter original (1, "Wave", "Saw;Square;Pulse", "Pulse");
    original.setAutoFlag (true);
    RecordingListener listener;
    original.addListener (&listener);

    const auto copy = original.clone (7, "Wave Copy");
    auto* enumCopy = dynamic_cast<EnumParameter*> (copy.get());
    ASSERT_NE (enumCopy, nullptr);
    EXPECT_EQ (copy->getId(), 7);
    EXPECT_EQ (copy->getName(), "Wave Copy");
    EXPECT_TRUE (copy->getAutoFlag());
    EXPECT_EQ (copy->getText(), "Pulse");
    EXPECT_EQ (enumCopy->getMaximum(), 2);
    EXPECT_EQ (copy->getNumListeners(), 0);
}

//==============================================================================
// Notifications

TEST (ParameterNotifications, TheSameValueOrOneSetWithoutNotifyTellsNobodyUntilAnnounced)
{
    IntParameter p (1, "Steps", 0, 10, 4);
    RecordingListener sync, async;
    p.addListener (&sync);
    p.addAsyncListener (&async);

    p.setIntValue (4, true);
    p.setIntValue (5, false);
    drainAsync (p);
    EXPECT_EQ (sync.numChanges() + async.numChanges(), 0);
    EXPECT_FALSE (p.isUpdatePending());

    p.sendValueChangedToAll();
    drainAsync (p);
    EXPECT_EQ (sync.values, std::vector<float> { 5.0f });
    EXPECT_EQ (async.values, std::vector<float> { 5.0f });
}

TEST (ParameterNotifications, ManyChangesGiveOneAsynchronousCallWithTheLastValue)
{
    IntParameter p (1, "Steps", 0, 100, 0);
    RecordingListener sync, async;
    p.addListener (&sync);
    p.addAsyncListener (&async);

    for (int i = 1; i <= 10; ++i)
        p.setIntValue (i, true);

    EXPECT_EQ (sync.numChanges(), 10);
    EXPECT_EQ (async.numChanges(), 0);
    drainAsync (p);
    EXPECT_EQ (async.values, std::vector<float> { 10.0f });
}

TEST (ParameterNotifications, TextConstructorsPostOnlyAnAsynchronousUpdate)
{
    EXPECT_TRUE (StateParameter (1, "Power", "on").isUpdatePending());
}

TEST (ParameterNotifications, GesturesReachOnlyTheSynchronousListeners)
{
    BoolParameter p (1, "Switch", false);
    RecordingListener sync, async;
    p.addListener (&sync);
    p.addAsyncListener (&async);

    p.sendGestureBegin();
    p.sendGestureEnd();
    EXPECT_EQ (sync.gestureBegins + sync.gestureEnds, 2);
    EXPECT_EQ (async.gestureBegins + async.gestureEnds, 0);
}

TEST (ParameterNotifications, ListenersAreCalledLastAddedFirst)
{
    std::vector<RecordingListener*> order;
    RecordingListener a (&order), b (&order), c (&order);
    BoolParameter p (1, "Switch", false);
    p.addListener (&a);
    p.addListener (&b);
    p.addListener (&c);
    p.addListener (&b);      // held once
    p.addListener (nullptr); // ignored

    p.setBoolValue (true, true);
    EXPECT_EQ (order, (std::vector<RecordingListener*> { &c, &b, &a }));
}

TEST (ParameterNotifications, ListenersRemovingThemselvesOrOthersNeverMakeTheWalkSkipRepeatOrStumble)
{
    std::vector<RecordingListener*> order;
    RecordingListener first (&order), second (&order), third (&order);
    IntParameter p (1, "Steps", 0, 10, 0);
    p.addAsyncListener (&first);
    p.addAsyncListener (&second);
    p.addAsyncListener (&third);
    second.onChange = [&] (Parameter* changed) { changed->removeAsyncListener (&second); };

    p.setIntValue (3, true);
    drainAsync (p);
    EXPECT_EQ (order, (std::vector<RecordingListener*> { &third, &second, &first }));
    EXPECT_EQ (p.getNumAsyncListeners(), 2);

    order.clear();
    third.onChange = [&] (Parameter* changed)
    {
        changed->removeAsyncListener (&first);
        changed->removeAsyncListener (&third);
    };
    p.setIntValue (4, true);
    drainAsync (p);
    EXPECT_EQ (order, (std::vector<RecordingListener*> { &third }));
}

//==============================================================================
namespace
{
struct ShownValue : public ParameterController
{
    void updateFromParameter (Parameter* p) override { shown.push_back (p->getIntValue()); }
    std::vector<int> shown;
};
} // namespace

TEST (ParameterController, BindsOnceAndShowsTheValueAtOnce)
{
    IntParameter first (1, "First", 0, 10, 3);
    IntParameter second (2, "Second", 0, 10, 8);

    {
        ShownValue control;
        control.setParameter (nullptr);
        control.setParameter (&first);
        control.setParameter (&second);
        EXPECT_EQ (control.getParameter(), &first);
        EXPECT_EQ (second.getNumAsyncListeners(), 0);

        control.setParameterIntValue (6);
        drainAsync (first);
        EXPECT_EQ (control.shown, (std::vector<int> { 3, 6 }));
    }

    EXPECT_EQ (first.getNumAsyncListeners(), 0);
}
