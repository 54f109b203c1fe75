#include "editor/FileType.h"

FileType::FileType (const juce::String& extension)
    : fileExtension (extension)
{
}

FileType::~FileType() = default;

void FileType::setFileExtension (const juce::String& extension)
{
    fileExtension = extension;
}
