#pragma once

#include <juce_core/juce_core.h>

/**
    What a page's files are called: the extension (".tqccmap") that the files
    it saves are given, whatever the user typed.
*/
class FileType
{
public:
    explicit FileType (const juce::String& extension = {});
    virtual ~FileType();

    void setFileExtension (const juce::String& extension);
    const juce::String& getFileExtension() const noexcept { return fileExtension; }

private:
    juce::String fileExtension;
};
