#pragma once

#include "framework/BasePluginOldStyle.h"

#include <memory>

/*  An old-style plug-in for the framework's tests: the instrument's name,
    parameters and factory resources, without the instrument itself. A short
    name of its own finds no factory resources, as if they were missing.
*/
struct OldStyleTestOptions
{
    juce::String shortName { "TQ" };
    bool changingModeSupported = true;
};

class OldStyleTestPlugin : public BasePluginOldStyle
{
public:
    using Options = OldStyleTestOptions;

    explicit OldStyleTestPlugin (Options pluginOptions = {})
        : BasePluginOldStyle (33, 3), options (std::move (pluginOptions))
    {
        useInitialise = true;
    }

    ~OldStyleTestPlugin() override
    {
        saveSettingsOnClose();
        deleteEditor();
    }

    /** Made and set up the way the format wrappers make the plug-in. */
    static std::unique_ptr<OldStyleTestPlugin> create (Options options = {})
    {
        auto plugin = BasePlugin::createAndSetUp (std::make_unique<OldStyleTestPlugin> (std::move (options)));
        return std::unique_ptr<OldStyleTestPlugin> (static_cast<OldStyleTestPlugin*> (plugin.release()));
    }

    juce::String getPluginName() const override                 { return "Tarvelin"; }
    juce::String getPluginShortName() const override            { return options.shortName; }
    int getNumHostParameters() const override                   { return 36; }
    bool isPresetChangingModeSupported() const override         { return options.changingModeSupported; }

    juce::String getSoftwareDescription() const override        { return {}; }
    juce::String getSoftwareVersion() const override            { return {}; }
    juce::String getSoftwareWebPage() const override            { return {}; }
    juce::String getSoftwareYear() const override               { return {}; }
    juce::String getBuildDate() const override                  { return {}; }
    juce::String getPluginFormatName() const override           { return {}; }

    std::unique_ptr<PersistentEditor> createPluginEditor() override { return nullptr; }

private:
    Options options;
};

/** Removes the instrument's settings folders, so a test starts with no settings. */
inline void removeOldStyleSettings()
{
    OldStyleTestPlugin probe;
    probe.getUserSettingsFolder().deleteRecursively();
    probe.getCommonSettingsFolder().deleteRecursively();
}
