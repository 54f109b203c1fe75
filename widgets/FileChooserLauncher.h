#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

/**
    Opens the toolkit's own file dialog for a component, inside the nearest
    ModalComponent::Desktop above it (the editor), and hands the answer back
    asynchronously. The dialog is never the platform's: with zenity or kdialog
    installed, JUCE would open a separate window and change the host process's
    working directory.

    A component that asks for files holds one and calls launch; tests replace
    it with a launcher of their own that picks a file or cancels.
*/
class FileChooserLauncher
{
public:
    /** What the dialog asks for. */
    struct Request
    {
        juce::String title;
        juce::File initialLocation;
        juce::String filePatterns;
        /** juce::FileBrowserComponent flags. */
        int flags = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles;
    };

    /** Gets the chosen file, or juce::File() when the user cancelled. */
    using Callback = std::function<void (const juce::File&)>;

    FileChooserLauncher();
    virtual ~FileChooserLauncher();

    /** Opens the dialog for requester. The callback runs later on the message
        thread, and never once this launcher is gone. A dialog still open is
        closed first without an answer. */
    virtual void launch (juce::Component& requester, const Request& request, Callback callback);

private:
    /** Gives JUCE's dialog the editor's look and keeps it inside the parent. */
    void adaptDialog (juce::Component* parent);

    // The look outlives the dialog that uses it.
    std::unique_ptr<juce::LookAndFeel> dialogLook;
    std::unique_ptr<juce::FileChooser> chooser;

    JUCE_DECLARE_NON_COPYABLE (FileChooserLauncher)
};
