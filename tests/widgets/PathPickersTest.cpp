#include "support/PixelProbe.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"
#include "widgets/DefaultResourceCheckBox.h"
#include "widgets/DefaultResourcesRadioButtons.h"
#include "widgets/PathComponent.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Stands in for the file dialog: keeps the request and answers when the test says.
struct ScriptedChooser : public FileChooserLauncher
{
    struct Record
    {
        int launches = 0;
        Request request;
        Callback pending;
    };

    explicit ScriptedChooser (Record& recordToFill) : record (recordToFill) {}

    void launch (juce::Component&, const Request& request, Callback callback) override
    {
        ++record.launches;
        record.request = request;
        record.pending = std::move (callback);
    }

    Record& record;
};

struct PathListener : public PathComponent::Listener,
                      public DefaultResourceCheckBox::Listener,
                      public RadioButtons_V2::Listener
{
    void pathChanged (PathComponent*) override { ++calls; }
    void defaultResourceCheckBoxChanged (DefaultResourceCheckBox*) override { ++calls; }
    void radioButtonsChanged (RadioButtons_V2*) override { ++calls; }

    int calls = 0;
};

const juce::File mapFile ("/home/user/Maps/Live Set.tqccmap");
} // namespace

TEST (PathComponent, BrowsePicksThroughTheChooserSeamAndCancellingChangesNothing)
{
    TestDesktop desktop;
    PathComponent picker;
    desktop.adopt (picker);
    picker.setBounds (10, 10, 300, 20);
    ScriptedChooser::Record chooser;
    picker.setFileChooserLauncher (std::make_unique<ScriptedChooser> (chooser));
    picker.setFilePatterns ("*.tqccmap");
    PathListener listener;
    picker.addListener (&listener);

    clickButton (picker.getBrowseButton());
    ASSERT_EQ (chooser.launches, 1);
    EXPECT_EQ (chooser.request.filePatterns, "*.tqccmap");
    EXPECT_TRUE ((chooser.request.flags & juce::FileBrowserComponent::openMode) != 0);

    chooser.pending (juce::File());
    EXPECT_EQ (picker.getPath(), juce::File());
    EXPECT_EQ (listener.calls, 0);

    clickButton (picker.getBrowseButton());
    chooser.pending (mapFile);
    EXPECT_EQ (picker.getPath(), mapFile);
    EXPECT_EQ (listener.calls, 1);
}

TEST (PathComponent, PathsThatDifferOnlyInCaseAreDifferentFiles)
{
    PathComponent picker;
    PathListener listener;
    picker.addListener (&listener);
    picker.setPath (mapFile, false);

    picker.setPath (mapFile, true);
    EXPECT_EQ (listener.calls, 0);

    const juce::File otherCase ("/home/user/maps/live set.tqccmap");
    picker.setPath (otherCase, true);
    EXPECT_EQ (picker.getPath().getFullPathName(), otherCase.getFullPathName());
    EXPECT_EQ (listener.calls, 1);
}

TEST (PathComponent, ALongPathShowsItsBeginningAndTheBrowseButtonFollowsEnablement)
{
    TestDesktop desktop;
    PathComponent picker;
    desktop.adopt (picker);
    picker.setBounds (0, 0, 200, 20);

    const auto& browse = picker.getBrowseButton();
    EXPECT_EQ (browse.getRight(), 200);
    EXPECT_EQ (picker.getFieldArea().getRight(), browse.getX() - PathComponent::gap);
    EXPECT_EQ (picker.getTextArea(), picker.getFieldArea().reduced (4, 0));

    picker.setPath (juce::File ("/tmp/a.tqccmap"), false);
    EXPECT_TRUE (picker.showsWholePath());
    picker.setPath (juce::File ("/home/user/Documents/Music/Projects/Basslines/Maps/Live Set.tqccmap"), false);
    EXPECT_FALSE (picker.showsWholePath());

    // The field's outline is the white 0xF002202, its fill 0xF002200; disabled, both at half opacity.
    const auto& lf = desktop.lookAndFeel;
    const auto outline = lf.findColour (DefaultLookAndFeel::pathFieldOutlineColourId);
    const auto fill = lf.findColour (DefaultLookAndFeel::pathFieldColourId);
    const auto middle = picker.getFieldArea().getCentreY();
    auto image = renderComponent (picker);
    EXPECT_TRUE (pixelIs (image, 0, middle, outline));
    EXPECT_TRUE (pixelIs (image, picker.getFieldArea().getCentreX(), 2, fill));

    picker.setEnabled (false);
    EXPECT_FALSE (browse.isEnabled());
    image = renderComponent (picker);
    EXPECT_TRUE (pixelIs (image, 0, middle, outline.withMultipliedAlpha (0.5f)));
}

