#include "framework/Preset.h"

#include "framework/ParameterManager.h"
#include "framework/XmlFiles.h"
#include "framework/XmlHelpers.h"

#include <cmath>

namespace
{
// A preset value that reads as "nan", "inf" or a number beyond float range must
// never reach a numeric parameter; a text parameter takes any text.
bool isUnreadableNumber (const Parameter& parameter, const juce::String& text)
{
    if (dynamic_cast<const StringParameter*> (&parameter) != nullptr)
        return false;

    return ! std::isfinite (text.getFloatValue());
}

std::unique_ptr<juce::XmlElement> parseFile (const juce::File& file, bool outerElementOnly)
{
    if (! outerElementOnly)
        return XmlFiles::read (file, Preset::maxFileBytes);

    juce::String text;
    return XmlFiles::readText (file, text, Preset::maxFileBytes) ? XmlFiles::parseOuterElement (text) : nullptr;
}

const juce::XmlElement* firstChildElement (const juce::XmlElement& parent)
{
    for (auto* child : parent.getChildIterator())
        if (! child->isTextElement())
            return child;

    return nullptr;
}
} // namespace

Preset::Preset (const juce::String& presetName, const juce::String& presetId)
    : name (presetName), id (presetId)
{
}

void Preset::clearValues()
{
    values.clear();
    valueIndices.clear();
}

void Preset::addValue (std::unique_ptr<ParameterValue> value)
{
    if (value == nullptr)
        return;

    valueIndices.addRange ({ value->index, value->index + 1 });
    values.add (value.release());
}

void Preset::addValueCopy (const ParameterValue& value)
{
    addValue (std::make_unique<ParameterValue> (value));
}

void Preset::addParameter (const Parameter* parameter)
{
    if (parameter != nullptr)
        addValue (std::make_unique<ParameterValue> (ParameterValue { parameter->getId(), parameter->getText() }));
}

void Preset::addMissingValuesFrom (const Preset& other)
{
    // Judged against the ids held before the call, so the other preset's own
    // duplicates all come across.
    const auto present = valueIndices;

    for (auto* value : other.values)
        if (! present.contains (value->index))
            addValueCopy (*value);
}

void Preset::setRating (int newRating)
{
    if (newRating < 1 || newRating > 5)
        return;

    rating = newRating;
    ratingSet = true;
}

bool Preset::fromXml (const juce::XmlElement* element, const ParameterManager* manager, bool headerOnly)
{
    if (element == nullptr || ! XmlHelpers::tagMatches (*element, "Preset"))
        return false;

    clearValues();

    name = element->getStringAttribute ("name");
    application = element->getStringAttribute ("application");
    category = element->getStringAttribute ("category");
    version = element->getStringAttribute ("version");
    author = element->getStringAttribute ("author");
    id = element->getStringAttribute ("id");
    tags = PresetTags (element->getStringAttribute ("tags"));

    if (element->hasAttribute ("rating"))
        setRating (element->getIntAttribute ("rating"));

    if (headerOnly)
        return true;

    XmlHelpers::forEachChildNamed (*element, "param", [&] (const juce::XmlElement& param)
    {
        if (manager == nullptr)
            return;

        const auto parameterId = manager->getIdOf (param.getStringAttribute ("name"));
        const auto* parameter = manager->getParameter (parameterId);

        if (parameter == nullptr)
            return;

        const auto text = param.getStringAttribute ("value");

        if (! isUnreadableNumber (*parameter, text))
            addValue (std::make_unique<ParameterValue> (ParameterValue { parameterId, text }));
    });

    if (const auto* extra = XmlHelpers::findChild (*element, "ExtraData"))
        if (const auto* data = firstChildElement (*extra))
            if (data != extraData.get())
                extraData = std::make_unique<juce::XmlElement> (*data);

    return true;
}

std::unique_ptr<juce::XmlElement> Preset::toXml (const ParameterManager* manager) const
{
    auto element = std::make_unique<juce::XmlElement> ("Preset");

    const auto setIfNotEmpty = [&element] (const char* attribute, const juce::String& text)
    {
        if (text.isNotEmpty())
            element->setAttribute (attribute, text);
    };

    setIfNotEmpty ("name", name);
    setIfNotEmpty ("application", application);
    setIfNotEmpty ("category", category);
    setIfNotEmpty ("version", version);
    setIfNotEmpty ("author", author);
    setIfNotEmpty ("id", id);

    if (ratingSet)
        element->setAttribute ("rating", rating);

    if (! tags.isEmpty())
        element->setAttribute ("tags", tags.toString());

    if (manager != nullptr)
    {
        // A file may repeat a value any number of times, and all of them are kept.
        XmlHelpers::ChildList params;

        for (auto* value : values)
        {
            const auto& parameterName = manager->getNameOf (value->index);

            if (parameterName.isEmpty())
                continue;

            auto* param = params.add ("param");
            param->setAttribute ("name", parameterName);
            param->setAttribute ("value", value->value);
        }

        params.appendTo (*element);
    }

    if (extraData != nullptr)
        element->createNewChildElement ("ExtraData")->addChildElement (new juce::XmlElement (*extraData));

    return element;
}

bool Preset::load (const juce::File& file, const ParameterManager* manager, bool headerOnly)
{
    const auto root = parseFile (file, headerOnly);
    return fromXml (root.get(), manager, headerOnly);
}

bool Preset::save (const juce::File& file, const ParameterManager* manager)
{
    return XmlFiles::write (*toXml (manager), file, maxFileBytes);
}

bool Preset::patchFileHeader (const juce::File& file, int fields) const
{
    auto root = parseFile (file, false);

    if (root == nullptr || ! XmlHelpers::tagMatches (*root, "Preset"))
        return false;

    const auto patch = [&root] (const char* attribute, const juce::String& text)
    {
        if (text.isEmpty())
            root->removeAttribute (attribute);
        else
            root->setAttribute (attribute, text);
    };

    if ((fields & authorField) != 0)
        patch ("author", author);

    if ((fields & idField) != 0)
        patch ("id", id);

    // The document goes to a file beside the old one, which it replaces only
    // once it is complete (and only when it can still be read).
    return XmlFiles::write (*root, file, maxFileBytes);
}
