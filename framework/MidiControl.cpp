#include "framework/MidiControl.h"

#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"

namespace
{
bool isController (int controller) noexcept
{
    return juce::isPositiveAndBelow (controller, MidiControl::numControllers);
}
} // namespace

//==============================================================================
bool MidiControl::Iterator::next (Assignment& assignment)
{
    const juce::ScopedLock sl (map.lock);

    while (++position < numControllers)
    {
        if (auto* parameter = map.slots[static_cast<size_t> (position)])
        {
            assignment.parameter = parameter;
            assignment.controller = position;
            return true;
        }
    }

    position = numControllers;
    assignment = {};
    return false;
}

//==============================================================================
MidiControl::MidiControl (ParameterManager& parameterTable) : parameters (parameterTable)
{
}

MidiControl::~MidiControl()
{
    cancelPendingUpdate();
}

void MidiControl::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void MidiControl::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

template <typename Callback>
void MidiControl::callListeners (Callback&& callback)
{
    // Last added first; a listener may remove itself or others during the walk.
    for (int i = listeners.size() - 1; i >= 0; --i)
    {
        i = juce::jmin (i, listeners.size() - 1);

        if (i < 0)
            break;

        callback (*listeners.getUnchecked (i));
    }
}

//==============================================================================
bool MidiControl::isLearnMode() const
{
    const juce::ScopedLock sl (lock);
    return learnMode;
}

void MidiControl::setLearnMode (bool shouldLearn)
{
    const juce::ScopedLock sl (lock);

    if (learnMode == shouldLearn)
        return;

    learnMode = shouldLearn;
    learnParameter = nullptr;
    learnController = -1;

    // The listeners are the editor's. A host restoring its state on a thread of
    // its own (a map read leaves learn mode) hands the news to the message thread.
    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        callListeners ([this] (Listener& l) { l.midiLearnStateChanged (this); });
        return;
    }

    learnChanged = true;
    triggerAsyncUpdate();
}

void MidiControl::toggleLearnMode()
{
    const juce::ScopedLock sl (lock);
    setLearnMode (! learnMode);
}

void MidiControl::setLearnParameter (Parameter* parameter)
{
    const juce::ScopedLock sl (lock);

    if (parameter == learnParameter)
        return;

    if (learnController == -1 || learnParameter != nullptr)
        learnController = findControllerLocked (parameter);

    learnParameter = parameter;
    applyLearn();
}

