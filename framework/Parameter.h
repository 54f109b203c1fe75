#pragma once

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <atomic>
#include <memory>

/**
    A numbered, named value of the plug-in that hosts, controls, presets, the
    MIDI CC map and the sequencer read and change.

    The value is stored atomically, so any thread may read or set it. A change
    is stored only when the value differs; with notification on, the
    synchronous listeners hear it at once on the changing thread and the
    asynchronous listeners once per burst of changes on the message thread.
    Every listener list is walked from the last listener added to the first,
    and a listener may remove itself or others while it is being called.

    Non-finite numbers (and texts that read as such) are ignored by every setter.
*/
class Parameter : public juce::AsyncUpdater
{
public:
    /** Hears value changes and gestures of a parameter. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void parameterChanged (Parameter* parameter) = 0;
        virtual void parameterChangeGestureBegin (Parameter*) {}
        virtual void parameterChangeGestureEnd (Parameter*) {}
    };

    Parameter (int id, const juce::String& name);
    ~Parameter() override;

    /** A new parameter of the same kind, range and value under another id and name; no listeners. */
    virtual std::unique_ptr<Parameter> clone (int newId, const juce::String& newName) const = 0;

    virtual float getValue() const = 0;
    virtual float getNormalisedValue() const = 0;
    virtual int getIntValue() const = 0;
    virtual bool getBoolValue() const = 0;
    virtual juce::String getText() const = 0;

    virtual void setValue (float value, bool notify) = 0;
    virtual void setNormalisedValue (float value, bool notify) = 0;
    virtual void setIntValue (int value, bool notify) = 0;
    virtual void setBoolValue (bool value, bool notify) = 0;
    virtual void setValueFromText (const juce::String& text, bool notify) = 0;
    virtual void copyValueFrom (const Parameter& other, bool notify) = 0;

    int getId() const noexcept { return id; }
    const juce::String& getName() const noexcept { return name; }

    /** Only parameters with this flag may be shown to the host or learnt by MIDI controllers. */
    bool getAutoFlag() const noexcept { return autoFlag; }
    void setAutoFlag (bool shouldBeAutomatable) noexcept { autoFlag = shouldBeAutomatable; }

    /** Adds a listener called on the changing thread. There is no removal: the
        plug-in object, the only such listener, lives as long as its parameters. */
    void addListener (Listener* listener);

    /** The asynchronous list, changed and walked on the message thread only. */
    void addAsyncListener (Listener* listener);
    void removeAsyncListener (Listener* listener);

    int getNumListeners() const noexcept { return listeners.size(); }
    int getNumAsyncListeners() const noexcept { return asyncListeners.size(); }

    void sendValueChanged();
    void sendGestureBegin();
    void sendGestureEnd();

    /** Announces the current value to both lists without a change. */
    void sendValueChangedToAll();

    void handleAsyncUpdate() override;

protected:
    /** Copies id, name and the auto flag, then takes the new id and name. */
    Parameter (const Parameter& other, int newId, const juce::String& newName);

    /** Tells the listeners of a stored change when asked to. */
    void valueWasChanged (bool notify);

private:
    template <typename Callback>
    void callListeners (juce::Array<Listener*>& list, Callback&& callback);

    int id;
    juce::String name;
    bool autoFlag = false;
    juce::Array<Listener*> listeners;
    juce::Array<Listener*> asyncListeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Parameter)
};

//==============================================================================
/** A continuous value in a float range. Its text has 9 significant digits. */
class FloatParameter : public Parameter
{
public:
    FloatParameter (int id, const juce::String& name, float minimum, float maximum, float value);

    std::unique_ptr<Parameter> clone (int newId, const juce::String& newName) const override;

    float getValue() const override;
    float getNormalisedValue() const override;
    int getIntValue() const override;
    bool getBoolValue() const override;
    juce::String getText() const override;

    void setValue (float value, bool notify) override;
    void setNormalisedValue (float value, bool notify) override;
    void setIntValue (int value, bool notify) override;
    void setBoolValue (bool value, bool notify) override;
    void setValueFromText (const juce::String& text, bool notify) override;
    void copyValueFrom (const Parameter& other, bool notify) override;

    float getMinimum() const noexcept { return minimum; }
    float getMaximum() const noexcept { return maximum; }

protected:
    FloatParameter (const FloatParameter& other, int newId, const juce::String& newName);

private:
    float clamp (float v) const noexcept;
    void store (float newValue, bool notify);

    float minimum, maximum;
    std::atomic<float> value { 0.0f };
};

//==============================================================================
/** An integer value in a range. */
class IntParameter : public Parameter
{
public:
    IntParameter (int id, const juce::String& name, int minimum, int maximum, int value);

    std::unique_ptr<Parameter> clone (int newId, const juce::String& newName) const override;

    float getValue() const override;
    float getNormalisedValue() const override;
    int getIntValue() const override;
    bool getBoolValue() const override;
    juce::String getText() const override;

    void setValue (float value, bool notify) override;
    void setNormalisedValue (float value, bool notify) override;
    void setIntValue (int value, bool notify) override;
    void setBoolValue (bool value, bool notify) override;
    void setValueFromText (const juce::String& text, bool notify) override;
    void copyValueFrom (const Parameter& other, bool notify) override;

    int getMinimum() const noexcept { return minimum; }
    int getMaximum() const noexcept { return maximum; }

    /** Refused unless the new minimum is at most the maximum and differs; the value is re-clamped. */
    void setMinimum (int newMinimum);
    /** Refused unless the new maximum is at least the minimum and differs; the value is re-clamped. */
    void setMaximum (int newMaximum);

protected:
    IntParameter (const IntParameter& other, int newId, const juce::String& newName);

private:
    int clamp (int v) const noexcept;
    int clamp (double v) const noexcept;

