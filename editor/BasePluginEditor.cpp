#include "editor/BasePluginEditor.h"

#include "editor/AboutWindow.h"
#include "editor/HostParametersComponent.h"
#include "editor/MidiControlComponent.h"
#include "editor/OptionsWindow.h"
#include "editor/PresetsSettingsComponent.h"
#include "editor/ProcessingSettingsComponent.h"
#include "framework/BundleResources.h"
#include "framework/PresetFolderTree.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"
#include "skin/ComponentLookup.h"
#include "skin/GFXAnimation.h"
#include "skin/GFXMultiStateButton.h"
#include "skin/GFXPanel.h"

namespace
{
const juce::String presetTreeName ("Presets");

juce::String lowerCaseExtension (const BasePlugin& plugin, const char* suffix)
{
    return ("." + plugin.getPluginShortName() + suffix).toLowerCase();
}

bool isEnumParameter (const ParameterManager& parameters, int id)
{
    return dynamic_cast<EnumParameter*> (parameters.getParameter (id)) != nullptr;
}
} // namespace

BasePluginEditor::BasePluginEditor (BasePlugin& pluginToEdit, bool withSkinChoice)
    : plugin (pluginToEdit), skinChoiceEnabled (withSkinChoice)
{
    const auto ccMapExtension = lowerCaseExtension (plugin, "ccmap");
    midiControlPage = std::make_unique<MidiControlComponent> (plugin.getMidiControl(), ccMapExtension,
                                                              BasePlugin::makeWildcard (ccMapExtension));
    hostParametersPage = std::make_unique<HostParametersComponent> (plugin);
    presetsSettingsPage = std::make_unique<PresetsSettingsComponent> (plugin);

    makerLogo = loadBundleResourceAsImage ("UlvraLogo.png");
    pluginLogo = loadBundleResourceAsImage ("PluginLogo.png");

    setLookAndFeel (&lookAndFeel);

    // The tooltip window polls the mouse, which needs a display; without one
    // (JUCE's LV2 build step, the tests) there is nothing to show tips on.
    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr)
        tooltipWindow = std::make_unique<juce::TooltipWindow> (this, tooltipDelayMs);

    statusBar = std::make_unique<StatusBar>();
    addAndMakeVisible (*statusBar);
    statusBar->sendLookAndFeelChange();

    aboutWindow = std::make_unique<AboutWindow> (plugin);
    aboutWindow->setSize (640, 480);
    addChildComponent (*aboutWindow);

    optionsWindow = std::make_unique<OptionsWindow> ("Options");
    optionsWindow->getTabs().addListener (this);
    optionsWindow->setSize (800, 600);
    addChildComponent (*optionsWindow);

    if (! plugin.usesInitialise())
    {
        optionsWindow->addPage ("Presets", presetsSettingsPage.get(), -1);
        optionsWindow->addPage ("Parameters", hostParametersPage.get(), -1);
        hostParametersPage->setLoadWildcard (BasePlugin::makeWildcard (lowerCaseExtension (plugin, "hpmap")));
    }

    midiControlPage->getDefaultMapBox().addListener (this);
    plugin.getMidiControl().addListener (this);
    optionsWindow->addPage ("Midi Control", midiControlPage.get(), -1);

    plugin.getParameterManager().addAsyncListenerToAll (this);

    setEditorSize (800, 600);

    if (! skinChoiceEnabled)
        loadSkin ({});

    plugin.addListener (this);
}

BasePluginEditor::~BasePluginEditor()
{
    plugin.removeListener (this);
    plugin.getMidiControl().removeListener (this);
    plugin.getParameterManager().removeAsyncListenerFromAll (this);

    optionsWindow.reset();
    question.reset();
    mainPanel.reset();
    guiSettingsPage.reset();
    processingSettingsPage.reset();
    aboutWindow.reset();
    tooltipWindow.reset();
    statusBar.reset();

    // The look and feel is a member: nothing may point at it once it goes.
    setLookAndFeel (nullptr);
}

