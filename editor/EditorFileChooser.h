#pragma once

#include "widgets/AlertWindow.h"
#include "widgets/FileChooserLauncher.h"

#include <functional>
#include <memory>

/**
    The file dialogs of an editor page or window: one dialog at a time, opened
    through a FileChooserLauncher (tests replace it), the chosen file handed to
    an action on the message thread. A cancelled dialog does nothing.

    A file to save gets the page's extension, replacing any other. The dialog
    only warned about the name the user typed; when the corrected name is
    another file that exists, a Yes/Cancel question asks first. The asking
    page is the question's Caller and passes every answer to handleAnswer.
*/
class EditorFileChooser
{
public:
    using Action = std::function<void (const juce::File&)>;

    /** requester: the page or window that asks; the dialog and the question
        open inside the editor above it. */
    EditorFileChooser (juce::Component& requester, Ulvra::AlertWindow::Caller& caller);
    ~EditorFileChooser();

    void setFileChooserLauncher (std::unique_ptr<FileChooserLauncher> newLauncher);

    /** With it, a file to save whose extension is the page's in another case
        ("Bank.TQPTRB") keeps its name; without it (the default), the page's
        extension replaces it as typed. */
    void setExtensionCaseIgnored (bool shouldIgnoreCase) noexcept { extensionCaseIgnored = shouldIgnoreCase; }

    /** True while a dialog waits for the user. */
    bool isDialogOpen() const noexcept { return dialogOpen; }

    /** Asks for a file to read. False, doing nothing, while a dialog is open. */
    bool chooseFileToOpen (const juce::String& title, const juce::File& initialLocation,
                           const juce::String& patterns, Action action);

    /** Asks for a file to write; the action gets it with the extension. False,
        doing nothing, while a dialog is open. */
    bool chooseFileToSave (const juce::String& title, const juce::File& initialLocation,
                           const juce::String& patterns, const juce::String& extension, Action action);

    /** Takes an answer the Caller was given; true when it answered this
        chooser's question ("Yes" then saves, anything else does nothing). */
    bool handleAnswer (Ulvra::AlertWindow* window, int result);

    /** The overwrite question last asked, or null. */
    Ulvra::AlertWindow* getQuestion() const noexcept { return question.get(); }

    /** The question's text for a file. */
    static juce::String overwriteQuestionText (const juce::File& file);

private:
    bool launch (const FileChooserLauncher::Request& request, std::function<void (const juce::File&)> onChosen);
    void saveChosenFile (const juce::File& typed, const juce::String& title, const juce::String& extension);

    juce::Component& requester;
    Ulvra::AlertWindow::Caller& caller;
    bool dialogOpen = false;
    bool extensionCaseIgnored = false;

    std::unique_ptr<Ulvra::AlertWindow> question;
    juce::File questionFile;
    Action pendingSave;

    // Last: it goes first, and with it any answer still to come.
    std::unique_ptr<FileChooserLauncher> launcher;

    JUCE_DECLARE_NON_COPYABLE (EditorFileChooser)
};
