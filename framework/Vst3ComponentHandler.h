#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>

namespace Steinberg
{
class FUnknown;
namespace Vst
{
class IComponentHandler;
} // namespace Vst
} // namespace Steinberg

/**
    The component handler a VST3 host gave the plug-in's edit controller: the
    way to tell the host that a parameter's value changed.

    JUCE's VST3 wrapper tells the host itself only about changes made on the
    plug-in's own message thread; a change made on the thread from which the
    host called the controller reaches the host only through the processing's
    output, which some hosts never read into the values they show. Through this
    handler the plug-in tells such changes at once, on the host's own thread.
    Without a VST3 host (other formats, or before the host connected) it does
    nothing.
*/
class Vst3ComponentHandler
{
public:
    Vst3ComponentHandler() = default;
    ~Vst3ComponentHandler();

    /** Takes the host's handler (any object the host passed); null forgets it. */
    void setHandler (Steinberg::FUnknown* handler);

    bool hasHandler() const noexcept                            { return handler.load() != nullptr; }

    /** Tells the host one parameter's new value, as a finished edit; false
        without a handler. Call it only on a thread on which the host calls the
        edit controller. */
    bool tellValue (const juce::String& parameterId, float normalisedValue);

    /** The VST3 id under which JUCE's wrapper presents a parameter with this id. */
    static juce::uint32 getVst3ParameterId (const juce::String& parameterId);

private:
    std::atomic<Steinberg::Vst::IComponentHandler*> handler { nullptr };

    JUCE_DECLARE_NON_COPYABLE (Vst3ComponentHandler)
};