//==============================================================================
void BasePluginEditor::initialiseEditor()
{
    if (const auto settings = XmlFiles::read (plugin.getUserSettingsFile(), BasePlugin::maxSettingsFileBytes); settings != nullptr && plugin.isUserSettingsXml (*settings))
        if (const auto* element = XmlHelpers::findChild (*settings, getSettingsTagName()))
            restoreSettingsXml (*element);

    if (! plugin.usesInitialise())
    {
        processingSettingsPage = createProcessingSettingsPage();

        if (processingSettingsPage != nullptr)
        {
            const auto& parameters = plugin.getParameterManager();
            const int ids[] = { plugin.getRealtimeQualityParameterId(), plugin.getOfflineQualityParameterId(),
                                plugin.getDefaultRealtimeQualityParameterId(), plugin.getDefaultOfflineQualityParameterId() };

            if (std::all_of (std::begin (ids), std::end (ids), [&] (int id) { return isEnumParameter (parameters, id); }))
                processingSettingsPage->setParameters (dynamic_cast<EnumParameter*> (parameters.getParameter (ids[0])),
                                                       dynamic_cast<EnumParameter*> (parameters.getParameter (ids[1])),
                                                       dynamic_cast<EnumParameter*> (parameters.getParameter (ids[2])),
                                                       dynamic_cast<EnumParameter*> (parameters.getParameter (ids[3])));

            optionsWindow->addPage ("Processing", processingSettingsPage.get(), 0);
        }
    }

    if (skinChoiceEnabled)
    {
        guiSettingsPage = createGUISettingsPage();

        if (guiSettingsPage != nullptr)
        {
            guiSettingsPage->addListener (this);
            optionsWindow->addPage ("GUI", guiSettingsPage.get(), 10);

            auto startSkin = defaultSkinName;

            if (startSkin.isEmpty() || ! getSkinFile (startSkin).existsAsFile())
                startSkin = guiSettingsPage->getDefaultSkinName();

            guiSettingsPage->setDefaultSkin (startSkin, false);

            if (startSkin.isEmpty())
                statusBar->showText ("Plugin skins not found in directory: '" + getSkinsDirectory().getFullPathName()
                                         + "'. Please reinstall to repair.",
                                     skinPriority, false);
            else
                selectSkin (startSkin);
        }
    }

    handleEditorInitialised();
}

std::unique_ptr<ProcessingSettingsComponent> BasePluginEditor::createProcessingSettingsPage()
{
    return std::make_unique<ProcessingSettingsComponent>();
}

std::unique_ptr<GUISettingsComponent> BasePluginEditor::createGUISettingsPage()
{
    return std::make_unique<GUISettingsComponent> (*this);
}

//==============================================================================
void BasePluginEditor::setEditorSize (int width, int newPanelHeight)
{
    panelHeight = newPanelHeight;
    const auto height = panelHeight + (isStatusBarShown() ? statusBar->getHeight() : 0);

    {
        const juce::ScopedValueSetter<bool> guard (sizing, true);
        setSize (width, height);
        resized();
    }

    if (auto* window = getParentComponent())
        window->setSize (width, height);
}

void BasePluginEditor::resized()
{
    statusBar->setVisible (isStatusBarShown());
    statusBar->setBounds (0, panelHeight, getWidth(), statusBar->getHeight());
    repaint();
}

void BasePluginEditor::childBoundsChanged (juce::Component* child)
{
    // The status bar takes its height from the look and feel: the editor grows or shrinks with it.
    if (child == statusBar.get() && ! sizing && isStatusBarShown() && getHeight() != panelHeight + statusBar->getHeight())
        setEditorSize (getWidth(), panelHeight);
}

juce::Rectangle<int> BasePluginEditor::getModalArea() const
{
    return isStatusBarShown() ? getLocalBounds().withHeight (panelHeight) : getLocalBounds();
}

void BasePluginEditor::paint (juce::Graphics& g)
{
    const auto area = getLocalBounds().withHeight (panelHeight);
    g.setColour (juce::Colours::black);
    g.fillRect (area);

    g.setColour (juce::Colours::white);

    if (pluginLogo.isValid())
    {
        g.drawImageAt (pluginLogo, area.getCentreX() - pluginLogo.getWidth() / 2, area.getCentreY() - pluginLogo.getHeight() / 2);
    }
    else
    {
        g.setFont (InterfaceTypefaces::font (80.0f, juce::Font::bold));
        g.drawText (plugin.getPluginName(), area, juce::Justification::centred, false);
        g.setFont (InterfaceTypefaces::font (20.0f));
        g.drawText (plugin.getSoftwareDescription(), area.translated (0, 45), juce::Justification::centred, false);
    }

    if (makerLogo.isValid())
    {
        g.drawImageAt (makerLogo, area.getCentreX() - makerLogo.getWidth() / 2, area.getBottom() - 20 - makerLogo.getHeight());
    }
    else
    {
        g.setFont (InterfaceTypefaces::font (16.0f));
        g.drawText ("Ulvra Group Audio Software", area.withTrimmedBottom (10), juce::Justification::centredBottom, false);
    }
}

