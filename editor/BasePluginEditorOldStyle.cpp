#include "editor/BasePluginEditorOldStyle.h"

#include "editor/MidiControlComponent.h"
#include "editor/OptionsWindow.h"
#include "skin/GFXDisplay.h"

//==============================================================================
BasePluginEditorOldStyle::PresetsSettingsComponent::PresetsSettingsComponent (BasePluginOldStyle& pluginToUse,
                                                                              const juce::String& bankWildcard)
    : plugin (pluginToUse)
{
    storingButtons.addListener (this);
    addAndMakeVisible (storingButtons);

    changingButtons.addListener (this);
    addChildComponent (changingButtons);
    changingButtons.setVisible (plugin.isPresetChangingModeSupported());

    defaultPresetsButtons.getPathComponent().setFilePatterns (bankWildcard);
    defaultPresetsButtons.getPathComponent().addListener (this);
    defaultPresetsButtons.addListener (this);
    addAndMakeVisible (defaultPresetsButtons);

    storingButtons.setSelectedIndex (plugin.getPresetStoringMode(), false);
    changingButtons.setSelectedIndex (plugin.getPresetChangingMode(), false);
    defaultPresetsButtons.setSelectedIndex (plugin.getPresetsDefaultMode(), false);
    defaultPresetsButtons.getPathComponent().setPath (plugin.getUserPresetsFile(), false);
}

BasePluginEditorOldStyle::PresetsSettingsComponent::~PresetsSettingsComponent()
{
    defaultPresetsButtons.getPathComponent().removeListener (this);
}

void BasePluginEditorOldStyle::PresetsSettingsComponent::radioButtonsChanged (RadioButtons_V2* group)
{
    if (group == &storingButtons)
        plugin.setPresetStoringMode (storingButtons.getSelectedIndex());
    else if (group == &changingButtons && plugin.isPresetChangingModeSupported())
        plugin.setPresetChangingMode (changingButtons.getSelectedIndex());
    else if (group == &defaultPresetsButtons)
        plugin.setPresetsDefaultMode (defaultPresetsButtons.getSelectedIndex());
}

void BasePluginEditorOldStyle::PresetsSettingsComponent::pathChanged (PathComponent* component)
{
    if (component == &defaultPresetsButtons.getPathComponent())
        plugin.setUserPresetsFile (component->getPath());
}

void BasePluginEditorOldStyle::PresetsSettingsComponent::lookAndFeelChanged()
{
    resized();
}

void BasePluginEditorOldStyle::PresetsSettingsComponent::resized()
{
    const auto halfWidth = getWidth() / 2 - 3;
    storingButtons.setSizeToFit (halfWidth, -1);
    storingButtons.setTopLeftPosition (0, 0);
    changingButtons.setSizeToFit (halfWidth, -1);
    changingButtons.setTopLeftPosition (getWidth() - halfWidth, 0);

    // A hidden "Changing type" still counts with the bounds it has.
    const auto top = juce::jmax (storingButtons.getBottom(), changingButtons.getBottom()) + 10;
    defaultPresetsButtons.setSizeToFit (getWidth(), -1);
    defaultPresetsButtons.setTopLeftPosition (0, top);
}

//==============================================================================
BasePluginEditorOldStyle::BasePluginEditorOldStyle (BasePluginOldStyle& pluginToEdit, bool withSkinChoice)
    : BasePluginEditor (pluginToEdit, withSkinChoice), plugin (pluginToEdit)
{
    bindSkinControls();

    auto& midiPage = getMidiControlPage();
    midiPage.setFileExtension (plugin.getMidiCCMapFileExtension());
    midiPage.setLoadWildcard (plugin.getMidiCCMapLoadWildcard());
    midiPage.setLearnButtonVisible (true);

    presetBrowser = std::make_unique<OldStylePresetBrowserWindow> (plugin);
    addChildComponent (*presetBrowser);
    presetBrowser->setSize (639, 350);

    presetsPage = std::make_unique<PresetsSettingsComponent> (plugin, plugin.getBankLoadWildcard());
    presetsPage->getDefaultPresetsButtons().addListener (this);
    getOptionsWindow().addPage ("Presets", presetsPage.get(), 0);
}

BasePluginEditorOldStyle::~BasePluginEditorOldStyle()
{
    if (presetNameDisplay != nullptr)
        presetNameDisplay->removeListener (static_cast<GFXDisplayListener*> (this));

    presetsPage.reset();
    presetBrowser.reset();
}

void BasePluginEditorOldStyle::bindSkinControls()
{
    presetNameDisplay = dynamic_cast<GFXDisplay*> (findChildComponentByName ("PresetNameDisplay", true));

    if (presetNameDisplay != nullptr)
    {
        // Nothing else makes the display editable, and renaming is what it is bound for.
        presetNameDisplay->setEditable (true);
        presetNameDisplay->addListener (static_cast<GFXDisplayListener*> (this));
    }
}

void BasePluginEditorOldStyle::handleSkinLoaded()
{
    BasePluginEditor::handleSkinLoaded();

    // The old panel, and the display with it, is gone.
    bindSkinControls();
}

void BasePluginEditorOldStyle::handleEditorCreated()
{
    BasePluginEditor::handleEditorCreated();
}

void BasePluginEditorOldStyle::controllerEventTriggered (GUIController* controller, int eventId)
{
    switch (eventId)
    {
        case GuiEventsMap::selectNextPresetEvent:       plugin.selectNextPreset (1); return;
        case GuiEventsMap::selectPreviousPresetEvent:   plugin.selectPreviousPreset (1); return;
        case GuiEventsMap::browsePresetsEvent:          presetBrowser->showCentred(); return;
        case GuiEventsMap::copyCurrentPresetEvent:      plugin.copyCurrentPreset(); return;
        case GuiEventsMap::pasteCopiedPresetEvent:      plugin.pasteCopiedPreset(); return;
        case GuiEventsMap::storeCurrentPresetEvent:     plugin.storeCurrentPreset(); return;
        default:                                        BasePluginEditor::controllerEventTriggered (controller, eventId); return;
    }
}

void BasePluginEditorOldStyle::radioButtonsChanged (RadioButtons_V2* group)
{
    if (presetsPage != nullptr && group == &presetsPage->getDefaultPresetsButtons())
        showSettingsDeferredHint ("Default Presets");
}

void BasePluginEditorOldStyle::displayTextChanged (GFXDisplay* display)
{
    if (display != nullptr && display == presetNameDisplay)
        plugin.renameCurrentPreset (display->getText());
}
