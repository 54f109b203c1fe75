#pragma once

#include "editor/GUISettingsComponent.h"
#include "framework/BasePlugin.h"
#include "framework/PersistentEditor.h"
#include "skin/GUIController.h"
#include "skin/Skin.h"
#include "widgets/AlertWindow.h"
#include "widgets/DefaultLookAndFeel.h"
#include "widgets/DefaultResourceCheckBox.h"
#include "widgets/FileChooserLauncher.h"
#include "widgets/ModalComponent.h"
#include "widgets/StatusBar.h"
#include "widgets/TabbedComponentEx.h"

#include <atomic>
#include <memory>

class AboutWindow;
class GFXAnimation;
class GFXMultiStateButton;
class GFXPanel;
class HostParametersComponent;
class MidiControlComponent;
class OptionsWindow;
class PresetFolderTree;
class PresetsSettingsComponent;
class ProcessingSettingsComponent;

/**
    The framework's editor: the one component that the plug-in creates at
    set-up and that the host's window only wraps. It owns the skinned main
    panel with the status bar below it, the options and About windows and the
    tooltip window, and turns what it hears from the plug-in, the parameters,
    the skinned controls, the MIDI learn map and the option pages into status
    texts, windows and event dispatch.

    The editor layers derive from it, most derived last; each handles its own
    event ids first and passes the rest down. An id nobody knows goes to the
    plug-in's performEvent.

    Status priorities: 0 skin loading and skin problems, 4 settings that apply
    at the next load and the processing mode, 5 a parameter moved by a MIDI
    controller, 6 a parameter moved in the interface, 7 MIDI learn guidance.
*/
class BasePluginEditor : public PersistentEditor,
                         public Skin::Editor,
                         public Parameter::Listener,
                         public GUIController::Listener,
                         public MidiControl::Listener,
                         public DefaultResourceCheckBox::Listener,
                         public TabbedComponentEx::Listener,
                         public ModalComponent::Desktop,
                         public Ulvra::AlertWindow::Caller,
                         public BasePlugin::Listener,
                         public GUISettingsComponent::Listener
{
public:
    static constexpr int timerIntervalMs = 25;
    static constexpr int tooltipDelayMs = 850;
    static constexpr int midiFlashMs = 175;
    static constexpr int learnBlinkMs = 100;

    enum StatusPriority
    {
        skinPriority = 0,
        settingsPriority = 4,
        midiControllerPriority = 5,
        interfacePriority = 6,
        learnPriority = 7
    };

    /** With skin choice off the default skin is loaded at once; with it on the
        start skin is chosen in initialiseEditor. */
    BasePluginEditor (BasePlugin& plugin, bool skinChoiceEnabled);
    ~BasePluginEditor() override;

    //==========================================================================
    void initialiseEditor() override;

    /** Sizes the editor to the panel plus the status bar (when shown); the
        host's window, when there is one, follows. */
    void setEditorSize (int width, int panelHeight);
    int getPanelHeight() const noexcept                     { return panelHeight; }

    /** Loads a skin (empty = the default skin) and installs its panel; false
        when its panel cannot be built, which keeps the panel as selectSkin says. */
    bool loadSkin (const juce::String& name);

    /** loadSkin for a valid package name. A skin that cannot be built leaves the
        panel shown, or loads the default skin when there is none, and the
        status bar tells why when the skin said. */
    void selectSkin (const juce::String& name);

    /** Hides the panel and the options window, shows "Loading skin..." and
        leaves the load to the next timer tick while the editor is visible. */
    void loadSkinLater (const juce::String& name);

    juce::File getSkinFile (const juce::String& name) const;
    const juce::String& getDefaultSkinName() const noexcept { return defaultSkinName; }
    /** Message thread only; the host's state call reads it under its own lock. */
    const juce::String& getCurrentSkinName() const noexcept { return currentSkinName; }
    bool isSkinLoadPending() const noexcept                 { return skinLoadPending.load() != 0; }

    /** The skin's top panel, or null before a skin loaded. */
    GFXPanel* getMainPanel() const noexcept                 { return mainPanel.get(); }

    /** The first component of that name: direct children first, then each
        child's subtree by the same rule. */
    juce::Component* findChildComponentByName (const juce::String& name, bool recursive) const;

    //==========================================================================
    void showParameterInfo (Parameter* parameter);
    void showParameterText (Parameter* parameter, int priority);
    void showSettingsDeferredHint (const juce::String& name);

    static constexpr const char* couldNotBeSaved = "could not be saved";
    static constexpr const char* couldNotBeLoaded = "could not be loaded";

    /** Tells the user that a file they named failed: "'<file name>' could not
        be saved." for 3000 ms, over a control's text but not over the learn guidance. */
    void showFileFailure (const juce::File& file, const juce::String& failure);

    /** showFileFailure of the editor that holds the component (a page, a
        window); nothing for a component outside an editor. */
    static void showFileFailureAbove (juce::Component& component, const juce::File& file, const juce::String& failure);

    StatusBar& getStatusBar() noexcept                      { return *statusBar; }
    OptionsWindow& getOptionsWindow() noexcept              { return *optionsWindow; }
    AboutWindow& getAboutWindow() noexcept                  { return *aboutWindow; }
    MidiControlComponent& getMidiControlPage() noexcept     { return *midiControlPage; }
    HostParametersComponent& getHostParametersPage() noexcept { return *hostParametersPage; }
    PresetsSettingsComponent& getPresetsSettingsPage() noexcept { return *presetsSettingsPage; }
    GUISettingsComponent* getGUISettingsPage() const noexcept { return guiSettingsPage.get(); }
    ProcessingSettingsComponent* getProcessingSettingsPage() const noexcept { return processingSettingsPage.get(); }
    juce::TooltipWindow* getTooltipWindow() const noexcept  { return tooltipWindow.get(); }
    BasePlugin& getPlugin() const noexcept                  { return plugin; }

    /** The preset folder tree's question last asked, or null. */
    Ulvra::AlertWindow* getQuestion() const noexcept        { return question.get(); }

    /** Replaces the launcher of the "Save preset as" dialog (tests choose or cancel through it). */
    void setFileChooserLauncher (std::unique_ptr<FileChooserLauncher> newLauncher);

    //==========================================================================
    // Skin::Editor
    juce::String getPluginName() const override;
    ParameterManager& getParameterManager() override;
    GuiEventsMap& getEventsMap() override;
    juce::MidiKeyboardState& getKeyboardState() override;
    juce::File getSkinsDirectory() const override;

    //==========================================================================
    // The editor chain's hooks.

    /** The asynchronous listener of every parameter; the layers override it. */
    void parameterChanged (Parameter*) override {}

    void controllerValueChanged (GUIController* controller) override;
    void controllerEventTriggered (GUIController* controller, int eventId) override;

    void midiLearnStateChanged (MidiControl* midiControl) override;
    void midiControlReceived (MidiControl* midiControl) override;

    void defaultResourceCheckBoxChanged (DefaultResourceCheckBox* box) override;
    void tabChanged (TabbedComponentEx* tabs) override;

    virtual std::unique_ptr<ProcessingSettingsComponent> createProcessingSettingsPage();
    virtual std::unique_ptr<GUISettingsComponent> createGUISettingsPage();
    virtual void handleEditorInitialised() {}

    virtual void updateFromTimer();
    void timerCallback() override;

    juce::Rectangle<int> getModalArea() const override;
    void alertWindowResult (Ulvra::AlertWindow* window, int result) override;

    virtual bool isStatusBarShown() const                   { return true; }

    void processingModeChanged (BasePlugin*, int mode) override;

    std::unique_ptr<juce::XmlElement> createSettingsXml() override;
    void restoreSettingsXml (const juce::XmlElement& element) override;
    std::unique_ptr<juce::XmlElement> createStateXml() override;
    void restoreStateXml (const juce::XmlElement& element) override;

    /** Called after a skin's panel was installed: layers look their controls up again here. */
    virtual void handleSkinLoaded() {}

    void defaultSkinChanged (GUISettingsComponent* page) override;
    void currentSkinChanged (GUISettingsComponent* page) override;

    //==========================================================================
    void paint (juce::Graphics& g) override;
    void resized() override;
    void childBoundsChanged (juce::Component* child) override;

protected:
    /** Shown centred by "Browse presets" when a layer sets it. */
    std::unique_ptr<ModalComponent> presetBrowserWindow;

private:
    void updateMidiLearnButton (bool learning);
    void skinRefused (const juce::String& name, const juce::StringArray& warnings);

    /** loadSkin with a Skin already made (and perhaps its package checked). */
    bool installSkin (Skin& skin);

    // The preset folder tree's actions (a plug-in without a tree never reaches them).
    void selectNeighbourPresetFile (int direction);
    void loadNeighbourPresetFile (PresetFolderTree& tree, int direction);
    juce::File getProposedPresetFile (PresetFolderTree& tree) const;
    void savePreset();
    void savePresetAs();
    void savePresetFile (PresetFolderTree& tree, const juce::File& file);
    void askOverwrite (PresetFolderTree& tree, const juce::File& file);
    void ask (std::unique_ptr<Ulvra::AlertWindow> window);

    BasePlugin& plugin;

    // First: every component below uses it, and it must outlive them.
    DefaultLookAndFeel lookAndFeel;

    std::unique_ptr<MidiControlComponent> midiControlPage;
    std::unique_ptr<HostParametersComponent> hostParametersPage;
    std::unique_ptr<PresetsSettingsComponent> presetsSettingsPage;
    std::unique_ptr<GUISettingsComponent> guiSettingsPage;
    std::unique_ptr<ProcessingSettingsComponent> processingSettingsPage;
    std::unique_ptr<AboutWindow> aboutWindow;
    GFXAnimation* midiActivityLed = nullptr;
    juce::Image makerLogo, pluginLogo;
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;
    std::unique_ptr<StatusBar> statusBar;
    int panelHeight = 0;
    GFXMultiStateButton* midiLearnButton = nullptr;
    juce::String defaultSkinName, currentSkinName, pendingSkinName;
    juce::SpinLock skinNameLock;   // currentSkinName, which the host's state call reads
    std::atomic<int> skinLoadPending { 0 };
    const bool skinChoiceEnabled;
    std::unique_ptr<GFXPanel> mainPanel;
    std::unique_ptr<OptionsWindow> optionsWindow;

    std::unique_ptr<Ulvra::AlertWindow> question;
    std::unique_ptr<FileChooserLauncher> launcher;
    bool saveDialogOpen = false;
    bool sizing = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasePluginEditor)
};
