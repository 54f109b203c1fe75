#include "editor/OldStylePresetBrowserWindow.h"

#include "editor/BasePluginEditor.h"
#include "widgets/InterfaceTypefaces.h"

namespace
{
constexpr int toolButtonSize = 24;
constexpr int fileRowHeight = 20;
constexpr int fileRowSpacing = 6;
constexpr int fileRowRightInset = 6;
constexpr int browserGapAfterTools = 5;
constexpr int browserGapAboveFiles = 6;
constexpr int firstRepeatMs = 1000, repeatMs = 100;
} // namespace

OldStylePresetBrowserWindow::OldStylePresetBrowserWindow (BasePluginOldStyle& pluginToBrowse)
    : plugin (pluginToBrowse),
      browser (*this, pluginToBrowse)
{
    setTitle ("Preset Browser");

    addGroupButton.setTooltip ("Add group");
    removeGroupButton.setTooltip ("Remove empty group");
    copyButton.setTooltip ("Copy current preset");
    pasteButton.setTooltip ("Paste copied preset");
    upButton.setTooltip ("Select previous preset");
    downButton.setTooltip ("Select next preset");
    upButton.setRepeatSpeed (firstRepeatMs, repeatMs);
    downButton.setRepeatSpeed (firstRepeatMs, repeatMs);

    for (auto* button : { &addGroupButton, &removeGroupButton, &copyButton, &pasteButton, &upButton, &downButton })
    {
        button->setSize (toolButtonSize, toolButtonSize);
        button->addListener (this);
        toolColumn.addAndMakeVisible (button);
    }

    presetLoadButton.setTooltip ("Load preset");
    presetSaveButton.setTooltip ("Save current preset");
    bankLoadButton.setTooltip ("Load preset bank");
    bankSaveButton.setTooltip ("Save current preset bank");

    fileRow.setSpacing (fileRowSpacing);

    for (auto* label : { &presetLabel, &bankLabel })
    {
        label->setFont (InterfaceTypefaces::font (13.0f));
        label->setJustificationType (juce::Justification::centredRight);
    }

    for (auto* button : { &presetLoadButton, &presetSaveButton, &bankLoadButton, &bankSaveButton })
    {
        button->setWantsKeyboardFocus (false);
        button->addListener (this);
    }

    for (juce::Component* child : std::initializer_list<juce::Component*> { &presetLabel, &presetLoadButton, &presetSaveButton,
                                                                             &bankLabel, &bankLoadButton, &bankSaveButton })
        fileRow.addAndMakeVisible (child);

    addAndMakeVisible (browser);
    addAndMakeVisible (toolColumn);
    addAndMakeVisible (fileRow);

    browser.openColumn (browser.createFirstColumn());

    auto& parameters = plugin.getParameterManager();
    parameters.addAsyncListener (BasePluginOldStyle::currentPresetNumberId, this);
    parameters.addAsyncListener (BasePluginOldStyle::currentPresetNameId, this);

    lookAndFeelChanged();

    for (auto id : { BasePluginOldStyle::currentPresetNumberId, BasePluginOldStyle::currentPresetNameId })
        if (auto* parameter = parameters.getParameter (id))
            parameterChanged (parameter);
}

OldStylePresetBrowserWindow::~OldStylePresetBrowserWindow()
{
    auto& parameters = plugin.getParameterManager();
    parameters.removeAsyncListener (BasePluginOldStyle::currentPresetNumberId, this);
    parameters.removeAsyncListener (BasePluginOldStyle::currentPresetNameId, this);
}

bool OldStylePresetBrowserWindow::wantsDimmedBackground() const
{
    return true;
}

void OldStylePresetBrowserWindow::updateGroupButtons()
{
    auto* groups = browser.getGroupColumn();
    const auto group = groups != nullptr ? groups->getSingleSelectedGroup() : -1;
    addGroupButton.setEnabled (group >= 0);
    removeGroupButton.setEnabled (group >= 0 && plugin.getNumPresetsInGroup (group) == 0);
}