TEST (PathComponent, TheRealChooserOpensInsideTheEditorAndClosesWithThePicker)
{
    TestDesktop desktop;
    auto picker = std::make_unique<PathComponent>();
    desktop.adopt (*picker);
    picker->setBounds (10, 10, 300, 20);
    const auto workingFolder = juce::File::getCurrentWorkingDirectory();

    picker->browse();

    auto* dialog = desktop.getChildComponent (desktop.getNumChildComponents() - 1);
    ASSERT_NE (dynamic_cast<juce::FileChooserDialogBox*> (dialog), nullptr);
    EXPECT_FALSE (dialog->isOnDesktop());
    EXPECT_TRUE (desktop.getLocalBounds().contains (dialog->getBounds())); // its buttons stay in reach

    // Its file list draws rows, which the editor's own look leaves blank.
    juce::TimeSliceThread scanner ("scanner");
    juce::DirectoryContentsList contents (nullptr, scanner);
    juce::FileListComponent list (contents);
    juce::Image row (juce::Image::ARGB, 200, 20, true);
    {
        juce::Graphics g (row);
        dialog->getLookAndFeel().drawFileBrowserRow (g, 200, 20, mapFile, mapFile.getFileName(), nullptr, "1 KB", "today",
                                                     false, true, 0, list);
    }
    EXPECT_TRUE (pixelIs (row, 199, 10, list.findColour (juce::DirectoryContentsDisplayComponent::highlightColourId)));

    picker.reset();
    dispatchPendingMessages();
    EXPECT_EQ (desktop.getNumChildComponents(), 0);
    EXPECT_EQ (juce::File::getCurrentWorkingDirectory(), workingFolder);
}

TEST (DefaultResourceCheckBox, TheFieldIsEnabledExactlyWhileTheBoxIsChecked)
{
    TestDesktop desktop;
    DefaultResourceCheckBox box ("Default map");
    desktop.adopt (box);
    box.setBounds (10, 10, 400, 20);
    PathListener listener;
    box.addListener (&listener);
    ScriptedChooser::Record chooser;
    box.getPathComponent().setFileChooserLauncher (std::make_unique<ScriptedChooser> (chooser));

    EXPECT_FALSE (box.getPathComponent().isEnabled());
    EXPECT_EQ (box.getPathComponent().getRight(), 400);
    EXPECT_EQ (box.getPathComponent().getX(), box.getCheckBox().getRight() + 6);

    box.setPath (mapFile, false);
    EXPECT_TRUE (box.isChecked());
    EXPECT_TRUE (box.getPathComponent().isEnabled());
    EXPECT_EQ (listener.calls, 0);

    box.setPath (juce::File(), true);
    EXPECT_FALSE (box.isChecked());
    EXPECT_FALSE (box.getPathComponent().isEnabled());
    EXPECT_EQ (listener.calls, 1);

    // A click on the box, then a file chosen in the field: both are told.
    clickButton (box.getCheckBox());
    EXPECT_TRUE (box.getPathComponent().isEnabled());
    EXPECT_EQ (listener.calls, 2);

    box.getPathComponent().browse();
    chooser.pending (mapFile);
    EXPECT_EQ (box.getPath(), mapFile);
    EXPECT_EQ (listener.calls, 3);
}

TEST (DefaultResourcesRadioButtons, OnlyTheLastOptionEnablesItsPathFieldAndAChosenFileCountsAsASelection)
{
    TestDesktop desktop;
    DefaultResourcesRadioButtons group ("Default patterns", { "Factory patterns", "Clear patterns", "User defined" });
    desktop.adopt (group);
    group.setSizeToFit (400, -1);
    PathListener listener;
    group.addListener (&listener);
    ScriptedChooser::Record chooser;
    auto& field = group.getPathComponent();
    field.setFileChooserLauncher (std::make_unique<ScriptedChooser> (chooser));

    EXPECT_FALSE (field.isEnabled()); // nothing selected at construction

    // The field stands on the last option's line, 6 px after its text.
    const auto last = group.getLastButtonBounds();
    auto* lastButton = group.getButton (2);
    const auto lastInGroup = group.getLocalArea (lastButton->getParentComponent(), last);
    EXPECT_EQ (field.getX(), lastInGroup.getRight() + 6);
    EXPECT_EQ (field.getY(), lastInGroup.getY());
    EXPECT_EQ (field.getHeight(), 20);

    group.setSelectedIndex (2, false);
    EXPECT_TRUE (field.isEnabled());
    group.setSelectedIndex (0, false);
    EXPECT_FALSE (field.isEnabled());

    field.browse();
    chooser.pending (juce::File ("/home/user/Patterns/Set.tqptrb"));
    EXPECT_EQ (listener.calls, 1);
}
