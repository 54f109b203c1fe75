#pragma once

#include "editor/BasePluginEditor.h"
#include "editor/OldStylePresetBrowserWindow.h"
#include "framework/BasePluginOldStyle.h"
#include "skin/GFXDisplayListener.h"
#include "widgets/DefaultResourcesRadioButtons.h"
#include "widgets/PathComponent.h"
#include "widgets/RadioButtons_V2.h"

#include <memory>

class GFXDisplay;

/**
    The editor layer of plug-ins whose presets live in the numbered slots of
    one bank: the skin's preset-name display renames the current preset, the
    preset events step, copy, paste and store, the preset browser window opens
    on "Browse presets", and the options window gets a "Presets" page with the
    storing, changing and default-presets choices.
*/
class BasePluginEditorOldStyle : public BasePluginEditor,
                                 public RadioButtons_V2::Listener,
                                 public GFXDisplayListener
{
public:
    /** The old-style "Presets" page. The default-presets choice takes effect
        when the plug-in is next loaded. */
    class PresetsSettingsComponent : public juce::Component,
                                     public RadioButtons_V2::Listener,
                                     public PathComponent::Listener
    {
    public:
        PresetsSettingsComponent (BasePluginOldStyle& plugin, const juce::String& bankWildcard);
        ~PresetsSettingsComponent() override;

        RadioButtons_V2& getStoringButtons() noexcept               { return storingButtons; }
        RadioButtons_V2& getChangingButtons() noexcept              { return changingButtons; }
        DefaultResourcesRadioButtons& getDefaultPresetsButtons() noexcept { return defaultPresetsButtons; }

        void radioButtonsChanged (RadioButtons_V2* group) override;
        void pathChanged (PathComponent* component) override;
        void lookAndFeelChanged() override;
        void resized() override;

    private:
        RadioButtons_V2 storingButtons { "Preset storing", { "Automatic", "On demand" } };
        RadioButtons_V2 changingButtons { "Changing type", { "Normal", "Silent" } };
        DefaultResourcesRadioButtons defaultPresetsButtons { "Default presets", { "Factory presets", "Clear presets", "User defined" } };
        BasePluginOldStyle& plugin;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetsSettingsComponent)
    };

    BasePluginEditorOldStyle (BasePluginOldStyle& plugin, bool skinChoiceEnabled);
    ~BasePluginEditorOldStyle() override;

    PresetsSettingsComponent& getPresetsPage() noexcept     { return *presetsPage; }
    OldStylePresetBrowserWindow& getPresetBrowser() noexcept { return *presetBrowser; }
    GFXDisplay* getPresetNameDisplay() const noexcept       { return presetNameDisplay; }

    void controllerEventTriggered (GUIController* controller, int eventId) override;
    void handleEditorCreated() override;
    void handleSkinLoaded() override;
    void radioButtonsChanged (RadioButtons_V2* group) override;
    void displayTextChanged (GFXDisplay* display) override;

private:
    void bindSkinControls();

    BasePluginOldStyle& plugin;
    std::unique_ptr<OldStylePresetBrowserWindow> presetBrowser;
    std::unique_ptr<PresetsSettingsComponent> presetsPage;
    GFXDisplay* presetNameDisplay = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasePluginEditorOldStyle)
};