void MidiControl::setLearnController (int controller)
{
    if (controller != -1 && ! isController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (controller == learnController)
        return;

    if (learnParameter == nullptr || learnController != -1)
        learnParameter = controller == -1 ? nullptr : slots[static_cast<size_t> (controller)];

    learnController = controller;
    applyLearn();
}

void MidiControl::selectController (int controller)
{
    if (! isController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (auto* parameter = slots[static_cast<size_t> (controller)])
    {
        learnParameter = parameter;
        learnController = controller;
        applyLearn();
    }
}

void MidiControl::applyLearn()
{
    // Learning never overwrites an occupied controller: the user frees it first.
    if (learnController != -1 && learnParameter != nullptr
        && slots[static_cast<size_t> (learnController)] == nullptr)
    {
        assignLocked (learnController, learnParameter);
        notifyMapChanged();
    }

    learnChanged = true;
    triggerAsyncUpdate();
}

Parameter* MidiControl::getLearnParameter() const
{
    const juce::ScopedLock sl (lock);
    return learnParameter;
}

int MidiControl::getLearnController() const
{
    const juce::ScopedLock sl (lock);
    return learnController;
}

int MidiControl::findControllerLocked (const Parameter* parameter) const
{
    if (parameter != nullptr)
        for (int i = 0; i < numControllers; ++i)
            if (slots[static_cast<size_t> (i)] == parameter)
                return i;

    return -1;
}

int MidiControl::findController (const Parameter* parameter) const
{
    const juce::ScopedLock sl (lock);
    return findControllerLocked (parameter);
}

Parameter* MidiControl::getParameter (int controller) const
{
    if (! isController (controller))
        return nullptr;

    const juce::ScopedLock sl (lock);
    return slots[static_cast<size_t> (controller)];
}

//==============================================================================
void MidiControl::assignLocked (int controller, Parameter* parameter)
{
    auto& slot = slots[static_cast<size_t> (controller)];

    if (parameter != nullptr)
    {
        const auto previous = findControllerLocked (parameter);

        if (previous != -1 && previous != controller)
            slots[static_cast<size_t> (previous)] = nullptr;
    }

    slot = parameter;
}

void MidiControl::notifyMapChanged()
{
    mapChanged = true;
    triggerAsyncUpdate();
}

void MidiControl::assign (int controller, Parameter* parameter, bool notify)
{
    if (! isController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (slots[static_cast<size_t> (controller)] == parameter)
        return;

    assignLocked (controller, parameter);

    if (notify)
        notifyMapChanged();
}

void MidiControl::unassign (int controller)
{
    if (! isController (controller))
        return;

    const juce::ScopedLock sl (lock);
    assign (controller, nullptr, true);

    if (learnMode)
    {
        learnParameter = nullptr;
        learnController = -1;
        applyLearn();
    }
}

void MidiControl::clearAll (bool notify)
{
    const juce::ScopedLock sl (lock);
    slots.fill (nullptr);

    if (notify)
        notifyMapChanged();
}

void MidiControl::handleController (const juce::MidiMessage& message)
{
    if (! message.isController())
        return;

    const auto controller = message.getControllerNumber();

    if (! isController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (learnMode)
        setLearnController (controller);

    if (auto* parameter = slots[static_cast<size_t> (controller)])
    {
        parameter->setNormalisedValue (static_cast<float> (message.getControllerValue()) / 127.0f, true);
        lastControlledParameter = parameter;
        controlReceived = true;
        triggerAsyncUpdate();
    }
}

//==============================================================================
void MidiControl::setMapName (const juce::String& newName)
{
    const juce::ScopedLock sl (lock);
    mapName = newName;
}

juce::String MidiControl::getMapName() const
{
    const juce::ScopedLock sl (lock);
    return mapName;
}

void MidiControl::setUseUserDefinedMap (bool shouldUse)
{
    const juce::ScopedLock sl (lock);
    useUserDefinedMap = shouldUse;
}

bool MidiControl::isUsingUserDefinedMap() const
{
    const juce::ScopedLock sl (lock);
    return useUserDefinedMap;
}

void MidiControl::setUserDefinedMapFile (const juce::File& file)
{
    const juce::ScopedLock sl (lock);
    userDefinedMapFile = file;
}

juce::File MidiControl::getUserDefinedMapFile() const
{
    const juce::ScopedLock sl (lock);
    return userDefinedMapFile;
}

//==============================================================================
bool MidiControl::isMidiControlMapXml (const juce::XmlElement* element)
{
    return element != nullptr
        && (XmlHelpers::tagMatches (*element, "MidiControlMap") || XmlHelpers::tagMatches (*element, "MidiCCMap"));
}

bool MidiControl::isMatchingMapXml (const juce::XmlElement* element) const
{
    if (! isMidiControlMapXml (element))
        return false;

    const auto name = getMapName();

    return name.isEmpty()
        || name.equalsIgnoreCase (element->getStringAttribute ("name"))
        || name.equalsIgnoreCase (element->getStringAttribute ("application"));
}

bool MidiControl::loadFromXml (const juce::XmlElement* element)
{
    if (! isMatchingMapXml (element))
        return false;

    setLearnMode (false);

    {
        const juce::ScopedLock sl (lock);
        slots.fill (nullptr);

        XmlHelpers::forEachChildNamed (*element, "assign", [this] (const juce::XmlElement& child)
        {
            auto* parameter = parameters.getParameterByName (child.getStringAttribute ("param"));
            int controller = 0;

            if (parameter == nullptr || ! parameter->getAutoFlag()
                || ! XmlFiles::readIntAttribute (child, "CC", 0, controller) || ! isController (controller))
                return;

            assignLocked (controller, parameter);
        });
    }

    notifyMapChanged();
    return true;
}

std::unique_ptr<juce::XmlElement> MidiControl::createXml() const
{
    auto element = std::make_unique<juce::XmlElement> ("MidiControlMap");
    const juce::ScopedLock sl (lock);
    element->setAttribute ("name", mapName);
    XmlHelpers::ChildList assignments;

    for (int i = 0; i < numControllers; ++i)
    {
        if (const auto* parameter = slots[static_cast<size_t> (i)])
        {
            auto* assignment = assignments.add ("assign");
            assignment->setAttribute ("CC", i);
            assignment->setAttribute ("param", parameter->getName());
        }
    }

    assignments.appendTo (*element);
    return element;
}

bool MidiControl::loadFromFile (const juce::File& file)
{
    const auto root = XmlFiles::read (file, maxMapFileBytes);
    return root != nullptr && loadFromXml (root.get());
}

bool MidiControl::saveToFile (const juce::File& file) const
{
    return XmlFiles::write (*createXml(), file, maxMapFileBytes);
}

bool MidiControl::loadUserDefinedMap()
{
    if (! isUsingUserDefinedMap())
        return false;

    return loadFromFile (getUserDefinedMapFile());
}

void MidiControl::handleAsyncUpdate()
{
    // Each flag is taken before its listeners run, so a change they cause is announced again.
    if (mapChanged.exchange (false))
        callListeners ([this] (Listener& l) { l.midiControlMapChanged (this); });

    if (learnChanged.exchange (false))
        callListeners ([this] (Listener& l) { l.midiLearnStateChanged (this); });

    if (controlReceived.exchange (false))
        callListeners ([this] (Listener& l) { l.midiControlReceived (this); });
}
