#include "framework/Parameter.h"

#include "framework/NoteNames.h"
#include "framework/TextHelpers.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace
{
// Shortest general form with the given number of significant digits ("%.9g":
// 0.1f gives "0.100000001"); JUCE's String (float, n) means n decimals instead.
juce::String toGeneralText (double v, int significantDigits)
{
    char text[64] = {};
    std::snprintf (text, sizeof (text), "%.*g", significantDigits, v);
    return juce::String (text);
}

float limitToUnit (float v) noexcept
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

bool isFinite (float v) noexcept { return std::isfinite (v); }

// The bool keywords shared by every bool-like reading of a text.
enum class BoolKeyword { none, yes, no };

BoolKeyword findBoolKeyword (const juce::String& text)
{
    if (text == "true" || text == "1" || text == "on" || text == "yes")
        return BoolKeyword::yes;

    if (text == "false" || text == "0" || text == "off" || text == "no")
        return BoolKeyword::no;

    return BoolKeyword::none;
}
} // namespace

//==============================================================================
Parameter::Parameter (int parameterId, const juce::String& parameterName)
    : id (parameterId), name (parameterName)
{
}

Parameter::Parameter (const Parameter& other, int newId, const juce::String& newName)
    : juce::AsyncUpdater(), id (newId), name (newName), autoFlag (other.autoFlag)
{
}

Parameter::~Parameter()
{
    cancelPendingUpdate();
}

void Parameter::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void Parameter::addAsyncListener (Listener* listener)
{
    if (listener != nullptr)
        asyncListeners.addIfNotAlreadyThere (listener);
}

void Parameter::removeAsyncListener (Listener* listener)
{
    asyncListeners.removeFirstMatchingValue (listener);
}

template <typename Callback>
void Parameter::callListeners (juce::Array<Listener*>& list, Callback&& callback)
{
    // Last added first; the position is re-clamped before every call so that a
    // listener may remove itself or others while the walk goes on.
    for (int i = list.size() - 1; i >= 0; --i)
    {
        i = juce::jmin (i, list.size() - 1);

        if (i < 0)
            break;

        callback (*list.getUnchecked (i));
    }
}

void Parameter::sendValueChanged()
{
    callListeners (listeners, [this] (Listener& l) { l.parameterChanged (this); });
}

void Parameter::sendGestureBegin()
{
    callListeners (listeners, [this] (Listener& l) { l.parameterChangeGestureBegin (this); });
}

void Parameter::sendGestureEnd()
{
    callListeners (listeners, [this] (Listener& l) { l.parameterChangeGestureEnd (this); });
}

void Parameter::sendValueChangedToAll()
{
    sendValueChanged();
    triggerAsyncUpdate();
}

void Parameter::handleAsyncUpdate()
{
    callListeners (asyncListeners, [this] (Listener& l) { l.parameterChanged (this); });
}

void Parameter::valueWasChanged (bool notify)
{
    if (notify)
    {
        sendValueChanged();
        triggerAsyncUpdate();
    }
}

//==============================================================================
FloatParameter::FloatParameter (int parameterId, const juce::String& parameterName,
                                float minimumValue, float maximumValue, float initialValue)
    : Parameter (parameterId, parameterName), minimum (minimumValue), maximum (maximumValue)
{
    value.store (clamp (isFinite (initialValue) ? initialValue : minimumValue));
}

FloatParameter::FloatParameter (const FloatParameter& other, int newId, const juce::String& newName)
    : Parameter (other, newId, newName), minimum (other.minimum), maximum (other.maximum)
{
    value.store (other.value.load());
}

std::unique_ptr<Parameter> FloatParameter::clone (int newId, const juce::String& newName) const
{
    return std::unique_ptr<Parameter> (new FloatParameter (*this, newId, newName));
}

float FloatParameter::clamp (float v) const noexcept
{
    return v < minimum ? minimum : juce::jmin (v, maximum);
}