//==============================================================================
juce::Component* BasePluginEditor::findChildComponentByName (const juce::String& name, bool recursive) const
{
    return ::findChildComponentByName (*this, name, recursive);
}

bool BasePluginEditor::loadSkin (const juce::String& name)
{
    Skin skin (*this, name);
    return installSkin (skin);
}

bool BasePluginEditor::installSkin (Skin& skin)
{
    const auto& name = skin.getName();
    auto panel = skin.createEditorPanel();

    if (panel == nullptr)
    {
        skinRefused (name, skin.getWarnings());
        return false;
    }

    if (mainPanel != nullptr)
        removeChildComponent (mainPanel.get());

    // The old panel's controls go before anyone is told of the new ones.
    midiLearnButton = nullptr;
    midiActivityLed = nullptr;
    mainPanel = std::move (panel);
    addChildComponent (*mainPanel, 1);
    setEditorSize (mainPanel->getWidth(), mainPanel->getHeight());
    mainPanel->addListener (this);

    midiLearnButton = dynamic_cast<GFXMultiStateButton*> (findChildComponentByName ("MidiLearnButton", true));
    midiActivityLed = dynamic_cast<GFXAnimation*> (findChildComponentByName ("MidiActivityLed", true));
    {
        const juce::SpinLock::ScopedLockType lock (skinNameLock);
        currentSkinName = name;
    }

    updateMidiLearnButton (plugin.getMidiControl().isLearnMode());

    handleSkinLoaded();

    mainPanel->setVisible (true);
    statusBar->clear (-1);

    // What the skin lacked, after the clear, so that the user sees why a control is missing.
    if (! skin.getWarnings().isEmpty())
        statusBar->showText (skin.getWarnings()[0], skinPriority, false);

    if (guiSettingsPage != nullptr)
        guiSettingsPage->setCurrentSkin (name, false);

    return true;
}

void BasePluginEditor::selectSkin (const juce::String& name)
{
    // The Skin that checks the package builds its panel: the package is read
    // and its digest computed once.
    Skin skin (*this, name);

    if (name.isNotEmpty() && skin.openPackage())
        installSkin (skin);
    else
        skinRefused (name, {});
}

void BasePluginEditor::skinRefused (const juce::String& name, const juce::StringArray& warnings)
{
    // The panel shown stays, though a skin waiting for the timer hid it; with
    // none yet the default skin takes its place, so the editor is never blank.
    if (mainPanel != nullptr)
        mainPanel->setVisible (true);
    else if (name.isNotEmpty())
        loadSkin ({});

    statusBar->clear (skinPriority);

    if (! warnings.isEmpty())
        statusBar->showText (warnings[0], skinPriority, false);
}

void BasePluginEditor::loadSkinLater (const juce::String& name)
{
    pendingSkinName = name;
    skinLoadPending.store (1);
    optionsWindow->hide();

    if (mainPanel != nullptr)
        mainPanel->setVisible (false);

    statusBar->showText ("Loading skin...", skinPriority, false);
}

juce::File BasePluginEditor::getSkinsDirectory() const
{
    return plugin.getCommonSettingsFolder().getChildFile ("Skins");
}

juce::File BasePluginEditor::getSkinFile (const juce::String& name) const
{
    return Skin::getPackageFile (getSkinsDirectory(), name);
}

juce::String BasePluginEditor::getPluginName() const         { return plugin.getPluginName(); }
ParameterManager& BasePluginEditor::getParameterManager()    { return plugin.getParameterManager(); }
GuiEventsMap& BasePluginEditor::getEventsMap()               { return plugin.getEventsMap(); }
juce::MidiKeyboardState& BasePluginEditor::getKeyboardState() { return plugin.getKeyboardState(); }

