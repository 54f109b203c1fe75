#pragma once

#include "editor/EditorFileChooser.h"
#include "editor/EditorIcons.h"
#include "editor/OldStylePresetsBrowser.h"
#include "framework/BasePluginOldStyle.h"
#include "widgets/ComponentRow.h"
#include "widgets/ToolbarDrawableButton.h"
#include "widgets/WindowComponent.h"

/**
    The "Preset Browser" window: the group and preset columns, a tool column
    for groups, copy, paste and stepping, and buttons that load and save single
    presets and whole banks. It follows the plug-in's current preset, however
    it was chosen (a MIDI program change included).
*/
class OldStylePresetBrowserWindow : public WindowComponent,
                                    public Parameter::Listener,
                                    public Ulvra::AlertWindow::Caller
{
public:
    explicit OldStylePresetBrowserWindow (BasePluginOldStyle& plugin);
    ~OldStylePresetBrowserWindow() override;

    /** "Add Group" wants one selected group row; "Rem Group" one selected, empty group. */
    void updateGroupButtons();

    OldStylePresetsBrowser& getBrowser() noexcept { return browser; }
    ComponentRow& getToolColumn() noexcept { return toolColumn; }
    ComponentRow& getFileRow() noexcept { return fileRow; }
    EditorFileChooser& getFileChooser() noexcept { return fileChooser; }

    ToolbarDrawableButton& getAddGroupButton() noexcept { return addGroupButton; }
    ToolbarDrawableButton& getRemoveGroupButton() noexcept { return removeGroupButton; }
    ToolbarDrawableButton& getCopyButton() noexcept { return copyButton; }
    ToolbarDrawableButton& getPasteButton() noexcept { return pasteButton; }
    ToolbarDrawableButton& getUpButton() noexcept { return upButton; }
    ToolbarDrawableButton& getDownButton() noexcept { return downButton; }
    juce::TextButton& getPresetLoadButton() noexcept { return presetLoadButton; }
    juce::TextButton& getPresetSaveButton() noexcept { return presetSaveButton; }
    juce::TextButton& getBankLoadButton() noexcept { return bankLoadButton; }
    juce::TextButton& getBankSaveButton() noexcept { return bankSaveButton; }

    bool wantsDimmedBackground() const override;
    void buttonClicked (juce::Button* button) override;
    void parameterChanged (Parameter* parameter) override;
    void alertWindowResult (Ulvra::AlertWindow* window, int result) override;
    void lookAndFeelChanged() override;
    void resized() override;

private:
    void presetsReplaced();
    void reportIfFailed (bool succeeded, const juce::File& file, const juce::String& failure);

    BasePluginOldStyle& plugin;
    OldStylePresetsBrowser browser;

    ComponentRow toolColumn { ComponentRow::topToBottom, ComponentRow::alignStart };
    ToolbarDrawableButton addGroupButton { "Add Group", EditorIcons::add };
    ToolbarDrawableButton removeGroupButton { "Rem Group", EditorIcons::remove };
    ToolbarDrawableButton copyButton { "Copy", EditorIcons::copy };
    ToolbarDrawableButton pasteButton { "Paste", EditorIcons::paste };
    ToolbarDrawableButton upButton { "Up", EditorIcons::moveUp };
    ToolbarDrawableButton downButton { "Down", EditorIcons::moveDown };

    ComponentRow fileRow { ComponentRow::leftToRight, ComponentRow::alignCentre };
    juce::Label presetLabel { {}, "Preset" };
    juce::TextButton presetLoadButton { "Load" };
    juce::TextButton presetSaveButton { "Save" };
    juce::Label bankLabel { {}, "Bank" };
    juce::TextButton bankLoadButton { "Load" };
    juce::TextButton bankSaveButton { "Save" };

    EditorFileChooser fileChooser { *this, *this };

    JUCE_DECLARE_NON_COPYABLE (OldStylePresetBrowserWindow)
};
