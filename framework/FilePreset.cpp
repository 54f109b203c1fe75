#include "framework/FilePreset.h"

#include <cstring>

namespace
{
// Characters fall into three classes that sort in this order.
enum class CharacterClass
{
    symbol,
    digit,
    letter
};

bool isAsciiDigit (juce::juce_wchar c) noexcept { return c >= '0' && c <= '9'; }

CharacterClass classify (juce::juce_wchar c) noexcept
{
    if (isAsciiDigit (c))
        return CharacterClass::digit;

    // The C library's own idea of a letter, so non-ASCII letters count too.
    return juce::CharacterFunctions::isLetterOrDigit (c) ? CharacterClass::letter : CharacterClass::symbol;
}

int sign (int value) noexcept { return (value > 0) - (value < 0); }

using Cursor = juce::String::CharPointerType;

// Reads a run of ASCII digits, leaving the cursor after it; returns the digits
// without their leading zeros.
juce::String readNumber (Cursor& cursor)
{
    while (*cursor == '0')
        ++cursor;

    const auto start = cursor;

    while (isAsciiDigit (*cursor))
        ++cursor;

    return juce::String (start, cursor);
}

int compareNumbers (const juce::String& first, const juce::String& second)
{
    // Digits are single bytes, so a longer run is a larger number and runs of
    // equal length compare digit by digit.
    if (first.length() != second.length())
        return first.length() < second.length() ? -1 : 1;

    return sign (first.compare (second));
}
} // namespace

FilePreset::FilePreset (const juce::File& presetFile)
{
    setFile (presetFile);
}

void FilePreset::setFile (const juce::File& newFile)
{
    file = newFile;
    setName (file.getFileNameWithoutExtension());
}

bool FilePreset::reload (const ParameterManager* manager)
{
    return load (file, manager, false);
}

bool FilePreset::load (const juce::File& fileToLoad, const ParameterManager* manager, bool headerOnly)
{
    if (! Preset::load (fileToLoad, manager, headerOnly))
        return false;

    setFile (fileToLoad);
    return true;
}

bool FilePreset::save (const juce::File& fileToSave, const ParameterManager* manager)
{
    const auto previousName = getName();
    setName ({});

    if (! Preset::save (fileToSave, manager))
    {
        setName (previousName);
        return false;
    }

    setFile (fileToSave);
    return true;
}

int FilePreset::compareFileNames (const juce::File& first, const juce::File& second)
{
    return compareNatural (first.getFileNameWithoutExtension(), second.getFileNameWithoutExtension());
}

int FilePreset::compareNatural (const juce::String& first, const juce::String& second)
{
    // A file name need not be valid UTF-8, and stepping through a broken
    // sequence would run past its end: such names compare byte by byte.
    auto isValid = [] (const juce::String& name)
    {
        return juce::CharPointer_UTF8::isValidString (name.toRawUTF8(), static_cast<int> (name.getNumBytesAsUTF8()));
    };

    if (! isValid (first) || ! isValid (second))
    {
        const auto result = std::strcmp (first.toRawUTF8(), second.toRawUTF8());
        return result < 0 ? -1 : (result > 0 ? 1 : 0);
    }

    // Both names are walked as sequences of single characters and whole digit
    // runs, compared element by element; a name that runs out first is smaller.
    auto a = first.getCharPointer();
    auto b = second.getCharPointer();

    for (;;)
    {
        if (a.isEmpty())
            return b.isEmpty() ? 0 : -1;

        if (b.isEmpty())
            return 1;

        const auto ca = *a;
        const auto cb = *b;
        const auto classA = classify (ca);
        const auto classB = classify (cb);

        if (classA != classB)
            return classA < classB ? -1 : 1;

        if (classA == CharacterClass::digit)
        {
            const auto numberA = readNumber (a);
            const auto numberB = readNumber (b);

            if (const auto result = compareNumbers (numberA, numberB); result != 0)
                return result;

            continue;
        }

        if (classA == CharacterClass::letter)
        {
            const auto upperA = juce::CharacterFunctions::toUpperCase (ca);
            const auto upperB = juce::CharacterFunctions::toUpperCase (cb);

            if (upperA != upperB)
                return upperA < upperB ? -1 : 1;
        }
        else if (ca != cb)
        {
            return ca < cb ? -1 : 1;
        }

        ++a;
        ++b;
    }
}