//==============================================================================
void BasePluginEditor::timerCallback()
{
    // A window the host closed only hid the editor: a pending skin waits for it to come back.
    if (isVisible())
        updateFromTimer();
}

void BasePluginEditor::updateFromTimer()
{
    int expected = 1;

    if (skinLoadPending.compare_exchange_strong (expected, 0))
        selectSkin (pendingSkinName);

    if (midiActivityLed != nullptr && plugin.getMidiActivityFlag().exchange (0) == 1)
        midiActivityLed->flashFrame (1, midiFlashMs);
}

//==============================================================================
void BasePluginEditor::showParameterText (Parameter* parameter, int priority)
{
    if (parameter == nullptr)
        return;

    const auto id = parameter->getId();
    const auto value = plugin.getParameterDisplayText (id);

    if (value.isEmpty())
        return;

    const auto name = plugin.getParameterDisplayName (id);
    statusBar->showTemporaryText (value == "@" ? name : name + ": " + value, priority, false);
}

void BasePluginEditor::showParameterInfo (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    auto& midiControl = plugin.getMidiControl();

    if (parameter->getAutoFlag() && midiControl.isLearnMode())
        midiControl.setLearnParameter (parameter);

    showParameterText (parameter, interfacePriority);
}

void BasePluginEditor::showSettingsDeferredHint (const juce::String& name)
{
    statusBar->showText (name + " settings will be affected when plugin is loaded.", settingsPriority, false);
}

void BasePluginEditor::showFileFailure (const juce::File& file, const juce::String& failure)
{
    // The press that started the save has just shown its control's text.
    statusBar->clear (interfacePriority);
    statusBar->showTemporaryText ("'" + file.getFileName() + "' " + failure + ".", settingsPriority, false);
}

void BasePluginEditor::showFileFailureAbove (juce::Component& component, const juce::File& file, const juce::String& failure)
{
    auto* editor = dynamic_cast<BasePluginEditor*> (&component);

    if (editor == nullptr)
        editor = component.findParentComponentOfClass<BasePluginEditor>();

    if (editor != nullptr)
        editor->showFileFailure (file, failure);
}

void BasePluginEditor::controllerValueChanged (GUIController* controller)
{
    if (controller != nullptr)
        showParameterInfo (controller->getParameter());
}

void BasePluginEditor::midiControlReceived (MidiControl* midiControl)
{
    showParameterText (midiControl->getLastControlledParameter(), midiControllerPriority);
}

void BasePluginEditor::midiLearnStateChanged (MidiControl* midiControl)
{
    const auto learning = midiControl->isLearnMode();

    if (learning)
    {
        const auto controller = midiControl->getLearnController();
        const auto* parameter = midiControl->getLearnParameter();
        juce::String text;

        if (controller < 0 && parameter == nullptr)
            text = "Waiting for a controller or parameter movement...";
        else if (controller < 0)
            text = "'" + parameter->getName() + "' parameter is free. Waiting for a free controller now...";
        else if (parameter == nullptr)
            text = "CC# " + juce::String (controller) + " is free. Waiting for a parameter now...";
        else
            text = "CC# " + juce::String (controller) + " is assigned to parameter '" + parameter->getName() + "'.";

        statusBar->showText (text, learnPriority, false);
    }
    else
    {
        statusBar->clear (-1);
    }

    updateMidiLearnButton (learning);
}

void BasePluginEditor::updateMidiLearnButton (bool learning)
{
    if (midiLearnButton == nullptr)
        return;

    midiLearnButton->setState (learning ? 1 : 0);
    midiLearnButton->setBlinking (learning, learnBlinkMs);
}

void BasePluginEditor::processingModeChanged (BasePlugin*, int mode)
{
    const auto offline = mode == BasePlugin::offlineProcessing;
    const auto id = offline ? plugin.getOfflineQualityParameterId() : plugin.getRealtimeQualityParameterId();
    auto text = juce::String (offline ? "Offline processing" : "Realtime processing");

    // Without a quality parameter there is nothing to name after the mode.
    if (plugin.getParameterManager().getParameter (id) != nullptr)
        if (const auto quality = plugin.getParameterDisplayText (id); quality.isNotEmpty())
            text << ": " << quality;

    statusBar->showTemporaryText (text, settingsPriority, false);
}

