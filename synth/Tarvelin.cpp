#include "synth/Tarvelin.h"

Tarvelin::Tarvelin()
    : BasePluginOldStyle (TarvelinIds::numPresetParameters, TarvelinIds::numHostParameters - TarvelinIds::numPresetParameters)
{
    // The sequencer layer will own this flag; until it exists the instrument
    // asks for the initialise chain itself, so that the presets are set up.
    useInitialise = true;

    moveSettingsToUserFolder();
}

Tarvelin::~Tarvelin()
{
    // Settings and editor go first, while every layer's overrides still answer.
    saveSettingsOnClose();
    deleteEditor();
}

juce::String Tarvelin::getSoftwareDescription() const
{
    return "Monophonic bass-line synthesizer with a 16-step pattern sequencer";
}

juce::String Tarvelin::getSoftwareWebPage() const
{
    return "https://ulvra-group.example/plugins/tarvelin";
}

juce::String Tarvelin::getPluginFormatName() const
{
    // The format of the wrapper that made this instance (VST3, LV2, Standalone).
    return juce::AudioProcessor::getWrapperTypeDescription (wrapperType);
}

// The entry the format wrappers call when a host instantiates the plug-in.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return BasePlugin::createAndSetUp (std::make_unique<Tarvelin>()).release();
}
