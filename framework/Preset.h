#pragma once

#include "framework/Parameter.h"
#include "framework/PresetTags.h"

#include <memory>

class ParameterManager;

/**
    One self-contained preset record: a header (name, author, id, application,
    category, rating, version, tags), parameter values as text keyed by
    parameter id, and an optional block of extra XML.

    It reads and writes itself as a "Preset" element, in which the values are
    "param" children named by parameter name, and as a single preset file. A
    file's header can be read alone, and its author and id patched in place.
    This is not the preset slot of the old-style layer, whose "Preset" elements
    carry normalised values.
*/
class Preset
{
public:
    /** The longest record file read: every parameter's value and a header
        take about 10 KB, and "ExtraData" leaves room for a little more. */
    static constexpr juce::int64 maxFileBytes = 256 * 1024;

    /** What patchFileHeader rewrites; the flags may be combined. */
    enum HeaderField
    {
        authorField = 2,
        idField = 4
    };

    Preset() = default;
    Preset (const juce::String& name, const juce::String& id);
    virtual ~Preset() = default;

    //==============================================================================
    /** Removes every value; the header stays. */
    void clearValues();

    /** Appends a value and takes ownership; null is ignored. Duplicate ids are kept. */
    void addValue (std::unique_ptr<ParameterValue> value);
    void addValueCopy (const ParameterValue& value);

    /** Appends the parameter's id and its current text; null is ignored. */
    void addParameter (const Parameter* parameter);

    /** Appends a copy of each value of the other preset whose id this one lacks. */
    void addMissingValuesFrom (const Preset& other);

    int getNumValues() const noexcept { return values.size(); }

    /** Null when the index is out of range. */
    const ParameterValue* getValue (int index) const noexcept { return values[index]; }

    //==============================================================================
    /** Reads a "Preset" element (its tag compared ignoring case).

        The header strings are overwritten; the rating and the extra data keep
        their previous state when the element does not carry valid ones. Values
        are replaced unless headerOnly is set. A "param" whose name the manager
        does not know, or whose number is not finite, is skipped.

        Returns false, and changes nothing, for a null or foreign element.
    */
    bool fromXml (const juce::XmlElement* element, const ParameterManager* manager, bool headerOnly);

    /** A new "Preset" element; values whose id names no parameter are left out. */
    std::unique_ptr<juce::XmlElement> toXml (const ParameterManager* manager) const;

    /** Reads a preset file; with headerOnly only the outer element is parsed.
        A missing, unparsable or foreign file leaves the preset as it was and gives false. */
    virtual bool load (const juce::File& file, const ParameterManager* manager, bool headerOnly);

    /** Writes the preset file beside the target and then replaces it, so a
        failed write leaves the old file as it was. A missing folder is created. */
    virtual bool save (const juce::File& file, const ParameterManager* manager);

    /** Rewrites the author and/or id (HeaderField flags) of a preset file with
        this preset's, removing an attribute whose new text is empty; all else in
        the file is kept. False, with the file untouched, when the file is not a
        readable preset or cannot be written. */
    bool patchFileHeader (const juce::File& file, int fields) const;

    //==============================================================================
    const juce::String& getName() const noexcept { return name; }
    void setName (const juce::String& newName) { name = newName; }

    const juce::String& getAuthor() const noexcept { return author; }
    void setAuthor (const juce::String& newAuthor) { author = newAuthor; }

    const juce::String& getId() const noexcept { return id; }
    void setId (const juce::String& newId) { id = newId; }

    const juce::String& getApplication() const noexcept { return application; }
    void setApplication (const juce::String& newApplication) { application = newApplication; }

    const juce::String& getCategory() const noexcept { return category; }
    void setCategory (const juce::String& newCategory) { category = newCategory; }

    const juce::String& getVersion() const noexcept { return version; }
    void setVersion (const juce::String& newVersion) { version = newVersion; }

    /** 3 until a rating 1 to 5 is set or read. */
    int getRating() const noexcept { return rating; }
    bool hasRating() const noexcept { return ratingSet; }

    /** Takes a rating 1 to 5 and marks it as set; other numbers are ignored. */
    void setRating (int newRating);

    const PresetTags& getTags() const noexcept { return tags; }
    void setTags (const PresetTags& newTags) { tags = newTags; }

    /** Null when the preset has none. */
    const juce::XmlElement* getExtraData() const noexcept { return extraData.get(); }
    void setExtraData (std::unique_ptr<juce::XmlElement> newExtraData) { extraData = std::move (newExtraData); }

private:
    juce::OwnedArray<ParameterValue> values;
    juce::SparseSet<int> valueIndices;
    juce::String name, author, id, application, category;
    int rating = 3;
    bool ratingSet = false;
    juce::String version;
    PresetTags tags;
    std::unique_ptr<juce::XmlElement> extraData;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Preset)
};
