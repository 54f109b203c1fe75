#pragma once

#include "framework/Parameter.h"

/**
    The plug-in's table of all its parameters, filled from the definitions in
    "parameters.xml" and extended in code by the higher layers.

    A read-write lock guards it: every look-up, read or set by id and every walk
    over all parameters holds the read lock, so the audio, automation and message
    threads can use it at once. Setting a value by id runs the parameter's
    synchronous listeners under that read lock, so a listener must never add
    parameters or clear the table.
*/
class ParameterManager
{
public:
    ParameterManager();
    virtual ~ParameterManager();

    /** Reads the definitions from a stored resource; a missing resource or text
        that is no XML leaves the table as it was. */
    void loadFromResource (const juce::String& resourceName);

    /** Clears the table and reads the "PluginParameters" definitions. */
    void loadFromXml (const juce::XmlElement& root);

    /** Takes ownership. Refused (false) when the object is already in the table,
        or when its id or name is taken, in which case the object is deleted. */
    bool addParameter (Parameter* parameter);

    void clear();

    const juce::String& getApplication() const noexcept { return application; }
    int getNumParameters() const;

    /** The parameter at a position in definition order, or null. */
    Parameter* getParameterAt (int index) const;

    Parameter* getParameter (int id) const;
    Parameter* getParameterByName (const juce::String& name) const;
    int getIdOf (const juce::String& name) const;
    const juce::String& getNameOf (int id) const;

    float getValue (int id) const;
    float getNormalisedValue (int id) const;
    juce::String getText (int id) const;

    void setValue (int id, float value);
    void setNormalisedValue (int id, float value);
    void setIntValue (int id, int value);
    void setBoolValue (int id, bool value);
    void setValueFromText (int id, const juce::String& text);

    /** The parameter toId takes the value of fromId; nothing when either is absent. */
    void copyValue (int toId, int fromId);

    void addListenerToAll (Parameter::Listener* listener);
    void addAsyncListenerToAll (Parameter::Listener* listener);
    void removeAsyncListenerFromAll (Parameter::Listener* listener);

    void addListener (int id, Parameter::Listener* listener);
    void addAsyncListener (int id, Parameter::Listener* listener);
    void removeAsyncListener (int id, Parameter::Listener* listener);

    /** Announces every current value once, in definition order. */
    void sendAllValuesChanged();
    void sendValueChanged (int id);

private:
    Parameter* findById (int id) const;

    template <typename Function>
    void withParameter (int id, Function&& function) const;

    template <typename Function>
    void forEachParameter (Function&& function) const;

    juce::OwnedArray<Parameter> parameters;
    juce::String application;
    juce::HashMap<int, Parameter*> parametersById { 10000 };
    juce::HashMap<juce::String, Parameter*> parametersByName { 10000 };
    mutable juce::ReadWriteLock lock;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParameterManager)
};
