#pragma once

#include "skin/TextInput.h"
#include "widgets/ComponentRow.h"
#include "widgets/PanelComponent.h"
#include "widgets/WindowComponent.h"

#include <atomic>

class BasePlugin;

/**
    The framework's "Presets" page, for plug-ins that keep presets as files in
    folder trees: the author written into the user's presets, a button that
    rewrites the author of every preset file of the trees (on a worker thread,
    with a progress window), and the presets folder.
*/
class PresetsSettingsComponent : public juce::Component,
                                 public juce::Button::Listener,
                                 public ModalTextEditor::ModalListener
{
public:
    /** Rewrites the author of every preset file on the worker thread
        "UpdateAuthorThread" and shows its progress, polled every 50 ms. */
    class UpdateAuthorWindow : public WindowComponent,
                               public juce::Timer,
                               public juce::Thread
    {
    public:
        static constexpr int pollIntervalMs = 50;

        explicit UpdateAuthorWindow (BasePlugin& plugin);
        ~UpdateAuthorWindow() override;

        /** Shows the window and starts the worker. */
        void start();

        juce::TextButton& getCancelButton() noexcept    { return cancelButton; }
        juce::TextButton& getOkButton() noexcept        { return okButton; }
        const juce::Label& getFileLabel() const noexcept { return fileLabel; }
        const juce::Label& getProgressLabel() const noexcept { return progressLabel; }
        const juce::Label& getMessageLabel() const noexcept { return messageLabel; }

        void buttonClicked (juce::Button* button) override;
        void timerCallback() override;
        void run() override;
        void resized() override;

    private:
        BasePlugin& plugin;
        ComponentRow buttonRow { ComponentRow::leftToRight, ComponentRow::alignCentre };
        juce::TextButton cancelButton { "Cancel" }, okButton { "OK" };
        juce::Label fileLabel, progressLabel, messageLabel;

        juce::CriticalSection fileNameLock;
        juce::String currentFileName;
        std::atomic<int> progressPercent { 0 };
        std::atomic<int> completed { 0 };

        JUCE_DECLARE_NON_COPYABLE (UpdateAuthorWindow)
    };

    explicit PresetsSettingsComponent (BasePlugin& plugin);
    ~PresetsSettingsComponent() override;

    TextInput& getAuthorInput() noexcept                { return authorInput; }
    juce::TextButton& getUpdateButton() noexcept        { return updateButton; }
    UpdateAuthorWindow& getUpdateWindow() noexcept      { return updateWindow; }
    const juce::Label& getDirectoryLabel() const noexcept { return directoryLabel; }

    void buttonClicked (juce::Button* button) override;
    void textCommitted (ModalTextEditor* source) override;
    void lookAndFeelChanged() override;
    void resized() override;

private:
    BasePlugin& plugin;
    PanelComponent authorPanel { "Author" };
    ComponentRow authorRow { ComponentRow::leftToRight, ComponentRow::alignCentre };
    TextInput authorInput;
    juce::TextButton updateButton { "Update presets" };
    UpdateAuthorWindow updateWindow;
    juce::Label directoryLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetsSettingsComponent)
};
