#pragma once

#include "support/MessageQueue.h"
#include "widgets/FileChooserLauncher.h"

#include <memory>

/*  Stands in for the file dialog through the launcher seam: it keeps what was
    asked and answers when the test says, with a file or a cancel.
*/
class ScriptedFileChooser : public FileChooserLauncher
{
public:
    struct Record
    {
        int launches = 0;
        Request request;
        Callback pending;

        bool isSaveDialog() const { return (request.flags & juce::FileBrowserComponent::saveMode) != 0; }
        bool warnsAboutOverwriting() const
        {
            return (request.flags & juce::FileBrowserComponent::warnAboutOverwriting) != 0;
        }

        /** Answers the open dialog with a file, as the user's choice. */
        void choose (const juce::File& file)
        {
            auto callback = std::move (pending);
            pending = nullptr;

            if (callback)
                callback (file);

            dispatchPendingMessages();
        }

        void cancel() { choose (juce::File()); }
    };

    explicit ScriptedFileChooser (Record& recordToFill) : record (recordToFill) {}

    static std::unique_ptr<FileChooserLauncher> into (Record& record)
    {
        return std::make_unique<ScriptedFileChooser> (record);
    }

    void launch (juce::Component&, const Request& request, Callback callback) override
    {
        ++record.launches;
        record.request = request;
        record.pending = std::move (callback);
    }

private:
    Record& record;
};
