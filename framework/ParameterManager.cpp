#include "framework/ParameterManager.h"

#include "framework/BundleResources.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"

#include <cmath>

ParameterManager::ParameterManager() = default;

ParameterManager::~ParameterManager()
{
    clear();
}

void ParameterManager::loadFromResource (const juce::String& resourceName)
{
    const auto text = loadBundleResourceAsString (resourceName);

    if (text.isEmpty())
        return;

    if (const auto root = XmlFiles::parse (text))
        loadFromXml (*root);
}

void ParameterManager::loadFromXml (const juce::XmlElement& root)
{
    clear();

    {
        const juce::ScopedWriteLock sl (lock);
        application = root.getStringAttribute ("application");
    }

    if (! XmlHelpers::tagMatches (root, "PluginParameters"))
        return;

    XmlHelpers::forEachChildNamed (root, "param", [this] (const juce::XmlElement& element)
    {
        const auto index = element.getIntAttribute ("index", -1);
        const auto name = element.getStringAttribute ("name");

        if (index == -1 || name.isEmpty())
            return;

        const auto valueText = element.getStringAttribute ("value");
        const auto type = element.getStringAttribute ("type", "float");
        Parameter* parameter = nullptr;

        if (type == "float")
        {
            const auto minimum = static_cast<float> (element.getDoubleAttribute ("min", 0.0));
            const auto maximum = static_cast<float> (element.getDoubleAttribute ("max", 1.0));

            // A range that is not finite would let every value through as NaN.
            if (! std::isfinite (minimum) || ! std::isfinite (maximum))
                return;

            parameter = new FloatParameter (index, name, minimum, maximum, valueText.getFloatValue());
        }
        else if (type == "int")
        {
            parameter = new IntParameter (index, name,
                                          element.getIntAttribute ("min", 0),
                                          element.getIntAttribute ("max", 1),
                                          valueText.getIntValue());
        }
        else if (type == "string") parameter = new StringParameter (index, name, valueText);
        else if (type == "bool")   parameter = new BoolParameter (index, name, valueText);
        else if (type == "state")  parameter = new StateParameter (index, name, valueText);
        else if (type == "logic")  parameter = new LogicParameter (index, name, valueText);
        else if (type == "answer") parameter = new AnswerParameter (index, name, valueText);
        else if (type == "enum")   parameter = new EnumParameter (index, name, element.getStringAttribute ("enum"), valueText);
        else if (type == "note")   parameter = new NoteParameter (index, name, valueText);

        if (parameter == nullptr)
            return;

        parameter->setAutoFlag (element.getBoolAttribute ("auto", false));
        addParameter (parameter);
    });
}

bool ParameterManager::addParameter (Parameter* parameter)
{
    if (parameter == nullptr)
        return false;

    std::unique_ptr<Parameter> owned (parameter);

    {
        const juce::ScopedWriteLock sl (lock);

        // Every parameter held is in the id map: asked there, a table of
        // thousands of definitions does not search the whole list for each.
        if (parametersById.contains (parameter->getId()) && parametersById[parameter->getId()] == parameter)
        {
            owned.release();
            return false;
        }

        if (! parametersById.contains (parameter->getId())
            && ! parametersByName.contains (parameter->getName()))
        {
            parameters.add (owned.release());
            parametersById.set (parameter->getId(), parameter);
            parametersByName.set (parameter->getName(), parameter);
            return true;
        }
    }

    // Deleted outside the lock: a refused duplicate takes nothing else with it.
    return false;
}

void ParameterManager::clear()
{
    const juce::ScopedWriteLock sl (lock);
    parametersById.clear();
    parametersByName.clear();
    parameters.clear();
}

int ParameterManager::getNumParameters() const
{
    const juce::ScopedReadLock sl (lock);
    return parameters.size();
}

Parameter* ParameterManager::getParameterAt (int index) const
{
    const juce::ScopedReadLock sl (lock);
    return parameters[index];
}

Parameter* ParameterManager::findById (int id) const
{
    return parametersById[id];
}

