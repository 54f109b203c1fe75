#pragma once

#include <juce_core/juce_core.h>

/*  Text splitting for the readers of outside text. juce::String's index-based
    calls (indexOfChar from a start, substring) walk the text from its
    beginning on every call, so a loop over a text's pieces built on them
    costs the square of its length; these walk it once.
*/
namespace TextHelpers
{
/** The pieces between every two separators, empty ones included ("a;;b;"
    gives "a", "", "b", ""); an empty text gives no pieces. */
inline juce::StringArray splitAtEvery (const juce::String& text, juce::juce_wchar separator)
{
    juce::StringArray pieces;

    if (text.isEmpty())
        return pieces;

    auto pieceStart = text.getCharPointer();

    for (auto p = pieceStart;;)
    {
        const auto here = p;
        const auto c = p.getAndAdvance();

        if (c == 0 || c == separator)
        {
            // An empty piece shares the empty string: runs of separators allocate nothing.
            pieces.add (here == pieceStart ? juce::String() : juce::String (pieceStart, here));

            if (c == 0)
                return pieces;

            pieceStart = p;
        }
    }
}
} // namespace TextHelpers
