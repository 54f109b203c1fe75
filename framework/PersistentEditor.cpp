#include "framework/PersistentEditor.h"

#include "framework/XmlHelpers.h"

bool PersistentEditor::isSettingsTag (const juce::XmlElement& element) const
{
    return XmlHelpers::tagMatches (element, getSettingsTagName());
}

std::unique_ptr<juce::XmlElement> PersistentEditor::createSettingsXml()
{
    return std::make_unique<juce::XmlElement> (getSettingsTagName());
}

bool PersistentEditor::isStateTag (const juce::XmlElement& element) const
{
    return XmlHelpers::tagMatches (element, getStateTagName());
}

std::unique_ptr<juce::XmlElement> PersistentEditor::createStateXml()
{
    return std::make_unique<juce::XmlElement> (getStateTagName());
}
