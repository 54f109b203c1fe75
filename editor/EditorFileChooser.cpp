#include "editor/EditorFileChooser.h"

EditorFileChooser::EditorFileChooser (juce::Component& requestingComponent, Ulvra::AlertWindow::Caller& questionCaller)
    : requester (requestingComponent),
      caller (questionCaller),
      launcher (std::make_unique<FileChooserLauncher>())
{
}

EditorFileChooser::~EditorFileChooser()
{
    launcher.reset();
}

void EditorFileChooser::setFileChooserLauncher (std::unique_ptr<FileChooserLauncher> newLauncher)
{
    if (newLauncher == nullptr)
        return;

    // The old launcher closes its dialog without an answer.
    launcher = std::move (newLauncher);
    dialogOpen = false;
}

bool EditorFileChooser::chooseFileToOpen (const juce::String& title, const juce::File& initialLocation,
                                          const juce::String& patterns, Action action)
{
    FileChooserLauncher::Request request;
    request.title = title;
    request.initialLocation = initialLocation;
    request.filePatterns = patterns;
    request.flags = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles;

    return launch (request, [chosenAction = std::move (action)] (const juce::File& file)
    {
        if (chosenAction)
            chosenAction (file);
    });
}

bool EditorFileChooser::chooseFileToSave (const juce::String& title, const juce::File& initialLocation,
                                          const juce::String& patterns, const juce::String& extension, Action action)
{
    FileChooserLauncher::Request request;
    request.title = title;
    request.initialLocation = initialLocation;
    request.filePatterns = patterns;
    request.flags = juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                  | juce::FileBrowserComponent::warnAboutOverwriting;

    if (dialogOpen)
        return false;

    pendingSave = std::move (action);
    return launch (request, [this, title, extension] (const juce::File& typed) { saveChosenFile (typed, title, extension); });
}

bool EditorFileChooser::launch (const FileChooserLauncher::Request& request, std::function<void (const juce::File&)> onChosen)
{
    if (dialogOpen)
        return false;

    dialogOpen = true;
    launcher->launch (requester, request, [this, chosen = std::move (onChosen)] (const juce::File& file)
    {
        dialogOpen = false;

        if (file != juce::File())
            chosen (file);
    });
    return true;
}

void EditorFileChooser::saveChosenFile (const juce::File& typed, const juce::String& title, const juce::String& extension)
{
    const auto keepsName = extension.isEmpty()
                        || (extensionCaseIgnored && typed.getFileExtension().equalsIgnoreCase (extension));
    const auto file = keepsName ? typed : typed.withFileExtension (extension);

    // The dialog asked about the typed name only.
    if (file != typed && file.exists())
    {
        questionFile = file;
        question = Ulvra::AlertWindow::createYesCancelWindow (title, overwriteQuestionText (file), &caller);
        requester.addChildComponent (*question);
        question->show();
        return;
    }

    if (pendingSave)
        pendingSave (file);
}

bool EditorFileChooser::handleAnswer (Ulvra::AlertWindow* window, int result)
{
    if (window == nullptr || window != question.get())
        return false;

    if (result == Ulvra::AlertWindow::yes && pendingSave && questionFile != juce::File())
        pendingSave (questionFile);

    questionFile = juce::File();
    return true;
}

juce::String EditorFileChooser::overwriteQuestionText (const juce::File& file)
{
    return "Do you want to overwrite '" + file.getFileName() + "' ?";
}
