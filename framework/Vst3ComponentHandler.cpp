#include "framework/Vst3ComponentHandler.h"

#include <pluginterfaces/vst/ivsteditcontroller.h>

Vst3ComponentHandler::~Vst3ComponentHandler()
{
    setHandler (nullptr);
}

void Vst3ComponentHandler::setHandler (Steinberg::FUnknown* unknown)
{
    Steinberg::Vst::IComponentHandler* found = nullptr;

    // The interface's id is taken from its declaration: the symbol that
    // defines it lives only in the VST3 wrapper, which the other formats lack.
    if (unknown != nullptr)
    {
        void* object = nullptr;

        if (unknown->queryInterface (Steinberg::Vst::IComponentHandler_iid, &object) == Steinberg::kResultOk)
            found = static_cast<Steinberg::Vst::IComponentHandler*> (object);
    }

    // queryInterface counted a reference for us; the old handler's goes.
    if (auto* previous = handler.exchange (found))
        previous->release();
}

bool Vst3ComponentHandler::tellValue (const juce::String& parameterId, float normalisedValue)
{
    auto* host = handler.load();

    if (host == nullptr)
        return false;

    const auto id = getVst3ParameterId (parameterId);
    host->beginEdit (id);
    host->performEdit (id, static_cast<Steinberg::Vst::ParamValue> (normalisedValue));
    host->endEdit (id);
    return true;
}

juce::uint32 Vst3ComponentHandler::getVst3ParameterId (const juce::String& parameterId)
{
    // As JUCE's wrapper makes it: the id's hash, without the top bit, which
    // some hosts take for a sign.
    return static_cast<juce::uint32> (parameterId.hashCode()) & 0x7fffffffu;
}