void OldStylePresetBrowserWindow::buttonClicked (juce::Button* button)
{
    auto* groups = browser.getGroupColumn();
    const auto selectedGroup = groups != nullptr ? groups->getSingleSelectedGroup() : -1;

    if (button == &addGroupButton)
    {
        if (selectedGroup >= 0 && plugin.insertNewGroup (selectedGroup))
            browser.refreshColumns();
    }
    else if (button == &removeGroupButton)
    {
        if (selectedGroup >= 0 && plugin.removeGroupIfEmpty (selectedGroup))
            browser.refreshColumns();
    }
    else if (button == &copyButton)
    {
        plugin.copyCurrentPreset();
    }
    else if (button == &pasteButton)
    {
        plugin.pasteCopiedPreset();
    }
    else if (button == &upButton)
    {
        plugin.selectPreviousPreset (1);
    }
    else if (button == &downButton)
    {
        plugin.selectNextPreset (1);
    }
    else if (button == &presetLoadButton)
    {
        fileChooser.chooseFileToOpen ("Load single preset", plugin.getLastUsedFolder(), plugin.getPresetLoadWildcard(),
                                      [this] (const juce::File& file)
                                      {
                                          reportIfFailed (plugin.loadPresetFileIntoCurrentSlot (file), file, BasePluginEditor::couldNotBeLoaded);
                                      });
    }
    else if (button == &presetSaveButton)
    {
        fileChooser.chooseFileToSave ("Save current settings as preset", plugin.getLastUsedFolder(), plugin.getPresetSaveWildcard(),
                                      plugin.getPresetFileExtension(),
                                      [this] (const juce::File& file)
                                      {
                                          reportIfFailed (plugin.saveCurrentPresetToFile (file), file, BasePluginEditor::couldNotBeSaved);
                                      });
    }
    else if (button == &bankLoadButton)
    {
        fileChooser.chooseFileToOpen ("Load preset bank", plugin.getLastUsedFolder(), plugin.getBankLoadWildcard(),
                                      [this] (const juce::File& file)
                                      {
                                          if (plugin.loadBankFromFile (file))
                                              presetsReplaced();
                                          else
                                              reportIfFailed (false, file, BasePluginEditor::couldNotBeLoaded);
                                      });
    }
    else if (button == &bankSaveButton)
    {
        fileChooser.chooseFileToSave ("Save preset bank", plugin.getLastUsedFolder(), plugin.getBankSaveWildcard(),
                                      plugin.getBankFileExtension(),
                                      [this] (const juce::File& file)
                                      {
                                          reportIfFailed (plugin.saveBankToFile (file), file, BasePluginEditor::couldNotBeSaved);
                                      });
    }
    else
    {
        WindowComponent::buttonClicked (button);
    }
}

void OldStylePresetBrowserWindow::reportIfFailed (bool succeeded, const juce::File& file, const juce::String& failure)
{
    // The status bar below the editor's panel stays in sight while the window is up.
    if (! succeeded)
        BasePluginEditor::showFileFailureAbove (*this, file, failure);
}

void OldStylePresetBrowserWindow::presetsReplaced()
{
    // A new bank may keep the current number and name, and then no parameter tells of it.
    browser.refreshColumns();
    browser.showPreset (plugin.getCurrentPresetIndex());
}

void OldStylePresetBrowserWindow::parameterChanged (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    if (parameter->getId() == BasePluginOldStyle::currentPresetNameId)
        browser.refreshColumns();
    else if (parameter->getId() == BasePluginOldStyle::currentPresetNumberId)
        browser.showPreset (parameter->getIntValue());
}

void OldStylePresetBrowserWindow::alertWindowResult (Ulvra::AlertWindow* window, int result)
{
    fileChooser.handleAnswer (window, result);
}

void OldStylePresetBrowserWindow::lookAndFeelChanged()
{
    WindowComponent::lookAndFeelChanged();

    for (auto* label : { &presetLabel, &bankLabel })
    {
        const auto border = label->getBorderSize();
        label->setSize (label->getFont().getStringWidth (label->getText()) + border.getLeftAndRight(), fileRowHeight);
    }

    for (auto* button : { &presetLoadButton, &presetSaveButton, &bankLoadButton, &bankSaveButton })
        button->changeWidthToFitText (fileRowHeight);

    resized();
}

void OldStylePresetBrowserWindow::resized()
{
    WindowComponent::resized();

    const auto area = getContentArea();
    toolColumn.setTopLeftPosition (area.getTopLeft());
    fileRow.setTopLeftPosition (area.getRight() - fileRowRightInset - fileRow.getWidth(), area.getBottom() - fileRow.getHeight());

    const auto left = toolColumn.getRight() + browserGapAfterTools;
    browser.setBounds (left, area.getY(), juce::jmax (0, area.getRight() - 1 - left),
                       juce::jmax (0, fileRow.getY() - browserGapAboveFiles - area.getY()));
}