void FloatParameter::store (float newValue, bool notify)
{
    if (! isFinite (newValue))
        return;

    newValue = clamp (newValue);

    if (value.load() == newValue)
        return;

    value.store (newValue);
    valueWasChanged (notify);
}

float FloatParameter::getValue() const { return value.load(); }

float FloatParameter::getNormalisedValue() const
{
    // A range without width would read as 0/0.
    if (maximum == minimum)
        return 0.0f;

    return (value.load() - minimum) / (maximum - minimum);
}

int FloatParameter::getIntValue() const
{
    // Truncated; a range beyond int's gives the nearer end, not an undefined conversion.
    const auto v = static_cast<double> (value.load());
    return static_cast<int> (juce::jlimit (static_cast<double> (std::numeric_limits<int>::min()),
                                           static_cast<double> (std::numeric_limits<int>::max()), v));
}

bool FloatParameter::getBoolValue() const
{
    const auto v = value.load();
    return (v - minimum) >= (maximum - v);
}

juce::String FloatParameter::getText() const { return toGeneralText (value.load(), 9); }

void FloatParameter::setValue (float v, bool notify) { store (v, notify); }

void FloatParameter::setNormalisedValue (float n, bool notify)
{
    if (isFinite (n))
        store (minimum + (maximum - minimum) * limitToUnit (n), notify);
}

void FloatParameter::setIntValue (int v, bool notify) { store (static_cast<float> (v), notify); }

void FloatParameter::setBoolValue (bool b, bool notify) { store (b ? maximum : minimum, notify); }

void FloatParameter::setValueFromText (const juce::String& text, bool notify)
{
    store (text.getFloatValue(), notify);
}

void FloatParameter::copyValueFrom (const Parameter& other, bool notify)
{
    store (other.getValue(), notify);
}

//==============================================================================
IntParameter::IntParameter (int parameterId, const juce::String& parameterName,
                            int minimumValue, int maximumValue, int initialValue)
    : Parameter (parameterId, parameterName), minimum (minimumValue), maximum (maximumValue)
{
    value.store (clamp (initialValue));
}

IntParameter::IntParameter (const IntParameter& other, int newId, const juce::String& newName)
    : Parameter (other, newId, newName), minimum (other.minimum), maximum (other.maximum)
{
    value.store (other.value.load());
}

std::unique_ptr<Parameter> IntParameter::clone (int newId, const juce::String& newName) const
{
    return std::unique_ptr<Parameter> (new IntParameter (*this, newId, newName));
}

int IntParameter::clamp (int v) const noexcept
{
    return v < minimum ? minimum : juce::jmin (v, maximum);
}

int IntParameter::clamp (double v) const noexcept
{
    // Clamped as a double first so that huge values never overflow the conversion.
    if (v < static_cast<double> (minimum))
        return minimum;

    return static_cast<int> (juce::jmin (v, static_cast<double> (maximum)));
}

float IntParameter::getValue() const { return static_cast<float> (value.load()); }

float IntParameter::getNormalisedValue() const
{
    // An enum with exactly one name has no range width and would read as 0/0.
    if (maximum == minimum)
        return 0.0f;

    return static_cast<float> (value.load() - minimum) / static_cast<float> (maximum - minimum);
}

int IntParameter::getIntValue() const { return value.load(); }

bool IntParameter::getBoolValue() const { return value.load() != minimum; }

juce::String IntParameter::getText() const { return juce::String (value.load()); }

void IntParameter::setIntValue (int v, bool notify)
{
    const auto newValue = clamp (v);

    if (value.load() == newValue)
        return;

    value.store (newValue);
    valueWasChanged (notify);
}

void IntParameter::setValue (float v, bool notify)
{
    if (isFinite (v))
        setIntValue (clamp (std::trunc (static_cast<double> (v))), notify);
}

