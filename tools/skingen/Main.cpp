/*  skingen: draws the default skin's image strips.

        skingen <skin.xml> <output folder> <font folder> [--preview <png>] [image names...]

    Every image that skin.xml names is drawn to a PNG of that name in the output
    folder. The image names given after the folders are the ones the build
    expects; when they are not exactly the names skin.xml gives, nothing is
    written and skingen fails, so the build's list cannot drift from the skin.
*/

#include "PanelArtwork.h"
#include "PanelFonts.h"
#include "PanelPreview.h"
#include "SkinImageList.h"
#include "StripRenderer.h"

#include <iostream>
#include <map>

namespace
{
int fail (const juce::String& message)
{
    std::cerr << "skingen: " << message << std::endl;
    return 1;
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    juce::MemoryOutputStream data;
    return juce::PNGImageFormat().writeImageToStream (image, data)
        && file.replaceWithData (data.getData(), data.getDataSize());
}

int run (const juce::StringArray& args)
{
    if (args.size() < 3)
        return fail ("usage: skingen <skin.xml> <output folder> <font folder> [--preview <png>] [image names...]");

    const juce::File skinFile (args[0]);
    const juce::File outputFolder (args[1]);
    const juce::File fontFolder (args[2]);
    juce::File previewFile;
    juce::StringArray expected;

    for (int i = 3; i < args.size(); ++i)
    {
        if (args[i] == "--preview" && i + 1 < args.size())
            previewFile = juce::File (args[++i]);
        else
            expected.add (args[i]);
    }

    juce::String error;
    SkinImageList images;

    if (! images.read (skinFile.loadFileAsString(), error))
        return fail (skinFile.getFullPathName() + ": " + error);

    if (expected.size() > 0)
    {
        auto named = images.getImageNames();
        named.sort (false);
        expected.sort (false);

        if (named != expected)
            return fail ("the build expects the images " + expected.joinIntoString (", ") + " but "
                         + skinFile.getFileName() + " names " + named.joinIntoString (", ") + "; re-run CMake");
    }

    PanelFonts fonts;

    if (! fonts.load (fontFolder, error))
        return fail (error);

    const auto panel = images.getPanelBounds();
    const auto problems = PanelArtwork (images, fonts).findLayoutProblems (panel.getWidth(), panel.getHeight());

    if (! problems.isEmpty())
        return fail (skinFile.getFileName() + ": " + problems.joinIntoString ("\n    "));

    if (! outputFolder.createDirectory())
        return fail ("cannot create " + outputFolder.getFullPathName());

    const StripRenderer renderer (images, fonts);
    std::map<juce::String, juce::Image> drawn;

    for (const auto& strip : images.getStrips())
    {
        const auto image = renderer.render (strip, error);

        if (! image.isValid())
            return fail (error);

        if (! writePng (image, outputFolder.getChildFile (strip.name)))
            return fail ("cannot write " + outputFolder.getChildFile (strip.name).getFullPathName());

        drawn[strip.name] = image;
    }

    if (previewFile != juce::File() && ! writePng (PanelPreview::compose (images, drawn), previewFile))
        return fail ("cannot write " + previewFile.getFullPathName());

    return 0;
}
} // namespace

int main (int argc, char* argv[])
{
    juce::StringArray args;

    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    const auto result = run (args);
    juce::DeletedAtShutdown::deleteAll();
    return result;
}
