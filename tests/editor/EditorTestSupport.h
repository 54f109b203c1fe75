#pragma once

#include "editor/BasePluginEditor.h"
#include "editor/GUISettingsComponent.h"
#include "framework/PresetFolderTree.h"
#include "support/SkinTestSupport.h"
#include "support/TestPlugins.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

/*  A framework plug-in named "Tarvelin" (so the default skin loads, with the
    instrument's parameters and events) whose editor is the base editor. Its
    display texts, preset folder tree and file commands can be set or watched
    by a test.
*/
struct EditorTestOptions
{
    bool skinChoice = false;
    bool useInitialise = false;
    int qualityId = -1;
};

/** The base editor, its skin choice fitting a screen the test gives. */
class EditorOnScreen : public BasePluginEditor
{
public:
    EditorOnScreen (BasePlugin& pluginToEdit, bool skinChoice, juce::Rectangle<int> screen)
        : BasePluginEditor (pluginToEdit, skinChoice), screenArea (screen)
    {
    }

    std::unique_ptr<GUISettingsComponent> createGUISettingsPage() override
    {
        return std::make_unique<GUISettingsComponent> (*this, screenArea);
    }

private:
    const juce::Rectangle<int> screenArea;
};

class EditorTestPlugin : public TestPlugin
{
public:
    explicit EditorTestPlugin (EditorTestOptions editorOptions)
        : TestPlugin (makeOptions (editorOptions)), options (editorOptions)
    {
    }

    ~EditorTestPlugin() override
    {
        // While this layer still answers: the editor's worker may ask it.
        saveSettingsOnClose();
        deleteEditor();
    }

    /** Set up as the wrappers do; keepSettings leaves what the test put into the settings folders. */
    /** screen: what the skin choice sees (empty: no display); the main display when not given. */
    static std::unique_ptr<EditorTestPlugin> create (EditorTestOptions options = {}, bool keepSettings = false,
                                                     std::optional<juce::Rectangle<int>> screen = std::nullopt)
    {
        if (! keepSettings)
            removeSettingsOf ("Tarvelin");

        auto plugin = std::make_unique<EditorTestPlugin> (options);
        plugin->screenArea = screen;
        return setUp (std::move (plugin));
    }

    /** The skins folder of a plug-in named "Tarvelin", for packages installed before one is made. */
    static juce::File skinsFolder()
    {
        return TestPlugin ({ "Tarvelin" }).getCommonSettingsFolder().getChildFile ("Skins");
    }

    std::unique_ptr<PersistentEditor> createPluginEditor() override
    {
        if (screenArea.has_value())
            return std::make_unique<EditorOnScreen> (*this, options.skinChoice, *screenArea);

        return std::make_unique<BasePluginEditor> (*this, options.skinChoice);
    }

    BasePluginEditor& editor() const { return *dynamic_cast<BasePluginEditor*> (getPersistentEditor()); }

    juce::String getParameterDisplayText (int id) const override
    {
        const auto found = displayTexts.find (id);
        return found != displayTexts.end() ? found->second : TestPlugin::getParameterDisplayText (id);
    }

    int getNumPresetFolderTrees() const override                        { return 1; }
    PresetFolderTree* getPresetFolderTree (int) const override          { return tree.get(); }
    PresetFolderTree* getPresetFolderTree (const juce::String& name) const override
    {
        return name == "Presets" ? tree.get() : nullptr;
    }

    juce::String getCurrentPresetName (PresetFolderTree*) const override { return currentPresetName; }
    bool isCurrentPresetDetached (PresetFolderTree* t) const override   { return t != nullptr && detached; }

    bool savePresetFile (PresetFolderTree*, const juce::File& file) override
    {
        calls.push_back ("save " + file.getFileName());
        return ! presetSavesFail;
    }

    void performEvent (int uid) override                        { calls.push_back ("event " + juce::String (uid)); }
    bool loadNextPresetFile (PresetFolderTree*) override        { calls.push_back ("next"); return true; }
    bool loadPreviousPresetFile (PresetFolderTree*) override    { calls.push_back ("previous"); return true; }

    bool updatePresetFileAuthor (const juce::File& file) override
    {
        return onUpdateAuthor != nullptr ? onUpdateAuthor (file) : false;
    }

    /** A tree over a folder of empty ".tqprs" files with these names. */
    void makeTree (const juce::File& folder, const juce::StringArray& fileNames)
    {
        folder.createDirectory();

        for (const auto& name : fileNames)
            folder.getChildFile (name + ".tqprs").create();

        tree = std::make_unique<PresetFolderTree> (folder, ".tqprs");
        tree->rescan();
    }

    std::map<int, juce::String> displayTexts;
    std::unique_ptr<PresetFolderTree> tree;
    juce::String currentPresetName { "Lead" };
    bool detached = false;
    bool presetSavesFail = false;
    std::vector<juce::String> calls;
    std::function<bool (const juce::File&)> onUpdateAuthor;

private:
    static TestPluginOptions makeOptions (const EditorTestOptions& editorOptions)
    {
        TestPluginOptions pluginOptions;
        pluginOptions.name = "Tarvelin";
        pluginOptions.numHostParameters = 36;
        pluginOptions.useInitialise = editorOptions.useInitialise;
        pluginOptions.realtimeQualityId = pluginOptions.offlineQualityId = editorOptions.qualityId;
        pluginOptions.defaultRealtimeQualityId = pluginOptions.defaultOfflineQualityId = editorOptions.qualityId;
        return pluginOptions;
    }

    EditorTestOptions options;
    std::optional<juce::Rectangle<int>> screenArea;
};