void IntParameter::setNormalisedValue (float n, bool notify)
{
    if (! isFinite (n))
        return;

    // The product is taken in single precision so that 0.35 of 0..10 rounds up to 4.
    const float scaled = static_cast<float> (maximum - minimum) * limitToUnit (n);
    const double rounded = std::floor (static_cast<double> (scaled) + 0.5) + static_cast<double> (minimum);
    setIntValue (clamp (std::trunc (rounded)), notify);
}

void IntParameter::setBoolValue (bool b, bool notify) { setIntValue (b ? maximum : minimum, notify); }

void IntParameter::setValueFromText (const juce::String& text, bool notify)
{
    setIntValue (text.getIntValue(), notify);
}

void IntParameter::copyValueFrom (const Parameter& other, bool notify)
{
    setIntValue (other.getIntValue(), notify);
}

void IntParameter::setMinimum (int newMinimum)
{
    if (newMinimum > maximum || newMinimum == minimum)
        return;

    minimum = newMinimum;
    setIntValue (value.load(), true);
}

void IntParameter::setMaximum (int newMaximum)
{
    if (newMaximum < minimum || newMaximum == maximum)
        return;

    maximum = newMaximum;
    setIntValue (value.load(), true);
}

//==============================================================================
EnumParameter::EnumParameter (int parameterId, const juce::String& parameterName,
                              const juce::String& newNamesText, const juce::String& valueText)
    : IntParameter (parameterId, parameterName, 0, 1, 0)
{
    setNames (newNamesText);
    EnumParameter::setValueFromText (valueText, true);
}

EnumParameter::EnumParameter (const EnumParameter& other, int newId, const juce::String& newName)
    : IntParameter (other, newId, newName), names (other.names), namesText (other.namesText)
{
}

std::unique_ptr<Parameter> EnumParameter::clone (int newId, const juce::String& newName) const
{
    return std::unique_ptr<Parameter> (new EnumParameter (*this, newId, newName));
}

void EnumParameter::setNames (const juce::String& newNamesText)
{
    if (newNamesText == namesText)
        return;

    namesText = newNamesText;
    names = TextHelpers::splitAtEvery (namesText, ';');

    setMinimum (0);
    setMaximum (names.size() - 1);
}

juce::String EnumParameter::getText() const
{
    const auto index = getIntValue();
    return juce::isPositiveAndBelow (index, names.size()) ? names[index] : juce::String();
}

void EnumParameter::setValueFromText (const juce::String& text, bool notify)
{
    const auto index = names.indexOf (text, false);

    if (index >= 0)
        setIntValue (index, notify);
    else
        setNormalisedValue (text.getFloatValue(), notify);
}

//==============================================================================
NoteParameter::NoteParameter (int parameterId, const juce::String& parameterName, const juce::String& valueText)
    : IntParameter (parameterId, parameterName, 0, 127, juce::jlimit (0, 127, getNoteNumberFromName (valueText)))
{
}

NoteParameter::NoteParameter (const NoteParameter& other, int newId, const juce::String& newName)
    : IntParameter (other, newId, newName)
{
}

std::unique_ptr<Parameter> NoteParameter::clone (int newId, const juce::String& newName) const
{
    return std::unique_ptr<Parameter> (new NoteParameter (*this, newId, newName));
}

juce::String NoteParameter::getText() const { return getNoteName (getIntValue()); }

void NoteParameter::setValueFromText (const juce::String& text, bool notify)
{
    const auto note = getNoteNumberFromName (text);

    if (note >= 0)
        setIntValue (note, notify);
    else
        setNormalisedValue (text.getFloatValue(), notify);
}

//==============================================================================
StringParameter::StringParameter (int parameterId, const juce::String& parameterName, const juce::String& initialValue)
    : Parameter (parameterId, parameterName), value (initialValue)
{
}

StringParameter::StringParameter (const StringParameter& other, int newId, const juce::String& newName)
    : Parameter (other, newId, newName), value (other.getText())
{
}

std::unique_ptr<Parameter> StringParameter::clone (int newId, const juce::String& newName) const
{
    return std::unique_ptr<Parameter> (new StringParameter (*this, newId, newName));
}

