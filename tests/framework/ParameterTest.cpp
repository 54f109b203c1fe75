#include "framework/Parameter.h"
#include "support/ParameterListeners.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace
{
using Make = std::function<std::unique_ptr<Parameter>()>;
using Act = std::function<void (Parameter&)>;

Make steps = [] { return std::make_unique<IntParameter> (1, "Steps", 0, 10, 0); };
Make octave = [] { return std::make_unique<IntParameter> (1, "Octave", -2, 2, 1); };
Make level = [] { return std::make_unique<FloatParameter> (1, "Level", 20.0f, 220.0f, 500.0f); };
Make gain = [] { return std::make_unique<FloatParameter> (1, "Gain", 0.0f, 200.0f, 120.0f); };
Make pan = [] { return std::make_unique<FloatParameter> (1, "Pan", -1.0f, 1.0f, 0.0f); };
Make huge = [] { return std::make_unique<FloatParameter> (1, "Huge", -1.0e10f, 1.0e10f, 5.0e9f); };
Make onOff = [] { return std::make_unique<BoolParameter> (1, "Switch", false); };
Make wave = [] { return std::make_unique<EnumParameter> (1, "Wave", "Saw;Square", "Square"); };
Make root = [] { return std::make_unique<NoteParameter> (1, "Root", "C-5"); };
Make title = [] { return std::make_unique<StringParameter> (1, "Name", "12.5 bars"); };

Act nothing = [] (Parameter&) {};
Act normalised (float v)        { return [v] (Parameter& p) { p.setNormalisedValue (v, false); }; }
Act plain (float v)             { return [v] (Parameter& p) { p.setValue (v, false); }; }
Act onOffTo (bool v)            { return [v] (Parameter& p) { p.setBoolValue (v, false); }; }
Act fromText (const char* t)    { return [t] (Parameter& p) { p.setValueFromText (t, false); }; }

enum Reading { text, normalisedValue, intValue, boolValue };

std::string read (const Parameter& p, Reading reading)
{
    switch (reading)
    {
        case text:            return p.getText().toStdString();
        case normalisedValue: return juce::String::formatted ("%g", p.getNormalisedValue()).toStdString();
        case intValue:        return std::to_string (p.getIntValue());
        case boolValue:       return p.getBoolValue() ? "true" : "false";
    }

    return {};
}

struct ConversionCase
{
    const char* what;
    Make make;
    Act act;
    Reading reading;
    std::string expected;
};

void PrintTo (const ConversionCase& c, std::ostream* out) { *out << c.what; }

const ConversionCase conversionCases[] = {
    { "an int rounds a normalised value below half down", steps, normalised (0.349f), intValue, "3" },
    { "an int rounds a normalised half up", steps, normalised (0.35f), intValue, "4" },
    { "an int limits a normalised value below 0", steps, normalised (-2.0f), intValue, "0" },
    { "an int limits a normalised value above 1", steps, normalised (7.0f), intValue, "10" },
    { "an int truncates a float", steps, plain (2.9f), intValue, "2" },
    { "an int truncates a negative float towards zero, then limits it", steps, plain (-3.5f), intValue, "0" },
    { "an int limits a float beyond its type", steps, plain (1.0e20f), intValue, "10" },
    { "an int reads normalised over its range", octave, nothing, normalisedValue, "0.75" },
    { "an int above its minimum reads on", octave, nothing, boolValue, "true" },
    { "an int switched off goes to its minimum", octave, onOffTo (false), intValue, "-2" },
    { "an int reads the number a text begins with, limited", octave, fromText ("7 apples"), intValue, "2" },

    { "a float is limited at construction", level, nothing, text, "220" },
    { "a float sets a normalised value over its range", level, normalised (0.25f), text, "70" },
    { "a float limits a normalised value", level, normalised (3.0f), text, "220" },
    { "a float switched off goes to its minimum", level, onOffTo (false), text, "20" },
    { "a float's text is the shortest form", gain, nothing, text, "120" },
    { "a float's text has nine significant digits", gain, plain (0.1f), text, "0.100000001" },
    { "a float at the middle reads on", pan, nothing, boolValue, "true" },
    { "a float nearer its minimum reads off", pan, plain (-0.01f), boolValue, "false" },
    { "a float beyond int reads int's maximum", huge, nothing, intValue, std::to_string (std::numeric_limits<int>::max()) },
    { "a float below int reads int's minimum", huge, plain (-5.0e9f), intValue, std::to_string (std::numeric_limits<int>::min()) },

    { "a bool below half a normalised value is off", onOff, normalised (0.49f), boolValue, "false" },
    { "a bool from half a normalised value is on", onOff, normalised (0.5f), boolValue, "true" },
    { "a bool set to any number but 0 is 1", onOff, plain (-3.0f), intValue, "1" },
    { "a bool on reads true", onOff, plain (-3.0f), text, "true" },

    { "an enum matches its names exactly and reads another text as a normalised value", wave, fromText ("saw"), text, "Saw" },
    { "an enum reads a number as a normalised value", wave, fromText ("1"), text, "Square" },
    { "a note reads its name", root, nothing, intValue, "60" },
    { "a note reads another text as a normalised value", root, fromText ("c-5"), intValue, "0" },
    { "a string reads as the number it begins with", title, nothing, intValue, "12" },
    { "a string that is a number reads normalised 1", title, nothing, normalisedValue, "1" },
    { "a string takes a number with six significant digits", title, plain (0.123456789f), text, "0.123457" },
    { "a string takes on as true", title, onOffTo (true), text, "true" },
};

class ParameterConversions : public ::testing::TestWithParam<ConversionCase> {};
} // namespace

