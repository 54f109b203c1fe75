#include "editor/StandaloneQuitSignals.h"
#include "editor/TarvelinEditor.h"

// The entry the format wrappers call when a host instantiates the plug-in: the
// instrument, set up with its editor (the instrument itself knows no editor).
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    auto instrument = std::make_unique<Tarvelin>();
    auto& plugin = *instrument;
    instrument->setEditorFactory ([&plugin] { return std::make_unique<TarvelinEditor> (plugin); });

    if (juce::PluginHostType::getPluginLoadedAs() == juce::AudioProcessor::wrapperType_Standalone)
        StandaloneQuitSignals::install();

    return BasePlugin::createAndSetUp (std::move (instrument)).release();
}
