#include "widgets/FileChooserLauncher.h"

#include "widgets/ModalComponent.h"

FileChooserLauncher::FileChooserLauncher() = default;

FileChooserLauncher::~FileChooserLauncher() = default;

void FileChooserLauncher::launch (juce::Component& requester, const Request& request, Callback callback)
{
    // Inside the editor; a component outside any Desktop keeps the dialog in its own window.
    auto* parent = dynamic_cast<juce::Component*> (ModalComponent::findDesktop (&requester));

    if (parent == nullptr)
        parent = requester.getTopLevelComponent();

    chooser.reset();
    chooser = std::make_unique<juce::FileChooser> (request.title, request.initialLocation, request.filePatterns,
                                                   false, false, parent);

    chooser->launchAsync (request.flags, [done = std::move (callback)] (const juce::FileChooser& finished)
    {
        if (done)
            done (finished.getResult());
    });
}