TEST_P (ParameterConversions, ReadAsTheKindSays)
{
    const auto& c = GetParam();
    const auto parameter = c.make();
    c.act (*parameter);
    EXPECT_EQ (read (*parameter, c.reading), c.expected);
}

INSTANTIATE_TEST_SUITE_P (Table, ParameterConversions, ::testing::ValuesIn (conversionCases));

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

TEST (Parameters, BoolTextKeywordsAreCaseSensitiveAndOtherTextsReadAsNumbers)
{
    BoolParameter p (1, "Switch", false);

    const std::pair<const char*, bool> texts[] = { { "true", true }, { "1", true }, { "on", true }, { "yes", true }, { "0.7", true },
                                                   { "false", false }, { "0", false }, { "off", false }, { "no", false },
                                                   { "Yes", false }, { "abc", false } };

    for (const auto& [text, on] : texts)
    {
        p.setBoolValue (! on, false);
        p.setValueFromText (text, false);
        EXPECT_EQ (p.getBoolValue(), on) << text;
    }

    // The specialisations have texts of their own and fall back to the same keywords.
    AnswerParameter answer (1, "Answer", "yes");
    LogicParameter logic (2, "Logic", "1");
    StateParameter state (3, "State", "ON");
    EXPECT_EQ (answer.getText() + logic.getText() + state.getText(), "yes1on");

    answer.setValueFromText ("no", false);
    logic.setValueFromText ("0", false);
    state.setValueFromText ("Off", false);
    EXPECT_EQ (answer.getText() + logic.getText() + state.getText(), "no0off");

    answer.setValueFromText ("true", false);
    EXPECT_TRUE (answer.getBoolValue());
    answer.setValueFromText ("YES", false);
    EXPECT_FALSE (answer.getBoolValue());
}

TEST (Parameters, RangesAndNamesChangeOnlyWhenTheyStayARangeAndLimitTheValue)
{
    IntParameter p (1, "Steps", 2, 10, 8);
    RecordingListener listener;
    p.addListener (&listener);

    p.setMaximum (1);
    p.setMinimum (2);
    EXPECT_EQ (p.getMaximum(), 10);
    EXPECT_EQ (listener.numChanges(), 0);

    p.setMaximum (5);
    p.setMinimum (0);
    EXPECT_EQ (p.getIntValue(), 5);
    EXPECT_EQ (listener.numChanges(), 1);

    EnumParameter mode (2, "Mode", "A;B;C;D", "D");
    mode.setNames ("A;B");
    EXPECT_EQ (mode.getMaximum(), 1);
    EXPECT_EQ (mode.getText(), "B");

    // Empty items are kept; no names still give a range; one name reads a normalised 0.
    EnumParameter emptyFirst (3, "Choice", ";A", "A"), none (4, "Choice", "", ""), single (5, "Only", "One", "One");
    EXPECT_EQ (emptyFirst.getNames(), juce::StringArray ({ "", "A" }));
    EXPECT_EQ (emptyFirst.getIntValue(), 1);
    EXPECT_EQ (none.getMaximum(), 1);
    EXPECT_EQ (none.getText(), "");
    EXPECT_EQ (single.getMaximum(), 0);
    EXPECT_EQ (single.getNormalisedValue(), 0.0f);
    EXPECT_EQ (NoteParameter (6, "Other", "xyz").getIntValue(), 0);
}

TEST (Parameters, CopiesConvertBetweenKindsAndClonesKeepKindRangeAndValueButNoListeners)
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

    EnumParameter original (5, "Wave", "Saw;Square;Pulse", "Pulse");
    original.setAutoFlag (true);
    RecordingListener listener;
    original.addListener (&listener);

    const auto copy = original.clone (7, "Wave Copy");
    auto* enumCopy = dynamic_cast<EnumParameter*> (copy.get());
    ASSERT_NE (enumCopy, nullptr);
    EXPECT_EQ (copy->getName(), "Wave Copy");
    EXPECT_TRUE (copy->getAutoFlag());
    EXPECT_EQ (copy->getText(), "Pulse");
    EXPECT_EQ (enumCopy->getMaximum(), 2);
    EXPECT_EQ (copy->getNumListeners(), 0);
}

//==============================================================================
// Notifications

TEST (ParameterNotifications, OnlyAChangeWithNotifyIsToldAndManyGiveOneAsynchronousCallWithTheLastValue)
{
    IntParameter p (1, "Steps", 0, 100, 4);
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

    for (int i = 6; i <= 10; ++i)
        p.setIntValue (i, true);

    EXPECT_EQ (sync.numChanges(), 6);
    EXPECT_EQ (async.numChanges(), 1);
    drainAsync (p);
    EXPECT_EQ (async.values, (std::vector<float> { 5.0f, 10.0f }));

    // Gestures reach only the synchronous listeners; a text constructor posts only an asynchronous update.
    p.sendGestureBegin();
    p.sendGestureEnd();
    EXPECT_EQ (sync.gestureBegins + sync.gestureEnds, 2);
    EXPECT_EQ (async.gestureBegins + async.gestureEnds, 0);
    EXPECT_TRUE (StateParameter (2, "Power", "on").isUpdatePending());
}

TEST (ParameterNotifications, ListenersAreHeldOnceAndCalledLastAddedFirst)
{
    std::vector<RecordingListener*> order;
    RecordingListener a (&order), b (&order), c (&order);
    BoolParameter p (1, "Switch", false);
    p.addListener (&a);
    p.addListener (&b);
    p.addListener (&c);
    p.addListener (&b);
    p.addListener (nullptr);

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
