#include "editor/EditorFileChooser.h"
#include "support/ScriptedFileChooser.h"
#include "support/TemporaryFolder.h"
#include "support/TestDesktop.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace
{
// A page that saves through the chooser and passes the answers on, as the editor's pages do.
struct SavingPage : public juce::Component,
                    public Ulvra::AlertWindow::Caller
{
    void alertWindowResult (Ulvra::AlertWindow* window, int result) override
    {
        answeredByChooser = fileChooser.handleAnswer (window, result);
    }

    void save()
    {
        fileChooser.chooseFileToSave ("Save current settings as preset", {}, "*.tqprs", ".tqprs",
                                      [this] (const juce::File& file) { written.push_back (file); });
    }

    EditorFileChooser fileChooser { *this, *this };
    std::vector<juce::File> written;
    bool answeredByChooser = false;
};
} // namespace

TEST (EditorFileChooser, ASaveGetsTheExtensionAndAsksBeforeOverwritingTheCorrectedFile)
{
    enum Answer
    {
        none,
        yes,
        cancel
    };

    struct Row
    {
        const char* typed;
        bool correctedExists;
        Answer answer;
        bool written;
    };

    // The dialog itself warned about the typed name; only a different, existing corrected name asks again.
    const Row rows[] = {
        { "Lead", false, none, true },
        { "Lead.txt", false, none, true },
        { "Lead.tqprs", true, none, true },
        { "Lead.txt", true, cancel, false },
        { "Lead.txt", true, yes, true },
        { "Lead", true, yes, true },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (juce::String (row.typed) + (row.correctedExists ? ", Lead.tqprs exists" : ""));
        TemporaryFolder folder;
        const auto corrected = folder.get().getChildFile ("Lead.tqprs");

        if (row.correctedExists)
            corrected.replaceWithText ("old");

        TestDesktop desktop;
        SavingPage page;
        desktop.adopt (page);
        page.setBounds (desktop.getLocalBounds());
        ScriptedFileChooser::Record chooser;
        page.fileChooser.setFileChooserLauncher (ScriptedFileChooser::into (chooser));

        page.save();
        chooser.choose (folder.get().getChildFile (row.typed));
        auto* question = page.fileChooser.getQuestion();

        if (row.answer == none)
        {
            EXPECT_EQ (question, nullptr);
        }
        else
        {
            ASSERT_NE (question, nullptr);
            EXPECT_TRUE (question->isVisible() && question->getDesktop() == &desktop);
            EXPECT_EQ (question->getMessage(), "Do you want to overwrite 'Lead.tqprs' ?");
            EXPECT_EQ (question->getButton (0)->getButtonText(), "Yes");
            EXPECT_EQ (question->getButton (1)->getButtonText(), "Cancel");
            clickButton (*question->getButton (row.answer == yes ? 0 : 1));
            EXPECT_TRUE (page.answeredByChooser);
        }

        const std::vector<juce::File> expected = row.written ? std::vector<juce::File> { corrected } : std::vector<juce::File> {};
        EXPECT_EQ (page.written, expected);
    }
}

TEST (EditorFileChooser, ACancelledDialogDoesNothingAndOneDialogIsOpenAtATime)
{
    TestDesktop desktop;
    SavingPage page;
    desktop.adopt (page);
    ScriptedFileChooser::Record chooser;
    page.fileChooser.setFileChooserLauncher (ScriptedFileChooser::into (chooser));

    page.save();
    EXPECT_FALSE (page.fileChooser.chooseFileToOpen ("Load single preset", {}, "*.tqprs", [] (const juce::File&) {}));
    page.save();
    EXPECT_EQ (chooser.launches, 1);

    chooser.cancel();
    EXPECT_TRUE (page.written.empty());
    EXPECT_EQ (page.fileChooser.getQuestion(), nullptr);

    page.save();
    EXPECT_EQ (chooser.launches, 2);
}