void BasePluginEditor::defaultResourceCheckBoxChanged (DefaultResourceCheckBox* box)
{
    if (box == &midiControlPage->getDefaultMapBox())
        showSettingsDeferredHint ("Default Map");
}

void BasePluginEditor::tabChanged (TabbedComponentEx*)
{
    statusBar->clear (-1);
}

//==============================================================================
void BasePluginEditor::controllerEventTriggered (GUIController* controller, int eventId)
{
    switch (eventId)
    {
        case GuiEventsMap::optionsEvent:
            optionsWindow->showCentred();
            statusBar->clear (-1);
            return;

        case GuiEventsMap::aboutEvent:
            aboutWindow->showCentred();
            return;

        case GuiEventsMap::selectNextPresetEvent:       selectNeighbourPresetFile (1); return;
        case GuiEventsMap::selectPreviousPresetEvent:   selectNeighbourPresetFile (-1); return;
        case GuiEventsMap::savePresetEvent:             savePreset(); return;
        case GuiEventsMap::savePresetAsEvent:           savePresetAs(); return;

        case GuiEventsMap::browsePresetsEvent:
            if (presetBrowserWindow != nullptr)
                presetBrowserWindow->showCentred();
            return;

        case GuiEventsMap::toggleMidiLearnEvent:
            plugin.getMidiControl().toggleLearnMode();
            return;

        default:
            plugin.performEvent (eventId);

            if (controller != nullptr)
                showParameterInfo (controller->getParameter());

            return;
    }
}

//==============================================================================
// Preset folder tree

void BasePluginEditor::ask (std::unique_ptr<Ulvra::AlertWindow> window)
{
    question = std::move (window);
    addChildComponent (*question);
    question->sendLookAndFeelChange();
    question->show();
}

void BasePluginEditor::selectNeighbourPresetFile (int direction)
{
    auto* tree = plugin.getPresetFolderTree (presetTreeName);

    if (tree == nullptr)
        return;

    if (plugin.isCurrentPresetDetached (tree))
    {
        auto window = Ulvra::AlertWindow::createSaveOverwriteDiscardWindow (
            plugin.getPluginName(), "Changes have been made to current preset. Do you want to save them or discard?", this);
        window->addUserValue (presetTreeName);
        window->addUserValue (direction);
        ask (std::move (window));
        return;
    }

    loadNeighbourPresetFile (*tree, direction);
}

void BasePluginEditor::loadNeighbourPresetFile (PresetFolderTree& tree, int direction)
{
    if (direction < 1)
        plugin.loadPreviousPresetFile (&tree);
    else
        plugin.loadNextPresetFile (&tree);
}

juce::File BasePluginEditor::getProposedPresetFile (PresetFolderTree& tree) const
{
    const auto fileName = plugin.getCurrentPresetName (&tree) + tree.getExtension();
    const auto folder = XmlFiles::fileFromPath (plugin.getCurrentPresetFile (&tree)).getParentDirectory();

    if (plugin.getCurrentPresetFile (&tree).isNotEmpty() && folder.isDirectory())
        return folder.getChildFile (fileName);

    return tree.getRootFolder().getChildFile (fileName);
}

void BasePluginEditor::savePreset()
{
    auto* tree = plugin.getPresetFolderTree (presetTreeName);

    if (tree == nullptr)
        return;

    const auto file = getProposedPresetFile (*tree);

    if (file.existsAsFile())
        askOverwrite (*tree, file);
    else
        savePresetAs();
}

void BasePluginEditor::savePresetAs()
{
    auto* tree = plugin.getPresetFolderTree (presetTreeName);

    if (tree == nullptr || saveDialogOpen)
        return;

    if (launcher == nullptr)
        launcher = std::make_unique<FileChooserLauncher>();

    FileChooserLauncher::Request request;
    request.title = "Save current " + presetTreeName.toLowerCase();
    request.initialLocation = getProposedPresetFile (*tree);
    request.filePatterns = BasePlugin::makeWildcard (tree->getExtension());
    request.flags = juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                    | juce::FileBrowserComponent::warnAboutOverwriting;

    saveDialogOpen = true;
    launcher->launch (*this, request, [this, extension = tree->getExtension()] (const juce::File& chosen)
    {
        saveDialogOpen = false;
        auto* currentTree = plugin.getPresetFolderTree (presetTreeName);

        if (chosen == juce::File() || currentTree == nullptr)
            return;

        // The dialog confirmed the name the user typed; a name it completes is asked about here.
        if (! chosen.hasFileExtension (extension))
        {
            const auto completed = chosen.getSiblingFile (chosen.getFileName() + extension);

            if (completed.existsAsFile())
            {
                askOverwrite (*currentTree, completed);
                return;
            }

            savePresetFile (*currentTree, completed);
            return;
        }

        savePresetFile (*currentTree, chosen);
    });
}