void StringParameter::store (const juce::String& newValue, bool notify)
{
    {
        const juce::ScopedWriteLock sl (lock);

        if (value == newValue)
            return;

        value = newValue;
    }

    valueWasChanged (notify);
}

juce::String StringParameter::getText() const
{
    const juce::ScopedReadLock sl (lock);
    return value;
}

float StringParameter::getValue() const { return getText().getFloatValue(); }

float StringParameter::getNormalisedValue() const
{
    const auto v = getText().getFloatValue();
    return isFinite (v) ? limitToUnit (v) : 0.0f;
}

int StringParameter::getIntValue() const { return getText().getIntValue(); }

bool StringParameter::getBoolValue() const
{
    // Gives back what setBoolValue stored; other texts read like a BoolParameter's.
    const auto text = getText();

    switch (findBoolKeyword (text))
    {
        case BoolKeyword::yes: return true;
        case BoolKeyword::no: return false;
        case BoolKeyword::none: break;
    }

    const auto v = text.getFloatValue();
    return isFinite (v) && limitToUnit (v) >= 0.5f;
}

void StringParameter::setValue (float v, bool notify)
{
    if (isFinite (v))
        store (toGeneralText (v, 6), notify);
}

void StringParameter::setNormalisedValue (float v, bool notify) { setValue (v, notify); }

void StringParameter::setIntValue (int v, bool notify) { store (juce::String (v), notify); }

void StringParameter::setBoolValue (bool b, bool notify) { store (b ? "true" : "false", notify); }

void StringParameter::setValueFromText (const juce::String& text, bool notify) { store (text, notify); }

void StringParameter::copyValueFrom (const Parameter& other, bool notify) { store (other.getText(), notify); }

//==============================================================================
BoolParameter::BoolParameter (int parameterId, const juce::String& parameterName, bool initialValue)
    : Parameter (parameterId, parameterName)
{
    value.store (initialValue ? 1 : 0);
}

BoolParameter::BoolParameter (int parameterId, const juce::String& parameterName, const juce::String& valueText)
    : Parameter (parameterId, parameterName)
{
    BoolParameter::setValueFromText (valueText, true);
}

BoolParameter::BoolParameter (const BoolParameter& other, int newId, const juce::String& newName)
    : Parameter (other, newId, newName)
{
    value.store (other.value.load());
}

std::unique_ptr<Parameter> BoolParameter::clone (int newId, const juce::String& newName) const
{
    return std::unique_ptr<Parameter> (new BoolParameter (*this, newId, newName));
}

float BoolParameter::getValue() const { return value.load() != 0 ? 1.0f : 0.0f; }
float BoolParameter::getNormalisedValue() const { return getValue(); }
int BoolParameter::getIntValue() const { return value.load() != 0 ? 1 : 0; }
bool BoolParameter::getBoolValue() const { return value.load() != 0; }
juce::String BoolParameter::getText() const { return getBoolValue() ? "true" : "false"; }

void BoolParameter::setBoolValue (bool b, bool notify)
{
    const int newValue = b ? 1 : 0;

    if (value.load() == newValue)
        return;

    value.store (newValue);
    valueWasChanged (notify);
}

void BoolParameter::setValue (float v, bool notify)
{
    if (isFinite (v))
        setBoolValue (v != 0.0f, notify);
}

void BoolParameter::setNormalisedValue (float n, bool notify)
{
    if (isFinite (n))
        setBoolValue (limitToUnit (n) >= 0.5f, notify);
}

void BoolParameter::setIntValue (int v, bool notify) { setBoolValue (v != 0, notify); }

void BoolParameter::setValueFromText (const juce::String& text, bool notify)
{
    switch (findBoolKeyword (text))
    {
        case BoolKeyword::yes: setBoolValue (true, notify); return;
        case BoolKeyword::no: setBoolValue (false, notify); return;
        case BoolKeyword::none: break;
    }

    setNormalisedValue (text.getFloatValue(), notify);
}