    int minimum, maximum;
    std::atomic<int> value { 0 };
};

//==============================================================================
/** An integer that indexes a list of names given as one ";"-separated text. */
class EnumParameter : public IntParameter
{
public:
    EnumParameter (int id, const juce::String& name, const juce::String& namesText, const juce::String& valueText);

    std::unique_ptr<Parameter> clone (int newId, const juce::String& newName) const override;

    juce::String getText() const override;
    void setValueFromText (const juce::String& text, bool notify) override;

    /** Replaces the names (empty items between separators are kept) and the range 0..count-1. */
    void setNames (const juce::String& newNamesText);

    const juce::StringArray& getNames() const noexcept { return names; }
    const juce::String& getNamesText() const noexcept { return namesText; }

protected:
    EnumParameter (const EnumParameter& other, int newId, const juce::String& newName);

private:
    juce::StringArray names;
    juce::String namesText;
};

//==============================================================================
/** A MIDI note 0..127 shown by its note name ("C-5"). */
class NoteParameter : public IntParameter
{
public:
    NoteParameter (int id, const juce::String& name, const juce::String& valueText);

    std::unique_ptr<Parameter> clone (int newId, const juce::String& newName) const override;

    juce::String getText() const override;
    void setValueFromText (const juce::String& text, bool notify) override;

protected:
    NoteParameter (const NoteParameter& other, int newId, const juce::String& newName);
};

//==============================================================================
/** A text value, guarded by a read-write lock. */
class StringParameter : public Parameter
{
public:
    StringParameter (int id, const juce::String& name, const juce::String& value);

    std::unique_ptr<Parameter> clone (int newId, const juce::String& newName) const override;

    float getValue() const override;
    float getNormalisedValue() const override;
    int getIntValue() const override;
    bool getBoolValue() const override;
    juce::String getText() const override;

    void setValue (float value, bool notify) override;
    void setNormalisedValue (float value, bool notify) override;
    void setIntValue (int value, bool notify) override;
    void setBoolValue (bool value, bool notify) override;
    void setValueFromText (const juce::String& text, bool notify) override;
    void copyValueFrom (const Parameter& other, bool notify) override;

protected:
    StringParameter (const StringParameter& other, int newId, const juce::String& newName);

private:
    void store (const juce::String& newValue, bool notify);

    mutable juce::ReadWriteLock lock;
    juce::String value;
};

//==============================================================================
/** An on/off value shown as "true" or "false". */
class BoolParameter : public Parameter
{
public:
    BoolParameter (int id, const juce::String& name, bool value);
    BoolParameter (int id, const juce::String& name, const juce::String& valueText);

    std::unique_ptr<Parameter> clone (int newId, const juce::String& newName) const override;

    float getValue() const override;
    float getNormalisedValue() const override;
    int getIntValue() const override;
    bool getBoolValue() const override;
    juce::String getText() const override;

    void setValue (float value, bool notify) override;
    void setNormalisedValue (float value, bool notify) override;
    void setIntValue (int value, bool notify) override;
    void setBoolValue (bool value, bool notify) override;
    void setValueFromText (const juce::String& text, bool notify) override;
    void copyValueFrom (const Parameter& other, bool notify) override;

protected:
    BoolParameter (const BoolParameter& other, int newId, const juce::String& newName);

private:
    std::atomic<int> value { 0 };
};

/** A bool shown as "yes" or "no". */
class AnswerParameter : public BoolParameter
{
public:
    AnswerParameter (int id, const juce::String& name, const juce::String& valueText);

    std::unique_ptr<Parameter> clone (int newId, const juce::String& newName) const override;
    juce::String getText() const override;
    void setValueFromText (const juce::String& text, bool notify) override;

protected:
    AnswerParameter (const AnswerParameter& other, int newId, const juce::String& newName);
};

/** A bool shown as "1" or "0". */
class LogicParameter : public BoolParameter
{
public:
    LogicParameter (int id, const juce::String& name, const juce::String& valueText);

    std::unique_ptr<Parameter> clone (int newId, const juce::String& newName) const override;
    juce::String getText() const override;
    void setValueFromText (const juce::String& text, bool notify) override;

protected:
    LogicParameter (const LogicParameter& other, int newId, const juce::String& newName);
};

/** A bool shown as "on" or "off"; its keywords are read ignoring case. */
class StateParameter : public BoolParameter
{
public:
    StateParameter (int id, const juce::String& name, const juce::String& valueText);

    std::unique_ptr<Parameter> clone (int newId, const juce::String& newName) const override;
    juce::String getText() const override;
    void setValueFromText (const juce::String& text, bool notify) override;

protected:
    StateParameter (const StateParameter& other, int newId, const juce::String& newName);
};

//==============================================================================
/** The base of every interface control bound to one parameter. */
class ParameterController : public Parameter::Listener
{
public:
    ParameterController() = default;
    ~ParameterController() override;

    /** Forwards to updateFromParameter. */
    void parameterChanged (Parameter* changed) override;

    /** The control shows the parameter's value. */
    virtual void updateFromParameter (Parameter* changed) = 0;

    /** Binds once: a second call, or a null parameter, is ignored. The control
        then follows the parameter on the message thread and shows its value at once. */
    void setParameter (Parameter* parameterToFollow);
    Parameter* getParameter() const noexcept { return parameter; }

    void setParameterIntValue (int newValue);
    void setParameterBoolValue (bool newValue);

private:
    Parameter* parameter = nullptr;

    JUCE_DECLARE_NON_COPYABLE (ParameterController)
};

//==============================================================================
/** A parameter id and a value as text, as presets keep them. */
struct ParameterValue
{
    int index = -1;
    juce::String value;
};
