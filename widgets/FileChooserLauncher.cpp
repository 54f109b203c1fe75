#include "widgets/FileChooserLauncher.h"

#include "widgets/DefaultLookAndFeel.h"
#include "widgets/ModalComponent.h"

namespace
{
// The editor's look for JUCE's dialog, except that the file list shows its
// rows: the editor's look draws file-browser rows as nothing.
struct FileDialogLookAndFeel : public DefaultLookAndFeel
{
    void drawFileBrowserRow (juce::Graphics& g, int width, int height, const juce::File& file,
                             const juce::String& filename, juce::Image* icon, const juce::String& fileSizeDescription,
                             const juce::String& fileTimeDescription, bool isDirectory, bool isItemSelected,
                             int itemIndex, juce::DirectoryContentsDisplayComponent& display) override
    {
        juce::LookAndFeel_V2::drawFileBrowserRow (g, width, height, file, filename, icon, fileSizeDescription,
                                                  fileTimeDescription, isDirectory, isItemSelected, itemIndex, display);
    }
};
} // namespace

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

    adaptDialog (parent);
}

void FileChooserLauncher::adaptDialog (juce::Component* parent)
{
    if (parent == nullptr)
        return;

    for (int i = parent->getNumChildComponents(); --i >= 0;)
    {
        auto* dialog = dynamic_cast<juce::FileChooserDialogBox*> (parent->getChildComponent (i));

        if (dialog == nullptr)
            continue;

        if (dialogLook == nullptr)
            dialogLook = std::make_unique<FileDialogLookAndFeel>();

        // JUCE took the background from its default look before the dialog had a parent.
        dialog->setLookAndFeel (dialogLook.get());
        dialog->setBackgroundColour (dialogLook->findColour (DefaultLookAndFeel::windowBackgroundColourId));

        // JUCE opens the dialog 500 px high: in a smaller editor its buttons
        // would lie out of reach below the edge.
        const auto area = parent->getLocalBounds().reduced (12);
        const auto width = juce::jmin (dialog->getWidth(), area.getWidth());
        const auto height = juce::jmin (dialog->getHeight(), area.getHeight());
        dialog->setBounds (area.withSizeKeepingCentre (width, height));
        return;
    }
}