Parameter* ParameterManager::getParameter (int id) const
{
    const juce::ScopedReadLock sl (lock);
    return findById (id);
}

Parameter* ParameterManager::getParameterByName (const juce::String& name) const
{
    const juce::ScopedReadLock sl (lock);
    return parametersByName[name];
}

int ParameterManager::getIdOf (const juce::String& name) const
{
    const juce::ScopedReadLock sl (lock);
    const auto* parameter = parametersByName[name];
    return parameter != nullptr ? parameter->getId() : -1;
}

const juce::String& ParameterManager::getNameOf (int id) const
{
    static const juce::String noName;
    const juce::ScopedReadLock sl (lock);
    const auto* parameter = findById (id);
    return parameter != nullptr ? parameter->getName() : noName;
}

template <typename Function>
void ParameterManager::withParameter (int id, Function&& function) const
{
    const juce::ScopedReadLock sl (lock);

    if (auto* parameter = findById (id))
        function (*parameter);
}

template <typename Function>
void ParameterManager::forEachParameter (Function&& function) const
{
    const juce::ScopedReadLock sl (lock);

    for (auto* parameter : parameters)
        function (*parameter);
}

float ParameterManager::getValue (int id) const
{
    float result = 0.0f;
    withParameter (id, [&] (Parameter& p) { result = p.getValue(); });
    return result;
}

float ParameterManager::getNormalisedValue (int id) const
{
    float result = 0.0f;
    withParameter (id, [&] (Parameter& p) { result = p.getNormalisedValue(); });
    return result;
}

juce::String ParameterManager::getText (int id) const
{
    juce::String result;
    withParameter (id, [&] (Parameter& p) { result = p.getText(); });
    return result;
}

void ParameterManager::setValue (int id, float value)
{
    withParameter (id, [=] (Parameter& p) { p.setValue (value, true); });
}

void ParameterManager::setNormalisedValue (int id, float value)
{
    withParameter (id, [=] (Parameter& p) { p.setNormalisedValue (value, true); });
}

void ParameterManager::setIntValue (int id, int value)
{
    withParameter (id, [=] (Parameter& p) { p.setIntValue (value, true); });
}

void ParameterManager::setBoolValue (int id, bool value)
{
    withParameter (id, [=] (Parameter& p) { p.setBoolValue (value, true); });
}

void ParameterManager::setValueFromText (int id, const juce::String& text)
{
    withParameter (id, [&] (Parameter& p) { p.setValueFromText (text, true); });
}

void ParameterManager::copyValue (int toId, int fromId)
{
    const juce::ScopedReadLock sl (lock);
    auto* to = findById (toId);
    const auto* from = findById (fromId);

    if (to != nullptr && from != nullptr)
        to->copyValueFrom (*from, true);
}

void ParameterManager::addListenerToAll (Parameter::Listener* listener)
{
    forEachParameter ([=] (Parameter& p) { p.addListener (listener); });
}

void ParameterManager::addAsyncListenerToAll (Parameter::Listener* listener)
{
    forEachParameter ([=] (Parameter& p) { p.addAsyncListener (listener); });
}

void ParameterManager::removeAsyncListenerFromAll (Parameter::Listener* listener)
{
    forEachParameter ([=] (Parameter& p) { p.removeAsyncListener (listener); });
}

void ParameterManager::addListener (int id, Parameter::Listener* listener)
{
    withParameter (id, [=] (Parameter& p) { p.addListener (listener); });
}

void ParameterManager::addAsyncListener (int id, Parameter::Listener* listener)
{
    withParameter (id, [=] (Parameter& p) { p.addAsyncListener (listener); });
}

void ParameterManager::removeAsyncListener (int id, Parameter::Listener* listener)
{
    withParameter (id, [=] (Parameter& p) { p.removeAsyncListener (listener); });
}

void ParameterManager::sendAllValuesChanged()
{
    forEachParameter ([] (Parameter& p) { p.sendValueChangedToAll(); });
}

void ParameterManager::sendValueChanged (int id)
{
    withParameter (id, [] (Parameter& p) { p.sendValueChangedToAll(); });
}