void BoolParameter::copyValueFrom (const Parameter& other, bool notify) { setBoolValue (other.getBoolValue(), notify); }

//==============================================================================
AnswerParameter::AnswerParameter (int parameterId, const juce::String& parameterName, const juce::String& valueText)
    : BoolParameter (parameterId, parameterName, valueText)
{
    AnswerParameter::setValueFromText (valueText, true);
}

AnswerParameter::AnswerParameter (const AnswerParameter& other, int newId, const juce::String& newName)
    : BoolParameter (other, newId, newName)
{
}

std::unique_ptr<Parameter> AnswerParameter::clone (int newId, const juce::String& newName) const
{
    return std::unique_ptr<Parameter> (new AnswerParameter (*this, newId, newName));
}

juce::String AnswerParameter::getText() const { return getBoolValue() ? "yes" : "no"; }

void AnswerParameter::setValueFromText (const juce::String& text, bool notify)
{
    if (text == "yes")
        setBoolValue (true, notify);
    else if (text == "no")
        setBoolValue (false, notify);
    else
        BoolParameter::setValueFromText (text, notify);
}

//==============================================================================
LogicParameter::LogicParameter (int parameterId, const juce::String& parameterName, const juce::String& valueText)
    : BoolParameter (parameterId, parameterName, valueText)
{
    LogicParameter::setValueFromText (valueText, true);
}

LogicParameter::LogicParameter (const LogicParameter& other, int newId, const juce::String& newName)
    : BoolParameter (other, newId, newName)
{
}

std::unique_ptr<Parameter> LogicParameter::clone (int newId, const juce::String& newName) const
{
    return std::unique_ptr<Parameter> (new LogicParameter (*this, newId, newName));
}

juce::String LogicParameter::getText() const { return getBoolValue() ? "1" : "0"; }

void LogicParameter::setValueFromText (const juce::String& text, bool notify)
{
    if (text == "1")
        setBoolValue (true, notify);
    else if (text == "0")
        setBoolValue (false, notify);
    else
        BoolParameter::setValueFromText (text, notify);
}

//==============================================================================
StateParameter::StateParameter (int parameterId, const juce::String& parameterName, const juce::String& valueText)
    : BoolParameter (parameterId, parameterName, valueText)
{
    StateParameter::setValueFromText (valueText, true);
}

StateParameter::StateParameter (const StateParameter& other, int newId, const juce::String& newName)
    : BoolParameter (other, newId, newName)
{
}

std::unique_ptr<Parameter> StateParameter::clone (int newId, const juce::String& newName) const
{
    return std::unique_ptr<Parameter> (new StateParameter (*this, newId, newName));
}

juce::String StateParameter::getText() const { return getBoolValue() ? "on" : "off"; }

void StateParameter::setValueFromText (const juce::String& text, bool notify)
{
    if (text.equalsIgnoreCase ("on"))
        setBoolValue (true, notify);
    else if (text.equalsIgnoreCase ("off"))
        setBoolValue (false, notify);
    else
        BoolParameter::setValueFromText (text, notify);
}

//==============================================================================
ParameterController::~ParameterController()
{
    if (parameter != nullptr)
        parameter->removeAsyncListener (this);
}

void ParameterController::parameterChanged (Parameter* changed)
{
    updateFromParameter (changed);
}

void ParameterController::setParameter (Parameter* parameterToFollow)
{
    if (parameter != nullptr || parameterToFollow == nullptr)
        return;

    parameter = parameterToFollow;
    parameter->addAsyncListener (this);
    parameterChanged (parameter);
}

void ParameterController::setParameterIntValue (int newValue)
{
    if (parameter != nullptr)
        parameter->setIntValue (newValue, true);
}

void ParameterController::setParameterBoolValue (bool newValue)
{
    if (parameter != nullptr)
        parameter->setBoolValue (newValue, true);
}
