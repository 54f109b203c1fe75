#include "synth/Tarvelin.h"

Tarvelin::Tarvelin() = default;
Tarvelin::~Tarvelin() = default;

// The entry the format wrappers call when a host instantiates the plug-in.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return BasePlugin::createAndSetUp (std::make_unique<Tarvelin>());
}
