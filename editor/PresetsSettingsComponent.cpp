#include "editor/PresetsSettingsComponent.h"

#include "framework/BasePlugin.h"
#include "framework/PresetFolderTree.h"
#include "widgets/InterfaceTypefaces.h"

namespace
{
constexpr int lineHeight = 20;
constexpr int labelHeight = 50;

void fitButtonToText (juce::TextButton& button)
{
    const auto font = button.getLookAndFeel().getTextButtonFont (button, lineHeight);
    button.setSize (font.getStringWidth (button.getButtonText()) + 20, lineHeight);
}

void setUpLabel (juce::Label& label)
{
    label.setFont (InterfaceTypefaces::font (13.0f));
    label.setJustificationType (juce::Justification::centredLeft);
}
} // namespace

//==============================================================================
PresetsSettingsComponent::UpdateAuthorWindow::UpdateAuthorWindow (BasePlugin& pluginToUpdate)
    : juce::Thread ("UpdateAuthorThread"), plugin (pluginToUpdate)
{
    setTitle ("Updating own presets");

    for (auto* button : { &cancelButton, &okButton })
    {
        button->setWantsKeyboardFocus (false);
        button->addListener (this);
        buttonRow.addAndMakeVisible (*button);
    }

    buttonRow.setSpacing (6);

    for (auto* label : { &fileLabel, &progressLabel, &messageLabel })
    {
        setUpLabel (*label);
        addAndMakeVisible (*label);
    }

    addAndMakeVisible (buttonRow);
    setSize (400, 300);
}

PresetsSettingsComponent::UpdateAuthorWindow::~UpdateAuthorWindow()
{
    stopTimer();
    stopThread (5000);
}

void PresetsSettingsComponent::UpdateAuthorWindow::start()
{
    cancelButton.setEnabled (true);
    okButton.setEnabled (false);
    fileLabel.setVisible (true);
    progressLabel.setVisible (true);
    messageLabel.setText ("Operation can take a while. Please wait...", juce::dontSendNotification);
    progressLabel.setText ("Progress: 0%", juce::dontSendNotification);
    fileLabel.setText ({}, juce::dontSendNotification);
    progressPercent = 0;
    completed = 0;

    fitButtonToText (cancelButton);
    fitButtonToText (okButton);
    buttonRow.layoutChildren();
    resized();

    showCentred();
    startThread (juce::Thread::Priority::low);
    startTimer (pollIntervalMs);
}

void PresetsSettingsComponent::UpdateAuthorWindow::run()
{
    completed = 0;

    if (threadShouldExit())
        return;

    int total = 0;

    for (int i = 0; i < plugin.getNumPresetFolderTrees(); ++i)
        if (const auto* tree = plugin.getPresetFolderTree (i))
            total += tree->getNumFiles();

    int done = 0;

    for (int i = 0; i < plugin.getNumPresetFolderTrees(); ++i)
    {
        const auto* tree = plugin.getPresetFolderTree (i);

        if (tree == nullptr)
            continue;

        for (const auto& path : tree->getFilePaths())
        {
            const juce::File file (path);
            plugin.updatePresetFileAuthor (file);

            if (file.existsAsFile())
            {
                const auto displayPath = tree->getDisplayPath (file);
                const juce::ScopedLock lock (fileNameLock);
                currentFileName = displayPath.containsChar ('.') ? displayPath.upToLastOccurrenceOf (".", false, false)
                                                                 : displayPath;
            }

            ++done;
            progressPercent = juce::jlimit (0, 100, total > 0 ? done * 100 / total : 100);

            if (threadShouldExit())
                return;
        }
    }

    completed = 1;
}

void PresetsSettingsComponent::UpdateAuthorWindow::timerCallback()
{
    progressLabel.setText ("Progress: " + juce::String (progressPercent.load()) + "%", juce::dontSendNotification);

    {
        const juce::ScopedLock lock (fileNameLock);
        fileLabel.setText (currentFileName, juce::dontSendNotification);
    }

    if (isThreadRunning())
        return;

    stopTimer();
    okButton.setEnabled (true);
    cancelButton.setEnabled (false);
    fileLabel.setVisible (false);
    progressLabel.setVisible (false);
    messageLabel.setText (completed.load() == 1 ? "Operation completed." : "Operation has been cancelled.",
                          juce::dontSendNotification);
}

void PresetsSettingsComponent::UpdateAuthorWindow::buttonClicked (juce::Button* button)
{
    if (button == &cancelButton)
        signalThreadShouldExit();
    else if (button == &okButton)
        hide();
    else
        WindowComponent::buttonClicked (button);
}

void PresetsSettingsComponent::UpdateAuthorWindow::resized()
{
    WindowComponent::resized();
    auto area = getContentArea();
    messageLabel.setBounds (area.removeFromTop (labelHeight));
    progressLabel.setBounds (area.removeFromTop (labelHeight));
    fileLabel.setBounds (area.removeFromTop (labelHeight));

    const auto content = getContentArea();
    buttonRow.setTopLeftPosition (content.getRight() - buttonRow.getWidth(), content.getBottom() - buttonRow.getHeight());
}

//==============================================================================
PresetsSettingsComponent::PresetsSettingsComponent (BasePlugin& pluginToUse)
    : plugin (pluginToUse),
      authorInput ("AuthorInput", pluginToUse.getPresetAuthor()),
      updateWindow (pluginToUse)
{
    authorRow.setSpacing (6);
    authorInput.setSize (200, lineHeight);
    authorInput.addListener (static_cast<ModalTextEditor::ModalListener*> (this));
    updateButton.setWantsKeyboardFocus (false);
    updateButton.addListener (this);
    authorRow.addAndMakeVisible (authorInput);
    authorRow.addAndMakeVisible (updateButton);
    authorPanel.setContentComponent (&authorRow, false);
    addAndMakeVisible (authorPanel);

    addChildComponent (updateWindow);

    setUpLabel (directoryLabel);
    directoryLabel.setText ("Presets directory: " + plugin.getUserSettingsFolder().getFullPathName(), juce::dontSendNotification);
    addAndMakeVisible (directoryLabel);
}

PresetsSettingsComponent::~PresetsSettingsComponent()
{
    updateButton.removeListener (this);
}

void PresetsSettingsComponent::buttonClicked (juce::Button* button)
{
    if (button == &updateButton && ! updateWindow.isVisible())
        updateWindow.start();
}

void PresetsSettingsComponent::textCommitted (ModalTextEditor* source)
{
    // The editor's text: the field may hear the commit after this page.
    plugin.setPresetAuthor (source != nullptr ? source->getText() : authorInput.getText());
}

void PresetsSettingsComponent::lookAndFeelChanged()
{
    fitButtonToText (updateButton);
    resized();
}

void PresetsSettingsComponent::resized()
{
    authorPanel.setSize (getWidth(), authorPanel.getHeight());
    const auto contentWidth = authorPanel.getContentArea().getWidth();
    authorInput.setSize (juce::jmax (0, contentWidth - 6 - updateButton.getWidth()), lineHeight);
    authorRow.layoutChildren();
    authorPanel.fitSize (getWidth(), -1);
    authorPanel.layoutContent();
    authorPanel.setTopLeftPosition (0, 0);
    directoryLabel.setBounds (0, authorPanel.getBottom() + 6, getWidth(), lineHeight);
}