void BasePluginEditor::savePresetFile (PresetFolderTree& tree, const juce::File& file)
{
    if (! plugin.savePresetFile (&tree, file))
        showFileFailure (file, couldNotBeSaved);
}

void BasePluginEditor::askOverwrite (PresetFolderTree&, const juce::File& file)
{
    auto window = Ulvra::AlertWindow::createYesCancelWindow (
        plugin.getPluginName(), "Do you want to overwrite preset '" + file.getFileNameWithoutExtension() + "' ?", this);
    window->addUserValue (presetTreeName);
    window->addUserValue (file.getFullPathName());
    ask (std::move (window));
}

void BasePluginEditor::setFileChooserLauncher (std::unique_ptr<FileChooserLauncher> newLauncher)
{
    launcher = std::move (newLauncher);
    saveDialogOpen = false;
}

void BasePluginEditor::alertWindowResult (Ulvra::AlertWindow* window, int result)
{
    if (window == nullptr || window != question.get())
        return;

    auto* tree = plugin.getPresetFolderTree (window->getUserValue (0).toString());

    switch (result)
    {
        case Ulvra::AlertWindow::yes:
            if (const auto path = window->getUserValue (1).toString(); tree != nullptr && path.isNotEmpty())
                savePresetFile (*tree, juce::File (path));
            break;

        case Ulvra::AlertWindow::overwrite:
            if (tree != nullptr)
            {
                if (const auto file = getProposedPresetFile (*tree); file.existsAsFile())
                    savePresetFile (*tree, file);
                else
                    savePresetAs();
            }
            break;

        case Ulvra::AlertWindow::saveAs:
            savePresetAs();
            break;

        case Ulvra::AlertWindow::discard:
            if (tree != nullptr)
                loadNeighbourPresetFile (*tree, static_cast<int> (window->getUserValue (1)));
            break;

        default:
            break;
    }
}

//==============================================================================
std::unique_ptr<juce::XmlElement> BasePluginEditor::createSettingsXml()
{
    auto element = PersistentEditor::createSettingsXml();

    if (skinChoiceEnabled)
        element->createNewChildElement ("Skin")->setAttribute ("name", defaultSkinName);

    return element;
}

void BasePluginEditor::restoreSettingsXml (const juce::XmlElement& element)
{
    if (! isSettingsTag (element))
        return;

    if (const auto* skin = XmlHelpers::findChild (element, "Skin"))
        defaultSkinName = skin->getStringAttribute ("name");
}

std::unique_ptr<juce::XmlElement> BasePluginEditor::createStateXml()
{
    auto element = PersistentEditor::createStateXml();

    if (skinChoiceEnabled)
    {
        // The host asks for its state on a thread of its own.
        const juce::SpinLock::ScopedLockType lock (skinNameLock);
        element->createNewChildElement ("Skin")->setAttribute ("name", currentSkinName);
    }

    return element;
}

void BasePluginEditor::restoreStateXml (const juce::XmlElement& element)
{
    if (! isStateTag (element) || ! skinChoiceEnabled)
        return;

    if (const auto* skin = XmlHelpers::findChild (element, "Skin"))
    {
        // The plug-in calls this on the message thread, whichever thread restored its state.
        if (const auto name = skin->getStringAttribute ("name"); name.isNotEmpty())
            selectSkin (name);
    }
}

void BasePluginEditor::defaultSkinChanged (GUISettingsComponent* page)
{
    defaultSkinName = page->getChosenDefaultSkin();
}

void BasePluginEditor::currentSkinChanged (GUISettingsComponent* page)
{
    loadSkinLater (page->getChosenCurrentSkin());
}
